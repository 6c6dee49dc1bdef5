// The subcommands of vantor-script beside printing a script.
#pragma once

// vantor-script reference [--manual]: the effect table as Markdown.
int runReference(int argc, char** argv);
// vantor-script check FILE [--data DIR] [--archive ARCHIVE] [--password P].
int runCheck(int argc, char** argv);

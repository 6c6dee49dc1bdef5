// The subcommands of vantor-script beside printing a script.
#pragma once

// vantor-script reference [--manual]: the effect table as Markdown.
int runReference(int argc, char** argv);
// vantor-script check FILE [--data DIR] [--archive ARCHIVE] [--password P].
int runCheck(int argc, char** argv);
// vantor-script plot FILE OUT.png [--data DIR] [--from MS] [--to MS].
int runPlot(int argc, char** argv);
// vantor-script list FILE: the events in the script's own names.
int runList(int argc, char** argv);

// A subcommand: its first word and what runs it (with the whole command line).
struct ScriptCommand {
    const char* name;
    int (*run)(int argc, char** argv);
};
// Every subcommand, in the order the help lists them.
inline constexpr ScriptCommand kScriptCommands[] = {
    {"reference", runReference},
    {"check", runCheck},
    {"list", runList},
    {"plot", runPlot},
};

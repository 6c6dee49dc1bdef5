// vantor-script: parses a timeline script exactly as the demo does and prints
// the result in a stable, line-based form for demo authors and for diffs;
// prints the effect reference; checks a script against the effects and data.
#include "runtime/fatal_error.h"
#include "runtime/script.h"
#include "runtime/startup_files.h"
#include "libs/ppd/ppd.h"
#include "tools/vantor_script/script_commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kUsage =
    "usage: vantor-script FILE\n"
    "       vantor-script --archive ARCHIVE [--password P] [MEMBER]\n"
    "       vantor-script reference [--manual]\n"
    "       vantor-script check FILE [--data DIR] [--archive ARCHIVE] [--password P]\n"
    "       vantor-script list FILE\n"
    "       vantor-script plot FILE OUT.png [--data DIR] [--from MS] [--to MS]\n"
    "\n"
    "Parses the timeline script FILE as the demo does and prints what it holds:\n"
    "  demostart N\n"
    "  setup|timeline TIME KIND ID CODE ISSTRING INTVALUE [TEXT]\n"
    "first the DEMOSTART position, then every setup event, then every timeline\n"
    "event, in file order. KIND is 1 START, 2 END, 3 INIT, 4 SIGNAL; events other\n"
    "than SIGNAL print CODE, ISSTRING and INTVALUE as 0; TEXT is left out when\n"
    "the value has none.\n"
    "\n"
    "A script error prints the demo's error message on stderr and exits with 1.\n"
    "\n"
    "options:\n"
    "  --archive ARCHIVE  read the script from inside a packed data archive, as\n"
    "                     the demo does; MEMBER defaults to data/script.scr\n"
    "  --password P       the archive's password (default: the demo's)\n"
    "  -h, --help         show this help\n"
    "\n"
    "reference prints every effect id the demo registers, what it draws and the\n"
    "signal codes it takes, as a Markdown table; --manual the whole script\n"
    "manual (docs/script.md).\n"
    "\n"
    "check reads FILE as the demo does, but on past every error, and judges it\n"
    "against the effects and the data it names (pictures, scene cameras, the\n"
    "soundtrack), looked up in DIR first, then in ARCHIVE (default: vantor.ppd\n"
    "in the working directory or next to this program). It prints one line per\n"
    "finding of the whole file, FILE:LINE: error: ... or\n"
    "FILE:LINE: warning: ..., and a summary line, on stderr; nothing when the\n"
    "script is clean. Exit 1 when there is an error, else 0.\n"
    "\n"
    "list prints FILE as an author reads it: DEMOSTART, the end of the show, the\n"
    "grid and the marks, then one line per event with its line in the file, its\n"
    "music time in ms and the script's own names (the effect table's where the\n"
    "script wrote numbers): 57  16875  BAR9 + BEAT1  SIGNAL FLASH ONCE\n"
    "\n"
    "plot draws FILE's timeline as a PNG picture: a row per effect with its\n"
    "spans, INITs and signals, the bar and beat grid, the marks, DEMOSTART, the\n"
    "show's end and the soundtrack's loudness (DIR's soundtrack.mp3, else the\n"
    "shipped one); --from and --to (ms) draw a part of the show.\n";

struct Options {
    const char* file = nullptr;
    const char* archive = nullptr;
    const char* password = kDemoFiles.password;
};

// False on a usage error.
bool parseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--archive") == 0 || std::strcmp(arg, "--password") == 0) {
            if (i + 1 >= argc) return false;
            (arg[2] == 'a' ? options.archive : options.password) = argv[++i];
        } else if (arg[0] == '-' && arg[1] != '\0') {
            return false;
        } else if (options.file) {
            return false;
        } else {
            options.file = arg;
        }
    }
    if (options.archive && !options.file) options.file = kDemoFiles.script;
    return options.file != nullptr;
}

void printEvent(const char* section, const ScriptEvent& event) {
    const bool isSignal = event.kind == ScriptEvent::Signal;
    std::printf("%s %d %d %d %d %d %d", section, event.time, event.kind, event.effectId,
                isSignal ? event.value.code : 0, isSignal ? event.value.isString : 0,
                isSignal ? event.value.intValue : 0);
    if (isSignal && !event.value.text.empty()) {
        std::fputc(' ', stdout);
        std::fwrite(event.value.text.data(), 1, event.value.text.size(), stdout);
    }
    std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    for (const ScriptCommand& command : kScriptCommands)
        if (argc >= 2 && std::strcmp(argv[1], command.name) == 0) return command.run(argc, argv);
    Options options;
    if (!parseArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.archive) ppd_set_archive(options.archive, options.password);

    // The demo would show a box; the tool reports on stderr instead.
    setFatalErrorSink([](const std::string& text) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", text.c_str());
        std::exit(1);
    });

    const Script script(options.file);
    std::printf("demostart %d\n", script.demoStart());
    for (const ScriptEvent& event : script.setupEvents()) printEvent("setup", event);
    for (const ScriptEvent& event : script.timelineEvents()) printEvent("timeline", event);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

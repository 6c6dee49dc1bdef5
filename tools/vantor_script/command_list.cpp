// vantor-script list: the script as the author reads it, one line per event
// with its line in the file, its music time in ms and the script's own names
// for time, effect and code (the effect table's where the script has none).
#include "app/script_names.h"
#include "runtime/demo_end.h"
#include "runtime/script.h"
#include "tools/vantor_script/script_commands.h"

#include <cstdio>
#include <string>

namespace {

void printEvent(const Script& script, const ScriptEvent& event) {
    std::printf("%5d  %7d  %s\n", event.line, event.time, scriptEventName(script, event).c_str());
}

}  // namespace

int runList(int argc, char** argv) {
    if (argc != 3 || argv[2][0] == '-') {
        std::fputs("usage: vantor-script list FILE\n", stderr);
        return 2;
    }
    const char* file = argv[2];
    const ScriptReadResult read = Script::read(file);
    if (!read.script) {
        std::fprintf(stderr, "%s\n", read.error->located(file).c_str());
        return 1;
    }
    const Script& script = *read.script;
    std::printf("demostart %d\n", script.demoStart());
    const int end = script.endTime(0);
    std::printf("demoend %d%s\n", end, script.demoEnd() ? "" : " (or where a shorter soundtrack ends)");
    if (script.timing().bpmLine)
        std::printf("grid %g bpm, %d beats a bar\n", script.timing().bpm, script.timing().beatsPerBar);
    for (const ScriptMark& mark : script.timing().marks)
        std::printf("%5d  %7d  MARK %s\n", mark.line, mark.time, mark.name.c_str());
    std::printf(" line       ms  setup\n");
    for (const ScriptEvent& event : script.setupEvents()) printEvent(script, event);
    std::printf(" line       ms  timeline\n");
    for (const ScriptEvent& event : script.timelineEvents()) printEvent(script, event);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

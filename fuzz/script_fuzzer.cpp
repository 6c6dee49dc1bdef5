// Fuzzes the timeline script reader: every input is a script file, read
// through the data-file layer as the demo reads "data/script.scr". A script
// error ends in the fatal-error sink, which throws here; a script that parses
// must keep what the reader promises (no more events than the tables hold,
// setup events of kind SIGNAL at time 0). The script checker then judges
// every reading, good or bad, against data that comes and goes with the names.
#include "runtime/fatal_error.h"
#include "runtime/script.h"
#include "app/script_check.h"
#include "fuzz/any_script_data.h"
#include "fuzz/fuzz_input.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = vantor::fuzz::writeInput(data, size, "scr");
    ScopedFatalErrorCapture capture;
    try {
        Script script(path.c_str());
        if (script.timelineEvents().size() > Script::kMaxTimelineEvents ||
            script.setupEvents().size() > Script::kMaxSetupEvents)
            std::abort();
        for (const ScriptEvent& e : script.setupEvents())
            if (e.time != 0 || e.kind != 4) std::abort();
    } catch (const FatalError&) {}
    vantor::fuzz::AnyScriptData anyData;
    for (const CheckDiagnostic& d :
         checkScriptText(std::string_view(reinterpret_cast<const char*>(data), size), anyData))
        if (d.line < 0 || d.message.empty()) std::abort();
    return 0;
}

#include "runtime/script_diagnostic.h"

#include "runtime/fatal_error.h"

std::string ScriptDiagnostic::text() const { return fatalErrorText(message.c_str(), number); }

std::string ScriptDiagnostic::located(std::string_view file, std::string_view severity) const {
    std::string out(file);
    if (line > 0) out += ':' + std::to_string(line);
    out += ": ";
    if (!severity.empty()) {
        out += severity;
        out += ": ";
    }
    return out + text();
}

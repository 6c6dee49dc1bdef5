#include "runtime/script_diagnostic.h"

#include "runtime/fatal_error.h"

std::string ScriptDiagnostic::text() const { return fatalErrorText(message.c_str(), number); }

std::string ScriptDiagnostic::described() const {
    std::string out = text();
    if (!word.empty() && out.find("`" + word + "`") == std::string::npos) out += " at `" + word + "`";
    return out;
}

std::string ScriptDiagnostic::located(std::string_view file, std::string_view severity) const {
    std::string out(file);
    if (line > 0) out += ':' + std::to_string(line);
    out += ": ";
    if (!severity.empty()) {
        out += severity;
        out += ": ";
    }
    return out + described();
}

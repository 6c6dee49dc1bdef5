// Helpers shared by the script tests: parse text and get either the script or
// the fatal error text.
#pragma once

#include "runtime/fatal_error.h"
#include "runtime/script.h"

#include <memory>
#include <string>
#include <string_view>

namespace vantor::test {

// The documented example script: one setup event and five timeline events.
inline constexpr const char* kExample =
    "// opening part\n"
    "DEFINE LOGO 22\n"
    "DEMOSTART 0\n"
    "SETUP\n"
    "0 SIGNAL 1 110 kake2.jpg\n"
    "TIMELINE\n"
    "100 START 1\n"
    "4000 INIT LOGO\n"
    "4000 START LOGO\n"
    "4000 + 2000 SIGNAL LOGO 90 2\n"
    "9000 END LOGO\n"
    "LINETIME\n";

// The fatal error text a script ends with, or "" when it parses.
inline std::string scriptError(std::string_view text) {
    ScopedFatalErrorCapture capture;
    try {
        Script::fromText(text);
    } catch (const FatalError& error) {
        return error.what();
    }
    return "";
}

inline std::unique_ptr<Script> parseScript(std::string_view text) {
    ScopedFatalErrorCapture capture;
    return Script::fromText(text);
}

}  // namespace vantor::test

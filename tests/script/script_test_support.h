// Helpers shared by the script tests: parse text and get either the script or
// the fatal error text.
#pragma once

#include "app/fatal_error.h"
#include "app/script.h"

#include <memory>
#include <string>
#include <string_view>

namespace vantor::test {

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

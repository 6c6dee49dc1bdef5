// Every reader under fuzzing takes a path (the data-file layer opens files by
// name), so each input is written to a private file first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantor::fuzz {

// Writes the input to a file of this process named "<stem>.<extension>" in
// the temporary folder and returns its path; the same path on every call.
const std::string& writeInput(const std::uint8_t* data, std::size_t size, const char* extension);

}  // namespace vantor::fuzz

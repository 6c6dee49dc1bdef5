#include "fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <unistd.h>

namespace vantor::fuzz {
namespace {

std::map<std::string, std::string>& inputPaths() {
    static std::map<std::string, std::string> paths;
    return paths;
}

void removeInputs() {
    for (const auto& entry : inputPaths()) unlink(entry.second.c_str());
}

}  // namespace

const std::string& writeInput(const std::uint8_t* data, std::size_t size, const char* extension) {
    std::string& path = inputPaths()[extension];
    if (path.empty()) {
        if (inputPaths().size() == 1) std::atexit(removeInputs);
        const char* tmp = std::getenv("TMPDIR");
        path = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantor-fuzz-" + std::to_string(getpid()) + "." + extension;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();  // nothing can be fuzzed without the file
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}

}  // namespace vantor::fuzz

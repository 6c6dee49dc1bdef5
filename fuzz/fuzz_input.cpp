#include "fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor::fuzz {
namespace {

std::map<std::string, std::string>& inputPaths() {
    static std::map<std::string, std::string> paths;
    return paths;
}

// TMPDIR when set, else the shared-memory folder where there is one: each
// input is written and read back once, and on a disk file system truncating
// and rewriting the file costs more than many of the readers' runs.
std::string temporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && *tmp) return tmp;
    struct stat folder;
    if (stat("/dev/shm", &folder) == 0 && S_ISDIR(folder.st_mode) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return "/tmp";
}

void removeInputs() {
    for (const auto& entry : inputPaths()) unlink(entry.second.c_str());
}

}  // namespace

const std::string& writeInput(const std::uint8_t* data, std::size_t size, const char* extension) {
    std::string& path = inputPaths()[extension];
    if (path.empty()) {
        if (inputPaths().size() == 1) std::atexit(removeInputs);
        path = temporaryFolder() + "/vantor-fuzz-" + std::to_string(getpid()) + "." + extension;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();  // nothing can be fuzzed without the file
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}

}  // namespace vantor::fuzz

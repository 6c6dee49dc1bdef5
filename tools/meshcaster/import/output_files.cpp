#include "tools/meshcaster/import/output_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace meshimport {

OutputFiles::~OutputFiles() {
    if (committed_) return;
    for (const Staged& s : staged_) std::remove(s.temporary.c_str());
    std::error_code ignored;
    // Deepest first: they were recorded from the leaf up.
    for (const std::string& d : madeDirectories_)
        if (std::filesystem::is_empty(d, ignored)) std::filesystem::remove(d, ignored);
}

bool OutputFiles::makeDirectory(const std::string& path, std::string* error) {
    std::error_code failure;
    std::vector<std::string> missing;
    for (std::filesystem::path p = std::filesystem::path(path).lexically_normal(); !p.empty() && p != p.root_path();
         p = p.parent_path()) {
        if (p.filename().empty()) continue;
        if (std::filesystem::exists(p, failure)) break;
        missing.push_back(p.string());
    }
    if (!std::filesystem::create_directories(path, failure) && failure) {
        *error = path + ": " + failure.message();
        return false;
    }
    madeDirectories_.insert(madeDirectories_.end(), missing.begin(), missing.end());
    return true;
}

std::string OutputFiles::stage(const std::string& finalPath) {
    const std::size_t slash = finalPath.rfind('/');
    const std::string directory = slash == std::string::npos ? "" : finalPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
    // Hidden, and unique per process and file, so two imports into one
    // directory do not write over each other's halves.
    const std::string temporary =
        directory + "." + name + "." + std::to_string(getpid()) + "." + std::to_string(staged_.size()) + ".part";
    staged_.push_back({temporary, finalPath});
    return temporary;
}

bool OutputFiles::commit(std::string* error) {
    for (const Staged& s : staged_) {
        if (std::rename(s.temporary.c_str(), s.final.c_str()) != 0) {
            *error = s.final + ": " + std::strerror(errno);
            return false;
        }
    }
    committed_ = true;
    return true;
}

}  // namespace meshimport

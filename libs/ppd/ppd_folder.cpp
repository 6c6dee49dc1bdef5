#include "libs/ppd/ppd_folder.h"

#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace ppd_folder {

namespace {

std::vector<std::string> parts(const std::string& name) {
    std::vector<std::string> out;
    std::string part;
    for (char c : name + '/') {
        if (c == '/' || c == '\\') {
            if (!part.empty() && part != ".") out.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    return out;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The entry of dir named part: the exact name when it exists, else the first
// entry equal to it with case ignored.
fs::path entry(const fs::path& dir, const std::string& part) {
    std::error_code ec;
    fs::path exact = dir / part;
    if (fs::exists(fs::symlink_status(exact, ec))) return exact;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (sameIgnoringCase(it->path().filename().string(), part)) return it->path();
    return {};
}

}  // namespace

std::string find(const std::string& folder, const std::string& name) {
    if (folder.empty()) return {};
    const std::vector<std::string> names = parts(name);
    if (names.empty()) return {};
    fs::path at = folder;
    std::error_code ec;
    for (const std::string& part : names) {
        if (part == ".." || !fs::is_directory(at, ec)) return {};
        at = entry(at, part);
        if (at.empty()) return {};
    }
    return fs::is_regular_file(at, ec) ? at.string() : std::string();
}

}  // namespace ppd_folder

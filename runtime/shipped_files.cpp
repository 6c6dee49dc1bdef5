#include "runtime/shipped_files.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string findShippedFile(const char* name) {
    std::error_code ec;
    if (fs::is_regular_file(name, ec)) return name;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return name;
    const fs::path folder = program.parent_path();
    for (const fs::path& candidate : {folder / name, folder.parent_path() / "share" / "vantor" / name})
        if (fs::is_regular_file(candidate, ec)) return candidate.string();
    return name;
}

ShippedDemoFiles::ShippedDemoFiles()
    : archive_(findShippedFile(kDemoFiles.archive)),
      soundtrack_(findShippedFile(kDemoFiles.soundtrack)),
      files_(kDemoFiles) {
    files_.archive = archive_.c_str();
    files_.soundtrack = soundtrack_.c_str();
}

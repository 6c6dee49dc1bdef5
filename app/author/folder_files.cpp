#include "app/author/folder_files.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A file the demo ships: in the working directory, else next to the program.
std::string shippedFile(const char* name) {
    std::error_code ec;
    if (fs::exists(name, ec)) return name;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && fs::exists(program.parent_path() / name, ec)) return (program.parent_path() / name).string();
    return name;
}

}  // namespace

FolderFiles::FolderFiles(std::string folder) : folder_(std::move(folder)), files_(kDemoFiles) {
    archive_ = shippedFile(kDemoFiles.archive);
    const fs::path own = fs::path(folder_) / kDemoFiles.soundtrack;
    std::error_code ec;
    shippedSoundtrack_ = shippedFile(kDemoFiles.soundtrack);
    soundtrack_ = fs::is_regular_file(own, ec) ? own.string() : shippedSoundtrack_;
    files_.archive = archive_.c_str();
    files_.soundtrack = soundtrack_.c_str();
    files_.dataFolder = folder_.c_str();
}

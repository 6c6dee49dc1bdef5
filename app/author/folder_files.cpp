#include "app/author/folder_files.h"

#include "runtime/shipped_files.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

FolderFiles::FolderFiles(std::string folder) : folder_(std::move(folder)), files_(kDemoFiles) {
    archive_ = findShippedFile(kDemoFiles.archive);
    const fs::path own = fs::path(folder_) / kDemoFiles.soundtrack;
    std::error_code ec;
    shippedSoundtrack_ = findShippedFile(kDemoFiles.soundtrack);
    soundtrack_ = fs::is_regular_file(own, ec) ? own.string() : shippedSoundtrack_;
    files_.archive = archive_.c_str();
    files_.soundtrack = soundtrack_.c_str();
    files_.dataFolder = folder_.c_str();
}

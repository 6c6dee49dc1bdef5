// The start-up files of a show played from a data folder: the folder's files
// over the shipped archive, and the folder's soundtrack when it has one.
#pragma once

#include "runtime/startup_files.h"

#include <string>

class FolderFiles {
public:
    // The archive and the soundtrack are the shipped ones (findShippedFile)
    // unless the folder has its own soundtrack.
    explicit FolderFiles(std::string folder);
    FolderFiles(const FolderFiles&) = delete;
    FolderFiles& operator=(const FolderFiles&) = delete;

    // Valid while this object lives.
    const StartupFiles& files() const { return files_; }
    const std::string& folder() const { return folder_; }
    const std::string& soundtrack() const { return soundtrack_; }
    // The soundtrack when the folder has none.
    const std::string& shippedSoundtrack() const { return shippedSoundtrack_; }

private:
    std::string folder_;
    std::string archive_;
    std::string soundtrack_;
    std::string shippedSoundtrack_;
    StartupFiles files_;
};

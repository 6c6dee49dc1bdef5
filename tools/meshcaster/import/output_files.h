// Files an import writes, made visible all at once: each is written under a
// temporary name in its own directory and renamed to its real name only when
// the whole import has succeeded. Files not committed are removed when the
// object goes, so a failed import leaves nothing behind.
#pragma once

#include <string>
#include <vector>

namespace meshimport {

class OutputFiles {
public:
    OutputFiles() = default;
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // A temporary path next to `finalPath` to write the file to; it becomes
    // `finalPath` on commit.
    std::string stage(const std::string& finalPath);
    // Makes a directory (and its parents) for staged files; what it had to
    // make is removed again, when empty, if the import fails.
    bool makeDirectory(const std::string& path, std::string* error);
    // Renames every staged file to its real name; false (with a message) when
    // one cannot be renamed.
    bool commit(std::string* error);

private:
    struct Staged {
        std::string temporary, final;
    };
    std::vector<Staged> staged_;
    std::vector<std::string> madeDirectories_;
    bool committed_ = false;
};

}  // namespace meshimport

// A fresh temporary directory for one test, removed afterwards; optionally the
// working directory while the object lives.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vantor::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view relative) const { return (path_ / relative).string(); }

    // Writes bytes to a file below the directory, creating folders on the way.
    std::string write(std::string_view relative, std::string_view bytes) const;

    // Makes the directory the working directory until the object is destroyed.
    void enter();

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

std::string readFile(const std::string& path);

}  // namespace vantor::test

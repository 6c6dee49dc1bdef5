// What an import tells its user: warnings for what the scene format cannot
// hold (each kind once, however often it occurs), and the refusal that ends
// an import without output.
#pragma once

#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>

namespace meshimport {

// Thrown when the input cannot become a scene file; the text says why.
class ImportRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ImportReport {
public:
    explicit ImportReport(std::FILE* out) : out_(out) {}

    // Prints "meshcaster: warning: TEXT" the first time a kind is reported.
    void warnOnce(const std::string& kind, const std::string& text);
    // Prints a warning every time (for things named by the file: textures).
    void warn(const std::string& text);

    int warnings() const { return warnings_; }

private:
    std::FILE* out_;
    std::set<std::string> kinds_;
    int warnings_ = 0;
};

}  // namespace meshimport

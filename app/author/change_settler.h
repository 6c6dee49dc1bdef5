// Gathers the changes an editor makes while saving until they settle.
//
// Saving one file is often several changes in quick succession (a temporary
// file written, the old one renamed or deleted, the new one renamed in), and
// an author may save several files at once. The changes are collected until
// none came for a quiet spell, then handed over as one batch, so ten saves in
// a second lead to one reload after the last, and a file is read again only
// once its writer is done with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ChangeSettler {
public:
    // How long no change must come before a batch is handed over.
    static constexpr std::int64_t kQuietMs = 60;

    // Notes paths changed at time nowMs (any monotonic milliseconds).
    void add(const std::vector<std::string>& paths, std::int64_t nowMs);
    // The paths gathered (each once, in the order first seen) when the last
    // change lies kQuietMs or more before nowMs; empty otherwise.
    std::vector<std::string> settled(std::int64_t nowMs);
    bool pending() const { return !paths_.empty(); }

private:
    std::vector<std::string> paths_;
    std::int64_t lastChange_ = 0;
};

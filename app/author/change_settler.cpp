#include "app/author/change_settler.h"

#include <algorithm>

void ChangeSettler::add(const std::vector<std::string>& paths, std::int64_t nowMs) {
    if (paths.empty()) return;
    for (const std::string& path : paths)
        if (std::find(paths_.begin(), paths_.end(), path) == paths_.end()) paths_.push_back(path);
    lastChange_ = nowMs;
}

std::vector<std::string> ChangeSettler::settled(std::int64_t nowMs) {
    if (paths_.empty() || nowMs - lastChange_ < kQuietMs) return {};
    std::vector<std::string> batch;
    batch.swap(paths_);
    return batch;
}

// Runs a per-row job over all rows of a picture on the machine's cores. Rows
// must not depend on each other; the result is then the same however the
// rows are shared out.
#pragma once

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace vantor::pictures {

template <typename RowJob>
void forEachRow(int rows, RowJob job) {
    const int threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    std::atomic<int> next{0};
    auto worker = [&] {
        for (int y = next++; y < rows; y = next++) job(y);
    };
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
}

}  // namespace vantor::pictures

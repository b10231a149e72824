#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// Work that falls apart into independent pieces, on as many threads as there are cores (the calling thread one of
// them). No widgets, no event loop: the pieces only compute.
namespace Parallel {

// work(i) for every i from 0 to count − 1, each exactly once, in no particular order; returns when all are done.
template<typename Work> void forEach(std::size_t count, const Work& work)
{
    const std::size_t threads = std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    std::atomic<std::size_t> next { 0 };
    const auto run = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            work(i);
    };
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.emplace_back(run);
    run();
    for (std::thread& helper : helpers)
        helper.join();
}

} // namespace Parallel

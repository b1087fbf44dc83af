#include "PostList.h"

#include <algorithm>
#include <atomic>
#include <thread>

PostList::PostList(const std::vector<std::wstring>& paths) : items(paths.size())
{
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t index = next++; index < paths.size(); index = next++)
            items[index] = std::make_unique<PostItem>(paths[index]);
    };
    const std::size_t threadCount =
        std::min<std::size_t>(std::max(std::thread::hardware_concurrency(), 1u), paths.size());
    std::vector<std::jthread> helpers;
    for (std::size_t i = 1; i < threadCount; ++i)
        helpers.emplace_back(work);
    work();
}

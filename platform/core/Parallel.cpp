#include "platform/core/Parallel.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

int PartsFor(std::size_t Count, std::size_t AMinPerPart)
{
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t parts = AMinPerPart > 0 ? Count / AMinPerPart : 1;
    return int(std::max<std::size_t>(1, std::min<std::size_t>({cores, 8, parts})));
}

void RunInParts(std::size_t Count, int AParts, const std::function<void(int Part, std::size_t From, std::size_t To)>& APart)
{
    const std::size_t n = std::size_t(std::max(1, AParts));
    const std::size_t step = (Count + n - 1) / n;
    std::vector<std::exception_ptr> errors(n);
    auto run = [&](std::size_t t) {
        try {
            APart(int(t), std::min(Count, t * step), std::min(Count, (t + 1) * step));
        } catch (...) {
            errors[t] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(n - 1);
    try {
        for (std::size_t t = 1; t < n; ++t)
            threads.emplace_back(run, t);
    } catch (const std::system_error&) {
        // No more threads to be had.
    }
    for (std::size_t t = threads.size() + 1; t < n; ++t)
        run(t);
    run(0);
    for (std::thread& t : threads)
        t.join();
    for (const std::exception_ptr& e : errors)
        if (e)
            std::rethrow_exception(e);
}

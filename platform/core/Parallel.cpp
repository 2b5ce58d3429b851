#include "platform/core/Parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <exception>
#include <thread>
#include <vector>

#ifdef __linux__
#include <sched.h>
#endif

namespace {
// Up to Count threads, thread t running AWork(t); the starting stops at the first that
// cannot be started (no thread or no memory to be had), and those started are returned
// to be joined.
std::vector<std::thread> StartThreads(std::size_t Count, const std::function<void(std::size_t)>& AWork)
{
    std::vector<std::thread> threads;
    try {
        threads.reserve(Count);
        for (std::size_t t = 0; t < Count; ++t)
            threads.emplace_back(AWork, t);
    } catch (...) {
        // The work of those not started is done without them.
    }
    return threads;
}

// The cores the process may run on: a process held to some of the machine's
// cores gains nothing from more threads than those.
std::size_t UsableCores()
{
    std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
#ifdef __linux__
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        cores = std::min(cores, std::size_t(CPU_COUNT(&set)));
#endif
    return cores;
}
}  // namespace

int PartsFor(std::size_t Count, std::size_t AMinPerPart)
{
    const std::size_t cores = UsableCores();
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
    std::vector<std::thread> threads = StartThreads(n - 1, [&](std::size_t t) { run(t + 1); });
    for (std::size_t t = threads.size() + 1; t < n; ++t)
        run(t);
    run(0);
    for (std::thread& t : threads)
        t.join();
    for (const std::exception_ptr& e : errors)
        if (e)
            std::rethrow_exception(e);
}

void RunInChunks(std::size_t Count, int AParts, std::size_t AChunkSize,
                 const std::function<void(int Part, std::size_t From, std::size_t To)>& AChunk)
{
    const std::size_t size = std::max<std::size_t>(AChunkSize, 1);
    const std::size_t chunks = (Count + size - 1) / size;
    std::atomic<std::size_t> next{0};
    const int parts = int(std::min<std::size_t>(std::size_t(std::max(AParts, 1)), std::max<std::size_t>(chunks, 1)));
    RunInParts(std::size_t(parts), parts, [&](int Part, std::size_t, std::size_t) {
        for (std::size_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < chunks;)
            AChunk(Part, k * size, std::min(Count, (k + 1) * size));
    });
}

struct TOrderedParts::TState {
    std::size_t Count;
    std::function<void(std::size_t)> Make;
    std::atomic<std::size_t> Next{0};
    std::mutex Lock;
    std::condition_variable Made;
    std::vector<char> Done;
    std::vector<std::exception_ptr> Errors;
    std::vector<std::thread> Threads;

    // Makes the item and tells whoever waits for it.
    void MakeItem(std::size_t i)
    {
        std::exception_ptr error;
        try {
            Make(i);
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> guard(Lock);
            Done[i] = 1;
            Errors[i] = error;
        }
        Made.notify_all();
    }
    void Work()
    {
        for (std::size_t i; (i = Next.fetch_add(1)) < Count;)
            MakeItem(i);
    }
};

TOrderedParts::TOrderedParts(std::size_t Count, int AThreads, std::function<void(std::size_t Index)> AMake)
    : F(std::make_unique<TState>())
{
    F->Count = Count;
    F->Make = std::move(AMake);
    F->Done.assign(Count, 0);
    F->Errors.resize(Count);
    // Take makes what no thread is there for.
    F->Threads = StartThreads(std::min<std::size_t>(std::size_t(std::max(0, AThreads)), Count),
                              [this](std::size_t) { F->Work(); });
}

TOrderedParts::~TOrderedParts()
{
    F->Next = F->Count;
    for (std::thread& t : F->Threads)
        t.join();
}

void TOrderedParts::Take(std::size_t Index)
{
    // Items up to this one that nobody has begun are made here rather than waited for.
    for (std::size_t next = F->Next.load(); next <= Index;)
        if (F->Next.compare_exchange_weak(next, next + 1)) {
            F->MakeItem(next);
            next = F->Next.load();
        }
    std::unique_lock<std::mutex> guard(F->Lock);
    F->Made.wait(guard, [&] { return F->Done[Index] != 0; });
    if (F->Errors[Index])
        std::rethrow_exception(F->Errors[Index]);
}

void StableSortInParts(std::vector<std::uint32_t>& Items,
                       const std::function<bool(std::uint32_t A, std::uint32_t B)>& Less)
{
    const int parts = PartsFor(Items.size(), 4096);
    if (parts <= 1) {
        std::stable_sort(Items.begin(), Items.end(), Less);
        return;
    }
    std::vector<std::size_t> runs(std::size_t(parts) + 1, Items.size());
    RunInParts(Items.size(), parts, [&](int Part, std::size_t From, std::size_t To) {
        runs[std::size_t(Part)] = From;
        std::stable_sort(Items.begin() + std::ptrdiff_t(From), Items.begin() + std::ptrdiff_t(To), Less);
    });
    // Merging keeps the earlier run's items first among equal ones.
    std::vector<std::uint32_t> other(Items.size());
    std::vector<std::uint32_t>* from = &Items;
    std::vector<std::uint32_t>* to = &other;
    while (runs.size() > 2) {
        const std::size_t pairs = (runs.size() - 1) / 2;
        auto at = [](std::vector<std::uint32_t>* v, std::size_t i) { return v->begin() + std::ptrdiff_t(i); };
        RunInParts(pairs, int(pairs), [&](int, std::size_t First, std::size_t Last) {
            for (std::size_t k = First; k < Last; ++k)
                std::merge(at(from, runs[2 * k]), at(from, runs[2 * k + 1]), at(from, runs[2 * k + 1]),
                           at(from, runs[2 * k + 2]), at(to, runs[2 * k]), Less);
        });
        std::vector<std::size_t> merged;
        for (std::size_t k = 0; k < pairs; ++k)
            merged.push_back(runs[2 * k]);
        if ((runs.size() - 1) % 2 == 1) {
            // The last run has no partner in this round.
            std::copy(at(from, runs[runs.size() - 2]), at(from, runs.back()), at(to, runs[runs.size() - 2]));
            merged.push_back(runs[runs.size() - 2]);
        }
        merged.push_back(runs.back());
        runs = std::move(merged);
        std::swap(from, to);
    }
    if (from != &Items)
        Items.swap(*from);
}

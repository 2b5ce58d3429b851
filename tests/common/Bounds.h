#pragma once
// How work grows with its input, and the memory a piece of work takes on top of what the process
// held before it. Work is timed in the process's processor time: other work on the machine adds
// none of it, so a bound holds on a busy machine as on an idle one.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>

// Seconds of processor time the process has used, on all its threads.
inline double ProcessSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Seconds the calling thread has spent running its own code. The kernel's time on its behalf is
// left out: on a machine short of memory, reclaiming pages can cost far more than the work itself.
inline double ThreadUserSeconds()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec) + double(u.ru_utime.tv_usec) * 1e-6;
}

// Work that grows with its input, of size N.
struct TScalingCase {
    const char* Name;
    int N;
    std::function<void(int N)> Prepare;   // not timed
    std::function<void(int N)> Work;      // timed
};

// Work on 16 N costs less than 64 times work on N: work that grows as n or n log n costs 16 to 22
// times as much, a square 256 times. Each size is run as many times as fill 20 ms (Prepare before
// each run), so that its cost stands well above the clock's and the system's noise, and counts
// the mean; the least of up to five such counts of each size, taken in turn only while the two
// keep outside the bound. A run on 16 N over Budget seconds ends the trials: work that slow has
// shown its growth.
inline void ExpectProportional(const TScalingCase& Case, double Budget = 1e9)
{
    const auto cost = [&](int n) {
        double spent = 0;
        int runs = 0;
        do {
            if (Case.Prepare)
                Case.Prepare(n);
            const double start = ProcessSeconds();
            Case.Work(n);
            spent += ProcessSeconds() - start;
        } while (++runs < 1000 && spent < 0.02);
        return spent / runs;
    };
    double small = cost(Case.N), large = cost(16 * Case.N);
    for (int i = 1; i < 5 && large >= 64 * small && large <= Budget; ++i) {
        small = std::min(small, cost(Case.N));
        large = std::min(large, cost(16 * Case.N));
    }
    EXPECT_LT(large, 64 * small) << Case.Name << ": " << Case.N << " in " << small << " s, " << 16 * Case.N
                                 << " in " << large << " s";
}

// The kilobytes of memory Work held at most beyond what the process held before it, from the
// system's high-water mark of the process (reset first); -1 where the system cannot tell.
inline long long PeakMemoryGrowthKiB(const std::function<void()>& Work)
{
    const auto status = [](const char* Key) {
        std::ifstream in("/proc/self/status");
        for (std::string line; std::getline(in, line);)
            if (line.rfind(Key, 0) == 0)
                return std::stoll(line.substr(std::string(Key).size()));
        return -1LL;
    };
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5" << std::flush;
    const bool measured = bool(reset);
    const long long before = status("VmRSS:");
    Work();
    const long long peak = status("VmHWM:");
    return measured && before >= 0 && peak >= 0 ? std::max(0LL, peak - before) : -1;
}

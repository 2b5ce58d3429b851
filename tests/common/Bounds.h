#pragma once
// How work grows with its input: a run on N and on 4N (or 8N) compared, and the memory a piece of
// work takes on top of what the process held before it.
#include <gtest/gtest.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <string>

// Work that grows with its input, of size N.
struct TScalingCase {
    const char* Name;
    int N;
    std::function<void(int N)> Prepare;   // not timed
    std::function<void(int N)> Work;      // timed
};

// Work on 4N may cost less than six times work on N (the shortest of up to five runs of each,
// run in turn so that both meet the same load of the machine, until the two shortest keep to
// that; a run on N under Floor seconds counts as Floor), and at most Limit seconds.
inline void ExpectProportional(const TScalingCase& Case, double Limit, double Floor = 0.002)
{
    const auto timed = [&](int n) {
        if (Case.Prepare)
            Case.Prepare(n);
        const auto start = std::chrono::steady_clock::now();
        Case.Work(n);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double small = 1e9, large = 1e9;
    for (int i = 0; i < 5 && (i == 0 || (large <= Limit && large >= 6 * std::max(small, Floor))); ++i) {
        small = std::min(small, timed(Case.N));
        large = std::min(large, timed(4 * Case.N));
    }
    EXPECT_LT(large, 6 * std::max(small, Floor)) << Case.Name << ": " << Case.N << " in " << small << " s, "
                                                 << 4 * Case.N << " in " << large << " s";
    EXPECT_LT(large, Limit) << Case.Name << ": " << 4 * Case.N;
}

// Work on 8N may cost less than Bound times work on N: work growing with N (or N log N) takes
// about 8 (up to 10) times as long there, work growing with N squared 64 times. Timed in the
// processor time of the process, which other work on the machine does not add to: the shortest
// of up to five runs of each size, run in turn, until the two shortest keep to the bound; a run
// on N under Floor seconds counts as Floor. A run on 8N over Budget seconds ends the trials (work
// that slow has shown its growth). The last run is one on 8N.
inline void ExpectBelowSquare(const TScalingCase& Case, double Budget, double Bound = 24, double Floor = 0.002)
{
    const auto seconds = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    const auto run = [&](int n) {
        if (Case.Prepare)
            Case.Prepare(n);
        const double start = seconds();
        Case.Work(n);
        return seconds() - start;
    };
    double small = 1e9, large = 1e9, last = 0;
    for (int i = 0; i < 5 && (i == 0 || (last <= Budget && large >= Bound * std::max(small, Floor))); ++i) {
        small = std::min(small, run(Case.N));
        last = run(8 * Case.N);
        large = std::min(large, last);
    }
    EXPECT_LT(large, Bound * std::max(small, Floor))
        << Case.Name << ": " << Case.N << " in " << small << " s, " << 8 * Case.N << " in " << large << " s";
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

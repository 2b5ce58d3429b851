#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "platform/core/Parallel.h"

// The parts cover every item once, in consecutive ranges, whatever the
// count; a failing part is reported after every part has ended.
TEST(Parallel, PartsCoverEveryItemOnceAndReportFailuresAfterAll)
{
    EXPECT_EQ(PartsFor(0, 100), 1);
    EXPECT_EQ(PartsFor(99, 100), 1);
    EXPECT_GE(PartsFor(1000000, 100), 1);
    EXPECT_LE(PartsFor(1000000, 100), 8);
    for (std::size_t count : {0u, 1u, 7u, 1000u, 100003u})
        for (int parts : {1, 2, 3, 8}) {
            std::vector<int> seen(count, 0);
            std::vector<std::size_t> ends(std::size_t(parts) + 1, 0);
            RunInParts(count, parts, [&](int Part, std::size_t From, std::size_t To) {
                ends[std::size_t(Part) + 1] = To;
                for (std::size_t i = From; i < To; ++i)
                    ++seen[i];
            });
            for (std::size_t i = 0; i < count; ++i)
                ASSERT_EQ(seen[i], 1) << count << " items in " << parts << " parts, item " << i;
            EXPECT_EQ(ends.back(), count);
        }
    std::atomic<int> ended{0};
    EXPECT_THROW(RunInParts(4000, 4,
                            [&](int Part, std::size_t, std::size_t) {
                                ++ended;
                                if (Part == 2)
                                    throw std::runtime_error("part 2");
                            }),
                 std::runtime_error);
    EXPECT_EQ(ended.load(), 4);
}

// Runs of items taken as the parts come for them cover every item once, each
// part's runs in order; a failing run is reported after every part has ended.
TEST(Parallel, ChunksCoverEveryItemOnceAndReportFailuresAfterAll)
{
    for (std::size_t count : {0u, 1u, 7u, 1000u, 100003u})
        for (int parts : {1, 3, 8})
            for (std::size_t chunk : {0u, 1u, 64u, 5000u}) {
                std::vector<std::atomic<int>> seen(count);
                std::vector<std::size_t> last(std::size_t(parts), 0);
                RunInChunks(count, parts, chunk, [&](int Part, std::size_t From, std::size_t To) {
                    EXPECT_LE(last[std::size_t(Part)], From);
                    EXPECT_LE(To - From, std::max<std::size_t>(chunk, 1));
                    last[std::size_t(Part)] = To;
                    for (std::size_t i = From; i < To; ++i)
                        ++seen[i];
                });
                for (std::size_t i = 0; i < count; ++i)
                    ASSERT_EQ(seen[i].load(), 1) << count << " items, " << parts << " parts of " << chunk << ", item " << i;
            }
    std::atomic<int> runs{0};
    EXPECT_THROW(RunInChunks(4000, 4, 100,
                             [&](int, std::size_t From, std::size_t) {
                                 ++runs;
                                 if (From == 1000)
                                     throw std::runtime_error("run 10");
                             }),
                 std::runtime_error);
    EXPECT_EQ(runs.load(), 40);
}

// Items are taken in order, each made once, whether threads make them or
// the taker does (no threads at all, or more items than threads); an item's
// failure is raised when it is taken, and ending early waits for the threads.
TEST(Parallel, OrderedPartsAreTakenInOrderAndMadeOnce)
{
    for (int threads : {0, 1, 3, 8})
        for (std::size_t count : {0u, 1u, 5u, 300u}) {
            std::vector<std::atomic<int>> made(count);
            std::vector<int> taken;
            {
                TOrderedParts parts(count, threads, [&](std::size_t i) { ++made[i]; });
                for (std::size_t i = 0; i < count; ++i) {
                    parts.Take(i);
                    ASSERT_EQ(made[i].load(), 1) << threads << " threads, item " << i;
                    taken.push_back(int(i));
                }
            }
            for (std::size_t i = 0; i < count; ++i)
                EXPECT_EQ(made[i].load(), 1);
            EXPECT_EQ(taken.size(), count);
        }
    std::atomic<int> made{0};
    {
        TOrderedParts parts(100, 4, [&](std::size_t i) {
            ++made;
            if (i == 3)
                throw std::runtime_error("item 3");
        });
        for (std::size_t i = 0; i < 3; ++i)
            parts.Take(i);
        EXPECT_THROW(parts.Take(3), std::runtime_error);
    }
    EXPECT_GE(made.load(), 4);
}

// Sorting in parts keeps equal items in their order, as a stable sort does.
TEST(Parallel, SortsInPartsAsAStableSortDoes)
{
    std::mt19937 rng(5);
    for (std::size_t count : {0u, 3u, 5000u, 70001u}) {
        std::vector<std::uint32_t> keys(count);
        for (std::uint32_t& k : keys)
            k = std::uint32_t(rng() % 97);
        std::vector<std::uint32_t> items(count), expected(count);
        for (std::size_t i = 0; i < count; ++i)
            items[i] = expected[i] = std::uint32_t(i);
        auto less = [&](std::uint32_t A, std::uint32_t B) { return keys[A] < keys[B]; };
        std::stable_sort(expected.begin(), expected.end(), less);
        StableSortInParts(items, less);
        EXPECT_EQ(items, expected) << count;
    }
}

#pragma once
// Work over many items spread over the machine's cores: long walks over a
// grid's rows read memory that lies apart, and several threads wait for it
// at once.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The number of parts Count items are split into: one for every AMinPerPart
// items, at most one per core and at most eight, at least one.
int PartsFor(std::size_t Count, std::size_t AMinPerPart);

// Calls APart(Part, From, To) for the AParts consecutive ranges [From, To)
// that split [0, Count), each on a thread of its own but the first, which
// runs on the calling thread; returns when all have ended. Where no thread
// can be started, the parts left run on the calling thread. An exception of
// a part is raised here once all parts have ended.
void RunInParts(std::size_t Count, int AParts, const std::function<void(int Part, std::size_t From, std::size_t To)>& APart);

// Calls AChunk(Part, From, To) for the consecutive ranges of AChunkSize items
// (the last one shorter) that split [0, Count), on AParts parts run as
// RunInParts runs them: each part takes the next range nobody has begun, so
// that a part the machine holds up leaves its ranges to the others. A part
// calls AChunk in the order of its ranges; an exception ends the part that
// raised it and is raised here once all parts have ended.
void RunInChunks(std::size_t Count, int AParts, std::size_t AChunkSize,
                 const std::function<void(int Part, std::size_t From, std::size_t To)>& AChunk);

// Items [0, Count) made by AMake(Index) on up to AThreads threads of their
// own, each taking the next item not yet begun, and taken by the owner in
// their order: Take(Index) returns once the item is made, so the owner uses
// one item while later ones are being made. An item nobody has begun yet is
// made by Take itself (also where no thread can be started). An item's
// exception is raised by its Take. Ending the object lets the threads finish
// the items they hold and begins no more.
class TOrderedParts {
public:
    TOrderedParts(std::size_t Count, int AThreads, std::function<void(std::size_t Index)> AMake);
    ~TOrderedParts();
    TOrderedParts(const TOrderedParts&) = delete;
    TOrderedParts& operator=(const TOrderedParts&) = delete;
    void Take(std::size_t Index);

private:
    struct TState;
    std::unique_ptr<TState> F;
};

// Sorts Items stably by Less (a strict weak order): runs of them sorted on
// several threads, then merged pairwise, the merges of one round at once.
void StableSortInParts(std::vector<std::uint32_t>& Items,
                       const std::function<bool(std::uint32_t A, std::uint32_t B)>& Less);

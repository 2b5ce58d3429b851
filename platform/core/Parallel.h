#pragma once
// Work over many items spread over the machine's cores: long walks over a
// grid's rows read memory that lies apart, and several threads wait for it
// at once.
#include <cstddef>
#include <functional>

// The number of parts Count items are split into: one for every AMinPerPart
// items, at most one per core and at most eight, at least one.
int PartsFor(std::size_t Count, std::size_t AMinPerPart);

// Calls APart(Part, From, To) for the AParts consecutive ranges [From, To)
// that split [0, Count), each on a thread of its own but the first, which
// runs on the calling thread; returns when all have ended. Where no thread
// can be started, the parts left run on the calling thread. An exception of
// a part is raised here once all parts have ended.
void RunInParts(std::size_t Count, int AParts, const std::function<void(int Part, std::size_t From, std::size_t To)>& APart);

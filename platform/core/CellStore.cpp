#include "platform/core/CellStore.h"

#include <algorithm>
#include <string>
#include <stdexcept>

#include "platform/core/Parallel.h"

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/asan_interface.h>
#endif

namespace {
// Built for AddressSanitizer, the bytes of a block that no text holds are
// poisoned: a text read after its cell changed is reported, and one read
// after the texts were copied together lies in a freed block.
#ifdef __SANITIZE_ADDRESS__
void Poison(const char* APtr, std::size_t ASize) { ASAN_POISON_MEMORY_REGION(APtr, ASize); }
void Unpoison(const char* APtr, std::size_t ASize) { ASAN_UNPOISON_MEMORY_REGION(APtr, ASize); }
#else
void Poison(const char*, std::size_t) {}
void Unpoison(const char*, std::size_t) {}
#endif
// Blocks double from the first to the largest; a text longer than the next
// block gets one of its own.
constexpr std::size_t FirstBlock = 1024;
constexpr std::size_t LargestBlock = 1 << 20;
// Dead bytes below this are never worth a walk over the cells.
constexpr std::size_t LeastGarbage = 64 * 1024;
// Rows written together are split in runs of at least this many, one a thread.
constexpr std::size_t RowsPerPart = 2048;
// The rows whose texts tell what a thread's other rows will need.
constexpr std::size_t RowsMeasured = 64;
}  // namespace

TCellStore::~TCellStore()
{
    FreeBlocks();
    for (TRow& row : FRows) {
        delete[] row.Texts;
        delete[] row.Objects;
    }
}

void TCellStore::Widen(TRow& ARow, std::size_t ACount)
{
    FCellCapacity += WidenRow(ARow, ACount);
}

std::size_t TCellStore::WidenRow(TRow& ARow, std::size_t ACount)
{
    std::size_t added = 0;
    if (ACount > ARow.Capacity) {
        const std::size_t capacity = std::max<std::size_t>(ACount, ARow.Capacity + ARow.Capacity / 2);
        auto* texts = new TCell[capacity];
        std::copy(ARow.Texts, ARow.Texts + ARow.Count, texts);
        TObject** objects = nullptr;
        if (ARow.Objects) {
            objects = new TObject*[capacity]();
            std::copy(ARow.Objects, ARow.Objects + ARow.Count, objects);
        }
        delete[] ARow.Texts;
        delete[] ARow.Objects;
        ARow.Texts = texts;
        ARow.Objects = objects;
        added = capacity - ARow.Capacity;
        ARow.Capacity = std::uint32_t(capacity);
    }
    ARow.Count = std::uint32_t(std::max<std::size_t>(ARow.Count, ACount));
    return added;
}

TCellStore::TRow& TCellStore::RowFor(int ACol, int ARow, int AMinCols)
{
    ++FChanges;
    if (std::size_t(ARow) >= FRows.size())
        FRows.resize(std::size_t(ARow) + 1);
    TRow& row = FRows[std::size_t(ARow)];
    if (std::size_t(ACol) >= row.Count)
        Widen(row, std::max<std::size_t>(std::size_t(ACol) + 1, std::size_t(std::max(AMinCols, 0))));
    return row;
}

char* TCellStore::Allocate(TArena& AArena, std::size_t ASize)
{
    TArena& a = AArena;
    if (ASize <= a.Left) {
        char* p = a.Free;
        a.Free += ASize;
        a.Left -= ASize;
        Unpoison(p, ASize);
        return p;
    }
    const std::size_t size = std::max(a.NextBlock, FirstBlock);
    a.NextBlock = std::min(size * 2, LargestBlock);
    const std::size_t blockSize = std::max(size, ASize);
    a.Blocks.push_back({new char[blockSize], blockSize});
    a.Held += blockSize;
    char* p = a.Blocks.back().Bytes;
    Poison(p + ASize, blockSize - ASize);
    if (ASize < size) {
        // The rest of the last block is left behind; this one goes on.
        a.Free = p + ASize;
        a.Left = size - ASize;
    }
    return p;
}

void TCellStore::Reserve(TArena& AArena, std::size_t ASize)
{
    TArena& a = AArena;
    a.Blocks.push_back({new char[ASize], ASize});
    a.Held += ASize;
    a.Free = a.Blocks.back().Bytes;
    a.Left = ASize;
    a.NextBlock = FirstBlock;
    Poison(a.Free, ASize);
}

void TCellStore::Release(const TCell& ACell)
{
    if (!ACell.IsLong())
        return;
    FLive -= ACell.Size();
    Poison(ACell.Ptr(), ACell.Size());
    if (FLive == 0)
        FreeBlocks();
}

void TCellStore::FreeBlocks()
{
    for (TBlock& b : FArena.Blocks) {
        Unpoison(b.Bytes, b.Size);
        delete[] b.Bytes;
    }
    FArena.Blocks.clear();
    FArena.Free = nullptr;
    FArena.Left = 0;
    FArena.Held = 0;
}

void TCellStore::ColumnTexts(const int* ACols, std::size_t AColCount, const int* ARows, std::size_t ACount,
                             std::string_view* AOut) const
{
    const std::size_t rows = FRows.size();
    const TRow* first = FRows.data();
    // A row's cells lie apart from its entry: those of the row so many rows ahead are
    // asked for while this one is read.
    constexpr std::size_t Ahead = 4;
    for (std::size_t k = 0; k < ACount; ++k) {
        if (k + Ahead < ACount)
            if (const std::size_t r = std::size_t(ARows[k + Ahead]); r < rows)
                __builtin_prefetch(first[r].Texts);
        const std::size_t r = std::size_t(ARows[k]);
        const TCell* cells = r < rows ? first[r].Texts : nullptr;
        const std::size_t count = r < rows ? first[r].Count : 0;
        for (std::size_t i = 0; i < AColCount; ++i) {
            const std::size_t col = std::size_t(ACols[i]);
            AOut[i * ACount + k] = col < count ? cells[col].View() : std::string_view();
        }
    }
}

void TCellStore::SetText(int ACol, int ARow, std::string_view AValue, int AMinCols)
{
    Write(RowFor(ACol, ARow, AMinCols).Texts[ACol], AValue);
}

void TCellStore::SetTexts(int AFirstCol, int ARow, const std::string_view* AValues, int ACount, int AMinCols)
{
    if (ACount <= 0)
        return;
    TRow& row = RowFor(AFirstCol + ACount - 1, ARow, AMinCols);
    for (int i = 0; i < ACount; ++i)
        Write(row.Texts[AFirstCol + i], AValues[i]);
}

std::size_t TCellStore::Put(TArena& AArena, TCell& ACell, std::string_view AValue)
{
    if (AValue.size() <= TCell::InlineMax) {
        ACell.SetInline(AValue);
        return 0;
    }
    if (AValue.size() > UINT32_MAX)
        throw std::length_error("cell text too long");
    char* p = Allocate(AArena, AValue.size());
    std::memcpy(p, AValue.data(), AValue.size());
    ACell.SetLong(p, AValue.size());
    return AValue.size();
}

void TCellStore::Write(TCell& ACell, std::string_view AValue)
{
    const TCell old = ACell;
    const std::size_t blocks = FArena.Blocks.size();
    FLive += Put(FArena, ACell, AValue);
    Release(old);
    if (FArena.Blocks.size() != blocks)
        CompactIfWorthIt();
}

void TCellStore::SetRowsTexts(int AFirstRow, int ACount, int ACols, int AMinCols, const TRowTexts& ARow)
{
    if (ACount <= 0 || ACols <= 0)
        return;
    ++FChanges;
    const std::size_t first = std::size_t(std::max(AFirstRow, 0)), count = std::size_t(ACount);
    const std::size_t cols = std::size_t(ACols), width = std::max<std::size_t>(cols, std::size_t(std::max(AMinCols, 0)));
    if (FRows.size() < first + count)
        FRows.resize(first + count);
    // The longer texts the cells hold now are let go here first: the
    // threads write into blocks of their own and take nothing from the
    // store's.
    std::vector<char> held(std::size_t(PartsFor(count, RowsPerPart)), 0);
    RunInParts(count, int(held.size()), [&](int Part, std::size_t From, std::size_t To) {
        char any = 0;
        for (std::size_t r = first + From; r < first + To && !any; ++r)
            for (std::size_t c = 0; c < std::min<std::size_t>(cols, FRows[r].Count) && !any; ++c)
                any = FRows[r].Texts[c].IsLong();
        held[std::size_t(Part)] = any;
    });
    if (std::find(held.begin(), held.end(), 1) != held.end())
        ClearTexts(0, int(first), ACols - 1, int(first + count - 1));

    // What a thread has written: its blocks, the bytes of its texts, the cells its rows gained.
    struct TWritten {
        TArena Arena;
        std::size_t Live = 0;
        std::size_t Capacity = 0;
    };
    std::vector<TWritten> written(held.size());
    auto keep = [&] {
        for (TWritten& w : written) {
            FArena.Blocks.insert(FArena.Blocks.end(), w.Arena.Blocks.begin(), w.Arena.Blocks.end());
            FArena.Held += w.Arena.Held;
            FLive += w.Live;
            FCellCapacity += w.Capacity;
        }
    };
    try {
        RunInParts(count, int(written.size()), [&](int Part, std::size_t From, std::size_t To) {
            TWritten w;
            try {
                std::vector<std::string_view> values(cols);
                std::string scratch;
                for (std::size_t r = first + From; r < first + To; ++r) {
                    // After its first rows a thread takes one block for what its other rows
                    // will likely need, so that little of its blocks lies unused.
                    if (r == first + From + RowsMeasured && w.Live > 0) {
                        const std::size_t rest = w.Live / RowsMeasured * (first + To - r);
                        Reserve(w.Arena, rest + rest / 32);
                    }
                    TRow& row = FRows[r];
                    if (cols > row.Count)
                        w.Capacity += WidenRow(row, width);
                    std::fill(values.begin(), values.end(), std::string_view());
                    ARow(int(r), values.data(), scratch);
                    for (std::size_t c = 0; c < cols; ++c)
                        w.Live += Put(w.Arena, row.Texts[c], values[c]);
                }
            } catch (...) {
                written[std::size_t(Part)] = std::move(w);
                throw;
            }
            written[std::size_t(Part)] = std::move(w);
        });
    } catch (...) {
        keep();
        throw;
    }
    keep();
    if (FLive == 0)
        FreeBlocks();
    else
        CompactIfWorthIt();
}

void TCellStore::SetObject(int ACol, int ARow, TObject* AObject, int AMinCols)
{
    TRow& row = RowFor(ACol, ARow, AMinCols);
    if (!row.Objects) {
        if (!AObject)
            return;
        row.Objects = new TObject*[row.Capacity]();
    }
    row.Objects[ACol] = AObject;
}

void TCellStore::ClearTexts(int FromCol, int FromRow, int ToCol, int ToRow)
{
    ++FChanges;
    FromCol = std::max(FromCol, 0);
    FromRow = std::max(FromRow, 0);
    ToRow = std::min(ToRow, RowCount() - 1);
    for (int r = FromRow; r <= ToRow; ++r) {
        TRow& row = FRows[std::size_t(r)];
        const int last = std::min(ToCol, int(row.Count) - 1);
        for (int c = FromCol; c <= last; ++c) {
            TCell& cell = row.Texts[c];
            const TCell old = cell;
            cell.SetEmpty();
            Release(old);
        }
    }
}

void TCellStore::CompactIfWorthIt()
{
    const std::size_t dead = FArena.Held - FArena.Left - FLive;
    if (dead > std::max({FLive, FCellCapacity * sizeof(TCell), LeastGarbage}))
        Compact();
}

void TCellStore::Compact()
{
    char* bytes = new char[FLive];
    char* next = bytes;
    for (TRow& row : FRows)
        for (std::uint32_t c = 0; c < row.Count; ++c) {
            TCell& cell = row.Texts[c];
            if (!cell.IsLong())
                continue;
            const std::size_t n = cell.Size();
            std::memcpy(next, cell.Ptr(), n);
            cell.SetLong(next, n);
            next += n;
        }
    FreeBlocks();
    FArena.Blocks.push_back({bytes, FLive});
    FArena.Held = FLive;
}

void TCellStore::PermuteRows(int AFrom, const std::vector<int>& ASource)
{
    ++FChanges;
    const std::size_t from = std::size_t(std::max(AFrom, 0));
    const std::size_t end = from + ASource.size();
    if (FRows.size() < end)
        FRows.resize(end);
    std::vector<TRow> moved(ASource.size());
    for (std::size_t i = 0; i < ASource.size(); ++i)
        if (ASource[i] >= 0 && std::size_t(ASource[i]) < FRows.size()) {
            moved[i] = FRows[std::size_t(ASource[i])];
            FRows[std::size_t(ASource[i])] = TRow();
        }
    // A row no source names goes.
    for (std::size_t r = from; r < end; ++r) {
        TRow& row = FRows[r];
        for (std::uint32_t c = 0; c < row.Count; ++c)
            Release(row.Texts[c]);
        delete[] row.Texts;
        delete[] row.Objects;
        FCellCapacity -= row.Capacity;
        row = TRow();
    }
    std::copy(moved.begin(), moved.end(), FRows.begin() + std::ptrdiff_t(from));
}

void TCellStore::MoveRow(int FromIndex, int ToIndex)
{
    ++FChanges;
    const std::size_t need = std::size_t(std::max(FromIndex, ToIndex)) + 1;
    if (FRows.size() < need)
        FRows.resize(need);
    const auto at = [&](int i) { return FRows.begin() + std::ptrdiff_t(i); };
    if (FromIndex < ToIndex)
        std::rotate(at(FromIndex), at(FromIndex) + 1, at(ToIndex) + 1);
    else if (ToIndex < FromIndex)
        std::rotate(at(ToIndex), at(FromIndex), at(FromIndex) + 1);
}

void TCellStore::MoveColumn(int FromIndex, int ToIndex)
{
    ++FChanges;
    const std::size_t need = std::size_t(std::max(FromIndex, ToIndex)) + 1;
    auto move = [&](auto* Items) {
        if (FromIndex < ToIndex)
            std::rotate(Items + FromIndex, Items + FromIndex + 1, Items + ToIndex + 1);
        else if (ToIndex < FromIndex)
            std::rotate(Items + ToIndex, Items + FromIndex, Items + FromIndex + 1);
    };
    // Every stored row, also those beyond the grid's count.
    for (TRow& row : FRows) {
        Widen(row, need);
        move(row.Texts);
        if (row.Objects)
            move(row.Objects);
    }
}

void TCellStore::RemoveColumns(int ACol, int ACount, int AEnd, int ARows)
{
    ++FChanges;
    if (ACol < 0 || ACount < 1 || ACol >= AEnd)
        return;
    const std::size_t col = std::size_t(ACol), end = std::size_t(AEnd);
    const std::size_t count = std::min(std::size_t(ACount), end - col), kept = end - col - count;
    const std::size_t rows = std::size_t(std::max(ARows, 0));
    if (FRows.size() < rows)
        FRows.resize(rows);
    // Sorted rows lie apart in memory: the cells of the rows ahead are
    // fetched while this one moves.
    constexpr std::size_t Ahead = 8;
    for (std::size_t r = 0; r < rows; ++r) {
        if (r + Ahead < rows && FRows[r + Ahead].Count > col)
            __builtin_prefetch(&FRows[r + Ahead].Texts[col]);
        TRow& row = FRows[r];
        Widen(row, end);
        for (std::size_t c = col; c < col + count; ++c)
            Release(row.Texts[c]);
        std::memmove(row.Texts + col, row.Texts + col + count, kept * sizeof(TCell));
        for (std::size_t c = end - count; c < end; ++c)
            row.Texts[c].SetEmpty();
        if (row.Objects) {
            std::memmove(row.Objects + col, row.Objects + col + count, kept * sizeof(TObject*));
            std::fill(row.Objects + end - count, row.Objects + end, nullptr);
        }
    }
}

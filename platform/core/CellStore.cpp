#include "platform/core/CellStore.h"

#include <algorithm>
#include <stdexcept>

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
        FCellCapacity += capacity - ARow.Capacity;
        ARow.Capacity = std::uint32_t(capacity);
    }
    ARow.Count = std::uint32_t(std::max<std::size_t>(ARow.Count, ACount));
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

char* TCellStore::Allocate(std::size_t ASize)
{
    if (ASize <= FLeft) {
        char* p = FFree;
        FFree += ASize;
        FLeft -= ASize;
        Unpoison(p, ASize);
        return p;
    }
    const std::size_t size = std::max(FNextBlock, FirstBlock);
    FNextBlock = std::min(size * 2, LargestBlock);
    const std::size_t blockSize = std::max(size, ASize);
    FBlocks.push_back({new char[blockSize], blockSize});
    FHeld += blockSize;
    char* p = FBlocks.back().Bytes;
    Poison(p + ASize, blockSize - ASize);
    if (ASize < size) {
        // The rest of the last block is left behind; this one goes on.
        FFree = p + ASize;
        FLeft = size - ASize;
    }
    return p;
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
    for (TBlock& b : FBlocks) {
        Unpoison(b.Bytes, b.Size);
        delete[] b.Bytes;
    }
    FBlocks.clear();
    FFree = nullptr;
    FLeft = 0;
    FHeld = 0;
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

void TCellStore::Write(TCell& ACell, std::string_view AValue)
{
    TCell& cell = ACell;
    const TCell old = cell;
    if (AValue.size() <= TCell::InlineMax) {
        cell.SetInline(AValue);
        Release(old);
        return;
    }
    if (AValue.size() > UINT32_MAX)
        throw std::length_error("cell text too long");
    const std::size_t blocks = FBlocks.size();
    char* p = Allocate(AValue.size());
    std::memcpy(p, AValue.data(), AValue.size());
    cell.SetLong(p, AValue.size());
    FLive += AValue.size();
    Release(old);
    if (FBlocks.size() != blocks)
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
    const std::size_t dead = FHeld - FLeft - FLive;
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
    FBlocks.push_back({bytes, FLive});
    FHeld = FLive;
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

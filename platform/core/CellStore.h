#pragma once
// The texts and objects of a grid's cells, by stored column and row. A cell
// takes 16 bytes: a text of up to 15 bytes lies inside it, a longer one in
// blocks of text the store owns, written one after the other. A text that is
// replaced leaves its bytes in the block until the dead bytes outweigh both
// the living ones and the cells themselves; then the living texts are copied
// close together and the old blocks freed. A row's objects are kept apart
// and made only when the row gets its first object, so that a grid of texts
// pays nothing for them.
//
// A view of a text stays valid until the store changes. Built for
// AddressSanitizer, the bytes of a replaced text and the free room of a
// block are poisoned, so that a view read after its cell changed is
// reported, as one into a block freed since.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TObject;

class TCellStore {
public:
    TCellStore() = default;
    ~TCellStore();
    TCellStore(const TCellStore&) = delete;
    TCellStore& operator=(const TCellStore&) = delete;

    // Rows that hold cells (some of them none), and the cells of a row.
    int RowCount() const { return int(FRows.size()); }
    int ColCount(int ARow) const { return std::size_t(ARow) < FRows.size() ? int(FRows[std::size_t(ARow)].Count) : 0; }

    // An empty text and no object for a cell never written. Indices are not negative.
    std::string_view Text(int ACol, int ARow) const
    {
        if (std::size_t(ARow) >= FRows.size())
            return {};
        const TRow& row = FRows[std::size_t(ARow)];
        return std::size_t(ACol) < row.Count ? row.Texts[ACol].View() : std::string_view();
    }
    TObject* Object(int ACol, int ARow) const
    {
        if (std::size_t(ARow) >= FRows.size())
            return nullptr;
        const TRow& row = FRows[std::size_t(ARow)];
        return row.Objects && std::size_t(ACol) < row.Count ? row.Objects[ACol] : nullptr;
    }
    // The texts of the AColCount columns ACols in the ACount rows ARows, as
    // Text gives them one by one, into AOut: column ACols[i] in row ARows[k]
    // at AOut[i * ACount + k]. A walk down columns of many rows reads each
    // row's cells once, the rows ahead brought into the processor's cache.
    void ColumnTexts(const int* ACols, std::size_t AColCount, const int* ARows, std::size_t ACount,
                     std::string_view* AOut) const;
    // Whether a row holds any object.
    bool RowHasObjects(int ARow) const { return std::size_t(ARow) < FRows.size() && FRows[std::size_t(ARow)].Objects; }

    // Writing makes the row and the cell when missing: a row made or
    // widened holds at least AMinCols cells. AValue may view any text, one
    // of this store's too.
    void SetText(int ACol, int ARow, std::string_view AValue, int AMinCols);
    // The texts of ACount cells of a row from AFirstCol on, as SetText one by one.
    void SetTexts(int AFirstCol, int ARow, const std::string_view* AValues, int ACount, int AMinCols);
    // The texts of the ACols cells from column 0 of ACount rows from AFirstRow
    // on, as SetTexts row by row: ARow(Row, Values, Scratch) gives a row's
    // texts in Values (empty when it is called); they may view Scratch, a
    // string of the calling thread's own, until the next call. The rows are
    // written on several threads, ARow called on each.
    using TRowTexts = std::function<void(int ARow, std::string_view* AValues, std::string& AScratch)>;
    void SetRowsTexts(int AFirstRow, int ACount, int ACols, int AMinCols, const TRowTexts& ARow);
    void SetObject(int ACol, int ARow, TObject* AObject, int AMinCols);
    // Empties the texts of the cells stored in the rectangle (objects stay);
    // no cell is made.
    void ClearTexts(int FromCol, int FromRow, int ToCol, int ToRow);

    // Row AFrom + i takes the place of row ASource[i] (a row from AFrom on,
    // or -1 for an empty row).
    void PermuteRows(int AFrom, const std::vector<int>& ASource);
    // The row (column) moves to ToIndex, those between shift by one.
    void MoveRow(int FromIndex, int ToIndex);
    void MoveColumn(int FromIndex, int ToIndex);
    // In each of the first ARows rows (made when missing, widened to AEnd
    // cells) the cells from ACol + ACount up to AEnd take the place of those
    // from ACol on, and the ACount cells before AEnd are left empty, without
    // text or object; cells from AEnd on stay. The objects of the removed
    // cells are not freed.
    void RemoveColumns(int ACol, int ACount, int AEnd, int ARows);
    // Starts bringing a cell into the processor's cache ahead of its use.
    void Prefetch(int ACol, int ARow) const
    {
        if (std::size_t(ARow) < FRows.size() && std::size_t(ACol) < FRows[std::size_t(ARow)].Count)
            __builtin_prefetch(&FRows[std::size_t(ARow)].Texts[ACol]);
    }

    // Counts the changes that may move or replace texts: a view of a text
    // stays valid while the count stays the same.
    std::uint64_t Changes() const { return FChanges; }

    // Bytes of the longer texts in use, and bytes the store holds for them.
    std::size_t LiveTextBytes() const { return FLive; }
    std::size_t HeldTextBytes() const { return FArena.Held; }

private:
    class TCell {
    public:
        static constexpr unsigned char Long = 0x80;
        static constexpr std::size_t InlineMax = 15;
        std::string_view View() const
        {
            const unsigned char tag = FBytes[15];
            if (tag <= InlineMax)
                return {reinterpret_cast<const char*>(FBytes), tag};
            return {Ptr(), Size()};
        }
        bool IsLong() const { return FBytes[15] == Long; }
        const char* Ptr() const
        {
            const char* p;
            std::memcpy(&p, FBytes, sizeof p);
            return p;
        }
        std::size_t Size() const
        {
            std::uint32_t n;
            std::memcpy(&n, FBytes + 8, sizeof n);
            return n;
        }
        void SetInline(std::string_view AText)
        {
            if (!AText.empty())
                std::memmove(FBytes, AText.data(), AText.size());
            FBytes[15] = static_cast<unsigned char>(AText.size());
        }
        void SetLong(const char* APtr, std::size_t ASize)
        {
            const std::uint32_t n = std::uint32_t(ASize);
            std::memcpy(FBytes, &APtr, sizeof APtr);
            std::memcpy(FBytes + 8, &n, sizeof n);
            FBytes[15] = Long;
        }
        void SetEmpty() { FBytes[15] = 0; }

    private:
        alignas(8) unsigned char FBytes[16] = {};
    };
    static_assert(sizeof(TCell) == 16);

    struct TRow {
        TCell* Texts = nullptr;
        TObject** Objects = nullptr;
        std::uint32_t Count = 0;
        std::uint32_t Capacity = 0;
    };

    TRow& RowFor(int ACol, int ARow, int AMinCols);
    void Write(TCell& ACell, std::string_view AValue);
    void Widen(TRow& ARow, std::size_t ACount);
    // Makes room for ACount cells in a row; the cells added to its capacity.
    static std::size_t WidenRow(TRow& ARow, std::size_t ACount);
    // A longer text no cell holds any more.
    void Release(const TCell& ACell);
    void CompactIfWorthIt();
    void Compact();
    void FreeBlocks();

    std::vector<TRow> FRows;
    struct TBlock {
        char* Bytes;
        std::size_t Size;
    };
    // Blocks of text handed out one after the other.
    struct TArena {
        std::vector<TBlock> Blocks;
        char* Free = nullptr;        // the next free byte of the last block
        std::size_t Left = 0;        // free bytes after it
        std::size_t Held = 0;
        std::size_t NextBlock = 0;   // the size of the next block
    };
    // Room for a longer text; may add a block, never frees one.
    static char* Allocate(TArena& AArena, std::size_t ASize);
    // Writes a text into a cell, a longer one into the arena's blocks; the bytes it took
    // there (0 for a text inside the cell). What the cell held before is not let go.
    static std::size_t Put(TArena& AArena, TCell& ACell, std::string_view AValue);
    // The arena's next texts go to a new block of ASize bytes; blocks after it start small again.
    static void Reserve(TArena& AArena, std::size_t ASize);
    TArena FArena;
    std::size_t FLive = 0;
    std::size_t FCellCapacity = 0;   // cells the rows have room for
    std::uint64_t FChanges = 0;
};

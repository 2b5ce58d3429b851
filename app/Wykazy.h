#pragma once
// Register files ("wykazy"): the record line of five fields, the register
// grid's columns, the lookup of standards in the catalogue, free file names,
// the import of tab-separated text and the proposals for numbers that the
// catalogue does not hold.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/Types.h"

class TObject;
class TStrings;
class TProStringGrid;
class TBrush;
class TFont;

// Fields of a register record, in file order.
enum TListField { lfDocNorm, lfListNorm, lfMaterial, lfPart, lfDrawing };
constexpr int ListFieldCount = 5;
using TListRecord = std::array<AnsiString, ListFieldCount>;

// The register grid: the row number, the five fields and the three
// looked-up columns (state, current standard, holding).
constexpr int ListColCount = 9;
extern const std::array<AnsiString, ListColCount> ListHeaders;
// Grid columns of the fields in viewing mode: 1, 2, 6, 7, 8.
extern const std::array<int, ListFieldCount> ListFieldViewCols;
// Grid columns of the looked-up texts in viewing mode.
constexpr int ListStateCol = 3;
constexpr int ListCurrentCol = 4;
constexpr int ListHoldingCol = 5;

extern const AnsiString NotInCatalogue;       // "Brak w spisie"
extern const AnsiString NormsDifferComment;   // "Normy się różnią !!!"

// The five fields of a register line; a line without the final "|" reads as
// one with it, text after the fifth "|" is dropped.
TListRecord SplitListLine(const AnsiString& Line);
// The fields each followed by "|" (a "|" or line break inside a field becomes a blank).
AnsiString ListLine(const TListRecord& Record);

// The first catalogue row (rows 1 to the last row, column 1 compared
// exactly) of each of a set of numbers: the lookup of the registers and of
// the list of used standards. The numbers sought go into an open-addressing
// hash table and the catalogue is walked once, each number hashed and
// looked up there; the first row that holds a number is the one kept.
class TNormIndex {
public:
    TNormIndex(TProStringGrid* Catalogue, const std::vector<AnsiString>& Numbers);
    // The first catalogue row whose number equals Number (one of the
    // numbers sought), -1 when none does.
    int Find(const AnsiString& Number) const;

private:
    struct TSlot {
        size_t Hash = 0;
        int Number = -1;   // index into FNumbers, -1: free
    };
    std::vector<AnsiString> FNumbers;   // distinct
    std::vector<int> FRows;             // the row of each, -1 when none
    std::vector<TSlot> FSlots;
    size_t FMask = 0;
    // The slot holding Number, or the free slot where it would go.
    size_t SlotOf(std::string_view Number, size_t Hash) const;
};

// The stored column of the register grid whose header (row 0) is Header,
// looked up over hidden columns too; -1 when there is none. The grid's
// columns move when editing mode is switched; their headers go with them.
int ListColumnOf(TProStringGrid* Grid, const AnsiString& Header);

// Writes a register file whole, its folder created when missing; raises
// EFCreateError when it cannot (the old file then stays as it was).
void WriteListFile(const AnsiString& FileName, const AnsiString& Text);

// A register name of the menu file names a file in the registers folder
// itself: not empty, no "\" or "/", no "..". A ":" is a character of the name
// like any other ("Skala_1:10.txt"): the name always follows the folder.
bool IsPlainListName(const AnsiString& Name);

// The base of a new register file name: blank, ".", ";", "\", "/", "<", ">",
// "|", "*", "?" and the double quote become "_".
AnsiString ListFileBase(const AnsiString& Name);
// Base + ".txt" when Taken says it is free, else Base + "_01.txt", "_02.txt"
// ... (at least two digits) until one is free.
AnsiString FreeListFileName(const AnsiString& Base, const std::function<bool(const AnsiString&)>& Taken);
// Makes a new, empty register file in Folder (ending with its delimiter) under
// the first of those names that Taken leaves free, and gives the name. The file
// is made exclusively: a name that another login's file took since Taken looked
// is passed over like a taken one, so that no file of another login is ever
// replaced. EFCreateError when no file can be made there.
AnsiString CreateListFile(const AnsiString& Folder, const AnsiString& Base,
                          const std::function<bool(const AnsiString&)>& Taken);

// ---------------------------------------------------------------- import
// The register lines of tab-separated text (part, drawing, material,
// standard): a cell opened by a quote and closed by a later one may span
// lines; any other quote is text, one never closed too. Step runs once per
// line of each of the six passes, given the number of logical lines of the
// source.
struct TListImport {
    int Lines = 0;
    int Dropped = 0;   // lines with fewer than three tabs
    AnsiString Text;   // the register lines, each followed by CR LF
};
TListImport ImportListText(const AnsiString& Source, const std::function<void(int Lines)>& Step = nullptr);
// The status of dropped lines: sixteen blanks, N and the form of its number.
AnsiString DroppedLinesText(int N);

// ---------------------------------------------------------------- numbers
// The core of a designation that the catalogue is searched for; "" when the
// designation gives none.
AnsiString NormCore(const AnsiString& Entry);
// The proposal for an entry that is not in the catalogue: the entry itself
// without "pn" (any case); else the number (current) or the replacement (not
// current) of the last catalogue row 1 to RowCount - 2 whose number holds
// the core; the entry when nothing is found or the core is empty.
AnsiString ProposeNorm(const AnsiString& Entry, TProStringGrid* Catalogue);

// ---------------------------------------------------------------- list grids
// The grids of the used standards and of the correctness review: the
// number column (column 1 of the data rows) painted in NumberColor with
// black text, except a selected cell without the focus; row 0 bold.
// AState holds the grid's draw-state flags.
void NormListCellColor(TProStringGrid* Grid, int ARow, int ACol, unsigned AState, TBrush* ABrush, TFont* AFont,
                       std::int32_t NumberColor);
// Drops the rows whose column 1 repeats an earlier row (an empty cell never
// does, case is ignored), sorts by column 1, numbers column 0 and sizes the
// columns; the empty last row stays last.
void SortNormListRows(TProStringGrid* Grid);

// While it lives, the grid's exports write the state column StateCol (its
// coloured paragraph) as the plain state word; a web page (Html) keeps the
// paragraph and shows every other cell as typed ("<B>" in a title is no markup).
class TStateWordExport {
public:
    TStateWordExport(TProStringGrid* Grid, int StateCol, bool Html);
    ~TStateWordExport();
    TStateWordExport(const TStateWordExport&) = delete;
    TStateWordExport& operator=(const TStateWordExport&) = delete;

private:
    TProStringGrid* FGrid;
    std::function<void(TObject*, int, int, AnsiString&)> FOwn;
    bool FOwnConcurrent;
};

#pragma once
// Shared by the grid's file services: the hourglass while a file is written or
// read, cell text as 8-bit text or as UTF-8, and the split of a text into lines.
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Types.h"
#include "platform/gui/Controls.h"

// Shows the hourglass while it lives and puts the cursor back after (also on an exception).
class THourGlass {
public:
    THourGlass();
    ~THourGlass();
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    TCursor FSaved;
};

class TProStringGrid;
// The grid's update bracket while it lives (ended also on an exception).
class TGridUpdate {
public:
    explicit TGridUpdate(TProStringGrid* Grid);
    ~TGridUpdate();
    TGridUpdate(const TGridUpdate&) = delete;
    TGridUpdate& operator=(const TGridUpdate&) = delete;

private:
    TProStringGrid* FGrid;
};

// What a read into the grid may change (the cells with their records, the size, the columns'
// order and widths, the rows' heights and marks, the current cell and the undo list), taken when
// it is made and put back when it goes unless Keep was called: a read that fails midway (out of
// memory, a file or a hook that fails) leaves the grid as it was. The cells are taken in the rows
// FromRow..ToRow (with the grid's last row, which footers change, and the stored rows beyond
// RowCount); the other rows must stay as they are. A point kept while another is active for the
// grid hands what it took to that one, which puts it back when it fails in its turn.
class TGridRestorePoint {
public:
    static constexpr int AllRows = 0x7FFFFFFF;
    explicit TGridRestorePoint(TProStringGrid* Grid, int FromRow = 0, int ToRow = AllRows);
    ~TGridRestorePoint();
    TGridRestorePoint(const TGridRestorePoint&) = delete;
    TGridRestorePoint& operator=(const TGridRestorePoint&) = delete;
    void Keep();

private:
    struct TState;
    static void Restore(TProStringGrid* Grid, TState& State);
    TProStringGrid* FGrid;
    bool FKept = false;
    // The grid as it was when this point was made, then what the points kept inside it took.
    std::vector<std::unique_ptr<TState>> FStates;
};

// Exports and print layouts take their plain way while this is set: every export row formed on
// the grid's thread through SaveCell, every field and sheet cell by the general code, every
// printed cell measured through the cell-style query. The faster ways give the same bytes and
// pages; the tests compare the two.
extern bool PlainWays;

// A Unicode cell ("|\" form) as Windows-1250 text ("?" for what has no byte); other text unchanged.
AnsiString CellTextAsAnsi(const AnsiString& S);
// Any cell text as UTF-8.
std::string CellTextAsUtf8(const AnsiString& S);
// UTF-8 text as cell text: Windows-1250 when every character has a byte, else the "|\" form.
AnsiString CellTextFromUtf8(const std::string& S);
// The lines of S split at CR (one LF after a CR belongs to the break); one line for "".
std::vector<AnsiString> TextLines(const AnsiString& S);
// ".xls" -> ".xlsx", ".doc" -> ".docx" (any case); other names unchanged.
AnsiString OfficeFileName(const AnsiString& FileName, const char* OldExt);

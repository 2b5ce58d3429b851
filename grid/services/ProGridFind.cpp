// TProStringGrid: the cell-by-cell text search behind Find and the search footer.
#include <algorithm>
#include <array>
#include <cwctype>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

namespace {
// Upper case of every Windows-1250 byte, by the program's own case rules.
const std::array<char, 256>& UpperTable()
{
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = AnsiUpperCase(AnsiString(1, char(i)))[0];
        return t;
    }();
    return table;
}

void UpperInPlace(AnsiString& S)
{
    const auto& up = UpperTable();
    for (char& ch : S)
        ch = up[static_cast<unsigned char>(ch)];
}

void UpperInPlace(WideString& S)
{
    for (char16_t& ch : S)
        ch = char16_t(std::towupper(wchar_t(ch)));
}

// The position (1-based, 0 none) of Sub in S; with MatchStart only a match at the start counts.
template <class S>
std::size_t FindPos(const S& Sub, const S& Text, bool MatchStart)
{
    if (MatchStart)
        return Text.compare(0, Sub.size(), Sub) == 0 ? 1 : 0;
    std::size_t p = Text.find(Sub);
    return p == S::npos ? 0 : p + 1;
}

// The position (1-based, 0 none) of the upper-cased Sub in Text compared upper-cased, without
// changing Text; with MatchStart only at the start.
std::size_t FindPosFolded(const AnsiString& Sub, const AnsiString& Text, bool MatchStart)
{
    const auto& up = UpperTable();
    auto same = [&](std::size_t At) {
        for (std::size_t k = 0; k < Sub.size(); ++k)
            if (up[static_cast<unsigned char>(Text[At + k])] != Sub[k])
                return false;
        return true;
    };
    if (Sub.size() > Text.size())
        return 0;
    if (Sub.empty())
        return 1;
    if (MatchStart)
        return same(0) ? 1 : 0;
    const std::size_t last = Text.size() - Sub.size();
    for (std::size_t i = 0; i <= last; ++i)
        if (up[static_cast<unsigned char>(Text[i])] == Sub[0] && same(i))
            return i + 1;
    return 0;
}

// The search text of two double quotes stands for an empty cell.
bool IsEmptyCellText(const AnsiString& Text)
{
    return Text == "\"\"";
}
} // namespace

void TProStringGrid::FindCell(TPoint StartCell, const AnsiString& Text, TPoint& Found, Word Flags, bool Wide)
{
    Found = TPoint(-1, -1);
    FFind.Flags = Flags;
    FFind.Searching = true;
    const bool matchCase = Flags & fnMatchCase;
    FFind.Text = Text;
    FFind.WideText = AnsiToWide(Text);
    if (!matchCase) {
        UpperInPlace(FFind.Text);
        UpperInPlace(FFind.WideText);
    }

    if (ColCount() == FixedCols() || ColCount() == 0 || RowCount() == FixedRows() || RowCount() == 0) {
        FFind.Searching = false;
        return;
    }

    // The range.
    int c0 = FixedCols(), c1 = ColCount() - 1 - FixedRightCols();
    int r0 = FixedRows(), r1 = RowCount() - 1 - FixedFooters();
    if (Flags & fnIncludeFixed) {
        c0 = 0;
        r0 = 0;
        c1 = ColCount() - 1;
        r1 = RowCount() - 1;
    }
    if (Flags & fnSelectedCells) {
        TGridRect sel = Selection();
        c0 = sel.Left;
        c1 = sel.Right;
        r0 = sel.Top;
        r1 = sel.Bottom;
    }
    if (Flags & fnIncludeHiddenColumns)
        c1 += NumHiddenColumns();
    // Stored rows are addressed (and hidden ones read) only when asked for.
    const bool storedRows = (Flags & fnIncludeHiddenRows) && HasNodes();
    if (storedRows)
        r1 += NumHiddenRows();
    if (Flags & fnFindInCurrentRow)
        r0 = r1 = Row();
    if (Flags & fnFindInPresetRow)
        r0 = r1 = FFind.SearchRow;
    if (Flags & fnFindInCurrentCol)
        c0 = c1 = Col();
    if (Flags & fnFindInPresetCol)
        c0 = c1 = FFind.SearchCol;
    if (c0 < 0 || r0 < 0 || c1 < c0 || r1 < r0) {
        FFind.Searching = false;
        return;
    }

    // The start, one cell on from StartCell in the search order (wrapping inside the range).
    const bool backward = Flags & fnBackward;
    const bool rowOrder = Flags & fnDirectionLeftRight;
    int sc, sr;
    if (StartCell.X == -1 && StartCell.Y == -1) {
        sc = backward ? c1 : c0;
        sr = backward ? r1 : r0;
    } else {
        sc = std::clamp(StartCell.X, c0, c1);
        sr = std::clamp(StartCell.Y, r0, r1);
        // Inner and outer index of the order: rows inside columns, or columns inside rows.
        int& inner = rowOrder ? sc : sr;
        int& outer = rowOrder ? sr : sc;
        const int i0 = rowOrder ? c0 : r0, i1 = rowOrder ? c1 : r1;
        const int o0 = rowOrder ? r0 : c0, o1 = rowOrder ? r1 : c1;
        if (!backward) {
            if (++inner > i1) {
                inner = i0;
                if (++outer > o1)
                    outer = o0;
            }
        } else if (--inner < i0) {
            inner = i1;
            if (--outer < o0)
                outer = o1;
        }
    }

    // Stored columns of the range, mapped once.
    std::vector<int> realCol(std::size_t(c1 - c0 + 1));
    std::vector<char> ignored(realCol.size());
    for (int c = c0; c <= c1; ++c) {
        realCol[std::size_t(c - c0)] = (Flags & fnIncludeHiddenColumns) ? c : RealColIndex(c);
        ignored[std::size_t(c - c0)] = rowOrder && IsIgnoredColumn(c);
    }

    const bool emptyOnly = IsEmptyCellText(Text) || (Wide && Text.empty());
    auto matches = [&](int c, int r) {
        const int rc = realCol[std::size_t(c - c0)];
        if (Wide) {
            WideString wcell = GetWideCell(rc, r);
            if (emptyOnly)
                return wcell.empty();
            if (!matchCase)
                UpperInPlace(wcell);
            std::size_t p = FindPos(FFind.WideText, wcell, Flags & fnMatchStart);
            if (Flags & fnMatchFull)
                return p > 0 && wcell == FFind.WideText;
            return p > 0;
        }
        AnsiString cell = storedRows ? GetCellByRealRow(rc, r) : Cells(rc, r);
        if (Flags & fnIgnoreHTMLTags)
            cell = HtmlToPlainText(cell);
        if (emptyOnly)
            return cell.empty();
        if (Flags & fnMatchFilter)
            return MatchFilterCondition(Text, cell, matchCase);
        // An empty text stands nowhere in a cell (the wide search keeps finding empty cells).
        if (FFind.Text.empty())
            return false;
        if (Flags & fnMatchFull)
            return cell.size() == FFind.Text.size() &&
                   (matchCase ? cell == FFind.Text : FindPosFolded(FFind.Text, cell, true) == 1);
        return (matchCase ? FindPos(FFind.Text, cell, Flags & fnMatchStart)
                          : FindPosFolded(FFind.Text, cell, Flags & fnMatchStart)) > 0;
    };

    const int step = backward ? -1 : 1;
    const int i0 = rowOrder ? c0 : r0, i1 = rowOrder ? c1 : r1;
    const int o1 = rowOrder ? r1 : c1, o0 = rowOrder ? r0 : c0;
    const int oStart = rowOrder ? sr : sc, iStart = rowOrder ? sc : sr;
    const int oEnd = backward ? o0 : o1;
    for (int o = oStart; backward ? o >= oEnd : o <= oEnd; o += step) {
        const int from = o == oStart ? iStart : (backward ? i1 : i0);
        const int to = backward ? i0 : i1;
        for (int i = from; backward ? i >= to : i <= to; i += step) {
            const int c = rowOrder ? i : o, r = rowOrder ? o : i;
            DoProgress(1, r);
            if (ignored[std::size_t(c - c0)])
                continue;
            if (!matches(c, r))
                continue;
            Found = TPoint(c, r);
            FFind.LastFound = Found;
            if (Flags & fnAutoGoto) {
                int row = r;
                if (storedRows) {
                    if (IsHiddenRow(r)) {
                        // The node that holds the row: the nearest shown row above it.
                        int node = r;
                        while (node > 0 && IsHiddenRow(node))
                            --node;
                        ExpandNode(node);
                    }
                    row = DisplayRowIndex(r);
                }
                if (MouseActions()->DisjunctRowSelect()) {
                    ClearRowSelect();
                    SetShownRowSelect(row, true);
                } else {
                    // A stored column is made current as shown; a hidden one leaves the column as it is.
                    const bool stored = Flags & fnIncludeHiddenColumns;
                    if (!stored)
                        SetCol(c);
                    else if (!IsHiddenColumn(c))
                        SetCol(DisplayColumn(c));
                    SetRow(row);
                }
            }
            return;
        }
    }
    FFind.Searching = false;
}

void TProStringGrid::FindFirstNext(TPoint StartCell, const AnsiString& Text, TPoint& Found, Word Flags)
{
    DoProgress(0, -1);
    FindCell(StartCell, Text, Found, Flags);
    DoProgress(Found.X >= 0 ? 4 : 2, Found.Y);
}

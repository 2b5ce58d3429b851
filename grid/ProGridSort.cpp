// TProStringGrid: sorting by one column, by a list of columns and inside
// node groups, and putting the rows back in their first order.
//
// Rows compare cell by cell with a style chosen per pair of cells (or given
// by OnGetFormat). The plain text styles compare bytes (the no-case style
// compares the upper-cased texts first, then the texts as they stand); only
// the Ansi styles and the Unicode style use the platform's Polish word sort,
// so that a program can choose either order. The quicksort is the
// grid's own: rows that compare equal end up in the order it leaves them,
// which users see, so it is kept exactly and not replaced by a library sort.
#include <algorithm>
#include <charconv>
#include <cmath>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"

namespace {
constexpr unsigned DescendingBit = 0x80000000u;

int Sign(int V)
{
    return V < 0 ? -1 : (V > 0 ? 1 : 0);
}

template <class T>
int CompareValues(T A, T B)
{
    return A < B ? -1 : (B < A ? 1 : 0);
}

// A number with "." as decimal point, blanks around allowed.
bool ParsePlainFloat(const AnsiString& S, double& Value)
{
    const char* first = S.data();
    const char* last = S.data() + S.size();
    while (first != last && (*first == ' ' || *first == '\t'))
        ++first;
    while (last != first && (last[-1] == ' ' || last[-1] == '\t'))
        --last;
    if (first != last && *first == '+')
        ++first;
    if (first == last)
        return false;
    char c = *first == '-' && last - first > 1 ? first[1] : *first;
    if (!(c >= '0' && c <= '9') && c != '.')
        return false;   // no "inf" or "nan"
    auto [p, ec] = std::from_chars(first, last, Value, std::chars_format::general);
    return ec == std::errc() && p == last;
}

void DeleteFirst(AnsiString& S, const AnsiString& Part)
{
    if (Part.empty())
        return;
    auto p = S.find(Part);
    if (p != AnsiString::npos)
        S.erase(p, Part.size());
}

// The numeric value of a cell text for sorting: suffix and prefix removed,
// thousands separators dropped for money, the decimal separator made ".".
bool SortNumber(AnsiString S, const AnsiString& Prefix, const AnsiString& Suffix, bool Financial, double& Value)
{
    DeleteFirst(S, Suffix);
    DeleteFirst(S, Prefix);
    if (Financial)
        S.erase(std::remove(S.begin(), S.end(), FormatSettings.ThousandSeparator), S.end());
    if (FormatSettings.DecimalSeparator != '.') {
        auto p = S.find(FormatSettings.DecimalSeparator);
        if (p != AnsiString::npos)
            S[p] = '.';
    }
    Value = 0;
    return ParsePlainFloat(S, Value);
}

bool IsNumber(const AnsiString& S)
{
    Byte n = IsNumericText(S);
    return n == 0 || n == 1 || n == 5;
}

double DateValue(const AnsiString& S)
{
    TDateTime d = 0;
    if (S.empty() || !TryStrToDateTime(S, d))
        return 0;
    return d;
}

double TimeValue(const AnsiString& S)
{
    TDateTime d = 0;
    if (S.empty() || !TryStrToTime(S, d))
        return 0;
    return d;
}

template <class Parse>
double GuardedDate(const AnsiString& S, Parse P)
{
    try {
        return P(S);
    } catch (const Exception&) {
        return 0;
    }
}

int ByteCompare(const AnsiString& A, const AnsiString& B)
{
    return Sign(CompareStr(A, B));
}

// Bytes of the upper-cased texts; texts equal but for case by their bytes,
// which puts the upper-case one first.
int ByteCompareNoCase(const AnsiString& A, const AnsiString& B)
{
    int r = ByteCompare(AnsiUpperCase(A), AnsiUpperCase(B));
    return r != 0 ? r : ByteCompare(A, B);
}

// The style the first cell's text suggests.
TSortStyle DetectStyle(const AnsiString& S, bool IgnoreCase)
{
    if (IsNumber(S))
        return ssNumeric;
    TSortStyle style = IgnoreCase ? ssAlphaNoCase : ssAlphabetic;
    auto shapeAt = [&S](char Sep, int& P) {
        auto at = S.find(Sep);
        P = at == AnsiString::npos ? 0 : int(at) + 1;   // 1-based, 0 when absent
        return P > 1 && P < 4 && int(S.size()) > P;
    };
    auto digitsAround = [&S](int P) { return IsDigitChar(S[P - 2]) && IsDigitChar(S[P]); };
    int p = 0;
    if (shapeAt(FormatSettings.DateSeparator, p)) {
        if (digitsAround(p))
            style = S.find(FormatSettings.TimeSeparator) != AnsiString::npos ? ssDateTime : ssDate;
    } else if (shapeAt(FormatSettings.TimeSeparator, p) && digitsAround(p)) {
        style = ssTime;
    }
    return style;
}
}

// ---------------------------------------------------------------- entries
void TProStringGrid::SortByColumn(int ACol, TSortDirection ADirection)
{
    FSortSettings->SetColumn(ACol);
    FSortSettings->SetDirection(ADirection);
    SortRows();
}

void TProStringGrid::SortRows()
{
    RunSort(0);
}

void TProStringGrid::SortRowsIndexed()
{
    RunSort(1);
}

void TProStringGrid::SortGroups()
{
    RunSort(2);
}

void TProStringGrid::SortGroupsIndexed()
{
    RunSort(3);
}

void TProStringGrid::ResetRowOrder()
{
    FRowOrder.Clear();
    for (int r = 0; r < RowCount(); ++r)
        FRowOrder.Add(r);
}

void TProStringGrid::GetCellFormat(int ACol, TSortStyle& AStyle, AnsiString& APrefix, AnsiString& ASuffix)
{
    if (OnGetFormat)
        OnGetFormat(this, ACol, AStyle, APrefix, ASuffix);
}

// ---------------------------------------------------------------- comparing
AnsiString TProStringGrid::SortCellText(int ACol, int ARow)
{
    AnsiString s = FSortSettings->SortOnVirtualCells() ? Cells(ACol, ARow) : GetGridCell(ACol, ARow);
    if (s.size() >= 2 && s[0] == '|' && s[1] == '\\')
        s = WideToAnsi(DecodeUnicodeCell(s));
    return s;
}

int TProStringGrid::CompareCells(int ACol, int ARow1, int ARow2, TSortDirection ADirection)
{
    TSortSettings* ss = FSortSettings.get();
    TSortStyle style = ss->AutoFormat() ? ssAutomatic : (ss->IgnoreCase() ? ssAlphaNoCase : ssAlphabetic);
    AnsiString prefix, suffix;
    GetCellFormat(ACol, style, prefix, suffix);
    AnsiString s1 = SortCellText(ACol, ARow1);
    AnsiString s2 = SortCellText(ACol, ARow2);

    if (style == ssAutomatic)
        style = IsCheckBoxType(GetCellType(ACol, ARow1)) ? ssCheckBox : DetectStyle(s1, ss->IgnoreCase());
    if (style == ssAlphaNumeric || style == ssAlphaNumericNoCase) {
        if (IsNumber(s1) && IsNumber(s2))
            style = ssNumeric;
        else
            style = style == ssAlphaNumeric ? ssAlphabetic : ssAlphaNoCase;
    }

    int res = 0;
    switch (style) {
    case ssAlphabetic:
    case ssAlphaCase:
        res = ByteCompare(s1, s2);
        break;
    case ssAlphaNoCase:
        res = ByteCompareNoCase(s1, s2);
        break;
    case ssAnsiAlphaCase:
        res = Sign(AnsiCompareStr(s1, s2));
        break;
    case ssAnsiAlphaNoCase:
        res = Sign(AnsiCompareText(s1, s2));
        break;
    case ssUnicode:
        res = Sign(CollateWide(GetWideCell(ACol, ARow1), GetWideCell(ACol, ARow2), true));
        break;
    case ssHTML:
        res = ByteCompare(GetStrippedCell(ACol, ARow1), GetStrippedCell(ACol, ARow2));
        break;
    case ssNumeric:
    case ssFinancial: {
        double v1 = 0, v2 = 0;
        bool ok1 = SortNumber(s1, prefix, suffix, style == ssFinancial, v1) || s1.empty();
        bool ok2 = SortNumber(s2, prefix, suffix, style == ssFinancial, v2) || s2.empty();
        if (!ok1)
            v1 = 0;
        if (!ok2)
            v2 = 0;
        res = ok1 || ok2 ? CompareValues(v1, v2) : 0;
        break;
    }
    case ssDate:
    case ssDateTime:
        res = CompareValues(DateValue(s1), DateValue(s2));
        break;
    case ssTime:
        res = CompareValues(TimeValue(s1), TimeValue(s2));
        break;
    case ssShortDateEU:
        res = CompareValues(GuardedDate(s1, ParseDateDMY), GuardedDate(s2, ParseDateDMY));
        break;
    case ssShortDateUS:
        res = CompareValues(GuardedDate(s1, ParseDateMDY), GuardedDate(s2, ParseDateMDY));
        break;
    case ssImages:
        res = CompareValues(CellGraphicValue(ACol, ARow1), CellGraphicValue(ACol, ARow2));
        break;
    case ssCheckBox:
    {
        bool b1 = false, b2 = false;
        GetCheckBoxState(ACol, ARow1, b1);
        GetCheckBoxState(ACol, ARow2, b2);
        res = CompareValues(int(b1), int(b2));
        break;
    }
    case ssCustom:
        if (OnCustomCompare)
            OnCustomCompare(this, s1, s2, res);
        break;
    case ssRaw:
        if (OnRawCompare)
            OnRawCompare(this, ACol, ARow1, ARow2, res);
        break;
    default:
        break;
    }

    if (ss->IgnoreBlanks() && s1.empty() != s2.empty()) {
        // The caller reverses a descending comparison, so the blank's place
        // is given here in the reverse sense for it.
        int blankFirst = ss->BlankPos() == blFirst ? -1 : 1;
        res = s1.empty() ? blankFirst : -blankFirst;
        if (ADirection == sdDescending)
            res = -res;
    }
    return res;
}

int TProStringGrid::CompareRows(int ACol, int ARow1, int ARow2)
{
    int cols = FSortDepth > 0 ? AllColCount() : ColCount();
    for (int c = ACol;; ++c) {
        if (IsIgnoredColumn(c))
            return 0;
        int r = CompareCells(c, ARow1, ARow2, FSortSettings->Direction());
        if (r != 0 || !FSortSettings->Full() || c > cols - 2)
            return r;
    }
}

int TProStringGrid::CompareRowsIndexed(int AIndex, int ARow1, int ARow2)
{
    unsigned entry = unsigned(FSortIndexes->GetItem(AIndex));
    int col = int(entry & ~DescendingBit);
    bool descending = (entry & DescendingBit) != 0;
    int r = 0;
    if (!IsIgnoredColumn(col))
        r = CompareCells(col, ARow1, ARow2, descending ? sdDescending : sdAscending);
    if (r == 0 && FSortSettings->Full() && AIndex < FSortIndexes->Count() - 1)
        return CompareRowsIndexed(AIndex + 1, ARow1, ARow2);
    return descending ? -r : r;
}

// ---------------------------------------------------------------- quicksorts
// The pivot row is copied into the scratch row RowCount - 2, so that it keeps
// its value while rows are exchanged.
void TProStringGrid::CopyRowToScratch(int AFrom, int ATo)
{
    int cols = AllColCount();
    bool display = bool(OnGetDisplText) && FSortSettings->SortOnVirtualCells();
    for (int c = 0; c < cols; ++c) {
        SetGridCell(c, ATo, display ? Cells(c, AFrom) : GetGridCell(c, AFrom));
        SetGridObject(c, ATo, GetGridObject(c, AFrom));
    }
}

void TProStringGrid::QuickSortRowRange(int ALo, int AHi, const std::function<int(int A, int B)>& ACompare,
                                       int ASign, bool ASwapEqual)
{
    // The smaller part recurses and the larger one loops: the same exchanges
    // as recursing on both, with a stack depth that stays small.
    while (ALo < AHi) {
        int i = ALo, j = AHi;
        int pivot = RowCount() - 2;
        CopyRowToScratch((ALo + AHi) / 2, pivot);
        do {
            while (ACompare(pivot, i) == ASign && i < AHi)
                ++i;
            while (ACompare(j, pivot) == ASign && j > ALo)
                --j;
            if (i <= j) {
                if (i != j && (ASwapEqual || ACompare(i, j) != 0))
                    SwapRows(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - ALo < AHi - i) {
            if (ALo < j)
                QuickSortRowRange(ALo, j, ACompare, ASign, ASwapEqual);
            ALo = i;
        } else {
            if (i < AHi)
                QuickSortRowRange(i, AHi, ACompare, ASign, ASwapEqual);
            AHi = j;
        }
    }
}

void TProStringGrid::QuickSortRows(int ACol, int ALo, int AHi)
{
    int sign = FSortSettings->Direction() == sdDescending ? -1 : 1;
    QuickSortRowRange(ALo, AHi, [this, ACol](int A, int B) { return CompareRows(ACol, A, B); }, sign, false);
}

void TProStringGrid::QuickSortRowsIndexed(int AIndex, int ALo, int AHi)
{
    QuickSortRowRange(ALo, AHi, [this, AIndex](int A, int B) { return CompareRowsIndexed(AIndex, A, B); }, 1,
                      true);
}

void TProStringGrid::SortRangeIndexed(int ALo, int AHi)
{
    int rows = RowCount();
    ++FSortDepth;
    TBaseGrid::SetRowCount(rows + 3);
    try {
        QuickSortRowsIndexed(0, ALo, AHi);
    } catch (...) {
        ResetStoredRows(rows, rows + 2);
        TBaseGrid::SetRowCount(rows);
        --FSortDepth;
        throw;
    }
    ResetStoredRows(rows, rows + 2);
    TBaseGrid::SetRowCount(rows);
    --FSortDepth;
}

// Sorts the rows under every expanded node of the deepest level.
void TProStringGrid::SortGroupRows(bool AIndexed)
{
    int lo = FixedRows(), hi = RowCount() - 4 - FixedFooters();
    int deepest = -1;
    for (int r = lo; r <= hi; ++r)
        if (IsNodeRow(r))
            deepest = std::max(deepest, GetNodeLevel(RealRowIndex(r)));
    if (deepest < 0)
        return;
    for (int r = lo; r <= hi; ++r) {
        if (!IsNodeRow(r) || GetNodeLevel(RealRowIndex(r)) != deepest || GetNodeState(RealRowIndex(r)))
            continue;
        int span = GetNodeSpan(RealRowIndex(r));
        if (span <= 2)
            continue;
        int last = std::min(r + span - 1, hi);
        if (AIndexed)
            SortRangeIndexed(r + 1, last);
        else
            QuickSortRows(FSortSettings->Column(), r + 1, last);
    }
}

// ---------------------------------------------------------------- the sort frame
// AKind: 0 one column, 1 indexed, 2 groups, 3 groups indexed.
void TProStringGrid::RunSort(int AKind)
{
    bool indexed = AKind == 1 || AKind == 3;
    if (RowCount() != FRowOrder.Count())
        ResetRowOrder();
    if (AKind == 0)
        FSortIndexes->Clear();
    if (indexed && FSortIndexes->Count() == 0)
        throw EProGridError("No indexes specified for indexed sort");

    EndCellEdit();
    TSortSettings* ss = FSortSettings.get();
    bool keepCol0 = ss->NormalCellsOnly() && FixedCols() > 0;
    std::vector<AnsiString> col0;
    if (keepCol0)
        for (int r = 0; r < RowCount(); ++r)
            col0.push_back(GetGridCell(0, r));

    int top = TopRow();
    BeginUpdate();
    ++FSortDepth;
    int rows = RowCount();
    TBaseGrid::SetRowCount(rows + 3);
    int current = Row();
    FSortTracking = FNavigation->MoveRowOnSort();
    FSortTrackedRow = current;

    auto finish = [&]() {
        ResetStoredRows(rows, rows + 2);
        int target = FSortTracking ? FSortTrackedRow : current;
        FSortTracking = false;
        TBaseGrid::SetRowCount(rows);
        if (target >= TBaseGrid::FixedRows() && target < RowCount())
            TBaseGrid::SetRow(target);
        --FSortDepth;
    };
    try {
        int lo = FixedRows(), hi = rows - 1 - FixedFooters();
        switch (AKind) {
        case 0:
            if (lo < hi)
                QuickSortRows(ss->Column(), lo, hi);
            break;
        case 1:
            if (lo < hi)
                QuickSortRowsIndexed(0, lo, hi);
            break;
        default:
            SortGroupRows(indexed);
            break;
        }
    } catch (...) {
        finish();
        for (std::size_t r = 0; r < col0.size(); ++r)
            SetGridCell(0, int(r), col0[r]);
        EndUpdate();
        throw;
    }
    finish();

    if (AKind == 0 && OnRowUpdate && !FNavigation->MoveRowOnSort())
        OnRowUpdate(this, current, Row());
    for (std::size_t r = 0; r < col0.size(); ++r)
        SetGridCell(0, int(r), col0[r]);
    if (FNavigation->KeepScrollOnSort())
        SetTopRow(top);
    EndUpdate();
}

// ---------------------------------------------------------------- row exchange
void TProStringGrid::SwapRows(int ARow1, int ARow2)
{
    BeginUpdate();
    if (ARow1 >= 0 && ARow2 >= 0 && ARow1 < FRowOrder.Count() && ARow2 < FRowOrder.Count()) {
        int v = FRowOrder.GetItem(ARow1);
        FRowOrder.SetItem(ARow1, FRowOrder.GetItem(ARow2));
        FRowOrder.SetItem(ARow2, v);
    }
    auto swapCell = [this, ARow1, ARow2](int c) {
        AnsiString t = GetGridCell(c, ARow1);
        TObject* o = GetGridObject(c, ARow1);
        SetGridCell(c, ARow1, GetGridCell(c, ARow2));
        SetGridObject(c, ARow1, GetGridObject(c, ARow2));
        SetGridCell(c, ARow2, t);
        SetGridObject(c, ARow2, o);
    };
    if (FSortSettings->SingleColumn()) {
        swapCell(FSortSettings->Column());
        EndUpdate();
        return;
    }
    int cols = AllColCount();
    for (int c = 0; c < cols; ++c)
        swapCell(c);
    int h1 = RowHeights(ARow1), h2 = RowHeights(ARow2);
    if (h1 != h2) {
        SetRowHeights(ARow1, h2);
        SetRowHeights(ARow2, h1);
    }
    if (FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort()) {
        int r1 = RealRowIndex(ARow1), r2 = RealRowIndex(ARow2);
        EnsureRowFlags(std::max(r1, r2) + 1);
        std::swap(FRowSelectFlags[std::size_t(r1)], FRowSelectFlags[std::size_t(r2)]);
    }
    if (FShowModified->Enabled()) {
        bool m1 = GetRowModified(ARow1), m2 = GetRowModified(ARow2);
        if (m1 != m2) {
            SetRowModified(ARow1, m2);
            SetRowModified(ARow2, m1);
        }
    }
    if (FSortTracking) {
        if (FSortTrackedRow == ARow1)
            FSortTrackedRow = ARow2;
        else if (FSortTrackedRow == ARow2)
            FSortTrackedRow = ARow1;
    }
    EndUpdate();
}

// ---------------------------------------------------------------- undoing the sort
void TProStringGrid::UnSort()
{
    std::vector<int> order;
    for (int i = 0; i < FRowOrder.Count(); ++i)
        order.push_back(FRowOrder.GetItem(i));
    int n = std::min(int(order.size()), RowCount());
    if (n < 2)
        return;
    EndCellEdit();
    bool keepCol0 = FSortSettings->NormalCellsOnly() && FixedCols() > 0;
    std::vector<AnsiString> col0;
    if (keepCol0)
        for (int r = 0; r < RowCount(); ++r)
            col0.push_back(GetGridCell(0, r));

    BeginUpdate();
    ++FSortDepth;
    // Ascending by the recorded first positions; equal values never move.
    auto sort = [&](auto& self, int lo, int hi) -> void {
        while (lo < hi) {
            int i = lo, j = hi;
            int pivot = order[std::size_t((lo + hi) / 2)];
            do {
                while (order[std::size_t(i)] < pivot)
                    ++i;
                while (order[std::size_t(j)] > pivot)
                    --j;
                if (i <= j) {
                    if (i != j && order[std::size_t(i)] != order[std::size_t(j)]) {
                        SwapRows(i, j);
                        std::swap(order[std::size_t(i)], order[std::size_t(j)]);
                    }
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (j - lo < hi - i) {
                if (lo < j)
                    self(self, lo, j);
                lo = i;
            } else {
                if (i < hi)
                    self(self, i, hi);
                hi = j;
            }
        }
    };
    sort(sort, 0, n - 1);
    --FSortDepth;
    for (std::size_t r = 0; r < col0.size(); ++r)
        SetGridCell(0, int(r), col0[r]);
    EndUpdate();
}

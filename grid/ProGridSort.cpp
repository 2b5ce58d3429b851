// TProStringGrid: sorting by one column, by a list of columns and inside
// node groups, and putting the rows back in their first order.
//
// Rows compare cell by cell with a style chosen per pair of cells (or given
// by OnGetFormat). The plain text styles compare bytes (the no-case style
// compares the upper-cased texts first, then the texts as they stand); only
// the Ansi styles and the Unicode style use the platform's Polish word sort,
// so that a program can choose either order. The quicksort is the grid's
// own: rows that compare equal end up in the order it leaves them, which
// users see, so it is kept exactly and not replaced by a library sort.
//
// The quicksort runs on a list of row numbers, not on the rows: the same
// pivots, comparisons and exchanges, applied to the list; the rows then move
// once to their places. What a comparison reads of a cell (its text, number,
// date, collation key ...) is worked out once per row and kept while the sort
// runs; the style is still chosen for every pair, so nothing changes in what
// compares how.
//
// When every row of the sort column compares the same way (one style, no
// handler), the rows are ranked first (texts eight bytes at a time, numbers
// by their bits, in counting passes), ties ranked further by the next
// columns while those compare one way too. Rows that then differ everywhere
// have one sorted order, which any correct sort gives, the quicksort too: they
// take it at once. Otherwise the quicksort runs on the ranks, which answer
// every comparison as the cells would; ranges of it without equal rows take
// their known order at once.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <numeric>
#include <utility>
#include <vector>

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
    return int(B < A) - int(A < B);
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
bool SortNumber(std::string_view AText, const AnsiString& Prefix, const AnsiString& Suffix, bool Financial,
                double& Value)
{
    // Plain digits, with or without decimals (the usual cell), convert
    // without the general routine: up to 15 digits, which a double holds
    // exactly, divided by the power of ten of the decimals, which is exact
    // too, so the one rounding of the division gives the nearest double to
    // the text, as the general routine does.
    if (Prefix.empty() && Suffix.empty() && AText.size() <= 16 &&
        !(Financial && FormatSettings.ThousandSeparator == FormatSettings.DecimalSeparator)) {
        static constexpr double Tens[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};
        std::int64_t v = 0;
        int digits = 0, decimals = -1;
        bool plain = true;
        for (char c : AText) {
            if (c >= '0' && c <= '9') {
                v = v * 10 + (c - '0');
                ++digits;
                if (decimals >= 0)
                    ++decimals;
            } else if (c == FormatSettings.DecimalSeparator && decimals < 0 && digits > 0) {
                decimals = 0;
            } else {
                plain = false;
                break;
            }
        }
        if (plain && digits > 0 && digits <= 15 && decimals != 0) {
            Value = decimals > 0 ? double(v) / Tens[decimals] : double(v);
            return true;
        }
    }
    AnsiString S(AText);
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

bool IsNumber(std::string_view S)
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

// Byte order (std::string compares its bytes unsigned, as CompareStr does).
int ByteCompare(const AnsiString& A, const AnsiString& B)
{
    return Sign(A.compare(B));
}

// The style the first cell's text suggests.
TSortStyle DetectStyle(std::string_view S, bool IgnoreCase)
{
    if (IsNumber(S))
        return ssNumeric;
    TSortStyle style = IgnoreCase ? ssAlphaNoCase : ssAlphabetic;
    auto shapeAt = [&S](char Sep, int& P) {
        auto at = S.find(Sep);
        P = at == std::string_view::npos ? 0 : int(at) + 1;   // 1-based, 0 when absent
        return P > 1 && P < 4 && int(S.size()) > P;
    };
    auto digitsAround = [&S](int P) { return IsDigitChar(S[P - 2]) && IsDigitChar(S[P]); };
    int p = 0;
    if (shapeAt(FormatSettings.DateSeparator, p)) {
        if (digitsAround(p))
            style = S.find(FormatSettings.TimeSeparator) != std::string_view::npos ? ssDateTime : ssDate;
    } else if (shapeAt(FormatSettings.TimeSeparator, p) && digitsAround(p)) {
        style = ssTime;
    }
    return style;
}
}

// ---------------------------------------------------------------- the columns that break ties
namespace {
// The column that decides a tie after ACol: the shown columns from left to right and, while
// a sort runs (the cells of hidden columns move with their rows), the hidden ones after
// them; -1 after the last.
int NextTieColumn(const TProStringGrid& G, int ACol, bool AInSort)
{
    const int all = G.AllColCount();
    if (ACol < 0 || ACol >= all)
        return -1;
    const bool shown = G.ColumnVisible(ACol);
    for (int c = ACol + 1; c < all; ++c)
        if (G.ColumnVisible(c) == shown)
            return c;
    if (shown && AInSort)
        for (int c = 0; c < all; ++c)
            if (!G.ColumnVisible(c))
                return c;
    return -1;
}
}  // namespace

// ---------------------------------------------------------------- byte order in steps
namespace {
struct TDigit {
    std::uint64_t Digit;
    unsigned Index;
    unsigned Size = 0;   // of the string, while strings are ordered
};

// The bits of a number (not NaN) as an unsigned value in the number's
// order; -0 and 0 give the same.
std::uint64_t OrderedBits(double V)
{
    if (V == 0)
        V = 0;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &V, sizeof bits);
    return bits & 0x8000000000000000u ? ~bits : bits | 0x8000000000000000u;
}

// Eight bytes of S from AOffset on, big-endian, zero-padded.
std::uint64_t DigitAt(const char* S, unsigned ASize, unsigned AOffset)
{
    std::uint64_t d = 0;
    for (unsigned b = 0; b < 8; ++b)
        d = (d << 8) | (AOffset + b < ASize ? static_cast<unsigned char>(S[AOffset + b]) : 0u);
    return d;
}

// Sorts AList[AFrom, ATo) by Digit: a counting pass for each byte in which
// the digits of a long run differ (bytes they all share are skipped), from
// the lowest; std::sort for short runs.
void SortDigits(std::vector<TDigit>& AList, std::size_t AFrom, std::size_t ATo, std::vector<TDigit>& AScratch)
{
    auto first = AList.begin() + std::ptrdiff_t(AFrom), last = AList.begin() + std::ptrdiff_t(ATo);
    const std::size_t n = ATo - AFrom;
    if (n < 512) {
        std::sort(first, last, [](const TDigit& A, const TDigit& B) { return A.Digit < B.Digit; });
        return;
    }
    // Only the bytes in which some digits differ are counted and passed.
    std::uint64_t same = ~std::uint64_t(0), any = 0;
    for (std::size_t i = AFrom; i < ATo; ++i) {
        same &= AList[i].Digit;
        any |= AList[i].Digit;
    }
    const std::uint64_t differ = same ^ any;
    unsigned bytes[8], nBytes = 0;
    for (unsigned b = 0; b < 8; ++b)
        if ((differ >> (8 * b)) & 0xFF)
            bytes[nBytes++] = b;
    std::vector<std::array<std::size_t, 256>> counts(nBytes);
    for (auto& c : counts)
        c.fill(0);
    for (std::size_t i = AFrom; i < ATo; ++i)
        for (unsigned k = 0; k < nBytes; ++k)
            ++counts[k][(AList[i].Digit >> (8 * bytes[k])) & 0xFF];
    AScratch.resize(n);
    TDigit* from = &AList[AFrom];
    TDigit* to = AScratch.data();
    for (unsigned k = 0; k < nBytes; ++k) {
        const unsigned b = bytes[k];
        auto& c = counts[k];
        std::size_t sum = 0;
        for (std::size_t& place : c) {
            std::size_t v = place;
            place = sum;
            sum += v;
        }
        for (std::size_t i = 0; i < n; ++i)
            to[c[(from[i].Digit >> (8 * b)) & 0xFF]++] = from[i];
        std::swap(from, to);
    }
    if (from != &AList[AFrom])
        std::copy(from, from + n, first);
}

// Puts AList[AFrom, ATo) - strings that agree in their first AOffset bytes -
// in the order of their bytes (a string that begins a longer one first) and
// calls AEqual(From, To) on each run of equal strings, in that order.
// AKey(Index, Size) gives the bytes of a string and sets its size. Strings
// are sorted by eight bytes at a time, and further only where they agree.
// AReady: the entries already hold their eight bytes at AOffset and sizes.
// The runs still to order wait on a stack of their own rather than in nested
// calls: strings that agree in a long start would take a call for each eight
// bytes of it.
template <class TKey, class TEqual>
void ByteOrder(std::vector<TDigit>& AList, std::size_t AFrom, std::size_t ATo, unsigned AOffset, TKey& AKey,
               TEqual& AEqual, std::vector<TDigit>& AScratch, bool AReady = false)
{
    // A run to order from Offset on, or (Equal) a run of equal strings, in the order they are met.
    struct TStep {
        std::size_t From, To;
        unsigned Offset;
        bool Ready, Equal;
    };
    std::vector<TStep> steps{{AFrom, ATo, AOffset, AReady, false}}, found;
    while (!steps.empty()) {
        const TStep step = steps.back();
        steps.pop_back();
        if (step.Equal || step.To - step.From < 2) {
            if (step.To > step.From)
                AEqual(step.From, step.To);
            continue;
        }
        if (!step.Ready)
            for (std::size_t i = step.From; i < step.To; ++i) {
                unsigned size = 0;
                const char* key = AKey(AList[i].Index, size);
                AList[i].Digit = DigitAt(key, size, step.Offset);
                AList[i].Size = size;
            }
        SortDigits(AList, step.From, step.To, AScratch);
        found.clear();
        const auto equal = [&](std::size_t A, std::size_t B) { found.push_back({A, B, 0, false, true}); };
        const auto goOn = [&](std::size_t A, std::size_t B) { found.push_back({A, B, step.Offset + 8, false, false}); };
        for (std::size_t a = step.From; a < step.To;) {
            std::size_t b = a + 1;
            while (b < step.To && AList[b].Digit == AList[a].Digit)
                ++b;
            if (b - a > 1) {
                // Equal so far: the strings that end within these eight bytes
                // by their sizes, before those that go on.
                const unsigned past = step.Offset + 9;
                unsigned least = past, most = 0;
                for (std::size_t i = a; i < b; ++i) {
                    AList[i].Digit = std::min(AList[i].Size, past);
                    least = std::min(least, unsigned(AList[i].Digit));
                    most = std::max(most, unsigned(AList[i].Digit));
                }
                if (least == most) {
                    // All go on, or all end here and are equal.
                    if (least == past)
                        goOn(a, b);
                    else
                        equal(a, b);
                    a = b;
                    continue;
                }
                std::sort(AList.begin() + std::ptrdiff_t(a), AList.begin() + std::ptrdiff_t(b),
                          [](const TDigit& A, const TDigit& B) { return A.Digit < B.Digit; });
                for (std::size_t c = a; c < b;) {
                    std::size_t d = c + 1;
                    while (d < b && AList[d].Digit == AList[c].Digit)
                        ++d;
                    if (AList[c].Digit == past)
                        goOn(c, d);
                    else
                        equal(c, d);
                    c = d;
                }
            } else {
                equal(a, b);
            }
            a = b;
        }
        steps.insert(steps.end(), found.rbegin(), found.rend());
    }
}
}  // namespace

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

// ---------------------------------------------------------------- the quicksort
namespace {
// The grid's quicksort over a sequence S: an element moves past the pivot
// while S.Compare(pivot, element) gives ASign (and from the right while
// S.Compare(element, pivot) does); ASwapEqual exchanges elements that
// compare equal too. The smaller part recurses and the larger one loops: the
// same exchanges as recursing on both, with a stack depth that stays small.
// S gives Pivot(Lo, Hi), At(i), Compare(A, B) and Swap(i, j); it may give
// Settled(Lo, Hi), which puts a range whose order is already known in that
// order and says so, and PairStops(i, j, Pivot), which makes the first
// exchanges of a partition itself - the same ones - and leaves i and j as
// the loop would have them after those.
template <class S>
void GridQuickSort(S& ASeq, int ALo, int AHi, int ASign, bool ASwapEqual)
{
    while (ALo < AHi) {
        if constexpr (requires { ASeq.Settled(ALo, AHi); })
            if (ASeq.Settled(ALo, AHi))
                return;
        int i = ALo, j = AHi;
        const auto pivot = ASeq.Pivot(ALo, AHi);
        if constexpr (requires { ASeq.PairStops(i, j, pivot); })
            ASeq.PairStops(i, j, pivot);
        while (i <= j) {
            while (ASeq.Compare(pivot, ASeq.At(i)) == ASign && i < AHi)
                ++i;
            while (ASeq.Compare(ASeq.At(j), pivot) == ASign && j > ALo)
                --j;
            if (i <= j) {
                if (i != j && (ASwapEqual || ASeq.Compare(ASeq.At(i), ASeq.At(j)) != 0))
                    ASeq.Swap(i, j);
                ++i;
                --j;
            }
        }
        if (j - ALo < AHi - i) {
            if (ALo < j)
                GridQuickSort(ASeq, ALo, j, ASign, ASwapEqual);
            ALo = i;
        } else {
            if (i < AHi)
                GridQuickSort(ASeq, i, AHi, ASign, ASwapEqual);
            AHi = j;
        }
    }
}
}  // namespace

// ---------------------------------------------------------------- what comparisons read
// What the comparisons of one cell read, worked out on first use. Kept per
// row while a sort runs; the public CompareCells fills two of them afresh.
struct TSortCellKey {
    enum : unsigned char { HaveText = 1, HaveWide = 2, HaveDetected = 4, HaveNumeric = 8 };
    AnsiString Text;     // SortCellText
    AnsiString Alt;      // AltStyle's form: upper-cased, stripped or collation key
    WideString Wide;     // ssUnicode
    double Value = 0;    // ValueStyle's number (check box and picture values too)
    unsigned char Have = 0;
    signed char AltStyle = -1;
    signed char ValueStyle = -1;
    bool ValueOk = false;
    bool Numeric = false;
    TSortStyle Detected = ssAutomatic;
};

// The sort of one row range [Lo, Hi] on a list of row numbers. Rows do not
// move while it compares, so every comparison reads the rows as they stand
// (the pivot is its own row, not a copy); Apply moves them once.
class TGridRowSorter {
public:
    TGridRowSorter(TProStringGrid* AGrid, int ALo, int AHi) : G(AGrid), FLo(ALo), FHi(AHi)
    {
        TSortSettings* ss = G->FSortSettings.get();
        FStartStyle = ss->AutoFormat() ? ssAutomatic : (ss->IgnoreCase() ? ssAlphaNoCase : ssAlphabetic);
        FIgnoreCase = ss->IgnoreCase();
        FIgnoreBlanks = ss->IgnoreBlanks();
        FBlankFirst = ss->BlankPos() == blFirst;
        FFull = ss->Full();
        FDirection = ss->Direction();
        FFormatEachTime = bool(G->OnGetFormat);
        // A row compared with itself gives 0 in every column unless a handler
        // decides.
        FSelfEqual = !FFormatEachTime && !G->OnCustomCompare && !G->OnRawCompare;
        // Without handlers that could change cells while the sort runs, the
        // texts are read where the grid keeps them.
        FStoredTexts = FSelfEqual;
        const int all = G->AllColCount();
        FNextColumn.resize(std::size_t(std::max(all, 0)));
        for (int c = 0; c < all; ++c)
            FNextColumn[std::size_t(c)] = NextTieColumn(*G, c, G->FSortDepth > 0);
    }

    // The comparison of two cells with their keys; the public CompareCells
    // and the sorts share it.
    static int Compare(TProStringGrid* G, int ACol, int ARow1, int ARow2, TSortDirection ADirection,
                       TSortStyle AStyle, const AnsiString& APrefix, const AnsiString& ASuffix, TSortCellKey& K1,
                       TSortCellKey& K2);

    void SortRows(int ACol)
    {
        Start(ACol);
        int sign = FDirection == sdDescending ? -1 : 1;
        if (FFirstInline && SortUniform(ACol, sign))
            return;
        FillItems(ACol);
        if (FFirstInline) {
            // The usual case, kept apart so that the compiler keeps it tight.
            const int next = NextColumn(ACol);
            auto cmp = [this, ACol, next](const TItem& A, const TItem& B) {
                int r = ComparePrepared(ACol, A, B, FDirection);
                if (r != 0 || !FFull || next < 0 || (FSelfEqual && A.Row == B.Row))
                    return r;
                return CompareRowsFrom(next, A.Row, B.Row);
            };
            QuickSort(FLo, FHi, cmp, sign, false);
            return;
        }
        auto cmp = [this, ACol](const TItem& A, const TItem& B) { return CompareRowsFrom(ACol, A.Row, B.Row); };
        QuickSort(FLo, FHi, cmp, sign, false);
    }
    void SortRowsIndexed(int AIndex)
    {
        Start(IndexColumn(AIndex));
        FillItems(IndexColumn(AIndex));
        auto cmp = [this, AIndex](const TItem& A, const TItem& B) { return CompareRowsIndexed(AIndex, A, B); };
        QuickSort(FLo, FHi, cmp, 1, true);
    }
    // Puts every row of the range at its sorted place, with all that belongs
    // to it.
    void Apply();

private:
    static const AnsiString& KeyText(TProStringGrid* G, int ACol, int ARow, TSortCellKey& K);
    static bool KeyNumeric(TProStringGrid* G, int ACol, int ARow, TSortCellKey& K);
    static const AnsiString& KeyAlt(TProStringGrid* G, int ACol, int ARow, TSortStyle AStyle, TSortCellKey& K);
    static AnsiString AltForm(TProStringGrid* G, int ACol, int ARow, TSortStyle AStyle, std::string_view AText);
    static double KeyValue(TProStringGrid* G, int ACol, int ARow, TSortStyle AStyle, const AnsiString& APrefix,
                           const AnsiString& ASuffix, TSortCellKey& K, bool& AOk);

    // A row of the sort. In a column whose format is fixed for the sort, each
    // row keeps one of these: its text, the style it compares by when it is
    // the first of a pair, the other form of the text that style compares
    // (upper-cased, collation key or stripped) or the number it converts to.
    // The list being sorted carries the first column's, so that most
    // comparisons read only the list. A pair whose second row lacks what the
    // first row's style needs (a text and a number in one automatic column),
    // and the styles that call handlers or read more than the text, take the
    // general way, TSortCellKey.
    enum : unsigned char { NoKind = 0xFF };
    struct TItem {
        union {
            std::uint64_t Head;   // text styles: the first 8 bytes of Key, big-endian, zero-padded
            double Value;         // the other styles: the number compared
        };
        const char* Key;      // the bytes compared: the text, or its other form
        const char* Text;
        unsigned KeySize;
        unsigned Size;        // of the text (0: blank)
        int Row;
        unsigned char Style;  // NoKind: the general way
        unsigned char AltKind, ValueKind;
        bool Ok;              // numeric styles: the text converted (or is empty)
    };

    // The records of a column, made as rows are first compared (only the
    // tied rows, for the columns after the first), in blocks that never
    // move, so that a record stays where it is while others are made.
    struct TColumn {
        static constexpr unsigned BlockBits = 10;
        bool Ignored = false;
        bool Prepares = false;
        std::size_t Reached = 0;       // rows prepared one at a time
        TSortStyle Style = ssAutomatic;
        AnsiString Prefix, Suffix;
        std::vector<unsigned> Slot;    // by row: 1 + the number of its record, 0 before it is made
        std::vector<std::unique_ptr<TItem[]>> Blocks;
        unsigned Made = 0;
        std::deque<AnsiString> Owned;  // copied texts and other forms the records point into
        std::vector<TSortCellKey> Keys;

        bool Ready(std::size_t ARow) const { return Slot[ARow] != 0; }
        TItem& Record(std::size_t ARow)
        {
            unsigned n = Slot[ARow] - 1;
            return Blocks[n >> BlockBits][n & ((1u << BlockBits) - 1)];
        }
        TItem& NewRecord(std::size_t ARow)
        {
            if ((Made >> BlockBits) == Blocks.size())
                Blocks.push_back(std::make_unique_for_overwrite<TItem[]>(std::size_t(1) << BlockBits));
            Slot[ARow] = ++Made;
            return Record(ARow);
        }
    };

    int IndexColumn(int AIndex) const
    {
        return int(unsigned(G->FSortIndexes->GetItem(AIndex)) & ~DescendingBit);
    }

    // The first column's records of every row, in row order, when it has
    // them.
    void Start(int ACol)
    {
        TColumn& c = Column(ACol);
        FFirstInline = c.Prepares;
        if (FFirstInline)
            PrepareAll(ACol, c);
    }

    // The list to sort: the rows in their order, with the first column's
    // records when it has them.
    void FillItems(int ACol)
    {
        FItems.resize(std::size_t(FHi - FLo + 1));
        for (int r = FLo; r <= FHi; ++r) {
            if (FFirstInline)
                FItems[std::size_t(r - FLo)] = Column(ACol).Record(std::size_t(r - FLo));
            FItems[std::size_t(r - FLo)].Row = r;
        }
    }

    TColumn& Column(int ACol)
    {
        if (std::size_t(ACol) >= FColumns.size())
            FColumns.resize(std::size_t(ACol) + 1);
        if (!FColumns[std::size_t(ACol)])
            FColumns[std::size_t(ACol)] = NewColumn(ACol);
        return *FColumns[std::size_t(ACol)];
    }

    std::unique_ptr<TColumn> NewColumn(int ACol);
    void PrepareRow(int ACol, TColumn& C, int ARow);

    // A column whose ranks have been taken: the sort compares only the
    // columns to its right from now on, and the memory of its records
    // serves the next column's.
    void Release(int ACol) { FColumns[std::size_t(ACol)].reset(); }

    // The rows not prepared yet, in row order; the cells a few rows ahead
    // are brought into the cache meanwhile, as the rows of a grid that was
    // sorted before lie apart in memory.
    void PrepareAll(int ACol, TColumn& C)
    {
        for (int r = FLo; r <= FHi; ++r) {
            G->PrefetchCell(ACol, r + 8);
            if (!C.Ready(std::size_t(r - FLo)))
                PrepareRow(ACol, C, r);
        }
    }

    // A row is prepared when a comparison first needs it; once ties have
    // reached an eighth of the rows, the rest are prepared in row order,
    // which reads the grid's rows one after another.
    const TItem& Prepared(int ACol, TColumn& C, int ARow)
    {
        std::size_t i = std::size_t(ARow - FLo);
        if (!C.Ready(i)) {
            if (++C.Reached > C.Slot.size() / 8) {
                PrepareAll(ACol, C);
            } else {
                PrepareRow(ACol, C, ARow);
            }
        }
        return C.Record(i);
    }

    static int Bytes(const char* A, unsigned NA, const char* B, unsigned NB)
    {
        // An empty text may have no bytes at all to point at.
        const int r = std::min(NA, NB) == 0 ? 0 : std::memcmp(A, B, std::min(NA, NB));
        if (r != 0)
            return r < 0 ? -1 : 1;
        return NA == NB ? 0 : (NA < NB ? -1 : 1);
    }

    [[gnu::always_inline]] static int KeyBytes(const TItem& A, const TItem& B)
    {
        if (A.Head != B.Head)
            return A.Head < B.Head ? -1 : 1;
        return Bytes(A.Key, A.KeySize, B.Key, B.KeySize);
    }

    [[gnu::always_inline]] int ComparePrepared(int ACol, const TItem& A, const TItem& B,
                                               TSortDirection ADirection)
    {
        int res;
        switch (A.Style) {
        case ssAlphabetic:
        case ssAlphaCase:
            res = Bytes(A.Text, A.Size, B.Text, B.Size);
            break;
        case ssAlphaNoCase:
            if (B.AltKind != A.AltKind)
                return CompareGeneral(ACol, A.Row, B.Row, ADirection);
            res = KeyBytes(A, B);
            if (res == 0)
                res = Bytes(A.Text, A.Size, B.Text, B.Size);
            break;
        case ssAnsiAlphaCase:
        case ssAnsiAlphaNoCase:
        case ssHTML:
            if (B.AltKind != A.AltKind)
                return CompareGeneral(ACol, A.Row, B.Row, ADirection);
            res = KeyBytes(A, B);
            break;
        case ssNumeric:
        case ssFinancial:
            if (B.ValueKind != A.ValueKind)
                return CompareGeneral(ACol, A.Row, B.Row, ADirection);
            res = A.Ok || B.Ok ? CompareValues(A.Value, B.Value) : 0;
            break;
        case NoKind:
            return CompareGeneral(ACol, A.Row, B.Row, ADirection);
        default:
            if (B.ValueKind != A.ValueKind)
                return CompareGeneral(ACol, A.Row, B.Row, ADirection);
            res = CompareValues(A.Value, B.Value);
            break;
        }
        if (FIgnoreBlanks && (A.Size == 0) != (B.Size == 0)) {
            int blankFirst = FBlankFirst ? -1 : 1;
            res = A.Size == 0 ? blankFirst : -blankFirst;
            if (ADirection == sdDescending)
                res = -res;
        }
        return res;
    }

    // The general way: the column's keys by row, made on first use.
    int CompareGeneral(int ACol, int ARow1, int ARow2, TSortDirection ADirection)
    {
        TColumn& c = Column(ACol);
        if (c.Keys.empty())
            c.Keys.resize(std::size_t(FHi - FLo + 1));
        TSortCellKey& k1 = c.Keys[std::size_t(ARow1 - FLo)];
        TSortCellKey& k2 = c.Keys[std::size_t(ARow2 - FLo)];
        if (FFormatEachTime) {
            // The handler is asked for every pair, as it may answer differently.
            TSortStyle style = FStartStyle;
            AnsiString prefix, suffix;
            G->GetCellFormat(ACol, style, prefix, suffix);
            return Compare(G, ACol, ARow1, ARow2, ADirection, style, prefix, suffix, k1, k2);
        }
        return Compare(G, ACol, ARow1, ARow2, ADirection, c.Style, c.Prefix, c.Suffix, k1, k2);
    }

    // A cell of a column by the rows' numbers.
    int CompareCells(int ACol, int ARow1, int ARow2, TSortDirection ADirection)
    {
        TColumn& c = Column(ACol);
        if (!c.Prepares)
            return CompareGeneral(ACol, ARow1, ARow2, ADirection);
        const TItem& a = Prepared(ACol, c, ARow1);
        return ComparePrepared(ACol, a, Prepared(ACol, c, ARow2), ADirection);
    }

    // The first column's cell from the list's records when it has them.
    int CompareFirst(int ACol, const TItem& A, const TItem& B, TSortDirection ADirection)
    {
        return FFirstInline ? ComparePrepared(ACol, A, B, ADirection) : CompareCells(ACol, A.Row, B.Row, ADirection);
    }

    // The columns from ACol on.
    int CompareRowsFrom(int ACol, int ARow1, int ARow2)
    {
        for (int c = ACol;; c = NextColumn(c)) {
            if (Column(c).Ignored)
                return 0;
            int r = CompareCells(c, ARow1, ARow2, FDirection);
            if (r != 0 || !FFull || NextColumn(c) < 0)
                return r;
        }
    }

    int CompareRowsIndexed(int AIndex, const TItem& A, const TItem& B)
    {
        TSortIndexList* list = G->FSortIndexes.get();
        for (int i = AIndex;; ++i) {
            unsigned entry = unsigned(list->GetItem(i));
            int col = int(entry & ~DescendingBit);
            TSortDirection dir = (entry & DescendingBit) != 0 ? sdDescending : sdAscending;
            int r = 0;
            if (!Column(col).Ignored)
                r = i == AIndex ? CompareFirst(col, A, B, dir) : CompareCells(col, A.Row, B.Row, dir);
            if (r == 0 && FFull && i < list->Count() - 1)
                continue;
            return dir == sdDescending ? -r : r;
        }
    }

    // How every row of a column compares when all of them chose the same
    // style: by the bytes of the text, of its other form, of its other form
    // and then the text, or by the number.
    enum class TWay { Mixed, Text, Key, KeyThenText, Value };
    static TWay UniformWay(TColumn& C)
    {
        if (C.Slot.empty())
            return TWay::Mixed;
        unsigned char style = C.Record(0).Style;
        for (std::size_t i = 1; i < C.Slot.size(); ++i)
            if (C.Record(i).Style != style)
                return TWay::Mixed;
        switch (style) {
        case NoKind: return TWay::Mixed;
        case ssAlphabetic:
        case ssAlphaCase: return TWay::Text;
        case ssAlphaNoCase: return TWay::KeyThenText;
        case ssAnsiAlphaCase:
        case ssAnsiAlphaNoCase:
        case ssHTML: return TWay::Key;
        default: return TWay::Value;
        }
    }

    // The first column compares one way for every row. Each row gets a
    // rank that compares as ComparePrepared compares the rows (it would take
    // the same branch for every pair): rows whose cells compare equal share
    // one, blanks set apart by IgnoreBlanks share the lowest or the highest.
    // AOrder gets the rows' indices by rank; false for a mixed column.
    bool RankColumn(int ACol, std::vector<int>& ARanks, std::vector<TDigit>& AOrder)
    {
        TColumn& c = Column(ACol);
        TWay way = UniformWay(c);
        if (way == TWay::Mixed)
            return false;
        const std::size_t n = c.Slot.size();
        ARanks.assign(n, 0);
        AOrder.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            AOrder[i].Index = unsigned(i);
        int next = 0;
        auto rank = [&](std::size_t AFrom, std::size_t ATo) {
            for (std::size_t k = AFrom; k < ATo; ++k)
                ARanks[AOrder[k].Index] = next;
            ++next;
        };
        if (way == TWay::Value) {
            // An unconverted text holds 0, so comparing the numbers gives
            // what the numeric styles give.
            for (std::size_t i = 0; i < n; ++i) {
                double v = c.Record(i).Value;
                if (std::isnan(v))
                    return false;
                AOrder[i].Digit = OrderedBits(v);
            }
            SortDigits(AOrder, 0, n, FScratch);
            for (std::size_t a = 0; a < n;) {
                std::size_t b = a + 1;
                while (b < n && AOrder[b].Digit == AOrder[a].Digit)
                    ++b;
                rank(a, b);
                a = b;
            }
        } else {
            std::vector<TDigit>& scratch = FScratch;
            auto key = [&c](unsigned AIndex, unsigned& ASize) {
                const TItem& p = c.Record(AIndex);
                ASize = p.KeySize;
                return p.Key;
            };
            // The first eight bytes of every key are at hand in its record.
            for (std::size_t i = 0; i < n; ++i) {
                const TItem& p = c.Record(i);
                AOrder[i].Digit = p.Head;
                AOrder[i].Size = p.KeySize;
            }
            if (way == TWay::KeyThenText) {
                // Equal upper-cased texts by the texts as they stand.
                auto text = [&c](unsigned AIndex, unsigned& ASize) {
                    const TItem& p = c.Record(AIndex);
                    ASize = p.Size;
                    return p.Text;
                };
                auto byText = [&](std::size_t AFrom, std::size_t ATo) {
                    ByteOrder(AOrder, AFrom, ATo, 0, text, rank, scratch);
                };
                ByteOrder(AOrder, 0, n, 0, key, byText, scratch, true);
            } else {
                ByteOrder(AOrder, 0, n, 0, key, rank, scratch, true);
            }
        }
        if (FIgnoreBlanks) {
            // A blank before every other text: the comparison's answer
            // reversed for a descending sort, as the sort reverses it again.
            bool low = FBlankFirst == (FDirection == sdAscending);
            std::vector<TDigit> blanks, others;
            for (const TDigit& d : AOrder)
                (c.Record(d.Index).Size == 0 ? blanks : others).push_back(d);
            if (!blanks.empty() && !others.empty()) {
                // Blanks keep their order among themselves.
                for (const TDigit& d : blanks)
                    ARanks[d.Index] += low ? -next : next;
                AOrder = low ? blanks : others;
                AOrder.insert(AOrder.end(), (low ? others : blanks).begin(), (low ? others : blanks).end());
            }
        }
        return true;
    }

    // Rows of one rank ordered further by the next column, when each run
    // of them compares one way there (so that its order is a single one):
    // ARanks become the ranks by both columns. False (nothing changed) when
    // a run does not.
    bool RefineRanks(int ACol, std::vector<int>& ARanks, std::vector<TDigit>& AOrder)
    {
        TColumn& c = Column(ACol);
        if (c.Ignored || !c.Prepares)
            return false;
        const std::size_t n = AOrder.size();
        auto runEnd = [&](std::size_t A) {
            std::size_t b = A + 1;
            while (b < n && ARanks[AOrder[b].Index] == ARanks[AOrder[A].Index])
                ++b;
            return b;
        };
        std::size_t tied = 0;
        for (std::size_t a = 0; a < n;) {
            std::size_t b = runEnd(a);
            if (b - a > 1)
                tied += b - a;
            a = b;
        }
        if (tied > n / 8) {
            // Most rows tie: the whole column ranked on its own, and the two
            // ranks together in one pass.
            PrepareAll(ACol, c);
            std::vector<int> ranks;
            std::vector<TDigit> order;
            if (RankColumn(ACol, ranks, order)) {
                const std::uint64_t shift = n;   // ranks of blanks set apart go down to -n
                for (std::size_t i = 0; i < n; ++i)
                    order[i] = {(std::uint64_t(ARanks[i] + shift) << 32) | std::uint64_t(ranks[i] + shift),
                                unsigned(i)};
                SortDigits(order, 0, n, AOrder);
                int next = -1;
                for (std::size_t k = 0; k < n; ++k) {
                    if (k == 0 || order[k].Digit != order[k - 1].Digit)
                        ++next;
                    ARanks[order[k].Index] = next;
                }
                AOrder = std::move(order);
                Release(ACol);
                return true;
            }
        }
        for (std::size_t a = 0; a < n;) {
            std::size_t b = runEnd(a);
            if (b - a > 1) {
                unsigned char style = Prepared(ACol, c, FLo + int(AOrder[a].Index)).Style;
                if (style == NoKind)
                    return false;
                for (std::size_t k = a + 1; k < b; ++k)
                    if (Prepared(ACol, c, FLo + int(AOrder[k].Index)).Style != style)
                        return false;
            }
            a = b;
        }
        auto cmp = [this, ACol, &c](const TDigit& A, const TDigit& B) {
            return ComparePrepared(ACol, c.Record(A.Index), c.Record(B.Index), FDirection);
        };
        std::vector<int> ranks(n);
        int next = 0;
        for (std::size_t a = 0; a < n;) {
            std::size_t b = runEnd(a);
            if (b - a > 1)
                std::sort(AOrder.begin() + std::ptrdiff_t(a), AOrder.begin() + std::ptrdiff_t(b),
                          [&cmp](const TDigit& A, const TDigit& B) { return cmp(A, B) < 0; });
            for (std::size_t k = a; k < b; ++k) {
                if (k > a && cmp(AOrder[k - 1], AOrder[k]) != 0)
                    ++next;
                ranks[AOrder[k].Index] = next;
            }
            ++next;
            a = b;
        }
        ARanks = std::move(ranks);
        return true;
    }

    // The first column ranked, and rows of one rank by the columns to the
    // right while those compare them one way. When no two rows compare
    // equal, every correct sort puts the rows in one order, the quicksort's
    // too, and they take it at once; else the quicksort runs on the ranks,
    // asking the remaining columns about rows of one rank.
    bool SortUniform(int ACol, int ASign)
    {
        std::vector<int> ranks;
        std::vector<TDigit> order;
        if (!RankColumn(ACol, ranks, order))
            return false;
        Release(ACol);
        const std::size_t n = order.size();
        auto tied = [&] {
            for (std::size_t k = 1; k < n; ++k)
                if (ranks[order[k].Index] == ranks[order[k - 1].Index])
                    return true;
            return false;
        };
        // The column after the last one that ranked: CompareRowsFrom goes on
        // there; past the last column compared, rows of one rank are equal.
        int rest = NextColumn(ACol);
        bool more = FFull && rest >= 0;
        while (more && tied() && RefineRanks(rest, ranks, order)) {
            rest = NextColumn(rest);
            more = rest >= 0;
        }
        if (!tied()) {
            FOrder.resize(n);
            for (std::size_t i = 0; i < n; ++i)
                FOrder[ASign > 0 ? i : n - 1 - i] = FLo + int(order[i].Index);
            return true;
        }
        // Rows of a descending sort by their ranks turned round: the
        // comparisons all give the opposite answer, and the quicksort looks
        // for the same one as in an ascending sort.
        const int flip = ASign > 0 ? 1 : -1;
        std::vector<TRankEntry> list(n);
        for (std::size_t i = 0; i < n; ++i)
            list[i] = {flip * ranks[i], FLo + int(i)};
        if (more)
            SortEntries<true>(rest, flip, list);
        else
            SortEntries<false>(-1, flip, list);
        return true;
    }

    struct TRankEntry {
        int Rank;
        int Row;
    };

    // The quicksort on ranks, ascending; with ATies, rows of one rank are
    // compared from column ARest on (the answer times AFlip), else they are
    // equal. The list holds places 0 .. n - 1 for the rows' places FLo ..
    // FHi: the same pivots, as (Lo + Hi) / 2 moves with both ends.
    template <bool ATies>
    void SortEntries(int ARest, int AFlip, std::vector<TRankEntry>& AList)
    {
        // A range of the quicksort holds the rows that end in it (by their
        // ranks: rows of smaller ranks end before, whatever decides ties).
        // When no two of them share a rank, they end in rank order whatever
        // the quicksort would do, and take their places at once: a row of a
        // rank of its own where the rows of smaller ranks end, the one row of
        // a shared rank in the range at the place its rank's rows reach into
        // the range. Whether a range holds two rows of one rank is read from
        // the places: shared[p] counts the places before p whose next place
        // ends a row of the same rank.
        const int n = int(AList.size());
        int least = AList.front().Rank, most = least;
        for (const TRankEntry& e : AList) {
            least = std::min(least, e.Rank);
            most = std::max(most, e.Rank);
        }
        std::vector<int> first(std::size_t(most - least + 1), 0);
        for (const TRankEntry& e : AList)
            ++first[std::size_t(e.Rank - least)];
        std::vector<int> shared(std::size_t(n) + 1, 0);
        for (int r = 0, place = 0; r <= most - least; ++r) {
            int count = first[std::size_t(r)];
            first[std::size_t(r)] = place;
            for (int k = 0; k + 1 < count; ++k)
                shared[std::size_t(place + k)] = 1;   // this place and the next
            place += count;
        }
        for (int p = 0, sum = 0; p <= n; ++p) {
            int mark = shared[std::size_t(p)];
            shared[std::size_t(p)] = sum;
            sum += mark;
        }
        std::vector<TRankEntry> placed;
        struct TList {
            TGridRowSorter* Sorter;
            TRankEntry* List;
            int Rest, Flip;
            const int* Shared;
            const int* First;
            int Least;
            std::vector<TRankEntry>& Placed;
            const TRankEntry& At(int APos) const { return List[APos]; }
            TRankEntry Pivot(int ALo, int AHi) const { return List[(ALo + AHi) / 2]; }
            int Compare(const TRankEntry& A, const TRankEntry& B) const
            {
                if (A.Rank != B.Rank)
                    return A.Rank < B.Rank ? -1 : 1;
                if constexpr (ATies) {
                    if (!(Sorter->FSelfEqual && A.Row == B.Row))
                        return Flip * Sorter->CompareRowsFrom(Rest, A.Row, B.Row);
                }
                return 0;
            }
            void Swap(int A, int B) { std::swap(List[A], List[B]); }
            bool Settled(int ALo, int AHi)
            {
                // Places ALo .. AHi - 1 are those whose next place is in the
                // range too.
                if (Shared[AHi] != Shared[ALo])
                    return false;
                Placed.resize(std::size_t(AHi - ALo + 1));
                for (int p = ALo; p <= AHi; ++p) {
                    const TRankEntry& e = List[p];
                    Placed[std::size_t(std::max(First[e.Rank - Least], ALo) - ALo)] = e;
                }
                std::copy(Placed.begin(), Placed.end(), List + ALo);
                return true;
            }
        } list{this, AList.data(), ARest, AFlip, shared.data(), first.data(), least, placed};
        if constexpr (ATies) {
            GridQuickSort(list, 0, n - 1, 1, false);
        } else {
            // Rows of one rank are equal: the comparisons read ranks only,
            // so the exchanges of a partition can be found in blocks.
            struct TPlainList : TList {
                void PairStops(int& AI, int& AJ, const TRankEntry& APivot)
                {
                    PairRankStops(this->List, AI, AJ, APivot.Rank);
                }
            } plain{list};
            GridQuickSort(plain, 0, n - 1, 1, false);
        }
        FOrder.resize(AList.size());
        for (std::size_t i = 0; i < AList.size(); ++i)
            FOrder[i] = AList[i].Row;
    }

    // The exchanges of a partition of an ascending quicksort by ranks alone,
    // up to where its two scans could meet, with no branch on a comparison:
    // the k-th place from the left not below the pivot is exchanged with the
    // k-th place from the right not above it (unless both hold one rank), as
    // the loop exchanges them. Blocks of places are classified at a time
    // from both ends; as no place is scanned from both, every such pair has
    // its left place before its right one. AI and AJ are left after the last
    // pair, where the loop goes on.
    static void PairRankStops(TRankEntry* AList, int& AI, int& AJ, int APivot)
    {
        constexpr int Block = 64;
        if (AJ - AI < 2 * Block)
            return;
        unsigned char left[Block], right[Block];
        int nLeft = 0, nRight = 0, usedLeft = 0, usedRight = 0;
        int baseLeft = AI, baseRight = AJ;
        int from = AI, to = AJ;   // not scanned yet
        // The next block from one end: the offsets of the places where that
        // end's scan stops; its places are scanned from that end only.
        auto scan = [&](bool ALeft, unsigned char* AOffsets, int& AFound, int& AUsed, int& ABase) {
            int m = std::min(Block, to - from + 1);
            AFound = AUsed = 0;
            ABase = ALeft ? from : to;
            for (int k = 0; k < m; ++k) {
                AOffsets[AFound] = static_cast<unsigned char>(k);
                AFound += ALeft ? AList[from + k].Rank >= APivot : AList[to - k].Rank <= APivot;
            }
            (ALeft ? from : to) += ALeft ? m : -m;
        };
        for (;;) {
            if (usedLeft == nLeft) {
                if (from > to)
                    break;
                scan(true, left, nLeft, usedLeft, baseLeft);
            }
            if (usedRight == nRight) {
                if (from > to)
                    break;
                scan(false, right, nRight, usedRight, baseRight);
            }
            int pairs = std::min(nLeft - usedLeft, nRight - usedRight);
            for (int t = 0; t < pairs; ++t) {
                int l = baseLeft + left[usedLeft + t], r = baseRight - right[usedRight + t];
                if (AList[l].Rank != AList[r].Rank)
                    std::swap(AList[l], AList[r]);
                AI = l + 1;
                AJ = r - 1;
            }
            usedLeft += pairs;
            usedRight += pairs;
        }
    }

    // The grid's quicksort on the list.
    template <class TCompare>
    void QuickSort(int ALo, int AHi, TCompare& ACompare, int ASign, bool ASwapEqual)
    {
        struct TList {
            TGridRowSorter* Sorter;
            TCompare& Cmp;
            TItem& At(int APos) { return Sorter->FItems[std::size_t(APos - Sorter->FLo)]; }
            TItem Pivot(int ALo, int AHi) { return At((ALo + AHi) / 2); }
            int Compare(const TItem& A, const TItem& B) { return Cmp(A, B); }
            void Swap(int A, int B) { std::swap(At(A), At(B)); }
        } list{this, ACompare};
        GridQuickSort(list, ALo, AHi, ASign, ASwapEqual);
    }

    TProStringGrid* G;
    int FLo, FHi;
    std::vector<TItem> FItems;   // FItems[p - FLo]: the row that goes to place p
    std::vector<int> FOrder;     // the same when the list held small entries
    std::vector<TDigit> FScratch;   // for the counting sorts
    bool FFirstInline = false;
    std::vector<std::unique_ptr<TColumn>> FColumns;
    TSortStyle FStartStyle;
    TSortDirection FDirection;
    bool FIgnoreCase, FIgnoreBlanks, FBlankFirst, FFull, FFormatEachTime, FSelfEqual, FStoredTexts;
    // The column after each that decides a tie (NextTieColumn).
    std::vector<int> FNextColumn;
    int NextColumn(int ACol) const
    {
        return std::size_t(ACol) < FNextColumn.size() ? FNextColumn[std::size_t(ACol)] : -1;
    }

    friend class TProStringGrid;
};

inline const AnsiString& TGridRowSorter::KeyText(TProStringGrid* G, int ACol, int ARow, TSortCellKey& K)
{
    if (!(K.Have & TSortCellKey::HaveText)) {
        K.Text = G->SortCellText(ACol, ARow);
        K.Have |= TSortCellKey::HaveText;
    }
    return K.Text;
}

bool TGridRowSorter::KeyNumeric(TProStringGrid* G, int ACol, int ARow, TSortCellKey& K)
{
    if (!(K.Have & TSortCellKey::HaveNumeric)) {
        K.Numeric = IsNumber(KeyText(G, ACol, ARow, K));
        K.Have |= TSortCellKey::HaveNumeric;
    }
    return K.Numeric;
}

// The form of the text that AStyle compares by its bytes.
AnsiString TGridRowSorter::AltForm(TProStringGrid* G, int ACol, int ARow, TSortStyle AStyle, std::string_view AText)
{
    switch (AStyle) {
    case ssAlphaNoCase: return AnsiUpperCase(AnsiString(AText));
    case ssHTML: return G->GetStrippedCell(ACol, ARow);
    case ssAnsiAlphaCase: return CollationKey(AnsiString(AText), false);
    default: return CollationKey(AnsiString(AText), true);
    }
}

const AnsiString& TGridRowSorter::KeyAlt(TProStringGrid* G, int ACol, int ARow, TSortStyle AStyle, TSortCellKey& K)
{
    if (K.AltStyle != AStyle) {
        K.Alt = AltForm(G, ACol, ARow, AStyle, AStyle == ssHTML ? AnsiString() : KeyText(G, ACol, ARow, K));
        K.AltStyle = static_cast<signed char>(AStyle);
    }
    return K.Alt;
}

// The number AStyle compares; AOk false when the text did not convert (for
// the numeric styles only).
double TGridRowSorter::KeyValue(TProStringGrid* G, int ACol, int ARow, TSortStyle AStyle, const AnsiString& APrefix,
                const AnsiString& ASuffix, TSortCellKey& K, bool& AOk)
{
    bool numeric = AStyle == ssNumeric || AStyle == ssFinancial;
    bool keep = !numeric || (APrefix.empty() && ASuffix.empty());
    if (keep && K.ValueStyle == AStyle) {
        AOk = K.ValueOk;
        return K.Value;
    }
    double v = 0;
    bool ok = true;
    switch (AStyle) {
    case ssNumeric:
    case ssFinancial: {
        const AnsiString& s = KeyText(G, ACol, ARow, K);
        ok = SortNumber(s, APrefix, ASuffix, AStyle == ssFinancial, v) || s.empty();
        if (!ok)
            v = 0;
        break;
    }
    case ssDate:
    case ssDateTime: v = DateValue(KeyText(G, ACol, ARow, K)); break;
    case ssTime: v = TimeValue(KeyText(G, ACol, ARow, K)); break;
    case ssShortDateEU: v = GuardedDate(KeyText(G, ACol, ARow, K), ParseDateDMY); break;
    case ssShortDateUS: v = GuardedDate(KeyText(G, ACol, ARow, K), ParseDateMDY); break;
    case ssImages: v = G->CellGraphicValue(ACol, ARow); break;
    case ssCheckBox: {
        // The check box state is asked by stored row; the sorted rows are
        // display rows.
        bool b = false;
        G->GetCheckBoxState(ACol, G->NumHiddenRows() > 0 ? G->RealRowIndex(ARow) : ARow, b);
        v = b ? 1 : 0;
        break;
    }
    default: break;
    }
    if (keep) {
        K.Value = v;
        K.ValueOk = ok;
        K.ValueStyle = static_cast<signed char>(AStyle);
    }
    AOk = ok;
    return v;
}

std::unique_ptr<TGridRowSorter::TColumn> TGridRowSorter::NewColumn(int ACol)
{
    auto c = std::make_unique<TColumn>();
    c->Ignored = G->IsIgnoredColumn(ACol);
    if (c->Ignored || FFormatEachTime)
        return c;
    c->Style = FStartStyle;
    G->GetCellFormat(ACol, c->Style, c->Prefix, c->Suffix);
    switch (c->Style) {
    case ssCustom: case ssRaw: case ssUnicode: case ssImages: case ssCheckBox: case ssAlphaNumeric:
    case ssAlphaNumericNoCase:
        return c;
    default:
        break;
    }
    std::size_t n = std::size_t(FHi - FLo + 1);
    c->Prepares = true;
    c->Slot.assign(n, 0);
    return c;
}

void TGridRowSorter::PrepareRow(int ACol, TColumn& C, int ARow)
{
    std::size_t i = std::size_t(ARow - FLo);
    TItem& p = C.NewRecord(i);
    p.Row = ARow;
    p.Ok = true;
    p.Value = 0;
    p.AltKind = p.ValueKind = NoKind;
    std::string_view text;
    if (!FStoredTexts || !G->SortCellStored(ACol, ARow, text))
        text = C.Owned.emplace_back(G->SortCellText(ACol, ARow));
    p.Text = text.data();
    p.Size = unsigned(text.size());
    p.Key = p.Text;
    p.KeySize = p.Size;
    TSortStyle style = C.Style;
    if (style == ssAutomatic) {
        style = IsCheckBoxType(G->GetCellType(ACol, ARow)) ? ssCheckBox : DetectStyle(text, FIgnoreCase);
        if (style == ssCheckBox) {
            p.Style = NoKind;
            return;
        }
    }
    p.Style = static_cast<unsigned char>(style);
    switch (style) {
    case ssAlphabetic:
    case ssAlphaCase:
        break;
    case ssAlphaNoCase:
    case ssAnsiAlphaCase:
    case ssAnsiAlphaNoCase:
    case ssHTML: {
        const AnsiString& alt = C.Owned.emplace_back(AltForm(G, ACol, ARow, style, text));
        p.Key = alt.data();
        p.KeySize = unsigned(alt.size());
        p.AltKind = p.Style;
        break;
    }
    case ssNumeric:
    case ssFinancial: {
        // As KeyValue, without copying the text first.
        double v = 0;
        p.Ok = SortNumber(text, C.Prefix, C.Suffix, style == ssFinancial, v) || text.empty();
        p.Value = p.Ok ? v : 0;
        p.ValueKind = static_cast<unsigned char>(style);
        return;
    }
    default: {
        TSortCellKey k;
        k.Text = text;
        k.Have = TSortCellKey::HaveText;
        p.Value = KeyValue(G, ACol, ARow, style, C.Prefix, C.Suffix, k, p.Ok);
        p.ValueKind = static_cast<unsigned char>(style == ssDateTime ? ssDate : style);
        return;
    }
    }
    p.Head = 0;
    for (unsigned b = 0; b < 8; ++b)
        p.Head = (p.Head << 8) | (b < p.KeySize ? static_cast<unsigned char>(p.Key[b]) : 0u);
}

int TGridRowSorter::Compare(TProStringGrid* G, int ACol, int ARow1, int ARow2, TSortDirection ADirection,
                            TSortStyle AStyle, const AnsiString& APrefix, const AnsiString& ASuffix,
                            TSortCellKey& K1, TSortCellKey& K2)
{
    TSortStyle style = AStyle;
    const AnsiString& s1 = KeyText(G, ACol, ARow1, K1);
    const AnsiString& s2 = KeyText(G, ACol, ARow2, K2);
    if (style == ssAutomatic) {
        if (!(K1.Have & TSortCellKey::HaveDetected)) {
            K1.Detected = IsCheckBoxType(G->GetCellType(ACol, ARow1))
                              ? ssCheckBox
                              : DetectStyle(s1, G->FSortSettings->IgnoreCase());
            K1.Have |= TSortCellKey::HaveDetected;
        }
        style = K1.Detected;
    }
    if (style == ssAlphaNumeric || style == ssAlphaNumericNoCase) {
        if (KeyNumeric(G, ACol, ARow1, K1) && KeyNumeric(G, ACol, ARow2, K2))
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
        // Bytes of the upper-cased texts; texts equal but for case by their
        // bytes, which puts the upper-case one first.
        res = ByteCompare(KeyAlt(G, ACol, ARow1, style, K1), KeyAlt(G, ACol, ARow2, style, K2));
        if (res == 0)
            res = ByteCompare(s1, s2);
        break;
    case ssAnsiAlphaCase:
    case ssAnsiAlphaNoCase:
    case ssHTML:
        res = ByteCompare(KeyAlt(G, ACol, ARow1, style, K1), KeyAlt(G, ACol, ARow2, style, K2));
        break;
    case ssUnicode:
        for (auto [k, row] : {std::pair<TSortCellKey*, int>{&K1, ARow1}, {&K2, ARow2}})
            if (!(k->Have & TSortCellKey::HaveWide)) {
                k->Wide = G->GetWideCell(ACol, row);
                k->Have |= TSortCellKey::HaveWide;
            }
        res = Sign(CollateWide(K1.Wide, K2.Wide, true));
        break;
    case ssNumeric:
    case ssFinancial: {
        bool ok1 = false, ok2 = false;
        double v1 = KeyValue(G, ACol, ARow1, style, APrefix, ASuffix, K1, ok1);
        double v2 = KeyValue(G, ACol, ARow2, style, APrefix, ASuffix, K2, ok2);
        res = ok1 || ok2 ? CompareValues(v1, v2) : 0;
        break;
    }
    case ssDate:
    case ssDateTime:
    case ssTime:
    case ssShortDateEU:
    case ssShortDateUS:
    case ssImages:
    case ssCheckBox: {
        bool ok = false;
        res = CompareValues(KeyValue(G, ACol, ARow1, style, APrefix, ASuffix, K1, ok),
                            KeyValue(G, ACol, ARow2, style, APrefix, ASuffix, K2, ok));
        break;
    }
    case ssCustom:
        if (G->OnCustomCompare)
            G->OnCustomCompare(G, s1, s2, res);
        break;
    case ssRaw:
        if (G->OnRawCompare)
            G->OnRawCompare(G, ACol, ARow1, ARow2, res);
        break;
    default:
        break;
    }

    TSortSettings* ss = G->FSortSettings.get();
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

// ---------------------------------------------------------------- comparing
bool TProStringGrid::SortCellStored(int ACol, int ARow, std::string_view& AText)
{
    if (!FSortSettings->SortOnVirtualCells())
        AText = CellText(ACol, ARow);
    else if (!CellsStored(ACol, ARow, AText))
        return false;
    return !(AText.size() >= 2 && AText[0] == '|' && AText[1] == '\\');
}

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
    TSortCellKey k1, k2;
    return TGridRowSorter::Compare(this, ACol, ARow1, ARow2, ADirection, style, prefix, suffix, k1, k2);
}

int TProStringGrid::CompareRows(int ACol, int ARow1, int ARow2)
{
    for (int c = ACol;; c = NextTieColumn(*this, c, FSortDepth > 0)) {
        if (IsIgnoredColumn(c))
            return 0;
        int r = CompareCells(c, ARow1, ARow2, FSortSettings->Direction());
        if (r != 0 || !FSortSettings->Full() || NextTieColumn(*this, c, FSortDepth > 0) < 0)
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

// ---------------------------------------------------------------- moving the rows once
namespace {
// Entries AFrom + i of AList (those it has) take the entries ASource[i];
// a source beyond the list gives 0.
void PermuteList(TIntList& AList, int AFrom, const std::vector<int>& ASource)
{
    int n = int(ASource.size()), count = AList.Count();
    std::vector<int> old(std::size_t(n), 0);
    for (int i = 0; i < n && AFrom + i < count; ++i)
        old[std::size_t(i)] = AList.GetItem(AFrom + i);
    for (int i = 0; i < n && AFrom + i < count; ++i)
        AList.SetItem(AFrom + i, old[std::size_t(ASource[std::size_t(i)] - AFrom)]);
}
}  // namespace

void TGridRowSorter::Apply()
{
    std::vector<int> rows = std::move(FOrder);
    if (rows.empty()) {
        rows.reserve(FItems.size());
        for (const TItem& item : FItems)
            rows.push_back(item.Row);
    }
    bool moved = false;
    for (std::size_t i = 0; i < rows.size() && !moved; ++i)
        moved = rows[i] != FLo + int(i);
    if (moved)
        G->MoveRowsOnce(FLo, rows);
}

// Row FLo + i receives the row ASource[i]; ASource is a permutation of the
// rows FLo .. FLo + size - 1. The row order list, cells, cell records,
// heights, selection flags, modified marks, cell controls and the tracked
// current row follow.
void TProStringGrid::MoveRowsOnce(int AFrom, const std::vector<int>& ASource)
{
    int n = int(ASource.size());
    PermuteList(FRowOrder, AFrom, ASource);
    PermuteRows(AFrom, ASource);
    if (FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort()) {
        // The rows' flags: by stored row with RowSelectPersistent, else by shown row.
        std::vector<int> real(std::size_t(n), 0);
        if (FMouseActions->RowSelectPersistent())
            real = RealRowIndexes(AFrom, AFrom + n - 1);
        else
            std::iota(real.begin(), real.end(), AFrom);
        EnsureRowFlags(real.empty() ? 0 : real.back() + 1);
        std::vector<int> old;
        for (int r : real)
            old.push_back(FRowSelectFlags[std::size_t(r)]);
        for (int i = 0; i < n; ++i)
            FRowSelectFlags[std::size_t(real[std::size_t(i)])] = old[std::size_t(ASource[std::size_t(i)] - AFrom)];
    }
    if (FShowModified->Enabled()) {
        int last = -1;
        for (int i = 0; i < n; ++i)
            if (GetRowModified(ASource[std::size_t(i)]))
                last = AFrom + i;
        while (FRowModified->Count() <= last)
            FRowModified->Add(0);
        PermuteList(*FRowModified, AFrom, ASource);
    }
    if (FCellControls && FCellControls->Count() > 0) {
        std::vector<int> place(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            place[std::size_t(ASource[std::size_t(i)] - AFrom)] = AFrom + i;
        for (int i = 0; i < FCellControls->Count(); ++i) {
            TControlListItem* item = FCellControls->GetItem(i);
            if (item->Y >= AFrom && item->Y < AFrom + n)
                item->Y = place[std::size_t(item->Y - AFrom)];
        }
        PositionCellControls();
    }
    if (FSortTracking && FSortTrackedRow >= AFrom && FSortTrackedRow < AFrom + n)
        for (int i = 0; i < n; ++i)
            if (ASource[std::size_t(i)] == FSortTrackedRow) {
                FSortTrackedRow = AFrom + i;
                break;
            }
}

// The stored (real) indices of the display rows AFrom .. ATo.
std::vector<int> TProStringGrid::RealRowIndexes(int AFrom, int ATo) const
{
    std::vector<int> rows;
    for (int r = std::max(AFrom, 0); r <= ATo; ++r)
        rows.push_back(r);
    return RealRowIndexes(rows);
}

std::vector<int> TProStringGrid::RealRowIndexes(const std::vector<int>& ARows) const
{
    // Hidden row i (the records in the order of their stored rows) lies before the row shown
    // at d when its index less i is at most d.
    std::vector<int> real;
    real.reserve(ARows.size());
    const int hidden = NumHiddenRows();
    int i = 0;
    for (int d : ARows) {
        while (i < hidden && static_cast<TGridItem*>(FHiddenRowList->Items(i))->Idx - i <= d)
            ++i;
        real.push_back(d + i);
    }
    return real;
}

// ---------------------------------------------------------------- quicksorts
// The pivot row is copied into the scratch row RowCount - 2, so that it keeps
// its value while rows are exchanged (the single-column sort, whose rows move
// one cell at a time). The stored strings are copied: the comparisons read the
// scratch row as they read every other row, shown through OnGetDisplText when
// sorting on the shown texts, so a shown copy would be shown a second time.
void TProStringGrid::CopyRowToScratch(int AFrom, int ATo)
{
    int cols = AllColCount();
    for (int c = 0; c < cols; ++c) {
        SetGridCell(c, ATo, GetGridCell(c, AFrom));
        SetGridObject(c, ATo, GetGridObject(c, AFrom));
    }
}

void TProStringGrid::QuickSortRowRange(int ALo, int AHi, const std::function<int(int A, int B)>& ACompare,
                                       int ASign, bool ASwapEqual)
{
    struct TRows {
        TProStringGrid* Grid;
        const std::function<int(int A, int B)>& Cmp;
        int At(int APos) { return APos; }
        int Pivot(int ALo, int AHi)
        {
            int scratch = Grid->RowCount() - 2;
            Grid->CopyRowToScratch((ALo + AHi) / 2, scratch);
            return scratch;
        }
        int Compare(int A, int B) { return Cmp(A, B); }
        void Swap(int A, int B) { Grid->SwapRows(A, B); }
    } rows{this, ACompare};
    GridQuickSort(rows, ALo, AHi, ASign, ASwapEqual);
}

void TProStringGrid::QuickSortRows(int ACol, int ALo, int AHi)
{
    if (ALo >= AHi)
        return;
    if (FSortSettings->SingleColumn()) {
        // Only the sort column's cells move, so a tie decided by the next
        // column reads that column at the rows' places: the rows move as the
        // sort goes.
        int sign = FSortSettings->Direction() == sdDescending ? -1 : 1;
        QuickSortRowRange(ALo, AHi, [this, ACol](int A, int B) { return CompareRows(ACol, A, B); }, sign, false);
        return;
    }
    TGridRowSorter sorter(this, ALo, AHi);
    sorter.SortRows(ACol);
    sorter.Apply();
}

void TProStringGrid::QuickSortRowsIndexed(int AIndex, int ALo, int AHi)
{
    if (ALo >= AHi)
        return;
    if (FSortSettings->SingleColumn()) {
        QuickSortRowRange(ALo, AHi, [this, AIndex](int A, int B) { return CompareRowsIndexed(AIndex, A, B); }, 1,
                          true);
        return;
    }
    TGridRowSorter sorter(this, ALo, AHi);
    sorter.SortRowsIndexed(AIndex);
    sorter.Apply();
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
    // Checked before anything changes, the update bracket included.
    for (int r : {ARow1, ARow2})
        if (r < 0 || r >= RowCount())
            throw EProGridError("Invalid row accessed");
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
    auto swapped = [ARow1, ARow2](int R) { return R == ARow1 ? ARow2 : R == ARow2 ? ARow1 : R; };
    if (FSortSettings->SingleColumn()) {
        swapCell(FSortSettings->Column());
        if (UndoRedo())
            UndoRedo()->CellsMoved([&, col = FSortSettings->Column()](int& C, int& R) {
                if (C == col)
                    R = swapped(R);
            });
        EndUpdate();
        return;
    }
    int cols = AllColCount();
    for (int c = 0; c < cols; ++c)
        swapCell(c);
    UndoRowsMoved(swapped);
    int h1 = RowHeights(ARow1), h2 = RowHeights(ARow2);
    if (h1 != h2) {
        SetRowHeights(ARow1, h2);
        SetRowHeights(ARow2, h1);
    }
    if (FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort()) {
        int r1 = RowSelectFlagIndex(ARow1), r2 = RowSelectFlagIndex(ARow2);
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
    // The row list moves with the values and the rows follow it once.
    bool single = FSortSettings->SingleColumn();
    std::vector<int> rows(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        rows[std::size_t(i)] = i;
    struct TOrder {
        TProStringGrid* Grid;
        std::vector<int>& Values;
        std::vector<int>& Rows;
        bool Single;
        int At(int APos) { return Values[std::size_t(APos)]; }
        int Pivot(int ALo, int AHi) { return At((ALo + AHi) / 2); }
        int Compare(int A, int B) { return CompareValues(A, B); }
        void Swap(int A, int B)
        {
            if (Single)   // only the sort column's cells move: one exchange at a time
                Grid->SwapRows(A, B);
            std::swap(Rows[std::size_t(A)], Rows[std::size_t(B)]);
            std::swap(Values[std::size_t(A)], Values[std::size_t(B)]);
        }
    } sequence{this, order, rows, single};
    GridQuickSort(sequence, 0, n - 1, 1, false);
    if (!single)
        MoveRowsOnce(0, rows);
    --FSortDepth;
    for (std::size_t r = 0; r < col0.size(); ++r)
        SetGridCell(0, int(r), col0[r]);
    EndUpdate();
}

#include "app/Katalog.h"

#include <algorithm>
#include <cstring>

#include "app/U_WspolneFunkcje.h"
#include "platform/core/CodePage.h"
#include "platform/core/Parallel.h"
#include "platform/core/SysUtils.h"

const std::array<AnsiString, 5> NormStateWords = {"Aktualna", "Nieaktualna", "Zastąpiona uznaniowo",
                                                  "Wycofana bez zastąpienia", "Norma zakładowa"};

const std::array<AnsiString, 8> NormHoldingWords = {
    "Brak", "Brak (Uznaniowa)", "Dostępna", "Dostępna (język ang.)", "Dostępna (PS)", "Dostępna (Uznaniowa)",
    "Dostępna (KJ)", "Dostępna (Wypożyczona)"};

const std::array<AnsiString, NormColCount> NormHeaders = {"",           "Numer normy", "Stan normy", "Stan posiadania",
                                                          "Zastąpiona", "Tytuł",       "Opis"};

void SplitRecordFields(std::string_view Line, std::string_view* Fields, int Count)
{
    size_t start = 0;
    int field = 0;
    while (field < Count) {
        size_t bar = Line.find('|', start);
        if (bar == std::string_view::npos) {
            // An unfinished field keeps its text.
            Fields[field] = Line.substr(start);
            break;
        }
        Fields[field++] = Line.substr(start, bar - start);
        start = bar + 1;
    }
}

void SplitRecordFields(const AnsiString& Line, AnsiString* Fields, int Count)
{
    // Fields not reached keep what they hold (no view was set for them).
    std::string_view few[8];
    std::vector<std::string_view> many;
    std::string_view* views = few;
    if (Count > 8) {
        many.resize(size_t(Count));
        views = many.data();
    }
    SplitRecordFields(std::string_view(Line), views, Count);
    for (int k = 0; k < Count; ++k)
        if (views[k].data())
            Fields[k] = AnsiString(views[k]);
}

AnsiString JoinRecordFields(const AnsiString* Fields, int Count)
{
    std::vector<std::string_view> views(Fields, Fields + std::max(Count, 0));
    AnsiString line;
    AppendRecordFields(line, views.data(), Count);
    return line;
}

void AppendRecordFields(std::string& Line, const std::string_view* Fields, int Count)
{
    for (int i = 0; i < Count; ++i) {
        const std::string_view f = Fields[i];
        std::size_t from = 0;
        for (std::size_t k = 0; k < f.size(); ++k)
            if (f[k] == '|' || f[k] == '\r' || f[k] == '\n') {
                Line.append(f, from, k - from);
                Line += ' ';
                from = k + 1;
            }
        Line.append(f, from, std::string_view::npos);
        Line += '|';
    }
}

TNormRecord SplitNormLine(const AnsiString& Line)
{
    TNormRecord rec;
    SplitRecordFields(Line, rec.data(), NormFieldCount);
    return rec;
}

AnsiString NormStateCell(const AnsiString& Field, const std::array<std::int32_t, 5>& Colors)
{
    for (size_t i = 0; i < NormStateWords.size(); ++i)
        if (Field == NormStateWords[i])
            return "<p align=\"center\"><font color=\"" + ColorToHtml(Colors[i]) + "\"><b>" + Field +
                   "</b></font></p>";
    return "<p align=\"center\"><b>" + Field + "</b></p>";
}

AnsiString NormStateWord(const AnsiString& Cell)
{
    return AnsiString(NormStateWordOf(Cell));
}

std::string_view NormStateWordOf(std::string_view Cell)
{
    static const AnsiString order[] = {"Nieaktualna", "Aktualna", "Norma zakładowa", "Wycofana bez zastąpienia",
                                       "Zastąpiona uznaniowo"};
    for (const AnsiString& w : order)
        if (Cell.find(w) != std::string_view::npos)
            return w;
    return std::string_view();
}

AnsiString NormLine(const TNormRecord& Record)
{
    return JoinRecordFields(Record.data(), NormFieldCount);
}

AnsiString NormBackupFileName(const AnsiString& Folder, const AnsiString& FileName, TDateTime When)
{
    AnsiString name = ExtractFileName(FileName);
    AnsiString ext = ExtractFileExt(name);
    AnsiString base = name.substr(0, name.size() - ext.size());
    AnsiString folder = Folder.empty() ? Folder : IncludeTrailingPathDelimiter(Folder);
    return folder + base + " (kopia z " + FormatDateTime("dd-mm-yyyy", When) + " " +
           FormatDateTime("hh'-'nn'-'ss", When) + ")" + ext;
}

bool IsNormBackupFileName(const AnsiString& Name, const AnsiString& FileName)
{
    const AnsiString name = ExtractFileName(FileName), ext = ExtractFileExt(name);
    const AnsiString before = name.substr(0, name.size() - ext.size()) + " (kopia z ", after = ")" + ext;
    const std::string_view stamp = "00-00-0000 00-00-00";   // 0: any digit
    if (Name.size() != before.size() + stamp.size() + after.size() ||
        !AnsiSameText(Name.substr(0, before.size()), before) ||
        !AnsiSameText(Name.substr(Name.size() - after.size()), after))
        return false;
    for (size_t i = 0; i < stamp.size(); ++i) {
        const char c = Name[before.size() + i];
        if (stamp[i] == '0' ? c < '0' || c > '9' : c != stamp[i])
            return false;
    }
    return true;
}

std::vector<int> GroupNormOrder(const std::vector<TNormRecord>& Records)
{
    std::vector<AnsiString> lines;
    std::vector<std::string_view> lineViews, numbers;
    lines.reserve(Records.size());
    for (const TNormRecord& r : Records)
        lines.push_back(NormLine(r));
    for (std::size_t i = 0; i < Records.size(); ++i) {
        lineViews.push_back(lines[i]);
        numbers.push_back(Records[i][nfNumber]);
    }
    return GroupNormOrder(lineViews, numbers);
}

namespace {
// The groups in the order they are written: the letters, the EN group after the
// letter E, the ISO and IEC groups after I; then the records no group takes.
enum : std::uint16_t { GroupEN = 26, GroupISO, GroupIEC, GroupNone };
constexpr std::uint16_t GroupPlace(std::uint16_t Group)
{
    return Group == GroupEN    ? 5
           : Group == GroupISO ? 10
           : Group == GroupIEC ? 11
           : Group == GroupNone ? 29
                               : std::uint16_t(Group + (Group > 4) + 2 * (Group > 8));
}

// The group of a record by its number: the first of the EN, ISO and IEC passes,
// then of the letter passes from A to Z, that takes it.
std::uint16_t NormGroup(std::string_view Number)
{
    if (Number.empty())
        return GroupNone;
    if (Number.find("EN") != std::string_view::npos)
        return GroupEN;
    if (Number.find("ISO") != std::string_view::npos)
        return GroupISO;
    if (Number.find("IEC") != std::string_view::npos)
        return GroupIEC;
    // The first letter from A to Z after a "-", or between "/" and "-".
    int best = 26;
    for (std::size_t i = 0; i + 1 < Number.size(); ++i) {
        const char c = Number[i + 1];
        if (c < 'A' || c > 'Z' || c - 'A' >= best)
            continue;
        if (Number[i] == '-' || (Number[i] == '/' && i + 2 < Number.size() && Number[i + 2] == '-'))
            best = c - 'A';
    }
    return best < 26 ? std::uint16_t(best) : std::uint16_t(GroupNone);
}

// A record's sort key: the place of its group, then the start of its record
// line's key for the word sort.
using TGroupKey = std::array<unsigned char, 32>;
}  // namespace

std::vector<int> GroupNormOrder(const std::vector<std::string_view>& Lines,
                                const std::vector<std::string_view>& Numbers)
{
    const std::size_t n = Lines.size();
    std::vector<TGroupKey> keys(n);
    RunInParts(n, PartsFor(n, 4096), [&](int, std::size_t From, std::size_t To) {
        for (std::size_t i = From; i < To; ++i) {
            const std::uint16_t place = GroupPlace(NormGroup(Numbers[i]));
            keys[i][0] = static_cast<unsigned char>(place >> 8);
            keys[i][1] = static_cast<unsigned char>(place & 0xFF);
            CollationPrefix(Lines[i], keys[i].data() + 2, keys[i].size() - 2);
        }
    });
    // Each group in the order of its record lines (the framework's case-insensitive order),
    // equal lines in the records' order; the records no group takes after all, in theirs.
    std::vector<std::uint32_t> grouped, rest;
    for (std::size_t i = 0; i < n; ++i)
        (keys[i][1] == GroupPlace(GroupNone) ? rest : grouped).push_back(std::uint32_t(i));
    StableSortInParts(grouped, [&](std::uint32_t A, std::uint32_t B) {
        const int k = std::memcmp(keys[A].data(), keys[B].data(), keys[A].size());
        return k != 0 ? k < 0 : CollateAnsi(Lines[A], Lines[B], true) < 0;
    });
    std::vector<int> order(grouped.begin(), grouped.end());
    order.insert(order.end(), rest.begin(), rest.end());
    return order;
}

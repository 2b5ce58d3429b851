#include "app/Katalog.h"

#include <algorithm>

#include "app/U_WspolneFunkcje.h"
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

void AppendRecordFields(AnsiString& Line, const std::string_view* Fields, int Count)
{
    for (int i = 0; i < Count; ++i) {
        const std::size_t at = Line.size();
        Line.append(Fields[i]);
        for (std::size_t k = at; k < Line.size(); ++k)
            if (const char c = Line[k]; c == '|' || c == '\r' || c == '\n')
                Line[k] = ' ';
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
    return AnsiString(NormStateWordIn(Cell));
}

std::string_view NormStateWordIn(std::string_view Cell)
{
    static const std::string_view order[] = {"Nieaktualna", "Aktualna", "Norma zakładowa", "Wycofana bez zastąpienia",
                                             "Zastąpiona uznaniowo"};
    for (std::string_view w : order)
        if (Cell.find(w) != std::string_view::npos)
            return w;
    return {};
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

std::vector<int> GroupNormOrder(const std::vector<TNormRecord>& Records)
{
    const int n = int(Records.size());
    std::vector<bool> taken(static_cast<size_t>(n), false);
    std::vector<AnsiString> lines(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        lines[size_t(i)] = NormLine(Records[size_t(i)]);

    auto contains = [](const AnsiString& s, const AnsiString& sub) { return s.find(sub) != AnsiString::npos; };
    // One pass: the records not yet taken whose number passes the test, in
    // the order of their record lines.
    auto pass = [&](auto test) {
        std::vector<int> group;
        for (int i = 0; i < n; ++i) {
            const AnsiString& number = Records[size_t(i)][nfNumber];
            if (!taken[size_t(i)] && !number.empty() && test(number)) {
                taken[size_t(i)] = true;
                group.push_back(i);
            }
        }
        std::stable_sort(group.begin(), group.end(),
                         [&](int a, int b) { return AnsiCompareText(lines[size_t(a)], lines[size_t(b)]) < 0; });
        return group;
    };

    std::vector<int> en = pass([&](const AnsiString& s) { return contains(s, "EN"); });
    std::vector<int> iso = pass([&](const AnsiString& s) { return contains(s, "ISO"); });
    std::vector<int> iec = pass([&](const AnsiString& s) { return contains(s, "IEC"); });

    std::vector<int> result;
    result.reserve(size_t(n));
    auto append = [&](const std::vector<int>& g) { result.insert(result.end(), g.begin(), g.end()); };
    for (char c = 'A'; c <= 'Z'; ++c) {
        AnsiString dash = AnsiString("-") + c;
        AnsiString slash = AnsiString("/") + c + "-";
        append(pass([&](const AnsiString& s) { return contains(s, dash) || contains(s, slash); }));
        if (c == 'E')
            append(en);
        if (c == 'I') {
            append(iso);
            append(iec);
        }
    }
    for (int i = 0; i < n; ++i)
        if (!taken[size_t(i)])
            result.push_back(i);
    return result;
}

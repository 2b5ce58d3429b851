// TProStringGrid: the columns written by save and export, the longest text of
// a column, and the fixed-width text file.
#include <algorithm>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "grid/services/GridFiles_p.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"

// ---------------------------------------------------------------- shared helpers
THourGlass::THourGlass() : FSaved(Screen ? Screen->Cursor() : crDefault)
{
    if (Screen)
        Screen->SetCursor(crHourGlass);
}

THourGlass::~THourGlass()
{
    if (Screen)
        Screen->SetCursor(FSaved);
}

TGridUpdate::TGridUpdate(TProStringGrid* Grid) : FGrid(Grid)
{
    FGrid->BeginUpdate();
}

TGridUpdate::~TGridUpdate()
{
    FGrid->EndUpdate();
}

namespace {
bool IsWideCellText(const AnsiString& S)
{
    return S.size() >= 2 && S[0] == '|' && S[1] == '\\';
}
}

AnsiString CellTextAsAnsi(const AnsiString& S)
{
    return IsWideCellText(S) ? WideToAnsi(DecodeUnicodeCell(S)) : S;
}

std::string CellTextAsUtf8(const AnsiString& S)
{
    return IsWideCellText(S) ? WideToUtf8(DecodeUnicodeCell(S)) : AnsiToUtf8(S);
}

AnsiString CellTextFromUtf8(const std::string& S)
{
    AnsiString ansi = Utf8ToAnsi(S);
    if (AnsiToUtf8(ansi) == S)
        return ansi;
    return EncodeUnicodeCell(Utf8ToWide(S));
}

std::vector<AnsiString> TextLines(const AnsiString& S)
{
    std::vector<AnsiString> lines;
    AnsiString rest = S;
    do {
        AnsiString line;
        ExtractFirstLine(rest, true, line);
        lines.push_back(line);
    } while (!rest.empty());
    if (!S.empty() && (S.back() == '\r' || (S.size() >= 2 && S.compare(S.size() - 2, 2, "\r\n") == 0)))
        lines.emplace_back();
    return lines;
}

AnsiString OfficeFileName(const AnsiString& FileName, const char* OldExt)
{
    return SameText(ExtractFileExt(FileName), OldExt) ? FileName + "x" : FileName;
}

// ---------------------------------------------------------------- columns and lengths
// A hidden column belongs to the range of the shown column after it; those after the last shown
// column belong to that one. So a range that leaves out the fixed columns on either side leaves
// out the hidden columns among them too.
std::vector<int> TProStringGrid::ExportColumns(int FromCol, int ToCol)
{
    std::vector<int> cols;
    FromCol = std::max(FromCol, 0);
    if (ToCol < FromCol)
        return cols;
    if (FExportHiddenColumns) {
        const int first = FromCol == 0 ? 0 : RealColIndex(FromCol - 1) + 1;
        const int last = ToCol >= ColCount() - 1 ? AllColCount() - 1 : RealColIndex(ToCol + 1) - 1;
        for (int c = first; c <= last; ++c)
            cols.push_back(c);
    } else {
        for (int c = FromCol; c <= ToCol; ++c)
            cols.push_back(RealColIndex(c));
    }
    return cols;
}

std::vector<int> TProStringGrid::ImportColumns(int FromCol, int AFields)
{
    std::vector<int> cols = ExportColumns(FromCol, ColCount() - 1);
    if (AFields > int(cols.size())) {
        SetColCount(ColCount() + AFields - int(cols.size()));
        cols = ExportColumns(FromCol, ColCount() - 1);
    }
    return cols;
}

int TProStringGrid::ExportedSpan(const std::vector<int>& Cols, std::size_t AIndex, int ARow) const
{
    const int col = Cols[AIndex];
    const TPoint base = GetBaseCell(col, ARow);
    if (base.Y != ARow)
        return 0;
    const int last = base.X + CellSpan(col, ARow).X;
    auto inside = [&](std::size_t i) { return Cols[i] >= base.X && Cols[i] <= last; };
    if (AIndex > 0 && inside(AIndex - 1))
        return 0;
    std::size_t end = AIndex + 1;
    while (end < Cols.size() && inside(end))
        ++end;
    return int(end - AIndex);
}

int TProStringGrid::MaxColumnTextLength(int ACol)
{
    int longest = 0;
    for (int r = 0; r < RowCount(); ++r) {
        AnsiString s;
        SaveCell(ACol, r, s);
        s = CellTextAsAnsi(s);
        if (!FP.Multilinecells) {
            longest = std::max(longest, int(s.size()));
            continue;
        }
        for (const AnsiString& line : TextLines(s))
            longest = std::max(longest, int(line.size()));
    }
    return longest;
}

// ---------------------------------------------------------------- fixed-width text
void TProStringGrid::SaveToFixedText(const AnsiString& FileName)
{
    WriteFixedText(FileName, false);
}

void TProStringGrid::WriteFixedText(const AnsiString& FileName, bool Append)
{
    THourGlass hourGlass;
    TFileStringList out;
    if (Append && FileExists(FileName))
        out.LoadFromFile(FileName);
    std::vector<int> cols = ExportColumns(FExportFixedCells ? 0 : FixedCols(), ColCount() - 1);
    std::vector<int> widths, starts;
    int start = 0;
    for (int c : cols) {
        widths.push_back(MaxColumnTextLength(c));
        starts.push_back(start);
        start += widths.back() + 1;
    }
    DoProgress(0, -1);
    for (int r = FExportFixedCells ? 0 : FixedRows(); r < RowCount(); ++r) {
        // Line 0 is the row's line; the others are continuation lines of multi-line cells.
        std::vector<AnsiString> lines(1);
        for (std::size_t i = 0; i < cols.size(); ++i) {
            AnsiString s;
            SaveCell(cols[i], r, s);
            s = CellTextAsAnsi(s);
            std::vector<AnsiString> pieces = FP.Multilinecells ? TextLines(s) : std::vector<AnsiString>{s};
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            ResolveCellAlignment(cols[i], r, ha, va);
            int width = widths[i];
            for (std::size_t k = 0; k < pieces.size(); ++k) {
                AnsiString piece = pieces[k];
                if (ha == taRightJustify && int(piece.size()) < width)
                    piece.insert(0, std::size_t(width) - piece.size(), ' ');
                else if (ha == taCenter)
                    while (int(piece.size()) < width)
                        piece = " " + piece + " ";
                piece.resize(std::max(piece.size(), std::size_t(width) + 1), ' ');
                if (k >= lines.size())
                    lines.resize(k + 1);
                AnsiString& line = lines[k];
                if (int(line.size()) < starts[i])
                    line.resize(std::size_t(starts[i]), ' ');
                line += piece;
            }
        }
        for (const AnsiString& line : lines)
            out.WriteLn(line);
        DoProgress(1, r);
    }
    DoProgress(2, -1);
    out.SaveToFile(FileName);
}

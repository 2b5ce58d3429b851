#pragma once
// Helpers of the grid tests: number and date formats with a dot or Polish, package parts, a key column
// loaded into a string grid and read back, cells named by their place, filled
// bitmaps, item lists and small GIFs for cell graphics, the fitted size of a cell
// picture, the hint prepared for a point, and a fixture with a grid of type T on a
// shown form, clicked and typed into as the user does.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/services/OfficePackage.h"
#include "platform/core/SysUtils.h"
#include "tests/common/FormTest.h"

// Decimal ".", thousands ",", dates "dd-mm-yyyy" and times ":" while it lives.
struct DotFormatSettings {
    DotFormatSettings()
    {
        FormatSettings.DecimalSeparator = '.';
        FormatSettings.ThousandSeparator = ',';
        FormatSettings.DateSeparator = '-';
        FormatSettings.TimeSeparator = ':';
    }
    ~DotFormatSettings() { ResetFormatSettings(); }
    DotFormatSettings(const DotFormatSettings&) = delete;
    DotFormatSettings& operator=(const DotFormatSettings&) = delete;
};

// A header row ("head" in column 1) and the keys in column 1 below it; column
// 2 holds each row's original position as "p<n>".
inline void LoadKeys(TProStringGrid& G, const std::vector<std::string>& Keys)
{
    G.SetRowCount(int(Keys.size()) + 1);
    G.SetCells(1, 0, "head");
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        G.SetCells(1, int(i) + 1, Keys[i]);
        G.SetCells(2, int(i) + 1, "p" + std::to_string(i));
    }
}

// ARows rows with "r<row>" in column 1.
inline void FillRows(TProStringGrid& G, int ARows)
{
    G.SetRowCount(ARows);
    for (int r = 0; r < ARows; ++r)
        G.SetCells(1, r, "r" + std::to_string(r));
}

// The text "c<col>r<row>" in every cell from column and row From on.
inline void NameCells(TProStringGrid& G, int From = 0)
{
    for (int r = From; r < G.RowCount(); ++r)
        for (int c = From; c < G.ColCount(); ++c)
            G.SetCells(c, r, "c" + std::to_string(c) + "r" + std::to_string(r));
}

// The texts of column ACol from row From down.
inline std::vector<std::string> ColumnTexts(TProStringGrid& G, int ACol, int From = 1)
{
    std::vector<std::string> v;
    for (int r = From; r < G.RowCount(); ++r)
        v.push_back(G.Cells(ACol, r));
    return v;
}

// Every cell of the grid, columns joined by "|" and rows by "/".
inline std::string GridTexts(TProStringGrid& G)
{
    std::string s;
    for (int r = 0; r < G.RowCount(); ++r)
        for (int c = 0; c < G.ColCount(); ++c)
            s += G.Cells(c, r) + (c + 1 < G.ColCount() ? "|" : r + 1 < G.RowCount() ? "/" : "");
    return s;
}

// Sizes the grid to Texts and fills it, columns split by "|" and rows by "/" as GridTexts gives them.
inline void SetGridTexts(TProStringGrid& G, const std::string& Texts)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (char ch : Texts)
        if (ch == '/')
            rows.emplace_back(1);
        else if (ch == '|')
            rows.back().emplace_back();
        else
            rows.back().back() += ch;
    G.SetColCount(int(rows[0].size()));
    G.SetRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(rows[r].size()); ++c)
            G.SetCells(c, r, rows[r][c]);
}

// Polish formats while it lives: decimal ",", thousands a no-break space, dates "dd.mm.yyyy" and
// times "hh:nn:ss".
struct PolishFormatSettings {
    PolishFormatSettings()
    {
        ResetFormatSettings();
        FormatSettings.DecimalSeparator = ',';
        FormatSettings.ThousandSeparator = '\xA0';
        FormatSettings.DateSeparator = '.';
        FormatSettings.ShortDateFormat = "dd.mm.yyyy";
        FormatSettings.TimeSeparator = ':';
        FormatSettings.LongTimeFormat = "hh:nn:ss";
    }
    ~PolishFormatSettings() { ResetFormatSettings(); }
    PolishFormatSettings(const PolishFormatSettings&) = delete;
    PolishFormatSettings& operator=(const PolishFormatSettings&) = delete;
};

// A part of the package File.
inline std::string PackagePart(const std::string& File, const std::string& Name)
{
    TOfficePackage p;
    p.LoadFromFile(File.c_str(), "a package");
    return p.Part(Name);
}

// The package File with its part Name replaced (or added).
inline void ReplacePackagePart(const std::string& File, const std::string& Name, const std::string& Data)
{
    TOfficePackage p;
    p.LoadFromFile(File.c_str(), "a package");
    p.SetPart(Name, Data);
    p.SaveToFile(File.c_str());
}

// The message of the error of type E that F raises; "" when it raises none.
template <class E = EProGridError>
AnsiString GridError(const std::function<void()>& F)
{
    try {
        F();
    } catch (const E& e) {
        return e.Message();
    }
    return "";
}

// A new cell graphic of type T in cell (c, r), given to the grid as the cell's graphic object.
inline TCellGraphic* AddGraphic(TProStringGrid* G, int c, int r, TCellType T)
{
    auto* g = new TCellGraphic;
    g->CellType = T;
    G->SetCellGraphicObject(c, r, g);
    return g;
}

// B made W x H and filled with C.
inline TBitmap& Filled(TBitmap& B, int W, int H, TColor C)
{
    B.SetSize(W, H);
    B.Canvas()->Brush()->SetColor(C);
    B.Canvas()->FillRect(TRect(0, 0, W, H));
    return B;
}

// A new string list of these items, for a cell graphic to own.
inline TStringList* NewStringList(std::initializer_list<const char*> Items)
{
    auto* list = new TStringList();
    for (const char* s : Items)
        list->Add(s);
    return list;
}

// A GIF of a 4 x 4 screen in red and blue with a red one-pixel frame at each of the given places. With
// Transparent, the screen's background is blue and each frame's blue is transparent.
inline std::string FramesGif(const std::vector<std::pair<int, int>>& Frames, bool Transparent = false)
{
    std::string g = "GIF89a";
    g += std::string("\x04\x00\x04\x00\x80", 5) + char(Transparent) + '\0';
    g += std::string("\xFF\x00\x00\x00\x00\xFF", 6);
    for (auto [x, y] : Frames) {
        g += std::string("\x21\xF9\x04", 3) + char(Transparent) + std::string("\x00\x00", 2) + char(Transparent) + '\0';
        g += std::string{'\x2C', char(x), '\0', char(y), '\0'};
        g += std::string("\x01\x00\x01\x00\x00", 5);
        g += std::string("\x02\x02\x44\x01\x00", 5);
    }
    return g + '\x3B';
}

// A pixel darker than mid-grey in each of red, green and blue.
inline bool Dark(TColor c)
{
    return GetRValue(c) < 0x80 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80;
}

// The size a picture of PicW x PicH takes in a 100 x 50 cell with the given
// fitting mode (CellAngle) and margin (CellIndex).
inline TSize FittedPictureSize(int Mode, int PicW, int PicH, int Margin)
{
    TCellGraphic g;
    g.CellType = ctPicture;
    auto* bitmap = new TBitmap();
    bitmap->SetSize(PicW, PicH);
    g.CellObject = bitmap;
    g.CellCreated = true;
    g.CellAngle = Mode;
    g.CellIndex = Margin;
    return g.GetPictureSize(100, 50);
}

// The bytes written to S.
inline std::string StreamBytes(TMemoryStream& S)
{
    return std::string(S.Memory(), std::size_t(S.Size()));
}

// How many pixels of R differ between A and B.
inline int DifferingPixels(TBitmap* A, TBitmap* B, const TRect& R)
{
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            n += A->Canvas()->Pixels(x, y) != B->Canvas()->Pixels(x, y);
    return n;
}

// Bounding box of the pixels in R that satisfy Ink; Left = -1 when none.
inline TRect InkBox(TBitmap* b, const TRect& R, const std::function<bool(TColor)>& Ink)
{
    TRect box(-1, -1, -1, -1);
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (Ink(ColorToRGB(b->Canvas()->Pixels(x, y))))
                box = box.Left < 0 ? TRect(x, y, x + 1, y + 1)
                                   : TRect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                                           std::max(box.Bottom, y + 1));
    return box;
}

// How many pixels of R satisfy Ink.
inline int CountPixels(TBitmap* b, const TRect& R, const std::function<bool(TColor)>& Ink)
{
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            n += Ink(ColorToRGB(b->Canvas()->Pixels(x, y)));
    return n;
}

// The hint the grid prepares for the pointer at (X, Y).
inline AnsiString CellHint(TProStringGrid& G, int X, int Y)
{
    THintInfo info;
    info.CursorPos = TPoint(X, Y);
    AnsiString s;
    G.PrepareCellHint(s, info);
    return s;
}

// A grid of type T at (0, 0, 400, 250) on a shown 600 x 500 form.
template <class T>
struct TGridFormTest : TFormTest {
    T* Grid = nullptr;
    void SetUp() override
    {
        MakeGrid(600, 500, 400, 250);
        Form->Show();
    }
    // The grid at (0, 0, GridWidth, GridHeight) on a FormWidth x FormHeight form, not shown yet.
    void MakeGrid(int FormWidth, int FormHeight, int GridWidth, int GridHeight)
    {
        MakeForm(FormWidth, FormHeight);
        Grid = Place<T>(0, 0, GridWidth, GridHeight);
    }
    void Scroll(bool Vertical, Word Code, int Pos = 0)
    {
        Grid->Perform(Vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(Code, Pos), 0);
    }
    TPoint Current() const { return TPoint(Grid->Col(), Grid->Row()); }
    TPoint CellMiddle(int ACol, int ARow) const
    {
        const TRect r = Grid->CellRect(ACol, ARow);
        return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    // A single click in the middle of a cell, never taken with the one before as a double click.
    void ClickCell(int ACol, int ARow, TShiftState Shift = 0)
    {
        AdvanceInputClock(1000);
        const TPoint p = CellMiddle(ACol, ARow);
        Click(Grid, p.X, p.Y, mbLeft, Shift);
    }
    // The grid's own in-place edit, and whether it is open.
    TInplaceEdit* Editor() const { return Grid->InplaceEditor(); }
    bool EditorShown() const { return Editor() && Editor()->Visible(); }
    // Types Text on the current cell: the first character opens the editor, the rest goes into it.
    void TypeInCell(const AnsiString& Text)
    {
        TypeText(Grid, Text.substr(0, 1));
        ASSERT_TRUE(EditorShown());
        if (Text.size() > 1)
            TypeText(Editor(), Text.substr(1));
    }
};

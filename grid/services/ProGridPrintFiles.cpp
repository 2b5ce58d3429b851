// The grid's saved column widths (an ini file or the registry store) and its
// print settings in one section of an ini file.
#include <algorithm>
#include <climits>
#include <memory>

#include "grid/ProGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Printers.h"

namespace {
const char* YesNo(bool v)
{
    return v ? "Y" : "N";
}

bool ReadYes(TIniFile& Ini, const AnsiString& Section, const AnsiString& Key, const char* Default)
{
    return Ini.ReadString(Section, Key, Default) == "Y";
}

// An enumerated value read as a number: set only when it is within 0 .. Max.
template <class T>
void ReadEnum(TIniFile& Ini, const AnsiString& Section, const AnsiString& Key, int Max, T Current,
              void (TPrintSettings::*Set)(T), TPrintSettings* PS)
{
    const int v = Ini.ReadInteger(Section, Key, 0);
    if (v >= 0 && v <= Max)
        (PS->*Set)(T(v));
    else
        (PS->*Set)(Current);
}

TPrintPosition ReadPosition(TIniFile& Ini, const AnsiString& Section, const AnsiString& Key)
{
    const int v = Ini.ReadInteger(Section, Key, 0);
    return v >= 0 && v <= ppBottomCenter ? TPrintPosition(v) : ppNone;
}

// The longer side of the printer's page in 0.1 mm (that of A4 when the printer gives none):
// no margin, spacing or fixed size of a printed page goes beyond it.
int PageExtent()
{
    TPrinter* printer = Printer();
    TCanvas* c = printer->Canvas();
    const long long w = printer->PageWidth() * 254LL / std::max(GetDeviceCaps(c, LOGPIXELSX), 1);
    const long long h = printer->PageHeight() * 254LL / std::max(GetDeviceCaps(c, LOGPIXELSY), 1);
    const long long longer = std::max(w, h);
    return longer > 0 ? int(std::min<long long>(longer, INT_MAX)) : 2970;
}

void WriteFont(TIniFile& Ini, const AnsiString& Section, const AnsiString& Prefix, TFont* F)
{
    Ini.WriteString(Section, Prefix + "Name", IniQuotedValue(F->Name()));
    Ini.WriteInteger(Section, Prefix + "Size", F->Size());
    Ini.WriteInteger(Section, Prefix + "Style", int(F->Style()));
    Ini.WriteInteger(Section, Prefix + "Color", int(F->Color()));
}

// The stored style bits are switched on; styles not stored are left as they are.
void ReadFont(TIniFile& Ini, const AnsiString& Section, const AnsiString& Prefix, TFont* F)
{
    F->SetName(Ini.ReadString(Section, Prefix + "Name", "Arial"));
    F->SetSize(Ini.ReadInteger(Section, Prefix + "Size", 10));
    F->SetStyle(F->Style() | TFontStyles(Ini.ReadInteger(Section, Prefix + "Style", 0) & 0xF));
    F->SetColor(TColor(Ini.ReadInteger(Section, Prefix + "Color", 0)));
}
}  // namespace

void TProStringGrid::SavePrintSettings(const AnsiString& FileName, const AnsiString& Section)
{
    TPrintSettings* ps = FPrintSettings.get();
    TIniFile ini(FileName);
    ini.WriteInteger(Section, "ColumnSpacing", ps->ColumnSpacing());
    ini.WriteInteger(Section, "RowSpacing", ps->RowSpacing());
    ini.WriteInteger(Section, "TitleSpacing", ps->TitleSpacing());
    ini.WriteInteger(Section, "FixedHeight", ps->FixedHeight());
    ini.WriteInteger(Section, "FixedWidth", ps->FixedWidth());
    ini.WriteString(Section, "Centered", YesNo(ps->Centered()));
    ini.WriteString(Section, "NoAutoSize", YesNo(ps->NoAutoSize()));
    ini.WriteString(Section, "UseFixedHeight", YesNo(ps->UseFixedHeight()));
    ini.WriteString(Section, "UseFixedWidth", YesNo(ps->UseFixedWidth()));
    ini.WriteString(Section, "RepeatFixedRows", YesNo(ps->RepeatFixedRows()));
    ini.WriteString(Section, "RepeatFixedCols", YesNo(ps->RepeatFixedCols()));
    ini.WriteString(Section, "UseDisplFont", YesNo(ps->UseDisplayFont()));
    ini.WriteString(Section, "UseDefOrientation", YesNo(ps->UseDefaultOrientation()));
    ini.WriteInteger(Section, "Borders", int(ps->Borders()));
    ini.WriteInteger(Section, "BorderStyle", int(ps->BorderStyle()));
    ini.WriteInteger(Section, "Date", int(ps->Date()));
    ini.WriteInteger(Section, "PageNr", int(ps->PageNr()));
    ini.WriteInteger(Section, "Title", int(ps->Title()));
    ini.WriteInteger(Section, "Time", int(ps->Time()));
    ini.WriteString(Section, "DateFormat", IniQuotedValue(ps->DateFormat()));
    ini.WriteString(Section, "TitleText", IniQuotedValue(ps->TitleText()));
    ini.WriteInteger(Section, "FooterSize", ps->FooterSize());
    ini.WriteInteger(Section, "HeaderSize", ps->HeaderSize());
    ini.WriteInteger(Section, "LeftSize", ps->LeftSize());
    ini.WriteInteger(Section, "RightSize", ps->RightSize());
    ini.WriteInteger(Section, "FitToPage", int(ps->FitToPage()));
    WriteFont(ini, Section, "Font", ps->Font());
    WriteFont(ini, Section, "HeaderFont", ps->HeaderFont());
    WriteFont(ini, Section, "FooterFont", ps->FooterFont());
    ini.WriteString(Section, "PageNumSep", IniQuotedValue(ps->PageNumSep()));
    ini.WriteString(Section, "PageSuffix", IniQuotedValue(ps->PageSuffix()));
    ini.WriteString(Section, "PagePrefix", IniQuotedValue(ps->PagePrefix()));
    ini.WriteInteger(Section, "Orientation", int(ps->Orientation()));
    // Lines joined by CR LF; every CR becomes backslash-n and the LFs go.
    AnsiString lines;
    for (int i = 0; i < ps->TitleLines()->Count(); ++i) {
        if (i > 0)
            lines += "\\n";
        lines += ps->TitleLines()->Strings(i);
    }
    ini.WriteString(Section, "TitleLines", IniQuotedValue(lines));
}

void TProStringGrid::LoadPrintSettings(const AnsiString& FileName, const AnsiString& Section)
{
    TPrintSettings* ps = FPrintSettings.get();
    TIniFile ini(FileName);
    // Sizes and spacings in 0.1 mm, held within the page.
    const int extent = PageExtent();
    auto size = [&](const char* Key, int Default) {
        return std::clamp(ini.ReadInteger(Section, Key, Default), 0, extent);
    };
    ps->SetColumnSpacing(size("ColumnSpacing", 20));
    ps->SetRowSpacing(size("RowSpacing", 20));
    ps->SetTitleSpacing(size("TitleSpacing", 20));
    ps->SetFixedHeight(size("FixedHeight", 0));
    ps->SetFixedWidth(size("FixedWidth", 0));
    ps->SetCentered(ReadYes(ini, Section, "Centered", "Y"));
    ps->SetNoAutoSize(ReadYes(ini, Section, "NoAutoSize", "N"));
    ps->SetUseFixedHeight(ReadYes(ini, Section, "UseFixedHeight", "N"));
    ps->SetUseFixedWidth(ReadYes(ini, Section, "UseFixedWidth", "N"));
    ps->SetRepeatFixedRows(ReadYes(ini, Section, "RepeatFixedRows", "N"));
    ps->SetRepeatFixedCols(ReadYes(ini, Section, "RepeatFixedCols", "N"));
    ps->SetUseDisplayFont(ReadYes(ini, Section, "UseDisplFont", "N"));
    ps->SetUseDefaultOrientation(ReadYes(ini, Section, "UseDefOrientation", "N"));
    ReadEnum<TPrintBorders>(ini, Section, "Borders", pbCustom, ps->Borders(), &TPrintSettings::SetBorders, ps);
    ReadEnum<TPenStyle>(ini, Section, "BorderStyle", psInsideFrame, ps->BorderStyle(), &TPrintSettings::SetBorderStyle,
                        ps);
    ps->SetDate(ReadPosition(ini, Section, "Date"));
    ps->SetPageNr(ReadPosition(ini, Section, "PageNr"));
    ps->SetTitle(ReadPosition(ini, Section, "Title"));
    ps->SetTime(ReadPosition(ini, Section, "Time"));
    ps->SetDateFormat(ini.ReadString(Section, "DateFormat", ""));
    ps->SetTitleText(ini.ReadString(Section, "TitleText", ""));
    ps->SetFooterSize(size("FooterSize", 100));
    ps->SetHeaderSize(size("HeaderSize", 100));
    ps->SetLeftSize(size("LeftSize", 100));
    ps->SetRightSize(size("RightSize", 100));
    ReadEnum<TFitToPage>(ini, Section, "FitToPage", fpCustom, ps->FitToPage(), &TPrintSettings::SetFitToPage, ps);
    ReadFont(ini, Section, "Font", ps->Font());
    ReadFont(ini, Section, "HeaderFont", ps->HeaderFont());
    ReadFont(ini, Section, "FooterFont", ps->FooterFont());
    ps->SetPageNumSep(ini.ReadString(Section, "PageNumSep", ""));
    ps->SetPageSuffix(ini.ReadString(Section, "PageSuffix", ""));
    ps->SetPagePrefix(ini.ReadString(Section, "PagePrefix", ""));
    ReadEnum<TPrinterOrientation>(ini, Section, "Orientation", poLandscape, ps->Orientation(),
                                  &TPrintSettings::SetOrientation, ps);
    // Every backslash-n pair is a line break.
    AnsiString text = ini.ReadString(Section, "TitleLines", "");
    AnsiString lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            lines += "\r\n";
            ++i;
        } else
            lines += text[i];
    }
    ps->TitleLines()->SetText(lines);
}

// ---------------------------------------------------------------- column widths
void TProStringGrid::SaveColumnSizes()
{
    if (FColumnSize->Key().empty() || FColumnSize->Section().empty() || (ComponentState() & csDesigning))
        return;
    const AnsiString& section = FColumnSize->Section();
    if (FColumnSize->Location() == clIniFile) {
        TIniFile ini(FColumnSize->Key());
        for (int c = 0; c < ColCount(); ++c)
            ini.WriteInteger(section, "Col" + IntToStr(c), ColWidths(c));
    } else {
        TRegIniFile reg(FColumnSize->Key());
        for (int c = 0; c < ColCount(); ++c)
            reg.WriteInteger(section, "Col" + IntToStr(c), ColWidths(c));
    }
}

void TProStringGrid::LoadColumnSizes()
{
    if (FColumnSize->Key().empty() || FColumnSize->Section().empty() || (ComponentState() & csDesigning))
        return;
    const AnsiString& section = FColumnSize->Section();
    auto apply = [this](int c, int w) {
        if (w != ColWidths(c))
            SetColWidths(c, w);
    };
    if (FColumnSize->Location() == clIniFile) {
        TIniFile ini(FColumnSize->Key());
        for (int c = 0; c < ColCount(); ++c)
            apply(c, ini.ReadInteger(section, "Col" + IntToStr(c), ColWidths(c)));
    } else {
        TRegIniFile reg(FColumnSize->Key());
        for (int c = 0; c < ColCount(); ++c)
            apply(c, reg.ReadInteger(section, "Col" + IntToStr(c), ColWidths(c)));
    }
}

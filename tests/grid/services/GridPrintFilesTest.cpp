// Print settings in an ini section and the saved column widths of a grid.
#include <gtest/gtest.h>

#include "grid/ProGrid.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "tests/common/FormTest.h"
#include "tests/common/TestFiles.h"

namespace {

struct GridPrintFiles : TFormTest {
    TTempDir Dir{"velmarok-printini"};
    TProStringGrid* Grid = nullptr;
    void SetUp() override
    {
        MakeForm(300, 200);
        Grid = Place<TProStringGrid>(0, 0, 280, 180);
    }
};

TEST_F(GridPrintFiles, MissingSectionLoadsTheDefaults)
{
    const AnsiString ini = Dir / "print.ini";
    WriteFileBytes(ini, "[OTHER]\r\nBorders=3\r\n");
    TPrintSettings* ps = Grid->PrintSettings();
    ps->SetCentered(false);
    ps->SetDate(ppTopLeft);
    ps->SetBorders(pbDouble);
    Grid->LoadPrintSettings(ini, "PRINTSETTINGS");
    EXPECT_EQ(100, ps->HeaderSize());
    EXPECT_EQ(100, ps->FooterSize());
    EXPECT_EQ(100, ps->LeftSize());
    EXPECT_EQ(100, ps->RightSize());
    EXPECT_EQ(20, ps->ColumnSpacing());
    EXPECT_EQ(20, ps->RowSpacing());
    EXPECT_EQ(20, ps->TitleSpacing());
    EXPECT_TRUE(ps->Centered());
    EXPECT_FALSE(ps->UseDisplayFont());
    EXPECT_EQ(pbNoborder, ps->Borders());
    for (TFont* f : {ps->Font(), ps->HeaderFont(), ps->FooterFont()}) {
        EXPECT_EQ("Arial", f->Name());
        EXPECT_EQ(10, f->Size());
    }
    for (TPrintPosition p : {ps->Date(), ps->Time(), ps->PageNr(), ps->Title()})
        EXPECT_EQ(ppNone, p);
}

TEST_F(GridPrintFiles, ValuesAreReadAsTheirFormsAllow)
{
    const AnsiString ini = Dir / "values.ini";
    WriteFileBytes(ini, "[PRINTSETTINGS]\r\nCentered=yes\r\nRepeatFixedRows=Y\r\nBorders=12\r\nDate=9\r\n"
                        "Time=2\r\nFontStyle=0\r\nHeaderFontStyle=2\r\nOrientation=1\r\nFitToPage=7\r\n");
    TPrintSettings* ps = Grid->PrintSettings();
    ps->SetBorders(pbAround);
    ps->SetFitToPage(fpShrink);
    ps->Font()->SetStyle(fsBold);
    ps->HeaderFont()->SetStyle(fsUnderline);
    Grid->LoadPrintSettings(ini, "PRINTSETTINGS");
    EXPECT_FALSE(ps->Centered());   // only "Y" is true
    EXPECT_TRUE(ps->RepeatFixedRows());
    EXPECT_EQ(pbAround, ps->Borders());   // out of range: unchanged
    EXPECT_EQ(fpShrink, ps->FitToPage());
    EXPECT_EQ(ppNone, ps->Date());   // out of range: none
    EXPECT_EQ(ppTopRight, ps->Time());
    EXPECT_EQ(poLandscape, ps->Orientation());
    EXPECT_EQ(TFontStyles(fsBold), ps->Font()->Style());   // stored bits are added to the style
    EXPECT_EQ(TFontStyles(fsUnderline | fsItalic), ps->HeaderFont()->Style());
}

TEST_F(GridPrintFiles, SettingsRoundTripWithYesNoAndTitleLines)
{
    const AnsiString ini = Dir / "round.ini";
    TPrintSettings* ps = Grid->PrintSettings();
    ps->TitleLines()->SetText("Wykaz norm\r\nDział jakości");
    ps->SetTitle(ppTopCenter);
    ps->SetLeftSize(25);
    ps->SetNoAutoSize(true);
    ps->SetPageNumSep("z");
    ps->HeaderFont()->SetName("Courier New");
    ps->HeaderFont()->SetSize(14);
    ps->HeaderFont()->SetColor(clRed);
    Grid->SavePrintSettings(ini, "PRINTSETTINGS");
    const std::string bytes = ReadFileBytes(ini);
    EXPECT_NE(std::string::npos, bytes.find("TitleLines=Wykaz norm\\nDzia\xb3 jako\x9c" "ci\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("NoAutoSize=Y\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("Centered=Y\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("UseFixedWidth=N\r\n"));
    EXPECT_LT(bytes.find("ColumnSpacing="), bytes.find("TitleLines="));

    TForm other(nullptr);
    auto* copy = new TProStringGrid(&other);
    copy->LoadPrintSettings(ini, "PRINTSETTINGS");
    TPrintSettings* cs = copy->PrintSettings();
    ASSERT_EQ(2, cs->TitleLines()->Count());
    EXPECT_EQ("Wykaz norm", cs->TitleLines()->Strings(0));
    EXPECT_EQ("Dział jakości", cs->TitleLines()->Strings(1));
    EXPECT_EQ(ppTopCenter, cs->Title());
    EXPECT_EQ(25, cs->LeftSize());
    EXPECT_TRUE(cs->NoAutoSize());
    EXPECT_EQ("z", cs->PageNumSep());
    EXPECT_EQ("Courier New", cs->HeaderFont()->Name());
    EXPECT_EQ(14, cs->HeaderFont()->Size());
    EXPECT_EQ(clRed, cs->HeaderFont()->Color());
}

TEST_F(GridPrintFiles, TextsComeBackAsTheyWereWritten)
{
    // Blanks at the ends and enclosing quotes, which the ini reader drops, are kept.
    using TGet = AnsiString (TPrintSettings::*)() const;
    using TSet = void (TPrintSettings::*)(AnsiString);
    struct Case { const char* Key; TGet Get; TSet Set; AnsiString Text; } cases[] = {
        {"PageNumSep", &TPrintSettings::PageNumSep, &TPrintSettings::SetPageNumSep, " z "},
        {"PagePrefix", &TPrintSettings::PagePrefix, &TPrintSettings::SetPagePrefix, "Strona "},
        {"PageSuffix", &TPrintSettings::PageSuffix, &TPrintSettings::SetPageSuffix, "'A'"},
        {"TitleText", &TPrintSettings::TitleText, &TPrintSettings::SetTitleText, "\"Wykaz norm\""},
        {"DateFormat", &TPrintSettings::DateFormat, &TPrintSettings::SetDateFormat, "dd.mm.yyyy "},
    };
    const AnsiString ini = Dir / "texts.ini";
    TPrintSettings* ps = Grid->PrintSettings();
    for (const Case& k : cases)
        (ps->*k.Set)(k.Text);
    ps->TitleLines()->SetText(" Wykaz \r\n\"Dział\"");
    ps->Font()->SetName("Arial ");
    Grid->SavePrintSettings(ini, "PRINTSETTINGS");
    // A text the reader takes as it is stays unquoted in the file.
    ps->SetTitleText("Wykaz norm");
    Grid->SavePrintSettings(Dir / "plain.ini", "PRINTSETTINGS");
    EXPECT_NE(std::string::npos, ReadFileBytes(Dir / "plain.ini").find("\r\nTitleText=Wykaz norm\r\n"));

    TForm other(nullptr);
    auto* copy = new TProStringGrid(&other);
    copy->LoadPrintSettings(ini, "PRINTSETTINGS");
    TPrintSettings* cs = copy->PrintSettings();
    for (const Case& k : cases)
        EXPECT_EQ(k.Text, (cs->*k.Get)()) << k.Key;
    ASSERT_EQ(2, cs->TitleLines()->Count());
    EXPECT_EQ(" Wykaz ", cs->TitleLines()->Strings(0));
    EXPECT_EQ("\"Dział\"", cs->TitleLines()->Strings(1));
    EXPECT_EQ("Arial ", cs->Font()->Name());

    // Files written before keep reading as they did: one pair of quotes dropped, blanks trimmed.
    WriteFileBytes(ini, "[PRINTSETTINGS]\r\nPageNumSep= z \r\nPagePrefix=\" Strona \"\r\n");
    copy->LoadPrintSettings(ini, "PRINTSETTINGS");
    EXPECT_EQ("z", cs->PageNumSep());
    EXPECT_EQ(" Strona ", cs->PagePrefix());
}

TEST_F(GridPrintFiles, ColumnWidthsSavedOnDestructionAndLoadedWithTheWindow)
{
    const AnsiString ini = Dir / "cols.ini";
    Grid->SetColCount(3);
    Grid->ColumnSize()->SetSave(true);
    Grid->ColumnSize()->SetLocation(clIniFile);
    Grid->ColumnSize()->SetKey(ini);
    Grid->ColumnSize()->SetSection("Wykaz");
    Grid->SetColWidths(0, 30);
    Grid->SetColWidths(1, 120);
    Grid->SetColWidths(2, 75);
    delete Grid;
    Grid = nullptr;
    TIniFile file(ini);
    EXPECT_EQ(30, file.ReadInteger("Wykaz", "Col0", 0));
    EXPECT_EQ(120, file.ReadInteger("Wykaz", "Col1", 0));
    EXPECT_EQ(75, file.ReadInteger("Wykaz", "Col2", 0));

    struct Case { const char* Section; bool Save; int Expected; bool Load = false; } cases[] = {
        {"Wykaz", true, 120}, {"", true, 64}, {"Wykaz", false, 64}, {"Wykaz", false, 120, true}};   // Load alone reads
    for (const Case& k : cases) {
        auto* g = new TProStringGrid(Form);
        g->SetColCount(3);
        g->SetDefaultColWidth(64);
        g->ColumnSize()->SetSave(k.Save);
        g->ColumnSize()->SetLoad(k.Load);
        g->ColumnSize()->SetLocation(clIniFile);
        g->ColumnSize()->SetKey(ini);
        g->ColumnSize()->SetSection(k.Section);
        g->SetParent(Form);   // the window is made here
        Form->Show();
        EXPECT_EQ(k.Expected, g->ColWidths(1)) << k.Section << k.Save << k.Load;
        g->ColumnSize()->SetSave(false);
        delete g;
    }
}

}  // namespace

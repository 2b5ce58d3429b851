// The print settings dialog: Cancel restores every setting, OK keeps them, the
// option bits hide a tab, margins in mm and inch, the spin edits' write-back
// limit, and loading and saving the settings. The form is written to screenshots.
#include <gtest/gtest.h>

#include <memory>

#include "grid/ProGrid.h"
#include "grid/services/ProPrintSettingsDialog.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"
#include "tests/common/FormTest.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"

namespace {

struct PrintSettingsDialog : TFormTest {
    TProStringGrid* Grid = nullptr;
    TProGridPrintSettingsDialog* Dialog = nullptr;
    TTempDir Dir{"velmarok-psd"};
    void SetUp() override
    {
        FormatSettings.DecimalSeparator = ',';
        MakeForm(400, 300);
        Grid = Place<TProStringGrid>(0, 0, 380, 280);
        Grid->SetColCount(3);
        Grid->SetRowCount(30);
        for (int r = 0; r < 30; ++r)
            for (int c = 0; c < 3; ++c)
                Grid->SetCells(c, r, r == 0 ? "Nagłówek " + IntToStr(c) : "Wiersz " + IntToStr(r));
        Dialog = new TProGridPrintSettingsDialog(Form);
        Dialog->SetGrid(Grid);
        Form->Show();
    }
    void TearDown() override
    {
        ResetFormatSettings();
        TFormTest::TearDown();
    }
    // The settings as their saved ini text.
    std::string Saved(const char* Name)
    {
        const AnsiString file = Dir / Name;
        Grid->SavePrintSettings(file, "PRINTSETTINGS");
        return ReadFileBytes(file) + "|" + IntToStr(Grid->PrintSettings()->NoAutoSizeRow()) +
               IntToStr(Grid->PrintSettings()->PrintGraphics()) + Grid->PrintSettings()->FixedFont()->Name();
    }
    void ChangeEverything(TProGridPrintSettingsForm* f)
    {
        for (TComboBox* c : {f->BorderList, f->BorderStyleList, f->FitList, f->DateList, f->TimeList, f->TitleList,
                             f->PagesList, f->OrientationList})
            c->SetItemIndex(1);
        for (TCheckBox* c : {f->AutoSizeCols, f->AutoSizeRows, f->CenterBox, f->RepeatRows, f->RepeatCols,
                             f->GraphicsBox, f->DisplayFontBox})
            c->SetChecked(!c->Checked());
        for (TEdit* e : {f->DateFormatEdit, f->PrefixEdit, f->SeparatorEdit, f->SuffixEdit})
            e->SetText("x");
        f->TitleMemo->Lines()->SetText("Zmieniony tytuł");
        for (TProSpinEdit* s : {f->TopSpin, f->LeftSpin, f->RightSpin, f->BottomSpin, f->RowSpin, f->ColSpin,
                                f->TitleSpin})
            s->SetText("7,5");
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TFontDialog", mrOk);
        f->FixedFontBtn->Click();
        f->WriteBack();
    }
};

TEST_F(PrintSettingsDialog, CancelRestoresEverySettingAndOkKeepsThem)
{
    Grid->PrintSettings()->SetTitleText("Wykaz norm");
    const std::string before = Saved("before.ini");
    ScriptDialogs().ExpectModal("ProGridPrintSettingsForm", mrCancel, [&](TForm* form) {
        auto* f = dynamic_cast<TProGridPrintSettingsForm*>(form);
        ASSERT_TRUE(f);
        EXPECT_EQ("Wykaz norm", f->TitleMemo->Lines()->Strings(0));
        ChangeEverything(f);
        EXPECT_EQ(75, Grid->PrintSettings()->HeaderSize());
        EXPECT_EQ(TPrintBorders(1), Grid->PrintSettings()->Borders());
        SaveScreenshot(f, "PrintSettingsDialog.png");
    });
    EXPECT_FALSE(Dialog->Execute());
    // The title moved into the title lines when the form was filled; the rest is back.
    Grid->PrintSettings()->SetTitleText("Wykaz norm");
    Grid->PrintSettings()->TitleLines()->Clear();
    EXPECT_EQ(before, Saved("after.ini"));

    Grid->PrintSettings()->SetTitleText("Wykaz norm");
    ScriptDialogs().ExpectModal("ProGridPrintSettingsForm", mrOk);
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ("", Grid->PrintSettings()->TitleText());
    ASSERT_EQ(1, Grid->PrintSettings()->TitleLines()->Count());
    EXPECT_EQ("Wykaz norm", Grid->PrintSettings()->TitleLines()->Strings(0));
    EXPECT_FALSE(Grid->FastPreview());

    TProGridPrintSettingsDialog none(nullptr);
    EXPECT_THROW(none.Execute(), Exception);
}

TEST_F(PrintSettingsDialog, MarginsInMillimetresAndInches)
{
    TProGridPrintSettingsForm* f = Dialog->Form();
    ScriptDialogs().ExpectModal("ProGridPrintSettingsForm", mrOk, [&](TForm*) {
        f->TopSpin->SetText("2,5");
        EXPECT_EQ(25, Grid->PrintSettings()->HeaderSize());
        f->TopSpin->SetText("50");
        EXPECT_EQ(500, Grid->PrintSettings()->HeaderSize());
        const int kept = Grid->PrintSettings()->HeaderSize();
        f->TopSpin->SetText("500");   // the maximum itself is not written back
        EXPECT_EQ(kept, Grid->PrintSettings()->HeaderSize());
        f->TopSpin->SetText("10");
        Click(f->InchRadio, 5, 5);
        EXPECT_EQ("0,39", f->TopSpin->Text());
        EXPECT_EQ("inch", f->UnitLabels[0]->Caption());
        EXPECT_EQ(100, Grid->PrintSettings()->HeaderSize());   // switching the unit changes no setting
        f->LeftSpin->SetText("1");
        EXPECT_EQ(254, Grid->PrintSettings()->LeftSize());
    });
    Dialog->Execute();
}

// OK after a look keeps every value the user left alone exactly, in either unit, and values the lists
// have no item for.
TEST_F(PrintSettingsDialog, OkKeepsWhatWasNotEdited)
{
    struct Case {
        TPrintDimensions Unit;
        TPrintBorders Borders;
        TPenStyle Style;
        TFitToPage Fit;
        const char* Left;   // typed into the left margin; nullptr: left alone
        int LeftAfter;
    } cases[] = {
        {pdinch, pbSingle, psDash, fpNever, nullptr, 100},
        {pdinch, pbCustom, psInsideFrame, fpCustom, "1", 254},
        {pdmm, pbCustom, psInsideFrame, fpCustom, nullptr, 100},
    };
    TPrintSettings* ps = Grid->PrintSettings();
    TProGridPrintSettingsForm* f = Dialog->Form();
    for (const Case& c : cases) {
        Dialog->SetPrintDimensions(c.Unit);
        ps->SetHeaderSize(123);
        ps->SetLeftSize(100);
        ps->SetRightSize(7);
        ps->SetFooterSize(499);
        ps->SetRowSpacing(33);
        ps->SetColumnSpacing(1);
        ps->SetTitleSpacing(250);
        ps->SetBorders(c.Borders);
        ps->SetBorderStyle(c.Style);
        ps->SetFitToPage(c.Fit);
        ScriptDialogs().ExpectModal("ProGridPrintSettingsForm", mrOk, [&](TForm*) {
            f->CenterBox->SetChecked(!f->CenterBox->Checked());   // a click elsewhere writes everything back
            if (c.Left)
                f->LeftSpin->SetText(c.Left);
            EXPECT_EQ(f->BorderStyleList->Enabled(), c.Borders != pbNoborder);
        });
        EXPECT_TRUE(Dialog->Execute());
        const int got[] = {ps->HeaderSize(), ps->LeftSize(), ps->RightSize(), ps->FooterSize(),
                           ps->RowSpacing(), ps->ColumnSpacing(), ps->TitleSpacing()};
        const int want[] = {123, c.LeftAfter, 7, 499, 33, 1, 250};
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(got[i], want[i]) << "length " << i << " unit " << int(c.Unit);
        EXPECT_EQ(ps->Borders(), c.Borders);
        EXPECT_EQ(ps->BorderStyle(), c.Style);
        EXPECT_EQ(ps->FitToPage(), c.Fit);
    }
}

TEST_F(PrintSettingsDialog, OptionsHideTheMarginsTab)
{
    TProGridPrintSettingsForm* f = Dialog->Form();
    Dialog->SetOptions(AllPrintSettingsOptions & ~(psMargins | psSpacing | psOrientation));
    EXPECT_FALSE(f->TabShown(2));
    EXPECT_TRUE(f->TabShown(0));
    EXPECT_FALSE(f->TopSpin->Enabled());
    Dialog->SetOptions(AllPrintSettingsOptions & ~psMargins);
    EXPECT_TRUE(f->TabShown(2));
    Dialog->SetPrintPreview(false);
    EXPECT_EQ(f->Pages->Width(), f->ClientWidth());
    EXPECT_FALSE(f->PreviewPanel->Visible());
}

// The form is made when first needed; what was set before reaches it then.
TEST_F(PrintSettingsDialog, SettingsMadeBeforeTheFormReachIt)
{
    TProGridPrintSettingsDialog early(Form);
    EXPECT_EQ(0, early.ComponentCount());
    early.SetOptions(AllPrintSettingsOptions & ~(psMargins | psSpacing | psOrientation));
    early.SetPrintPreview(false);
    early.SetPrintDimensions(pdinch);
    TProGridPrintSettingsForm* f = early.Form();
    EXPECT_EQ(f, early.Form());
    EXPECT_FALSE(f->TabShown(2));
    EXPECT_FALSE(f->PreviewPanel->Visible());
    EXPECT_EQ(f->Pages->Width(), f->ClientWidth());
    EXPECT_TRUE(f->InchRadio->Checked());
    TProGridPrintSettingsForm* plain = Dialog->Form();
    EXPECT_TRUE(plain->TabShown(2));
    EXPECT_TRUE(plain->PreviewPanel->Visible());
    EXPECT_TRUE(plain->MmRadio->Checked());
}

TEST_F(PrintSettingsDialog, SavedFileNamesGetTheIniExtension)
{
    TProGridPrintSettingsForm* f = Dialog->Form();
    CreateDir(Dir / "druk.d");
    struct Case { AnsiString Typed, Saved; } cases[] = {
        {Dir / "ustawienia", Dir / "ustawienia.ini"},
        {Dir / "druk.cfg", Dir / "druk.cfg"},
        {Dir / "druk.d/ustawienia", Dir / "druk.d/ustawienia.ini"},   // a dot in the folder's name only
    };
    ScriptDialogs().ExpectModal("ProGridPrintSettingsForm", mrOk, [&](TForm*) {
        for (const Case& k : cases) {
            ScriptDialogs().ExpectDialog(dkCommonDialog, "TSaveDialog", mrOk,
                                         [&](TDialogRequest& r) { r.Values.assign(1, k.Typed); });
            f->SaveBtn->Click();
        }
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TSaveDialog", mrCancel);
        f->SaveBtn->Click();
        // Loading a name typed without its extension reads the ini file.
        Grid->PrintSettings()->SetLeftSize(170);
        WriteFileBytes(Dir / "druk.d/wczytaj.ini", "[PRINTSETTINGS]\r\nLeftSize=120\r\n");
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", mrOk,
                                     [&](TDialogRequest& r) { r.Values.assign(1, Dir / "druk.d/wczytaj"); });
        f->LoadBtn->Click();
        EXPECT_EQ("12,00", f->LeftSpin->Text());
    });
    Dialog->Execute();
    for (const Case& k : cases) {
        EXPECT_TRUE(FileExists(k.Saved)) << k.Typed;
        EXPECT_EQ(k.Typed == k.Saved, FileExists(k.Typed)) << k.Typed;
    }
    const AnsiString dotted = cases[1].Saved;

    // Loading from the dialog's own file fills the controls.
    WriteFileBytes(dotted, "[PRINTSETTINGS]\r\nLeftSize=150\r\nBorders=2\r\n");
    Dialog->SetIniFile(dotted);
    ScriptDialogs().ExpectModal("ProGridPrintSettingsForm", mrOk, [&](TForm*) {
        f->LoadBtn->Click();
        EXPECT_EQ("15,00", f->LeftSpin->Text());
        EXPECT_EQ(2, f->BorderList->ItemIndex());
    });
    Dialog->Execute();
    EXPECT_EQ(150, Grid->PrintSettings()->LeftSize());
}

}  // namespace

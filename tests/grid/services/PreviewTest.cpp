// The print preview window: paging buttons, printing with the printer set-up
// dialog, and the window's size limits. The window is written to screenshots.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "grid/ProGrid.h"
#include "grid/services/ProPreview.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Printers.h"
#include "tests/common/FormTest.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"

namespace {

struct Preview : TFormTest {
    TProStringGrid* Grid = nullptr;
    TProPreviewDialog* Dialog = nullptr;
    TTempDir Dir{"velmarok-preview"};
    void SetUp() override
    {
        MakeForm(400, 300);
        Grid = Place<TProStringGrid>(0, 0, 380, 280);
        Dialog = new TProPreviewDialog(Form);
        Dialog->SetGrid(Grid);
        Form->Show();
    }
    void TearDown() override
    {
        SetPrinterOutputFile("");
        TFormTest::TearDown();
    }
    void Fill(int Rows)
    {
        Grid->SetColCount(4);
        Grid->SetRowCount(Rows + 1);
        const char* heads[] = {"Lp.", "Numer normy", "Tytuł", "Stan"};
        for (int c = 0; c < 4; ++c)
            Grid->SetCells(c, 0, heads[c]);
        for (int r = 1; r <= Rows; ++r) {
            Grid->SetCells(0, r, IntToStr(r));
            Grid->SetCells(1, r, "PN-EN " + IntToStr(13000 + r));
            Grid->SetCells(2, r, "Zażółć gęślą jaźń " + IntToStr(r));
            Grid->SetCells(3, r, r % 2 ? "Aktualna" : "Wycofana");
        }
    }
};

TEST_F(Preview, PagingButtonsFollowThePageTotal)
{
    Fill(3);
    Dialog->SetPreviewWidth(200);
    EXPECT_EQ(350, Dialog->PreviewWidth());
    Dialog->SetPreviewWidth(500);
    Dialog->SetPreviewHeight(400);
    ScriptDialogs().ExpectModal("ProPreviewForm", mrCancel, [&](TForm* f) {
        auto* form = dynamic_cast<TProPreviewForm*>(f);
        ASSERT_TRUE(form);
        GrabControl(form);   // paints the page
        EXPECT_EQ(1, Grid->PrintPageCount());
        EXPECT_FALSE(form->NextButton()->Enabled());
        EXPECT_FALSE(form->PrevButton()->Enabled());
    });
    EXPECT_FALSE(Dialog->Execute());

    Fill(120);
    ScriptDialogs().ExpectModal("ProPreviewForm", mrCancel, [&](TForm* f) {
        auto* form = dynamic_cast<TProPreviewForm*>(f);
        ASSERT_TRUE(form);
        GrabControl(form);
        const int total = Grid->PrintPageCount();
        ASSERT_GT(total, 1);
        EXPECT_TRUE(form->NextButton()->Enabled());
        EXPECT_FALSE(form->PrevButton()->Enabled());
        // The page fills 90 % of the free area in one direction, centred.
        TControl* panel = form->Page()->Parent();
        EXPECT_NEAR(form->ClientHeight() - 41, (panel->Top() - 41) * 2 + panel->Height(), 1);
        EXPECT_NEAR(form->ClientWidth(), panel->Left() * 2 + panel->Width(), 1);
        form->NextButton()->Click();
        EXPECT_EQ(2, Grid->PreviewPage());
        EXPECT_TRUE(form->PrevButton()->Enabled());
        for (int i = 0; i < total + 2; ++i)
            form->NextButton()->Click();
        EXPECT_EQ(total, Grid->PreviewPage());
        EXPECT_FALSE(form->NextButton()->Enabled());
        form->PrevButton()->Click();
        SaveScreenshot(form, "PrintPreview.png");
    });
    Dialog->Execute();
    EXPECT_EQ(500, Dialog->PreviewWidth());

    TProPreviewDialog empty(nullptr);
    EXPECT_THROW(empty.Execute(), Exception);
}

// The page shown is the paper the print goes to: its orientation and proportions, as large as
// 90 % of the window's free area lets it.
TEST_F(Preview, ThePageShownIsThePaperPrinted)
{
    Fill(10);
    const AnsiString pdf = Dir / "orientation.pdf";
    SetPrinterOutputFile(pdf);
    Dialog->SetPreviewWidth(700);
    Dialog->SetPreviewHeight(600);
    for (TPrinterOrientation o : {poPortrait, poLandscape}) {
        SCOPED_TRACE(o == poPortrait ? "portrait" : "landscape");
        Grid->PrintSettings()->SetOrientation(o);
        const TRect paper = Grid->PrintPaper();
        ASSERT_EQ(paper.Width() < paper.Height(), o == poPortrait);
        ScriptDialogs().ExpectModal("ProPreviewForm", mrCancel, [&](TForm* f) {
            auto* form = dynamic_cast<TProPreviewForm*>(f);
            ASSERT_TRUE(form);
            TControl* page = form->Page()->Parent();
            EXPECT_NEAR(double(page->Width()) / page->Height(), double(paper.Width()) / paper.Height(), 0.01);
            const double free = form->ClientHeight() - 41;
            EXPECT_TRUE(std::abs(page->Width() - form->ClientWidth() * 0.9) <= 1 ||
                        std::abs(page->Height() - free * 0.9) <= 1);
            SaveScreenshot(form, o == poPortrait ? "PrintPreviewPortrait.png" : "PrintPreviewLandscape.png");
            form->PrintButton()->Click();
        });
        Dialog->Execute();
        // The printed page: its media box (width, height in points).
        const AnsiString bytes = LoadBytesFromFile(pdf);
        const std::size_t box = bytes.find("/MediaBox [");
        ASSERT_NE(box, AnsiString::npos);
        double x0 = 0, y0 = 0, w = 0, h = 0;
        ASSERT_EQ(std::sscanf(bytes.c_str() + box + 11, "%lf %lf %lf %lf", &x0, &y0, &w, &h), 4);
        EXPECT_EQ(w < h, o == poPortrait) << w << " x " << h;
    }
}

TEST_F(Preview, CancelledPrinterSetupPrintsNothingAndKeepsTheOrientation)
{
    Fill(10);
    const AnsiString pdf = Dir / "preview.pdf";
    SetPrinterOutputFile(pdf);
    Dialog->SetPrinterSetupDialog(true);
    Grid->PrintSettings()->SetOrientation(poPortrait);
    ScriptDialogs()
        .ExpectModal("ProPreviewForm", mrCancel, [&](TForm* f) {
            auto* form = dynamic_cast<TProPreviewForm*>(f);
            form->PrintButton()->Click();
            EXPECT_FALSE(FileExists(pdf));
            form->PrintButton()->Click();
            EXPECT_TRUE(FileExists(pdf));
        });
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TPrinterSetupDialog", mrCancel);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TPrinterSetupDialog", mrOk,
                                 [](TDialogRequest& r) { r.Values.assign(1, "landscape"); });
    Dialog->Execute();
    // The chosen orientation printed, the grid's own comes back afterwards.
    EXPECT_EQ(poPortrait, Grid->PrintSettings()->Orientation());
    EXPECT_EQ(poLandscape, Printer()->Orientation());
}

}  // namespace

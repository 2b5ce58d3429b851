#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit2.h"
#include "controls/aniicon.h"
#include "platform/core/CodePage.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/Menus.h"
#include "platform/gui/SHDocVw.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/DialogTest.h"

namespace {

// The shop's result page: a blue band with the standard found.
std::string ResultPage(const std::string& number)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head>"
           "<body style=\"margin:0;font-family:DejaVu Sans,sans-serif\">"
           "<div style=\"background:#1f4e8c;color:#fff;height:70px;padding:12px\"><h2 style=\"margin:0\">"
           "Wyniki wyszukiwania</h2></div><table style=\"margin:12px\" border=\"1\" cellpadding=\"6\">"
           "<tr><th>Numer</th><th>Tytu\xC5\x82</th><th>Status</th></tr><tr><td>" +
           number +
           "</td><td>Stal niestopowa walcowana na gor\xC4\x85" "co</td><td>Wycofana, zast\xC4\x85piona przez "
           "PN-EN 10025-2:2007</td></tr></table></body></html>";
}

struct CheckDialogPage : ::testing::Test {
    TTestHttpServer Server;
    std::unique_ptr<Tf_SprawdzNorme> Dialog;
    int OldLevel = CurrentUserLevel;

    void SetUp() override
    {
        CurrentUserLevel = 3;
        Server.Serve("/index.php", 200, "text/html; charset=utf-8", ResultPage("PN-H-74200:1974"));
        RedirectHostToTestServer("https://sklep.pkn.pl", Server);
        Dialog = std::make_unique<Tf_SprawdzNorme>(nullptr);
        Dialog->SetBounds(20, 20, 860, 700);
    }
    void TearDown() override
    {
        SetPopupMenuHook(nullptr);
        Dialog.reset();
        ClearHostRedirects();
        CurrentUserLevel = OldLevel;
        EXPECT_TRUE(VerifyNoPendingDialogs());
        Clipboard()->Clear();
    }
    std::string Location() const { return WideToUtf8(Dialog->webPodglad->LocationURL()); }
};

TEST_F(CheckDialogPage, ShowsTheConvertedNumbersPageAndTakesTheStateFromItsPopup)
{
    Dialog->e_NrNormy->SetText("PN-74/H-74200");
    Dialog->m_Tytul->SetText("Stal niestopowa\r\nwalcowana na gorąco");
    Dialog->CheckBox1->SetChecked(true);
    Dialog->menu_NrNormy->SetCaption("PN-74/H-74200");
    Dialog->menu_NrNormy->SetHint(BuildCatalogQueryUrl("PN-74/H-74200"));

    ScriptDialogs().ExpectModal("f_SprawdzNorme", mrCancel, [&](TForm*) {
        Tf_SprawdzNorme* d = Dialog.get();
        // Converted before the page was asked for.
        EXPECT_EQ(d->e_NrNormy->Text(), "PN-H-74200:1974");
        ASSERT_TRUE(WaitUntil([&] { return !Server.Requests().empty(); }));
        EXPECT_NE(Server.Requests().front().find("pfsymbol=PN-H-74200:1974&"), std::string::npos)
            << Server.Requests().front();
        // The animation turns while the page loads and stops when it has loaded.
        bool turned = d->ani_Animacja->Visible() && d->ani_Animacja->Animated();
        ASSERT_TRUE(WaitUntil([&] {
            turned = turned || (d->ani_Animacja->Visible() && d->ani_Animacja->Animated());
            return !d->webPodglad->Busy() && !d->ani_Animacja->Visible();
        }));
        EXPECT_TRUE(turned);
        EXPECT_FALSE(d->ani_Animacja->Animated());
        EXPECT_EQ(Screen->Cursor(), crDefault);
        EXPECT_EQ(Location(), Server.Url(Server.Requests().front()));
        EXPECT_EQ(d->ani_Animacja->Left(), d->m_Opis->Left() + d->m_Opis->Width() + 20);

        // The page painted: its band, between the record and the state.
        std::unique_ptr<TBitmap> shot;
        const TPoint band(d->webPodglad->Left() + 600, d->webPodglad->Top() + 60);
        const bool painted = WaitUntil([&] {
            shot = GrabControl(d);
            return shot->Canvas()->Pixels(band.X, band.Y) == RGB(0x1f, 0x4e, 0x8c);
        });
        SaveScreenshot(shot.get(), "dialog_sprawdz_norme.png");
        ASSERT_TRUE(painted) << std::hex << shot->Canvas()->Pixels(band.X, band.Y) << std::dec << " at " << band.X << "," << band.Y << " shot " << shot->Width() << "x" << shot->Height();

        // A right press on the page pops up the dialog's own menu; its
        // "Nieaktualna" pastes the number copied from the page.
        TPopupMenu* popped = nullptr;
        SetPopupMenuHook([&](TPopupMenu* Menu, int, int) {
            popped = Menu;
            Menu->Items()->Find("Nieaktualna")->Click();
        });
        Clipboard()->SetAsText("PN-EN 10025-2:2007");
        MouseDown(d->webPodglad, 120, 150, mbRight);
        MouseUp(d->webPodglad, 120, 150, mbRight);
        EXPECT_EQ(popped, d->pm_SprawdzNorme);
        EXPECT_EQ(d->cb_StanNormy->Text(), "Nieaktualna");
        EXPECT_EQ(d->e_ZastopionaPrzez->Text(), "PN-EN 10025-2:2007");
        EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));

        // The number item goes back to the query address it carries.
        d->menu_NrNormy->Click();
        EXPECT_TRUE(WaitUntil(
            [&] { return RequestsTo(Server, "pfsymbol=PN-74/H-74200&", true) && !d->webPodglad->Busy(); }));

        d->bb_OK->Click();
    });
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_EQ(Dialog->m_Tytul->Text(), "Stal niestopowa walcowana na gorąco ");
    // Closed: the next showing starts with an empty page.
    ASSERT_TRUE(WaitUntil([&] { return Location() == "about:blank" && !Dialog->webPodglad->Busy(); }));
}

TEST_F(CheckDialogPage, HistoryStepsWithNoPageToGoToDoNothing)
{
    // Nothing loaded yet: no page behind or ahead, by button or by the popup's items.
    Tf_SprawdzNorme* d = Dialog.get();
    const std::function<void()> steps[] = {
        [&] { d->sb_Back->Click(); },
        [&] { d->sbForword->Click(); },
        [&] { d->sb_Refresh->Click(); },
        [&] { d->pm_SprawdzNorme->Items()->Find("Wstecz")->Click(); },
        [&] { d->pm_SprawdzNorme->Items()->Find("Dalej")->Click(); },
    };
    for (const auto& step : steps) {
        EXPECT_NO_THROW(step());
        EXPECT_EQ(Location(), "");
    }
}

}  // namespace

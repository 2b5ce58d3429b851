#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <vector>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/Unit9_Waiting.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit3.h"
#include "app/qx_Unit4.h"
#include "app/qx_Unit6_DodajNowaNorme.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/ShellApi.h"
#include "platform/gui/Spin.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/DialogTest.h"

namespace {

TEST(CheckDialog, ConvertsOnlyOldStyleNumbers)
{
    const struct {
        const char* In;
        const char* Out;
    } cases[] = {
        {"PN-74/H-74200", "PN-H-74200:1974"},
        {"PN-74/H-74200.01", "PN-H-74200-01:1974"},
        {"PN-89/M-82054.03", "PN-M-82054-03:1989"},
        // Numbers of today's form, a converted one among them, stay as they are.
        {"PN-H-74200:1974", "PN-H-74200:1974"},
        {"PN-EN 10088-1:2007", "PN-EN 10088-1:2007"},
        {"ZN-01/2005", "ZN-01/2005"},
        {"PN-ISO/IEC 27001", "PN-ISO/IEC 27001"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertOldNormNumber(c.In), c.Out) << c.In;
    // The check box that asks for it, captioned as the program always was.
    Tf_SprawdzNorme dialog(nullptr);
    EXPECT_EQ(dialog.CheckBox1->Caption(), "Konwertuj norme");
}

struct CheckDialogForm : ::testing::Test {
    std::unique_ptr<Tf_SprawdzNorme> Dialog;
    int OldLevel = CurrentUserLevel;

    void SetUp() override
    {
        CurrentUserLevel = 3;
        Dialog = std::make_unique<Tf_SprawdzNorme>(nullptr);
        ClearRecordedDialogs();
    }
    void TearDown() override
    {
        Dialog.reset();
        CurrentUserLevel = OldLevel;
        EXPECT_TRUE(VerifyNoPendingDialogs());
        Clipboard()->Clear();
    }
    // Shows the dialog modally; Inside runs on the shown dialog; the result
    // is Fallback unless the dialog closed itself.
    int Show(const std::function<void(Tf_SprawdzNorme*)>& Inside, int Fallback = mrIgnore)
    {
        ScriptDialogs().ExpectModal("f_SprawdzNorme", Fallback, [&](TForm*) { Inside(Dialog.get()); });
        return Dialog->ShowModal();
    }
    TMenuItem* Item(const char* Name) { return dynamic_cast<TMenuItem*>(Dialog->FindComponent(Name)); }
};

TEST_F(CheckDialogForm, RefusesTheRecordSeparatorTypedOrPasted)
{
    Show([](Tf_SprawdzNorme* d) {
        d->cb_StanNormy->SetItemIndex(d->cb_StanNormy->Items()->IndexOf("Nieaktualna"));
        d->cb_StanNormyChange(d->cb_StanNormy);
        TWinControl* typed[] = {d->e_NrNormy, d->m_Tytul, d->m_Opis, d->e_ZastopionaPrzez};
        for (TWinControl* c : typed) {
            c->SetText("");
            TypeText(c, "PN|-EN");
            EXPECT_EQ(c->Text(), "PN-EN") << c->Name();
        }
        // A pasted "|" empties the whole field.
        for (TWinControl* c : typed) {
            c->SetText("PN-EN 10025-2:2007 | stal");
            EXPECT_EQ(c->Text(), "") << c->Name();
        }
    });
}

TEST_F(CheckDialogForm, StateChoiceDrivesReplacementAndOK)
{
    Show([](Tf_SprawdzNorme* d) {
        // Shown without a state: nothing to accept, no replacement.
        EXPECT_FALSE(d->e_ZastopionaPrzez->Enabled());
        EXPECT_FALSE(d->Label6->Enabled());
        EXPECT_FALSE(d->bb_OK->Enabled());
        EXPECT_EQ(d->ActiveControl(), d->cb_StanNormy);
        // The sorted states.
        EXPECT_EQ(d->cb_StanNormy->Items()->Strings(2), "Norma zakładowa");
        d->cb_StanNormy->SetItemIndex(d->cb_StanNormy->Items()->IndexOf("Zastąpiona uznaniowo"));
        d->cb_StanNormyChange(d->cb_StanNormy);
        EXPECT_TRUE(d->e_ZastopionaPrzez->Enabled());
        EXPECT_TRUE(d->Label6->Enabled());
        EXPECT_TRUE(d->bb_OK->Enabled());
        d->e_ZastopionaPrzez->SetText("PN-EN 1");
        d->cb_StanNormy->SetItemIndex(d->cb_StanNormy->Items()->IndexOf("Aktualna"));
        d->cb_StanNormyChange(d->cb_StanNormy);
        EXPECT_FALSE(d->e_ZastopionaPrzez->Enabled());
        EXPECT_EQ(d->e_ZastopionaPrzez->Text(), "");
        EXPECT_TRUE(d->bb_OK->Enabled());
    });
}

TEST_F(CheckDialogForm, EmptiesTheClipboardOnShowingAndStateItemsPasteItsText)
{
    Clipboard()->SetAsText("stale");
    Show([this](Tf_SprawdzNorme* d) {
        EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
        // The number copied from the page lands in "Zastąpiona przez".
        Clipboard()->SetAsText("PN-EN 10025-2:2007");
        Item("Nieaktualna1")->Click();
        EXPECT_EQ(d->cb_StanNormy->Text(), "Nieaktualna");
        EXPECT_EQ(d->e_ZastopionaPrzez->Text(), "PN-EN 10025-2:2007");
        EXPECT_EQ(d->ActiveControl(), d->e_ZastopionaPrzez);
        EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
        EXPECT_TRUE(d->bb_OK->Enabled());
        // "Aktualna" empties the clipboard first and the field with it.
        Clipboard()->SetAsText("PN-EN 1");
        Item("Aktualna1")->Click();
        EXPECT_EQ(d->e_ZastopionaPrzez->Text(), "");
        EXPECT_FALSE(d->e_ZastopionaPrzez->Enabled());
        EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
        // So do the other two states without a replacement.
        for (const char* name : {"Wycofanabezzastapienia1", "Normazakladowa1"}) {
            Clipboard()->SetAsText("PN-EN 2");
            Item(name)->Click();
            EXPECT_EQ(d->e_ZastopionaPrzez->Text(), "") << name;
            EXPECT_EQ(d->cb_StanNormy->Text(), Item(name)->Caption());
        }
        // A copied text with the separator is refused.
        Clipboard()->SetAsText("a|b");
        Item("Zastapionauznaniowo1")->Click();
        EXPECT_EQ(d->e_ZastopionaPrzez->Text(), "");
    });
    // The popup's items in order.
    std::vector<AnsiString> captions;
    for (int i = 0; i < Dialog->pm_SprawdzNorme->Items()->Count(); ++i)
        captions.push_back(Dialog->pm_SprawdzNorme->Items()->Items(i)->Caption());
    EXPECT_EQ(captions, (std::vector<AnsiString>{"Aktualna", "Nieaktualna", "Norma zakładowa",
                                                 "Wycofana bez zastąpienia", "Zastąpiona uznaniowo", "-", "",
                                                 "Wstecz", "Dalej", "Odświerz", "Start"}));
}

TEST_F(CheckDialogForm, BelowLevelThreeOnlyBrowsingAndCancelRemain)
{
    for (int level : {0, 2, 3}) {
        SCOPED_TRACE(level);
        CurrentUserLevel = level;
        Dialog->cb_StanNormy->SetItemIndex(0);   // a state chosen before
        Dialog->e_NrNormy->SetText("PN-EN 1");
        const int result = Show([&](Tf_SprawdzNorme* d) {
            const bool edit = level >= 3;
            EXPECT_EQ(d->bb_OK->Enabled(), edit);
            EXPECT_EQ(d->BitBtn3->Enabled(), edit);
            EXPECT_EQ(d->cb_StanNormy->Enabled(), edit);
            EXPECT_EQ(d->CheckBox1->Enabled(), edit);
            EXPECT_EQ(d->e_ZastopionaPrzez->Enabled(), edit);   // a state is chosen
            EXPECT_TRUE(d->BitBtn2->Enabled());
            EXPECT_TRUE(d->sb_Back->Enabled());
            EXPECT_EQ(d->ActiveControl(), edit ? static_cast<TWinControl*>(d->cb_StanNormy) : d->e_NrNormy);
            // The popup's states cannot make the dialog acceptable.
            Item("Nieaktualna1")->Click();
            EXPECT_EQ(d->bb_OK->Enabled(), edit);
            // Escape cancels only a read-only dialog.
            KeyDown(d->e_NrNormy, VK_ESCAPE);
        });
        EXPECT_EQ(result, level >= 3 ? mrIgnore : mrCancel);
    }
}

TEST_F(CheckDialogForm, OKJoinsMultiLineTitleAndDescription)
{
    Dialog->cb_StanNormy->SetItemIndex(0);
    const int result = Show([](Tf_SprawdzNorme* d) {
        d->m_Tytul->SetText("Stal niestopowa\r\nwalcowana\r\nna gorąco");
        d->m_Opis->SetText("jedna linia");
        d->bb_OK->Click();
    }, mrCancel);
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(Dialog->m_Tytul->Text(), "Stal niestopowa walcowana na gorąco ");
    EXPECT_EQ(Dialog->m_Opis->Text(), "jedna linia");
}

TEST_F(CheckDialogForm, EnterInTheRecordMovesToTheStateList)
{
    Show([](Tf_SprawdzNorme* d) {
        d->e_NrNormy->SetFocus();
        TypeKey(d->e_NrNormy, VK_RETURN);
        EXPECT_TRUE(d->cb_StanNormy->Focused());
        d->m_Tytul->SetFocus();
        TypeKey(d->m_Tytul, VK_RETURN);
        EXPECT_TRUE(d->cb_StanNormy->Focused());
        EXPECT_EQ(d->m_Tytul->Lines()->Count(), 0);
    });
}

// ---------------------------------------------------------------- add-standard dialog

struct AddDialog : ::testing::Test {
    std::unique_ptr<Tf_DodajNowaNorme> Dialog = std::make_unique<Tf_DodajNowaNorme>(nullptr);
    void TearDown() override
    {
        Dialog.reset();
        SetShellOpenHook(nullptr);
        EXPECT_TRUE(VerifyNoPendingDialogs());
        ClearRecordedDialogs();
    }
};

TEST_F(AddDialog, OKNeedsNumberHoldingStateAndTitleOrDescription)
{
    const struct {
        const char* Number;
        int Holding;
        const char* Title;
        const char* Description;
        int State;
        bool Ok;
    } cases[] = {
        {"PN-EN 1", 0, "Tytuł", "", 0, true},
        {"PN-EN 1", 0, "", "Opis", 1, true},
        {"PN-EN 1", 0, "", "", 0, false},
        // Blanks and line ends alone are no title or description.
        {"PN-EN 1", 0, "\r\n", "", 0, false},
        {"PN-EN 1", 0, " \t", " \r\n", 0, false},
        {"", 0, "Tytuł", "Opis", 0, false},
        {"PN-EN 1", -1, "Tytuł", "Opis", 0, false},
        {"PN-EN 1", 2, "Tytuł", "Opis", -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Number + std::string("/") + c.Title + "/" + c.Description);
        Tf_DodajNowaNorme* d = Dialog.get();
        d->e_NrNormy->SetText(c.Number);
        d->m_Tytul->SetText(c.Title);
        d->m_Opis->SetText(c.Description);
        d->cb_StanPosiadania->SetItemIndex(c.Holding);
        d->cb_StanPosiadaniaChange(d->cb_StanPosiadania);
        d->cb_StanNormy->SetItemIndex(c.State);
        d->cb_StanNormyChange(d->cb_StanNormy);
        EXPECT_EQ(d->bb_OK->Enabled(), c.Ok);
        // The replacement never takes part.
        d->e_ZastopionaPrzez->SetText("PN-EN 2");
        EXPECT_EQ(d->bb_OK->Enabled(), c.Ok);
    }
}

TEST_F(AddDialog, TypingIntoTheDescriptionEnablesOKAndAPastedBarDisablesIt)
{
    Tf_DodajNowaNorme* d = Dialog.get();
    d->Show();
    d->e_NrNormy->SetText("PN-EN 10088-1:2007");
    d->cb_StanPosiadania->SetItemIndex(0);
    d->cb_StanPosiadaniaChange(d->cb_StanPosiadania);
    d->cb_StanNormy->SetItemIndex(0);
    d->cb_StanNormyChange(d->cb_StanNormy);
    EXPECT_FALSE(d->bb_OK->Enabled());
    TypeText(d->m_Opis, "s|");
    EXPECT_EQ(d->m_Opis->Text(), "s");
    EXPECT_TRUE(d->bb_OK->Enabled());
    d->m_Opis->SetText("");
    d->m_Tytul->SetText("Stal | nierdzewna");
    EXPECT_EQ(d->m_Tytul->Text(), "");
    EXPECT_FALSE(d->bb_OK->Enabled());
    // Enter moves to the state list, also from a memo.
    d->m_Tytul->SetFocus();
    TypeKey(d->m_Tytul, VK_RETURN);
    EXPECT_TRUE(d->cb_StanNormy->Focused());
    EXPECT_EQ(d->m_Tytul->Text(), "");
    d->Hide();
}

TEST_F(AddDialog, CheckButtonOpensTheShopForNumbersWithPN)
{
    Tf_DodajNowaNorme* d = Dialog.get();
    for (const char* number : {"ZN-01/2005", "pn-en 1", ""}) {
        d->e_NrNormy->SetText(number);
        EXPECT_FALSE(d->sb_SprawdzNorme->Enabled()) << number;
    }
    d->e_NrNormy->SetText("PN-EN 10088-1:2007");
    EXPECT_TRUE(d->sb_SprawdzNorme->Enabled());

    std::vector<AnsiString> opened;
    SetShellOpenHook([&](const AnsiString& Target) {
        opened.push_back(Target);
        return true;
    });
    {
        TNetworkState online(true);
        d->sb_SprawdzNorme->Click();
    }
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], BuildCatalogQueryUrl("PN-EN 10088-1:2007"));
    {
        TNetworkState offline(false);
        ScriptDialogs().ExpectMessageBox(IDOK, "Musisz być połączony z Internetem !!!");
        d->sb_SprawdzNorme->Click();
    }
    EXPECT_EQ(opened.size(), 1u);
    ASSERT_EQ(RecordedDialogs().size(), 1u);
    EXPECT_EQ(RecordedDialogs()[0].Caption, "UWAGA !!!");
    EXPECT_EQ(RecordedDialogs()[0].Flags & MB_ICONMASK, MB_ICONERROR);
}

// ---------------------------------------------------------------- small dialogs

TEST(SmallDialogs, CellSizeTakesDigitsOnlyAndLineCountStaysWithinItsLimits)
{
    Tf_Szer_WysKomorek sizeDialog(nullptr);
    sizeDialog.Show();
    TypeText(sizeDialog.Edit1, "1a2,3 -4");
    EXPECT_EQ(sizeDialog.Edit1->Text(), "1234");
    TypeKey(sizeDialog.Edit1, VK_BACK);
    EXPECT_EQ(sizeDialog.Edit1->Text(), "123");
    sizeDialog.Hide();

    Tf_WstawKilkaLinii lines(nullptr);
    EXPECT_EQ(lines.se_LiczbaLinii->Value(), 1);
    EXPECT_TRUE(lines.rb_Ponizej->Checked());
    EXPECT_FALSE(lines.rb_Powyzej->Checked());
    for (auto [set, got] : {std::pair{0, 1}, {-5, 1}, {50, 50}, {100, 100}, {101, 100}}) {
        lines.se_LiczbaLinii->SetValue(set);
        EXPECT_EQ(lines.se_LiczbaLinii->Value(), got) << set;
    }
    lines.se_LiczbaLinii->SetValue(100);
    lines.Show();
    KeyDown(lines.se_LiczbaLinii, VK_UP);
    EXPECT_EQ(lines.se_LiczbaLinii->Value(), 100);
    EXPECT_TRUE(WindowCloseBox(&lines));
    lines.Hide();

    // The wait notice offers no button to close it.
    Tf_Waiting waiting(nullptr);
    waiting.Show();
    EXPECT_FALSE(WindowCloseBox(&waiting));
    waiting.Hide();
}

// Every dialog laid out so that its captions fit: a screenshot of each, and
// no label or button wider than the room its text needs.
TEST(SmallDialogs, Screenshots)
{
    CurrentUserLevel = 3;
    std::unique_ptr<TForm> forms[] = {
        std::make_unique<Tf_DodajNowaNorme>(nullptr), std::make_unique<Tf_WstawKilkaLinii>(nullptr),
        std::make_unique<Tf_Szer_WysKomorek>(nullptr), std::make_unique<Tf_Waiting>(nullptr)};
    auto* size = dynamic_cast<Tf_Szer_WysKomorek*>(forms[2].get());
    size->SetCaption("Ustaw wysokość komórek");
    size->l_Caption->SetCaption("&Wysokosc komórek:");
    size->Edit1->SetText("18");
    const char* names[] = {"dialog_dodaj_norme.png", "dialog_wstaw_linie.png", "dialog_szer_wys.png",
                           "dialog_czekaj.png"};
    for (size_t i = 0; i < 4; ++i) {
        TForm* f = forms[i].get();
        f->Show();
        if (auto* wait = dynamic_cast<Tf_Waiting*>(f))
            wait->pb_Waiting->SetPosition(40);
        ProcessPendingMessages();
        std::unique_ptr<TBitmap> shot = GrabControl(f);
        ASSERT_TRUE(shot && !shot->Empty());
        SaveScreenshot(shot.get(), names[i]);
        // Every label ends inside the window.
        for (int c = 0; c < f->ComponentCount(); ++c)
            if (auto* l = dynamic_cast<TLabel*>(f->Components(c)); l && l->Parent() == f) {
                EXPECT_LE(l->Left() + l->Width(), f->ClientWidth()) << names[i] << " " << l->Name();
            }
        f->Hide();
    }
}

}  // namespace

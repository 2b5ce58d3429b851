#include <gtest/gtest.h>

#include "platform/gui/Dialogs.h"
#include "platform/gui/TestSupport.h"

namespace {
struct Dialogs : ::testing::Test {
    void TearDown() override { EXPECT_TRUE(VerifyNoPendingDialogs()); ClearRecordedDialogs(); }
};

class TAskForm : public TForm {
public:
    explicit TAskForm(TComponent* owner) : TForm(owner) { SetName("AskForm"); }
};
}  // namespace

TEST_F(Dialogs, ScriptedAnswersReachTheCallerAndTheBoxIsRecorded)
{
    ScriptDialogs().ExpectMessageBox(IDNO, "Usunąć").ExpectMessageBox(IDYES);
    EXPECT_EQ(Application->MessageBox("Usunąć normę?", "Pytanie", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageDlg("Zapisać?", mtConfirmation, mbYes | mbNo, 0), IDYES);
    EXPECT_TRUE(VerifyNoPendingDialogs());
    ASSERT_EQ(RecordedDialogs().size(), 2u);
    const TRecordedDialog& box = RecordedDialogs()[0];
    EXPECT_EQ(box.Text, "Usunąć normę?");
    EXPECT_EQ(box.Caption, "Pytanie");
    EXPECT_EQ(box.Flags, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_EQ(RecordedDialogs()[1].Caption, "Potwierdź");

    ScriptDialogs().ExpectInput(true, "abc").ExpectInput(false);
    AnsiString v = "x";
    EXPECT_TRUE(InputQuery("Nazwa", "Podaj nazwę", v));
    EXPECT_EQ(v, "abc");
    EXPECT_EQ(InputBox("Nazwa", "Podaj nazwę", "domyślna"), "domyślna");
}

TEST_F(Dialogs, AnUnscriptedOrDifferentBoxFailsAtOnce)
{
    EXPECT_THROW(MessageBox(0, "Nieoczekiwany", "Błąd", MB_OK), EUnexpectedDialog);
    ScriptDialogs().ExpectMessageBox(IDOK, "inny tekst");
    EXPECT_THROW(ShowMessage("Zupełnie co innego"), EUnexpectedDialog);
    ScriptDialogs().ExpectModal("", mrOk);
    EXPECT_THROW(ShowMessage("Pudełko zamiast formy"), EUnexpectedDialog);
    EXPECT_FALSE(VerifyNoPendingDialogs());

    // A box raised by an event handler fails the test that caused it.
    TForm form(nullptr);
    form.SetBounds(0, 0, 100, 100);
    auto* c = new TCustomControl(&form);
    c->SetParent(&form);
    c->SetBounds(0, 0, 50, 50);
    c->OnClick = [](TObject*) { ShowMessage("Z kliknięcia"); };
    form.Show();
    try {
        Click(c, 5, 5);
        FAIL() << "the box did not fail the click";
    } catch (const EUnexpectedDialog& e) {
        EXPECT_NE(e.Message().find("Z kliknięcia"), AnsiString::npos);
    }
}

TEST_F(Dialogs, ModalFormEndsWithItsModalResultAndCloseQueryCanVeto)
{
    TAskForm form(nullptr);
    int shown = 0, hidden = 0;
    form.OnShow = [&](TObject*) { ++shown; };
    form.OnHide = [&](TObject*) { ++hidden; };
    ScriptDialogs().ExpectModal("AskForm", mrCancel, [](TForm* f) {
        EXPECT_TRUE(f->Visible());
        f->SetModalResult(mrYes);
    });
    EXPECT_EQ(form.ShowModal(), mrYes);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(hidden, 1);

    ScriptDialogs().ExpectModal("TAskForm", mrOk);
    EXPECT_EQ(form.ShowModal(), mrOk);

    bool allow = false;
    int queries = 0;
    form.OnCloseQuery = [&](TObject*, bool& can) { ++queries; can = allow; };
    ScriptDialogs().ExpectModal("", mrOk);
    EXPECT_THROW(form.ShowModal(), EUnexpectedDialog);
    EXPECT_FALSE(form.Visible());

    // A shown form stays open while OnCloseQuery says no; OnClose may hide it.
    form.Show();
    form.Close();
    EXPECT_TRUE(form.Visible());
    allow = true;
    TCloseAction seen = caNone;
    form.OnClose = [&](TObject*, TCloseAction& a) { seen = a; };
    form.Close();
    EXPECT_EQ(seen, caHide);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(queries, 3);

    form.Show();
    EXPECT_THROW(form.ShowModal(), EInvalidOperation);
    form.Hide();
}

TEST_F(Dialogs, FormFreedByItsCloseActionGoesFromTheLoop)
{
    auto* form = new TForm(Application);
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    form->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
    form->Show();
    int before = Screen->FormCount();
    form->Close();
    EXPECT_FALSE(destroyed);
    ProcessPendingMessages();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(Screen->FormCount(), before - 1);
}

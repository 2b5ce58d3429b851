#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"

namespace {
struct Edits : TFormTest {
    void SetUp() override { MakeForm(400, 300); }
    // The leftmost column of the control's picture with a dark (text) pixel, -1 when none.
    static int FirstInkColumn(TControl* c)
    {
        std::unique_ptr<TBitmap> b = GrabControl(c);
        for (int x = 0; x < b->Width(); ++x)
            for (int y = 4; y < b->Height() - 4; ++y) {
                TColor p = b->Canvas()->Pixels(x, y);
                if (GetRValue(p) + GetGValue(p) + GetBValue(p) < 200)
                    return x;
            }
        return -1;
    }
};
}  // namespace

TEST_F(Edits, MaskTakesTypedDigitsOverItsLiteralsAndRefusesOthers)
{
    auto* e = Place<TMaskEdit>(10, 10, 120, 22);
    auto* other = Place<TEdit>(10, 40, 120, 22);
    e->SetEditMask("00-000;1;_");
    EXPECT_EQ(e->EditText(), "__-___");
    Form->Show();
    e->SetFocus();
    e->SetSelStart(0);
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    TypeText(e, "12345");
    EXPECT_EQ(e->EditText(), "12-345");
    EXPECT_EQ(e->Text(), "12-345");
    EXPECT_EQ(changes, 5);

    // A letter is refused wherever the caret is; so is typing past the end.
    e->SetSelStart(3);
    TypeText(e, "x");
    TypeText(e, "a");
    EXPECT_EQ(e->EditText(), "12-345");
    e->SetSelStart(6);
    TypeText(e, "9");
    EXPECT_EQ(e->EditText(), "12-345");

    // Backspace blanks the position before the caret, over the literal; Delete the one at it.
    e->SetSelStart(3);
    TypeKey(e, VK_BACK);
    EXPECT_EQ(e->EditText(), "1_-345");
    EXPECT_EQ(e->SelStart(), 1);
    e->SetSelStart(4);
    TypeKey(e, VK_DELETE);
    EXPECT_EQ(e->EditText(), "1_-3_5");
    EXPECT_EQ(e->Text(), "1 -3 5");

    // Leaving it with a required position empty: the framework's message, and the focus stays.
    try {
        other->SetFocus();
        ProcessPendingMessages();
        FAIL() << "no validation error";
    } catch (const EDBEditError& x) {
        EXPECT_EQ(x.Message(), "Invalid input value.  Use escape key to abandon changes");
    }
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->SelStart(), 1);

    // Escape takes back what was typed since the edit got the focus.
    TypeKey(e, VK_ESCAPE);
    EXPECT_EQ(e->EditText(), "__-___");
    EXPECT_FALSE(e->Modified());
    other->SetFocus();
    EXPECT_TRUE(other->Focused());

    // Text set from code is laid into the mask; without saved literals Text leaves them out.
    e->SetText("98765");
    EXPECT_EQ(e->EditText(), "98-765");
    e->SetEditMask("00-000;0;_");
    EXPECT_EQ(e->Text(), "98765");
    EXPECT_EQ(e->EditText(), "98-765");
    e->SetEditText("1x-2");
    EXPECT_EQ(e->EditText(), "1_-2__");
    // No mask: a plain edit.
    e->SetEditMask("");
    e->SetText("abc");
    EXPECT_EQ(e->Text(), "abc");
}

TEST_F(Edits, SelectionMarginsAndTheFormattingRectangleThroughMessages)
{
    auto* e = Place<TEdit>(10, 10, 200, 24);
    auto* plain = Place<TEdit>(10, 40, 200, 24);
    for (auto* x : {e, plain})
        x->SetText("Wykaz norm");
    // Set before the window exists, the password character hides the text once it shows.
    auto* secret = Place<TEdit>(10, 70, 200, 24);
    secret->SetText("Wykaz norm");
    secret->SetPasswordChar('*');
    Form->Show();
    ProcessPendingMessages();

    e->Perform(EM_SETSEL, 2, 5);
    DWORD start = 0, end = 0;
    e->Perform(EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(e->SelText(), "kaz");
    e->Perform(EM_REPLACESEL, 0, LPARAM("ŁĄ"));
    EXPECT_EQ(e->Text(), "WyŁĄ norm");
    e->Perform(EM_SETSEL, 0, -1);
    EXPECT_EQ(e->SelLength(), 9);

    // A left margin moves the text right by as much (room for a button at the left).
    e->SetSelStart(0);
    int before = FirstInkColumn(e);
    ASSERT_GE(before, 0);
    e->Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(20, 30));
    EXPECT_EQ(LOWORD(std::uintptr_t(e->Perform(EM_GETMARGINS))), 20);
    EXPECT_EQ(FirstInkColumn(e), before + 20);
    TRect r;
    e->Perform(EM_GETRECT, 0, LPARAM(&r));
    EXPECT_EQ(r.Left, 20);
    EXPECT_EQ(r.Right, e->ClientWidth() - 30);
    // The formatting rectangle given whole.
    TRect given(40, 2, e->ClientWidth() - 2, e->ClientHeight() - 2);
    plain->Perform(EM_SETRECT, 0, LPARAM(&given));
    plain->Perform(EM_GETRECT, 0, LPARAM(&r));
    EXPECT_EQ(r, given);
    // (the text moved down too: a slanted stroke may start a pixel off)
    EXPECT_NEAR(FirstInkColumn(plain), before + 40, 1);
    // The character at a point and the point of a character agree.
    LRESULT pos = plain->Perform(EM_POSFROMCHAR, 3);
    ASSERT_NE(pos, -1);
    EXPECT_EQ(LOWORD(std::uintptr_t(plain->Perform(EM_CHARFROMPOS, 0, MAKELPARAM(LOWORD(std::uintptr_t(pos)) + 1, 10)))), 3);
    EXPECT_EQ(plain->Perform(EM_POSFROMCHAR, 99), -1);

    EXPECT_EQ(FirstInkColumn(secret) >= 0, true);
    std::unique_ptr<TBitmap> shown = GrabControl(secret), text = GrabControl(plain);
    plain->Perform(EM_SETRECT, 0, 0);
    text = GrabControl(plain);
    bool same = true;
    for (int x = 0; x < shown->Width() && same; ++x)
        for (int y = 0; y < shown->Height(); ++y)
            if (shown->Canvas()->Pixels(x, y) != text->Canvas()->Pixels(x, y)) {
                same = false;
                break;
            }
    EXPECT_FALSE(same) << "the password edit shows its text";
}

TEST_F(Edits, MemoSelectionCountsLineBreaksAsTwoCharacters)
{
    auto* m = Place<TMemo>(10, 10, 200, 100);
    m->SetText("ab\r\ncde\r\nf");
    // Before and after the window exists alike.
    for (int pass = 0; pass < 2; ++pass) {
        m->SetSelStart(5);
        m->SetSelLength(4);
        EXPECT_EQ(m->SelText(), "de\r\n") << pass;
        EXPECT_EQ(m->CaretPos(), TPoint(0, 2)) << pass;
        m->SetCaretPos(TPoint(2, 1));
        EXPECT_EQ(m->SelStart(), 6) << pass;
        EXPECT_EQ(m->Perform(EM_LINEFROMCHAR, 6), 1) << pass;
        EXPECT_EQ(m->Perform(EM_LINEINDEX, 2), 9) << pass;
        Form->Show();
        ProcessPendingMessages();
    }
    m->SetSelStart(4);
    m->SetSelLength(3);
    m->SetSelText("X\r\nY");
    EXPECT_EQ(m->Text(), "ab\r\nX\r\nY\r\nf");
    EXPECT_EQ(m->SelStart(), 8);
    EXPECT_EQ(m->Lines()->Count(), 4);
}

TEST_F(Edits, MemoTakesTabsFromTheMomentItWantsThem)
{
    auto* m = Place<TMemo>(10, 10, 200, 100);
    Place<TEdit>(10, 120, 100, 24);
    Form->Show();
    m->SetFocus();
    m->SetWantTabs(true);
    TypeKey(m, VK_TAB);
    EXPECT_EQ(m->Text(), "\t");
    EXPECT_TRUE(m->Focused());
}

TEST_F(Edits, WideTextKeepsWhatWindowsCodePageCannotHold)
{
    const WideString greek = u"Za\u017C\u00F3\u0142\u0107 \u03B1\u03B2\u03B3";
    auto* e = Place<TEdit>(10, 10, 200, 24);
    auto* m = Place<TMemo>(10, 40, 200, 60);
    auto* c = Place<TComboBox>(10, 110, 200, 24);
    // Before the windows exist, and after.
    for (int pass = 0; pass < 2; ++pass) {
        e->SetWideText(greek);
        m->SetWideText(greek + u"\r\n" + greek);
        c->SetWideText(greek);
        EXPECT_TRUE(e->WideText() == greek) << pass;
        EXPECT_EQ(e->Text(), "Zażółć ???");
        EXPECT_TRUE(m->WideText() == greek + u"\r\n" + greek) << pass;
        EXPECT_EQ(m->Lines()->Count(), 2);
        EXPECT_TRUE(c->WideText() == greek) << pass;
        Form->Show();
        ProcessPendingMessages();
    }
    // 8-bit text set later is the wide text too.
    e->SetText("ąę");
    EXPECT_TRUE(e->WideText() == u"\u0105\u0119");

    // Typed into a Unicode window the letter stays whole; the 8-bit handler sees 255.
    std::vector<int> seen;
    e->OnKeyPress = [&](TObject*, char& k) { seen.push_back(Byte(k)); };
    e->SetUnicodeWindow(true);
    e->SetFocus();
    e->SetText("");
    TypeWideText(e, u"a\u03C9");
    EXPECT_TRUE(e->WideText() == u"a\u03C9");
    EXPECT_EQ(seen, (std::vector<int>{'a', 255}));
    // An 8-bit window gets "?" in its place.
    e->SetUnicodeWindow(false);
    e->SetText("");
    TypeWideText(e, u"\u03C9");
    EXPECT_TRUE(e->WideText() == u"?");
}

TEST_F(Edits, ComboBoxStylesAndEditSelection)
{
    // A combo box of the program's own, built on the framework's base class.
    struct TCodeCombo : TCustomComboBox {
        explicit TCodeCombo(TComponent* o) : TCustomComboBox(o) { SetStyle(csDropDown); }
    };
    auto* c = Place<TCodeCombo>(10, 10, 160, 24);
    c->Items()->SetText("PN-EN 1990\r\nPN-EN 1991\r\n");
    Form->Show();
    c->SetText("PN-EN 1992");
    c->Perform(CB_SETEDITSEL, 0, MAKELPARAM(3, 5));
    EXPECT_EQ(c->SelText(), "EN");
    c->SetSelText("ISO");
    EXPECT_EQ(c->Text(), "PN-ISO 1992");
    c->Perform(CB_SETDROPPEDWIDTH, 300);
    EXPECT_EQ(c->Perform(CB_GETDROPPEDWIDTH), 300);
    EXPECT_EQ(c->Perform(CB_GETCOUNT), 2);
    // The list-only style: the text is the chosen item.
    c->SetStyle(csDropDownList);
    EXPECT_EQ(c->Perform(CB_SETCURSEL, 1), 1);
    EXPECT_EQ(c->Text(), "PN-EN 1991");
    EXPECT_EQ(c->Perform(CB_SETCURSEL, 7), CB_ERR);
}

TEST_F(Edits, CreationStylesOfADescendantShapeTheEditAndComboTellsItsParent)
{
    // An edit of the program's own that right-aligns through its creation parameters.
    struct TRightEdit : TEdit {
        explicit TRightEdit(TComponent* o) : TEdit(o) {}
        void CreateParams(TCreateParams& p) override { TEdit::CreateParams(p); p.Style |= ES_RIGHT; }
    };
    auto* right = Place<TRightEdit>(10, 10, 200, 24);
    auto* left = Place<TEdit>(10, 40, 200, 24);
    for (auto* e : std::vector<TEdit*>{right, left})
        e->SetText("PN-EN");
    auto* combo = Place<TComboBox>(10, 70, 150, 24);
    combo->SetStyle(csDropDownList);
    combo->Items()->SetText("jeden\r\ndwa\r\n");
    std::vector<WPARAM> commands;
    Form->AddMessageHook([&](TMessage& m) {
        if (m.Msg == WM_COMMAND && HWND(m.LParam) == combo->Handle())
            commands.push_back(m.WParam);
        return false;
    });
    Form->Show();
    ProcessPendingMessages();
    right->SetSelStart(0);   // focused first, with its text selected
    EXPECT_GT(FirstInkColumn(right), 100);
    EXPECT_LT(FirstInkColumn(left), 20);

    combo->SetItemIndex(0);
    EXPECT_TRUE(commands.empty());   // from code: no notification
    combo->SetFocus();
    TypeKey(combo, VK_DOWN);
    EXPECT_EQ(commands, (std::vector<WPARAM>{MAKEWPARAM(0, CBN_SELCHANGE)}));

    // Window functions reach the controls.
    EXPECT_TRUE(SetWindowPos(left->Handle(), HWND_TOP, 0, 0, 150, 30, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(left->BoundsRect(), TRect(10, 40, 160, 70));
    EXPECT_TRUE(ShowWindow(left->Handle(), SW_HIDE));
    EXPECT_FALSE(left->Visible());
    EXPECT_FALSE(ShowWindow(left->Handle(), SW_SHOW));
    EXPECT_TRUE(left->Visible());
    EXPECT_FALSE(SetWindowPos(0, HWND_TOP, 0, 0, 0, 0, 0));
}

TEST_F(Edits, MultiLineEditKeepsCrLfWrapsAndCountsTheLinesItShows)
{
    // An edit of several lines through its creation parameters; it wraps unless it scrolls sideways.
    struct TLinesEdit : TEdit {
        explicit TLinesEdit(TComponent* o) : TEdit(o) {}
        bool Lines = true, Wrap = true;
        void CreateParams(TCreateParams& p) override
        {
            TEdit::CreateParams(p);
            if (Lines)
                p.Style |= ES_MULTILINE;
            if (Wrap)
                p.Style &= ~DWORD(ES_AUTOHSCROLL);
        }
        using TCustomEdit::StylesChanged;
    };
    auto* e = Place<TLinesEdit>(10, 10, 120, 80);
    e->SetText("ab\r\ncde");
    Form->Show();
    ProcessPendingMessages();
    ASSERT_TRUE(e->IsMultiLine());
    EXPECT_EQ(e->Perform(EM_GETLINECOUNT), 2);
    e->SetSelStart(5);
    EXPECT_EQ(e->CaretPos(), TPoint(1, 1));
    EXPECT_EQ(e->Perform(EM_LINEFROMCHAR, WPARAM(-1)), 1);
    EXPECT_EQ(e->Perform(EM_LINEINDEX, 1), 4);
    EXPECT_EQ(e->Perform(EM_LINEINDEX, 2), -1);

    // Typed text keeps CR LF in Text, and the caret counts a line break as two characters.
    e->SetFocus();
    e->SetSelStart(2);
    TypeText(e, "X");
    EXPECT_EQ(e->Text(), "abX\r\ncde");
    EXPECT_EQ(e->SelStart(), 3);
    e->SetSelText("\r\n");
    EXPECT_EQ(e->Text(), "abX\r\n\r\ncde");
    EXPECT_EQ(e->SelStart(), 5);
    EXPECT_EQ(e->Perform(EM_GETLINECOUNT), 3);
    e->SetSelStart(7);
    e->SetSelLength(2);
    EXPECT_EQ(e->SelText(), "cd");
    e->SetMaxLength(12);
    e->SetSelStart(int(e->Text().size()));
    TypeText(e, "fghij");
    EXPECT_EQ(e->Text(), "abX\r\n\r\ncdefg");

    // A long line wraps at the edit's width and counts as the lines it shows.
    const AnsiString sentence = "jeden dwa trzy cztery pięć sześć siedem osiem";
    e->SetMaxLength(0);
    e->SetText(sentence);
    const LRESULT wrapped = e->Perform(EM_GETLINECOUNT);
    EXPECT_GT(wrapped, 1);
    EXPECT_EQ(e->Perform(EM_LINEFROMCHAR, WPARAM(sentence.size() - 1)), wrapped - 1);
    const LRESULT second = e->Perform(EM_LINEINDEX, 1);
    EXPECT_GT(second, 0);
    EXPECT_EQ(sentence[std::size_t(second) - 1], ' ');
    // Scrolling sideways it is one line.
    e->Wrap = false;
    e->StylesChanged();
    EXPECT_EQ(e->Perform(EM_GETLINECOUNT), 1);

    // Made a one-line edit, the window is made anew with the same text and selection.
    e->SetSelStart(6);
    e->SetSelLength(3);
    e->Lines = false;
    e->StylesChanged();
    EXPECT_FALSE(e->IsMultiLine());
    EXPECT_EQ(e->Text(), sentence);
    EXPECT_EQ(e->SelText(), "dwa");
    EXPECT_EQ(e->Perform(EM_GETLINECOUNT), 1);
    EXPECT_EQ(e->Perform(EM_LINEFROMCHAR, 20), 0);
}

TEST_F(Edits, AnEditIsWhiteOnItsFormUnlessDisabledOrColouredOtherwise)
{
    auto* plain = Place<TEdit>(10, 10, 120, 22);
    auto* off = Place<TEdit>(10, 40, 120, 22);
    auto* red = Place<TEdit>(10, 70, 120, 22);
    off->SetEnabled(false);
    red->SetColor(clRed);
    Form->Show();
    auto inside = [](TControl* c) { return ColorToRGB(GrabControl(c)->Canvas()->Pixels(c->Width() - 8, c->Height() / 2)); };
    EXPECT_EQ(plain->Color(), clWindow);
    EXPECT_EQ(inside(plain), ColorToRGB(clWindow));
    EXPECT_NE(inside(off), ColorToRGB(clWindow));
    EXPECT_EQ(inside(red), ColorToRGB(clRed));
}

TEST_F(Edits, APasswordShowsItsOwnCharacterForEachHiddenOne)
{
    auto* secret = Place<TEdit>(10, 10, 120, 24);
    auto* shown = Place<TEdit>(10, 40, 120, 24);
    secret->SetPasswordChar('*');
    secret->SetText("tajne");
    shown->SetText("*****");
    auto* other = Place<TEdit>(10, 70, 120, 24);
    Form->Show();
    ProcessPendingMessages();
    other->SetFocus();   // neither shows a selection
    auto same = [&] {
        std::unique_ptr<TBitmap> a = GrabControl(secret), b = GrabControl(shown);
        for (int y = 0; y < a->Height(); ++y)
            for (int x = 0; x < a->Width(); ++x)
                if (a->Canvas()->Pixels(x, y) != b->Canvas()->Pixels(x, y))
                    return false;
        return true;
    };
    EXPECT_TRUE(same());
    secret->SetPasswordChar('#');
    shown->SetText("#####");
    EXPECT_TRUE(same());
}

// An edit and a memo keep their selection when the focus goes and show it only while they have
// the focus, unless HideSelection is off.
TEST_F(Edits, TheSelectionShowsOnlyWithTheFocusUnlessHideSelectionIsOff)
{
    auto* edit = Place<TEdit>(10, 10, 150, 24);
    auto* memo = Place<TMemo>(10, 40, 150, 60);
    auto* other = Place<TEdit>(10, 110, 60, 24);
    edit->SetAutoSelect(false);
    Form->Show();
    ProcessPendingMessages();
    // Pixels of the highlight (blue, far more than red).
    auto highlighted = [](TControl* c) {
        std::unique_ptr<TBitmap> b = GrabControl(c);
        int n = 0;
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) {
                const TColor p = ColorToRGB(b->Canvas()->Pixels(x, y));
                n += GetBValue(p) > GetRValue(p) + 80;
            }
        return n;
    };
    struct Case { TWinControl* Control; bool Hide; };
    Case cases[] = {{edit, true}, {edit, false}, {memo, true}, {memo, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Control->ClassName()) + (c.Hide ? " hiding" : " showing"));
        auto selection = [&] {
            if (auto* e = dynamic_cast<TCustomEdit*>(c.Control))
                return TPoint(e->SelStart(), e->SelLength());
            return TPoint(memo->SelStart(), memo->SelLength());
        };
        if (auto* e = dynamic_cast<TCustomEdit*>(c.Control)) {
            e->SetHideSelection(c.Hide);
            e->SetText("zaznaczony tekst");
            e->SetFocus();
            e->SetSelStart(2);
            e->SetSelLength(8);
        } else {
            memo->SetHideSelection(c.Hide);
            memo->SetText("zaznaczony tekst");
            memo->SetFocus();
            memo->SetSelStart(2);
            memo->SetSelLength(8);
        }
        EXPECT_GT(highlighted(c.Control), 0);
        other->SetFocus();
        ProcessPendingMessages();
        EXPECT_EQ(highlighted(c.Control) > 0, !c.Hide);
        EXPECT_EQ(selection(), TPoint(2, 8));
        c.Control->SetFocus();
        EXPECT_GT(highlighted(c.Control), 0);
        EXPECT_EQ(selection(), TPoint(2, 8));
    }
}

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"

namespace {
// A form with the common standard controls, shown offscreen.
struct StdForm : TFormTest {
    TEdit* Edit = nullptr;
    TComboBox* Combo = nullptr;
    TCheckBox* Check = nullptr;
    TNotebook* Book = nullptr;
    TListBox* List = nullptr;
    void SetUp() override
    {
        MakeForm(400, 300);
        Edit = Place<TEdit>(10, 10, 120, 22);
        Combo = Place<TComboBox>(140, 10, 120, 22);
        Check = Place<TCheckBox>(270, 10, 100, 20);
        Book = Place<TNotebook>(10, 40, 150, 100);
        List = Place<TListBox>(170, 40, 200, 200);
        Form->Show();
    }
};
}  // namespace

TEST_F(StdForm, TypedKeysGoIntoTheEditAndFireOnChange)
{
    std::vector<AnsiString> seen;
    Edit->OnChange = [&](TObject*) { seen.push_back(Edit->Text()); };
    Edit->SetFocus();
    TypeText(Edit, "Ząb");
    EXPECT_EQ(Edit->Text(), "Ząb");
    EXPECT_EQ(seen, (std::vector<AnsiString>{"Z", "Zą", "Ząb"}));
    EXPECT_TRUE(Edit->Modified());
    // From code too, and Modified is cleared.
    Edit->SetText("Nowy");
    EXPECT_EQ(seen.back(), "Nowy");
    EXPECT_FALSE(Edit->Modified());

    // Typing past MaxLength is refused; CharCase folds typed letters.
    Edit->SetText("");
    Edit->SetMaxLength(3);
    Edit->SetCharCase(ecUpperCase);
    TypeText(Edit, "ąbcd");
    EXPECT_EQ(Edit->Text(), "ĄBC");

    // Selection replaced from code.
    Edit->SetSelStart(1);
    Edit->SetSelLength(1);
    EXPECT_EQ(Edit->SelText(), "B");
    Edit->SetMaxLength(0);
    Edit->SetSelText("xy");
    EXPECT_EQ(Edit->Text(), "ĄXYC");
}

// Alt with the letter a label underlines focuses the label's control.
TEST_F(StdForm, AltWithALabelsLetterFocusesItsControl)
{
    auto* label = Place<TLabel>(10, 250, 60, 16);
    label->SetCaption("&Nazwa");
    label->SetFocusControl(Edit);
    List->SetFocus();
    TypeKey(List, 'N', ssAlt);
    EXPECT_TRUE(Edit->Focused());
    EXPECT_EQ(Edit->Text(), "");
}

TEST_F(StdForm, CheckedFromCodeFiresOnClickOnlyOnChange)
{
    int clicks = 0;
    Check->OnClick = [&](TObject*) { ++clicks; };
    Check->SetChecked(true);
    Check->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    Check->SetState(cbGrayed);
    EXPECT_EQ(clicks, 2);
    // The user's click: grayed goes to checked.
    Click(Check, 5, 8);
    EXPECT_EQ(Check->State(), cbChecked);
    EXPECT_EQ(clicks, 3);
}

TEST_F(StdForm, ComboItemIndexFromCodeIsQuietButUserChoiceFiresOnChange)
{
    Combo->SetStyle(csDropDownList);
    Combo->Items()->SetText("jeden\r\ndwa\r\ntrzy\r\n");
    int changes = 0, clicks = 0;
    Combo->OnChange = [&](TObject*) { ++changes; };
    Combo->OnClick = [&](TObject*) { ++clicks; };
    Combo->SetItemIndex(1);
    EXPECT_EQ(Combo->Text(), "dwa");
    EXPECT_EQ(changes, 0);
    // The user moves the selection with the keyboard.
    Combo->SetFocus();
    TypeKey(Combo, VK_DOWN);
    EXPECT_EQ(Combo->ItemIndex(), 2);
    EXPECT_EQ(Combo->Text(), "trzy");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);

    // Items stay in step with the widget through edits, sorting and updates.
    Combo->Items()->Delete(0);
    Combo->Items()->Insert(0, "zero");
    Combo->SetSorted(true);
    EXPECT_EQ(Combo->Items()->CommaText(), "dwa,trzy,zero");
    Combo->SetItemIndex(2);
    EXPECT_EQ(Combo->Text(), "zero");
    // Text of a drop-down list selects the item.
    Combo->SetText("trzy");
    EXPECT_EQ(Combo->ItemIndex(), 1);
    Combo->Items()->Clear();
    EXPECT_EQ(Combo->ItemIndex(), -1);
}

TEST_F(StdForm, NotebookShowsPageByNameAndReportsOnlyRealChanges)
{
    Book->Pages()->SetText("Informacja\r\nUstawieniaProg\r\nImportuj\r\n");
    ASSERT_EQ(Book->PageCount(), 3);
    TLabel* onSecond = new TLabel(Form);
    onSecond->SetParent(Book->Page(1));
    int changes = 0;
    Book->OnPageChanged = [&](TObject*) { ++changes; };
    struct Step { const char* Name; int Index; int Changes; };
    const Step steps[] = {
        {"UstawieniaProg", 1, 1}, {"UstawieniaProg", 1, 1}, {"ustawieniaprog", 1, 1},
        {"Nieznana", 1, 1}, {"Importuj", 2, 2}, {"Informacja", 0, 3},
    };
    for (const Step& s : steps) {
        Book->SetActivePage(s.Name);
        EXPECT_EQ(Book->PageIndex(), s.Index) << s.Name;
        EXPECT_EQ(changes, s.Changes) << s.Name;
        for (int i = 0; i < Book->PageCount(); ++i)
            EXPECT_EQ(Book->Page(i)->Visible(), i == s.Index) << s.Name << " page " << i;
    }
    EXPECT_EQ(Book->ActivePage(), "Informacja");
    // Deleting a page deletes its controls; renaming renames the page.
    Book->Pages()->SetStrings(0, "Nowa");
    EXPECT_EQ(Book->ActivePage(), "Nowa");
    int before = Form->ComponentCount();
    Book->Pages()->Delete(1);
    EXPECT_EQ(Book->PageCount(), 2);
    EXPECT_EQ(Form->ComponentCount(), before - 1) << "the label of the deleted page went with it";
}

// A page's windows are made when it is first shown (or when asked for); what its
// controls were given before is there, and they take input.
TEST_F(StdForm, APagesWindowsAreMadeWhenItIsFirstShown)
{
    Book->Pages()->SetText("Pierwsza\r\nDruga\r\nTrzecia\r\n");
    Book->SetPageIndex(0);
    TEdit* edits[3];
    for (int i = 0; i < 3; ++i) {
        edits[i] = new TEdit(Form);
        edits[i]->SetParent(Book->Page(i));
        edits[i]->SetBounds(5, 5, 100, 22);
        edits[i]->SetText("strona " + IntToStr(i));
    }
    EXPECT_TRUE(edits[0]->HandleAllocated());
    EXPECT_FALSE(edits[1]->HandleAllocated());
    EXPECT_FALSE(Book->Page(2)->HandleAllocated());
    Book->SetActivePage("Druga");
    ASSERT_TRUE(edits[1]->HandleAllocated());
    EXPECT_TRUE(edits[1]->Showing());
    edits[1]->SetFocus();
    edits[1]->SetSelStart(8);
    TypeText(edits[1], "ą");
    EXPECT_EQ(edits[1]->Text(), "strona 1ą");
    // Asked for, a window is made on a page never shown, and stays hidden.
    EXPECT_NE(edits[2]->Handle(), HWND(0));
    EXPECT_TRUE(Book->Page(2)->HandleAllocated());
    EXPECT_FALSE(edits[2]->Showing());
    EXPECT_EQ(edits[2]->Text(), "strona 2");
}

TEST_F(StdForm, OwnerDrawnListBoxPaintsVisibleItemsThroughOnDrawItem)
{
    List->SetStyle(lbOwnerDrawFixed);
    List->SetItemHeight(20);
    for (int i = 0; i < 100; ++i)
        List->Items()->Add("wiersz " + IntToStr(i));
    std::vector<int> drawn;
    List->OnDrawItem = [&](TWinControl* c, int index, TRect r, TOwnerDrawState) {
        drawn.push_back(index);
        auto* lb = static_cast<TListBox*>(c);
        lb->Canvas()->Brush()->SetColor(index % 2 ? clBlue : clLime);
        lb->Canvas()->FillRect(r);
    };
    std::unique_ptr<TBitmap> shot = GrabControl(List);
    ASSERT_FALSE(drawn.empty());
    EXPECT_LT(*std::max_element(drawn.begin(), drawn.end()), 20) << "only the visible rows are drawn";
    TRect r0 = List->ItemRect(0), r1 = List->ItemRect(1);
    EXPECT_EQ(r0.Height(), 20);
    EXPECT_EQ(List->ItemAtPos(TPoint(5, r1.Top + 5), true), 1);
    EXPECT_EQ(List->ItemAtPos(TPoint(5, 5000), true), -1);
    bool sawLime = false, sawBlue = false;
    for (int y = 0; y < shot->Height(); ++y) {
        TColor c = shot->Canvas()->Pixels(shot->Width() / 2, y);
        sawLime |= c == clLime;
        sawBlue |= c == clBlue;
    }
    EXPECT_TRUE(sawLime);
    EXPECT_TRUE(sawBlue);
}

TEST_F(StdForm, ListBoxItemIndexFromCodeIsQuietAndUserClickFiresOnClick)
{
    List->Items()->SetCommaText("a,b,c,d");
    int clicks = 0;
    List->OnClick = [&](TObject*) { ++clicks; };
    List->SetItemIndex(2);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(List->Selected(2));
    List->SetFocus();
    TypeKey(List, VK_UP);
    EXPECT_EQ(List->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    // Deleting the item before the selection keeps the same item selected.
    List->Items()->Delete(0);
    EXPECT_EQ(List->ItemIndex(), 0);
    EXPECT_EQ(List->SelCount(), -1);
    List->SetMultiSelect(true);
    List->SetSelected(2, true);
    EXPECT_EQ(List->SelCount(), 2);
    EXPECT_THROW(List->Selected(9), EListError);
}

TEST_F(StdForm, RadioButtonsOfOneParentExcludeEachOther)
{
    TRadioButton* r[3];
    TPanel* other = new TPanel(Form);
    other->SetParent(Form);
    other->SetBounds(10, 150, 150, 100);
    for (int i = 0; i < 3; ++i) {
        r[i] = new TRadioButton(Form);
        r[i]->SetParent(i < 2 ? static_cast<TWinControl*>(Form) : other);
        r[i]->SetBounds(10, 150 + i * 20, 100, 18);
    }
    int clicks = 0;
    r[1]->OnClick = [&](TObject*) { ++clicks; };
    r[0]->SetChecked(true);
    r[2]->SetChecked(true);
    r[1]->SetChecked(true);
    EXPECT_FALSE(r[0]->Checked());
    EXPECT_TRUE(r[1]->Checked());
    EXPECT_TRUE(r[2]->Checked()) << "another parent is another group";
    EXPECT_EQ(clicks, 1);
    // The user's click on the checked one leaves it checked.
    Click(r[1], 5, 8);
    EXPECT_TRUE(r[1]->Checked());
    EXPECT_EQ(clicks, 1);
    Click(r[0], 5, 8);
    EXPECT_TRUE(r[0]->Checked());
    EXPECT_FALSE(r[1]->Checked());
}

TEST_F(StdForm, MemoLinesFollowTheText)
{
    TMemo* memo = new TMemo(Form);
    memo->SetParent(Form);
    memo->SetBounds(10, 150, 150, 100);
    int changes = 0;
    memo->OnChange = [&](TObject*) { ++changes; };
    memo->Lines()->Add("pierwsza");
    memo->Lines()->Add("druga");
    EXPECT_EQ(memo->Text(), "pierwsza\r\ndruga\r\n");
    EXPECT_EQ(memo->Lines()->Count(), 2);
    memo->Lines()->Insert(1, "środek");
    memo->Lines()->Delete(0);
    EXPECT_EQ(memo->Lines()->CommaText(), "środek,druga");
    memo->SetFocus();
    TypeKey(memo, VK_END, ssCtrl);
    TypeText(memo, "x");
    EXPECT_EQ(memo->Lines()->Strings(2), "x");
    EXPECT_GE(changes, 4);
    EXPECT_THROW(memo->Lines()->Strings(5), EStringListError);
}

namespace {
class TOkForm : public TForm {
public:
    explicit TOkForm(TComponent* owner) : TForm(owner)
    {
        SetName("OkForm");
        Ok = new TButton(this);
        Ok->SetParent(this);
        Ok->SetModalResult(mrOk);
        Ok->SetDefault(true);
        Cancel = new TButton(this);
        Cancel->SetParent(this);
        Cancel->SetLeft(80);
        Cancel->SetModalResult(mrCancel);
        Cancel->SetCancel(true);
    }
    TButton* Ok;
    TButton* Cancel;
};
}  // namespace

TEST(Buttons, ModalResultButtonClosesModalFormAndEnterEscapeClickThem)
{
    struct Case { const char* Name; std::function<void(TOkForm*)> Act; int Result; };
    const Case cases[] = {
        {"click Ok", [](TOkForm* f) { Click(f->Ok, 5, 5); }, mrOk},
        {"click Cancel", [](TOkForm* f) { Click(f->Cancel, 5, 5); }, mrCancel},
        {"Enter", [](TOkForm* f) { TypeKey(f->Cancel, VK_RETURN); }, mrCancel},   // the focused button is default
        {"Escape", [](TOkForm* f) { TypeKey(f->Ok, VK_ESCAPE); }, mrCancel},
    };
    for (const Case& c : cases) {
        TOkForm form(nullptr);
        ScriptDialogs().ExpectModal("OkForm", mrAbort, [&](TForm* f) {
            auto* ok = static_cast<TOkForm*>(f);
            ok->Ok->SetFocus();
            if (std::string(c.Name) == "Enter")
                ok->Cancel->SetFocus();
            c.Act(ok);
        });
        EXPECT_EQ(form.ShowModal(), c.Result) << c.Name;
    }
    EXPECT_TRUE(VerifyNoPendingDialogs());
    ClearRecordedDialogs();
}

// What is set before a control's window exists shows in the window once it is
// made: the user's click on a check box checked from code clears it, and a
// swallowed Enter adds no line to a memo.
struct StdCtrlsBeforeTheirWindow : TFormTest {};

TEST_F(StdCtrlsBeforeTheirWindow, ShowWhatWasSetAndSwallowedKeysStaySwallowed)
{
    MakeForm(300, 200);
    auto* check = Place<TCheckBox>(10, 10, 120, 20);
    check->SetChecked(true);
    auto* radio = Place<TRadioButton>(10, 40, 120, 20);
    radio->SetChecked(true);
    auto* other = Place<TRadioButton>(10, 70, 120, 20);
    auto* memo = Place<TMemo>(150, 10, 120, 80);
    memo->OnKeyPress = [](TObject*, char& Key) {
        if (Key == '\r')
            Key = 0;
    };
    Form->Show();
    Click(check, 5, 8);
    EXPECT_FALSE(check->Checked());
    // Clicking the checked radio button keeps it; the other one takes over.
    Click(radio, 5, 8);
    EXPECT_TRUE(radio->Checked());
    Click(other, 5, 8);
    EXPECT_TRUE(other->Checked());
    EXPECT_FALSE(radio->Checked());
    memo->SetFocus();
    TypeText(memo, "a");
    TypeKey(memo, VK_RETURN);
    TypeText(memo, "b");
    EXPECT_EQ(memo->Text(), "ab");
}

namespace {
// The rightmost column of the control's picture that holds dark (text) pixels.
int InkRight(TControl* c)
{
    std::unique_ptr<TBitmap> b = GrabControl(c);
    int right = -1;
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) {
            TColor p = ColorToRGB(b->Canvas()->Pixels(x, y));
            if (GetRValue(p) < 80 && GetGValue(p) < 80 && GetBValue(p) < 80)
                right = std::max(right, x);
        }
    return right;
}
}  // namespace

TEST_F(StdForm, StandardControlsShowTheirTextInTheControlsFont)
{
    // Wide enough that no text is cut at either size; the check box's text
    // starts after its box, so its ink reaches further than the box alone.
    Check->SetBounds(10, 250, 380, 40);
    Check->SetCaption("Użytkownicy spoza listy");
    Edit->SetBounds(10, 10, 380, 30);
    Edit->SetText("Zażółć gęślą jaźń");
    List->Items()->Add("Zażółć gęślą jaźń");
    ProcessPendingMessages();
    const std::vector<TControl*> controls{Check, Edit, List};
    std::vector<int> small;
    for (TControl* c : controls)
        small.push_back(InkRight(c));
    // The form's larger font reaches the controls that take their parent's font.
    Form->Font()->SetHeight(-22);
    ProcessPendingMessages();
    for (size_t i = 0; i < controls.size(); ++i)
        EXPECT_GT(InkRight(controls[i]), small[i] + 20) << controls[i]->Name();
    // A control's own font after creation: back to the small text.
    Check->Font()->SetHeight(-11);
    ProcessPendingMessages();
    EXPECT_EQ(InkRight(Check), small[0]);
}

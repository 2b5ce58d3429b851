// The check list box, the file-name and directory edits, and form placement
// with its links, checked against the behaviour their users rely on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "controls/AppUtils.h"
#include "controls/FileUtil.h"
#include "controls/KXCtrls.h"
#include "controls/Placement.h"
#include "controls/ToolEdit.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"

namespace {

TKxCheckListBox* PlaceList(TFormTest& t, std::initializer_list<const char*> items)
{
    auto* list = t.Place<TKxCheckListBox>(10, 10, 160, 150);
    for (const char* s : items)
        list->Items()->Add(s);
    return list;
}

std::vector<TCheckBoxState> States(TKxCheckListBox* list)
{
    std::vector<TCheckBoxState> out;
    for (int i = 0; i < list->Items()->Count(); ++i)
        out.push_back(list->State(i));
    return out;
}

}  // namespace

// ================================================================ check list box
using CheckListParts = TFormTest;

TEST_F(CheckListParts, StripCellsFollowStateKindAndEnabling)
{
    // cell = column + 6 * row of the 6 x 3 strip
    const int table[3][3][2] = {
        {{0, 3}, {6, 9}, {12, 15}},
        {{1, 4}, {7, 10}, {13, 16}},
        {{2, 5}, {8, 11}, {14, 17}},
    };
    for (int s = 0; s < 3; ++s)
        for (int k = 0; k < 3; ++k)
            for (int e = 0; e < 2; ++e)
                EXPECT_EQ(CheckImageIndex(TCheckBoxState(s), TCheckKind(k), e == 0), table[s][k][e])
                    << s << "," << k << "," << e;
    EXPECT_EQ(CheckImages()->Width(), 96);
    EXPECT_EQ(CheckImages()->Height(), 39);
}

TEST_F(CheckListParts, UserToggleCycleByKindAndAllowGrayed)
{
    MakeForm(300, 200);
    struct Case {
        TCheckKind Kind;
        bool AllowGrayed;
        std::vector<TCheckBoxState> Cycle;   // states after successive toggles of item 1
    } cases[] = {
        {ckCheckBoxes, false, {cbChecked, cbUnchecked, cbChecked}},
        {ckCheckBoxes, true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
        {ckCheckMarks, true, {cbGrayed, cbChecked, cbUnchecked}},
        // Radio: grayed is never reached and the checked item cannot be unchecked.
        {ckRadioButtons, true, {cbChecked, cbChecked}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Kind) * 10 + c.AllowGrayed);
        auto* list = PlaceList(*this, {"a", "b", "c"});
        list->SetAllowGrayed(c.AllowGrayed);
        list->SetCheckKind(c.Kind);
        EXPECT_EQ(list->AllowGrayed(), c.AllowGrayed && c.Kind != ckRadioButtons);
        std::vector<std::string> log;
        list->OnStateChange = [&](TObject*, int i) { log.push_back("state " + std::to_string(i)); };
        list->OnClickCheck = [&](TObject*) { log.push_back("click"); };
        for (TCheckBoxState want : c.Cycle) {
            list->ToggleItem(1);
            EXPECT_EQ(list->State(1), want);
        }
        // Every toggle reports a click; the state change comes before it.
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), "click");
        EXPECT_EQ(std::count(log.begin(), log.end(), "click"), std::ptrdiff_t(c.Cycle.size()));
        if (c.Kind == ckRadioButtons) {
            EXPECT_EQ(States(list), (std::vector<TCheckBoxState>{cbUnchecked, cbChecked, cbUnchecked}));
        }
        delete list;
    }
}

TEST_F(CheckListParts, FreshItemsReadUncheckedEnabledAndSilent)
{
    MakeForm(300, 200);
    auto* list = PlaceList(*this, {"a", "b"});
    int changes = 0;
    list->OnStateChange = [&](TObject*, int) { ++changes; };
    EXPECT_FALSE(list->Checked(0));
    EXPECT_TRUE(list->ItemEnabled(0));
    EXPECT_EQ(list->ItemData(0), 0);
    EXPECT_EQ(list->CheckedIndex(), -1);   // not a radio list
    list->SetChecked(0, false);
    EXPECT_EQ(changes, 0);
    list->SetItemData(1, 77);
    EXPECT_EQ(list->ItemData(1), 77);
    EXPECT_EQ(list->State(1), cbUnchecked);
    list->SetState(1, cbGrayed);
    EXPECT_EQ(list->ItemData(1), 77);
    EXPECT_EQ(changes, 1);
    // A radio list reads every state but checked as unchecked.
    list->SetCheckKind(ckRadioButtons);
    EXPECT_EQ(list->State(1), cbUnchecked);
    EXPECT_EQ(list->CheckedIndex(), 0);
    EXPECT_THROW(list->SetState(2, cbChecked), EStringListError);
    try {
        list->ItemEnabled(5);
        FAIL() << "no exception";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
}

TEST_F(CheckListParts, KeysToggleTheCurrentItemAndSetAll)
{
    MakeForm(300, 200);
    struct Case {
        const char* Name;
        TCheckKind Kind;
        int Current;
        char Key;
        std::vector<TCheckBoxState> Want;
        int Clicks;
    } cases[] = {
        // items: 0 unchecked, 1 disabled unchecked, 2 checked
        {"space on the current item", ckCheckBoxes, 0, ' ', {cbChecked, cbUnchecked, cbChecked}, 1},
        {"space on a disabled item", ckCheckBoxes, 1, ' ', {cbUnchecked, cbUnchecked, cbChecked}, 0},
        {"space without a current item", ckCheckBoxes, -1, ' ', {cbUnchecked, cbUnchecked, cbChecked}, 0},
        {"plus checks enabled items", ckCheckMarks, -1, '+', {cbChecked, cbUnchecked, cbChecked}, 1},
        {"minus unchecks enabled items", ckCheckBoxes, 0, '-', {cbUnchecked, cbUnchecked, cbUnchecked}, 1},
        {"plus keeps radio states", ckRadioButtons, -1, '+', {cbUnchecked, cbUnchecked, cbChecked}, 1},
        {"minus keeps radio states", ckRadioButtons, -1, '-', {cbUnchecked, cbUnchecked, cbChecked}, 1},
    };
    Form->Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* list = PlaceList(*this, {"a", "b", "c"});
        list->SetChecked(2, true);
        list->SetItemEnabled(1, false);
        list->SetCheckKind(c.Kind);
        list->SetItemIndex(c.Current);
        int clicks = 0;
        std::vector<char> pressed;
        list->OnKeyPress = [&](TObject*, char& k) { pressed.push_back(k); };
        list->OnClickCheck = [&](TObject*) {
            ++clicks;
            EXPECT_EQ(pressed.size(), 1u);   // after OnKeyPress
        };
        list->Perform(WM_CHAR, WPARAM(c.Key), 0);
        EXPECT_EQ(States(list), c.Want);
        EXPECT_EQ(clicks, c.Clicks);
        delete list;
    }
    Form->Hide();
}

TEST_F(CheckListParts, OnlyAPressInTheCheckAreaToggles)
{
    MakeForm(300, 220);
    auto* list = PlaceList(*this, {"a", "b", "c"});
    Form->Show();
    std::vector<std::string> log;
    int downX = -1;
    list->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int) {
        log.push_back("down");
        downX = X;
    };
    list->OnClickCheck = [&](TObject*) { log.push_back("check"); };
    EXPECT_EQ(list->CheckAreaWidth(), 18);
    TRect r = list->ItemRect(2);
    ASSERT_GT(r.Height(), 0);
    const int y = r.Top + r.Height() / 2;
    // Where the list's items begin inside its frame.
    AdvanceInputClock(2000);
    Click(list, 60, y);
    const int frame = 60 - downX;
    struct Case {
        int X;   // from the item's left edge
        bool Toggles;
    } cases[] = {{0, true}, {17, true}, {18, false}, {60, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.X);
        AdvanceInputClock(2000);
        log.clear();
        bool was = list->Checked(2);
        Click(list, frame + r.Left + c.X, y);
        EXPECT_EQ(list->Checked(2), c.Toggles ? !was : was);
        EXPECT_EQ(log, c.Toggles ? (std::vector<std::string>{"down", "check"}) : std::vector<std::string>{"down"});
    }
    // A disabled item does not toggle; a right-button press neither.
    list->SetItemEnabled(2, false);
    AdvanceInputClock(2000);
    bool was = list->Checked(2);
    Click(list, r.Left + 5, y);
    EXPECT_EQ(list->Checked(2), was);
    list->SetItemEnabled(2, true);
    AdvanceInputClock(2000);
    Click(list, r.Left + 5, y, mbRight);
    EXPECT_EQ(list->Checked(2), was);
    // Below the last item nothing happens.
    AdvanceInputClock(2000);
    log.clear();
    Click(list, 5, list->ItemRect(2).Bottom + 20);
    EXPECT_EQ(log, std::vector<std::string>{"down"});
    Form->Hide();
}

TEST_F(CheckListParts, TwoColumnsRowsOfTheFontAndTabStops)
{
    MakeForm(340, 200);
    auto* list = PlaceList(*this, {"Zastąpiona uznaniowo", "Wycofana", "Ważna\tPN", "Łódź", "Żółw", "Ćma", "Źdźbło",
                                   "Gęś", "Ślęża", "Ostatnia"});
    list->SetBounds(10, 10, 300, 100);
    list->SetItemHeight(1);
    list->SetColumns(2);
    list->SetTabWidth(40);
    list->SetChecked(1, true);
    list->SetState(4, cbGrayed);
    list->SetItemEnabled(5, false);
    Form->Show();
    // Rows: the larger of the font's "Wg" and the check cell; ItemHeight above both wins.
    TBitmap probe;
    probe.Canvas()->SetFont(list->Font());
    const int textRow = probe.Canvas()->TextHeight("Wg");
    const int row = std::max(textRow, 13);
    EXPECT_EQ(list->ItemRect(1).Height(), row);
    // Columns of (Width + Columns - 3) div Columns pixels, items running down and on into the next.
    EXPECT_EQ(list->ColumnWidth(), (300 + 2 - 3) / 2);
    const TRect first = list->ItemRect(0);
    EXPECT_EQ(first.Width(), list->ColumnWidth());
    int perColumn = 0;
    while (perColumn < list->Count() && list->ItemRect(perColumn).Left == first.Left)
        ++perColumn;
    ASSERT_GT(perColumn, 1);
    ASSERT_LT(perColumn, list->Count());
    EXPECT_EQ(list->ItemRect(perColumn).Left, first.Left + list->ColumnWidth());
    EXPECT_EQ(list->ItemRect(perColumn).Top, first.Top);
    EXPECT_EQ(list->ItemAtPos(TPoint(first.Left + list->ColumnWidth() + 30, first.Top + 2), true), perColumn);
    // No sideways extent of the widest item with columns.
    EXPECT_FALSE(list->AutoScroll());

    std::unique_ptr<TBitmap> shot = GrabControl(Form);
    TRasterImage png("PNG");
    png.Assign(shot.get());
    png.SaveToFile(FromOsPath(ScreenshotPath("checklist_columns.png")));
    // A checked box in the second row, painted in the first column.
    const TRect r1 = list->ItemRect(1);
    std::unique_ptr<TBitmap> grab = GrabControl(list);
    bool ink = false;
    for (int x = r1.Left; x < r1.Left + 18; ++x)
        for (int y = r1.Top; y < r1.Bottom; ++y)
            ink = ink || grab->Canvas()->Pixels(x, y) == clBlack;
    EXPECT_TRUE(ink);

    // A tab moves the rest of the text to the next stop (TabWidth * "0" width / 4 pixels).
    const int stop = list->TabStopPixels(probe.Canvas());
    EXPECT_EQ(stop, int(40 * probe.Canvas()->TextWidth("0") / 4.0 + 0.5));
    list->SetColumns(0);
    const int plain = list->MaxItemWidth();
    list->SetTabWidth(0);
    EXPECT_NE(list->MaxItemWidth(), plain);

    // With IntegralHeight the list shows whole rows only; a larger ItemHeight makes the rows.
    list->SetIntegralHeight(true);
    EXPECT_EQ((list->Height() - 4) % row, 0);
    EXPECT_LE(list->Height(), 100);
    list->SetItemHeight(row + 7);
    EXPECT_EQ(list->ItemRect(1).Height(), row + 7);
    Form->Hide();
}

TEST_F(CheckListParts, AssigningTheOwnerDrawingEventsMeasuresTheItemsAgain)
{
    MakeForm(300, 200);
    auto* list = PlaceList(*this, {"Wykonanie z uszczelką i pierścieniem dociskowym", "a"});
    Form->Show();
    const int text = list->HorizontalExtent();
    ASSERT_GT(text, 200);
    const int area = list->CheckAreaWidth();
    auto draw = [](TWinControl*, int, TRect, TOwnerDrawState) {};
    auto width = [](TWinControl*, int Index, int& Width) { Width = 40 - Index; };
    // Each step's events and the extent it leaves: owner widths need both events.
    struct Step {
        bool Draw, Width;
        int Extent;
    } steps[] = {{true, false, text}, {true, true, 40 + area}, {false, true, text}, {true, true, 40 + area},
                 {true, false, text}};
    for (const Step& s : steps) {
        SCOPED_TRACE(int(s.Draw) * 10 + int(s.Width));
        if (s.Draw != bool(list->OnDrawItem)) {
            if (s.Draw)
                list->OnDrawItem = draw;
            else
                list->OnDrawItem = nullptr;
        }
        if (s.Width != bool(list->OnGetItemWidth)) {
            if (s.Width)
                list->OnGetItemWidth = width;
            else
                list->OnGetItemWidth = nullptr;
        }
        EXPECT_EQ(list->HorizontalExtent(), s.Extent);
    }
}

TEST_F(CheckListParts, AssigningItemsFromAnotherListCopiesStates)
{
    MakeForm(300, 200);
    auto* source = PlaceList(*this, {"x", "y", "z"});
    source->SetState(0, cbGrayed);
    source->SetItemEnabled(1, false);
    source->SetChecked(2, true);
    auto* target = PlaceList(*this, {"old"});
    target->SetItems(source->Items());
    EXPECT_EQ(Items(*target->Items()), (std::vector<AnsiString>{"x", "y", "z"}));
    EXPECT_EQ(States(target), (std::vector<TCheckBoxState>{cbGrayed, cbUnchecked, cbChecked}));
    EXPECT_FALSE(target->ItemEnabled(1));
    // The copies are the target's own.
    target->SetState(0, cbUnchecked);
    EXPECT_EQ(source->State(0), cbGrayed);
    // From a plain list only the texts.
    TStringList plain;
    plain.Add("p");
    target->SetItems(&plain);
    EXPECT_EQ(States(target), std::vector<TCheckBoxState>{cbUnchecked});
    EXPECT_TRUE(target->ItemEnabled(0));
}

TEST_F(CheckListParts, StatesSaveToAndRestoreFromThePlacementSection)
{
    TTempDir dir("velmarok-clb");
    const std::string ini = dir / "placement.ini";
    MakeForm(300, 200);
    auto* placement = new TFormPlacement(Form);
    placement->SetIniFileName(ini);
    placement->SetOptions(0);
    auto* list = PlaceList(*this, {"a", "b", "c"});
    list->SetName("clbMenu");
    list->SetIniStorage(placement);
    EXPECT_EQ(list->IniStorageLink()->RootSection(), "TForm\\");
    list->SetState(0, cbChecked);
    list->SetState(2, cbGrayed);
    placement->RestorePlacement();   // nothing stored yet: states stay
    EXPECT_EQ(States(list), (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbGrayed}));
    list->SetState(0, cbChecked);
    list->SetState(2, cbGrayed);
    placement->SavePlacement();
    EXPECT_EQ(ReadFileBytes(ini), "[TForm]\r\nFormVersion=0\r\n"
                                  "[TForm\\TFormclbMenu]\r\nCount=3\r\nItem0=1\r\nItem1=0\r\nItem2=2\r\n");

    struct Case {
        const char* Name;
        TCheckKind Kind;
        int Items;
        std::string Stored;
        std::vector<TCheckBoxState> Want;
    } cases[] = {
        {"states as stored", ckCheckBoxes, 3, "Count=3\r\nItem0=2\r\nItem1=1\r\nItem2=0\r\n",
         {cbGrayed, cbChecked, cbUnchecked}},
        {"fewer stored than items", ckCheckBoxes, 3, "Count=1\r\nItem0=1\r\nItem1=1\r\n",
         {cbChecked, cbUnchecked, cbUnchecked}},
        {"missing keys read 0", ckCheckBoxes, 2, "Count=5\r\nItem1=1\r\n", {cbUnchecked, cbChecked}},
        {"radio stops at the first checked", ckRadioButtons, 3, "Count=3\r\nItem0=0\r\nItem1=1\r\nItem2=1\r\n",
         {cbUnchecked, cbChecked, cbUnchecked}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(ini, "[TForm\\TFormclbMenu]\r\n" + c.Stored);
        list->SetCheckKind(ckCheckBoxes);
        list->Items()->Clear();
        for (int i = 0; i < c.Items; ++i)
            list->Items()->Add(AnsiString(1, char('a' + i)));
        list->SetCheckKind(c.Kind);
        placement->RestorePlacement();
        EXPECT_EQ(States(list), c.Want);
    }
    // Unlinked or unnamed lists keep nothing.
    list->SetName("");
    WriteFileBytes(ini, "");
    placement->SavePlacement();
    EXPECT_EQ(ReadFileBytes(ini), "[TForm]\r\nFormVersion=0\r\n");
}

// ================================================================ file-name and directory edits
using FileEditParts = TFormTest;

TEST_F(FileEditParts, FileNameQuotingAndTheNameCheck)
{
    MakeForm(400, 100);
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 21);
    struct Case {
        AnsiString Value;
        AnsiString Text;       // "" with Raises
        AnsiString FileName;
        bool Raises;
    } cases[] = {
        {"C:\\Dane\\normy.txt", "C:\\Dane\\normy.txt", "C:\\Dane\\normy.txt", false},
        {"C:\\Moje dane\\normy.txt", "\"C:\\Moje dane\\normy.txt\"", "C:\\Moje dane\\normy.txt", false},
        {"\"C:\\Moje dane\\n.txt\"", "\"C:\\Moje dane\\n.txt\"", "C:\\Moje dane\\n.txt", false},
        {"", "", "", false},
        {"a<b.txt", "", "", true},
        {"a>b.txt", "", "", true},
        {"a|b.txt", "", "", true},
        {"a[1].txt", "", "", true},
        {"a]1.txt", "", "", true},
        {"a\"b.txt", "", "", true},
        {"   ", "", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        edit->SetText("before.txt");
        edit->DialogFiles()->Add("stale");
        if (c.Raises) {
            try {
                edit->SetFileName(c.Value);
                ADD_FAILURE() << "no exception";
            } catch (const EComboEditError& e) {
                EXPECT_EQ(e.Message(), "Invalid file name - " + c.Value);
            }
            EXPECT_EQ(edit->Text(), "before.txt");
            EXPECT_EQ(edit->DialogFiles()->Count(), 1);
        } else {
            edit->SetFileName(c.Value);
            EXPECT_EQ(edit->Text(), c.Text);
            EXPECT_EQ(edit->FileName(), c.FileName);
            EXPECT_EQ(edit->DialogFiles()->Count(), 0);
        }
        edit->DialogFiles()->Clear();
    }
    // A typed text: quoted runs lose their quotes; an unquoted path with blanks is the whole trimmed text.
    const std::pair<AnsiString, AnsiString> typed[] = {
        {"\"/tmp/a b.txt\" rest", "/tmp/a b.txt"},
        {"  \"/tmp/c d.txt\"", "/tmp/c d.txt"},
        {" /tmp/x y/z.txt  ", "/tmp/x y/z.txt"},
    };
    for (const auto& [text, name] : typed) {
        edit->SetText(text);
        EXPECT_EQ(edit->FileName(), name) << text;
    }
    // A file that exists under the exact text is that text.
    TTempDir dir("velmarok-fe");
    const std::string odd = dir / " lead.txt";
    WriteFileBytes(odd, "x");
    edit->SetText(odd);
    EXPECT_EQ(edit->FileName(), odd);
}

TEST_F(FileEditParts, FileDialogGetsTheSettingsAndTheNameParts)
{
    TTempDir dir("velmarok-fd");
    const AnsiString folder = dir.Path.string() + "/";
    MakeForm(400, 100);
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 21);
    edit->SetDefaultExt("txt");
    edit->SetFilter("Plik tekstowy (*.txt)|*.txt");
    edit->SetDialogOptions(ofHideReadOnly | ofFileMustExist);
    EXPECT_EQ(edit->DialogTitle(), "Browse");
    edit->SetFileName(folder + "stary plik.txt");
    std::vector<std::string> order;
    edit->OnButtonClick = [&](TObject*) { order.push_back("button"); };
    edit->OnBeforeDialog = [&](TObject*, AnsiString& name, bool&) {
        order.push_back("before");
        EXPECT_EQ(name, folder + "stary plik.txt");
    };
    edit->OnAfterDialog = [&](TObject*, AnsiString& name, bool& action) {
        order.push_back(action ? "after ok " + name : "after cancel " + name);
    };
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDCANCEL, [&](TDialogRequest& r) {
        order.push_back("dialog");
        auto* d = dynamic_cast<TOpenDialog*>(r.Dialog);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Filter(), "Plik tekstowy (*.txt)|*.txt");
        EXPECT_EQ(d->DefaultExt(), "txt");
        EXPECT_EQ(d->Title(), "Browse");
        EXPECT_EQ(d->Options(), TOpenOptions(ofHideReadOnly | ofFileMustExist));
        EXPECT_EQ(d->InitialDir(), folder);
        EXPECT_EQ(d->FileName(), "stary plik.txt");
    });
    edit->DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(order, (std::vector<std::string>{"button", "before", "dialog",
                                               "after cancel " + std::string(folder) + "stary plik.txt"}));
    // A cancelled dialog leaves the text; the existing folder became the initial one.
    EXPECT_EQ(edit->Text(), "\"" + folder + "stary plik.txt\"");
    EXPECT_EQ(edit->InitialDir(), folder);

    // Accepted: the text is the chosen name (quoted) and its folder is the initial one.
    order.clear();
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDOK,
                                 [](TDialogRequest& r) { r.Values = {"/tmp/inny katalog/nowy.txt"}; });
    edit->DoClick();
    EXPECT_EQ(edit->Text(), "\"/tmp/inny katalog/nowy.txt\"");
    EXPECT_EQ(edit->InitialDir(), "/tmp/inny katalog/");

    // Refused before the dialog: no dialog at all; a save kind asks a save dialog.
    edit->OnBeforeDialog = [](TObject*, AnsiString&, bool& action) { action = false; };
    edit->DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    edit->OnBeforeDialog = nullptr;
    edit->SetDialogKind(dkSave);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TSaveDialog", IDCANCEL);
    edit->DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
}

TEST_F(FileEditParts, AnyFileChosenInTheDialogOrDroppedIsTaken)
{
    // Names the typed-name check refuses are ordinary files: the dialog's choice and a dropped
    // file are taken as they are.
    TTempDir dir("velmarok-fb");
    MakeForm(400, 100);
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 21);
    struct Case { const char* Name; bool Quoted; } cases[] = {
        {"norma[1].txt", false}, {"wykaz [stary].txt", true}, {"a]b.txt", false}, {"zwykly.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const AnsiString path = dir / c.Name;
        WriteFileBytes(path, "x");
        edit->SetText("");
        bool after = false;
        edit->OnAfterDialog = [&](TObject*, AnsiString& name, bool& action) { after = action && name == path; };
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDOK,
                                     [&](TDialogRequest& r) { r.Values = {path}; });
        EXPECT_NO_THROW(edit->DoClick());
        EXPECT_TRUE(after);
        EXPECT_EQ(edit->Text(), c.Quoted ? "\"" + path + "\"" : path);
        EXPECT_EQ(edit->FileName(), path);
        EXPECT_EQ(edit->InitialDir(), dir.Path.string() + "/");
        edit->SetText("");
        EXPECT_NO_THROW(edit->DropFiles({path}));
        EXPECT_EQ(edit->FileName(), path);
    }
}

TEST_F(FileEditParts, MaskedFileEditKeepsItsTextBesideTheButton)
{
    MakeForm(400, 100);
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 5);
    // Too low a height is raised to the text's and the borders'.
    EXPECT_EQ(edit->Height(), edit->MinHeight());
    EXPECT_GT(edit->MinHeight(), 10);
    edit->SetHeight(21);
    edit->SetGlyphKind(gkDefault);
    Form->Show();
    // The text ends 2 pixels before the button.
    const TRect r = edit->EditRect();
    EXPECT_EQ(r.Right, edit->ClientWidth() - edit->ButtonWidth() - 2);
    edit->SetButtonWidth(40);
    EXPECT_EQ(edit->EditRect().Right, edit->ClientWidth() - 40 - 2);
    // The drop-down arrow's button is as wide as the system's vertical scroll bar.
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    edit->SetGlyphKind(gkDropDown);
    EXPECT_EQ(edit->ButtonWidth(), bar);
    EXPECT_EQ(edit->EditRect().Right, edit->ClientWidth() - bar - 2);
    edit->SetGlyphKind(gkDefault);

    // A mask shapes what is typed: two digits, "-", four letters or digits; a wrong character is refused.
    edit->SetEditMask("00-aaaa;1;_");
    edit->SetFocus();
    edit->SetSelStart(0);
    TypeText(edit, "12ab!c");
    EXPECT_EQ(edit->EditText(), "12-abc_");
    EXPECT_EQ(edit->Text(), "12-abc ");
    EXPECT_EQ(edit->FileName(), "12-abc");

    // The dialog follows the kind: a new one of the kind's class keeps the chosen file.
    edit->SetEditMask("");
    edit->Dialog()->SetFileName("wybrany.txt");
    edit->Dialog()->Files()->Add("wybrany.txt");
    edit->SetDialogKind(dkSavePicture);
    EXPECT_NE(dynamic_cast<TSavePictureDialog*>(edit->Dialog()), nullptr);
    EXPECT_EQ(edit->Dialog()->FileName(), "wybrany.txt");
    EXPECT_EQ(edit->Dialog()->Files()->Count(), 1);
    edit->SetFileEditStyle(fsComboBox);
    edit->HistoryList()->Add("/tmp/a.txt");
    edit->SetDialogKind(dkOpen);
    EXPECT_EQ(edit->FileEditStyle(), fsComboBox);
    EXPECT_EQ(edit->HistoryList()->Count(), 1);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDCANCEL);
    edit->DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    Form->Hide();
}

TEST_F(FileEditParts, ClickKeyRunsTheButtonUnlessItHasNoWidth)
{
    MakeForm(400, 100);
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 21);
    Form->Show();
    int clicks = 0;
    edit->OnButtonClick = [&](TObject*) { ++clicks; };
    edit->OnBeforeDialog = [](TObject*, AnsiString&, bool& action) { action = false; };
    edit->SetFocus();
    KeyDown(edit, VK_DOWN, ssAlt);
    EXPECT_EQ(clicks, 1);
    KeyDown(edit, VK_DOWN);
    EXPECT_EQ(clicks, 1);
    edit->SetReadOnly(true);
    KeyDown(edit, VK_DOWN, ssAlt);
    EXPECT_EQ(clicks, 1);
    edit->SetReadOnly(false);
    edit->SetButtonWidth(0);
    KeyDown(edit, VK_DOWN, ssAlt);
    EXPECT_EQ(clicks, 1);
    Form->Hide();
}

TEST_F(FileEditParts, DirectoryDialogStartsFromAnExistingFolder)
{
    TTempDir dir("velmarok-dd");
    const AnsiString existing = dir.Path.string();
    MakeForm(400, 100);
    auto* edit = Place<TDirectoryEdit>(10, 10, 300, 21);
    struct Case {
        const char* Name;
        AnsiString Text, InitialDir;
        TDirDialogKind Kind;
        bool Multiple;
        AnsiString Start;    // the folder the dialog starts from
        AnsiString Chosen;   // "" cancels
        AnsiString Want;
    } cases[] = {
        {"existing text", existing, "", dkVCL, false, existing, "/var", "/var"},
        {"empty text takes the initial folder", "", existing, dkVCL, false, existing, "/usr", "/usr"},
        {"empty text, no initial folder", "", "", dkVCL, false, "\\", "/opt", "/opt"},
        {"missing folder starts at the root", "/nie/ma/takiego", existing, dkWin32, false, "\\", "/srv", "/srv"},
        {"cancel keeps the text", existing, "", dkWin32, false, existing, "", existing},
        {"several folders", "/tmp", "", dkVCL, true, "/tmp", "/var", "/tmp;/var"},
        {"several folders, first one", "", "", dkVCL, true, "\\", "/var", "/var"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        edit->SetText(c.Text);
        edit->SetInitialDir(c.InitialDir);
        edit->SetDialogKind(c.Kind);
        edit->SetMultipleDirs(c.Multiple);
        bool afterAction = true;
        edit->OnAfterDialog = [&](TObject*, AnsiString&, bool& action) { afterAction = action; };
        AnsiString start;
        ScriptDialogs().ExpectDialog(dkCommonDialog, "SelectDirectory", c.Chosen.empty() ? IDCANCEL : IDOK,
                                     [&](TDialogRequest& r) {
                                         start = r.Values.empty() ? AnsiString() : r.Values[0];
                                         r.Values = {c.Chosen};
                                     });
        edit->DoClick();
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(start, c.Start);
        EXPECT_EQ(edit->Text(), c.Want);
        EXPECT_EQ(afterAction, !c.Chosen.empty());
    }
    edit->OnAfterDialog = nullptr;   // it wrote to a flag of the loop above
    // A chosen folder that exists becomes the initial one.
    edit->SetText("");
    edit->SetMultipleDirs(false);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "SelectDirectory", IDOK,
                                 [&](TDialogRequest& r) { r.Values = {existing}; });
    edit->DoClick();
    EXPECT_EQ(edit->InitialDir(), existing);
}

TEST_F(FileEditParts, FolderBrowserRootsSelectionsAndKinds)
{
    TTempDir dir("velmarok-browse");
    const AnsiString existing = dir.Path.string();
    TBrowseFolderDlg dlg(nullptr);
    std::vector<std::string> seen;
    dlg.OnSelChanged = [&](TObject*) { seen.push_back(dlg.SelectedPath()); };
    struct Case {
        const char* Name;
        TBrowseKind Kind;
        bool Desktop;
        AnsiString Chosen;
        bool Ok;
        AnsiString Want;
    } cases[] = {
        {"folder under the desktop", bfFolders, true, existing + "\\", true, existing},
        {"folder from the drives", bfFolders, false, existing, true, existing},
        {"no such folder cannot be taken", bfFolders, true, existing + "/brak", false, ""},
        {"a computer by its name", bfComputers, true, "/serwer-norm/", true, "serwer-norm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        dlg.SetBrowseKind(c.Kind);
        dlg.SetDesktopRoot(c.Desktop);
        dlg.SetFolderName("");
        seen.clear();
        AnsiString root;
        ScriptDialogs().ExpectDialog(dkCommonDialog, "SelectDirectory", IDOK, [&](TDialogRequest& r) {
            root = r.Text;
            r.Values = {c.Chosen};
        });
        EXPECT_EQ(dlg.Execute(), c.Ok);
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(seen.size(), 1u);
        EXPECT_EQ(dlg.FolderName(), c.Want);
        // Only folders under the desktop start from it; the others from the top.
        EXPECT_EQ(root == "/", !(c.Kind == bfFolders && c.Desktop));
    }
}

TEST_F(FileEditParts, DroppedFilesByEditKind)
{
    TTempDir dir("velmarok-drop");
    const std::string file = dir / "plik.txt";
    WriteFileBytes(file, "x");
    const AnsiString folder = dir.Path.string() + "/";
    MakeForm(400, 100);
    auto* names = Place<TFilenameEdit>(10, 10, 300, 21);
    auto* dirs = Place<TDirectoryEdit>(10, 40, 300, 21);
    int drops = 0;
    names->OnDropFiles = [&](TObject*) { ++drops; };
    dirs->OnDropFiles = [&](TObject*) { ++drops; };

    names->DropFiles({"/tmp/a b.txt", "/tmp/c.txt", "/tmp/d.txt"});
    EXPECT_EQ(names->Text(), "\"/tmp/a b.txt\"");
    EXPECT_EQ(names->DialogFiles()->Count(), 0);
    names->SetDialogOptions(ofHideReadOnly | ofAllowMultiSelect);
    names->DropFiles({"/tmp/a.txt", "/tmp/b.txt"});
    EXPECT_EQ(names->FileName(), "/tmp/a.txt");
    EXPECT_EQ(Items(*names->DialogFiles()), (std::vector<AnsiString>{"/tmp/a.txt", "/tmp/b.txt"}));
    const AnsiString longToken(1000, 'q');
    names->DropFiles({"/tmp/" + longToken});
    EXPECT_EQ(names->FileName(), "/tmp/" + longToken);

    // A dropped file names its folder on the directory edit.
    dirs->DropFiles({file, "/var"});
    EXPECT_EQ(dirs->Text(), folder);
    dirs->SetMultipleDirs(true);
    dirs->DropFiles({"/var", file});
    EXPECT_EQ(dirs->Text(), folder + ";/var;" + folder);
    EXPECT_EQ(drops, 5);
}

TEST_F(FileEditParts, LongNamesOfSeveralFoldersSkipEmptyParts)
{
    TTempDir dir("velmarok-ln");
    std::filesystem::create_directory(dir.Path / "Katalog");
    MakeForm(400, 100);
    auto* edit = Place<TDirectoryEdit>(10, 10, 300, 21);
    const AnsiString root = dir.Path.string();
    edit->SetMultipleDirs(true);
    edit->SetText(root + "\\katalog;;" + root + "\\Katalog;");
    EXPECT_EQ(edit->LongName(), root + "\\Katalog;" + root + "\\Katalog");
    edit->SetMultipleDirs(false);
    edit->SetText(root + "\\KATALOG");
    EXPECT_EQ(edit->LongName(), root + "\\Katalog");
    edit->SetText(root + "\\brak");
    EXPECT_EQ(edit->ShortName(), root + "\\");
}

// ================================================================ form placement
namespace {

struct PlacementParts : TFormTest {
    TTempDir Dir{"velmarok-fp"};
    std::string Ini = Dir / "forma.ini";
    TFormPlacement* Placement = nullptr;
    void SetUp() override
    {
        MakeForm(300, 200);
        Placement = new TFormPlacement(Form);
        Placement->SetIniFileName(Ini);
    }
    AnsiString Read(const AnsiString& Section, const AnsiString& Ident)
    {
        TIniFile f(Ini);
        return f.ReadString(Section, Ident, "(none)");
    }
};

}  // namespace

TEST_F(PlacementParts, SavedKeysAndValuesByWindowState)
{
    const AnsiString res = ResolutionSuffix();
    EXPECT_EQ(res, Format("(%dx%d)", {Screen->Width(), Screen->Height()}));
    EXPECT_EQ(Placement->Options(), TPlacementOptions(fpState | fpPosition));
    Form->SetBounds(40, 50, 320, 240);
    // Not restored yet: an active placement writes nothing.
    Placement->SavePlacement();
    EXPECT_FALSE(std::filesystem::exists(Ini));

    Form->Show();   // restores (nothing stored)
    Form->SetBounds(40, 50, 320, 240);
    struct Case {
        TWindowState State;
        const char* ShowCmd;
    } cases[] = {{wsNormal, "1"}, {wsMaximized, "3"}, {wsMinimized, "2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ShowCmd);
        Form->SetWindowState(c.State);
        Placement->SavePlacement();
        EXPECT_EQ(Read("TForm", "FormVersion"), "0");
        EXPECT_EQ(Read("TForm", "Flags"), "0");
        EXPECT_EQ(Read("TForm", "ShowCmd"), c.ShowCmd);
        EXPECT_EQ(Read("TForm", "PixelsPerInch"), IntToStr(Screen->PixelsPerInch()));
        EXPECT_EQ(Read("TForm", "NormPos"), "40,50,360,290");
        EXPECT_EQ(Read("TForm", "NormPos" + res), "40,50,360,290");
        EXPECT_NE(Read("TForm", "MinMaxPos"), "(none)");
        EXPECT_NE(Read("TForm", "MinMaxPos" + res), "(none)");
        EXPECT_EQ(Read("TForm", "Visible"), "0");
        Form->SetWindowState(wsNormal);
    }
    // A hidden form keeps its state; saved while destroyed, "Visible" is 1.
    Form->SetWindowState(wsMaximized);
    Form->Hide();
    Placement->SavePlacement();
    EXPECT_EQ(Read("TForm", "ShowCmd"), "3");
    Form->Show();   // restored maximised, not saved since
    EXPECT_EQ(Form->WindowState(), wsMaximized);
    Form->Hide();
    delete Form;   // saved in the form's own section
    Form = nullptr;
    EXPECT_EQ(Read("TForm", "Visible"), "1");
    EXPECT_EQ(Read("TCustomForm", "Visible"), "(none)");
}

TEST_F(PlacementParts, RestoredStateAndPosition)
{
    const AnsiString res = ResolutionSuffix();
    struct Case {
        const char* Name;
        std::string Stored;
        TWindowState Designed;
        TBorderStyle Border;
        TWindowState WantState;
        TRect WantBounds;
    } cases[] = {
        {"normal", "ShowCmd=1\r\nNormPos=20,30,220,180\r\n", wsMaximized, bsSizeable, wsNormal,
         TRect(20, 30, 220, 180)},
        {"restore command", "ShowCmd=9\r\n", wsMaximized, bsSizeable, wsNormal, TRect(10, 10, 310, 210)},
        {"maximised", "ShowCmd=3\r\n", wsNormal, bsSizeable, wsMaximized, TRect()},
        {"minimised", "ShowCmd=2\r\n", wsNormal, bsSizeable, wsMinimized, TRect()},
        {"minimised without activation", "ShowCmd=7\r\n", wsNormal, bsSizeable, wsMinimized, TRect()},
        {"no command gives normal", "NormPos=20,30,220,180\r\n", wsMaximized, bsSizeable, wsNormal,
         TRect(20, 30, 220, 180)},
        {"fixed border keeps the size", "ShowCmd=1\r\nNormPos=20,30,500,500\r\n", wsNormal, bsSingle, wsNormal,
         TRect(20, 30, 320, 230)},
        {"missing words keep the form's", "ShowCmd=1\r\nNormPos=25\r\n", wsNormal, bsSizeable, wsNormal,
         TRect(25, 10, 310, 210)},
        {"resolution key first", "ShowCmd=1\r\nNormPos=20,30,220,180\r\nNormPos" + std::string(res) +
         "=60,70,260,270\r\n", wsNormal, bsSizeable, wsNormal, TRect(60, 70, 260, 270)},
        {"other pixels per inch", "ShowCmd=1\r\nPixelsPerInch=120\r\nNormPos=20,30,220,180\r\n", wsNormal,
         bsSizeable, wsNormal, TRect(10, 10, 310, 210)},
        {"empty normal rectangle", "ShowCmd=1\r\nNormPos=20,30,20,180\r\n", wsNormal, bsSizeable, wsNormal,
         TRect(10, 10, 310, 210)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(Ini, "[TForm]\r\n" + c.Stored);
        Form->SetBorderStyle(c.Border);
        Form->SetWindowState(wsNormal);
        Form->SetBounds(10, 10, 300, 200);
        Form->SetWindowState(c.Designed);
        Placement->RestorePlacement();
        EXPECT_EQ(Form->WindowState(), c.WantState);
        if (c.WantState == wsNormal) {
            EXPECT_EQ(Form->BoundsRect(), c.WantBounds);
        }
    }
    // A centred form is not centred again once a position was applied.
    Form->SetWindowState(wsNormal);
    Form->SetPosition(poScreenCenter);
    WriteFileBytes(Ini, "[TForm]\r\nShowCmd=1\r\nNormPos=20,30,220,180\r\n");
    Placement->RestorePlacement();
    EXPECT_EQ(Form->Position(), poDesigned);
    // Without fpState only the position is read.
    Placement->SetOptions(fpPosition);
    WriteFileBytes(Ini, "[TForm]\r\nShowCmd=3\r\nNormPos=21,31,221,181\r\n");
    Placement->RestorePlacement();
    EXPECT_EQ(Form->WindowState(), wsNormal);
    EXPECT_EQ(Form->Left(), 21);
}

TEST_F(PlacementParts, PositionsSavedOffTheScreenComeBackOnIt)
{
    const TRect wa = Screen->WorkAreaRect();
    auto at = [](int l, int t, int r, int b) { return Format("%d,%d,%d,%d", {l, t, r, b}); };
    struct Case {
        const char* Name;
        AnsiString NormPos;
        TBorderStyle Border;
        TRect Want;
    } cases[] = {
        {"beyond the right and bottom", "3800,2800,4100,3000", bsSizeable,
         TRect(wa.Right - 300, wa.Bottom - 200, wa.Right, wa.Bottom)},
        {"before the left and top", "-900,-700,-600,-500", bsSizeable, TRect(wa.Left, wa.Top, wa.Left + 300, wa.Top + 200)},
        {"half over the right edge", at(wa.Right - 100, wa.Top + 40, wa.Right + 100, wa.Top + 140), bsSizeable,
         TRect(wa.Right - 200, wa.Top + 40, wa.Right, wa.Top + 140)},
        {"fixed border keeps its size", "3800,2800,3810,2810", bsSingle,
         TRect(wa.Right - 300, wa.Bottom - 200, wa.Right, wa.Bottom)},
        {"on the screen stays", at(wa.Left + 20, wa.Top + 30, wa.Left + 220, wa.Top + 180), bsSizeable,
         TRect(wa.Left + 20, wa.Top + 30, wa.Left + 220, wa.Top + 180)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(Ini, "[TForm]\r\nShowCmd=1\r\nNormPos=" + c.NormPos + "\r\n");
        Form->SetBorderStyle(c.Border);
        Form->SetBounds(10, 10, 300, 200);
        Placement->RestorePlacement();
        EXPECT_EQ(Form->BoundsRect(), c.Want);
    }

    // The main form saved minimised comes back normal, then the program's window is minimised.
    Form->SetBorderStyle(bsSizeable);
    Application->FormCreated(Form);
    ASSERT_EQ(Application->MainForm(), Form);
    struct State { const char* ShowCmd; TWindowState First, Then; } states[] = {
        {"2", wsNormal, wsMinimized}, {"7", wsNormal, wsMinimized}, {"3", wsMaximized, wsMaximized},
        {"1", wsNormal, wsNormal},
    };
    for (const State& s : states) {
        SCOPED_TRACE(s.ShowCmd);
        Form->SetWindowState(wsNormal);
        Form->SetBounds(10, 10, 300, 200);
        WriteFileBytes(Ini, "[TForm]\r\nShowCmd=" + std::string(s.ShowCmd) + "\r\nNormPos=20,30,220,180\r\n");
        Placement->RestorePlacement();
        EXPECT_EQ(Form->WindowState(), s.First);
        EXPECT_EQ(Form->RestoredBounds(), TRect(20, 30, 220, 180));
        Application->ProcessMessages();
        EXPECT_EQ(Form->WindowState(), s.Then);
    }
}

TEST_F(PlacementParts, MaximisedFormRoundTripsItsNormalBounds)
{
    Form->Show();
    Form->SetBounds(40, 50, 320, 240);
    SetWindowStateByUser(Form, wsMaximized);
    ASSERT_EQ(Form->WindowState(), wsMaximized);
    EXPECT_EQ(Form->RestoredBounds(), TRect(40, 50, 360, 290));
    Placement->SavePlacement();
    EXPECT_EQ(Read("TForm", "ShowCmd"), "3");
    EXPECT_EQ(Read("TForm", "Flags"), "0");
    EXPECT_EQ(Read("TForm", "NormPos"), "40,50,360,290");
    // Restored on showing, the sizeable form's maximised frame sits just off the screen.
    EXPECT_EQ(Read("TForm", "MinMaxPos"),
              Format("-1,-1,%d,%d", {-GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME)}));
    delete Form;

    // A new form comes back maximised and is restored to the stored normal bounds.
    MakeForm(200, 150);
    Placement = new TFormPlacement(Form);
    Placement->SetIniFileName(Ini);
    Form->Show();
    EXPECT_EQ(Form->WindowState(), wsMaximized);
    EXPECT_EQ(Form->RestoredBounds(), TRect(40, 50, 360, 290));
    SetWindowStateByUser(Form, wsNormal);
    EXPECT_EQ(Form->BoundsRect(), TRect(40, 50, 360, 290));

    // "Flags" and the maximised position of "MinMaxPos" are read back and written again.
    WriteFileBytes(Ini, "[TForm]\r\nFlags=2\r\nShowCmd=2\r\nMinMaxPos=-1,-1,-4,-4\r\nNormPos=20,30,220,180\r\n");
    Placement->RestorePlacement();
    EXPECT_EQ(Form->WindowState(), wsMinimized);
    EXPECT_TRUE(Form->RestoresMaximized());
    EXPECT_EQ(Form->MaximizedPos(), TPoint(-4, -4));
    Placement->SavePlacement();
    EXPECT_EQ(Read("TForm", "Flags"), "2");
    EXPECT_EQ(Read("TForm", "MinMaxPos"), "-1,-1,-4,-4");
    EXPECT_EQ(Read("TForm", "NormPos"), "20,30,220,180");
}

TEST_F(PlacementParts, VersionLinksAndTheActiveControl)
{
    auto* first = Place<TEdit>(10, 10, 100, 21);
    first->SetName("edFirst");
    auto* second = Place<TEdit>(10, 40, 100, 21);
    second->SetName("edSecond");
    Placement->SetOptions(fpState | fpPosition | fpActiveControl);
    Placement->SetVersion(2);
    std::vector<std::string> log;
    TIniLink link;
    link.OnSave = [&](TObject*) { log.push_back("link save"); };
    link.OnLoad = [&](TObject*) { log.push_back("link load"); };
    EXPECT_EQ(link.RootSection(), "");
    link.SetStorage(Placement);
    EXPECT_EQ(link.RootSection(), "TForm\\");
    Placement->SetIniSection("Okno");
    EXPECT_EQ(link.RootSection(), "Okno\\");
    Placement->OnSavePlacement = [&](TObject*) { log.push_back("saved"); };
    Placement->OnRestorePlacement = [&](TObject*) { log.push_back("restored"); };

    // An older stored version restores nothing; saving afterwards writes the new one.
    WriteFileBytes(Ini, "[Okno]\r\nFormVersion=1\r\nShowCmd=1\r\nNormPos=20,30,220,180\r\nActiveControl=edSecond\r\n");
    Form->Show();
    EXPECT_EQ(Form->Left(), 10);
    EXPECT_TRUE(log.empty());
    first->SetFocus();
    Form->SetActiveControl(first);
    Placement->SavePlacement();
    EXPECT_EQ(log, (std::vector<std::string>{"link save", "saved"}));
    EXPECT_EQ(Read("Okno", "FormVersion"), "2");
    EXPECT_EQ(Read("Okno", "ActiveControl"), "edFirst");

    log.clear();
    {
        TIniFile f(Ini);
        f.WriteString("Okno", "ActiveControl", "edSecond");
        f.WriteString("Okno", "NormPos", "20,30,220,180");
        f.WriteString("Okno", "NormPos" + ResolutionSuffix(), "20,30,220,180");
    }
    Placement->RestorePlacement();
    EXPECT_EQ(log, (std::vector<std::string>{"link load", "restored"}));
    EXPECT_EQ(Form->Left(), 20);
    EXPECT_EQ(Form->ActiveControl(), second);

    // Closing saves; the links go with their storage.
    log.clear();
    CloseWindowByUser(Form);
    EXPECT_EQ(log, (std::vector<std::string>{"link save", "saved"}));
    link.SetStorage(nullptr);
    EXPECT_EQ(link.IniObject(), nullptr);
}

TEST_F(PlacementParts, QuotedValuesRoundTripThroughAnIniFile)
{
    const AnsiString values[] = {"\"cytat\"", "'apostrof'", "\"", "\"a'", "zwykły", "", "\"\""};
    {
        TIniFile f(Ini);
        for (std::size_t i = 0; i < std::size(values); ++i)
            IniWriteString(&f, "S", "K" + IntToStr(int(i)), values[i]);
    }
    TIniFile f(Ini);
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(IniReadString(&f, "S", "K" + IntToStr(int(i)), "(none)"), values[i]) << values[i];
    EXPECT_NE(ReadFileBytes(Ini).find("K0=\"\"cytat\"\""), std::string::npos);
    // Other objects are left alone.
    TStringList notAStore;
    IniWriteString(&notAStore, "S", "K", "v");
    EXPECT_EQ(IniReadInteger(&notAStore, "S", "K", 7), 7);
}

TEST_F(PlacementParts, DefaultSectionNames)
{
    auto* panel = Place<TPanel>(0, 0, 100, 100);
    panel->SetName("pnlGora");
    auto* edit = new TEdit(Form);
    edit->SetName("edNazwa");
    edit->SetParent(panel);
    Placement->SetName("fpOkno");
    TPanel orphanParent(nullptr);
    orphanParent.SetName("pnlLuzny");
    TEdit orphan(nullptr);
    orphan.SetName("edLuzny");
    orphan.SetParent(&orphanParent);
    EXPECT_EQ(GetDefaultSection(nullptr), "");
    EXPECT_EQ(GetDefaultSection(Form), "TForm");
    EXPECT_EQ(GetDefaultSection(edit), "TFormedNazwa");
    EXPECT_EQ(GetDefaultSection(Placement), "TForm.fpOkno");
    EXPECT_EQ(GetDefaultSection(&orphan), "pnlLuznyedLuzny");
    orphan.SetParent(nullptr);
    EXPECT_EQ(Placement->IniSection(), "TForm");
}

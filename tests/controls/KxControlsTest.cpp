#include <gtest/gtest.h>

#include <vector>

#include "controls/KXCtrls.h"
#include "controls/Placement.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"
#include "tests/platform/gui/Pixels.h"

namespace {

std::unique_ptr<TKxCheckListBox> MakeList(TForm* form, std::initializer_list<const char*> items)
{
    auto list = std::make_unique<TKxCheckListBox>(nullptr);
    list->SetParent(form);
    for (const char* s : items)
        list->Items()->Add(s);
    return list;
}

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

using CheckListBox = TPlainFormTest;

TEST_F(CheckListBox, RadioModeKeepsExactlyOneChecked)
{
    auto list = MakeList(form, {"a", "b", "c"});
    list->SetAllowGrayed(true);
    list->SetCheckKind(ckRadioButtons);
    EXPECT_FALSE(list->AllowGrayed());
    EXPECT_EQ(list->CheckedIndex(), 0);   // the first is checked when none is
    list->SetChecked(2, true);
    EXPECT_EQ(list->CheckedIndex(), 2);
    EXPECT_FALSE(list->Checked(0));
    list->SetChecked(2, false);           // the only checked item stays checked
    EXPECT_TRUE(list->Checked(2));
    list->ToggleItem(1);
    EXPECT_EQ(list->CheckedIndex(), 1);
    std::vector<int> changes;
    list->OnStateChange = [&](TObject*, int i) { changes.push_back(i); };
    list->SetCheckedIndex(-5);
    EXPECT_EQ(list->CheckedIndex(), 0);
    EXPECT_EQ(changes, (std::vector<int>{0}));

    auto empty = MakeList(form, {});
    empty->SetCheckKind(ckRadioButtons);
    EXPECT_EQ(empty->CheckedIndex(), -1);
}

TEST_F(CheckListBox, ExchangeAndMoveKeepStatesWithTheirItems)
{
    auto list = MakeList(form, {"a", "b", "c"});
    list->SetState(0, cbChecked);
    list->SetItemEnabled(1, false);
    list->SetState(2, cbGrayed);
    list->Items()->Exchange(0, 2);
    EXPECT_EQ(list->Items()->Strings(0), "c");
    EXPECT_EQ(list->State(0), cbGrayed);
    EXPECT_EQ(list->State(2), cbChecked);
    list->Items()->Move(1, 0);
    EXPECT_EQ(list->Items()->Strings(0), "b");
    EXPECT_FALSE(list->ItemEnabled(0));
    EXPECT_TRUE(list->ItemEnabled(1));
    EXPECT_EQ(list->State(1), cbGrayed);
    EXPECT_THROW(list->State(3), EStringListError);

    // "+" checks every enabled item, "-" unchecks them.
    list->SetItemEnabled(0, true);
    list->SetState(0, cbUnchecked);
    list->SetItemEnabled(0, false);
    list->Perform(WM_CHAR, WPARAM('+'), 0);
    EXPECT_EQ(list->State(0), cbUnchecked);
    EXPECT_EQ(list->State(1), cbChecked);
    EXPECT_EQ(list->State(2), cbChecked);
}

// A check list box's form, 300 x 200, not shown yet.
struct KxCheckListBox : TFormTest {
    void SetUp() override { MakeForm(300, 200); }
};

TEST_F(KxCheckListBox, StripCellsFollowStateKindAndEnabling)
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

TEST_F(KxCheckListBox, UserToggleCycleByKindAndAllowGrayed)
{
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
    // A disabled item does not toggle, nor does an index outside the list; neither reports a click.
    auto* list = PlaceList(*this, {"a", "b"});
    int clicks = 0;
    list->OnClickCheck = [&](TObject*) { ++clicks; };
    list->SetState(1, cbChecked);
    list->SetItemEnabled(1, false);
    list->ToggleItem(1);
    list->ToggleItem(-1);
    EXPECT_EQ(list->State(1), cbChecked);
    EXPECT_EQ(clicks, 0);
}

TEST_F(KxCheckListBox, FreshItemsReadUncheckedEnabledAndSilent)
{
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

TEST_F(KxCheckListBox, KeysToggleTheCurrentItemAndSetAll)
{
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

TEST_F(KxCheckListBox, OnlyAPressInTheCheckAreaToggles)
{
    Form->SetBounds(10, 10, 300, 220);
    auto* list = PlaceList(*this, {"a", "b", "c"});
    Form->Show();
    std::vector<std::string> log;
    int downX = -1;
    list->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int) { log.push_back("down"); downX = X; };
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
    } cases[] = {{0, true}, {5, true}, {17, true}, {18, false}, {60, false}};
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

TEST_F(KxCheckListBox, TwoColumnsRowsOfTheFontAndTabStops)
{
    Form->SetBounds(10, 10, 340, 200);
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

    // With IntegralHeight the list shows whole rows only; a larger ItemHeight makes the rows
    // of an owner-drawn fixed list (the standard style keeps the font's).
    list->SetIntegralHeight(true);
    EXPECT_EQ((list->Height() - 4) % row, 0);
    EXPECT_LE(list->Height(), 100);
    list->SetItemHeight(row + 7);
    EXPECT_EQ(list->ItemRect(1).Height(), row);
    list->SetStyle(lbOwnerDrawFixed);
    EXPECT_EQ(list->ItemRect(1).Height(), row + 7);
    Form->Hide();
}

TEST_F(KxCheckListBox, AssigningTheOwnerDrawingEventsMeasuresTheItemsAgain)
{
    auto* list = PlaceList(*this, {"Wykonanie z uszczelką i pierścieniem dociskowym", "a"});
    list->SetStyle(lbOwnerDrawFixed);
    Form->Show();
    const int text = list->HorizontalExtent();
    ASSERT_GT(text, 200);
    const int area = list->CheckAreaWidth();
    const std::function<void(TWinControl*, int, TRect, TOwnerDrawState)> draw = [](auto...) {};
    const std::function<void(TWinControl*, int, int&)> width = [](TWinControl*, int I, int& W) { W = 40 - I; };
    // Each step's events and the extent it leaves: owner widths need both events.
    struct Step { bool Draw, Width; int Extent; };
    Step steps[] = {{true, false, text}, {true, true, 40 + area}, {false, true, text}, {true, true, 40 + area},
                 {true, false, text}};
    for (const Step& s : steps) {
        SCOPED_TRACE(int(s.Draw) * 10 + int(s.Width));
        if (s.Draw != bool(list->OnDrawItem))
            list->OnDrawItem = s.Draw ? draw : decltype(draw)();
        if (s.Width != bool(list->OnGetItemWidth))
            list->OnGetItemWidth = s.Width ? width : decltype(width)();
        EXPECT_EQ(list->HorizontalExtent(), s.Extent);
    }
}

TEST_F(KxCheckListBox, AssigningItemsFromAnotherListCopiesStates)
{
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

TEST_F(KxCheckListBox, ItemObjectsAreTheCallersAndEveryItemKeepsItsOwnState)
{
    TObject mine;
    TObject* const number = reinterpret_cast<TObject*>(std::intptr_t(12345));
    auto* a = PlaceList(*this, {"a", "b", "c"});
    a->Items()->SetObjects(0, &mine);
    a->Items()->SetObjects(1, number);
    a->SetChecked(0, true);
    a->SetState(1, cbGrayed);
    a->SetItemEnabled(2, false);
    auto* assigned = PlaceList(*this, {});
    assigned->Items()->Assign(a->Items());
    auto* added = PlaceList(*this, {});
    added->Items()->AddStrings(a->Items());
    auto* sorted = PlaceList(*this, {"m", "z"});
    sorted->SetSorted(true);
    sorted->SetChecked(0, true);
    sorted->Items()->AddObject("b", &mine);
    auto* copied = PlaceList(*this, {});
    copied->SetSorted(true);
    auto* source = PlaceList(*this, {"z", "a"});
    source->SetChecked(0, true);
    copied->SetItems(source->Items());
    assigned->SetChecked(0, false);
    added->SetChecked(0, false);
    delete a;
    a = nullptr;
    copied->Items()->Exchange(0, 1);
    struct Case {
        const char* Name;
        TKxCheckListBox* List;
        std::vector<TObject*> Objects;
        std::vector<TCheckBoxState> States;
    } cases[] = {
        {"assigned", assigned, {&mine, number, nullptr}, {cbUnchecked, cbUnchecked, cbUnchecked}},
        {"added", added, {&mine, number, nullptr}, {cbUnchecked, cbUnchecked, cbUnchecked}},
        {"sorted insert", sorted, {&mine, nullptr, nullptr}, {cbUnchecked, cbChecked, cbUnchecked}},
        {"copied into a sorted list", copied, {nullptr, nullptr}, {cbChecked, cbUnchecked}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TObject*> objects;
        for (int i = 0; i < c.List->Items()->Count(); ++i)
            objects.push_back(c.List->Items()->Objects(i));
        EXPECT_EQ(objects, c.Objects);
        EXPECT_EQ(States(c.List), c.States);
    }
    EXPECT_TRUE(assigned->ItemEnabled(2));
    sorted->SetState(2, cbGrayed);
    EXPECT_EQ(sorted->Items()->IndexOfObject(&mine), 0);
}

TEST_F(KxCheckListBox, StandardStyleRowsPlacesAndTheFocusFrame)
{
    auto* list = PlaceList(*this, {"a", "b", "c"});
    list->SetChecked(0, true);
    Form->Show();
    list->SetFocus();
    list->SetItemIndex(0);
    ProcessPendingMessages();
    EXPECT_EQ(list->Style(), lbStandard);
    TBitmap probe;
    probe.Canvas()->SetFont(list->Font());
    const TRect last = list->ItemRect(2);
    EXPECT_EQ(last.Height(), std::max(probe.Canvas()->TextHeight("Wg"), 13));
    // Points outside the client area name no item; Count's place lies below the last item.
    const struct {
        TPoint At;
        int Item;
    } points[] = {{TPoint(5, last.Top + 2), 2}, {TPoint(5, last.Bottom + 2), 3}, {TPoint(-3, last.Top + 2), -1},
                  {TPoint(list->ClientWidth() + 2, 2), -1}, {TPoint(5, list->ClientHeight() + 5), -1}};
    for (const auto& p : points)
        EXPECT_EQ(list->ItemAtPos(p.At, false), p.Item) << p.At.X << "," << p.At.Y;
    EXPECT_EQ(list->ItemRect(3), TRect(last.Left, last.Bottom, last.Right, last.Bottom + last.Height()));
    EXPECT_EQ(list->ItemRect(4), TRect());
    // The check is drawn in the standard style too; the focus frame is round the text only.
    std::unique_ptr<TBitmap> shot = GrabControl(list);
    const TRect first = list->ItemRect(0);
    int ink = 0, frameInCheckArea = 0;
    for (int y = first.Top; y < first.Bottom; ++y) {
        for (int x = first.Left; x < first.Left + 18; ++x)
            ink += shot->Canvas()->Pixels(x + 1, y + 1) == clBlack;
        for (int x = first.Left; x < first.Left + 2; ++x)
            frameInCheckArea += shot->Canvas()->Pixels(x + 1, y + 1) != ColorToRGB(clWindow);
    }
    EXPECT_GT(ink, 5);
    EXPECT_EQ(frameInCheckArea, 0);
}

TEST_F(KxCheckListBox, ANewWindowKeepsTheTopItemAndAutomaticDragsTakeThePressFirst)
{
    auto* list = PlaceList(*this, {});
    list->SetBounds(10, 10, 160, 60);
    for (int i = 0; i < 20; ++i)
        list->Items()->Add("pozycja " + IntToStr(i));
    Form->Show();
    list->SetItemIndex(3);
    list->SetTopIndex(2);
    list->RecreateWnd();
    list->HandleNeeded();
    EXPECT_EQ(list->TopIndex(), 2);
    EXPECT_EQ(list->ItemIndex(), 3);
    // A press on an item chooses it (in the check area also checks it), then the item may be dragged.
    list->SetDragMode(dmAutomatic);
    list->SetTopIndex(0);
    AdvanceInputClock(1000);
    int drags = 0;
    list->OnStartDrag = [&](TObject*, TDragObject*&) { ++drags; };
    const TRect r = list->ItemRect(1);
    Click(list, r.Left + 5, r.Top + r.Height() / 2);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_TRUE(list->Checked(1));
    EXPECT_EQ(drags, 1);
    // In a multi-select list a press on a chosen item drags the choice as it is.
    list->SetMultiSelect(true);
    list->ClearSelection();
    list->SetSelected(0, true);
    list->SetSelected(2, true);
    AdvanceInputClock(1000);
    const TRect third = list->ItemRect(2);
    Click(list, third.Left + 40, third.Top + 2);
    EXPECT_TRUE(list->Selected(0) && list->Selected(2));
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_EQ(drags, 2);
    Form->Hide();
}

TEST_F(KxCheckListBox, RightToLeftAlignmentPutsTheCheckAreaOnTheRight)
{
    Form->SetBounds(10, 10, 300, 220);
    auto* list = PlaceList(*this, {"a", "b", "c"});
    list->SetBiDiMode(bdRightToLeft);
    list->SetChecked(0, true);
    Form->Show();
    int downX = -1;
    list->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int) { downX = X; };
    const TRect r = list->ItemRect(2);
    const int y = r.Top + r.Height() / 2;
    AdvanceInputClock(2000);
    Click(list, 60, y);
    const int frame = 60 - downX;
    struct Case { int FromRight; bool Toggles; };
    const Case cases[] = {{1, true}, {17, true}, {18, false}, {60, false}, {r.Width() - 1, false}};
    for (const auto& c : cases) {
        AdvanceInputClock(2000);
        const bool was = list->Checked(2);
        Click(list, frame + r.Right - c.FromRight, y);
        EXPECT_EQ(list->Checked(2), c.Toggles ? !was : was) << c.FromRight;
    }
    // The check is drawn on the right; the text ends 2 pixels before the check area.
    std::unique_ptr<TBitmap> shot = GrabControl(list);
    const TRect first = list->ItemRect(0);
    int check = 0, textEnd = 0;   // black pixels of the check area, the text's last dark column
    for (int yy = first.Top; yy < first.Bottom; ++yy)
        for (int x = first.Left; x < first.Right; ++x) {
            const TColor c = shot->Canvas()->Pixels(x + frame, yy + frame);
            if (x >= first.Right - 18)
                check += c == clBlack;
            else if (GetRValue(c) < 0x80)
                textEnd = std::max(textEnd, x);
        }
    EXPECT_GT(check, 5);
    EXPECT_GE(textEnd, first.Right - 18 - 2 - 3);
    EXPECT_LT(textEnd, first.Right - 18 - 2);
    Form->Hide();
}

TEST_F(KxCheckListBox, StatesSaveToAndRestoreFromThePlacementSection)
{
    TTempDir dir("velmarok-clb");
    const std::string ini = dir / "placement.ini";
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
    placement->SavePlacement();
    EXPECT_EQ(ReadFileBytes(ini), "[TForm]\r\nFormVersion=0\r\n"
                                  "[TForm\\TFormclbMenu]\r\nCount=3\r\nItem0=1\r\nItem1=0\r\nItem2=2\r\n");

    struct Case { const char* Name; TCheckKind Kind; int Items; std::string Stored; std::vector<TCheckBoxState> Want; };
    Case cases[] = {
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

TEST(KxSpeedButton, GlyphCellsAndRepeat)
{
    TForm form(nullptr);
    TKxSpeedButton btn(nullptr);
    btn.SetParent(&form);
    TBitmap strip;
    strip.SetSize(80, 16);
    btn.SetGlyph(&strip);
    EXPECT_EQ(btn.NumGlyphs(), 5);
    strip.SetSize(96, 16);
    btn.SetGlyph(&strip);
    EXPECT_EQ(btn.NumGlyphs(), 1);

    int clicks = 0;
    btn.OnClick = [&](TObject*) { ++clicks; };
    btn.SetAllowTimer(true);
    form.Show();
    MouseDown(&btn, 5, 5);
    ASSERT_NE(btn.RepeatTimer(), nullptr);
    EXPECT_EQ(btn.RepeatTimer()->Interval(), 500u);
    FireTimer(btn.RepeatTimer());
    EXPECT_EQ(btn.RepeatTimer()->Interval(), 100u);
    FireTimer(btn.RepeatTimer());
    EXPECT_EQ(clicks, 2);
    MouseUp(&btn, 5, 5);
    EXPECT_EQ(clicks, 3);
    EXPECT_FALSE(btn.RepeatTimer()->Enabled());
    form.Hide();
}

TEST(KxSpeedButton, FreedWhileRepeatingTakesItsTimerAlong)
{
    TForm form(nullptr);
    auto* btn = new TKxSpeedButton(nullptr);
    btn->SetParent(&form);
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    btn->SetAllowTimer(true);
    form.Show();
    MouseDown(btn, 5, 5);
    ASSERT_NE(btn->RepeatTimer(), nullptr);
    delete btn;   // the mouse never comes up
    EXPECT_EQ(FireAllTimers(), 0);
    EXPECT_EQ(clicks, 0);
    form.Hide();
}

TEST(KxSpeedButton, StateImagesLiveInListsSharedBySize)
{
    auto glyph = [](int w, int h) { auto b = std::make_unique<TBitmap>(); b->SetSize(w, h); return b; };
    auto a = std::make_unique<TKxSpeedButton>(nullptr);
    auto b = std::make_unique<TKxSpeedButton>(nullptr);
    auto c = std::make_unique<TKxSpeedButton>(nullptr);
    TGlyphCache* cache = TGlyphCache::Shared();
    ASSERT_NE(cache, nullptr);
    const int lists = cache->ListCount();
    a->SetGlyph(glyph(32, 16).get());   // two cells of 16 x 16
    b->SetGlyph(glyph(16, 16).get());
    c->SetGlyph(glyph(24, 24).get());
    TKxButtonGlyph ga, gb;
    ga.SetGlyph(glyph(32, 16).get());
    gb.SetGlyph(glyph(16, 16).get());
    TBitmap* upA = ga.StateImage(bsUp);
    TBitmap* grayA = ga.StateImage(bsInactive);
    ASSERT_NE(upA, nullptr);
    EXPECT_EQ(upA->Width(), 16);
    EXPECT_EQ(ga.StateImage(bsUp), upA);   // made once, kept
    gb.StateImage(bsUp);
    EXPECT_NE(grayA, upA);
    EXPECT_EQ(cache->ListCount(), lists + 1);   // both glyphs of 16 x 16 share one list
    TKxButtonGlyph gc;
    gc.SetGlyph(glyph(24, 24).get());
    gc.StateImage(bsDisabled);
    EXPECT_EQ(cache->ListCount(), lists + 2);
    // A new picture drops the old state images; a list left empty goes.
    gc.SetGlyph(glyph(16, 16).get());
    EXPECT_EQ(cache->ListCount(), lists + 1);
    ga.Invalidate();
    gb.Invalidate();
    EXPECT_EQ(cache->ListCount(), lists);
}

TEST(KxSpeedButton, ThePressThatClosedTheMenuIsTakenFromTheQueue)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    TKxSpeedButton btn(&form);
    btn.SetParent(&form);
    btn.SetBounds(10, 10, 25, 25);
    TPopupMenu menu(nullptr);
    btn.SetDropDownMenu(&menu);
    int clicks = 0;
    btn.OnClick = [&](TObject*) { ++clicks; };
    form.Show();
    TPoint at;
    // While the menu runs the user presses on the button again (it closes the menu) and
    // elsewhere on the form: the press on the button goes, the other one stays.
    TPopupMenuHook old = SetPopupMenuHook([&](TPopupMenu*, int X, int Y) {
        at = TPoint(X, Y);
        PostMessage(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
        PostMessage(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 150));
    });
    Click(&btn, 5, 5);
    SetPopupMenuHook(old);
    EXPECT_EQ(at, btn.ClientToScreen(TPoint(-1, 25)));
    EXPECT_EQ(clicks, 0);   // no click while the menu is tracked
    EXPECT_EQ(btn.State(), bsUp);
    TMsg m;
    ASSERT_TRUE(PeekMessage(m, form.Handle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(GET_X_LPARAM(m.lParam), 150);
    EXPECT_FALSE(PeekMessage(m, form.Handle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    form.Hide();
}

TEST(KxSpeedButton, GroupedButtonStaysDown)
{
    TForm form(nullptr);
    TKxSpeedButton a(nullptr), b(nullptr);
    a.SetParent(&form);
    b.SetParent(&form);
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    a.SetDown(true);
    a.SetDown(false);   // AllowAllUp off: stays down
    EXPECT_TRUE(a.Down());
    b.SetDown(true);
    EXPECT_FALSE(a.Down());
    TKxSpeedButton c(nullptr);
    c.SetDown(true);    // no group: never down
    EXPECT_FALSE(c.Down());
}

namespace {

// A strip of Count cells of 8 x 8 in the given colours (the transparent colour is olive).
void SetStrip(TKxSpeedButton& btn, std::initializer_list<TColor> colours)
{
    TBitmap strip;
    int n = int(colours.size());
    strip.SetSize(8 * n, 8);
    int i = 0;
    for (TColor c : colours) {
        strip.Canvas()->Brush()->SetColor(c);
        strip.Canvas()->FillRect(TRect(8 * i, 0, 8 * i + 8, 8));
        ++i;
    }
    strip.SetTransparentColor(clOlive);
    btn.SetGlyph(&strip);
    EXPECT_EQ(btn.NumGlyphs(), n);
}

// A speed button on the form F at the given bounds, owned by the form.
TKxSpeedButton& ButtonOn(TForm* F, int Left, int Top, int Width, int Height)
{
    auto* b = new TKxSpeedButton(F);
    b->SetParent(F);
    b->SetBounds(Left, Top, Width, Height);
    return *b;
}

TColor Centre(TKxSpeedButton& btn)
{
    auto shot = GrabControl(&btn);
    return shot->Canvas()->Pixels(btn.Width() / 2, btn.Height() / 2);
}

TColor Grey(TColor c)
{
    int g = (77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8;
    return RGB(g, g, g);
}

}  // namespace

using SpeedButton = TShownFormTest;

TEST_F(SpeedButton, GlyphCellsOfEachState)
{
    TKxSpeedButton& btn = ButtonOn(form, 10, 10, 25, 25);
    const TColor up = RGB(200, 0, 0), disabled = RGB(0, 200, 0), down = RGB(0, 0, 200), excl = RGB(200, 200, 0),
                 inactive = RGB(0, 200, 200);
    SetStrip(btn, {up, disabled, down, excl, inactive});
    EXPECT_EQ(Centre(btn), up);
    MouseDown(&btn, 5, 5);
    EXPECT_EQ(btn.State(), bsDown);
    EXPECT_EQ(Centre(btn), down);
    MouseUp(&btn, 5, 5);
    btn.SetEnabled(false);
    EXPECT_EQ(Centre(btn), disabled);
    btn.SetEnabled(true);
    btn.SetGroupIndex(3);
    btn.SetDown(true);
    EXPECT_EQ(btn.State(), bsExclusive);
    EXPECT_EQ(Centre(btn), excl);
    btn.SetAllowAllUp(true);
    btn.SetDown(false);
    btn.SetFlat(true);
    btn.Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Centre(btn), inactive);

    // One cell: down draws the up cell, inactive turns it grey, disabled is embossed.
    TKxSpeedButton& one = ButtonOn(form, 50, 10, 25, 25);
    SetStrip(one, {up});
    MouseDown(&one, 5, 5);
    EXPECT_EQ(Centre(one), up);
    MouseUp(&one, 5, 5);
    one.SetFlat(true);
    one.Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Centre(one), Grey(up));
    one.SetGrayedInactive(false);
    EXPECT_EQ(Centre(one), up);
    one.SetEnabled(false);
    EXPECT_EQ(Centre(one), ColorToRGB(clBtnShadow));

    // Three cells: exclusive has no cell of its own and takes the up cell.
    TKxSpeedButton& three = ButtonOn(form, 90, 10, 25, 25);
    SetStrip(three, {up, disabled, down});
    three.SetGroupIndex(4);
    three.SetDown(true);
    EXPECT_EQ(Centre(three), up);
    // A flat button that is down and away from the mouse: framed, dithered, grey glyph.
    three.SetFlat(true);
    three.Perform(CM_MOUSELEAVE, 0, 0);
    auto shot = GrabControl(&three);
    EXPECT_EQ(shot->Canvas()->Pixels(12, 12), Grey(up));
    TColor a = shot->Canvas()->Pixels(3, 3), b = shot->Canvas()->Pixels(4, 3);
    EXPECT_NE(a, b);   // the face dither
    EXPECT_TRUE(a == ColorToRGB(clBtnHighlight) || b == ColorToRGB(clBtnHighlight));
}

TEST_F(SpeedButton, GroupsAndReleaseInsideOrOutside)
{
    std::vector<TKxSpeedButton*> b;
    int clicks[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        b.push_back(&ButtonOn(form, 10 + 30 * i, 10, 25, 25));
        b[i]->SetGroupIndex(5);
        b[i]->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
    }
    // Each step: the button pressed and where it is released; then the Down states.
    struct { int button; bool inside; bool allowAllUp; bool down[3]; int clicks; } steps[] = {
        {0, true, false, {true, false, false}, 1},
        {0, true, false, {true, false, false}, 1},    // stays down without AllowAllUp
        {1, true, false, {false, true, false}, 1},
        {2, false, false, {false, true, false}, 0},   // released outside: nothing
        {1, true, true, {false, false, false}, 1},    // all up allowed
        {2, true, true, {false, false, true}, 1},
    };
    for (auto& s : steps) {
        if (b[0]->AllowAllUp() != s.allowAllUp)
            b[0]->SetAllowAllUp(s.allowAllUp);
        int before = clicks[s.button];
        TKxSpeedButton& btn = *b[s.button];
        MouseDown(&btn, 5, 5);
        if (!s.inside)
            MouseMove(&btn, 60, 5, ssLeft);
        MouseUp(&btn, s.inside ? 5 : 60, 5);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(b[i]->Down(), s.down[i]) << "button " << s.button << " -> " << i;
        EXPECT_EQ(clicks[s.button] - before, s.clicks) << s.button;
        EXPECT_EQ(btn.State(), btn.Down() ? bsExclusive : bsUp);
    }
    // The group's AllowAllUp is shared with every member.
    EXPECT_TRUE(b[1]->AllowAllUp());
    EXPECT_TRUE(b[2]->AllowAllUp());

    // Another parent is another group.
    TPanel other(nullptr);
    other.SetParent(form);
    other.SetBounds(0, 100, 100, 40);
    TKxSpeedButton elsewhere(nullptr);
    elsewhere.SetParent(&other);
    elsewhere.SetGroupIndex(5);
    elsewhere.SetDown(true);
    EXPECT_TRUE(b[2]->Down());

    // Click passes the button's modal result to its form.
    TKxSpeedButton ok(nullptr);
    ok.SetParent(form);
    ok.SetModalResult(mrOk);
    ok.Click();
    EXPECT_EQ(form->ModalResult(), mrOk);
    form->SetModalResult(mrNone);

    // The caption's accelerator clicks an enabled button.
    int okClicks = 0;
    ok.OnClick = [&](TObject*) { ++okClicks; };
    ok.SetCaption("&Dalej");
    EXPECT_EQ(ok.Perform(CM_DIALOGCHAR, 'd', 0), 1);
    EXPECT_EQ(ok.Perform(CM_DIALOGCHAR, 'a', 0), 0);
    ok.SetEnabled(false);
    EXPECT_EQ(ok.Perform(CM_DIALOGCHAR, 'D', 0), 0);
    EXPECT_EQ(okClicks, 1);
}

TEST_F(SpeedButton, RepeatStopsOffTheButtonAndResumes)
{
    TKxSpeedButton& btn = ButtonOn(form, 10, 10, 25, 25);
    btn.SetInitPause(300);
    btn.SetRepeatInterval(40);
    int clicks = 0;
    btn.OnClick = [&](TObject*) { ++clicks; };
    btn.SetAllowTimer(true);
    MouseDown(&btn, 5, 5);
    ASSERT_NE(btn.RepeatTimer(), nullptr);
    EXPECT_EQ(btn.RepeatTimer()->Interval(), 300u);
    EXPECT_TRUE(btn.RepeatTimer()->Enabled());
    // Each tick: whether the mouse is over the button, then the clicks so far.
    struct { bool over; int clicks; } ticks[] = {{true, 1}, {true, 2}, {false, 2}, {false, 2}, {true, 3}};
    for (auto& t : ticks) {
        MouseMove(&btn, t.over ? 6 : 80, 5, ssLeft);
        EXPECT_EQ(btn.State(), t.over ? bsDown : bsUp);
        FireTimer(btn.RepeatTimer());
        EXPECT_EQ(btn.RepeatTimer()->Interval(), 40u);
        EXPECT_EQ(clicks, t.clicks);
    }
    MouseUp(&btn, 80, 5);   // released outside: no click of its own
    EXPECT_EQ(clicks, 3);
    EXPECT_FALSE(btn.RepeatTimer()->Enabled());
    btn.SetAllowTimer(false);
    EXPECT_EQ(btn.RepeatTimer(), nullptr);
    MouseDown(&btn, 5, 5);
    EXPECT_EQ(btn.RepeatTimer(), nullptr);
    MouseUp(&btn, 5, 5);
    EXPECT_EQ(clicks, 4);
}

TEST_F(SpeedButton, DropDownMenuPositionsAndArrow)
{
    TKxSpeedButton& btn = ButtonOn(form, 20, 30, 40, 24);
    TPopupMenu menu(nullptr);
    menu.Items()->Add(new TMenuItem(&menu));
    auto shotWithout = GrabControl(&btn);
    btn.SetDropDownMenu(&menu);
    auto shotWith = GrabControl(&btn);
    // The arrow: rows of 7, 5, 3 and 1 pixels in the button text colour.
    int arrowPixels = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
            if (shotWith->Canvas()->Pixels(x, y) == ColorToRGB(clBtnText) &&
                shotWithout->Canvas()->Pixels(x, y) != ColorToRGB(clBtnText))
                ++arrowPixels;
    EXPECT_EQ(arrowPixels, 16);

    TPoint shown(-999, -999);
    TPopupMenu* shownMenu = nullptr;
    TPopupMenuHook old = SetPopupMenuHook([&](TPopupMenu* m, int x, int y) { shownMenu = m; shown = TPoint(x, y); });
    int clicks = 0;
    btn.OnClick = [&](TObject*) { ++clicks; };
    struct { TKxDropDownMenuPos pos; TPopupAlignment align; TPoint at; } cases[] = {
        {dmpBottom, paLeft, TPoint(-1, 24)},  {dmpBottom, paRight, TPoint(41, 24)},
        {dmpBottom, paCenter, TPoint(20, 24)}, {dmpRight, paLeft, TPoint(40, -1)},
        {dmpRight, paRight, TPoint(-1, -1)},   {dmpRight, paCenter, TPoint(20, 24)},
    };
    for (auto& k : cases) {
        btn.SetMenuPosition(k.pos);
        menu.SetAlignment(k.align);
        shownMenu = nullptr;
        MouseDown(&btn, 5, 5);
        ASSERT_EQ(shownMenu, &menu);
        EXPECT_EQ(shown, btn.ClientToScreen(k.at)) << int(k.pos) << "/" << int(k.align);
        EXPECT_EQ(menu.PopupComponent(), &btn);
        EXPECT_EQ(btn.State(), bsUp);   // the press ended with the menu
        MouseUp(&btn, 5, 5);
    }
    EXPECT_EQ(clicks, 0);
    menu.SetAutoPopup(false);
    shownMenu = nullptr;
    Click(&btn, 5, 5);
    EXPECT_EQ(shownMenu, nullptr);
    EXPECT_EQ(clicks, 1);
    SetPopupMenuHook(old);
}

TEST_F(SpeedButton, AnActionChecksAGroupedButtonAndLendsItsPicture)
{
    auto* images = new TImageList(form);
    images->SetWidth(8);
    images->SetHeight(8);
    auto red = FilledBitmap(8, 8, clRed);
    images->Add(red.get(), nullptr);
    auto* actions = new TActionList(form);
    actions->SetImages(images);
    struct Case { const char* Name; int GroupIndex; bool OwnGlyph; int ImageIndex; bool Down; TColor Centre; };
    Case cases[] = {
        {"grouped, no glyph", 1, false, 0, true, clRed},
        {"not grouped", 0, false, 0, false, clRed},
        {"own glyph kept", 2, true, 0, true, clBlue},
        {"no such picture", 3, false, 5, true, ColorToRGB(clBtnFace)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* action = new TAction(form);
        action->SetActionList(actions);
        action->SetImageIndex(c.ImageIndex);
        action->SetChecked(true);
        TKxSpeedButton* btn = &ButtonOn(form, 10, 10, 25, 25);
        btn->SetGroupIndex(c.GroupIndex);
        if (c.OwnGlyph)
            SetStrip(*btn, {clBlue});
        btn->SetAction(action);
        EXPECT_EQ(btn->Down(), c.Down);
        EXPECT_EQ(Centre(*btn), c.Centre);
        delete btn;
    }
    // The checked state follows the action while the button may go up.
    auto* action = new TAction(form);
    TKxSpeedButton btn(nullptr);
    btn.SetParent(form);
    btn.SetGroupIndex(4);
    btn.SetAllowAllUp(true);
    btn.SetAction(action);
    action->SetChecked(true);
    EXPECT_TRUE(btn.Down());
    action->SetChecked(false);
    EXPECT_FALSE(btn.Down());
}

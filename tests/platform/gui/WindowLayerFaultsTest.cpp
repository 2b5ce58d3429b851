#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/gui/Component.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Grids.h"
#include "platform/gui/TestSupport.h"

namespace {
class TBox : public TCustomControl {
public:
    explicit TBox(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    std::vector<Cardinal> Timers;
    std::function<void(TBox*, UINT_PTR)> OnTimerMsg;

protected:
    void WMTimer(TWMTimer& m) override
    {
        Timers.push_back(Cardinal(m.TimerID()));
        if (OnTimerMsg)
            OnTimerMsg(this, m.TimerID());
    }
};

struct LayerFixture : ::testing::Test {
    TForm* Form = nullptr;
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(20, 20, 300, 200);
        Form->Show();
    }
    void TearDown() override
    {
        delete Form;
        ProcessPendingMessages();
        EXPECT_TRUE(VerifyNoPendingDialogs());
    }
    TBox* Box(TAlign a, int w, int h, TWinControl* parent = nullptr)
    {
        auto* b = new TBox(Form);
        b->SetParent(parent ? parent : Form);
        b->SetBounds(0, 0, w, h);
        b->SetAlign(a);
        return b;
    }
};
}  // namespace

TEST_F(LayerFixture, AlignedSiblingsShareTheClientAreaAsTheyShowAndHide)
{
    TBox* top1 = Box(alTop, 10, 20);
    TBox* top2 = Box(alTop, 10, 30);
    TBox* left1 = Box(alLeft, 40, 10);
    TBox* left2 = Box(alLeft, 50, 10);
    TBox* bottom = Box(alBottom, 10, 25);
    TBox* client = Box(alClient, 1, 1);
    const int W = Form->ClientWidth(), H = Form->ClientHeight();
    struct Step { const char* Name; std::function<void()> Do; TRect Top2, Left2, Client; };
    const std::vector<Step> steps = {
        {"all shown", [] {}, TRect(0, 20, W, 50), TRect(40, 50, 90, H - 25), TRect(90, 50, W, H - 25)},
        {"first top hidden", [&] { top1->Hide(); }, TRect(0, 0, W, 30), TRect(40, 30, 90, H - 25),
         TRect(90, 30, W, H - 25)},
        {"first left hidden", [&] { left1->Hide(); }, TRect(0, 0, W, 30), TRect(0, 30, 50, H - 25),
         TRect(50, 30, W, H - 25)},
        {"bottom hidden", [&] { bottom->Hide(); }, TRect(0, 0, W, 30), TRect(0, 30, 50, H), TRect(50, 30, W, H)},
        {"all back in their order", [&] { top1->Show(); left1->Show(); bottom->Show(); }, TRect(0, 20, W, 50),
         TRect(40, 50, 90, H - 25), TRect(90, 50, W, H - 25)},
        {"a top grows", [&] { top1->SetHeight(40); }, TRect(0, 40, W, 70), TRect(40, 70, 90, H - 25),
         TRect(90, 70, W, H - 25)},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Name);
        s.Do();
        EXPECT_EQ(s.Top2, top2->BoundsRect());
        EXPECT_EQ(s.Left2, left2->BoundsRect());
        EXPECT_EQ(s.Client, client->BoundsRect());
    }
}

TEST_F(LayerFixture, ResizeFiresOnceAndOnlyForARealChangeOfSize)
{
    TBox* b = Box(alNone, 50, 40);
    TBox* inner = Box(alClient, 1, 1, b);
    int resized = 0, innerResized = 0, sizes = 0;
    b->OnResize = [&](TObject*) { ++resized; };
    inner->OnResize = [&](TObject*) { ++innerResized; };
    int hook = b->AddMessageHook([&](TMessage& m) { sizes += m.Msg == WM_SIZE; return false; });
    struct Case { int L, T, W, H, Resizes; };
    for (Case c : {Case{0, 0, 60, 40, 1}, Case{5, 5, 60, 40, 0}, Case{5, 5, 60, 40, 0}, Case{5, 5, 70, 45, 1},
                   Case{5, 5, -3, 45, 1}}) {
        resized = innerResized = sizes = 0;
        b->SetBounds(c.L, c.T, c.W, c.H);
        EXPECT_EQ(c.Resizes, resized) << c.W << "x" << c.H;
        EXPECT_EQ(c.Resizes, sizes);
        EXPECT_EQ(c.Resizes, innerResized);
        EXPECT_EQ(b->ClientRect(), inner->BoundsRect());
    }
    EXPECT_EQ(0, b->Width());   // a negative width is none
    // The box lives on with the form; its hook must not outlive the counters it captures.
    b->RemoveMessageHook(hook);
    b->OnResize = nullptr;
    inner->OnResize = nullptr;
}

TEST_F(LayerFixture, ReleasingTheMouseOutsideStillReachesThePressedControl)
{
    TBox* a = Box(alNone, 50, 50);
    a->SetBounds(10, 10, 50, 50);
    TBox* b = Box(alNone, 50, 50);
    b->SetBounds(150, 10, 50, 50);
    std::vector<std::string> log;
    a->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        log.push_back("a up " + std::to_string(x) + "," + std::to_string(y));
    };
    b->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("b up"); };
    b->OnMouseMove = [&](TObject*, TShiftState, int, int) { log.push_back("b move"); };
    MouseDown(a, 5, 5);
    EXPECT_TRUE(a->MouseCapture());
    MouseMove(b, 5, 5);
    MouseUp(b, 5, 5);   // over b: 145 + 5 in a's coordinates
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("a up 145,5", log[0]);
    EXPECT_FALSE(a->MouseCapture());
    // Without the capture b gets its own mouse again.
    MouseUp(b, 5, 5);
    EXPECT_EQ("b up", log.back());
}

TEST_F(LayerFixture, PostedMessageToAControlFreedBeforeDeliveryIsDropped)
{
    TBox* a = Box(alNone, 10, 10);
    TBox* b = Box(alNone, 10, 10);
    int reachedB = 0;
    b->AddMessageHook([&](TMessage& m) { reachedB += m.Msg == WM_USER + 1; return false; });
    HWND ha = a->Handle();
    EXPECT_TRUE(PostMessage(ha, WM_USER + 1, 0, 0));
    EXPECT_TRUE(PostMessage(b->Handle(), WM_USER + 1, 0, 0));
    delete a;
    ProcessPendingMessages();
    EXPECT_EQ(1, reachedB);
    EXPECT_FALSE(PostMessage(ha, WM_USER + 1, 0, 0));
    EXPECT_EQ(0, SendMessage(ha, WM_USER + 1, 0, 0));
    // A new window never gets the old number.
    TBox* c = Box(alNone, 10, 10);
    EXPECT_NE(ha, c->Handle());
    delete b;   // its hook counts into a local of this test
}

TEST_F(LayerFixture, TimersChangedOrTheControlFreedInsideTheTimerMessage)
{
    TBox* b = Box(alNone, 10, 10);
    b->OnTimerMsg = [](TBox* self, UINT_PTR id) {
        if (id == 1) {
            KillTimer(self, 1);
            SetTimer(self, 2, 50);
        } else if (id == 2) {
            SetTimer(self, 2, 80);   // restarts itself
        }
    };
    SetTimer(b, 1, 10);
    EXPECT_TRUE(FireTimer(b, 1));
    EXPECT_FALSE(TimerActive(b, 1));
    EXPECT_TRUE(TimerActive(b, 2));
    EXPECT_FALSE(FireTimer(b, 1));
    EXPECT_TRUE(FireTimer(b, 2));
    EXPECT_TRUE(TimerActive(b, 2));
    EXPECT_EQ((std::vector<Cardinal>{1, 2}), b->Timers);

    // The control's timers end with it, also when it frees itself in the handler.
    b->OnTimerMsg = [](TBox* self, UINT_PTR) { delete self; };
    SetTimer(b, 3, 10);
    EXPECT_TRUE(FireTimer(b, 3));
    EXPECT_EQ(0, FireAllTimers());
}

TEST_F(LayerFixture, FocusSkipsHiddenAndDisabledControls)
{
    TBox* a = Box(alNone, 10, 10);
    TBox* b = Box(alNone, 10, 10);
    TBox* c = Box(alNone, 10, 10);
    TBox* d = Box(alNone, 10, 10);
    a->SetFocus();
    b->Hide();
    c->SetEnabled(false);
    TypeKey(a, VK_TAB);
    EXPECT_TRUE(d->Focused());
    TypeKey(d, VK_TAB);
    EXPECT_TRUE(a->Focused());
    TypeKey(a, VK_TAB, ssShift);
    EXPECT_TRUE(d->Focused());

    // Hiding or disabling the focused control takes the focus from it.
    d->Hide();
    EXPECT_FALSE(d->Focused());
    EXPECT_NE(d, Form->ActiveControl());
    a->SetFocus();
    a->SetEnabled(false);
    EXPECT_FALSE(a->Focused());
    EXPECT_THROW(a->SetFocus(), EInvalidOperation);
    b->Show();
    EXPECT_EQ(b, Form->FindNextControl(nullptr, true, true, false));
}

TEST_F(LayerFixture, AlphaBlendSetsTheOpacityOfTopLevelWindowsOnly)
{
    auto* top = new TForm(Form);
    top->SetBounds(40, 40, 120, 80);
    top->SetAlphaBlendValue(64);   // chosen before the window exists, without AlphaBlend
    top->Show();
    EXPECT_DOUBLE_EQ(WindowOpacity(top), 1.0);
    top->SetAlphaBlend(true);
    EXPECT_NEAR(WindowOpacity(top), 64 / 255.0, 0.01);
    top->SetAlphaBlendValue(0);
    EXPECT_NEAR(WindowOpacity(top), 0.0, 0.01);
    top->SetAlphaBlend(false);
    EXPECT_DOUBLE_EQ(WindowOpacity(top), 1.0);

    auto* inner = new TForm(Form);
    inner->SetParent(Form);
    inner->SetBounds(10, 10, 50, 40);
    inner->SetAlphaBlend(true);
    inner->SetAlphaBlendValue(100);
    inner->Show();
    EXPECT_DOUBLE_EQ(WindowOpacity(inner), 1.0);
    EXPECT_DOUBLE_EQ(WindowOpacity(Form), 1.0);
}

TEST_F(LayerFixture, CloseActionsHideFreeOrKeepTheForm)
{
    struct Case { TCloseAction Action; bool Visible, Freed; };
    for (Case k : {Case{caNone, true, false}, Case{caHide, false, false}, Case{caFree, false, true},
                   Case{caMinimize, true, false}}) {
        SCOPED_TRACE(int(k.Action));
        auto* f = new TForm(Application);
        bool freed = false;
        f->OnDestroy = [&](TObject*) { freed = true; };
        f->OnClose = [&](TObject*, TCloseAction& a) { EXPECT_EQ(caHide, a); a = k.Action; };
        f->Show();
        CloseWindowByUser(f);
        ProcessPendingMessages();
        EXPECT_EQ(k.Freed, freed);
        if (!freed) {
            EXPECT_EQ(k.Visible, f->Visible());
            if (k.Action == caMinimize) { EXPECT_EQ(wsMinimized, f->WindowState()); }
            delete f;
        }
    }
}

TEST_F(LayerFixture, NestedModalFormsAndABoxRunInScriptOrder)
{
    auto* outer = new TForm(Application);
    outer->SetName("Outer");
    auto* inner = new TForm(Application);
    inner->SetName("Inner");
    int innerResult = -1, box = -1;
    ScriptDialogs()
        .ExpectModal("Outer", mrNone,
                     [&](TForm* f) { innerResult = inner->ShowModal(); f->SetModalResult(mrOk); })
        .ExpectModal("Inner", mrNone,
                     [&](TForm* f) {
                         box = Application->MessageBox("Zapisać zmiany?", "Pytanie", MB_YESNO);
                         f->SetModalResult(box == IDYES ? mrYes : mrNo);
                     })
        .ExpectMessageBox(IDYES, "Zapisać");
    EXPECT_EQ(mrOk, outer->ShowModal());
    EXPECT_EQ(IDYES, box);
    EXPECT_EQ(mrYes, innerResult);
    EXPECT_FALSE(inner->Visible());
    EXPECT_FALSE(outer->Visible());
    // Recorded as shown: the outer form first, with the answers they ended with.
    ASSERT_EQ(3u, RecordedDialogs().size());
    EXPECT_EQ("Outer", RecordedDialogs()[0].Name);
    EXPECT_EQ(mrOk, RecordedDialogs()[0].Result);
    EXPECT_EQ("Inner", RecordedDialogs()[1].Name);
    EXPECT_EQ(mrYes, RecordedDialogs()[1].Result);
    EXPECT_EQ(dkMessageBox, RecordedDialogs()[2].Kind);
    EXPECT_EQ(IDYES, RecordedDialogs()[2].Result);
    ClearRecordedDialogs();
    delete inner;
    delete outer;
}

// A window shown with an owner stays above it (the window system keeps an owned window above
// the window it belongs to): a form owned by a shown form belongs to it, any other framed form
// to the main form, a modal one to the form active when it is shown; borderless ones (hints,
// pop-ups) and the main form to none.
TEST_F(LayerFixture, FormsShownWithAnOwnerBelongToItsWindow)
{
    ASSERT_EQ(Application->MainForm(), nullptr);
    TForm* main = nullptr;
    Application->CreateForm(main);
    main->Show();
    auto* dialog = new TForm(Application);
    auto* child = new TForm(Form);
    auto* popup = new TForm(Application);
    popup->SetBorderStyle(bsNone);
    auto* modal = new TForm(Application);
    modal->SetName("Modal");
    popup->Show();
    dialog->Show();
    child->Show();
    struct Case { TForm* Shown; TCustomForm* Owner; };
    const Case cases[] = {{main, nullptr}, {dialog, main}, {child, Form}, {popup, nullptr}};
    for (const auto& c : cases)
        EXPECT_EQ(c.Shown->WindowOwner(), c.Owner) << (c.Shown == main ? "main" : c.Shown == dialog ? "dialog"
                                                       : c.Shown == child ? "child" : "popup");
    TCustomForm* active = Screen->ActiveForm();
    ASSERT_TRUE(active == child);
    ScriptDialogs().ExpectModal("Modal", mrOk, [&](TForm* f) { EXPECT_EQ(f->WindowOwner(), active); });
    EXPECT_EQ(modal->ShowModal(), mrOk);
    // Shown again, each takes the owner of that moment.
    child->Hide();
    dialog->Hide();
    main->Hide();
    dialog->Show();
    EXPECT_EQ(dialog->WindowOwner(), nullptr);
    for (TForm* f : {modal, popup, child, dialog, main})
        delete f;
    EXPECT_EQ(Application->MainForm(), nullptr);
}

// ---------------------------------------------------------------- components and collections
namespace {
std::vector<AnsiString> g_gone;

TEST_F(LayerFixture, WindowsComeUpInsideTheWorkAreaOfTheScreen)
{
    const TRect area = Screen->WorkAreaRect();
    const int w = area.Width(), h = area.Height();
    struct Case {
        const char* Name;
        TRect Asked;   // left, top, width, height
        TBorderStyle Border;
        TPosition Position;
        bool Moves, Shrinks;
        int ShowWidth = 0;   // the width the form's OnShow gives it
    } cases[] = {
        {"fits", TRect(area.Left + 50, area.Top + 60, 300, 200), bsSizeable, poDesigned, false, false},
        {"larger than the screen", TRect(area.Left, area.Top, w + 300, h + 200), bsSizeable, poDesigned, false, true},
        {"past the right and bottom", TRect(area.Right - 100, area.Bottom - 50, 300, 200), bsSizeable, poDesigned,
         true, false},
        {"before the left and top", TRect(area.Left - 50, area.Top - 40, 300, 200), bsSizeable, poDesigned, true,
         false},
        {"centred, larger than the screen", TRect(0, 0, w + 100, h + 100), bsDialog, poScreenCenter, true, true},
        {"without a frame, too wide", TRect(area.Left + 20, area.Top, w + 10, 100), bsNone, poDesigned, true, true},
        {"widened as it shows", TRect(area.Left + 20, area.Top, 300, 200), bsSizeable, poDesigned, true, true,
         w + 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* f = new TForm(nullptr);
        f->SetBorderStyle(c.Border);
        f->SetPosition(c.Position);
        f->SetBounds(c.Asked.Left, c.Asked.Top, c.Asked.Right, c.Asked.Bottom);
        if (c.ShowWidth)
            f->OnShow = [&c](TObject* Sender) { static_cast<TForm*>(Sender)->SetWidth(c.ShowWidth); };
        f->Show();
        ProcessPendingMessages();
        const TRect frame = WindowFrame(f);
        EXPECT_GE(frame.Left, area.Left);
        EXPECT_GE(frame.Top, area.Top);
        EXPECT_LE(frame.Right, area.Right);
        EXPECT_LE(frame.Bottom, area.Bottom);
        if (!c.Moves && !c.Shrinks) {
            EXPECT_EQ(f->BoundsRect(), TRect(c.Asked.Left, c.Asked.Top, c.Asked.Left + 300, c.Asked.Top + 200));
        }
        if (c.Shrinks) { EXPECT_TRUE(frame.Width() == w || frame.Height() == h); }
        // Moved off the screen by the user, it stays there; shown again, it is back on the screen.
        f->OnShow = nullptr;
        MoveWindowByUser(f, area.Right - 20, area.Top, f->Width(), f->Height());
        EXPECT_EQ(f->Left(), area.Right - 20);
        f->Hide();
        f->Show();
        EXPECT_LE(WindowFrame(f).Right, area.Right);
        // A maximised window is the window system's to place.
        f->Hide();
        f->SetWindowState(wsMaximized);
        f->Show();
        EXPECT_EQ(f->WindowState(), wsMaximized);
        delete f;
    }
}

class TPeer : public TComponent {
public:
    TPeer(TComponent* owner, const AnsiString& name) : TComponent(owner) { SetName(name); }
    ~TPeer() override { g_gone.push_back(Name()); }
    TComponent* Watched = nullptr;
    TComponent* KillOnRemove = nullptr;   // freed when Watched goes
    void Watch(TComponent* c) { Watched = c; c->FreeNotification(this); }
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        if (op == opRemove && c == Watched) {
            Watched = nullptr;
            if (TComponent* k = KillOnRemove) {
                KillOnRemove = nullptr;
                delete k;
            }
        }
        if (op == opRemove && c == KillOnRemove)
            KillOnRemove = nullptr;
    }
};

class TCountedItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    void Touch() { Changed(false); }
};

class TCounted : public TCollection {
public:
    TCounted() : TCollection([](TCollection* c) { return new TCountedItem(c); }) {}
    std::vector<std::string> Log;

protected:
    void Update(TCollectionItem* item) override { Log.push_back(item ? "item" : "all"); }
    void Notify(TCollectionItem* item, TCollectionNotification a) override
    {
        Log.push_back(a == cnAdded ? "added" : a == cnDeleting ? "deleting" : "extracting");
        TCollection::Notify(item, a);
    }
};
}  // namespace

TEST(LayerComponents, OwnedComponentsFreeingEachOtherInNotificationGoOnce)
{
    g_gone.clear();
    auto* owner = new TComponent(nullptr);
    auto* a = new TPeer(owner, "A");
    auto* b = new TPeer(owner, "B");
    auto* c = new TPeer(owner, "C");
    auto* d = new TPeer(owner, "D");
    // The owner tells its components that D goes; A hears it and frees B, which C watches.
    a->Watch(d);
    a->KillOnRemove = b;
    c->Watch(b);
    b->FreeNotification(a);
    delete owner;
    std::vector<AnsiString> sorted = g_gone;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ((std::vector<AnsiString>{"A", "B", "C", "D"}), sorted);
    EXPECT_EQ("A", g_gone.back());
}

TEST(LayerComponents, CollectionUpdatesWaitForTheOutermostBracket)
{
    TCounted list;
    list.Add();
    list.Add();
    EXPECT_EQ((std::vector<std::string>{"added", "all", "added", "all"}), list.Log);
    list.Log.clear();
    static_cast<TCountedItem*>(list.Items(0))->Touch();
    EXPECT_EQ((std::vector<std::string>{"item"}), list.Log);

    list.Log.clear();
    list.BeginUpdate();
    list.BeginUpdate();
    static_cast<TCountedItem*>(list.Items(1))->Touch();
    list.Add();
    list.EndUpdate();
    EXPECT_EQ((std::vector<std::string>{"added"}), list.Log);
    list.Delete(0);
    list.EndUpdate();
    // Deleting tells first that the item goes, then that it leaves the list.
    EXPECT_EQ((std::vector<std::string>{"added", "deleting", "extracting", "all"}), list.Log);
    EXPECT_EQ(2, list.Count());
    list.EndUpdate();   // one too many changes nothing
    EXPECT_EQ(0, list.UpdateCount());

    list.Log.clear();
    list.Items(1)->SetIndex(0);
    EXPECT_EQ((std::vector<std::string>{"all"}), list.Log);
    EXPECT_THROW(list.Delete(5), EListError);

    // Items go several at once, each told as Delete tells it, the change told once; a sort
    // keeps the order of items that compare equal.
    list.Add();
    list.Add();
    TCollectionItem* const kept[] = {list.Items(0), list.Items(3)};
    list.Log.clear();
    list.DeleteItems(1, 2);
    EXPECT_EQ((std::vector<std::string>{"deleting", "extracting", "deleting", "extracting", "all"}), list.Log);
    EXPECT_EQ((std::vector<TCollectionItem*>{kept[0], kept[1]}), (std::vector<TCollectionItem*>{list.Items(0), list.Items(1)}));
    EXPECT_THROW(list.DeleteItems(1, 2), EListError);
    list.Add();
    list.SortItems([&](const TCollectionItem* A, const TCollectionItem* B) { return A == kept[1] && B != kept[1]; });
    EXPECT_EQ(kept[1], list.Items(0));
    EXPECT_EQ(kept[0], list.Items(1));
    list.Clear();
    EXPECT_EQ(0, list.Count());
}

// ---------------------------------------------------------------- the standard grid
namespace {
struct GridFaults : LayerFixture {
    TStringGrid* Grid = nullptr;
    void SetUp() override
    {
        LayerFixture::SetUp();
        Grid = new TStringGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 280, 180);
        Grid->SetFocus();
    }
};
}  // namespace

TEST_F(GridFaults, MoveColumnCarriesObjectsAndRowsAndColsFollow)
{
    TObject o1, o3;
    Grid->SetColCount(5);
    Grid->SetRowCount(3);
    Grid->SetCells(1, 1, "jeden");
    Grid->SetObjects(1, 1, &o1);
    Grid->SetObjects(3, 2, &o3);
    Grid->MoveColumn(1, 4);
    EXPECT_EQ(&o1, Grid->Objects(4, 1));
    EXPECT_EQ("jeden", Grid->Cells(4, 1));
    EXPECT_EQ(&o3, Grid->Objects(2, 2));
    EXPECT_EQ(nullptr, Grid->Objects(1, 1));
    EXPECT_EQ("jeden", Grid->Rows(1)->Strings(4));
    EXPECT_EQ(&o1, Grid->Cols(4)->Objects(1));
    Grid->MoveColumn(4, 1);
    EXPECT_EQ(&o1, Grid->Objects(1, 1));
    EXPECT_EQ(&o3, Grid->Objects(3, 2));
}

TEST_F(GridFaults, ShrinkingRowsClampsTopRowCurrentCellAndSelection)
{
    Grid->SetRowCount(200);
    Grid->SetColCount(4);
    Grid->FocusCell(2, 150, true);
    EXPECT_GT(Grid->TopRow(), 100);
    Grid->SetRowCount(20);
    EXPECT_LT(Grid->Row(), 20);
    EXPECT_LE(Grid->TopRow() + Grid->VisibleRowCount(), 20);
    EXPECT_GE(Grid->TopRow(), Grid->FixedRows());
    TGridRect s = Grid->Selection();
    EXPECT_LT(s.Bottom, 20);
    EXPECT_LE(s.Top, s.Bottom);

    // Grown again, nothing jumps.
    Grid->SetRowCount(50);
    EXPECT_LT(Grid->Row(), 20);
}

TEST_F(GridFaults, DeletingRowsKeepsTheCurrentCellInside)
{
    Grid->SetColCount(3);
    Grid->SetRowCount(6);
    for (int r = 0; r < 6; ++r)
        Grid->SetCells(1, r, Format("w%d", {r}));
    Grid->FocusCell(1, 5, true);
    Grid->DeleteRow(5);
    EXPECT_EQ(5, Grid->RowCount());
    EXPECT_EQ(4, Grid->Row());
    EXPECT_EQ(TGridRect(1, 4, 1, 4), Grid->Selection());
    Grid->FocusCell(1, 2, true);
    Grid->DeleteRow(2);
    EXPECT_EQ("w3", Grid->Cells(1, 2));
    EXPECT_GE(Grid->Row(), Grid->FixedRows());
    EXPECT_LT(Grid->Row(), Grid->RowCount());
    Grid->FocusCell(2, 3, true);
    Grid->DeleteColumn(2);
    EXPECT_LT(Grid->Col(), Grid->ColCount());
}

TEST_F(GridFaults, MouseToCellBeyondTheLastCellIsMinusOne)
{
    Grid->SetColCount(3);
    Grid->SetRowCount(3);
    TRect last = Grid->CellRect(2, 2);
    // Outside in one direction is outside in both.
    struct Case { int X, Y, Col, Row; };
    for (Case k : {Case{last.Left + 1, last.Top + 1, 2, 2}, Case{last.Right + 5, last.Top + 1, -1, -1},
                   Case{last.Left + 1, last.Bottom + 5, -1, -1}, Case{-5, -5, -1, -1}}) {
        int c = 0, r = 0;
        Grid->MouseToCell(k.X, k.Y, c, r);
        EXPECT_EQ(TPoint(k.Col, k.Row), TPoint(c, r)) << k.X << "," << k.Y;
    }
    // A click there changes nothing.
    Grid->FocusCell(1, 1, true);
    Click(Grid, last.Right + 5, last.Bottom + 5);
    EXPECT_EQ(1, Grid->Col());
    EXPECT_EQ(1, Grid->Row());
}

// A modal form over the grid, shown from the grid's double click or from its press (whose
// release the window system then keeps from the grid): a press, release, double click or wheel
// turn inside the form reaches only the form, also with the capture taken beneath while it is up;
// the grid keeps its current cell, and a move over it afterwards selects nothing.
TEST_F(GridFaults, InputInsideAModalFormShownFromTheGridReachesOnlyTheForm)
{
    Grid->SetColCount(8);
    Grid->SetRowCount(20);
    auto* over = new TForm(Application);
    over->SetName("Over");
    auto* box = new TBox(over);
    box->SetParent(over);
    box->SetAlign(alClient);
    std::vector<std::string> log;
    auto watch = [&log](TControl* C, const std::string& Who) {
        C->OnMouseDown = [&log, Who](TObject*, TMouseButton, TShiftState S, int, int) {
            log.push_back(Who + (S & ssDouble ? " double" : " down"));
        };
        C->OnMouseUp = [&log, Who](TObject*, TMouseButton, TShiftState, int, int) { log.push_back(Who + " up"); };
        C->OnMouseWheel = [&log, Who](TObject*, TShiftState, int, TPoint, bool& Handled) {
            log.push_back(Who + " wheel");
            Handled = true;
        };
    };
    watch(box, "form");
    const TRect cell = Grid->CellRect(3, 2), number = Grid->CellRect(1, 4), below = Grid->CellRect(1, 6);
    const TPoint overCell = Grid->ClientToScreen(TPoint(cell.Left + 5, cell.Top + 5));
    over->SetBounds(overCell.X - 20, overCell.Y - 30, 200, 120);
    struct Case { const char* Name; std::function<void(const TPoint&)> Input; std::vector<std::string> Log; };
    const Case inputs[] = {
        {"press, release", [&](const TPoint& P) { Click(box, P.X, P.Y); }, {"form down", "form up"}},
        {"double click", [&](const TPoint& P) { DoubleClick(box, P.X, P.Y); },
         {"form down", "form up", "form double", "form up"}},
        {"wheel", [&](const TPoint& P) { Wheel(box, P.X, P.Y, -120); }, {"form wheel"}},
        {"capture taken beneath", [&](const TPoint& P) { SetCapture(Grid->Handle()); Click(box, P.X, P.Y); },
         {"form down", "form up"}},
    };
    for (bool onPress : {false, true}) {
        SCOPED_TRACE(onPress ? "shown from a press" : "shown from a double click");
        Grid->FocusCell(1, 4, true);
        const int leftCol = Grid->LeftCol(), topRow = Grid->TopRow();
        watch(Grid, "grid");
        bool shown = false;
        auto show = [&] {
            if (!shown) {
                shown = true;
                over->ShowModal();
            }
        };
        Grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
            log.push_back("grid down");
            if (onPress)
                show();
        };
        Grid->OnDblClick = [&](TObject*) {
            if (!onPress)
                show();
        };
        ScriptDialogs().ExpectModal("Over", mrOk, [&](TForm*) {
            const TPoint p = box->ScreenToClient(overCell);
            ASSERT_TRUE(PtInRect(box->ClientRect(), p));
            for (const auto& in : inputs) {
                log.clear();
                AdvanceInputClock(1000);   // no double click with the input before
                in.Input(p);
                EXPECT_EQ(log, in.Log) << in.Name;
                EXPECT_EQ(Grid->Row(), 4) << in.Name;
                EXPECT_EQ(Grid->Col(), 1) << in.Name;
                EXPECT_EQ(Grid->LeftCol(), leftCol) << in.Name;
                EXPECT_EQ(Grid->TopRow(), topRow) << in.Name;
            }
        });
        if (onPress)
            MouseDown(Grid, number.Left + 5, number.Top + 5);
        else
            DoubleClick(Grid, number.Left + 5, number.Top + 5);
        EXPECT_TRUE(shown && VerifyNoPendingDialogs());
        Grid->OnMouseDown = nullptr;
        Grid->OnDblClick = nullptr;
        MouseMove(Grid, below.Left + 5, below.Top + 5);
        EXPECT_EQ(Grid->Row(), 4);
        if (onPress)
            MouseUp(Grid, below.Left + 5, below.Top + 5);
    }
    delete over;
}

#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/Controls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"
#include "tests/platform/gui/Pixels.h"

namespace {
struct Seen { Cardinal Msg; WPARAM WParam; LPARAM LParam; };

// A custom control that writes down the messages it receives and paints a red square.
class TProbe : public TCustomControl {
public:
    explicit TProbe(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    std::vector<Seen> Log;
    bool WantTabs = false;
    std::vector<Cardinal> Filter = {WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                                    WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL, WM_TIMER, WM_USER + 1,
                                    WM_SETFOCUS, WM_KILLFOCUS};
    void WndProc(TMessage& m) override
    {
        if (std::find(Filter.begin(), Filter.end(), m.Msg) != Filter.end())
            Log.push_back({m.Msg, m.WParam, m.LParam});
        TCustomControl::WndProc(m);
    }
    std::vector<Cardinal> Msgs() const
    {
        std::vector<Cardinal> v;
        for (auto& s : Log)
            v.push_back(s.Msg);
        return v;
    }

protected:
    void WMGetDlgCode(TMessage& m) override { m.Result = WantTabs ? DLGC_WANTTAB | DLGC_WANTARROWS : 0; }
    void Paint() override { Canvas()->Brush()->SetColor(clRed); Canvas()->FillRect(Rect(2, 2, 12, 12)); }
};

struct FormFixture : TFormTest {
    TProbe* A = nullptr;
    TProbe* B = nullptr;
    TProbe* C = nullptr;
    void SetUp() override
    {
        MakeForm(300, 200);
        A = Place<TProbe>(10, 10, 50, 40);
        B = Place<TProbe>(70, 10, 50, 40);
        C = Place<TProbe>(130, 10, 50, 40);
        Form->Show();
    }
};
}  // namespace

TEST_F(FormFixture, KeysArriveAsKeyDownCharKeyUp)
{
    struct Case {
        Word Key;
        TShiftState Shift;
        WPARAM Char;   // 0: no WM_CHAR
    };
    const Case cases[] = {
        {'A', 0, 'a'}, {'A', ssShift, 'A'}, {'7', 0, '7'}, {VK_SPACE, 0, ' '}, {VK_BACK, 0, 8},
        {'C', ssCtrl, 3}, {VK_F2, 0, 0}, {VK_DELETE, 0, 0},
    };
    for (const Case& c : cases) {
        A->Log.clear();
        TypeKey(A, c.Key, c.Shift);
        ASSERT_EQ(A->Msgs(), (c.Char ? std::vector<Cardinal>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}
                                     : std::vector<Cardinal>{WM_KEYDOWN, WM_KEYUP})) << "key " << c.Key;
        EXPECT_EQ(A->Log[0].WParam, c.Key);
        if (c.Char) { EXPECT_EQ(A->Log[1].WParam, c.Char) << "key " << c.Key; }
    }
    // Return and Escape reach a control too when no button on the form takes them.
    A->Log.clear();
    TypeKey(A, VK_RETURN);
    TypeKey(A, VK_ESCAPE);
    EXPECT_EQ(A->Msgs(), (std::vector<Cardinal>{WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    EXPECT_EQ(A->Log[1].WParam, WPARAM('\r'));
    EXPECT_EQ(A->Log[4].WParam, WPARAM(27));
}

// A key the focused control leaves unused goes no further: its parent window never hears it.
TEST_F(FormFixture, KeysAChildLeavesUnusedDoNotReachItsParent)
{
    auto* child = new TEdit(Form);
    child->SetParent(A);
    child->SetBounds(2, 2, 40, 20);
    child->SetFocus();
    for (Word k : {Word(VK_F5), Word(VK_NEXT), Word(VK_DOWN), Word(VK_F10), Word('A')})
        TypeKey(child, k);
    EXPECT_EQ(child->Text(), "a");
    for (const Seen& s : A->Log)
        EXPECT_TRUE(s.Msg != WM_KEYDOWN && s.Msg != WM_KEYUP && s.Msg != WM_CHAR) << s.Msg << " " << s.WParam;
}

TEST_F(FormFixture, TypedTextIsWindows1250AndHandlersCanSwallowOrChangeKeys)
{
    std::string chars;
    A->OnKeyPress = [&](TObject*, char& k) {
        chars += k;
        if (k == 'x')
            k = 0;
    };
    std::vector<Word> downs;
    A->OnKeyDown = [&](TObject*, Word& k, TShiftState) { downs.push_back(k); };
    TypeText(A, "Zażółć x");
    EXPECT_EQ(chars, "Zażółć x");
    EXPECT_EQ(downs.size(), 8u);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0) << "no key stays down after typing";

    // KeyPreview: the form sees keys first and can swallow them.
    Form->SetKeyPreview(true);
    Form->OnKeyDown = [](TObject*, Word& k, TShiftState) {
        if (k == VK_F5)
            k = 0;
    };
    downs.clear();
    TypeKey(A, VK_F5);
    TypeKey(A, VK_F6);
    EXPECT_EQ(downs, std::vector<Word>{VK_F6});
}

TEST_F(FormFixture, ClicksMakeDownUpAndQuickSecondClickIsDoubleClick)
{
    int clicks = 0, dbl = 0;
    std::vector<TShiftState> downShift;
    A->OnClick = [&](TObject*) { ++clicks; };
    A->OnDblClick = [&](TObject*) { ++dbl; };
    A->OnMouseDown = [&](TObject*, TMouseButton, TShiftState s, int x, int y) {
        downShift.push_back(s);
        EXPECT_EQ(x, 5);
        EXPECT_EQ(y, 6);
    };
    Click(A, 5, 6);
    Click(A, 5, 6);
    EXPECT_EQ(A->Msgs(), (std::vector<Cardinal>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    EXPECT_EQ(GET_X_LPARAM(A->Log[0].LParam), 5);
    EXPECT_EQ(GET_Y_LPARAM(A->Log[0].LParam), 6);
    EXPECT_EQ(A->Log[0].WParam & MK_LBUTTON, MK_LBUTTON);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dbl, 1);
    ASSERT_EQ(downShift.size(), 2u);
    EXPECT_TRUE(downShift[1] & ssDouble);

    // A click after the double-click time is a new single click.
    A->Log.clear();
    AdvanceInputClock(GetDoubleClickTime() + 1);
    Click(A, 5, 6);
    EXPECT_EQ(A->Msgs(), (std::vector<Cardinal>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(clicks, 2);

    // A release outside the control is no click.
    MouseDown(A, 5, 6);
    MouseUp(A, 200, 6);
    EXPECT_EQ(clicks, 2);

    // Right button and the wheel (120 a notch, screen coordinates).
    A->Log.clear();
    A->OnMouseDown = nullptr;
    int wheelDown = 0;
    A->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& h) { ++wheelDown; h = true; };
    Click(A, 3, 3, mbRight, ssShift);
    Wheel(A, 3, 3, -240);
    ASSERT_EQ(A->Msgs(), (std::vector<Cardinal>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEWHEEL}));
    EXPECT_EQ(A->Log[0].WParam & (MK_RBUTTON | MK_SHIFT), MK_RBUTTON | MK_SHIFT);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(A->Log[2].WParam), -240);
    EXPECT_EQ(wheelDown, 2);
}

TEST_F(FormFixture, GraphicControlGetsMouseThroughItsParent)
{
    auto* box = new TPaintBox(Form);
    box->SetParent(Form);
    box->SetBounds(100, 100, 40, 30);
    std::vector<TPoint> at;
    box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { at.push_back(TPoint(x, y)); };
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    Click(box, 4, 5);
    ASSERT_EQ(at.size(), 1u);
    EXPECT_EQ(at[0], TPoint(4, 5));
    EXPECT_EQ(clicks, 1);
    // A disabled window takes no mouse input, nor does what lies in it; a hint of a window's own
    // or, without one, its parent's shows over it.
    auto* panel = Place<TPanel>(150, 100, 80, 60);
    int panelClicks = 0;
    panel->OnClick = [&](TObject*) { ++panelClicks; };
    box->SetParent(panel);
    box->SetBounds(0, 0, 40, 30);
    panel->SetHint("Panel");
    panel->SetShowHint(true);
    box->SetShowHint(true);
    EXPECT_EQ(HintAt(box, 4, 5), "Panel");
    for (bool enabled : {false, true}) {
        panel->SetEnabled(enabled);
        Click(box, 4, 5);
        Click(panel, 60, 50);
        EXPECT_EQ(clicks, enabled ? 2 : 1);
        EXPECT_EQ(panelClicks, enabled ? 1 : 0);
    }
}

TEST_F(FormFixture, TabMovesFocusUnlessTheControlWantsTabs)
{
    A->SetFocus();
    EXPECT_TRUE(A->Focused());
    TypeKey(A, VK_TAB);
    EXPECT_TRUE(B->Focused());
    EXPECT_EQ(B->Msgs(), (std::vector<Cardinal>{WM_SETFOCUS, WM_KEYUP}));
    auto kill = std::find_if(A->Log.begin(), A->Log.end(), [](const Seen& s) { return s.Msg == WM_KILLFOCUS; });
    ASSERT_NE(kill, A->Log.end());
    EXPECT_EQ(kill->WParam, B->Handle());
    EXPECT_EQ(A->Log.back().Msg, Cardinal(WM_KILLFOCUS)) << "the key's release goes to the focused control";
    TypeKey(B, VK_TAB, ssShift);
    EXPECT_TRUE(A->Focused());

    // B asks for tabs: Tab reaches it as a key.
    B->WantTabs = true;
    B->SetFocus();
    B->Log.clear();
    TypeKey(B, VK_TAB);
    EXPECT_TRUE(B->Focused());
    ASSERT_FALSE(B->Log.empty());
    EXPECT_EQ(B->Log[0].Msg, Cardinal(WM_KEYDOWN));
    EXPECT_EQ(B->Log[0].WParam, WPARAM(VK_TAB));

    // Controls that are not tab stops are skipped, the order wraps.
    B->WantTabs = false;
    B->SetTabStop(false);
    C->SetFocus();
    TypeKey(C, VK_TAB);
    EXPECT_TRUE(A->Focused());
    C->SetTabOrder(0);
    EXPECT_EQ(C->TabOrder(), 0);
    A->SetFocus();
    TypeKey(A, VK_TAB, ssShift);
    EXPECT_TRUE(C->Focused());

    int enter = 0, exit = 0;
    A->OnEnter = [&](TObject*) { ++enter; };
    C->OnExit = [&](TObject*) { ++exit; };
    A->SetFocus();
    EXPECT_EQ(enter, 1);
    EXPECT_EQ(exit, 1);
    A->SetVisible(false);
    EXPECT_FALSE(A->Focused());
    EXPECT_THROW(A->SetFocus(), EInvalidOperation);
}

TEST_F(FormFixture, CustomControlPaintsOverItsErasedBackground)
{
    std::unique_ptr<TBitmap> bmp = GrabControl(A);
    ASSERT_EQ(bmp->Width(), 50);
    ASSERT_EQ(bmp->Height(), 40);
    ExpectPixels(bmp->Canvas(), {{5, 5, clRed}, {30, 30, ColorToRGB(clBtnFace)}});
    A->SetColor(clLime);
    EXPECT_EQ(GrabControl(A)->Canvas()->Pixels(30, 30), clLime);

    // A paint box paints through OnPaint inside its parent.
    auto* box = new TPaintBox(Form);
    box->SetParent(Form);
    box->SetBounds(200, 100, 20, 20);
    box->OnPaint = [box](TObject*) {
        box->Canvas()->Brush()->SetColor(clBlue);
        box->Canvas()->FillRect(Rect(0, 0, 20, 20));
    };
    std::unique_ptr<TBitmap> whole = GrabControl(Form);
    ExpectPixels(whole->Canvas(), {{210, 110, clBlue}, {225, 110, ColorToRGB(clBtnFace)}});
}

TEST_F(FormFixture, PostedMessagesArriveInOrderFromTheLoop)
{
    HWND h = A->Handle();
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(PostMessage(h, WM_USER + 1, WPARAM(i), 0));
    EXPECT_TRUE(A->Log.empty()) << "nothing is delivered before the loop runs";
    EXPECT_EQ(SendMessage(h, WM_USER + 2, 0, 0), 0);
    ProcessPendingMessages();
    ASSERT_EQ(A->Log.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(A->Log[size_t(i)].WParam, WPARAM(i + 1));

    // The application sees loop messages first and may take them.
    Application->OnMessage = [](TMsg& m, bool& handled) { handled = m.message == WM_USER + 1 && m.wParam == 2; };
    A->Log.clear();
    PostMessage(h, WM_USER + 1, 1, 0);
    PostMessage(h, WM_USER + 1, 2, 0);
    ProcessPendingMessages();
    Application->OnMessage = nullptr;
    ASSERT_EQ(A->Log.size(), 1u);
    EXPECT_EQ(A->Log[0].WParam, 1u);
    EXPECT_FALSE(PostMessage(HWND(0xFFFFFF), WM_USER, 0, 0));
}

TEST_F(FormFixture, TimersFireThroughTheTestHook)
{
    EXPECT_EQ(SetTimer(A->Handle(), 7, 500, nullptr), 7u);
    EXPECT_TRUE(TimerActive(A, 7));
    EXPECT_TRUE(FireTimer(A, 7));
    ASSERT_EQ(A->Msgs(), std::vector<Cardinal>{WM_TIMER});
    EXPECT_EQ(A->Log[0].WParam, 7u);
    EXPECT_TRUE(KillTimer(A->Handle(), 7));
    EXPECT_FALSE(FireTimer(A, 7));

    auto* t = new TTimer(Form);
    int ticks = 0;
    t->OnTimer = [&](TObject*) { ++ticks; };
    t->SetInterval(100);
    SetTimer(B, 3, 10);
    EXPECT_GE(FireAllTimers(), 2);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(B->Msgs(), std::vector<Cardinal>{WM_TIMER});
    t->SetEnabled(false);
    EXPECT_FALSE(FireTimer(t));
    // A window's timers end with it.
    delete B;
    B = nullptr;
    EXPECT_EQ(FireAllTimers(), 0);
}

TEST_F(FormFixture, AlignedChildrenFillTheClientAreaInOrderAndAnchorsFollow)
{
    auto make = [&](TAlign a, int w, int h) {
        auto* p = new TCustomControl(Form);
        p->SetBounds(0, 0, w, h);
        p->SetAlign(a);
        p->SetParent(Form);
        return p;
    };
    TControl* client = make(alClient, 10, 10);
    TControl* left = make(alLeft, 40, 10);
    TControl* bottom = make(alBottom, 10, 30);
    TControl* top = make(alTop, 10, 20);
    TControl* right = make(alRight, 50, 10);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 20));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 170, 300, 200));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 40, 170));
    EXPECT_EQ(right->BoundsRect(), Rect(250, 20, 300, 170));
    EXPECT_EQ(client->BoundsRect(), Rect(40, 20, 250, 170));

    int resized = 0;
    client->OnResize = [&](TObject*) { ++resized; };
    C->SetAnchors(akRight | akTop);
    Form->SetBounds(10, 10, 400, 250);
    EXPECT_EQ(client->BoundsRect(), Rect(40, 20, 350, 220));
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(C->Left(), 230);
    EXPECT_EQ(A->Left(), 10);
}

TEST_F(FormFixture, ConstraintsLimitTheSizeAControlIsGiven)
{
    TSizeConstraints* k = A->Constraints();
    k->SetMaxWidth(40);   // applied at once: 50 -> 40
    EXPECT_EQ(A->Width(), 40);
    k->SetMinHeight(30);
    k->SetMaxHeight(60);
    struct Case { int Width, Height; TSize Want; };
    const Case sizes[] = {{100, 100, TSize(40, 60)}, {5, 5, TSize(5, 30)}, {20, 45, TSize(20, 45)}};
    for (const auto& c : sizes) {
        A->SetBounds(10, 10, c.Width, c.Height);
        EXPECT_EQ(TSize(A->Width(), A->Height()), c.Want) << c.Width << "x" << c.Height;
    }
    k->SetMinWidth(70);   // the largest follows the least
    EXPECT_EQ(k->MaxWidth(), 70);
    EXPECT_EQ(A->Width(), 70);
    B->SetConstraints(k);
    EXPECT_EQ(B->Width(), 70);
}

// A form's size limits, or its Constraints, hold it within 250 x 150 .. 400 x 300 whoever sizes it.
TEST_F(FormFixture, AFormsSizeLimitsAndConstraintsHoldForTheProgramAndTheUser)
{
    for (bool constraints : {false, true}) {
        Form->SetSizeLimits(constraints ? 0 : 250, constraints ? 0 : 150, constraints ? 0 : 400, constraints ? 0 : 300);
        if (constraints) {
            TSizeConstraints* k = Form->Constraints();
            k->SetMinWidth(250);
            k->SetMinHeight(150);
            k->SetMaxWidth(400);
            k->SetMaxHeight(300);
        }
        for (bool user : {false, true})
            for (TSize asked : {TSize(100, 100), TSize(900, 900)}) {
                SCOPED_TRACE(std::to_string(constraints) + std::to_string(user) + " " + std::to_string(asked.cx));
                user ? MoveWindowByUser(Form, 10, 10, asked.cx, asked.cy) : Form->SetBounds(10, 10, asked.cx, asked.cy);
                EXPECT_EQ(TSize(Form->Width(), Form->Height()), asked.cx < 250 ? TSize(250, 150) : TSize(400, 300));
                EXPECT_EQ(WindowFrame(Form).Width() - Form->Width(), 4);
            }
    }
}

TEST(Messages, RegisteredMessagesAreStablePerName)
{
    UINT a = RegisterWindowMessage("GridEditDone");
    UINT b = RegisterWindowMessage("Other");
    EXPECT_GE(a, 0xC000u);
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisterWindowMessage("GridEditDone"), a);
    EXPECT_EQ(RegisterWindowMessage("grideditdone"), a);
    TMessage m{WM_MOUSEMOVE, 0, MAKELPARAM(-5, 300), 0};
    TWMMouse v(m);
    EXPECT_EQ(v.XPos(), -5);
    EXPECT_EQ(v.YPos(), 300);
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestSupport.h"

namespace {
// Writes down what reached its window procedure, and each hook's turn.
class THooked : public TCustomControl {
public:
    explicit THooked(TComponent* owner, std::vector<std::string>* log) : TCustomControl(owner), Log(log) {}
    std::vector<std::string>* Log;
    Cardinal Watch = WM_USER + 7;
    void WndProc(TMessage& m) override
    {
        if (m.Msg == Watch) {
            Log->push_back("wndproc");
            m.Result = 5;
        }
        TCustomControl::WndProc(m);
    }
};

struct HookFixture : ::testing::Test {
    std::vector<std::string> Log;
    TForm* Form = nullptr;
    THooked* C = nullptr;
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(50, 60, 300, 200);
        C = new THooked(Form, &Log);
        C->SetParent(Form);
        C->SetBounds(10, 10, 100, 50);
        Form->Show();
    }
    void TearDown() override { delete Form; ProcessPendingMessages(); }
    int LogHook(const std::string& name, Cardinal msg, bool handled = false)
    {
        return C->AddMessageHook([this, name, msg, handled](TMessage& m) {
            if (m.Msg == msg)
                Log.push_back(name);
            return m.Msg == msg && handled;
        });
    }
};

// Every way a message reaches a control passes its hooks first.
TEST_F(HookFixture, EveryDeliveryPassesTheHooksNewestFirst)
{
    struct Way { const char* Name; Cardinal Msg; std::function<void(THooked*)> Send; };
    const std::vector<Way> ways = {
        {"perform", WM_USER + 7, [](THooked* c) { c->Perform(WM_USER + 7, 0, 0); }},
        {"send", WM_USER + 7, [](THooked* c) { SendMessage(c->Handle(), WM_USER + 7, 0, 0); }},
        {"post", WM_USER + 7, [](THooked* c) {
             PostMessage(c->Handle(), WM_USER + 7, 0, 0);
             ProcessPendingMessages();
         }},
        {"timer", WM_TIMER, [](THooked* c) { SetTimer(c, 3, 100); FireTimer(c, 3); KillTimer(c, 3); }},
        {"mouse", WM_LBUTTONDOWN, [](THooked* c) { Click(c, 5, 5); }},
        {"key", WM_KEYDOWN, [](THooked* c) { c->SetFocus(); KeyDown(c, 'A'); KeyUp(c, 'A'); }},
    };
    for (const Way& w : ways) {
        SCOPED_TRACE(w.Name);
        Log.clear();
        C->Watch = w.Msg;
        int a = LogHook("older", w.Msg);
        int b = LogHook("newer", w.Msg);
        w.Send(C);
        ASSERT_GE(Log.size(), 3u);
        EXPECT_EQ((std::vector<std::string>{"newer", "older", "wndproc"}),
                  std::vector<std::string>(Log.begin(), Log.begin() + 3));
        C->RemoveMessageHook(a);
        C->RemoveMessageHook(b);
    }
    EXPECT_EQ(0, C->MessageHookCount());
}

TEST_F(HookFixture, HandledMessageStopsBeforeOlderHooksAndWndProc)
{
    LogHook("older", WM_USER + 7);
    LogHook("newer", WM_USER + 7, true);
    EXPECT_EQ(0, C->Perform(WM_USER + 7, 0, 0));
    EXPECT_EQ(std::vector<std::string>{"newer"}, Log);
}

// A hook can act before and after the control's own handling and change its answer.
TEST_F(HookFixture, HookCallingNextRunsTheRestOnceAndSeesTheResult)
{
    LogHook("older", WM_USER + 7);
    C->AddMessageHook([this](TMessage& m, const TMessageNext& next) {
        if (m.Msg != WM_USER + 7)
            return false;
        Log.push_back("before");
        next(m);
        next(m);   // a second call changes nothing
        Log.push_back("after:" + std::to_string(m.Result));
        m.Result |= 0x80;
        return true;
    });
    EXPECT_EQ(5 | 0x80, C->Perform(WM_USER + 7, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"before", "older", "wndproc", "after:5"}), Log);

    // Answering false after Next does not pass the message a second time.
    Log.clear();
    C->AddMessageHook([](TMessage& m, const TMessageNext& next) { next(m); return false; });
    C->Perform(WM_USER + 7, 0, 0);
    EXPECT_EQ(1, std::count(Log.begin(), Log.end(), "wndproc"));
}

TEST_F(HookFixture, HooksRemovedOrAddedWhileAMessagePasses)
{
    int older = LogHook("older", WM_USER + 7);
    int self = 0;
    int added = 0;
    self = C->AddMessageHook([&](TMessage& m) {
        if (m.Msg != WM_USER + 7)
            return false;
        Log.push_back("self");
        C->RemoveMessageHook(self);    // itself
        C->RemoveMessageHook(older);   // one still to come
        added = LogHook("added", WM_USER + 7);
        return false;
    });
    C->Perform(WM_USER + 7, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"self", "wndproc"}), Log);
    Log.clear();
    C->Perform(WM_USER + 7, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"added", "wndproc"}), Log);
    C->RemoveMessageHook(added);
    C->RemoveMessageHook(12345);   // unknown ids are ignored
    EXPECT_EQ(0, C->MessageHookCount());
}

TEST_F(HookFixture, ControlDestroyedByItsHookEndsThePassSafely)
{
    for (bool afterNext : {false, true}) {
        SCOPED_TRACE(afterNext);
        auto* victim = new THooked(Form, &Log);
        victim->SetParent(Form);
        bool olderRan = false;
        victim->AddMessageHook([&](TMessage& m) {
            if (m.Msg == WM_USER + 7)
                olderRan = true;
            return false;
        });
        victim->AddMessageHook([&, victim](TMessage& m, const TMessageNext& next) {
            if (m.Msg != WM_USER + 7)
                return false;
            if (afterNext)
                next(m);
            delete victim;
            return false;
        });
        HWND h = victim->Handle();
        Log.clear();
        PostMessage(h, WM_USER + 7, 0, 0);
        ProcessPendingMessages();
        EXPECT_FALSE(IsWindow(h));
        EXPECT_EQ(afterNext, olderRan);
        EXPECT_EQ(afterNext ? 1 : 0, std::count(Log.begin(), Log.end(), "wndproc"));
    }
}

TEST_F(HookFixture, HooksHearTheDestroyMessageWhenTheControlGoes)
{
    bool destroyed = false;
    C->AddMessageHook([&](TMessage& m) {
        if (m.Msg == WM_DESTROY)
            destroyed = true;
        return true;
    });
    C->HandleNeeded();
    delete C;
    C = nullptr;
    EXPECT_TRUE(destroyed);
}

// ---------------------------------------------------------------- forms
struct FormHookFixture : HookFixture {
    std::vector<TMessage> Seen;
    void Watch(std::vector<Cardinal> msgs, Cardinal swallow = 0, WPARAM swallowW = 0)
    {
        Form->AddMessageHook([this, msgs, swallow, swallowW](TMessage& m) {
            if (std::find(msgs.begin(), msgs.end(), m.Msg) != msgs.end())
                Seen.push_back(m);
            return swallow && m.Msg == swallow && (swallowW == 0 || m.WParam == swallowW);
        });
    }
    std::vector<Cardinal> Msgs() const
    {
        std::vector<Cardinal> v;
        for (auto& m : Seen)
            v.push_back(m.Msg);
        return v;
    }
};

TEST_F(FormHookFixture, CloseButtonSendsWmCloseBeforeCloseQuery)
{
    Watch({WM_CLOSE});
    std::vector<std::string> order;
    Form->OnCloseQuery = [&](TObject*, bool& can) {
        order.push_back(Seen.empty() ? "query-first" : "query");
        can = true;
    };
    CloseWindowByUser(Form);
    EXPECT_EQ((std::vector<Cardinal>{WM_CLOSE}), Msgs());
    EXPECT_EQ((std::vector<std::string>{"query"}), order);
    EXPECT_FALSE(Form->Visible());

    // A hook that handles WM_CLOSE keeps the form open.
    Form->Show();
    Seen.clear();
    order.clear();
    Watch({}, WM_CLOSE);
    CloseWindowByUser(Form);
    EXPECT_TRUE(order.empty());
    EXPECT_TRUE(Form->Visible());
}

TEST_F(FormHookFixture, SetBoundsTellsPositionThenMoveThenSize)
{
    Watch({WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE});
    int resized = 0;
    Form->OnResize = [&](TObject*) { ++resized; };
    struct Case { int L, T, W, H; std::vector<Cardinal> Expect; int Resizes; };
    const std::vector<Case> cases = {
        {70, 80, 300, 200, {WM_WINDOWPOSCHANGED, WM_MOVE}, 0},
        {70, 80, 310, 220, {WM_WINDOWPOSCHANGED, WM_SIZE}, 1},
        {71, 81, 311, 221, {WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}, 1},
        {71, 81, 311, 221, {}, 0},
    };
    for (const Case& c : cases) {
        Seen.clear();
        resized = 0;
        Form->SetBounds(c.L, c.T, c.W, c.H);
        ProcessPendingMessages();   // the window system's echo adds nothing
        EXPECT_EQ(c.Expect, Msgs()) << c.L << "," << c.T << " " << c.W << "x" << c.H;
        EXPECT_EQ(c.Resizes, resized);
        for (auto& m : Seen) {
            if (m.Msg == WM_MOVE) {
                EXPECT_EQ(c.L, GET_X_LPARAM(m.LParam));
                EXPECT_EQ(c.T, GET_Y_LPARAM(m.LParam));
            }
            if (m.Msg == WM_SIZE) {
                EXPECT_EQ(WPARAM(SIZE_RESTORED), m.WParam);
                EXPECT_EQ(c.W, GET_X_LPARAM(m.LParam));
            }
        }
    }
}

TEST_F(FormHookFixture, WindowMovedBySystemUpdatesBoundsAndAlignment)
{
    C->SetAlign(alClient);
    Watch({WM_MOVE, WM_SIZE});
    MoveWindowByUser(Form, 120, 130, 400, 250);
    EXPECT_EQ(120, Form->Left());
    EXPECT_EQ(130, Form->Top());
    EXPECT_EQ(400, Form->Width());
    EXPECT_EQ(250, Form->Height());
    EXPECT_EQ((std::vector<Cardinal>{WM_MOVE, WM_SIZE}), Msgs());
    EXPECT_EQ(400, C->Width());
    EXPECT_EQ(250, C->Height());
}

TEST_F(FormHookFixture, MaximiseByUserIsASystemCommandAndAMaximisedSize)
{
    C->SetAlign(alClient);
    Watch({WM_SYSCOMMAND, WM_SIZE});
    SetWindowStateByUser(Form, wsMaximized);
    EXPECT_EQ(wsMaximized, Form->WindowState());
    ASSERT_FALSE(Seen.empty());
    EXPECT_EQ(Cardinal(WM_SYSCOMMAND), Seen[0].Msg);
    EXPECT_EQ(WPARAM(SC_MAXIMIZE), Seen[0].WParam);
    bool maxSize = false;
    for (auto& m : Seen)
        maxSize |= m.Msg == WM_SIZE && m.WParam == SIZE_MAXIMIZED;
    EXPECT_TRUE(maxSize);
    EXPECT_EQ(Form->ClientWidth(), C->Width());

    Seen.clear();
    SetWindowStateByUser(Form, wsNormal);
    EXPECT_EQ(wsNormal, Form->WindowState());
    ASSERT_FALSE(Seen.empty());
    EXPECT_EQ(WPARAM(SC_RESTORE), Seen[0].WParam);
}

TEST_F(FormHookFixture, HookRefusingMaximiseKeepsTheFormNormal)
{
    Watch({WM_SYSCOMMAND}, WM_SYSCOMMAND, SC_MAXIMIZE);
    SetWindowStateByUser(Form, wsMaximized);
    EXPECT_EQ(wsNormal, Form->WindowState());
    EXPECT_EQ(300, Form->Width());
}

TEST_F(FormHookFixture, ActivationIsAMessageAndAFormShownAgainIsActiveAgain)
{
    Watch({WM_ACTIVATE});
    int activated = 0;
    Form->OnActivate = [&](TObject*) { ++activated; };
    Form->Hide();
    Form->Show();
    EXPECT_TRUE(Form->Active());
    EXPECT_EQ(1, activated);
    ASSERT_EQ(2u, Seen.size());
    EXPECT_EQ(WA_INACTIVE, Seen[0].WParam & 0xFFFF);
    EXPECT_EQ(WA_ACTIVE, Seen[1].WParam & 0xFFFF);

    auto* other = new TForm(Application);
    other->Show();
    EXPECT_FALSE(Form->Active());
    EXPECT_TRUE(other->Active());
    ActivateWindowByUser(Form, true);
    EXPECT_TRUE(Form->Active());
    EXPECT_FALSE(other->Active());
    EXPECT_EQ(2, activated);
    delete other;
}

TEST_F(FormHookFixture, ApplicationOnMessageSeesPostedAndInputMessagesFirst)
{
    std::vector<Cardinal> app;
    Application->OnMessage = [&](TMsg& msg, bool& handled) {
        if (msg.hwnd == C->Handle()) {
            app.push_back(msg.message);
            handled = msg.message == WM_USER + 9;
        }
    };
    LogHook("hook", WM_USER + 9);
    PostMessage(C->Handle(), WM_USER + 9, 0, 0);
    PostMessage(C->Handle(), WM_USER + 7, 0, 0);
    ProcessPendingMessages();
    Click(C, 3, 3);
    Application->OnMessage = nullptr;
    EXPECT_EQ((std::vector<Cardinal>{WM_USER + 9, WM_USER + 7, WM_LBUTTONDOWN, WM_LBUTTONUP}), app);
    EXPECT_EQ(0, std::count(Log.begin(), Log.end(), "hook"));   // handled by the application
}
}  // namespace

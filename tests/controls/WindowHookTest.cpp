#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/KxHook.h"
#include "controls/Placement.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"

namespace {
constexpr Cardinal WM_PROBE = WM_USER + 77;

// A control that notes the probe message reaching its window procedure.
class TProbeControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<std::string>* Log = nullptr;
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_PROBE && Log)
            Log->push_back("control");
        TWinControl::WndProc(m);
    }
};

struct HookFixture : ::testing::Test {
    TForm* form = nullptr;
    TProbeControl* control = nullptr;
    std::vector<std::string> log;
    void SetUp() override
    {
        form = new TForm(nullptr);
        form->SetBounds(50, 50, 400, 300);
        control = new TProbeControl(form);
        control->SetParent(form);
        control->Log = &log;
    }
    void TearDown() override { delete form; }
    TKxWindowHook* AddHook(const std::string& name, const std::string& handleBefore = "",
                           const std::string& handleAfter = "")
    {
        auto* h = new TKxWindowHook(form);
        h->BeforeMessage = [this, name, handleBefore](TObject*, TMessage& m, bool& handled) {
            if (m.Msg != WM_PROBE)
                return;
            log.push_back(name + " before");
            handled = !handleBefore.empty();
        };
        h->AfterMessage = [this, name, handleAfter](TObject*, TMessage& m, bool& handled) {
            if (m.Msg != WM_PROBE)
                return;
            log.push_back(name + " after");
            handled = !handleAfter.empty();
        };
        h->SetWinControl(control);
        return h;
    }
};
}  // namespace

TEST_F(HookFixture, HandlersRunNewestFirstUntilOneHandlesTheMessage)
{
    struct Case {
        const char* Name;
        bool FirstHandlesBefore, SecondHandlesBefore, SecondHandlesAfter;
        std::vector<std::string> Expected;
    } cases[] = {
        {"nobody handles", false, false, false,
         {"second before", "first before", "control", "second after", "first after"}},
        {"newest handles before", false, true, false, {"second before"}},
        {"oldest handles before", true, false, false, {"second before", "first before"}},
        {"newest handles after", false, false, true, {"second before", "first before", "control", "second after"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TKxWindowHook* first = AddHook("first", c.FirstHandlesBefore ? "x" : "");
        TKxWindowHook* second = AddHook("second", c.SecondHandlesBefore ? "x" : "", c.SecondHandlesAfter ? "x" : "");
        log.clear();
        control->Perform(WM_PROBE, 0, 0);
        EXPECT_EQ(log, c.Expected);
        delete second;
        delete first;
        EXPECT_EQ(control->MessageHookCount(), 0);
    }
}

TEST_F(HookFixture, ActiveMovingAndTheControlsEndUnhook)
{
    TKxWindowHook* h = AddHook("h");
    h->SetActive(false);
    control->Perform(WM_PROBE, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"control"}));
    EXPECT_EQ(control->MessageHookCount(), 0);
    h->SetActive(true);
    log.clear();
    control->Perform(WM_PROBE, 0, 0);
    EXPECT_EQ(log.size(), 3u);

    // Moving the hook to the form leaves the control alone.
    h->SetWinControl(form);
    EXPECT_TRUE(h->IsForm());
    EXPECT_EQ(control->MessageHookCount(), 0);
    EXPECT_EQ(form->MessageHookCount(), 1);
    h->SetWinControl(control);

    // The hooked control goes: the hook forgets it; the destroy message reaches the control even when handled.
    bool sawDestroy = false;
    h->AfterMessage = [&](TObject*, TMessage& m, bool&) {
        if (m.Msg == WM_DESTROY)
            sawDestroy = true;
    };
    h->BeforeMessage = [&](TObject*, TMessage& m, bool& handled) {
        if (m.Msg == WM_DESTROY)
            handled = true;
    };
    control->HandleNeeded();
    delete control;
    control = nullptr;
    EXPECT_TRUE(sawDestroy);
    EXPECT_EQ(h->WinControl(), nullptr);
    delete h;
}

// ---------------------------------------------------------------- placement size limits
using PlacementLimits = HookFixture;

TEST_F(PlacementLimits, LimitsHoldAgainstTheUsersSizingAndMaximising)
{
    auto* placement = new TFormPlacement(form);
    placement->SetActive(false);
    form->Show();
    struct Case { const char* Name; int MinW, MaxH, MaxSizeW; bool Prevent; int AskW, AskH, WantW, WantH; } cases[] = {
        {"no limits", 0, 0, 0, false, 350, 250, 350, 250},
        {"minimum width", 300, 0, 0, false, 120, 250, 300, 250},
        {"maximum height", 0, 280, 0, false, 500, 600, 500, 280},
        // The window manager maximises a window within its largest size.
        {"maximised width", 0, 0, 450, false, 600, 250, 450, 250},
        {"maximised width within the maximum height", 0, 280, 450, false, 600, 600, 450, 280},
        {"fixed size", 0, 0, 0, true, 600, 500, 400, 300},
    };
    TWinMinMaxInfo* info = placement->MinMaxInfo();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        placement->SetPreventResize(false);
        info->SetMinTrackWidth(0);
        info->SetMaxTrackHeight(0);
        info->SetMaxSizeWidth(0);
        form->SetBounds(50, 50, 400, 300);
        info->SetMinTrackWidth(c.MinW);
        info->SetMaxTrackHeight(c.MaxH);
        info->SetMaxSizeWidth(c.MaxSizeW);
        placement->SetPreventResize(c.Prevent);
        MoveWindowByUser(form, 60, 70, c.AskW, c.AskH);
        EXPECT_EQ(form->Width(), c.WantW);
        EXPECT_EQ(form->Height(), c.WantH);
        EXPECT_EQ(form->Left(), 60);
        SetWindowStateByUser(form, wsMaximized);
        EXPECT_EQ(form->WindowState(), c.Prevent ? wsNormal : wsMaximized);
        SetWindowStateByUser(form, wsNormal);
    }
    // Without limits the form is not hooked at all.
    placement->SetPreventResize(false);
    info->SetMinTrackWidth(0);
    info->SetMaxTrackHeight(0);
    info->SetMaxSizeWidth(0);
    EXPECT_EQ(form->MessageHookCount(), 0);
    form->Hide();
}

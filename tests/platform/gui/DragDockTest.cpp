// The framework's drag of controls between controls, and docking and floating.
#include <gtest/gtest.h>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"
#include "tests/common/Screenshots.h"

namespace {

AnsiString NameOf(TObject* o)
{
    auto* c = dynamic_cast<TComponent*>(o);
    return c ? c->Name() : AnsiString(o ? "?" : "nil");
}

// Three panels: Source is dragged; Taker accepts only Source; Refuser refuses everything.
struct ControlDrag : TFormTest {
    TPanel* Source = nullptr;
    TPanel* Taker = nullptr;
    TPanel* Refuser = nullptr;
    AnsiString Log;
    void SetUp() override
    {
        MakeForm(400, 200);
        Source = Place<TPanel>(10, 10, 80, 60);
        Taker = Place<TPanel>(150, 10, 80, 60);
        Refuser = Place<TPanel>(290, 10, 80, 60);
        Source->SetName("Source");
        Taker->SetName("Taker");
        Refuser->SetName("Refuser");
        Taker->OnDragOver = [this](TObject* S, TObject* Src, int X, int Y, TDragState State, bool& Accept) {
            static const char* states[] = {"enter", "leave", "move"};
            Log += NameOf(S) + " " + states[State] + " " + NameOf(Src) + ";";
            Accept = Src == Source;
        };
        Refuser->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& Accept) { Accept = false; };
        for (TPanel* p : {Taker, Refuser})
            p->OnDragDrop = [this](TObject* S, TObject* Src, int X, int Y) {
                Log += "drop on " + NameOf(S) + " of " + NameOf(Src) + " at " + IntToStr(X) + "," + IntToStr(Y) + ";";
            };
        Source->OnEndDrag = [this](TObject*, TObject* Target, int X, int Y) {
            Log += "end on " + NameOf(Target) + ";";
        };
        Form->Show();
    }
};

}  // namespace

TEST_F(ControlDrag, DropsOnTheControlThatAcceptsAndEndsTheDrag)
{
    struct Case {
        const char* Name;
        TDragMode Mode;
        TPoint To;          // in Source's client coordinates
        bool Escape;
        const char* Log;
    } cases[] = {
        {"automatic drag onto the taker", dmAutomatic, TPoint(170, 20), false,
         "Taker enter Source;Taker move Source;Taker move Source;drop on Taker of Source at 30,20;end on Taker;"},
        {"manual drag onto the taker", dmManual, TPoint(170, 20), false,
         "Taker enter Source;Taker move Source;Taker move Source;drop on Taker of Source at 30,20;end on Taker;"},
        {"over the taker onto the refuser", dmAutomatic, TPoint(310, 20), false,
         "Taker enter Source;Taker leave Source;end on nil;"},
        {"cancelled with Escape over the taker", dmAutomatic, TPoint(170, 20), true,
         "Taker enter Source;Taker move Source;Taker move Source;Taker leave Source;end on nil;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Log.clear();
        Source->SetDragMode(c.Mode);
        bool pressed = false;
        Source->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
            pressed = true;
            Source->BeginDrag(false);   // starts once the mouse has moved 5 pixels
        };
        MouseDown(Source, 20, 20);
        EXPECT_EQ(c.Mode == dmManual, pressed);   // an automatic drag takes the press
        EXPECT_TRUE(Source->Dragging());
        MouseMove(Source, 22, 21);   // within the threshold of a manual drag: nothing yet
        for (int x : {100, 150, c.To.X - 10, c.To.X})
            MouseMove(Source, x, c.To.Y, ssLeft);
        if (c.To.X == 170)
            EXPECT_EQ(crDrag, Screen->Cursor());
        else
            EXPECT_EQ(crNoDrop, Screen->Cursor());
        if (c.Escape)
            KeyDown(Source, VK_ESCAPE);
        else
            MouseUp(Source, c.To.X, c.To.Y);
        EXPECT_FALSE(Source->Dragging());
        EXPECT_EQ(AnsiString(c.Log), Log);
        EXPECT_EQ(crDefault, Screen->Cursor());
        EXPECT_EQ(nullptr, DragObject());
        Source->OnMouseDown = nullptr;
    }
}

// A dock site, and a panel dragged by dock drag into it, out of it (floating) and back.
struct Docking : TFormTest {
    TPanel* Site = nullptr;
    TPanel* Tool = nullptr;
    AnsiString Log;
    void SetUp() override
    {
        MakeForm(400, 300);
        Site = Place<TPanel>(200, 10, 150, 200);
        Site->SetName("Site");
        Site->SetDockSite(true);
        Tool = Place<TPanel>(10, 10, 100, 80);
        Tool->SetName("Tool");
        Tool->SetCaption("Narzędzia");
        Tool->SetDragKind(dkDock);
        Tool->SetDragMode(dmAutomatic);
        Site->OnDockOver = [this](TObject*, TDragDockObject* S, int, int, TDragState State, bool& Accept) {
            if (State == dsDragEnter)
                Log += "over " + NameOf(S->Control()) + ";";
        };
        Site->OnDockDrop = [this](TObject*, TDragDockObject* S, int X, int Y) { Log += "dock;"; };
        Site->OnUnDock = [this](TObject*, TControl* Client, TWinControl* NewTarget, bool& Allow) {
            Log += "undock to " + NameOf(NewTarget) + ";";
        };
        Tool->OnEndDock = [this](TObject*, TObject* Target, int, int) { Log += "end;"; };
        Form->Show();
    }
};

TEST_F(Docking, DockDragDocksFloatsAndDocksBack)
{
    // Into the site.
    Drag(Tool, TPoint(20, 20), TPoint(250, 60));
    EXPECT_EQ("over Tool;dock;end;", Log);
    EXPECT_EQ(Site, Tool->Parent());
    EXPECT_EQ(Site, Tool->HostDockSite());
    EXPECT_EQ(1, Site->DockClientCount());
    EXPECT_FALSE(Tool->Floating());

    // Out of the site, dropped where no site is: it floats in its own window there.
    Log.clear();
    const TPoint start = Tool->ClientToScreen(TPoint(5, 5));
    const TPoint away = Form->ClientToScreen(TPoint(20, 250));
    Drag(Tool, TPoint(5, 5), Tool->ScreenToClient(away));
    EXPECT_EQ("over Tool;undock to nil;end;", Log);   // over its own site first
    ASSERT_TRUE(Tool->Floating());
    EXPECT_EQ(0, Site->DockClientCount());
    auto* host = dynamic_cast<TCustomForm*>(Tool->Parent());
    ASSERT_NE(nullptr, host);
    EXPECT_EQ("Narzędzia", host->Caption());
    EXPECT_EQ(Tool->Width(), host->ClientWidth());
    // The window sits where the panel was let go, the grab point under the pointer.
    EXPECT_EQ(away, Tool->ClientToScreen(TPoint(5, 5)));
    EXPECT_NE(start, away);
    std::unique_ptr<TBitmap> shot = GrabControl(host);
    ASSERT_TRUE(shot && !shot->Empty());
    SaveScreenshot(shot.get(), "DockingFloatingTool.png");

    // Back by program; a site that refuses to let go keeps it.
    Log.clear();
    EXPECT_TRUE(Tool->ManualDock(Site, nullptr, alClient));
    EXPECT_EQ("dock;", Log);
    EXPECT_EQ(Site, Tool->Parent());
    EXPECT_EQ(alClient, Tool->Align());
    EXPECT_FALSE(Tool->Floating());
    Site->OnUnDock = [](TObject*, TControl*, TWinControl*, bool& Allow) { Allow = false; };
    EXPECT_FALSE(Tool->ManualFloat(TRect(50, 50, 150, 130)));
    EXPECT_EQ(Site, Tool->Parent());
}

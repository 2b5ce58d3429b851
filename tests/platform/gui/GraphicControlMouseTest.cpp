#include <gtest/gtest.h>

#include "platform/gui/Controls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"

namespace {
// Two paint boxes side by side and a panel (a window) on a shown form; their mouse enter and
// leave events are written down as "+A", "-A" ...
struct GraphicMouse : TFormTest {
    TPaintBox* A = nullptr;
    TPaintBox* B = nullptr;
    AnsiString Log;
    void SetUp() override
    {
        MakeForm(300, 200);
        A = Place<TPaintBox>(20, 20, 40, 30);
        B = Place<TPaintBox>(60, 20, 40, 30);   // touches A
        Watch(A, "A");
        Watch(B, "B");
        Watch(Place<TPanel>(220, 100, 40, 30), "W");
        Form->Show();
    }
    void Watch(TControl* c, const AnsiString& name)
    {
        c->OnMouseEnter = [this, name](TObject*) { Log += "+" + name; };
        c->OnMouseLeave = [this, name](TObject*) { Log += "-" + name; };
    }
};

enum StepKind { Move, Down, Up, LeaveForm, HideA, DisableA, FreeA };
struct Step { StepKind Kind; int X = 0, Y = 0; };
}  // namespace

TEST_F(GraphicMouse, EnterAndLeaveFollowTheChildUnderTheMouse)
{
    struct Case { const char* Name; std::vector<Step> Steps; const char* Log; } cases[] = {
        {"across both and out of the form",
         {{Move, 5, 5}, {Move, 30, 30}, {Move, 40, 35}, {Move, 70, 30}, {Move, 90, 40}, {LeaveForm}},
         "+A-A+B-B"},
        {"through the gap between them",
         {{Move, 30, 30}, {Move, 30, 80}, {Move, 70, 30}, {Move, 200, 150}},
         "+A-A+B-B"},
        // A press holds the mouse for the child: the drag over B changes nothing until released.
        {"dragged from A onto B",
         {{Move, 30, 30}, {Down, 30, 30}, {Move, 70, 30}, {Move, 80, 35}, {Up, 80, 35}, {Move, 81, 35}},
         "+A-A+B"},
        {"A hidden under the mouse", {{Move, 30, 30}, {HideA}, {Move, 31, 31}, {Move, 70, 30}}, "+A-A+B"},
        {"A disabled under the mouse", {{Move, 30, 30}, {DisableA}, {Move, 31, 31}, {Move, 70, 30}}, "+A-A+B"},
        // A freed child hears nothing more; the next child is entered as usual.
        {"A freed under the mouse", {{Move, 30, 30}, {FreeA}, {Move, 31, 31}, {Move, 70, 30}}, "+A+B"},
        {"onto the panel and off it", {{Move, 30, 30}, {Move, 230, 110}, {Move, 240, 115}, {Move, 280, 180}},
         "+A-A+W-W"},
        {"out of the form from the panel", {{Move, 230, 110}, {LeaveForm}}, "+W-W"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TearDown();
        Log.clear();
        SetUp();
        for (const Step& s : c.Steps) {
            switch (s.Kind) {
            case Move: MouseMove(Form, s.X, s.Y); break;
            case Down: MouseDown(Form, s.X, s.Y); break;
            case Up: MouseUp(Form, s.X, s.Y); break;
            case LeaveForm: MouseLeave(Form); break;
            case HideA: A->Hide(); break;
            case DisableA: A->SetEnabled(false); break;
            case FreeA: delete A; A = nullptr; break;
            }
        }
        EXPECT_EQ(Log, c.Log);
    }
}

TEST_F(GraphicMouse, MovesInsideTheChildGoToItWithoutNewEnter)
{
    std::vector<TPoint> moves;
    A->OnMouseMove = [&](TObject*, TShiftState, int X, int Y) { moves.push_back(TPoint(X, Y)); };
    MouseMove(Form, 25, 25);
    MouseMove(Form, 30, 28);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[1].X, 10);
    EXPECT_EQ(moves[1].Y, 8);
    EXPECT_EQ(Log, "+A");
}

TEST_F(GraphicMouse, WindowShowsTheCursorOfTheChildUnderTheMouse)
{
    auto* label = Place<TLabel>(150, 20, 60, 20);
    label->SetCaption("Pomoc");
    label->SetAutoSize(false);
    label->SetBounds(150, 20, 60, 20);
    struct Case { TCursor Form, Child; TCursor OverChild, Away; } cases[] = {
        {crDefault, crHandPoint, crHandPoint, crDefault},
        {crCross, crDefault, crCross, crCross},
        {crCross, crHandPoint, crHandPoint, crCross},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Child);
        Form->SetCursor(c.Form);
        label->SetCursor(c.Child);
        MouseMove(Form, 5, 5);
        EXPECT_EQ(WindowCursor(Form), c.Away);
        MouseMove(Form, 160, 25);
        EXPECT_EQ(WindowCursor(Form), c.OverChild);
        // The form's own cursor changing under the child does not hide the child's.
        Form->SetCursor(crSizeAll);
        EXPECT_EQ(WindowCursor(Form), c.Child == crDefault ? crSizeAll : c.Child);
        Form->SetCursor(c.Form);
        MouseMove(Form, 250, 150);
        EXPECT_EQ(WindowCursor(Form), c.Away);
    }
    // A change of the child's cursor shows at once; hiding the child gives the form's back.
    Form->SetCursor(crDefault);
    MouseMove(Form, 160, 25);
    label->SetCursor(crHelp);
    EXPECT_EQ(WindowCursor(Form), crHelp);
    label->Hide();
    EXPECT_EQ(WindowCursor(Form), crDefault);
}

TEST_F(GraphicMouse, TheHitTestUnderTheFreeMouseShowsItsSizingCursor)
{
    // The form answers sizing borders 4 pixels wide on each side and leaves the rest to itself.
    Form->SetCursor(crHelp);
    Form->AddMessageHook([this](TMessage& m) {
        if (m.Msg != WM_NCHITTEST)
            return false;
        const TPoint p = Form->ScreenToClient(TPoint(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
        const int col = p.X < 4 ? 0 : p.X >= Form->ClientWidth() - 4 ? 2 : 1;
        const int row = p.Y < 4 ? 0 : p.Y >= Form->ClientHeight() - 4 ? 2 : 1;
        static const LRESULT hits[3][3] = {{HTTOPLEFT, HTTOP, HTTOPRIGHT},
                                           {HTLEFT, HTCLIENT, HTRIGHT},
                                           {HTBOTTOMLEFT, HTBOTTOM, HTBOTTOMRIGHT}};
        m.Result = hits[row][col];
        return true;
    });
    const int r = Form->ClientWidth() - 1, b = Form->ClientHeight() - 1;
    struct Case {
        int X, Y;
        bool Dragged;   // the left button pressed where the mouse was, released after
        TCursor Want;
    } cases[] = {
        {150, 2, false, crSizeNS},   {150, b, false, crSizeNS},   {1, 100, false, crSizeWE},
        {r, 100, false, crSizeWE},   {1, 1, false, crSizeNWSE},   {r, b, false, crSizeNWSE},
        {r, 1, false, crSizeNESW},   {1, b, false, crSizeNESW},
        {150, 100, false, crHelp},   // back inside: the form's own cursor
        {30, 30, false, crHelp},     // over the paint box A, which has none of its own
        {2, 100, false, crSizeWE},
        {150, 100, true, crSizeWE},   // a drag from the border keeps its cursor
        {150, 101, false, crHelp},
    };
    TPoint at;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y));
        if (c.Dragged)
            MouseDown(Form, at.X, at.Y);
        MouseMove(Form, c.X, c.Y);
        EXPECT_EQ(WindowCursor(Form), c.Want);
        if (c.Dragged)
            MouseUp(Form, c.X, c.Y);
        at = TPoint(c.X, c.Y);
    }
}

// Real X input under the window manager to the program's fields and controls inside the test:
// pastes into every kind of multi-line field while no program owns the clipboard, and a colour
// button's palette left by a click beside it and at the program's end.
#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include "controls/ColorPicker.h"
#include "grid/ProHint.h"
#include "platform/gui/RichEdit.h"
#include "tests/e2e/DesktopRun.h"

namespace {

// The id of the shown window whose title begins with Title; "" after 30 s.
std::string WindowTitled(const AnsiString& Title)
{
    std::string id;
    EXPECT_TRUE(WaitUntil([&] {
        id = FirstLine(CommandOutput("xdotool search --onlyvisible --name '^" + AnsiToUtf8(Title) + "' 2>/dev/null"));
        return !id.empty();
    }, 30000)) << Title << WindowNames();
    return id;
}

// The window titled Title once the window manager has framed and activated it; "" when it has not.
std::string FramedAndActive(const AnsiString& Title)
{
    const std::string id = WindowTitled(Title);
    const bool framed = !id.empty() && WaitUntil([&] {
        return CommandOutput("xprop -id " + id + " _NET_FRAME_EXTENTS").find('=') != std::string::npos;
    }, 30000);
    return framed && Xdo("windowactivate --sync " + id) ? id : std::string();
}

// A point of C (client coordinates) on the screen, from where the window of F lies on it.
TPoint ScreenPoint(const std::string& Id, TCustomForm* F, TControl* C, TPoint P)
{
    const TPoint at = C->ClientToScreen(P), origin = F->ClientToScreen(TPoint(0, 0));
    const TRect w = ScreenRect(Id);
    return TPoint(w.Left + at.X - origin.X, w.Top + at.Y - origin.Y);
}

bool ClickOnScreen(const TPoint& P, int Button = 1)
{
    return Xdo("mousemove " + std::to_string(P.X) + " " + std::to_string(P.Y) + " click " +
               std::to_string(Button));
}

// The display's clipboard and selection given to nobody, as when the program that copied has
// ended: true when no program owns them.
bool ClipboardOfNobody()
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    bool none = !xcb_connection_has_error(c);
    for (const char* name : {"CLIPBOARD", "PRIMARY"}) {
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
        if (!atom) {
            none = false;
            continue;
        }
        xcb_set_selection_owner(c, XCB_NONE, atom->atom, XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t* owner =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
        none = none && owner && owner->owner == XCB_NONE;
        std::free(owner);
        std::free(atom);
    }
    xcb_disconnect(c);
    return none;
}

// An edit made with several lines, as the grid's in-place editor is.
class TLinesEdit : public TEdit {
public:
    using TEdit::TEdit;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TEdit::CreateParams(Params);
        Params.Style |= ES_MULTILINE;
    }
};

}   // namespace

// Ctrl+V, Shift+Insert and the middle button paste nothing into a memo, a multi-line edit and a
// rich edit while the clipboard is owned by nobody; the field takes the next key as before.
TEST_F(DesktopInput, APasteWhileNoProgramOwnsTheClipboardPastesNothingIntoAMultiLineField)
{
    TForm form(nullptr);
    form.SetCaption("Pola wielowierszowe");
    form.SetBounds(60, 60, 420, 160);
    auto* memo = new TMemo(&form);
    auto* edit = new TLinesEdit(&form);
    auto* rich = new TRichEdit(&form);
    TWinControl* fields[] = {memo, edit, rich};
    for (int i = 0; i < 3; ++i) {
        fields[i]->SetParent(&form);
        fields[i]->SetBounds(10 + 135 * i, 10, 125, 100);
    }
    // Shown before the window manager starts, which takes it as it starts.
    form.Show();
    StartWindowManager();
    ASSERT_FALSE(HasFatalFailure());
    const std::string window = FramedAndActive("Pola wielowierszowe");
    ASSERT_FALSE(window.empty());
    const char* const pastes[] = {"key ctrl+v", "key shift+Insert", "middle"};
    for (TWinControl* field : fields) {
        const TPoint end = ScreenPoint(window, &form, field, TPoint(field->Width() - 8, field->Height() - 8));
        ASSERT_TRUE(ClickOnScreen(end));
        ASSERT_TRUE(WaitUntil([&] { return field->Focused(); }, 30000));
        for (const char* paste : pastes) {
            SCOPED_TRACE(std::string(field->ClassName()) + " " + paste);
            field->SetText("abc");
            ASSERT_TRUE(Xdo("key ctrl+End"));
            ASSERT_TRUE(ClipboardOfNobody());
            ASSERT_TRUE(std::string(paste) == "middle" ? ClickOnScreen(end, 2) : Xdo(paste));
            // The key after the paste shows that the paste was taken.
            ASSERT_TRUE(Xdo("key x"));
            EXPECT_TRUE(WaitUntil([&] { return field->Text().find('x') != AnsiString::npos; }, 30000));
            EXPECT_EQ(field->Text(), "abcx");
        }
    }
    form.Hide();
}

// A mini-HTML hint laid over the cell under the mouse stays: its window lets the mouse through.
TEST_F(DesktopInput, AHintLaidOverTheCellUnderTheMouseStays)
{
    TForm form(nullptr);
    form.SetCaption("Podpowiedzi komórek");
    auto* grid = new TProStringGrid(&form);
    grid->SetParent(&form);
    grid->SetShowHint(true), grid->SetHintShowCells(true), grid->SetHTMLHint(true);
    grid->SetCells(1, 1, "<b>Norma</b> PN-EN 1");
    int movedTo = -1;
    grid->OnMouseMove = [&](TObject*, TShiftState, int X, int) { movedTo = X; };
    form.Show();
    StartWindowManager();
    const std::string window = FramedAndActive("Podpowiedzi komórek");
    ASSERT_FALSE(HasFatalFailure() || window.empty());
    const TRect cell = grid->CellRect(1, 1);
    const TPoint at = ScreenPoint(window, &form, grid, TPoint(cell.Left + 5, cell.Top + 5));
    ASSERT_TRUE(Xdo("mousemove " + std::to_string(at.X) + " " + std::to_string(at.Y)));
    ASSERT_TRUE(WaitUntil([&] { return grid->HintWindow()->Visible(); }, 30000));
    ASSERT_TRUE(Xdo("mousemove " + std::to_string(at.X + 3) + " " + std::to_string(at.Y)));
    EXPECT_TRUE(WaitUntil([&] { return movedTo == cell.Left + 8; }, 30000)) << "the move reaches the grid";
    EXPECT_TRUE(grid->HintWindow()->Visible());
}

// A colour button's palette closes when a click on the page beside it takes the focus, opens again
// from the same arrow, and left open it goes with the program at its end, freed once.
TEST_F(DesktopInput, AColourPaletteClosesOnAClickBesideItAndOneLeftOpenEndsWithTheProgram)
{
    StartWindowManager();
    StartThreeTimes();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(Start([&](Tf_MainForm* Form) {
                  ASSERT_TRUE(ClickMenuItem(Form, "Ustawienia", "Kolory i styl przycisków menu głównego"));
                  TColorBtn* button = nullptr;
                  for (int i = 0; i < Form->ComponentCount() && !button; ++i)
                      if (auto* b = dynamic_cast<TColorBtn*>(Form->Components(i)); b && b->Showing())
                          button = b;
                  ASSERT_NE(button, nullptr);
                  const std::string main = WindowTitled("Velmarok Polskich Norm v");
                  ASSERT_TRUE(Xdo("windowactivate --sync " + main));
                  TKxSpeedButton* arrow = button->DropDownHalf();
                  const TPoint onArrow = ScreenPoint(main, Form, arrow, TPoint(arrow->Width() / 2, arrow->Height() / 2));
                  // Right of the button, where the palette (below its left end) does not reach.
                  const TPoint beside = ScreenPoint(main, Form, button, TPoint(button->Width() + 200, button->Height() / 2));
                  for (int round = 0; round < 2; ++round) {
                      ASSERT_TRUE(ClickOnScreen(onArrow));
                      ASSERT_TRUE(WaitUntil([&] { return button->Popup() && button->Popup()->Showing(); }, 30000))
                          << round;
                      if (round == 0) {
                          ASSERT_TRUE(ClickOnScreen(beside));
                          EXPECT_TRUE(WaitUntil([&] { return !button->Popup(); }, 30000));
                      }
                  }
                  CloseWindowByUser(Form);   // the first close shows the catalogue's page
              }),
              0);
}

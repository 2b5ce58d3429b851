#include <gtest/gtest.h>

#include <vector>

#include "grid/ProGrid.h"
#include "platform/gui/StdCtrls.h"
#include "tests/common/FormTest.h"

namespace {
// A grid that records what its auxiliary editors ask of it.
class TRecordingGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    int RichEditEnds = 0;
    std::vector<std::pair<int, int>> Advances;
    std::vector<int> NextControls;
    void EndRichEdit() override
    {
        ++RichEditEnds;
        TProStringGrid::EndRichEdit();
    }
    void AdvanceToNextCell(int ACol, int ARow, bool, bool, bool, bool, bool) override
    {
        Advances.push_back({ACol, ARow});
    }
    void ShowNextCellFormControl(int ACol, int ARow, int Index) override { NextControls.push_back(Index); }
};

struct AuxEditors : TFormTest {
    TRecordingGrid* Grid = nullptr;
    TEdit* Other = nullptr;
    void SetUp() override
    {
        MakeForm(500, 400);
        Grid = new TRecordingGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 400, 300);
        Grid->SetColCount(5);
        Grid->SetRowCount(10);
        Other = Place<TEdit>(410, 10, 80, 22);
        Form->Show();
    }
};
}  // namespace

TEST_F(AuxEditors, RichEditGrowsTheRowWhileTypingOnlyWhenAllowedAndInside)
{
    struct Case {
        const char* Name;
        bool SizeWhileTyping, Locked, Measuring;
        int Requested;
        int RowHeight;   // after the request
        int Events;
    } cases[] = {
        {"grows", true, false, false, 40, 45, 1},
        {"sizing off", false, false, false, 40, 22, 0},
        {"locked while loading", true, true, false, 40, 22, 0},
        {"not taller than the row", true, false, false, 22, 22, 0},
        {"beyond the grid", true, false, false, 1000, 22, 0},
        {"the hidden measuring editor", true, false, true, 40, 22, 0},
    };
    for (const Case& c : cases) {
        Grid->SetDefaultRowHeight(22);
        for (int r = 0; r < Grid->RowCount(); ++r) Grid->SetRowHeights(r, 22);
        Grid->SetRow(2);
        Grid->SizeWhileTyping()->SetHeight(c.SizeWhileTyping);
        std::vector<int> ended;
        Grid->OnEndRowSize = [&](TObject* Sender, int ARow) {
            EXPECT_EQ(Sender, Grid);
            ended.push_back(ARow);
        };
        TProRichEdit* edit = c.Measuring ? Grid->RichEdit() : Grid->RichEditSelection();
        edit->SetHeight(20);
        if (c.Locked) edit->LockSizing();
        edit->RequestResize(TRect(0, 0, 100, c.Requested));
        edit->UnlockSizing();
        EXPECT_EQ(edit->RequestedRect().Height(), c.Requested) << c.Name;
        EXPECT_EQ(Grid->RowHeights(2), c.RowHeight) << c.Name;
        ASSERT_EQ(int(ended.size()), c.Events) << c.Name;
        if (c.Events) {
            EXPECT_EQ(ended[0], 2) << c.Name;
            EXPECT_EQ(edit->Height(), c.Requested + 4) << c.Name;
        } else {
            EXPECT_EQ(edit->Height(), 20) << c.Name;
        }
    }
}

TEST_F(AuxEditors, RichEditHandsTheFocusBackOnlyToTheGrid)
{
    TProRichEdit* edit = Grid->RichEdit();
    edit->SetParent(Grid);
    edit->SetBounds(10, 10, 100, 40);
    edit->SetVisible(true);

    struct Case {
        const char* Name;
        bool Popup, ToGrid;
        int Ends;
    } cases[] = {{"to the grid", false, true, 1}, {"to another control", false, false, 0}, {"popup up", true, true, 0}};
    for (const Case& c : cases) {
        Grid->RichEditEnds = 0;
        Grid->SetRichEditPopupActive(c.Popup);
        edit->SetFocus();
        ASSERT_TRUE(edit->Focused()) << c.Name;
        if (c.ToGrid) Grid->SetFocus();
        else Other->SetFocus();
        EXPECT_EQ(Grid->RichEditEnds, c.Ends) << c.Name;
    }
    Grid->SetRichEditPopupActive(false);
}

TEST_F(AuxEditors, UpAndDownInTheRichEditGoBackToTheGrid)
{
    TProRichEdit* edit = Grid->RichEdit();
    edit->SetParent(Grid);
    edit->SetBounds(10, 10, 100, 40);
    edit->SetVisible(true);
    struct Case {
        const char* Name;
        Word Key;
        bool WordWrap, Popup;
        int RowAfter;
        bool GridFocused;
    } cases[] = {
        {"down", VK_DOWN, false, false, 4, true}, {"up", VK_UP, false, false, 2, true},
        {"word wrap keeps the key", VK_DOWN, true, false, 3, false},
        {"popup keeps the key", VK_DOWN, false, true, 3, false},
        {"other keys stay", VK_RIGHT, false, false, 3, false},
    };
    for (const Case& c : cases) {
        Grid->SetWordWrap(c.WordWrap);
        Grid->SetRichEditPopupActive(c.Popup);
        Grid->SetCol(1);
        Grid->SetRow(3);
        edit->SetFocus();
        ASSERT_TRUE(edit->Focused()) << c.Name;
        KeyDown(edit, c.Key);
        KeyUp(edit, c.Key);
        EXPECT_EQ(Grid->Row(), c.RowAfter) << c.Name;
        EXPECT_EQ(Grid->Focused(), c.GridFocused) << c.Name;
    }
    Grid->SetRichEditPopupActive(false);
}

TEST_F(AuxEditors, TransparentEditCommitsThroughValidation)
{
    TGridTransEdit* edit = Grid->GridTransEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->Visible());
    struct Case {
        const char* Name;
        bool Valid;
        const char* Replace;   // the validator's own value, nullptr to keep
        bool Result;
        const char* Stored;
    } cases[] = {
        {"accepted", true, nullptr, true, "nowy"},
        {"corrected by the validator", true, "poprawiony", true, "poprawiony"},
        {"refused", false, nullptr, false, "stary"},
    };
    for (const Case& c : cases) {
        Grid->SetCells(2, 3, "stary");
        Grid->MoveToCell(2, 3);
        edit->SetBounds(100, 60, 80, 22);
        edit->SetVisible(true);
        edit->SetFocus();
        edit->SetText("nowy");
        int validated = 0;
        std::vector<AnsiString> doneSaw;
        Grid->OnCellValidate = [&](TObject*, int ACol, int ARow, AnsiString& Value, bool& Valid) {
            ++validated;
            EXPECT_EQ(ACol, 2);
            EXPECT_EQ(ARow, 3);
            EXPECT_EQ(Value, "nowy");
            EXPECT_TRUE(Valid);
            if (c.Replace) Value = c.Replace;
            Valid = c.Valid;
        };
        // The value is stored after the editing is reported done.
        Grid->OnEditingDone = [&](TObject*) { doneSaw.push_back(Grid->Cells(2, 3)); };
        // The user has moved on in the grid meanwhile.
        Grid->MoveToCell(1, 1);
        EXPECT_EQ(edit->CommitEdit(), c.Result) << c.Name;
        EXPECT_EQ(validated, 1) << c.Name;
        EXPECT_EQ(Grid->Cells(2, 3), c.Stored) << c.Name;
        if (c.Result) {
            ASSERT_EQ(doneSaw.size(), 1u) << c.Name;
            EXPECT_EQ(doneSaw[0], "stary") << c.Name;
            EXPECT_FALSE(edit->Visible()) << c.Name;
        } else {
            EXPECT_TRUE(doneSaw.empty()) << c.Name;
            EXPECT_EQ(TPoint(Grid->Col(), Grid->Row()), TPoint(2, 3)) << c.Name;
            EXPECT_TRUE(edit->Visible()) << c.Name;
            EXPECT_TRUE(edit->Focused()) << c.Name;
        }
        Grid->OnCellValidate = nullptr;
        Grid->OnEditingDone = nullptr;
        edit->SetVisible(false);
    }
}

TEST_F(AuxEditors, TransparentEditCommitsWhenTheFocusLeavesAndSwallowsEnter)
{
    TGridTransEdit* edit = Grid->GridTransEdit();
    Grid->MoveToCell(3, 4);
    edit->SetBounds(100, 60, 80, 22);
    edit->SetVisible(true);
    edit->SetFocus();
    int done = 0;
    Grid->OnEditingDone = [&](TObject*) { ++done; };
    TypeText(edit, "ab");
    TypeKey(edit, VK_RETURN);
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_EQ(done, 0);
    EXPECT_TRUE(edit->Visible());
    Other->SetFocus();
    EXPECT_EQ(done, 1);
    EXPECT_EQ(Grid->Cells(3, 4), "ab");
    EXPECT_FALSE(edit->Visible());
}

TEST_F(AuxEditors, FormControlEditorsTakeEnterAndTab)
{
    EXPECT_NE(Grid->ControlEdit()->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
    EXPECT_EQ(Grid->ControlEdit()->Perform(WM_GETDLGCODE) & DLGC_WANTALLKEYS, 0);
    EXPECT_NE(Grid->ControlCombo()->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);

    struct Case {
        const char* Name;
        bool Combo;
        Word Key;
        bool AdvanceAuto;
        bool GridFocused;
        int Advances;
        int NextControls;
    } cases[] = {
        {"edit enter", false, VK_RETURN, false, true, 0, 0},
        {"edit tab", false, VK_TAB, false, false, 0, 1},
        {"edit tab advancing", false, VK_TAB, true, true, 1, 0},
        {"combo enter", true, VK_RETURN, false, true, 0, 0},
        {"combo tab", true, VK_TAB, false, false, 0, 1},
        {"combo tab advancing", true, VK_TAB, true, true, 1, 0},
    };
    for (const Case& c : cases) {
        TWinControl* control = c.Combo ? static_cast<TWinControl*>(Grid->ControlCombo())
                                       : static_cast<TWinControl*>(Grid->ControlEdit());
        Grid->Navigation()->SetAdvanceAuto(c.AdvanceAuto);
        Grid->Advances.clear();
        Grid->NextControls.clear();
        Grid->MoveToCell(2, 5);
        control->SetTag(3);
        control->SetBounds(50, 50, 80, 22);
        control->SetVisible(true);
        int exits = 0;
        control->OnExit = [&](TObject*) { ++exits; };
        control->SetFocus();
        ASSERT_TRUE(control->Focused()) << c.Name;
        TypeKey(control, c.Key);
        EXPECT_GE(exits, 1) << c.Name;
        EXPECT_EQ(Grid->Focused(), c.GridFocused) << c.Name;
        ASSERT_EQ(int(Grid->Advances.size()), c.Advances) << c.Name;
        if (c.Advances) {
            EXPECT_EQ(Grid->Advances[0], std::make_pair(2, 5)) << c.Name;
        }
        ASSERT_EQ(int(Grid->NextControls.size()), c.NextControls) << c.Name;
        if (c.NextControls) {
            EXPECT_EQ(Grid->NextControls[0], 3) << c.Name;
        }
        control->OnExit = nullptr;
        control->SetVisible(false);
    }
}

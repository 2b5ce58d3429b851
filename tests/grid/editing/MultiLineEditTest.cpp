// The grid's in-place edit as an edit of several lines: line breaks typed
// with Return or Ctrl+Return, Up and Down between the lines, wrapping with the
// grid's WordWrap, the row growing while the user types, passwords on one line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/editing/InplaceEdit.h"
#include "platform/core/CodePage.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {

struct MultiLineEdit : TGridFormTest<TProStringGrid> {
    std::vector<std::string> Log;
    TProGridUndoRedo* Undo = nullptr;

    void SetUp() override
    {
        TGridFormTest<TProStringGrid>::SetUp();
        Grid->SetColCount(5);
        Grid->SetRowCount(5);
        Grid->SetOptions(Grid->Options() | goEditing);
        Grid->SetMultilinecells(true);
        NameCells(*Grid, 1);
        Undo = new TProGridUndoRedo(Form);
        Grid->SetUndoRedo(Undo);
        Grid->OnCellValidate = [this](TObject*, int c, int r, AnsiString& v, bool&) {
            Log.push_back("validate(" + std::to_string(c) + "," + std::to_string(r) + "," + v + ")");
        };
        Grid->SetFocus();
    }
    int CaretLine() const { return int(Editor()->Perform(EM_LINEFROMCHAR, WPARAM(-1), 0)); }
};

TEST_F(MultiLineEdit, ReturnTypesLineBreaksWithLineFeedOnEnterAndLeavingStoresTheLines)
{
    Grid->Navigation()->SetLineFeedOnEnter(true);
    Grid->FocusCell(2, 2, true);
    TypeInCell("ab");
    TypeKey(Editor(), VK_RETURN);
    TypeText(Editor(), "cd");
    ASSERT_TRUE(EditorShown());
    EXPECT_TRUE(Editor()->IsMultiLine());
    EXPECT_EQ(Editor()->Text(), "ab\r\ncd");
    EXPECT_EQ(CaretLine(), 1);
    EXPECT_TRUE(Log.empty()) << "a typed line break concludes nothing";

    // Up below the first line stays in the editor; from the first line it would leave.
    TypeKey(Editor(), VK_UP);
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(CaretLine(), 0);
    TypeKey(Editor(), VK_DOWN);
    EXPECT_EQ(CaretLine(), 1);
    EXPECT_TRUE(EditorShown());

    // Down on the last line concludes the edit (once, with undo) and moves on.
    TypeKey(Editor(), VK_DOWN);
    ProcessPendingMessages();
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_EQ(Grid->Cells(2, 2), "ab\r\ncd");
    EXPECT_EQ(Log, (std::vector<std::string>{"validate(2,2,ab\r\ncd)"}));
    ASSERT_EQ(Undo->List()->Count(), 1);
    EXPECT_EQ(Undo->List()->Item(0)->Value, "ab\r\ncd");
    EXPECT_TRUE(Grid->GetRowModified(2));

    // Up on the first line of a cell of several lines leaves it upwards.
    Grid->FocusCell(2, 2, true);
    Grid->BeginCellEdit();
    Editor()->SetSelStart(1);
    TypeKey(Editor(), VK_UP);
    ProcessPendingMessages();
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(Grid->Cells(2, 2), "ab\r\ncd");
}

TEST_F(MultiLineEdit, CtrlReturnTypesALineBreakOnlyWithAllowCtrlEnterAndTheRowGrows)
{
    Grid->SizeWhileTyping()->SetHeight(true);
    int rowSized = 0;
    Grid->OnEndRowSize = [&](TObject*, int ARow) { EXPECT_EQ(ARow, 1); ++rowSized; };
    const int oneLine = Grid->RowHeights(1);
    Grid->Navigation()->SetAllowCtrlEnter(false);
    Grid->FocusCell(1, 1, true);
    TypeInCell("x");
    TypeKey(Editor(), VK_RETURN, ssCtrl);
    EXPECT_EQ(Editor()->Text(), "x") << "Ctrl+Return is dropped without AllowCtrlEnter";
    EXPECT_TRUE(EditorShown());

    Grid->Navigation()->SetAllowCtrlEnter(true);
    rowSized = 0;
    TypeKey(Editor(), VK_RETURN, ssCtrl);
    TypeText(Editor(), "yż");
    EXPECT_EQ(Editor()->Text(), "x\r\nyż");
    EXPECT_GE(rowSized, 1);
    EXPECT_GT(Grid->RowHeights(1), oneLine);
    EXPECT_GE(Grid->RowLineCount(1), 2);
    // The editor covers the grown cell.
    const TRect cell = Grid->CellRect(1, 1);
    EXPECT_EQ(Editor()->Height(), cell.Height() - 1);

    SaveScreenshot(Form, "grid_multiline_edit.png");

    // Return without Ctrl stores both lines.
    TypeKey(Editor(), VK_RETURN);
    ProcessPendingMessages();
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(Grid->Cells(1, 1), "x\r\nyż");
    EXPECT_EQ(Log, (std::vector<std::string>{"validate(1,1,x\r\nyż)"}));
}

TEST_F(MultiLineEdit, TheEditorWrapsWithTheGridsWordWrapAndAPasswordTakesOneLine)
{
    Grid->SetColWidths(2, 60);
    Grid->SetCells(2, 1, "jeden dwa trzy cztery pięć");
    Grid->FocusCell(2, 1, true);
    Grid->BeginCellEdit();
    ASSERT_TRUE(EditorShown());
    auto* editor = dynamic_cast<TProInplaceEdit*>(Editor());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->WordWrap());
    EXPECT_GT(Editor()->Perform(EM_GETLINECOUNT), 1);
    TypeKey(Editor(), VK_ESCAPE);

    Grid->SetWordWrap(false);
    Grid->BeginCellEdit();
    EXPECT_FALSE(editor->WordWrap());
    EXPECT_EQ(Editor()->Perform(EM_GETLINECOUNT), 1);
    TypeKey(Editor(), VK_ESCAPE);

    // A password cell: one line of hidden characters; the next cell has several lines again.
    Grid->OnGetEditorType = [](TObject*, int ACol, int, TEditorType& AEditor) {
        if (ACol == 3)
            AEditor = edPassword;
    };
    Grid->Navigation()->SetLineFeedOnEnter(true);
    Grid->FocusCell(3, 1, true);
    TypeInCell("tajne");
    EXPECT_FALSE(Editor()->IsMultiLine());
    EXPECT_EQ(Editor()->PasswordChar(), '*');
    EXPECT_EQ(Editor()->Text(), "tajne");
    // With LineFeedOnEnter a password's Return types nothing; leaving stores it.
    TypeKey(Editor(), VK_RETURN);
    EXPECT_EQ(Editor()->Text(), "tajne");
    TypeKey(Editor(), VK_DOWN);
    ProcessPendingMessages();
    EXPECT_EQ(Grid->Cells(3, 1), "tajne");
    Grid->FocusCell(2, 1, true);
    Grid->BeginCellEdit();
    EXPECT_TRUE(Editor()->IsMultiLine());
    EXPECT_EQ(Editor()->PasswordChar(), 0);
    EXPECT_EQ(Editor()->Text(), "jeden dwa trzy cztery pięć");
}

}  // namespace

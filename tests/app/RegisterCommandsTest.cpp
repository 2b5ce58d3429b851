// The register page's commands: lines, cell sizes, clipboard, undo, clearing,
// reloading, the button menus and the context menu's shortcuts; the save
// question of leaving editing mode.
#include <gtest/gtest.h>

#include <memory>

#include "app/Unit8_PoprawnoscNorm.h"
#include "app/Wykazy.h"
#include "app/qx_Unit3.h"
#include "app/qx_Unit4.h"
#include "controls/NetGradient.h"
#include "grid/BaseGrid.h"
#include "grid/ProGrid.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/Spin.h"
#include "tests/app/MainFormFixture.h"

namespace {

class RegisterCommands : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        CurrentUserLevel = 4;
        Grid = Form->sg_NowyEdytujWykaz;
        Lines = MakeDialog(f_WstawKilkaLinii);
        Sizes = MakeDialog(f_Szer_WysKomorek);
        Review = MakeDialog(f_PoprawnoscNorm);
        LoadCatalogue("PN-EN 10025-2:2019|Aktualna|Dostępna||Stale||\r\n");
    }
    // Opens "Wykazy\\w.txt" with the lines A, B, C ... (one per letter) in editing mode; Shown: its
    // page shown in the window shown.
    void OpenEditing(const AnsiString& Letters, bool Shown = false)
    {
        AnsiString text;
        for (char c : Letters)
            text += AnsiString(1, c) + "|||||\r\n";
        Write("Wykazy\\w.txt", text);
        Form->OpenListFile(Path("Wykazy\\w.txt"), "Wykonanie A");
        Form->sb_NowyWykaz_EdytujClick(nullptr);
        ASSERT_TRUE(Form->ListEditing());
        if (Shown) {
            Form->Strony->SetActivePage("NowyWykaz");
            Form->Show();
        }
    }
    // Column 1 of the rows 1 to RowCount - 1, "." for an empty cell.
    AnsiString Column1()
    {
        AnsiString s;
        for (int r = 1; r < Grid->RowCount(); ++r)
            s += Grid->Cells(1, r).empty() ? AnsiString(".") : Grid->Cells(1, r);
        return s;
    }
    bool Numbered()
    {
        for (int r = 1; r < Grid->RowCount(); ++r)
            if (Grid->Cells(0, r) != IntToStr(r))
                return false;
        return true;
    }
    bool Modified() { return Form->sb_Edytuj_ZapiszZmiany->Enabled(); }
    // A change as the user's edits make it: the cell and the modified state.
    void Change(int ACol, int ARow, const AnsiString& Text)
    {
        Grid->SetCells(ACol, ARow, Text);
        Form->sb_Edytuj_ZapiszZmiany->SetEnabled(true);
    }
    TMenuItem* Item(TPopupMenu* Menu, const AnsiString& Caption)
    {
        TMenuItem* i = Menu->Items()->Find(Caption);
        EXPECT_NE(i, nullptr) << Caption;
        return i;
    }

    TProStringGrid* Grid = nullptr;
    Tf_WstawKilkaLinii* Lines = nullptr;
    Tf_Szer_WysKomorek* Sizes = nullptr;
    Tf_PoprawnoscNorm* Review = nullptr;
};

}  // namespace

TEST_F(RegisterCommands, LineCommandsMoveTheRowsAndRenumber)
{
    OpenEditing("ABC");
    ASSERT_EQ(Column1(), "ABC.");
    struct Step {
        Tf_MainForm::TListCommand Command;
        int Row;
        const char* After;
        bool MarksModified;
    } steps[] = {
        {Tf_MainForm::lcInsertAbove, 2, "A.BC.", false},
        {Tf_MainForm::lcInsertBelow, 1, "A..BC.", false},
        {Tf_MainForm::lcDeleteLine, 2, "A.BC.", false},
        {Tf_MainForm::lcMoveToTop, 4, "CA.B.", true},
        {Tf_MainForm::lcMoveToBottom, 1, "A.BC.", true},
        // Already at RowCount - 2: the order stays, the register is still modified.
        {Tf_MainForm::lcMoveToBottom, 4, "A.BC.", true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.After);
        Form->sb_Edytuj_ZapiszZmiany->SetEnabled(false);
        Grid->FocusCell(1, s.Row, true);
        Form->RunListCommand(s.Command);
        EXPECT_EQ(Column1(), s.After);
        EXPECT_TRUE(Numbered());
        if (s.MarksModified) { EXPECT_TRUE(Modified()); }
    }
}

TEST_F(RegisterCommands, MovesKeepTheLinesBelowTheHeader)
{
    // One row under the header: the move changes nothing and the line is saved.
    struct Case {
        const char* Letters;   // the register's lines
        int Deletes;           // lines deleted from the end first
        Tf_MainForm::TListCommand Command;
    } cases[] = {
        {"", 0, Tf_MainForm::lcMoveToBottom},   // an empty register: its one row typed in
        {"AB", 2, Tf_MainForm::lcMoveToBottom},
        {"AB", 2, Tf_MainForm::lcMoveToTop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Letters) + " " + std::to_string(c.Deletes));
        OpenEditing(c.Letters);
        for (int i = 0; i < c.Deletes; ++i) {
            Grid->FocusCell(1, Grid->RowCount() - 1, true);
            Form->RunListCommand(Tf_MainForm::lcDeleteLine);
        }
        ASSERT_EQ(Grid->RowCount(), 2);
        if (Grid->Cells(1, 1).empty())
            Change(1, 1, "A");
        Grid->FocusCell(1, 1, true);
        Form->RunListCommand(c.Command);
        EXPECT_EQ(Grid->Cells(1, 0), "Norma w dokumentacji");
        EXPECT_EQ(Column1(), "A");
        ASSERT_TRUE(Form->SaveListFile());
        EXPECT_EQ(Read("Wykazy\\w.txt"), "A|||||\r\n");
    }
}

TEST_F(RegisterCommands, SeveralLinesGoBelowOrAboveTheCurrentRow)
{
    OpenEditing("AB");
    // Count lines inserted at Row, below it or above.
    auto insert = [this](int Row, int Count, bool Below) {
        Grid->FocusCell(1, Row, true);
        ScriptDialogs().ExpectModal("f_WstawKilkaLinii", mrOk, [=](TForm* f) {
            auto* d = dynamic_cast<Tf_WstawKilkaLinii*>(f);
            d->se_LiczbaLinii->SetValue(Count);
            (Below ? d->rb_Ponizej : d->rb_Powyzej)->SetChecked(true);
        });
        Form->RunListCommand(Tf_MainForm::lcInsertSeveral);
    };
    insert(2, 2, true);   // below the last data row
    EXPECT_EQ(Column1(), "AB...");
    insert(1, 3, false);   // above row 1: the new lines become rows 1 to 3
    EXPECT_EQ(Column1(), "...AB...");
    EXPECT_TRUE(Numbered());
    ScriptDialogs().ExpectModal("f_WstawKilkaLinii", mrCancel);
    Form->RunListCommand(Tf_MainForm::lcInsertSeveral);
    EXPECT_EQ(Column1(), "...AB...");
}

TEST_F(RegisterCommands, DeletingTheOnlyLineLeavesAnEmptyLine)
{
    Write("Wykazy\\w.txt", "");
    Form->OpenListFile(Path("Wykazy\\w.txt"), "Pusty");
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    Grid->SetRowCount(2);
    Grid->SetCells(1, 1, "A");
    Grid->FocusCell(1, 1, true);
    Form->RunListCommand(Tf_MainForm::lcDeleteLine);
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Column1(), ".");
    EXPECT_EQ(Grid->Cells(0, 1), "1");
}

TEST_F(RegisterCommands, CellSizesTakePositiveNumbersAndReportOtherTexts)
{
    OpenEditing("A");
    struct Case {
        Tf_MainForm::TListCommand Command;
        const char* Typed;
        int Result;
        int Expected;
        const char* Error;   // the application's report of the conversion, or none
    } cases[] = {
        {Tf_MainForm::lcCellHeight, "30", mrOk, 30, nullptr},
        {Tf_MainForm::lcCellHeight, "0", mrOk, 30, nullptr},
        {Tf_MainForm::lcCellHeight, "", mrOk, 30, "'' nie jest prawidłową liczbą całkowitą."},
        {Tf_MainForm::lcCellHeight, "45", mrCancel, 30, nullptr},
        {Tf_MainForm::lcCellWidth, "77", mrOk, 77, nullptr},
        {Tf_MainForm::lcCellWidth, "x", mrOk, 77, "'x' nie jest prawidłową liczbą całkowitą."},
        {Tf_MainForm::lcCellWidth, "99999999999", mrOk, 77, "'99999999999' nie jest prawidłową liczbą całkowitą."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        const bool height = c.Command == Tf_MainForm::lcCellHeight;
        AnsiString shownValue, label, caption;
        ScriptDialogs().ExpectModal("f_Szer_WysKomorek", c.Result, [&](TForm* f) {
            auto* d = dynamic_cast<Tf_Szer_WysKomorek*>(f);
            shownValue = d->Edit1->Text();
            label = d->l_Caption->Caption();
            caption = d->Caption();
            d->Edit1->SetText(c.Typed);
        });
        if (c.Error)
            ScriptDialogs().ExpectMessageBox(IDOK, c.Error);
        const int before = height ? Grid->DefaultRowHeight() : Grid->DefaultColWidth();
        // As from the menu: an exception goes to the application's handler.
        try {
            Item(Form->pm_Format, height ? "Ustaw wysokość komórek" : "Ustaw szerokość komórek")->Click();
        } catch (const Exception&) {
            Application->HandleException(nullptr);
        }
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(shownValue, IntToStr(before));
        EXPECT_EQ(caption, height ? "Ustaw wysokość komórek" : "Ustaw szerokość komórek");
        EXPECT_EQ(label, height ? "&Wysokosc komórek:" : "&Szerokość komórek:");
        EXPECT_EQ(height ? Grid->DefaultRowHeight() : Grid->DefaultColWidth(), c.Expected);
    }
}

TEST_F(RegisterCommands, ClearAllAsksAndStopsOnCancel)
{
    OpenEditing("ABC");
    Change(1, 1, "zmieniona");
    ASSERT_TRUE(Modified());
    ScriptDialogs().ExpectMessageBox(IDNO, "Czy na pewno chcesz usunąć wszystkie dane z otwartego wykazu ???");
    Form->RunListCommand(Tf_MainForm::lcClearAll);
    EXPECT_EQ(Column1(), "zmienionaBC.");

    // Cancel in the save question leaves the register, its columns and editing mode as they were.
    ScriptDialogs().ExpectMessageBox(IDYES, "usunąć wszystkie dane").ExpectMessageBox(IDCANCEL, "przerwać edycję");
    Form->RunListCommand(Tf_MainForm::lcClearAll);
    const auto& asked = RecordedDialogs();
    ASSERT_GE(asked.size(), 2u);
    EXPECT_EQ(asked[asked.size() - 2].Flags, unsigned(MB_YESNO));
    EXPECT_EQ(asked.back().Flags, unsigned(MB_YESNOCANCEL | MB_ICONWARNING));
    EXPECT_EQ(asked.back().Caption, "UWAGA !!!");
    EXPECT_EQ(Column1(), "zmienionaBC.");
    EXPECT_TRUE(Form->ListEditing());
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Grid->ColCount(), 6);

    ScriptDialogs().ExpectMessageBox(IDYES, "usunąć wszystkie dane").ExpectMessageBox(IDNO, "przerwać edycję");
    Form->RunListCommand(Tf_MainForm::lcClearAll);
    EXPECT_EQ(Grid->RowCount(), 31);
    EXPECT_EQ(Column1(), AnsiString(30, '.'));
    EXPECT_TRUE(Numbered());
    EXPECT_TRUE(Form->ListEditing());
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Grid->ColCount(), 6);
    EXPECT_EQ(Grid->Cells(5, 0), "Nr rysunku");
    // Nothing was saved.
    EXPECT_EQ(Read("Wykazy\\w.txt"), "A|||||\r\nB|||||\r\nC|||||\r\n");
}

TEST_F(RegisterCommands, ReloadFromDiskAsksOnlyAboutChanges)
{
    OpenEditing("AB");
    Change(1, 1, "X");
    ScriptDialogs().ExpectMessageBox(IDNO, "czy na pewno chcesz otworzyć ostatnią, zapisaną wersję tego pliku ???\r"
                                           "Wszystkie zmiany zostaną utracone.");
    Form->RunListCommand(Tf_MainForm::lcReload);
    EXPECT_EQ(Column1(), "XB.");
    ScriptDialogs().ExpectMessageBox(IDYES, "Wszystkie zmiany zostaną utracone.");
    Form->RunListCommand(Tf_MainForm::lcReload);
    EXPECT_EQ(Column1(), "AB.");
    EXPECT_FALSE(Form->ListEditing());
    EXPECT_EQ(Form->Strony->ActivePage(), "NowyWykaz");
    EXPECT_EQ(Form->ng_NowyEdytujWykaz->Caption(), "Zestawienie materiałów dla Wykonanie A");
    // Unchanged: no question.
    Form->RunListCommand(Tf_MainForm::lcReload);
    EXPECT_EQ(Column1(), "AB.");
}

TEST_F(RegisterCommands, ANeverSavedRegisterIsNotReloaded)
{
    // A new register has no file yet: its shortcut reloads nothing, though the
    // context menu was never dropped down to disable the item.
    Form->NewListGrid(Path("Wykazy\\nowy.txt"), "Nowy");
    Form->Show();
    Grid->SetFocus();
    Grid->FocusCell(1, 1, true);
    Change(1, 1, "X");
    KeyDown(Grid, 'R', ssCtrl);
    EXPECT_EQ(Grid->Cells(1, 1), "X");
    EXPECT_TRUE(Form->ListEditing());
    EXPECT_TRUE(Modified());
    Form->Hide();
}

TEST_F(RegisterCommands, UndoRedoAndTheEnablingOfTheEditItems)
{
    OpenEditing("AB", true);
    Form->pm_NoyEdytujWykazPopup(nullptr);
    EXPECT_FALSE(Item(Form->pm_NoyEdytujWykaz, "Cofnij")->Enabled());
    EXPECT_FALSE(Item(Form->pm_NoyEdytujWykaz, "Ponów")->Enabled());
    EXPECT_TRUE(Item(Form->pm_NoyEdytujWykaz, "Wytnij")->Enabled());
    EXPECT_TRUE(Item(Form->pm_NoyEdytujWykaz, "Odświerz z dysku")->Enabled());

    Grid->SetFocus();
    Grid->FocusCell(1, 2, true);
    TypeText(Grid, "Z");
    TypeKey(Grid->InplaceEditor(), VK_RETURN);
    ProcessPendingMessages();
    ASSERT_EQ(Grid->Cells(1, 2), "Z");
    // The shortcut of the context menu while the grid has the focus.
    Grid->SetFocus();
    KeyDown(Grid, 'Z', ssCtrl);
    EXPECT_EQ(Grid->Cells(1, 2), "B");
    Form->pm_NoyEdytujWykazPopup(nullptr);
    EXPECT_FALSE(Item(Form->pm_NoyEdytujWykaz, "Cofnij")->Enabled());
    EXPECT_TRUE(Item(Form->pm_NoyEdytujWykaz, "Ponów")->Enabled());
    Form->RunListCommand(Tf_MainForm::lcRedo);
    EXPECT_EQ(Grid->Cells(1, 2), "Z");
    // "Cofnij" while a cell is being edited undoes what is being typed there, "Ponów" brings it back.
    Grid->FocusCell(1, 1, true);
    TypeText(Grid, "W");
    ASSERT_TRUE(Grid->InplaceEditor()->Visible());
    Form->RunListCommand(Tf_MainForm::lcUndo);
    EXPECT_EQ(Column1(), "AZ.");
    Form->RunListCommand(Tf_MainForm::lcRedo);
    EXPECT_EQ(Column1(), "WZ.");
    Form->Hide();

    // A register never saved cannot be reloaded; a new one has nothing to undo.
    Form->NewListGrid(Path("Wykazy\\nowy.txt"), "Nowy");
    Form->pm_NoyEdytujWykazPopup(nullptr);
    Form->pm_WykazPopup(nullptr);
    EXPECT_FALSE(Item(Form->pm_NoyEdytujWykaz, "Odświerz z dysku")->Enabled());
    EXPECT_FALSE(Item(Form->pm_Wykaz, "Odświerz z dysku")->Enabled());
    EXPECT_FALSE(Item(Form->pm_NoyEdytujWykaz, "Cofnij")->Enabled());
    EXPECT_FALSE(Item(Form->pm_NoyEdytujWykaz, "Wytnij")->Enabled());
}

// "Cofnij" after a line command puts the typed-over text back into its own line, wherever the
// line went (and nowhere when the line was deleted).
TEST_F(RegisterCommands, UndoAfterALineCommandRestoresTheChangedLineOnly)
{
    struct Case {
        Tf_MainForm::TListCommand Command;
        const char* Done;
        const char* Undone;
    } cases[] = {
        {Tf_MainForm::lcMoveToBottom, "BCQ.", "BCA."},
        {Tf_MainForm::lcInsertAbove, ".QBC.", ".ABC."},
        {Tf_MainForm::lcDeleteLine, "BC.", "BC."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Done);
        OpenEditing("ABC", true);
        Grid->SetFocus();
        Grid->FocusCell(1, 1, true);
        TypeText(Grid, "Q");
        TypeKey(Grid->InplaceEditor(), VK_RETURN);
        ProcessPendingMessages();
        Grid->FocusCell(1, 1, true);
        Form->RunListCommand(c.Command);
        ASSERT_EQ(Column1(), c.Done);
        Form->RunListCommand(Tf_MainForm::lcUndo);
        EXPECT_EQ(Column1(), c.Undone);
        Form->RunListCommand(Tf_MainForm::lcRedo);
        EXPECT_EQ(Column1(), c.Done);
        Form->sb_Edytuj_ZapiszZmiany->SetEnabled(false);   // the next case opens the file again
        Form->Hide();
    }
}

TEST_F(RegisterCommands, ClipboardCommandsWorkOnTheFieldsWithoutTheNumbers)
{
    OpenEditing("A");
    Grid->SetRowCount(2);
    Grid->SetCells(3, 1, "S235");
    Form->RunListCommand(Tf_MainForm::lcCopyAll);
    // Only the one row under the header, without the row number.
    EXPECT_EQ(Clipboard()->AsText(), "A\t\tS235\t\t");

    OpenEditing("AB");
    Grid->FocusCell(1, 1, true);
    Form->RunListCommand(Tf_MainForm::lcCopy);
    Grid->FocusCell(2, 2, true);
    Form->RunListCommand(Tf_MainForm::lcPaste);
    EXPECT_EQ(Grid->Cells(2, 2), "A");
    Grid->FocusCell(1, 2, true);
    Form->RunListCommand(Tf_MainForm::lcCut);
    EXPECT_EQ(Grid->Cells(1, 2), "");
    EXPECT_EQ(Clipboard()->AsText(), "B");

    Grid->SetCells(3, 1, "m1");
    Grid->SetCells(3, 2, "m2");
    Grid->FocusCell(3, 2, true);
    Form->RunListCommand(Tf_MainForm::lcClearColumn);
    EXPECT_EQ(Grid->Cells(3, 1) + Grid->Cells(3, 2), "");
    EXPECT_EQ(Grid->Cells(1, 1), "A");
    Grid->FocusCell(1, 1, true);
    Form->RunListCommand(Tf_MainForm::lcClearRow);
    EXPECT_EQ(Grid->Cells(1, 1) + Grid->Cells(2, 1), "");
    EXPECT_EQ(Grid->Cells(2, 2), "A");
    EXPECT_EQ(Grid->Cells(0, 1), "1");
    Form->RunListCommand(Tf_MainForm::lcSelectAll);
    Form->RunListCommand(Tf_MainForm::lcClear);
    EXPECT_EQ(Grid->Cells(2, 2), "");
}

TEST_F(RegisterCommands, ButtonsDropTheirMenusBelowThemselves)
{
    OpenEditing("A", true);
    TPopupMenu* shown = nullptr;
    TPoint at;
    SetPopupMenuHook([&](TPopupMenu* Menu, int X, int Y) {
        shown = Menu;
        at = TPoint(X, Y);
    });
    struct Case {
        TSpeedButton* Button;
        TPopupMenu* Menu;
        int Count;
    } cases[] = {{Form->sb_Edytuj_Wykaz, Form->pm_Wykaz, 7},
                 {Form->sb_Edytuj_Linie, Form->pm_Linie, 6},
                 {Form->sb_Edytuj_Edycja, Form->pm_Edycja, 10},
                 {Form->sb_Edytuj_Format, Form->pm_Format, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Button->Caption());
        shown = nullptr;
        c.Button->Click();
        EXPECT_EQ(shown, c.Menu);
        EXPECT_EQ(at, c.Button->ClientToScreen(TPoint(0, c.Button->Height())));
        EXPECT_EQ(c.Menu->Items()->Count(), c.Count);
    }
    EXPECT_EQ(Item(Form->pm_Wykaz, "Podgląd wydruku")->ShortCut(), TShortCut('P' | scCtrl | scShift));
    EXPECT_EQ(Item(Form->pm_Linie, "Wstaw linię powyżej zaznaczenia")->ShortCut(), TShortCut(VK_UP | scCtrl));
    EXPECT_EQ(Item(Form->pm_NoyEdytujWykaz, "Wstaw linię powyżej zaznaczenia")->ShortCut(),
              TShortCut(VK_UP | scShift));
    EXPECT_EQ(Form->pm_NoyEdytujWykaz->Items()->Count(), 24);

    // "Format" shows the grid's grow-while-typing state; its item toggles it.
    TMenuItem* grow = Item(Form->pm_Format, "Włącz autodopasowywanie w trakcie pisania");
    Grid->SizeWhileTyping()->SetWidth(true);
    Form->sb_Edytuj_Format->Click();
    EXPECT_TRUE(grow->Checked());
    grow->Click();
    EXPECT_FALSE(Grid->SizeWhileTyping()->Width());
    EXPECT_FALSE(grow->Checked());
    SetPopupMenuHook(nullptr);
    Form->Hide();

    // In viewing mode the grid has no context menu: its shortcuts do nothing.
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    ASSERT_FALSE(Form->ListEditing());
    Grid->FocusCell(1, 1, true);
    KeyDown(Grid, VK_UP, ssShift);
    EXPECT_EQ(Grid->RowCount(), 3);
}

TEST_F(RegisterCommands, ShortcutsOfTheContextMenuInsertLines)
{
    OpenEditing("AB", true);
    Grid->SetFocus();
    Grid->FocusCell(1, 2, true);
    KeyDown(Grid, VK_UP, ssShift);
    EXPECT_EQ(Column1(), "A.B.");
    Grid->FocusCell(1, 1, true);
    KeyDown(Grid, VK_DOWN, ssShift);
    EXPECT_EQ(Column1(), "A..B.");
    EXPECT_TRUE(Numbered());
    Form->Hide();
}

TEST_F(RegisterCommands, KeysOfTheButtonMenusMissingFromTheContextMenuActInTheGrid)
{
    OpenEditing("AB", true);
    Grid->SetFocus();
    struct Case {
        Word Key;
        TShiftState Shift;
        bool InEditor;       // pressed while the cell's editor is open
        const char* After;   // column 1 afterwards; nullptr: the print preview shows
    } cases[] = {
        {'P', ssCtrl | ssShift, false, nullptr},
        {'P', ssCtrl | ssShift, true, nullptr},
        {VK_UP, ssCtrl, false, "A.B."},
        {VK_DOWN, ssCtrl, false, "A..B."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ShortCutToText(ShortCut(c.Key, c.Shift)) + (c.InEditor ? " in the editor" : ""));
        Grid->SetFocus();
        Grid->FocusCell(1, 2, true);
        TWinControl* target = Grid;
        if (c.InEditor) {
            TypeText(Grid, "x");
            ASSERT_TRUE(Grid->InplaceEditor() && Grid->InplaceEditor()->Visible());
            target = Grid->InplaceEditor();
        }
        if (!c.After)
            ScriptDialogs().ExpectModal("ProPreviewForm", mrCancel);
        KeyDown(target, c.Key, c.Shift);
        EXPECT_TRUE(VerifyNoPendingDialogs());
        if (c.InEditor)
            TypeKey(Grid->InplaceEditor(), VK_ESCAPE);
        if (c.After) { EXPECT_EQ(Column1(), c.After); }
    }
    Form->Hide();
}

TEST_F(RegisterCommands, LeavingEditingKeepsChangesThatCouldNotBeSaved)
{
    OpenEditing("A");
    Change(1, 1, "C");
    std::filesystem::remove(OsPath("Wykazy\\w.txt"));
    ForceDirectories(Path("Wykazy\\w.txt"));
    ScriptDialogs().ExpectMessageBox(IDYES, "przerwać edycję").ExpectMessageBox(IDOK, "NIE MOGĘ ZAPISAĆ");
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    EXPECT_TRUE(Form->ListEditing());
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Grid->Cells(1, 1), "C");
    EXPECT_EQ(Grid->ColCount(), 6);
}

TEST_F(RegisterCommands, CheckingTheNormsShowsTheReviewWindow)
{
    OpenEditing("A");
    Form->RunListCommand(Tf_MainForm::lcCheckNorms);
    EXPECT_TRUE(Review->Visible());
    Review->Hide();
}

TEST_F(RegisterCommands, TypedBarsNeverReachTheCells)
{
    OpenEditing("A", true);
    Grid->SetFocus();
    Grid->FocusCell(2, 1, true);
    TypeText(Grid, "x");
    ASSERT_TRUE(Grid->InplaceEditor() && Grid->InplaceEditor()->Visible());
    TypeText(Grid->InplaceEditor(), "|y|");
    TypeKey(Grid->InplaceEditor(), VK_RETURN);
    ProcessPendingMessages();
    EXPECT_EQ(Grid->Cells(2, 1), "xy");
    Form->Hide();
}

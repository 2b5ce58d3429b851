#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/editing/GridDragDrop.h"
#include "grid/editing/GridEditors.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"

namespace {
int FormatCount(IDataObject* Obj)
{
    IEnumFORMATETC* e = nullptr;
    EXPECT_EQ(Obj->EnumFormatEtc(DATADIR_GET, e), S_OK);
    FORMATETC f[8];
    ULONG n = 0;
    EXPECT_EQ(e->Next(8, f, &n), S_FALSE);
    e->Release();
    return int(n);
}

struct RtfSwitch {
    explicit RtfSwitch(bool On) { SetOleDropRTF(On); }
    ~RtfSwitch() { SetOleDropRTF(false); }
};
} // namespace

TEST(GridDragData, CellDragOffersThreeFormatsAndColumnDragFour)
{
    auto* cells = new TSourceDataObject("a\tb", -1, "{\\rtf1 a}");
    cells->AddRef();
    auto* column = new TSourceDataObject("", 3, "");
    column->AddRef();
    EXPECT_EQ(FormatCount(cells), 3);
    EXPECT_EQ(FormatCount(column), 4);

    FORMATETC f;
    STGMEDIUM m;
    f.cfFormat = RtfDragFormat();
    EXPECT_EQ(cells->GetData(f, m), DV_E_FORMATETC) << "rich text is listed but not given with the switch off";
    {
        RtfSwitch on(true);
        ASSERT_EQ(cells->GetData(f, m), S_OK);
        EXPECT_STREQ(static_cast<const char*>(GlobalLock(m.hGlobal)), "{\\rtf1 a}");
        ReleaseStgMedium(m);
    }
    f.cfFormat = CF_UNICODETEXT;
    ASSERT_EQ(cells->GetData(f, m), S_OK);
    EXPECT_EQ(GlobalSize(m.hGlobal), 8u);
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(m.hGlobal))), u"a\tb");
    ReleaseStgMedium(m);
    f.cfFormat = ColumnDragFormat();
    EXPECT_EQ(cells->GetData(f, m), DV_E_FORMATETC);
    ASSERT_EQ(column->GetData(f, m), S_OK);
    std::int32_t c = 0;
    std::memcpy(&c, GlobalLock(m.hGlobal), 4);
    EXPECT_EQ(c, 3);
    ReleaseStgMedium(m);
    f.cfFormat = CF_TEXT;
    EXPECT_EQ(column->GetData(f, m), DV_E_FORMATETC) << "a column drag has no text";
    f.dwAspect = 4;
    EXPECT_EQ(cells->QueryGetData(f), DV_E_FORMATETC);

    TEnumFormats reader(cells);
    EXPECT_EQ(reader.Text(), "a\tb");
    EXPECT_EQ(reader.Column(), -1);
    cells->Release();
    column->Release();
}

// Skip from position 1: within the list it moves on; past the end it stops
// at the end and answers S_FALSE, whatever the count.
TEST(GridDragData, FormatEnumeratorSkipsWithinTheListAndStopsAtItsEnd)
{
    struct Case { int Column; ULONG Count; HRESULT Result; ULONG Left; } cases[] = {
        {-1, 0, S_OK, 2},          {-1, 2, S_OK, 0},          {-1, 3, S_FALSE, 0},
        {-1, 0xFFFFFFFF, S_FALSE, 0}, {-1, 0xFFFFFFFE, S_FALSE, 0}, {3, 3, S_OK, 0},
        {3, 0xFFFFFFFF, S_FALSE, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.Column << ", skip " << c.Count);
        auto* obj = new TSourceDataObject("a", c.Column, "");
        obj->AddRef();
        IEnumFORMATETC* e = nullptr;
        ASSERT_EQ(obj->EnumFormatEtc(DATADIR_GET, e), S_OK);
        FORMATETC f[8];
        ULONG n = 0;
        EXPECT_EQ(e->Next(1, f, &n), S_OK);
        EXPECT_EQ(e->Skip(c.Count), c.Result);
        e->Next(8, f, &n);
        EXPECT_EQ(n, c.Left);
        e->Release();
        obj->Release();
    }
}

struct GridDragDrop : TFormTest {
    TProStringGrid* A = nullptr;
    TProStringGrid* B = nullptr;
    void SetUp() override
    {
        MakeForm(700, 300);
        A = Place<TProStringGrid>(0, 0, 320, 250);
        B = Place<TProStringGrid>(340, 0, 320, 250);
        Form->Show();
        for (TProStringGrid* g : {A, B}) {
            g->SetColCount(4);
            g->SetRowCount(6);
            g->SetDefaultColWidth(70);
            g->SetDefaultRowHeight(20);
            g->DragDropSettings()->SetOleDropTarget(true);
            g->DragDropSettings()->SetOleDropSource(true);
            g->SetEnhRowColMove(false);   // the enhanced moving keeps the press for itself
            ASSERT_TRUE(g->DragDropSettings()->OleDropTarget());
        }
        B->SetOptions(B->Options() | goEditing);   // text is dropped where it could be pasted
        SetGridTexts(*A, "|||/|Łódź|12|/|Gdańsk|7|/|||/|||/|||");
        ProcessPendingMessages();
    }
    // A step over the middle of a cell of grid G.
    static TSystemDragStep Over(TProStringGrid* G, int ACol, int ARow, TShiftState Shift = 0)
    {
        TRect r = G->CellRect(ACol, ARow);
        return TSystemDragStep{G, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, Shift};
    }
};

TEST_F(GridDragDrop, PlainDragMovesAndCtrlDragCopies)
{
    struct Case {
        TShiftState Shift;
        DWORD Effect;
        const char* SourceAfter;
        bool ReadOnly = false, Refused = false;   // B takes no text; B's OnOleDrop refuses
    } cases[] = {{0, DROPEFFECT_MOVE, ""}, {ssCtrl, DROPEFFECT_COPY, "Łódź"},
                 // A drop that takes nothing is no move: the source keeps its cells.
                 {0, DROPEFFECT_NONE, "Łódź", true}, {0, DROPEFFECT_NONE, "Łódź", false, true}};
    for (const Case& c : cases) {
        A->SetCells(1, 1, "Łódź");
        A->SetCells(2, 1, "12");
        B->ClearCellRect(1, 3, 2, 3);
        B->SetOptions(c.ReadOnly ? B->Options() & ~TGridOptions(goEditing) : B->Options() | goEditing);
        B->OnOleDrop = [&](TObject*, int, int, const AnsiString&, bool& Allow) { Allow = !c.Refused; };
        A->SetSelection(TGridRect(1, 1, 2, 1));
        TGridRect dropped(-9, -9, -9, -9);
        B->OnOleDropped = [&](TObject*, const TGridRect& R) { dropped = R; };
        int stopEffect = -1;
        A->OnOleDragStop = [&](TObject*, int E) { stopEffect = E; };
        ScriptSystemDrag({Over(A, 1, 1, c.Shift), Over(B, 2, 2, c.Shift), Over(B, 1, 3, c.Shift)});
        DWORD effect = A->StartOleDrag(1, 1, false);
        EXPECT_EQ(effect, c.Effect);
        EXPECT_EQ(stopEffect, int(c.Effect));
        const bool taken = c.Effect != DROPEFFECT_NONE;
        EXPECT_EQ(B->Cells(1, 3), taken ? "Łódź" : "");
        EXPECT_EQ(B->Cells(2, 3), taken ? "12" : "");
        EXPECT_EQ(dropped, taken ? TGridRect(1, 3, 2, 3) : TGridRect(-1, -1, -1, -1));
        EXPECT_EQ(A->Cells(1, 1), c.SourceAfter);
        EXPECT_EQ(A->Cells(1, 2), "Gdańsk");
    }
}

TEST_F(GridDragDrop, DropsAreRefusedWhereTheGridSaysNo)
{
    // Text not accepted: no drop.
    B->DragDropSettings()->SetOleAcceptText(false);
    TSystemDropData text;
    text.Text = "x";
    EXPECT_EQ(DropFromOutside(text, {Over(B, 1, 1)}), DROPEFFECT_NONE);
    EXPECT_EQ(B->Cells(1, 1), "");
    B->DragDropSettings()->SetOleAcceptText(true);
    // OnOleDragOver refuses.
    B->OnOleDragOver = [](TObject*, int, int ACol, bool& Allow) { Allow = ACol != 3; };
    EXPECT_EQ(DropFromOutside(text, {Over(B, 3, 1)}), DROPEFFECT_NONE);
    EXPECT_EQ(DropFromOutside(text, {Over(B, 2, 1)}), DROPEFFECT_MOVE);
    EXPECT_EQ(B->Cells(2, 1), "x");
    // A window made again takes drops again; its Unicode combo editor starts empty.
    B->GridUniCombo()->Items()->Add("x");
    B->RecreateWnd();
    EXPECT_EQ(DropFromOutside(text, {Over(B, 2, 2)}), DROPEFFECT_MOVE);
    EXPECT_EQ(B->GridUniCombo()->Items()->Count(), 0);
    // A column from another program is not taken, even where columns are.
    B->DragDropSettings()->SetOleColumnDragDrop(true);
    TSystemDropData column;
    column.Column = 1;
    int dropped = -1;
    B->OnOleDropCol = [&](TObject*, int, int, int C) { dropped = C; };
    EXPECT_EQ(DropFromOutside(column, {Over(B, 2, 0)}), DROPEFFECT_NONE);
    EXPECT_EQ(dropped, -1);
    // Rich text with the switch off: the plain text goes in.
    TSystemDropData rich;
    rich.Text = "zwykły";
    rich.Rtf = "{\\rtf1 bogaty}";
    DropFromOutside(rich, {Over(B, 1, 4)});
    EXPECT_EQ(B->Cells(1, 4), "zwykły");
    RtfSwitch on(true);
    DropFromOutside(rich, {Over(B, 1, 5)});
    EXPECT_EQ(B->Cells(1, 5), "{\\rtf1 bogaty}");
    // With a column hidden, the rich text lands in the column shown under the pointer.
    B->HideColumn(1);
    DropFromOutside(rich, {Over(B, 1, 3)});
    EXPECT_EQ(B->Cells(2, 3), "{\\rtf1 bogaty}");
    EXPECT_EQ(B->Cells(1, 3), "");
    // A grid that holds only the row FixedRowAlways shows takes the text in a row added below it.
    B->SetFixedRowAlways(true);
    B->SetRowCount(1);
    text.Text = "y";
    EXPECT_EQ(DropFromOutside(text, {Over(B, 1, 0)}), DROPEFFECT_MOVE);
    EXPECT_EQ(B->RowCount(), 2);
    EXPECT_EQ(B->Cells(2, 1), "y");
    // A window the platform will not register (another target holds it) keeps the setting on, has
    // no target of the grid, and switching the setting off revokes nothing.
    A->DragDropSettings()->SetOleDropTarget(false);
    auto* other = new TGridDropTarget(A);
    other->AddRef();
    ASSERT_EQ(RegisterDragDrop(A->Handle(), other), S_OK);
    A->DragDropSettings()->SetOleDropTarget(true);
    EXPECT_TRUE(A->DragDropSettings()->OleDropTarget());
    EXPECT_EQ(A->OleDropTargetObject(), nullptr);
    A->DragDropSettings()->SetOleDropTarget(false);
    EXPECT_EQ(RevokeDragDrop(A->Handle()), S_OK);
    other->Release();
}

TEST_F(GridDragDrop, DropArrowsStandBesideTheTargetOutsideTheGridToo)
{
    // The arrows are windows of their own on the screen: over the header row the down arrow
    // stands 8 pixels above the grid, over the first column the row arrow 10 pixels left of it.
    // Each step over B sees where the step before put the arrows.
    B->SetFixedCols(0);
    A->DragDropSettings()->SetOleColumnDragDrop(true);
    B->DragDropSettings()->SetOleColumnDragDrop(true);
    const TPoint o = B->ClientToScreen(TPoint(0, 0));
    struct Case {
        bool Column;
        int Col, Row, Arrow, X, Y;   // X, Y: the arrow's place from the cell's top left
    } cases[] = {{true, 2, 0, 1, -5, -8}, {true, 2, 0, 0, -5, 20}, {false, 0, 2, 2, -10, 0}, {false, 1, 2, 2, -10, 0}};
    for (const Case& c : cases) {
        TArrowWindow* a = B->ArrowWindow(c.Arrow);
        TPoint seen(-1, -1);
        B->OnOleDragOver = [&](TObject*, int, int, bool&) {
            if (a->Visible() && WindowIsTip(a))
                seen = TPoint(a->Left(), a->Top());
        };
        ScriptSystemDrag({Over(A, 2, c.Column ? 0 : 1), Over(B, c.Col, c.Row, ssCtrl), Over(B, c.Col, c.Row, ssCtrl)});
        A->StartOleDrag(2, c.Column ? 0 : 1, c.Column);
        TRect r = B->CellRect(c.Col, c.Row);
        EXPECT_EQ(seen, TPoint(o.X + r.Left + c.X, o.Y + r.Top + c.Y)) << c.Col << "," << c.Arrow;
    }
    B->OnOleDragOver = nullptr;
}

TEST_F(GridDragDrop, ColumnDraggedBetweenGrids)
{
    B->DragDropSettings()->SetOleColumnDragDrop(true);
    A->DragDropSettings()->SetOleColumnDragDrop(true);
    int row = -1, col = -1, source = -1;
    B->OnOleDropCol = [&](TObject*, int ARow, int ACol, int C) { row = ARow; col = ACol; source = C; };
    // Over a data row the column is refused; over the header it lands.
    ScriptSystemDrag({Over(A, 2, 0), Over(B, 1, 2)});
    EXPECT_EQ(A->StartOleDrag(2, 0, true), DROPEFFECT_NONE);
    EXPECT_EQ(source, -1);
    EXPECT_FALSE(B->ArrowWindow(1)->Visible());
    ScriptSystemDrag({Over(A, 2, 0), Over(B, 3, 0)});
    EXPECT_EQ(A->StartOleDrag(2, 0, true), DROPEFFECT_MOVE);
    EXPECT_EQ(source, 2);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 3);
    EXPECT_EQ(A->Cells(1, 1), "Łódź") << "a column move is left to the handler";

    // The drag of a column shown after a hidden one offers the header text shown.
    AnsiString offered;
    A->OnOleDrag = [&](TObject*, int, int, const AnsiString& Text, bool& Allow) { offered = Text; Allow = false; };
    A->SetCells(2, 0, "ukryta");
    A->SetCells(3, 0, "Numer");
    A->HideColumn(2);
    A->StartOleDrag(2, 0, true);
    EXPECT_EQ(offered, "Numer");
}

// With ShowCells a translucent picture of the dragged cells follows the pointer and goes at the end.
TEST_F(GridDragDrop, PictureOfTheCellsFollowsThePointer)
{
    struct Case {
        bool ShowCells, Column, Escape;
        int Width;   // the picture's width in cells; 0: no picture
        bool Merged = false;   // the cells dragged: a region over stored columns 1-3, 2 hidden
    } cases[] = {{true, false, false, 2}, {true, true, true, 1}, {false, false, false, 0}, {true, false, false, 2, true}};
    A->DragDropSettings()->SetOleColumnDragDrop(true);
    B->DragDropSettings()->SetOleColumnDragDrop(true);
    A->SetSelection(TGridRect(1, 1, 2, 1));
    for (const Case& c : cases) {
        A->DragDropSettings()->SetShowCells(c.ShowCells);
        if (c.Merged) {
            A->MergeCells(1, 1, 3, 1);
            A->HideColumn(2);
        }
        const int owned = A->ComponentCount();
        int seen = 0;
        B->OnOleDragOver = [&](TObject*, int, int, bool&) {
            TForm* picture = A->OleDropSource()->DragImage();
            if (!picture)
                return;
            TPoint p;
            GetCursorPos(p);
            EXPECT_TRUE(picture->Visible());
            EXPECT_EQ(picture->Left(), p.X + 4);
            EXPECT_EQ(picture->Top(), p.Y + 4);
            EXPECT_EQ(picture->Width(), 70 * c.Width + 1);
            if (seen++ == 0 && !c.Column)
                SaveScreenshot(picture, "grid_drag_picture.png");
        };
        TSystemDragStep last = Over(B, 2, c.Column ? 0 : 3);
        last.Escape = c.Escape;
        ScriptSystemDrag({Over(A, 1, c.Column ? 0 : 1), Over(B, 1, 3), Over(B, 2, 3), last});
        A->StartOleDrag(1, c.Column ? 0 : 1, c.Column);
        EXPECT_EQ(seen > 0, c.Width > 0) << c.Column;
        EXPECT_EQ(A->ComponentCount(), owned) << "the picture is gone after the drag";
    }
    EXPECT_EQ(LastSystemDragImageSize().cx, 0) << "no second picture from the system";
}

TEST_F(GridDragDrop, DroppedFiles)
{
    TTempDir dir("velmarok-drop");
    const std::string csv = dir / "lista.csv.bak";
    WriteFileBytes(csv, "Numer;Tytuł\r\nPN-1;Śruby\r\nPN-2;Nakrętki\r\n");
    const std::string other = dir / "notatka.txt";
    WriteFileBytes(other, "x");
    std::vector<std::string> files;
    B->OnOleDropFile = [&](TObject*, int, int, const AnsiString& Name, bool&) { files.push_back(Name); };

    TSystemDropData two;
    two.Files = {csv.c_str(), other.c_str()};
    DropFromOutside(two, {Over(B, 1, 1)});
    EXPECT_TRUE(files.empty()) << "two files at once change nothing";
    EXPECT_EQ(B->Cells(0, 0), "");

    TSystemDropData one;
    one.Files = {other.c_str()};
    EXPECT_EQ(DropFromOutside(one, {Over(B, 1, 1)}), DWORD(DROPEFFECT_NONE)) << "a file not loaded is not taken";
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files.back(), other);
    EXPECT_EQ(B->Cells(0, 0), "");

    int loads = 0;
    B->OnOleDrop = [&](TObject*, int ARow, int ACol, const AnsiString&, bool&) {
        EXPECT_EQ(ARow, -1);
        EXPECT_EQ(ACol, -1);
        ++loads;
    };
    one.Files = {csv.c_str()};
    EXPECT_EQ(DropFromOutside(one, {Over(B, 1, 1)}), DWORD(DROPEFFECT_COPY)) << "a file is only read, never moved";
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(B->Cells(1, 0), "Tytuł");
    EXPECT_EQ(B->Cells(0, 2), "PN-2");
    EXPECT_EQ(B->Cells(1, 2), "Nakrętki");
    // The separator is found from the dropped file, whatever the grid's own is.
    B->SetFieldSeparator(',');
    B->SetCells(1, 2, "");
    DropFromOutside(one, {Over(B, 1, 1)});
    EXPECT_EQ(B->Cells(1, 2), "Nakrętki");
    EXPECT_EQ(B->FieldSeparator(), ',');
    // A name with both extensions is read as the one it names last.
    const std::string workbook = dir / "zestaw.csv.xlsx";
    A->SaveToExcel(workbook.c_str());
    one.Files = {workbook.c_str()};
    DropFromOutside(one, {Over(B, 1, 1)});
    EXPECT_EQ(B->Cells(1, 2), "Gdańsk");
}

// Text dropped on a grid goes in as the same text pasted there.
TEST_F(GridDragDrop, DroppedTextFollowsTheRulesOfPaste)
{
    // Result: the grid's texts after the drop
    struct Case { const char* Text; int Col, Row; const char* Result; } cases[] = {
        // Past the last column: the grid grows as a paste grows it.
        {"x\ty\tz\tw", 2, 1, "|||||/||x|y|z|w/||stały|||/|||||/|||||/|||||"},
        // A cell that may not be edited keeps its text; an event refuses a value.
        {"a\tb\tweto\r\nc\td", 1, 2, "|||/|||/|a|stały|/|c|d|/|||/|||"},
        // Quoted fields lose their quotes; rows grow below the last one.
        {"\"p\x0Bq\"\r\nr\r\ns", 3, 4, "|||/|||/||stały|/|||/|||p\r\nq/|||r/|||s"},
    };
    TProStringGrid twin(nullptr);
    twin.SetOptions(twin.Options() | goEditing);
    for (TProStringGrid* g : {B, &twin}) {
        g->OnCanEditCell = [](TObject*, int ARow, int ACol, bool& CanEdit) { CanEdit = !(ACol == 2 && ARow == 2); };
        g->OnClipboardBeforePasteCell = [](TObject*, int, int, AnsiString& Value, bool& Allow) {
            Allow = Value != "weto";
        };
    }
    for (const Case& c : cases) {
        for (TProStringGrid* g : {B, &twin}) {
            g->SetColCount(4);
            g->SetRowCount(6);
            g->ClearCellRect(0, 0, 9, 9);
            g->SetCells(2, 2, "stały");
        }
        TSystemDropData text;
        text.Text = c.Text;
        DropFromOutside(text, {Over(B, c.Col, c.Row)});
        twin.PasteText(c.Col, c.Row, c.Text);
        EXPECT_EQ(GridTexts(*B), c.Result) << c.Text;
        EXPECT_EQ(GridTexts(*B), GridTexts(twin)) << c.Text;
    }
}

TEST_F(GridDragDrop, DropWithInsertRowsSelectsTheNewRows)
{
    B->DragDropSettings()->SetOleInsertRows(true);
    B->SetCells(1, 2, "stary");
    TSystemDropData text;
    text.Text = "a\r\nb\r\nc";
    DropFromOutside(text, {Over(B, 1, 2)});
    EXPECT_EQ(B->RowCount(), 9);
    EXPECT_EQ(ColumnTexts(*B, 1, 2), (std::vector<std::string>{"a", "b", "c", "stary", "", "", ""}));
    EXPECT_EQ(B->Selection(), TGridRect(1, 2, 1, 4));
}

// Rows moved inside one grid: the dragged cells end up at the drop once, and only the cells
// they left behind are emptied (or their rows removed), whether the drop inserts rows or not
// and wherever it lands; a hidden column stays where it is.
TEST_F(GridDragDrop, MovesInsideOneGridLeaveEveryOtherCell)
{
    const struct {
        bool Insert, Remove, HideColumn2;
        int Top, Bottom, Drop;
        const char* Rows;   // each row's cells 1-3: their digit when whole, "-" when empty
        bool Flagged = false;   // the rows dragged are flagged in a disjunct row selection
    } cases[] = {
        {true, false, false, 4, 4, 2, "1 4 2 3 - 5"},      // up: the rows pushed down are not wiped
        {false, false, false, 2, 3, 3, "1 - 2 3 5"},       // down by one onto itself
        {true, true, false, 4, 4, 2, "1 4 2 3 5"},
        {false, true, false, 2, 3, 3, "1 2 3 5"},
        {true, false, false, 2, 3, 3, "1 - 2 3 - 4 5"},    // into the middle of the dragged rows
        {false, false, false, 2, 2, 4, "1 - 3 2 5"},
        {true, false, true, 4, 4, 2, "1 r4,,t4 2 3 ,s4, 5"},
        {false, false, false, 2, 3, 3, "1 - 2 3 5", true},   // onto a flagged row
        {false, true, false, 2, 3, 3, "1 2 3 5", true},
        {true, false, false, 4, 4, 2, "1 4 2 3 - 5", true},
        {true, true, false, 2, 3, 3, "1 2 3 4 5", true},
    };
    for (const auto& c : cases) {
        A->SetRowCount(6);
        A->UnHideColumnsAll();
        for (int r = 1; r < 6; ++r)
            for (int col = 1; col < 4; ++col)
                A->SetCells(col, r, std::string(1, char('q' + col)) + char('0' + r));
        A->SetOptions(A->Options() | goRowSelect);
        A->Navigation()->SetAllowClipboardAlways(true);
        A->DragDropSettings()->SetOleInsertRows(c.Insert);
        A->DragDropSettings()->SetOleRemoveRows(c.Remove);
        if (c.HideColumn2)
            A->HideColumn(2);
        A->MouseActions()->SetDisjunctRowSelect(c.Flagged);
        A->ClearRowSelect();
        A->SetSelection(TGridRect(1, c.Top, A->ColCount() - 1, c.Bottom));
        if (c.Flagged)
            A->SelectRows(c.Top, c.Bottom - c.Top + 1);
        ScriptSystemDrag({Over(A, 1, c.Top), Over(A, 1, c.Drop)});
        EXPECT_EQ(A->StartOleDrag(1, c.Top, false), DWORD(DROPEFFECT_MOVE));
        std::string rows;
        for (int r = 1; r < A->RowCount(); ++r) {
            std::string cells = A->Cells(1, r) + "," + A->Cells(2, r) + "," + A->Cells(3, r);
            std::string token = cells == ",," ? "-" : cells;
            for (char k = '1'; k <= '5'; ++k)
                if (cells == std::string("r") + k + ",s" + k + ",t" + k)
                    token = std::string(1, k);
            rows += (rows.empty() ? "" : " ") + token;
        }
        EXPECT_EQ(rows, c.Rows) << "insert " << c.Insert << " remove " << c.Remove << " rows " << c.Top << "-"
                                << c.Bottom << " to " << c.Drop << " flagged " << c.Flagged;
    }
}

TEST_F(GridDragDrop, PressAndMoveStartTheDrag)
{
    A->SetSelection(TGridRect(1, 1, 2, 1));
    int started = 0;
    A->OnOleDragStart = [&](TObject*, int, int) { ++started; };
    const TRect cell = A->CellRect(1, 1);
    const int x = (cell.Left + cell.Right) / 2, y = (cell.Top + cell.Bottom) / 2;

    // A move of 3 pixels is not a drag yet; the fourth pixel starts it with the selection as text.
    ScriptSystemDrag({Over(A, 1, 1), Over(B, 1, 3)});
    MouseDown(A, x, y);
    MouseMove(A, x + 3, y, ssLeft);
    EXPECT_EQ(started, 0);
    EXPECT_TRUE(SystemDragPending());
    MouseMove(A, x + 4, y, ssLeft);
    EXPECT_EQ(started, 1);
    EXPECT_FALSE(SystemDragPending());
    EXPECT_EQ(B->Cells(1, 3), "Łódź");
    EXPECT_EQ(B->Cells(2, 3), "12");
    EXPECT_EQ(A->Cells(1, 1), "") << "a plain drag moves";
    MouseUp(A, x + 4, y);

    // A press on a cell outside the selection only selects, and so does every press while the
    // enhanced moving of columns and rows is on.
    MouseDown(A, x, cell.Bottom + 10);
    MouseMove(A, x + 10, cell.Bottom + 10, ssLeft);
    MouseUp(A, x + 10, cell.Bottom + 10);
    A->SetEnhRowColMove(true);
    A->SetSelection(TGridRect(1, 1, 2, 1));
    MouseDown(A, x, y);
    MouseMove(A, x + 10, y, ssLeft);
    MouseUp(A, x + 10, y);
    EXPECT_EQ(started, 1);
}

TEST_F(GridDragDrop, PressOnAHeaderStartsAColumnDrag)
{
    A->DragDropSettings()->SetOleColumnDragDrop(true);
    B->DragDropSettings()->SetOleColumnDragDrop(true);
    int source = -1, col = -1;
    B->OnOleDropCol = [&](TObject*, int, int ACol, int C) { col = ACol; source = C; };
    const TRect head = A->CellRect(2, 0);
    const int x = (head.Left + head.Right) / 2, y = (head.Top + head.Bottom) / 2;
    ScriptSystemDrag({Over(A, 2, 0), Over(B, 3, 0)});
    MouseDown(A, x, y);
    MouseMove(A, x, y + 4, ssLeft);
    MouseUp(A, x, y + 4);
    EXPECT_FALSE(SystemDragPending());
    EXPECT_EQ(source, 2);
    EXPECT_EQ(col, 3);

    // Without the option a header press drags nothing.
    A->DragDropSettings()->SetOleColumnDragDrop(false);
    source = -1;
    ScriptSystemDrag({Over(A, 2, 0), Over(B, 3, 0)});
    MouseDown(A, x, y);
    MouseMove(A, x, y + 6, ssLeft);
    MouseUp(A, x, y + 6);
    EXPECT_TRUE(SystemDragPending());
    EXPECT_EQ(source, -1);
    A->StartOleDrag(2, 0, true);
    EXPECT_FALSE(SystemDragPending());
}

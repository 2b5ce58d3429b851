// The grid's clipboard: text copied and pasted through the system clipboard,
// cut with undo, smart paste, growth, rich text, the grid's own format
// between two grids and the checks of the cell stream.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {
// A grid that remembers what MarkRangeModified was told.
class TMarkGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    void MarkRangeModified(TPoint AOrigin, const TRect& ARect, bool AWasCopy) override
    {
        Origin = AOrigin;
        Range = ARect;
        TProStringGrid::MarkRangeModified(AOrigin, ARect, AWasCopy);
    }
    TPoint Origin{-2, -2};
    TRect Range;
};

// An editable grid of 5 x 10 cells (one fixed row and column).
void MakeEditable(TProStringGrid& G)
{
    G.SetOptions(G.Options() | goEditing);
}

struct TEditableGrid : TProStringGrid {
    TEditableGrid() : TProStringGrid(nullptr) { MakeEditable(*this); }
};

void Select(TProStringGrid& G, int Left, int Top, int Right, int Bottom)
{
    G.SetSelection(TGridRect(Left, Top, Right, Bottom));
}

// The cells from (Left, Top) to (Right, Bottom) selected and copied, or the clipboard pasted there.
void Copy(TProStringGrid& G, int Left, int Top, int Right, int Bottom)
{
    Select(G, Left, Top, Right, Bottom);
    G.CopySelection();
}

void Paste(TProStringGrid& G, int Left, int Top, int Right, int Bottom)
{
    Select(G, Left, Top, Right, Bottom);
    G.PasteSelection();
}

std::vector<std::string> Texts(TProStringGrid& G, int Col, int Row, int Count)
{
    std::vector<std::string> v;
    for (int i = 0; i < Count; ++i)
        v.push_back(G.Cells(Col, Row + i));
    return v;
}

struct ClipboardTest : ::testing::Test {
    void SetUp() override
    {
        Clipboard()->Clear();
        ResetFormatSettings();
    }
    void TearDown() override { ResetFormatSettings(); }
};
}  // namespace

TEST_F(ClipboardTest, CopiedTextEndsRowsWithCRLFOnlyForSeveralRowsAndQuotesLineBreaks)
{
    TProStringGrid g(nullptr);
    SetGridTexts(g, "||||/|a|b||/|x\r\ny|zażółć||/||||/||||");
    struct { TGridRect Sel; const char* Text; } cases[] = {
        {TGridRect(1, 1, 2, 1), "a\tb"},
        {TGridRect(1, 1, 2, 2), "a\tb\r\n\"x\ny\"\tzażółć\r\n"},
        {TGridRect(1, 2, 1, 2), "\"x\ny\""},
    };
    for (auto& c : cases) {
        g.SetSelection(c.Sel);
        g.CopySelection();
        EXPECT_EQ(Clipboard()->AsText(), c.Text);
    }
    EXPECT_EQ(g.LastCopyOrigin(), TPoint(1, 2));
    EXPECT_TRUE(g.LastClipboardWasCopy());

    // The quoted cell pastes back with its LF.
    TEditableGrid t;
    Paste(t, 1, 1, 1, 1);
    EXPECT_EQ(t.Cells(1, 1), "x\ny");
}

TEST_F(ClipboardTest, PasteSplitsFieldsAndLinesAndStripsOnlyMatchingQuotes)
{
    struct { const char* Text; int Count; std::vector<std::string> Col1, Col2; } cases[] = {
        {"1\t2\r\n3\t4\r\n", 4, {"1", "3", ""}, {"2", "4", ""}},
        {"1\t2\r\n3", 3, {"1", "3", ""}, {"2", "", ""}},
        {"\"q\"\t\"open\r\nclose\"", 3, {"q", "close\"", ""}, {"\"open", "", ""}},
        {"x\"\t\"\"", 2, {"x\"", "", ""}, {"", "", ""}},
        {"v\vw", 1, {"v\vw", "", ""}, {"", "", ""}},
        {"v\vw\"", 1, {"v\r\nw\"", "", ""}, {"", "", ""}},
        {"\"v\vw\"", 1, {"v\r\nw", "", ""}, {"", "", ""}},
        // Text of other programs: lines end at LF, except inside a quoted field.
        {"a\tb\nc\t\"d\ne\"\n", 4, {"a", "c", ""}, {"b", "d\ne", ""}},
    };
    for (auto& c : cases) {
        TEditableGrid g;
        EXPECT_EQ(g.PasteText(1, 1, c.Text), c.Count) << c.Text;
        EXPECT_EQ(Texts(g, 1, 1, 3), c.Col1) << c.Text;
        EXPECT_EQ(Texts(g, 2, 1, 3), c.Col2) << c.Text;
    }
    TPoint size;
    TProStringGrid g(nullptr);
    g.TextBlockSize("a\tb\tc\r\nd\r\n", size);
    EXPECT_EQ(size, TPoint(3, 2));
}

// A text copied from a cell pastes back as it was: one that begins or ends with a double quote
// travels in one more pair of quotes, which the paste takes off again.
TEST_F(ClipboardTest, CellTextsWithQuotesPasteBackAsTheyWere)
{
    struct { const char* Text; const char* Copied; } cases[] = {
        {"\"PN-EN 1090\"", "\"\"PN-EN 1090\"\""}, {"\"\"", "\"\"\"\""}, {"\"otwarty", "\"\"otwarty\""},
        {"zamknięty\"", "\"zamknięty\"\""}, {"\"", "\"\"\""}, {"w \"środku\" tak", "w \"środku\" tak"},
    };
    for (auto& c : cases) {
        TProStringGrid a(nullptr), b(nullptr);
        MakeEditable(b);
        a.SetCells(1, 1, c.Text);
        a.SetCells(2, 2, c.Text);
        Copy(a, 1, 1, 1, 1);
        EXPECT_EQ(Clipboard()->AsText(), c.Copied) << c.Text;
        Paste(b, 1, 1, 1, 1);
        EXPECT_EQ(b.Cells(1, 1), c.Text);
        // Among other cells, on several rows.
        Copy(a, 1, 1, 2, 2);
        Paste(b, 1, 3, 1, 3);
        EXPECT_EQ(Texts(b, 1, 3, 2), (std::vector<std::string>{c.Text, ""})) << c.Text;
        EXPECT_EQ(Texts(b, 2, 3, 2), (std::vector<std::string>{"", c.Text})) << c.Text;
    }
}

TEST_F(ClipboardTest, PasteNeedsEditingAndSkipsReadOnlyCellsAndVetoes)
{
    TProStringGrid g(nullptr);
    EXPECT_EQ(g.PasteText(1, 1, "x"), 0);
    EXPECT_EQ(g.Cells(1, 1), "");
    MakeEditable(g);
    g.CellProperties(2, 1)->SetReadOnly(true);
    g.OnClipboardBeforePasteCell = [](TObject*, int ACol, int, AnsiString& Value, bool& Allow) {
        if (ACol == 3)
            Allow = false;
        Value += "!";
    };
    EXPECT_EQ(g.PasteText(1, 1, "a\tb\tc"), 3);
    EXPECT_EQ(g.Cells(1, 1), "a!");
    EXPECT_EQ(g.Cells(2, 1), "");
    EXPECT_EQ(g.Cells(3, 1), "");
    g.Navigation()->SetAllowClipboardAlways(true);
    g.PasteText(2, 1, "b");
    EXPECT_EQ(g.Cells(2, 1), "b!");
}

TEST_F(ClipboardTest, PasteGrowsRowsAndColumnsOnlyWhenAllowed)
{
    struct { bool ColGrow, RowGrow; int Cols, Rows; } cases[] = {
        {true, true, 6, 11}, {false, true, 5, 11}, {true, false, 6, 10}, {false, false, 5, 10},
    };
    for (auto& c : cases) {
        TEditableGrid g;
        g.Navigation()->SetAllowClipboardColGrow(c.ColGrow);
        g.Navigation()->SetAllowClipboardRowGrow(c.RowGrow);
        g.PasteText(4, 9, "x\ty\r\nz");
        EXPECT_EQ(g.ColCount(), c.Cols);
        EXPECT_EQ(g.RowCount(), c.Rows);
        EXPECT_EQ(g.Cells(4, 9), "x");
        if (c.ColGrow) { EXPECT_EQ(g.Cells(5, 9), "y"); }
        if (c.RowGrow) { EXPECT_EQ(g.Cells(4, 10), "z"); }
    }
}

TEST_F(ClipboardTest, SmartPasteFillsRangeOrContinuesSeries)
{
    struct { const char* A; const char* B; std::vector<std::string> Column; } cases[] = {
        {"1", "3", {"1", "3", "5", "7", "9"}},
        {"10", "7", {"10", "7", "4", "1", "-2"}},
        {"1,5", "2", {"1,5", "2", "2,5", "3", "3,5"}},
        {"15.01.2024", "15.02.2024", {"15.01.2024", "15.02.2024", "15.03.2024", "15.04.2024", "15.05.2024"}},
        {"15.05.2024", "15.04.2024", {"15.05.2024", "15.04.2024", "15.03.2024", "15.02.2024", "15.01.2024"}},
        {"10:00:00", "10:30:00", {"10:00:00", "10:30:00", "11:00:00", "11:30:00", "12:00:00"}},
        {"a", "b", {"a", "b", "a", "b", "a"}},
        {"15.01.2024", "a", {"15.01.2024", "a", "15.01.2024", "a", "15.01.2024"}},
    };
    for (auto& c : cases) {
        TEditableGrid g;
        g.Navigation()->SetAllowSmartClipboard(true);
        g.SetCells(1, 1, c.A);
        g.SetCells(1, 2, c.B);
        Copy(g, 1, 1, 1, 2);
        Paste(g, 2, 3, 2, 7);
        EXPECT_EQ(Texts(g, 2, 3, 5), c.Column) << c.A << " " << c.B;
    }
    // One value fills the whole selection.
    TEditableGrid g;
    g.Navigation()->SetAllowSmartClipboard(true);
    Clipboard()->SetAsText("7");
    Paste(g, 1, 1, 3, 3);
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(Texts(g, r, 1, 3), std::vector<std::string>(3, "7"));
    EXPECT_EQ(g.Cells(4, 1), "");
}

TEST_F(ClipboardTest, CutIsOneUndoGroupAndPasteAnother)
{
    TEditableGrid g;
    TProGridUndoRedo undo(nullptr);
    undo.SetGrid(&g);
    g.SetUndoRedo(&undo);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 2; ++c)
            g.SetCells(c, r, "c" + std::to_string(c) + "r" + std::to_string(r));
    g.CellProperties(2, 2)->SetReadOnly(true);
    Select(g, 1, 1, 2, 3);
    g.CutSelection();
    EXPECT_EQ(Clipboard()->AsText(), "c1r1\tc2r1\r\nc1r2\tc2r2\r\nc1r3\tc2r3\r\n");
    EXPECT_FALSE(g.LastClipboardWasCopy());
    EXPECT_EQ(Texts(g, 1, 1, 3), std::vector<std::string>(3, ""));
    EXPECT_EQ(Texts(g, 2, 1, 3), (std::vector<std::string>{"", "c2r2", ""}));
    undo.Undo();
    EXPECT_EQ(Texts(g, 1, 1, 3), (std::vector<std::string>{"c1r1", "c1r2", "c1r3"}));
    EXPECT_EQ(Texts(g, 2, 1, 3), (std::vector<std::string>{"c2r1", "c2r2", "c2r3"}));
    EXPECT_FALSE(undo.CanUndo());

    Paste(g, 3, 1, 3, 1);
    EXPECT_EQ(g.Cells(4, 3), "c2r3");
    undo.Undo();
    EXPECT_EQ(g.Cells(3, 1), "");
    EXPECT_EQ(g.Cells(4, 3), "");
}

TEST_F(ClipboardTest, CheckBoxCellsCopyTheirStateAndPasteIt)
{
    TEditableGrid g;
    TCellGraphic* box = g.CreateCellGraphic(1, 1);
    box->CellType = ctCheckBox;
    box->CellBoolean = true;
    Copy(g, 1, 1, 1, 1);
    EXPECT_EQ(Clipboard()->AsText(), "Y");
    g.PasteText(1, 1, "N");
    bool state = true;
    ASSERT_TRUE(g.GetCheckBoxState(1, 1, state));
    EXPECT_FALSE(state);
    EXPECT_EQ(g.Cells(1, 1), "");
}

TEST_F(ClipboardTest, DisjunctRowSelectionCopiesOnlySelectedRows)
{
    TProStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(5);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 3; ++c)
            g.SetCells(c, r, std::to_string(c) + std::to_string(r));
    g.MouseActions()->SetDisjunctRowSelect(true);
    g.SetRowSelect(1, true);
    g.SetRowSelect(3, true);
    g.CopySelection();
    EXPECT_EQ(Clipboard()->AsText(), "01\t11\t21\r\n03\t13\t23\r\n");
}

TEST_F(ClipboardTest, RichTextOfOneCellRoundTrips)
{
    const AnsiString rtf = "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Arial;}\\f0\\fs20 Pogrubiony \\b tekst\\b0\\par}";
    TProStringGrid a(nullptr), b(nullptr);
    a.Navigation()->SetAllowRTFClipboard(true);
    b.Navigation()->SetAllowRTFClipboard(true);
    MakeEditable(b);
    a.SetCells(1, 1, rtf);
    Copy(a, 1, 1, 1, 1);
    EXPECT_TRUE(Clipboard()->HasFormat(RegisterClipboardFormat("Rich Text Format")));
    EXPECT_EQ(Trim(Clipboard()->AsText()), "Pogrubiony tekst");
    Paste(b, 2, 2, 2, 2);
    EXPECT_EQ(b.Cells(2, 2), rtf);
}

// ---------------------------------------------------------------- the grid's own format
namespace {
struct OwnFormatTest : TGridFormTest<TMarkGrid> {
    TMarkGrid* Other = nullptr;
    void SetUp() override
    {
        Clipboard()->Clear();
        TGridFormTest<TMarkGrid>::SetUp();
        Other = Place<TMarkGrid>(0, 260, 400, 200);
        for (TMarkGrid* g : {Grid, Other}) {
            g->Navigation()->SetAllowFmtClipboard(true);
            MakeEditable(*g);
        }
    }
};
}  // namespace

TEST_F(OwnFormatTest, CarriesColoursFontsCheckBoxAndPictureToAnotherGrid)
{
    Grid->SetCells(1, 1, "kolor");
    Grid->SetCellBrushColor(1, 1, clYellow);
    TCellProperties* p = Grid->CellProperties(1, 1);
    p->SetFontName("Courier New");
    p->SetFontStyle(fsBold | fsItalic);
    p->SetAlignment(taRightJustify);
    p->SetFontColor(clRed);
    TCellGraphic* box = Grid->CreateCellGraphic(2, 1);
    box->CellType = ctCheckBox;
    box->CellBoolean = true;
    TCellGraphic* pic = Grid->CreateCellGraphic(1, 2);
    auto* bitmap = new TBitmap();
    bitmap->SetSize(6, 4);
    bitmap->Canvas()->Brush()->SetColor(clBlue);
    bitmap->Canvas()->FillRect(TRect(0, 0, 6, 4));
    pic->CellType = ctBitmap;
    pic->CellObject = bitmap;
    pic->CellCreated = true;
    pic->CellHAlign = haCenter;
    // A bitmap the graphic does not own stays behind.
    TBitmap shared;
    shared.SetSize(2, 2);
    TCellGraphic* borrowed = Grid->CreateCellGraphic(2, 2);
    borrowed->CellType = ctBitmap;
    borrowed->CellObject = &shared;
    Grid->SetCells(2, 2, "pożyczony");

    Copy(*Grid, 1, 1, 2, 2);
    Paste(*Other, 2, 3, 2, 3);

    EXPECT_EQ(Other->Cells(2, 3), "kolor");
    ASSERT_TRUE(Other->HasCellProperties(2, 3));
    TCellProperties* q = Other->CellProperties(2, 3);
    EXPECT_EQ(q->BrushColor(), clYellow);
    EXPECT_EQ(q->FontName(), "Courier New");
    EXPECT_EQ(q->FontStyle(), unsigned(fsBold | fsItalic));
    EXPECT_EQ(q->Alignment(), taRightJustify);
    EXPECT_EQ(q->FontColor(), clRed);
    EXPECT_EQ(q->OwnerCol(), 2);
    EXPECT_EQ(q->OwnerRow(), 3);
    bool state = false;
    EXPECT_TRUE(Other->GetCheckBoxState(3, 3, state));
    EXPECT_TRUE(state);
    TCellGraphic* g = Other->GetCellGraphic(2, 4);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->CellType, ctBitmap);
    EXPECT_EQ(g->CellHAlign, haCenter);
    EXPECT_TRUE(g->CellCreated);
    auto* b = dynamic_cast<TBitmap*>(g->CellObject);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Width(), 6);
    EXPECT_EQ(b->Height(), 4);
    EXPECT_EQ(ColorToRGB(b->Canvas()->Pixels(3, 2)), ColorToRGB(clBlue));
    EXPECT_EQ(Other->GetCellGraphic(3, 4), nullptr);
    EXPECT_EQ(Other->Cells(3, 4), "pożyczony");
    std::unique_ptr<TBitmap> shot = GrabControl(Form);
    ASSERT_TRUE(shot && !shot->Empty());
    SaveScreenshot(shot.get(), "grid_clipboard_own_format.png");
    // From another grid: no origin.
    EXPECT_EQ(Other->Origin, TPoint(-1, -1));
    EXPECT_EQ(Other->Range, TRect(2, 3, 3, 4));
    // From the same grid: the origin of the copy.
    Paste(*Grid, 3, 5, 3, 5);
    EXPECT_EQ(Grid->Origin, TPoint(1, 1));
    EXPECT_EQ(Grid->Cells(3, 5), "kolor");
}

TEST_F(OwnFormatTest, StreamShiftsCellsOrResizesForTheWholeGrid)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c)
            Grid->SetCells(c + 1, r + 1, std::to_string(c) + "/" + std::to_string(r));
    TMemoryStream part;
    Grid->WriteCellObjects(TGridRect(1, 1, 2, 3), &part);
    part.SetPosition(0);
    Other->SetRowCount(12);
    Other->SetColCount(9);
    Other->ReadCellObjects(TPoint(5, 7), &part);
    EXPECT_EQ(Other->Cells(5, 7), "0/0");
    EXPECT_EQ(Other->Cells(6, 9), "1/2");
    EXPECT_EQ(Other->ColCount(), 9);

    Grid->SetColCount(3);
    Grid->SetRowCount(4);
    Grid->SetColWidths(2, 91);
    Grid->SetRowHeights(3, 33);
    TMemoryStream whole;
    Grid->WriteCellObjects(TGridRect(0, 0, 2, 3), &whole);
    whole.SetPosition(0);
    Other->ReadCellObjects(TPoint(0, 0), &whole);
    EXPECT_EQ(Other->ColCount(), 3);
    EXPECT_EQ(Other->RowCount(), 4);
    EXPECT_EQ(Other->ColWidths(2), 91);
    EXPECT_EQ(Other->RowHeights(3), 33);
    EXPECT_EQ(Other->Cells(2, 3), "1/2");
    EXPECT_EQ(Other->GetGridCell(5, 7), "");   // nothing kept beyond the grid
}

// A selection whose side cuts a merged region copies the region whole, so that the grid's own
// format pastes; a stream the grid cannot take pastes as the text copied with it.
TEST_F(OwnFormatTest, MergedRegionsCutByTheSelectionTravelWhole)
{
    SetGridTexts(*Grid, "||||/|lewa|scalona||/||||/|dół|||/||||");
    Grid->MergeCells(2, 1, 2, 2);
    struct { TGridRect Sel, Copied; } cases[] = {
        {TGridRect(1, 1, 2, 1), TGridRect(1, 1, 3, 2)},   // the base cell inside, covered cells outside
        {TGridRect(3, 2, 3, 3), TGridRect(2, 1, 3, 3)},   // a covered cell inside, the base outside
        {TGridRect(1, 2, 4, 3), TGridRect(1, 1, 4, 3)},   // the top side crosses the region
    };
    for (auto& c : cases) {
        Other->ClearAll();
        Other->FreeCellProperties(0, 0, Other->ColCount() - 1, Other->RowCount() - 1);
        Select(*Grid, c.Copied.Left, c.Copied.Top, c.Copied.Left, c.Copied.Top);
        Grid->SetSelection(c.Sel);
        Grid->CopySelection();
        Select(*Other, 1, 5, 1, 5);
        EXPECT_NO_THROW(Other->PasteSelection());
        EXPECT_EQ(Other->Range, TRect(1, 5, 1 + c.Copied.Right - c.Copied.Left, 5 + c.Copied.Bottom - c.Copied.Top));
        const int x = 1 + 2 - c.Copied.Left, y = 5 + 1 - c.Copied.Top;
        EXPECT_EQ(Other->Cells(x, y), "scalona");
        EXPECT_EQ(Other->CellSpan(x, y), TPoint(1, 1));
        EXPECT_EQ(Other->Cells(x + 1, y + 1), "scalona");
    }
    Clipboard()->Open();
    Clipboard()->SetAsText("tekst\tobok");
    Clipboard()->SetFormatData(GridClipboardFormat(), "nie strumień");
    Clipboard()->Close();
    Select(*Other, 1, 8, 1, 8);
    ASSERT_NO_THROW(Other->PasteSelection());
    EXPECT_EQ(Other->Cells(1, 8), "tekst");
    EXPECT_EQ(Other->Cells(2, 8), "obok");
}

TEST_F(OwnFormatTest, DamagedStreamsChangeNothing)
{
    Grid->SetCells(1, 1, "tekst");
    Grid->CellProperties(1, 1)->SetBrushColor(clLime);
    Grid->MergeCells(1, 2, 2, 1);
    TCellGraphic* radio = Grid->CreateCellGraphic(2, 1);
    radio->CellType = ctRadio;
    auto* items = new TStringList();
    items->Add("tak");
    items->Add("nie");
    radio->CellObject = items;
    radio->CellCreated = true;
    TCellGraphic* pic = Grid->CreateCellGraphic(3, 1);
    auto* bitmap = new TBitmap();
    bitmap->SetSize(3, 3);
    pic->CellType = ctPicture;
    pic->CellObject = bitmap;
    pic->CellCreated = true;
    TMemoryStream good;
    Grid->WriteCellObjects(TGridRect(1, 1, 3, 2), &good);
    const std::string bytes = StreamBytes(good);

    Other->SetCells(1, 1, "zostaje");
    auto unchanged = [&](const std::string& Data, const std::string& What) {
        TStringStream s(Data);
        EXPECT_THROW(Other->ReadCellObjects(TPoint(1, 1), &s), EProGridError) << What;
        EXPECT_EQ(Other->Cells(1, 1), "zostaje") << What;
        EXPECT_FALSE(Other->HasCellProperties(1, 1)) << What;
        EXPECT_EQ(Other->GetCellGraphic(2, 1), nullptr) << What;
        EXPECT_EQ(Other->ColCount(), 5) << What;
        EXPECT_EQ(Other->RowCount(), 10) << What;
    };
    for (std::size_t n = 0; n < bytes.size(); n += std::max<std::size_t>(1, bytes.size() / 300))
        unchanged(bytes.substr(0, n), "cut at " + std::to_string(n));
    std::mt19937 random(19);
    for (int i = 0; i < 300; ++i) {
        std::string damaged = bytes;
        for (int k = 0; k < 1 + i % 4; ++k)
            damaged[random() % (damaged.size() - 6) + 6] = char(random());
        TStringStream s(damaged);
        try {
            Other->ReadCellObjects(TPoint(1, 1), &s);
        } catch (const EProGridError&) {
            // A damaged stream either reads as some valid cells or changes nothing.
        }
        Other->ClearAll();
        Other->SetColCount(5);
        Other->SetRowCount(10);
        Other->FreeCellProperties(0, 0, 4, 9);
        Other->SetCells(1, 1, "zostaje");
    }
    for (int i = 0; i < 100; ++i) {
        std::string noise(std::size_t(random() % 200), '\0');
        for (char& ch : noise)
            ch = char(random());
        if (i % 2)
            noise.replace(0, std::min<std::size_t>(6, noise.size()), bytes.substr(0, 6));
        unchanged(noise, "noise " + std::to_string(i));
    }
    // A header that claims more cells than the stream holds.
    std::string huge = bytes;
    huge[11] = '\x7F';
    unchanged(huge, "huge count");
    TStringStream s(bytes);
    Other->ReadCellObjects(TPoint(1, 1), &s);
    EXPECT_EQ(Other->Cells(1, 1), "tekst");
    EXPECT_EQ(Other->CellProperties(1, 1)->BrushColor(), clLime);
    EXPECT_EQ(Other->CellSpan(1, 2), TPoint(1, 0));
    ASSERT_NE(Other->GetRadioStrings(2, 1), nullptr);
    EXPECT_EQ(Other->GetRadioStrings(2, 1)->CommaText(), "tak,nie");
    ASSERT_NE(Other->GetCellGraphic(3, 1), nullptr);
    EXPECT_EQ(Other->GetCellGraphic(3, 1)->GetPictureSize(100, 100).cx, 3);
}

namespace {
// A grid that records its progress hooks.
class TProgressGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    void DoProgress(int Phase, int Value) override { Copy.push_back({Phase, Value}); }
    void DoPasteProgress(int Phase, int Value) override { Paste.push_back({Phase, Value}); }
    std::vector<std::pair<int, int>> Copy, Paste;
};
}  // namespace

TEST_F(ClipboardTest, ProgressHooksAndWideCellEvent)
{
    TProgressGrid g(nullptr);
    MakeEditable(g);
    Copy(g, 1, 2, 2, 3);
    using Steps = std::vector<std::pair<int, int>>;
    EXPECT_EQ(g.Copy, (Steps{{0, -1}, {1, 2}, {1, 3}, {2, -1}}));
    Clipboard()->SetAsText("a\r\nb");
    g.PasteSelection();
    EXPECT_EQ(g.Paste, (Steps{{0, -1}, {1, 2}, {1, 3}, {2, -1}}));

    // A Unicode value goes through the wide event, any other through the plain one.
    std::vector<std::string> seen;
    g.OnClipboardBeforePasteCell = [&](TObject*, int, int, AnsiString& V, bool&) { seen.push_back("plain " + V); };
    g.OnClipboardBeforePasteWideCell = [&](TObject*, int, int, WideString& V, bool&) {
        seen.push_back("wide");
        V += u"\u0159";
    };
    const AnsiString wide = EncodeUnicodeCell(u"\u03A9");
    g.PasteText(1, 1, "x\t" + wide);
    EXPECT_EQ(seen, (std::vector<std::string>{"plain x", "wide"}));
    EXPECT_EQ(g.GetWideCell(2, 1), WideString(u"\u03A9\u0159"));
}

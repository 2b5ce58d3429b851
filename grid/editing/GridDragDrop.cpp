// The grid's side of system drag and drop: dropped text, rich text, links, files and columns put
// into the grid or reported by its events, the drop indicators, and the drag of cells and columns
// out of the grid with its picture.
#include <algorithm>

#include "grid/ProGrid.h"
#include "grid/editing/GridDragDrop.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"

namespace {
// A plain rich-text document of the text block: tabs between fields, a paragraph per line.
AnsiString TextBlockToRtf(const AnsiString& Text)
{
    static const char hex[] = "0123456789abcdef";
    AnsiString rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(Text[i]);
        if (ch == '\r')
            continue;
        if (ch == '\n')
            rtf += "\\par ";
        else if (ch == '\t')
            rtf += "\\tab ";
        else if (ch == '\\' || ch == '{' || ch == '}')
            rtf += AnsiString("\\") + char(ch);
        else if (ch >= 0x80)
            rtf += AnsiString("\\'") + hex[ch >> 4] + hex[ch & 15];
        else
            rtf += char(ch);
    }
    return rtf + "}";
}

// A picture of the cells of a range, cut from the grid as it is painted: from one pixel inside the
// first cell to one pixel beyond the grid line after the last.
std::unique_ptr<TBitmap> PaintCellRange(TProStringGrid* Grid, const TGridRect& Range)
{
    TRect first = Grid->MergedCellRect(Range.Left, Range.Top);
    TRect last = Grid->MergedCellRect(Range.Right, Range.Bottom);
    if (first.Left > last.Left)
        std::swap(first, last);
    TBitmap whole;
    whole.SetSize(std::max(1, Grid->Width()), std::max(1, Grid->Height()));
    Grid->PaintTo(whole.Canvas(), 0, 0);
    auto bmp = std::make_unique<TBitmap>();
    const int w = std::max(1, last.Right - first.Left + 1), h = std::max(1, last.Bottom - first.Top + 1);
    bmp->SetSize(w, h);
    TCanvas* c = bmp->Canvas();
    c->CopyRect(TRect(0, 0, w, h), whole.Canvas(), TRect(first.Left + 1, first.Top + 1, first.Left + 1 + w, first.Top + 1 + h));
    c->Pen()->SetColor(Grid->GridFixedLineColor());
    if (Range.Left == 0 && Grid->FixedCols() > 0 && (Grid->Options() & goFixedHorzLine)) {
        c->MoveTo(0, 0);
        c->LineTo(0, h);
    }
    if (Range.Top == 0 && Grid->FixedRows() > 0 && (Grid->Options() & goFixedVertLine)) {
        c->MoveTo(0, 0);
        c->LineTo(w, 0);
    }
    return bmp;
}
} // namespace

// ---------------------------------------------------------------- TGridDropTarget
HRESULT TGridDropTarget::DragEnter(IDataObject* DataObj, DWORD KeyState, TPoint Pt, DWORD& Effect)
{
    TDragDropSettings* s = FGrid->DragDropSettings();
    AcceptText = s->OleAcceptText();
    AcceptFiles = s->OleAcceptFiles();
    AcceptURLs = s->OleAcceptURLs();
    AcceptCols = s->OleColumnDragDrop();
    return TPSGDropTarget::DragEnter(DataObj, KeyState, Pt, Effect);
}

void TGridDropTarget::DragMouseMove(TPoint Pt, bool& Allow, int Formats)
{
    TProStringGrid* g = FGrid;
    int col = -1, row = -1;
    g->ScreenToCell(Pt, col, row);
    Allow = Allow && col >= 0 && row >= 0;
    const bool column = Formats & dfColumn;
    if (!column && Allow) {
        const TPoint client = g->ScreenToClient(Pt);
        if (row == 0 && g->TopRow() > g->FixedRows())
            g->SetTopRow(g->TopRow() - 1);
        else if (g->FixedRows() == 0 && client.Y < 8 && g->TopRow() > 0)
            g->SetTopRow(g->TopRow() - 1);
        else if (row == g->TopRow() + g->VisibleRowCount() && row < g->RowCount())
            g->SetTopRow(g->TopRow() + 1);
        if (g->NextDragScrollTurn()) {
            if (col == 0 && g->LeftCol() > g->FixedCols())
                g->SetLeftCol(g->LeftCol() - 1);
            else if (col == g->LeftCol() + g->VisibleColCount() && col < g->ColCount())
                g->SetLeftCol(g->LeftCol() + 1);
        }
    }
    if (column)
        Allow = Allow && row < g->FixedRows() && col >= g->FixedCols();
    else if (row >= 0 && row < g->FixedRows())
        Allow = Allow && g->RowCount() == 1 && g->FixedRowAlways();
    if (g->OnOleDragOver)
        g->OnOleDragOver(g, row, col, Allow);
    Allow = Allow && row >= 0 && col >= 0;

    if (Allow && column) {
        // The arrows are pop-up windows: they are placed on the screen.
        TRect r = g->CellRect(col, row);
        TPoint o = g->ClientToScreen(TPoint(0, 0));
        TArrowWindow* down = g->ArrowWindow(1);
        TArrowWindow* up = g->ArrowWindow(0);
        down->SetBounds(o.X + r.Left - down->Width() / 2, o.Y + r.Top - 8, down->Width(), down->Height());
        up->SetBounds(o.X + r.Left - up->Width() / 2, o.Y + r.Bottom, up->Width(), up->Height());
        down->SetVisible(true);
        up->SetVisible(true);
        g->ArrowWindow(2)->SetVisible(false);
    } else if (Allow) {
        if (row == 0 && g->FixedRowAlways())
            row = 1;
        int c = g->DragDropSettings()->OleEntireRows() ? g->FixedCols() : col;
        TRect r = g->CellRect(c, std::min(row, g->RowCount() - 1));
        if (row >= g->RowCount())
            r.Top = r.Bottom + g->GridLineWidth();   // where the row the drop adds begins
        TArrowWindow* a = g->ArrowWindow(2);
        TPoint o = g->ClientToScreen(TPoint(0, 0));
        a->SetBounds(o.X + r.Left - 10, o.Y + r.Top, a->Width(), a->Height());
        a->SetVisible(true);
        g->ArrowWindow(0)->SetVisible(false);
        g->ArrowWindow(1)->SetVisible(false);
    } else {
        g->HideDropArrows();
    }
}

void TGridDropTarget::DragMouseLeave()
{
    FGrid->HideDropArrows();
}

void TGridDropTarget::DropCol(TPoint Pt, int Column)
{
    FGrid->HideDropArrows();
    int col = -1, row = -1;
    FGrid->ScreenToCell(Pt, col, row);
    if (FGrid->OnOleDropCol)
        FGrid->OnOleDropCol(FGrid, row, col, Column);
}

void TGridDropTarget::DropWholeText(TPoint Pt, const AnsiString& Text, bool Url)
{
    int col = -1, row = -1;
    FGrid->ScreenToCell(Pt, col, row);
    bool allow = true;
    if (Url ? bool(FGrid->OnOleDropURL) : bool(FGrid->OnOleDrop))
        (Url ? FGrid->OnOleDropURL : FGrid->OnOleDrop)(FGrid, row, col, Text, allow);
    const bool taken = allow && col >= 0 && row >= 0;
    if (taken)
        FGrid->SetCells(FGrid->RealColIndex(col), row, Text);
    DropTaken(taken);
    FGrid->HideDropArrows();
}

void TGridDropTarget::DropRTF(TPoint Pt, const AnsiString& Rtf)
{
    DropWholeText(Pt, Rtf, false);
}

void TGridDropTarget::DropURL(TPoint Pt, const AnsiString& Url)
{
    DropWholeText(Pt, Url, true);
}

void TGridDropTarget::DropText(TPoint Pt, const AnsiString& Text)
try {
    TProStringGrid* g = FGrid;
    TDragDropSettings* s = g->DragDropSettings();
    int col = -1, row = -1;
    g->ScreenToCell(Pt, col, row);
    TPoint size;
    g->TextBlockSize(Text, size);
    const int rows = size.Y;
    if ((g->Options() & goRowSelect))
        col = s->OleEntireRows() ? 0 : g->FixedCols();
    bool allow = true;
    if (g->OnOleDrop)
        g->OnOleDrop(g, row, col, Text, allow);
    // Row 0 shown fixed by FixedRowAlways takes no text: the text goes below it, into a row added
    // for it when the grid has no other.
    if (row == 0 && g->FixedRowAlways())
        row = 1;
    const bool addRow = row >= g->RowCount() && !s->OleInsertRows();
    auto refuse = [&] {
        DropTaken(false);
        g->HideDropArrows();
        if (g->OnOleDropped)
            g->OnOleDropped(g, TGridRect(-1, -1, -1, -1));
    };
    if (!allow || col < 0 || row < 0 || rows == 0 || (addRow && !g->Navigation()->AllowClipboardRowGrow())) {
        refuse();
        return;
    }
    // Rows that would grow the grid too large are refused before any goes in.
    if (s->OleInsertRows())
        g->CheckGrowth(Int64(col) + size.X, Int64(g->RowCount()) + rows);
    const int top = g->TopRow(), rowCount = g->RowCount();
    if (s->OleInsertRows()) {
        g->InsertRows(row, rows);
        g->SetTopRow(top > g->FixedRows() ? std::min(top + 1, g->RowCount() - 1) : top);
    } else if (addRow) {
        g->SetRowCount(row + 1);
    }
    // A drop is a paste: the same rules for cells that may not change, growth, undo and events. A
    // drop the grid took nothing of leaves it as it was and tells the source so (a move keeps its
    // cells).
    g->PasteText(col, row, Text);
    if (g->PastedCells() == 0) {
        if (s->OleInsertRows())
            g->RemoveRows(row, rows);
        if (g->RowCount() > rowCount)
            g->SetRowCount(rowCount);
        g->SetTopRow(top);
        refuse();
        return;
    }
    DropTaken(true);
    TGridRect pasted(std::max(col, g->FixedCols()), row, std::min(col + size.X - 1, g->ColCount() - 1),
                     std::min(row + rows - 1, g->RowCount() - 1));
    g->SetSelection(pasted);
    if (g->OleDragRect().Top >= 0)
        g->NoteOwnDrop(row, s->OleInsertRows() ? rows : 0, pasted);
    g->HideDropArrows();
    if (g->OnOleDropped)
        g->OnOleDropped(g, pasted);
} catch (const std::bad_alloc&) {
    TProStringGrid::RefuseGrowth();
}

void TGridDropTarget::DropFiles(TPoint Pt, const std::vector<AnsiString>& Files)
{
    TProStringGrid* g = FGrid;
    g->HideDropArrows();
    // A file is only read: the drop is a copy, or nothing when the grid loads nothing.
    DropTaken(false, true);
    if (Files.size() != 1)
        return;
    const AnsiString& name = Files.front();
    int col = -1, row = -1;
    g->ScreenToCell(Pt, col, row);
    bool allow = true;
    if (g->OnOleDropFile)
        g->OnOleDropFile(g, row, col, name, allow);
    if (!allow)
        return;
    // The file is loaded once, as the type its name names last: "lista.csv.bak" is a CSV file,
    // "zestaw.csv.xlsx" a workbook and "zestaw.xls.csv" a CSV file.
    const AnsiString upper = AnsiUpperCase(name);
    const std::size_t csvAt = upper.rfind(".CSV"), workbookAt = upper.rfind(".XLS");
    if (csvAt == AnsiString::npos && workbookAt == AnsiString::npos)
        return;
    const bool csv = workbookAt == AnsiString::npos || (csvAt != AnsiString::npos && csvAt > workbookAt);
    if (g->OnOleDrop)
        g->OnOleDrop(g, -1, -1, name, allow);
    if (!allow)
        return;
    // A dropped file's separator is found from the file, whatever the grid's own is.
    struct KeepSeparator {
        TProStringGrid* Grid;
        char Separator;
        ~KeepSeparator() { Grid->SetFieldSeparator(Separator); }
    } keep{g, g->FieldSeparator()};
    try {
        g->SetFieldSeparator(0);
        if (csv)
            g->LoadFromCsvFile(name);
        else
            g->LoadFromExcel(name, AnsiString());
        DropTaken(true, true);
    } catch (const Exception& e) {
        ShowMessage(e.Message());
    }
}

// ---------------------------------------------------------------- TGridDropSource
void TGridDropSource::QueryDrop()
{
    TPSGDropSource::QueryDrop();
    if (FGrid->DragDropSettings()->ShowCells() && FImage) {
        delete FImage;
        FImage = nullptr;
    }
}

void TGridDropSource::CurrentEffect(DWORD Effect)
{
    if (Effect == DROPEFFECT_COPY || Effect == DROPEFFECT_MOVE)
        FLastEffect = Effect;
}

void TGridDropSource::DragMouseMove()
{
    TPoint p;
    if (!GetCursorPos(p))
        return;
    if (FGrid->DragDropSettings()->ShowCells() && FImage) {
        FImage->SetBounds(p.X + 4, p.Y + 4, FImage->Width(), FImage->Height());
    } else if (TPopupButton* b = FGrid->PopupButton(); b && b->Visible()) {
        b->SetBounds(p.X, p.Y - b->Height(), b->Width(), b->Height());   // a pop-up: on the screen
    }
}

// ---------------------------------------------------------------- the grid
void TProStringGrid::HideDropArrows()
{
    for (int d = 0; d < 3; ++d)
        if (TArrowWindow* a = ArrowWindow(d))
            a->SetVisible(false);
    if (FPopupButton)
        FPopupButton->SetVisible(false);
}

bool TProStringGrid::RegisterOleDropTarget(bool Value)
{
    if (Value == (FOleTarget != nullptr))
        return true;
    if (!Value) {
        if (HandleAllocated())
            RevokeDragDrop(Handle());
        FOleTarget->Release();
        FOleTarget = nullptr;
        return true;
    }
    // Making the window registers the target already.
    const HWND wnd = Handle();
    if (FOleTarget)
        return true;
    auto* target = new TGridDropTarget(this);
    target->AddRef();
    if (FAILED(RegisterDragDrop(wnd, target))) {
        target->Release();
        return false;
    }
    FOleTarget = target;
    return true;
}

void TProStringGrid::DoneDragDrop()
{
    if (FOleTarget) {
        if (HandleAllocated())
            RevokeDragDrop(Handle());
        FOleTarget->Release();
        FOleTarget = nullptr;
    }
}

TForm* TProStringGrid::CreateDragImageForm(const TGridRect& CellRange)
{
    std::unique_ptr<TBitmap> bmp = PaintCellRange(this, CellRange);
    auto* form = new TForm(this);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, bmp->Width(), bmp->Height());
    form->SetAlphaBlend(true);
    form->SetAlphaBlendValue(192);
    auto* image = new TImage(form);
    image->SetParent(form);
    image->SetAlign(alClient);
    image->Picture()->SetGraphic(bmp.get());
    return form;
}

DWORD TProStringGrid::StartOleDrag(int ACol, int ARow, bool AColumn)
{
    if (FOleSource)
        return DROPEFFECT_NONE;
    const AnsiString text = AColumn ? AnsiString() : GridAsPlainText();
    bool allow = true;
    if (OnOleDrag)
        OnOleDrag(this, ARow, ACol, AColumn ? Cells(RealColIndex(ACol), 0) : text, allow);
    if (!allow)
        return DROPEFFECT_NONE;
    auto* source = new TGridDropSource(this);
    source->AddRef();
    FOleSource = source;
    if (OnOleDragStart)
        OnOleDragStart(this, ARow, ACol);

    // The picture that follows the pointer: the column with its header, or the visible selection,
    // a translucent form the drop source moves along and frees at the drop.
    if (FDragDropSettings->ShowCells()) {
        TGridRect range = Selection();
        if (AColumn)
            range = TGridRect(ACol, 0, ACol, std::min(RowCount() - 1, TopRow() + VisibleRowCount() - 1));
        range.Top = std::max(range.Top, AColumn ? 0 : TopRow());
        range.Bottom = std::min(range.Bottom, TopRow() + VisibleRowCount());
        range.Left = std::max(range.Left, AColumn ? ACol : LeftCol());
        range.Right = std::min(range.Right, LeftCol() + VisibleColCount());
        if (range.Right >= range.Left && range.Bottom >= range.Top) {
            TForm* image = CreateDragImageForm(range);
            TPoint p;
            if (!GetCursorPos(p))
                p = ClientToScreen(TPoint(0, 0));
            image->SetBounds(p.X + 4, p.Y + 4, image->Width(), image->Height());
            image->Show();
            source->SetDragImage(image);
        }
    }
    // The source ends with the drag; a picture the drop did not free (a cancelled drag) goes with it.
    auto release = [this, source] {
        FOleSource = nullptr;
        delete source->DragImage();
        source->SetDragImage(nullptr);
        source->Release();
        FOleDragRect = TGridRect(-1, -1, -1, -1);
        FOleDragRows.clear();
    };

    FOleDragRect = Selection();
    FOleDragRows = SelectedTextRows(FOleDragRect);
    FOwnDrop = TOwnDrop();
    DWORD effect = DROPEFFECT_NONE;
    HRESULT r = E_FAIL;
    try {
        const DWORD ok = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        r = AColumn ? StartColumnDrag(source, ACol, ok, effect)
                    : StartTextDrag(source, text, RichTextDropAllowed() ? TextBlockToRtf(text) : AnsiString(), ok,
                                    effect);
    } catch (...) {
        release();
        throw;
    }
    if (r == DRAGDROP_S_DROP && effect == DROPEFFECT_MOVE && !AColumn)
        ClearMovedSource();
    if (r != DRAGDROP_S_DROP)
        effect = DROPEFFECT_NONE;
    release();
    if (OnOleDragStop)
        OnOleDragStop(this, int(effect));
    return effect;
}

void TProStringGrid::ClearMovedSource()
{
    const TGridRect src = FOleDragRect;
    const TOwnDrop drop = FOwnDrop;
    // The source's rows where they are now: rows inserted by the drop at or above one push it down.
    auto nowAt = [&](int ARow) { return drop.Inserted > 0 && ARow >= drop.Row ? ARow + drop.Inserted : ARow; };
    auto pastedRow = [&](int ARow) { return ARow >= drop.Pasted.Top && ARow <= drop.Pasted.Bottom; };
    // The dragged rows: the selection's, or the flagged ones with a disjunct row selection. A row
    // the drop wrote into stays.
    const std::vector<int> rows = FOleDragRows;
    if (FDragDropSettings->OleRemoveRows() && (Options() & goRowSelect)) {
        std::vector<int> gone;
        for (int r : rows)
            if (!pastedRow(nowAt(r)))
                gone.push_back(nowAt(r));
        RemoveRowList(gone);
        if (FMouseActions->DisjunctRowSelect())
            ClearRowSelect();
        return;
    }
    if (FDragDropSettings->OleCopyAlways())
        return;
    BeginUpdate();
    for (int r : rows) {
        const int row = nowAt(r);
        // A row the drop wrote keeps the dragged cells: only the source's columns beside them go.
        const int keepFrom = pastedRow(row) ? drop.Pasted.Left : src.Right + 1;
        const int keepTo = pastedRow(row) ? drop.Pasted.Right : src.Right;
        for (auto [from, to] : StoredColumnRuns(src.Left, std::min(src.Right, keepFrom - 1)))
            ClearCellRect(from, row, to, row);
        for (auto [from, to] : StoredColumnRuns(std::max(src.Left, keepTo + 1), src.Right))
            ClearCellRect(from, row, to, row);
    }
    EndUpdate();
}

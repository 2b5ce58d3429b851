// TProStringGrid: the graphics cells carry besides their text: finding and
// typing them, creating and removing them, comments, check boxes, radio
// groups, buttons and the sizes the painter lays them out with.
#include <algorithm>
#include <cmath>

#include "grid/ProGrid.h"

// ---------------------------------------------------------------- finding and typing
TCellGraphic* TProStringGrid::GetCellGraphic(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return nullptr;
    if (ACol == 0 && FMouseActions->HotmailRowSelect()) {
        FRowCheckGraphic->CellType = ctRowCheckBox;
        FRowCheckGraphic->CellTransparent = FControlLook->ControlStyle() == csFlat;
        FRowCheckGraphic->CellBoolean = ARow < RowCount() + NumHiddenRows() && GetShownRowSelect(ARow);
        return FRowCheckGraphic.get();
    }
    return dynamic_cast<TCellGraphic*>(GetCellGraphicObject(ACol, ARow));
}

TCellType TProStringGrid::GetCellType(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return ctEmpty;
    if (ACol == 0 && FMouseActions->HotmailRowSelect())
        return ctRowCheckBox;
    auto* g = dynamic_cast<TCellGraphic*>(GetCellGraphicObject(ACol, ARow));
    return g ? g->CellType : ctEmpty;
}

bool TProStringGrid::HasCheckBox(int ACol, int ARow)
{
    TPoint b = GetBaseCell(ACol, ARow);
    return IsCheckBoxType(GetCellType(b.X, b.Y));
}

bool TProStringGrid::HasDataCellGraphic(int ACol, int ARow)
{
    TPoint b = GetBaseCell(ACol, ARow);
    TCellType t = GetCellType(b.X, b.Y);
    return t == ctDataCheckBox || t == ctDataImage || t == ctVirtCheckBox || t == ctRowCheckBox;
}

bool TProStringGrid::HasCellControl(int ACol, int ARow)
{
    TPoint b = GetBaseCell(ACol, ARow);
    TCellType t = GetCellType(b.X, b.Y);
    return IsCheckBoxType(t) || t == ctRadio || t == ctButton;
}

bool TProStringGrid::HasButton(int ACol, int ARow)
{
    TPoint b = GetBaseCell(ACol, ARow);
    TCellType t = GetCellType(b.X, b.Y);
    return t == ctButton || t == ctBitButton;
}

bool TProStringGrid::HasRadio(int ACol, int ARow)
{
    TPoint b = GetBaseCell(ACol, ARow);
    return GetCellType(b.X, b.Y) == ctRadio;
}

TIntList* TProStringGrid::GetCellImages(int ACol, int ARow)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType == ctImages ? dynamic_cast<TIntList*>(g->CellObject) : nullptr;
}

TStrings* TProStringGrid::GetRadioStrings(int ACol, int ARow)
{
    TPoint b = GetBaseCell(ACol, ARow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    return g && g->CellType == ctRadio ? dynamic_cast<TStrings*>(g->CellObject) : nullptr;
}

bool TProStringGrid::GetRadioIndex(int ACol, int ARow, int& AIndex)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType != ctRadio)
        return false;
    AIndex = g->CellIndex;
    return true;
}

int TProStringGrid::CellGraphicValue(int ACol, int ARow)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return -1;
    switch (g->CellType) {
    case ctBitmap: return int(reinterpret_cast<std::uintptr_t>(g->CellObject) & 0x7FFFFFFF);
    case ctIcon: return int(reinterpret_cast<std::uintptr_t>(g->CellIcon) & 0x7FFFFFFF);
    case ctImageList: return g->CellIndex;
    default: return -1;
    }
}

bool TProStringGrid::GetCellError(int ACol, int ARow, int& AFrom, int& ALen)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    AFrom = g ? g->CellErrFrom : 0;
    ALen = g ? g->CellErrLen : 0;
    return g != nullptr;
}

bool TProStringGrid::IsRotated(int ACol, int ARow, int& AAngle)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType != ctRotated)
        return false;
    AAngle = g->CellAngle;
    return true;
}

// ---------------------------------------------------------------- creating and removing
TCellGraphic* TProStringGrid::CreateCellGraphic(int ACol, int ARow)
{
    // A cell whose object slot holds an object of the program has no record to hold a graphic.
    TCellProperties* p = CellProperties(ACol, ARow);
    if (!p)
        return nullptr;
    TObject* old = p->GraphicObject();
    if (old && old != FRowCheckGraphic.get() && dynamic_cast<TCellGraphic*>(old))
        delete old;
    auto* g = new TCellGraphic();
    p->SetGraphicObject(g);
    RepaintCell(DisplayColumn(ACol), ARow);
    return g;
}

bool TProStringGrid::RemoveCellGraphic(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return false;
    TObject* old = GetCellGraphicObject(ACol, ARow);
    if (!old)
        return false;
    // The shared row check-box graphic belongs to the grid; a graphic of the
    // cell's own is freed whatever its type, or it would be lost.
    if (old != FRowCheckGraphic.get() && dynamic_cast<TCellGraphic*>(old))
        delete old;
    SetCellGraphicObject(ACol, ARow, nullptr);
    RepaintCell(DisplayColumn(ACol), ARow);
    return true;
}

void TProStringGrid::RemoveCellGraphicOfType(int ACol, int ARow, TCellType AType)
{
    if (GetCellType(ACol, ARow) == AType)
        RemoveCellGraphic(ACol, ARow);
}

// ---------------------------------------------------------------- comments
void TProStringGrid::AddCellComment(int ACol, int ARow, const AnsiString& AComment)
{
    TCellGraphic* g = CreateCellGraphic(ACol, ARow);
    if (!g)
        return;
    g->CellType = ctComment;
    g->CellVAlign = vaTop;
    g->CellHAlign = haLeft;
    g->CellText = AComment;
    g->CellAngle = int(clNone);
}

bool TProStringGrid::GetCellComment(int ACol, int ARow, AnsiString& AComment)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType != ctComment)
        return false;
    AComment = g->CellText;
    return true;
}

void TProStringGrid::RemoveCellComment(int ACol, int ARow)
{
    RemoveCellGraphicOfType(ACol, ARow, ctComment);
}

// ---------------------------------------------------------------- check boxes
namespace {
// A check-box cell addressed by stored row: in the table, or in the record
// of a hidden row.
struct TCheckCell {
    TCellGraphic* Graphic = nullptr;
    TCellType Type = ctEmpty;
    AnsiString Text;
    int DisplayRow = -1;        // -1 for a hidden row
    TGridItem* Item = nullptr;  // the hidden row's record
};
}

static TCheckCell FindCheckCell(TProStringGrid* Grid, int ACol, int ARow)
{
    TCheckCell cell;
    if (ACol < 0 || ARow < 0)
        return cell;
    if (ACol == 0 && Grid->MouseActions()->HotmailRowSelect()) {
        cell.Type = ctRowCheckBox;
        cell.DisplayRow = Grid->NumHiddenRows() > 0 ? Grid->DisplayRowIndex(ARow) : ARow;
        return cell;
    }
    if (TGridItem* item = Grid->HiddenRowItem(ARow)) {
        cell.Item = item;
        if (ACol < item->Items()->Count()) {
            cell.Text = item->Items()->Strings(ACol);
            if (auto* p = dynamic_cast<TCellProperties*>(item->Items()->Objects(ACol)))
                cell.Graphic = dynamic_cast<TCellGraphic*>(p->GraphicObject());
        }
    } else {
        cell.DisplayRow = Grid->NumHiddenRows() > 0 ? Grid->DisplayRowIndex(ARow) : ARow;
        cell.Graphic = dynamic_cast<TCellGraphic*>(Grid->GetCellGraphicObject(ACol, cell.DisplayRow));
        cell.Text = Grid->GetGridCell(ACol, cell.DisplayRow);
    }
    cell.Type = cell.Graphic ? cell.Graphic->CellType : ctEmpty;
    return cell;
}

bool TProStringGrid::GetCheckBoxState(int ACol, int ARow, bool& AState)
{
    TCheckCell cell = FindCheckCell(this, ACol, ARow);
    switch (cell.Type) {
    case ctCheckBox:
        AState = cell.Graphic->CellBoolean;
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox:
        AState = cell.Text == GetCheckTrue(ACol, ARow);
        return true;
    case ctRowCheckBox:
        AState = ARow < RowCount() + NumHiddenRows() && GetShownRowSelect(ARow);
        return true;
    default:
        AState = false;
        return false;
    }
}

bool TProStringGrid::SetCheckBoxState(int ACol, int ARow, bool AState)
{
    TCheckCell cell = FindCheckCell(this, ACol, ARow);
    switch (cell.Type) {
    case ctCheckBox:
        cell.Graphic->CellBoolean = AState;
        if (cell.DisplayRow >= 0)
            RepaintCell(DisplayColumn(ACol), cell.DisplayRow);
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        AnsiString text = AState ? GetCheckTrue(ACol, ARow) : GetCheckFalse(ACol, ARow);
        if (cell.Item)
            cell.Item->Items()->SetStrings(ACol, text);
        else
            SetCells(ACol, cell.DisplayRow, text);
        return true;
    }
    case ctRowCheckBox:
        if (ARow < RowCount() + NumHiddenRows())
            SetShownRowSelect(ARow, AState);
        return true;
    default:
        return false;
    }
}

bool TProStringGrid::ToggleCheckBox(int ACol, int ARow, bool AAsk)
{
    TCellType type = GetCellType(ACol, ARow);
    if (!IsCheckBoxType(type))
        return false;
    if (AAsk && !FControlLook->CheckAlwaysActive() && GetCellReadOnly(ACol, ARow))
        return false;
    AnsiString checkTrue = GetCheckTrue(ACol, ARow), checkFalse = GetCheckFalse(ACol, ARow);
    bool nowSet = false;
    switch (type) {
    case ctCheckBox: {
        TCellGraphic* g = GetCellGraphic(ACol, ARow);
        g->CellBoolean = !g->CellBoolean;
        nowSet = g->CellBoolean;
        break;
    }
    case ctRowCheckBox:
        nowSet = !GetShownRowSelect(ARow);
        SetShownRowSelect(ARow, nowSet);
        break;
    default:
        // A text that is neither of the two counts as cleared.
        nowSet = Cells(ACol, ARow) != checkTrue;
        SetCells(ACol, ARow, nowSet ? checkTrue : checkFalse);
        break;
    }
    RepaintCell(DisplayColumn(ACol), ARow);
    if (UndoRedo()) {
        if (nowSet)
            UndoRedo()->AddCellChange(ACol, ARow, checkFalse, checkTrue);
        else
            UndoRedo()->AddCellChange(ACol, ARow, checkTrue, checkFalse);
    }
    return true;
}

// A recorded toggle of a check box graphic puts its state back, not a text.
void TProStringGrid::ApplyUndoValue(int ACol, int ARow, const AnsiString& Value)
{
    TCellType type = GetCellType(ACol, ARow);
    if (type == ctCheckBox) {
        GetCellGraphic(ACol, ARow)->CellBoolean = Value == GetCheckTrue(ACol, ARow);
        RepaintCell(DisplayColumn(ACol), ARow);
        return;
    }
    if (type == ctRowCheckBox && ACol == 0) {
        SetShownRowSelect(ARow, Value == GetCheckTrue(ACol, ARow));
        return;
    }
    TBaseGrid::ApplyUndoValue(ACol, ARow, Value);
}

void TProStringGrid::CheckAll(int ACol)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        SetCheckBoxState(ACol, RealRowIndex(r), true);
    if (NumHiddenColumns() > 0)
        RepaintCol(DisplayColumn(ACol));
}

void TProStringGrid::UnCheckAll(int ACol)
{
    for (int r = FixedRows(); r < RowCount(); ++r)
        SetCheckBoxState(ACol, RealRowIndex(r), false);
}

bool TProStringGrid::IsCheckBoxHit(int ACol, int ARow, int X, int Y)
{
    TCellType type = GetCellType(ACol, ARow);
    if (!IsCheckBoxType(type))
        return false;
    if (!FMouseActions->PreciseCheckBoxCheck())
        return true;
    int size = FControlLook->CheckSize();
    TRect r = MergedCellRect(DisplayColumn(ACol), ARow);
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    TCellVAlign va = g ? g->CellVAlign : vaTop;
    int top;
    switch (va) {
    case vaTop: top = r.Top + 2; break;
    case vaBottom: top = r.Bottom - 2 - size; break;
    default: top = r.Top + (r.Height() - size) / 2; break;
    }
    // The box lies where the painter puts it: by the cell's own alignment as resolved for drawing.
    TAlignment ha = taLeftJustify;
    TVAlignment vdummy = vtaTop;
    ResolveCellAlignment(ACol, ARow, ha, vdummy);
    int left;
    switch (ha) {
    case taRightJustify: left = r.Right - 2 - size; break;
    case taCenter: left = r.Left + (r.Width() - size) / 2; break;
    default: left = r.Left + 2; break;
    }
    return X >= left && X < left + size && Y >= top && Y < top + size;
}

// ---------------------------------------------------------------- radio groups
bool TProStringGrid::SelectNextRadioItem(int ACol, int ARow, bool AAsk)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || g->CellType != ctRadio)
        return false;
    if (AAsk && !FControlLook->RadioAlwaysActive() && GetCellReadOnly(ACol, ARow))
        return false;
    auto* items = dynamic_cast<TStrings*>(g->CellObject);
    if (!items || items->Count() == 0)
        return false;
    int index = g->CellIndex >= 0 ? g->CellIndex : items->IndexOf(Cells(ACol, ARow));
    int next = index + 1 >= items->Count() ? 0 : index + 1;
    if (g->CellIndex >= 0)
        g->CellIndex = next;
    g->CellVar = next;
    SetCells(ACol, ARow, items->Strings(next));
    return true;
}

// ---------------------------------------------------------------- buttons
void TProStringGrid::SetCellButtonDown(int ACol, int ARow, bool ADown)
{
    TCellGraphic* g = GetCellGraphic(RealColIndex(ACol), ARow);
    if (!g || g->CellType == ctNode)
        return;
    g->CellBoolean = ADown;
    RepaintCell(ACol, ARow);
}

void TProStringGrid::GetCellButtonRect(int ACol, int ARow, TRect& R)
{
    int col = RealColIndex(ACol);
    TCellGraphic* g = GetCellGraphic(col, ARow);
    if (!g)
        return;
    // The graphic is found by its stored column, the rectangle is the one shown.
    TRect cell = MergedCellRect(ACol, ARow);
    unsigned offset = unsigned(std::lround(g->CellValue));
    unsigned size = unsigned(g->CellIndex);
    R.Left = cell.Left + int(offset & 0xFFFF);
    R.Top = cell.Top + int(offset >> 16);
    R.Right = R.Left + int(size & 0xFFFF);
    R.Bottom = R.Top + int(size >> 16);
    if (g->CellVAlign == vaFull) {
        R.Top = cell.Top;
        R.Bottom = cell.Bottom;
    }
    if (g->CellHAlign == haFull) {
        R.Left = cell.Left;
        R.Right = cell.Right;
    }
}

// ---------------------------------------------------------------- sizes
namespace {
// The size a graphic's type gives it, before its placement in the cell counts.
TSize GraphicTypeSize(TProStringGrid& G, const TCellGraphic& g, int ACol, int ARow, const TRect& ACell)
{
    int w = 0, h = 0;
    switch (g.CellType) {
    case ctBitmap:
        if (auto* b = dynamic_cast<TGraphic*>(g.CellObject)) {
            w = b->Width();
            h = b->Height();
        }
        break;
    case ctIcon:
        if (g.CellIcon) {
            w = g.CellIcon->Width();
            h = g.CellIcon->Height();
        }
        break;
    case ctImageList:
    case ctDataImage:
        if (G.GridImages()) {
            w = G.GridImages()->Width();
            h = G.GridImages()->Height();
        }
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
        w = h = G.ControlLook()->CheckSize();
        break;
    case ctRadio:
        if (auto* items = dynamic_cast<TStrings*>(g.CellObject)) {
            G.Canvas()->Font()->Assign(G.Font());
            int lineH = G.Canvas()->TextHeight("gh");
            for (int i = 0; i < items->Count(); ++i) {
                int itemW = G.Canvas()->TextWidth(items->Strings(i)) + 12;
                w = g.CellBoolean ? w + itemW : std::max(w, itemW);
            }
            h = g.CellBoolean ? lineH : lineH * items->Count();
        }
        break;
    case ctImages:
        if (auto* list = dynamic_cast<TIntList*>(g.CellObject); list && G.GridImages()) {
            int n = list->Count();
            w = g.CellBoolean ? G.GridImages()->Width() * n : G.GridImages()->Width();
            h = g.CellBoolean ? G.GridImages()->Height() : G.GridImages()->Height() * n;
        }
        break;
    case ctPicture:
    case ctFilePicture: {
        TSize s = g.GetPictureSize(ACell.Width(), ACell.Height());
        w = s.cx;
        h = s.cy;
        break;
    }
    case ctButton:
    case ctBitButton:
        // A button across the cell measures its caption, in the grid's font.
        if (g.CellHAlign == haFull)
            G.Canvas()->Font()->Assign(G.Font());
        w = g.CellHAlign == haFull ? G.Canvas()->TextWidth(g.CellText) + 4 : (unsigned(g.CellIndex) & 0xFFFF);
        h = int(unsigned(g.CellIndex) >> 16);
        break;
    case ctProgressPie:
        w = h = 20;
        break;
    case ctInterface:
        if (auto* object = dynamic_cast<IGridCellObject*>(g.CellObject)) {
            const TSize s = object->CellSize(ACol, ARow);
            w = s.cx;
            h = s.cy;
        }
        break;
    default:
        break;
    }
    return TSize{w, h};
}
}

void TProStringGrid::GetCellGraphicSize(int ACol, int ARow, TSize& ASize, bool AForText)
{
    ASize = TSize{};
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return;
    const TPoint cellSize = MergedCellSize(DisplayColumn(ACol), ARow);
    const TRect cell(0, 0, cellSize.X, cellSize.Y);
    TSize s = GraphicTypeSize(*this, *g, ACol, ARow, cell);
    int w = s.cx, h = s.cy;
    if (g->CellHAlign == haFull && g->CellType != ctButton && g->CellType != ctBitButton)
        w = cell.Width();
    if (g->CellVAlign == vaFull)
        h = cell.Height();
    // Images count along an axis only where they share it with the text.
    bool image = g->CellType == ctBitmap || g->CellType == ctIcon || g->CellType == ctImageList ||
                 g->CellType == ctDataImage;
    if (image && AForText) {
        if (g->CellHAlign != haBeforeText && g->CellHAlign != haAfterText)
            w = 0;
        if (g->CellVAlign != vaUnderText && g->CellVAlign != vaAboveText)
            h = 0;
    }
    ASize = TSize{w, h};
}

// The sizes of the types, whatever the graphic's placement in its cell.
void TProStringGrid::GetCellGraphicSizeEx(int ACol, int ARow, TSize& ASize, double AFactor, int AWidth, int AHeight)
{
    ASize = TSize{};
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g)
        return;
    switch (g->CellType) {
    case ctPicture:
    case ctFilePicture: {
        TSize s = g->GetPictureSize(AWidth, AHeight);
        double f = AFactor > 0 ? AFactor : 1.0;
        ASize = TSize{int(std::lround(s.cx / f)), int(std::lround(s.cy / f))};
        return;
    }
    case ctProgress:
    case ctXPProgress:
        ASize = TSize{ColWidths(DisplayColumn(ACol)), ARow < RowCount() ? RowHeights(ARow) : 0};
        return;
    default: {
        const TPoint cellSize = MergedCellSize(DisplayColumn(ACol), ARow);
        ASize = GraphicTypeSize(*this, *g, ACol, ARow, TRect(0, 0, cellSize.X, cellSize.Y));
        return;
    }
    }
}

void TProStringGrid::RepaintActiveCellHeaders(int OldCol, int OldRow, int NewCol, int NewRow)
{
    int lastFixedRow = FixedRows() - 1, lastFixedCol = FixedCols() - 1;
    if (lastFixedRow >= 0) {
        RepaintCell(OldCol, lastFixedRow);
        RepaintCell(NewCol, lastFixedRow);
    }
    if (lastFixedCol >= 0) {
        RepaintCell(lastFixedCol, OldRow);
        RepaintCell(lastFixedCol, NewRow);
    }
}

// Focus changes tied to in-place editing, the cursor the grid shows while
// the mouse hovers over it, and the dialog-character query.
#include <cmath>
#include <map>
#include <memory>

#include "grid/ProGrid.h"
#include "platform/gui/Forms.h"

namespace {
// The grid's cursors: 8010 selects a row, 8011 a column, 8012 everything, 8014 drags; 8000 to 8008
// show the direction of panning (TProStringGrid::PanCursorId).
enum TGridCursorId { CursorRowSelect = 8010, CursorColSelect = 8011, CursorSelectAll = 8012, CursorCellDrag = 8014 };

// An arrow from the middle of a 32 x 32 picture towards (DX, DY), each -1, 0 or 1.
void DrawPanArrow(TCanvas* C, int DX, int DY)
{
    const double len = std::hypot(double(DX), double(DY));
    const double ux = DX / len, uy = DY / len, px = -uy, py = ux;
    auto at = [&](double along, double across) {
        return TPoint(int(std::lround(16 + ux * along + px * across)), int(std::lround(16 + uy * along + py * across)));
    };
    C->Polygon({at(14, 0), at(4, -7), at(4, -2), at(-4, -2), at(-4, 2), at(4, 2), at(4, 7)});
}

TCursor GridCursor(int Id)
{
    static std::map<int, bool> registered;
    if (!Screen || registered[Id])
        return TCursor(Id);
    const bool pan = Id >= 8000 && Id <= 8008;
    const int size = pan ? 32 : 16;
    auto image = std::make_unique<TBitmap>();
    image->SetSize(size, size);
    TCanvas* c = image->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, size, size));
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetColor(clBlack);
    int hotX = size / 2, hotY = size / 2;
    // The directions of 8001 to 8008: down, left, right, up, up and right, up and left, down and
    // right, down and left.
    static const int panX[] = {0, -1, 1, 0, 1, -1, 1, -1}, panY[] = {1, 0, 0, -1, -1, -1, 1, 1};
    switch (Id) {
    case 8000: DrawIntelliPanGlyph(c, TPoint(16, 16), ipBoth); break;
    case 8001: case 8002: case 8003: case 8004: case 8005: case 8006: case 8007: case 8008:
        DrawPanArrow(c, panX[Id - 8001], panY[Id - 8001]);
        break;
    case CursorColSelect:   // a thick arrow pointing down
        c->Polygon({TPoint(6, 0), TPoint(9, 0), TPoint(9, 8), TPoint(13, 8), TPoint(7, 15), TPoint(2, 8),
                    TPoint(6, 8)});
        hotY = 15;
        break;
    case CursorRowSelect:   // a thick arrow pointing right
        c->Polygon({TPoint(0, 6), TPoint(8, 6), TPoint(8, 2), TPoint(15, 7), TPoint(8, 13), TPoint(8, 9),
                    TPoint(0, 9)});
        hotX = 15;
        break;
    case CursorSelectAll:   // an arrow pointing down and right
        c->Polygon({TPoint(15, 15), TPoint(15, 6), TPoint(12, 9), TPoint(3, 0), TPoint(0, 3), TPoint(9, 12),
                    TPoint(6, 15)});
        hotX = hotY = 15;
        break;
    default:                // a small sheet under the pointer
        c->Polygon({TPoint(0, 0), TPoint(0, 10), TPoint(3, 7), TPoint(7, 7)});
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(6, 9, 15, 15);
        hotX = hotY = 0;
        break;
    }
    Screen->SetCursors(Id, CreateCursorFromBitmap(image.get(), hotX, hotY));
    registered[Id] = true;
    return TCursor(Id);
}
}  // namespace

TCursor TProStringGrid::PanCursor(int DX, int DY)
{
    static const int ids[3][3] = {{8006, 8004, 8005}, {8002, 8000, 8003}, {8008, 8001, 8007}};
    return GridCursor(ids[DY + 1][DX + 1]);
}

// ---------------------------------------------------------------- cursor
void TProStringGrid::RestoreGridCursor()
{
    if (!FEdit.HoverOwn)
        return;
    FEdit.HoverOwn = false;
    FEdit.HoverJustSet = FEdit.HoverBase != Cursor();
    if (FEdit.HoverJustSet)
        SetCursor(FEdit.HoverBase);
}

void TProStringGrid::WMSetCursor(TMessage& Message)
{
    const bool sizing = GridState() == gsRowSizing || GridState() == gsColSizing;
    TCursor chosen = Cursor();
    bool own = false;
    if (FEdit.HoverMode != 0 && !sizing) {
        switch (FEdit.HoverMode) {
        case 1: chosen = GridCursor(CursorColSelect); own = true; break;
        case 2: chosen = GridCursor(CursorRowSelect); own = true; break;
        case 3:
        case 5: chosen = GridCursor(CursorSelectAll); own = true; break;
        default: own = true; break;   // mode 4 keeps the cursor shown
        }
    } else if (FEdit.DragMark) {
        chosen = GridCursor(CursorCellDrag);
        own = true;
    } else if (FMouse.UrlCursor && !sizing) {
        chosen = crHandPoint;
        own = true;
    }
    if (own) {
        if (!FEdit.HoverOwn) {
            FEdit.HoverOwn = true;
            FEdit.HoverBase = Cursor();
        }
        // The mark keeps the mode through the cursor change made here, and only that one.
        FEdit.HoverJustSet = chosen != Cursor();
        if (FEdit.HoverJustSet)
            SetCursor(chosen);
        Message.Result = 1;
    } else {
        // Off the parts with a cursor of their own, the grid's cursor comes back.
        RestoreGridCursor();
        TBaseGrid::WMSetCursor(Message);
    }
    if (FEdit.HSplit)
        Screen->SetCursor(crHSplit);
    if (FEdit.VSplit)
        Screen->SetCursor(crVSplit);
}

// ---------------------------------------------------------------- focus
void TProStringGrid::SetPressedCellButton(bool Down, int ACol, int ARow)
{
    FEdit.ButtonDown = Down;
    FEdit.ButtonCol = ACol;
    FEdit.ButtonRow = ARow;
}

bool TProStringGrid::IsOwnWindow(HWND Window) const
{
    TWinControl* c = FindControl(Window);
    while (c && c != this)
        c = c->Parent();
    return c == this;
}

void TProStringGrid::WMKillFocus(TWMFocus& Message)
{
    FEdit.FocusWithin = IsOwnWindow(Message.FocusedWnd());
    if (FEdit.TakingBack) {
        Message.M.Result = 1;
        return;
    }
    TBaseGrid::WMKillFocus(Message);
    if (FEdit.ButtonDown) {
        FEdit.ButtonDown = false;
        RepaintCell(FEdit.ButtonCol, FEdit.ButtonRow);
    }
}

void TProStringGrid::WMSetFocus(TWMFocus& Message)
{
    FEdit.FocusWithin = IsOwnWindow(Message.FocusedWnd());
    // Set by a popup editor closing: this focus-in is its own, and only this one is ignored.
    if (FEdit.FocusIgnore) {
        FEdit.FocusIgnore = false;
        return;
    }
    TBaseGrid::WMSetFocus(Message);
    const int realCol = RealColIndex(Col());
    if (HasCheckBox(realCol, Row()))
        return;
    if (FRichEditSel && FRichEditSel->Visible())
        EndCellEdit();
    const bool inView = Col() >= LeftCol() && Col() < LeftCol() + VisibleColCount() + 1 && Row() >= TopRow() &&
                        Row() < TopRow() + VisibleRowCount() + 1;
    TInplaceEdit* editor = InplaceEditor();
    const bool fromOutside = !FEdit.FocusWithin;
    if (!FNavigation->AlwaysEdit() || !fromOutside)
        return;
    const bool canEdit = !GetCellReadOnly(realCol, Row());
    if (editor) {
        if (GridState() != gsRowMoving && GridState() != gsColMoving && FEdit.Type == edNormal && inView && canEdit) {
            BeginCellEdit();
            Message.M.Result = 0;
        }
    } else if (inView && canEdit && !FMouseActions->DirectEdit() && !FControlLook->DropDownAlwaysVisible() &&
               HasComboBox(realCol, Row())) {
        BeginCellEdit();
    }
}

void TProStringGrid::DoEnter()
{
    // Back from the grid's own editor: the grid was never left.
    if (FEdit.EnteringGuard || FEdit.FocusWithin)
        return;
    TBaseGrid::DoEnter();
    if ((Options() & goEditing) || FMouseActions->RangeSelectAndEdit())
        SelectCell(Col(), Row());
    RememberEditCell(Col(), Row());
}

void TProStringGrid::DoExit()
{
    if (!FEdit.TakingBack && !FEdit.FocusWithin)
        TBaseGrid::DoExit();
}

void TProStringGrid::CMDialogChar(TMessage& Message)
{
    // The grid never takes a dialog's accelerator character.
    Message.Result = 0;
}

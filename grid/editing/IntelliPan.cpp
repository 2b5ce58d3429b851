// Panning with the middle mouse button: the press marks an origin, and while
// the pointer stays away from it a 10 ms timer moves the current cell (or
// scrolls) towards the pointer. The next press or key ends it.
#include "grid/ProGrid.h"

namespace {
constexpr UINT_PTR PanTimer = 999;
constexpr int DeadZone = 5;
constexpr int GlyphSize = 32;

}  // namespace

namespace {
// A mark on white: a grey ring, a dot in its middle and black arrows towards the pan's directions.
void BuildPanGlyph(TBitmap* B, bool Vertical, bool Horizontal)
{
    const int h = GlyphSize / 2;
    B->SetSize(GlyphSize, GlyphSize);
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, GlyphSize, GlyphSize));
    c->Pen()->SetColor(clGray);
    c->Ellipse(TRect(0, 0, GlyphSize, GlyphSize));
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetColor(clBlack);
    if (Vertical) {
        c->Polygon({TPoint(h, 3), TPoint(h - 4, 8), TPoint(h + 4, 8)});
        c->Polygon({TPoint(h, GlyphSize - 3), TPoint(h - 4, GlyphSize - 8), TPoint(h + 4, GlyphSize - 8)});
    }
    if (Horizontal) {
        c->Polygon({TPoint(3, h), TPoint(8, h - 4), TPoint(8, h + 4)});
        c->Polygon({TPoint(GlyphSize - 3, h), TPoint(GlyphSize - 8, h - 4), TPoint(GlyphSize - 8, h + 4)});
    }
    c->Ellipse(h - 2, h - 2, h + 3, h + 3);
}
}  // namespace

void DrawIntelliPanGlyph(TCanvas* Canvas, TPoint Origin, TIntelliPan Mode)
{
    static const bool registered = [] {
        RegisterResourceBitmap("INTLI1", [](TBitmap* B) { BuildPanGlyph(B, true, true); });
        RegisterResourceBitmap("INTLI2", [](TBitmap* B) { BuildPanGlyph(B, false, true); });
        RegisterResourceBitmap("INTLI3", [](TBitmap* B) { BuildPanGlyph(B, true, false); });
        return true;
    }();
    (void)registered;
    TBitmap glyph;
    glyph.LoadFromResourceName(Mode == ipBoth ? "INTLI1" : Mode == ipHorizontal ? "INTLI2" : "INTLI3");
    glyph.SetTransparentColor(clWhite);
    glyph.SetTransparent(true);
    Canvas->Draw(Origin.X - GlyphSize / 2, Origin.Y - GlyphSize / 2, &glyph);
}

void TProStringGrid::InvalidateIntelliPanGlyph()
{
    const int h = GlyphSize / 2 + 1;
    InvalidateRect(TRect(FEdit.PanOrigin.X - h, FEdit.PanOrigin.Y - h, FEdit.PanOrigin.X + h, FEdit.PanOrigin.Y + h));
}

void TProStringGrid::StartPanning(TPoint Origin)
{
    FEdit.Panning = true;
    FEdit.PanOrigin = Origin;
    FEdit.PanCursor = Cursor();
    FEdit.PanShowHint = ShowHint();
    SetCursor(PanCursor(0, 0));
    SetTimer(this, PanTimer, 10);
    SetCapture(Handle());
    SetShowHint(false);
    InvalidateIntelliPanGlyph();
}

void TProStringGrid::EndPanning()
{
    if (!FEdit.Panning)
        return;
    FEdit.Panning = false;
    ReleaseCapture();
    KillTimer(this, PanTimer);
    SetCursor(FEdit.PanCursor);
    SetShowHint(FEdit.PanShowHint);
    InvalidateIntelliPanGlyph();
}

bool TProStringGrid::PanMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MBUTTONDOWN:
        if (FEdit.Panning) {
            EndPanning();
            return true;
        }
        if (FP.IntelliPan == ipNone || (ComponentState() & csDesigning))
            return false;
        StartPanning(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
        if (!FEdit.Panning)
            return false;
        EndPanning();
        return true;
    default: return false;
    }
}

void TProStringGrid::PanTick()
{
    TPoint screen;
    GetCursorPos(screen);
    const TPoint p = ScreenToClient(screen);
    int dx = p.X < FEdit.PanOrigin.X - DeadZone ? -1 : p.X > FEdit.PanOrigin.X + DeadZone ? 1 : 0;
    int dy = p.Y < FEdit.PanOrigin.Y - DeadZone ? -1 : p.Y > FEdit.PanOrigin.Y + DeadZone ? 1 : 0;
    if (FP.IntelliPan == ipVertical)
        dx = 0;
    if (FP.IntelliPan == ipHorizontal)
        dy = 0;
    if (dx != 0 || dy != 0) {
        if (FMouseActions->WheelAction() == waMoveSelection) {
            const int row = std::clamp(Row() + dy, FixedRows(), std::max(FixedRows(), RowCount() - FixedFooters() - 1));
            const int col =
                std::clamp(Col() + dx, FixedCols(), std::max(FixedCols(), ColCount() - FixedRightCols() - 1));
            if (row != Row() || col != Col())
                FocusCell(col, row, true);
        } else {
            if (dy != 0)
                SetTopRow(std::clamp(TopRow() + dy, FixedRows(), std::max(FixedRows(), RowCount() - 1)));
            if (dx != 0)
                SetLeftCol(std::clamp(LeftCol() + dx, FixedCols(), std::max(FixedCols(), ColCount() - 1)));
        }
    }
    InvalidateIntelliPanGlyph();
    const TCursor cursor = PanCursor(dx, dy);
    if (cursor != Cursor())
        SetCursor(cursor);
}

// TProStringGrid: how a cell is painted. The colour decision, the alignment
// of its text, the text itself (plain, mini-HTML, rich and wide), fixed cells
// in the current look, borders, the area outside the cells and the sizing
// lines. The graphics inside cells are ProGridGlyphs.cpp.
#include <algorithm>

#include "grid/ProGrid.h"
#include "grid/ProGridPaint_p.h"
#include "grid/ProGridText_p.h"
#include "grid/ProUtil.h"
#include "grid/ProUtilDraw.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/CodePage.h"
#include "platform/gui/RichEdit.h"
#include "platform/gui/Themes.h"

namespace {
bool TextSharesCell(TCellType T)
{
    switch (T) {
    case ctDataImage:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctRotated:
    case ctRadio:
    case ctProgress:
    case ctRangeIndicator:
    case ctXPProgress: return false;
    default: return true;
    }
}

void HLine(TCanvas* C, int X1, int X2, int Y, TColor Color)
{
    C->Pen()->SetColor(Color);
    C->MoveTo(X1, Y);
    C->LineTo(X2, Y);
}

// A selected cell's text takes the selection colours unless it is the focused cell without
// goDrawFocusSelected.
bool SelectionTextShown(TGridDrawState State, TGridOptions Options)
{
    return !(State & gdFocused) || (Options & goDrawFocusSelected);
}

void VLine(TCanvas* C, int X, int Y1, int Y2, TColor Color)
{
    C->Pen()->SetColor(Color);
    C->MoveTo(X, Y1);
    C->LineTo(X, Y2);
}
}

// ---------------------------------------------------------------- the colour decision
void TProStringGrid::GetCellStyle(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont,
                                  TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                                  TCellGradientDirection& AGradientDirection, bool& ASelected)
{
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool wrap = true;
    GetCellStyle(ACol, ARow, AState, false, true, false, ABrush, AColorTo, AMirrorColor, AMirrorColorTo, AFont, ha, va,
                 wrap, AGradientDirection);
    // The selection step leaves gdSelected on exactly the cells it painted selected; it passes
    // fixed cells by.
    ASelected = ShowSelection() && (AState & gdSelected) && !(AState & gdFixed);
}

// The brush and font a cell has from the grid's fonts, its record, the bands
// and the fixed colours, before the colour events; FixedCell tells whether
// it is a fixed cell.
TCellProperties* TProStringGrid::CellStyleBeforeEvents(int ACol, int ARow, TGridDrawState& State, bool Printing,
                                                       TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                                                       TColor& AMirrorColorTo, TFont* AFont, bool& WordWrap,
                                                       TCellGradientDirection& GradientDirection, bool& FixedCell,
                                                       TStyleFont* ASource)
{
    auto setFont = [&](const TFont* ABase) {
        if (ASource)
            ASource->Set(*AFont, ABase);
        else
            AFont->Assign(const_cast<TFont*>(ABase));
    };
    int dcol = DisplayColumn(ACol);
    int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    bool fixed = IsFixedCell(ACol, ARow) || dcol < fixedCols || ARow < fixedRows;
    FixedCell = fixed;
    bool useDisplayFont = !Printing || FPrintSettings->UseDisplayFont();
    if (fixed)
        setFont(useDisplayFont ? FFixedFont.get() : FPrintSettings->FixedFont());
    else
        setFont(useDisplayFont ? Font() : FPrintSettings->Font());

    ABrush->SetColor(clNone);
    AColorTo = clNone;
    AMirrorColor = clNone;
    AMirrorColorTo = clNone;
    WordWrap = FP.WordWrap;
    GradientDirection = GradientVertical;
    TCellProperties* props = ShownCellProps(ACol, ARow);
    if (props) {
        if (props->BrushColor() != clNone)
            ABrush->SetColor(props->BrushColor());
        if (props->FontColor() != clNone)
            AFont->SetColor(props->FontColor());
        if (props->FontStyle() != 0)
            AFont->SetStyle(props->FontStyle());
        if (props->FontSize() != 0)
            AFont->SetSize(props->FontSize());
        if (!props->FontName().empty())
            AFont->SetName(props->FontName());
        WordWrap = props->WordWrap();
        AColorTo = props->BrushColorTo();
        GradientDirection = props->GradientDirection();
        if (State & gdSelected)
            GradientDirection = GradientVertical;
    }
    if (ABrush->Color() == clNone)
        ABrush->SetColor(BackgroundColor(dcol, ARow, Printing));
    if (fixed && !Printing) {
        ABrush->SetColor(FixedColor());
        AColorTo = clNone;
        setFont(FFixedFont.get());
        State |= gdFixed;
    }
    return props;
}

TColor TProStringGrid::BackgroundColor(int ADisplayCol, int ARow, bool Printing)
{
    const int dcol = ADisplayCol, fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    if ((FP.FixedRightCols > 0 && dcol >= ColCount() - FP.FixedRightCols) ||
        (FP.FixedFooters > 0 && ARow >= RowCount() - FP.FixedFooters))
        return FixedColor();
    const bool bandsOn = FBands->Active() && (!Printing || FBands->Print());
    const int period = FBands->PrimaryLength() + FBands->SecondaryLength();
    if (bandsOn && period > 0 && dcol >= fixedCols && dcol < ColCount() - FP.FixedRightCols && ARow >= fixedRows &&
        ARow < RowCount() - FP.FixedFooters)
        return (ARow - fixedRows) % period < FBands->PrimaryLength() ? FBands->PrimaryColor() : FBands->SecondaryColor();
    return Color();
}

// The colour events over what CellStyleBeforeEvents gave.
void TProStringGrid::ApplyCellColorEvents(int ACol, int ARow, TGridDrawState State, bool Printing, bool FixedCell,
                                          const TCellProperties* Props, TBrush* ABrush, TFont* AFont)
{
    if (Printing) {
        GetCellPrintColor(ACol, ARow, State, ABrush, AFont);
        return;
    }
    const TColor before = ABrush->Color();
    const TColor own = Props ? Props->BrushColor() : clNone;
    // The record's own colour never paints a fixed cell; the colour event may still, even with that
    // very colour: the record's is taken back before the event sees the brush.
    if (!FixedCell || own == clNone || own == before) {
        GetCellColor(ACol, ARow, State, ABrush, AFont);
        return;
    }
    TGridColorEvent event = OnGetCellColor;
    bool taken = false;
    OnGetCellColor = [&](TObject* Sender, int R, int C, TGridDrawState S, TBrush* B, TFont* F) {
        taken = true;
        if (B->Color() == own)
            B->SetColor(before);
        if (event)
            event(Sender, R, C, S, B, F);
    };
    struct TRestore {
        TGridColorEvent& Slot;
        TGridColorEvent& Saved;
        ~TRestore() { Slot = std::move(Saved); }
    } restore{OnGetCellColor, event};
    GetCellColor(ACol, ARow, State, ABrush, AFont);
    if (!taken && ABrush->Color() == own)
        ABrush->SetColor(before);
}

void TProStringGrid::GetCellTextStyle(int ACol, int ARow, TBrush* ABrush, TFont* AFont, TStyleFont* ASource)
{
    TGridDrawState state = 0;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    bool wrap = false, fixed = false;
    TCellGradientDirection dir = GradientVertical;
    const TCellProperties* props = CellStyleBeforeEvents(ACol, ARow, state, false, ABrush, colorTo, mirror, mirrorTo,
                                                         AFont, wrap, dir, fixed, ASource);
    ApplyCellColorEvents(ACol, ARow, state, false, fixed, props, ABrush, AFont);
}

void TProStringGrid::GetCellStyle(int ACol, int ARow, TGridDrawState& State, bool Printing, bool ShowSel,
                                  bool UseRealColumn, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                                  TColor& AMirrorColorTo, TFont* AFont, TAlignment& HAlign, TVAlignment& VAlign,
                                  bool& WordWrap, TCellGradientDirection& GradientDirection)
{
    int col = UseRealColumn ? RealColIndex(ACol) : ACol;
    int dcol = DisplayColumn(col);
    bool fixed = false;
    const TCellProperties* props = CellStyleBeforeEvents(col, ARow, State, Printing, ABrush, AColorTo, AMirrorColor,
                                                         AMirrorColorTo, AFont, WordWrap, GradientDirection, fixed);
    ApplyCellColorEvents(col, ARow, State, Printing, fixed, props, ABrush, AFont);
    const TColor eventBrush = ABrush->Color();
    const TColor eventFont = AFont->Color();

    auto paintSelected = [&]() {
        ABrush->SetColor(FP.SelectionColor);
        AColorTo = FP.SelectionColorTo;
        AMirrorColor = FP.SelectionMirrorColor;
        AMirrorColorTo = FP.SelectionMirrorColorTo;
        if (FP.SelectionTextColor != clNone)
            AFont->SetColor(FP.SelectionTextColor);
        State |= gdSelected;
        GradientDirection = GradientVertical;
    };
    if (ShowSel && ShowSelection() && !Printing && !fixed) {
        bool wasSelected = State & gdSelected;
        TMouseActions* ma = FMouseActions.get();
        if (ma->DisjunctRowSelect() || ma->DisjunctColSelect()) {
            bool marked = DisjunctlyMarked(col, ARow);
            bool current = ma->DisjunctRowSelect() ? ARow == Row() : dcol == Col();
            State &= ~gdSelected;
            if (marked && !(FPlainClick && current)) {
                paintSelected();
                State = gdSelected;
            } else if (FPlainClick && wasSelected) {
                // During a plain press a cell the grid draws selected is painted so, marked or
                // not: the pressed row, which the press has just marked, too.
                paintSelected();
            }
        } else if (IsSelected(dcol, ARow) || (wasSelected && FPlainClick)) {
            paintSelected();
        } else {
            State &= ~gdSelected;
        }
        if (ma->DisjunctCellSelect()) {
            bool listed = std::any_of(FSelectedCells.begin(), FSelectedCells.end(),
                                      [&](const TPoint& p) { return p.X == col && p.Y == ARow; });
            if (listed) {
                paintSelected();
            } else if (dcol == Col() && ARow == Row()) {
                State &= ~gdSelected;
                ABrush->SetColor(eventBrush);
                AFont->SetColor(eventFont);
                AColorTo = AMirrorColor = AMirrorColorTo = clNone;
            }
        }
    }
    GetCellWordWrap(col, ARow, WordWrap);
    ResolveCellAlignment(col, ARow, HAlign, VAlign);
}

bool TProStringGrid::DisjunctlyMarked(int ACol, int ARow)
{
    if (FMouseActions->DisjunctColSelect() && !FMouseActions->DisjunctRowSelect()) {
        const int dcol = DisplayColumn(ACol);
        return dcol < int(ColCount()) && GetColSelect(dcol);
    }
    return IsSelected(ACol, ARow);
}

void TProStringGrid::ResolveCellAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign)
{
    HAlign = taLeftJustify;
    VAlign = FP.VAlignment;
    if (FP.AutoNumAlign) {
        AnsiString text = Cells(ACol, ARow);
        bool wideFormula = text.size() > 3 && text[0] == '|' && text[1] == '\\' && text[3] == '=';
        if ((!text.empty() && text[0] == '=') || wideFormula)
            text = CalcFormula(ACol, ARow, text);
        Byte kind = IsNumericText(Trim(text));
        if (kind == 0 || kind == 1 || kind == 5)
            HAlign = taRightJustify;
    } else if (const TCellProperties* props = ShownCellProps(ACol, ARow)) {
        HAlign = props->Alignment();
    }
    GetCellAlignment(ACol, ARow, HAlign, VAlign);
}

// ---------------------------------------------------------------- inside one cell

void TProStringGrid::DrawGridCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    const int col = PaintedColumn(ACol, ARow);
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool wrap = true;
    TCellGradientDirection dir = GradientVertical;
    TGridDrawState state = AState;
    GetCellStyle(col, ARow, state, false, true, false, ACanvas->Brush(), colorTo, mirror, mirrorTo, ACanvas->Font(),
                 ha, va, wrap, dir);
    auto* g = dynamic_cast<TCellGraphic*>(GetCellGraphicObject(col, ARow));
    if (col == 0 && FMouseActions->HotmailRowSelect() && ARow >= TBaseGrid::FixedRows()) {
        FRowCheckGraphic->CellType = ctRowCheckBox;
        FRowCheckGraphic->CellBoolean = IsSelected(TBaseGrid::FixedCols(), ARow);
        g = FRowCheckGraphic.get();
    }
    // The focused cell's text keeps the cell's own colour unless goDrawFocusSelected asks for the
    // selection's (its background was painted selected by DrawCell).
    if ((state & gdSelected) && !SelectionTextShown(state, Options())) {
        TBrush b;
        TFont fnt;
        GetCellTextStyle(col, ARow, &b, &fnt);
        ACanvas->Font()->SetColor(fnt.Color());
    }
    if ((state & gdSelected) && !(state & gdFocused) && FP.SelectionColor == clNone)
        ACanvas->Brush()->SetColor(clHighlight);
    // The current row's colour, as DrawCell painted it, is the one the cell's content fills with.
    if (ActiveRowShow() && ARow == Row() && (ACol != Col() || !ShowSelection()))
        ACanvas->Brush()->SetColor(ActiveRowColor());
    ACanvas->Font()->SetSize(ACanvas->Font()->Size() + ZoomDelta());
    TColor savedBrush = ACanvas->Brush()->Color();
    TColor savedFont = ACanvas->Font()->Color();
    bool fixed = state & gdFixed;
    bool gradientLook = FP.Look == glHalvik || FP.Look == glXP || FP.Look == glVista;
    TRect textRect = ARect;
    // The gradient header may take a drop-down part from the right of the text.
    if (fixed && !FP.Flat && gradientLook)
        DrawFixedLook(ACanvas, col, ARow, textRect, true);

    if (ACol == 0 && Row() == ARow && TBaseGrid::FixedCols() > 0 && !FRowIndicator->Empty()) {
        int h = FRowIndicator->Height();
        // Placed by the grid's vertical alignment, whatever a cell's own.
        const TVAlignment place = FP.VAlignment;
        int y = place == vtaCenter   ? (ARect.Top + ARect.Bottom - h) / 2
                : place == vtaBottom ? ARect.Bottom - h
                                     : ARect.Top;
        DrawBitmapTransparent(ACanvas, FRowIndicator.get(), savedBrush, TRect(ARect.Left, y, ARect.Right, y + h));
        textRect.Left += FRowIndicator->Width() + 2;
    }
    if (fixed && !FP.Flat && FP.Look == glListView) {
        TRect r = ARect;
        InflateRect(r, 1, 1);
        if (ThemesActive()) {
            int st = FHoverCol == ACol && FHoverRow == ARow ? (FHoverDown ? HIS_PRESSED : HIS_HOT) : HIS_NORMAL;
            DrawThemedPart(ACanvas, "header", HP_HEADERITEM, st, r);
        } else {
            ACanvas->Pen()->SetColor(clWhite);
            ACanvas->Brush()->SetColor(clBtnFace);
            ACanvas->Rectangle(ARect);
        }
        ACanvas->Brush()->SetColor(savedBrush);
    }
    if (ACol == 0 && GetRowModified(ARow) && FShowModified->Enabled()) {
        TRect bar(ARect.Right - 4, ARect.Top, ARect.Right, ARect.Bottom);
        FillRectColor(ACanvas, bar, FShowModified->Color());
    }
    if (!fixed) {
        if (FControlLook->DropDownAlwaysVisible() && HasComboBox(col, ARow)) {
            TRect b(textRect.Right - 16, textRect.Top, textRect.Right, textRect.Bottom);
            DrawComboButton(ACanvas, this, b, ThemesActive() && FComCtl6, false);
            textRect.Right -= 16;
        } else if (FControlLook->SpinButtonsAlwaysVisible() && HasSpinEdit(col, ARow)) {
            TRect b(textRect.Right - 16, textRect.Top, textRect.Right, textRect.Bottom);
            DrawSpinButtons(ACanvas, this, b, ThemesActive(), false);
            textRect.Right -= 16;
        }
    }
    // An object that draws itself before the text is the cell's background.
    auto* object = g && g->CellType == ctInterface ? dynamic_cast<IGridCellObject*>(g->CellObject) : nullptr;
    const bool objectFirst = object && object->DrawBeforeText();
    if (objectFirst) {
        TRect grown = ARect;
        InflateRect(grown, 1, 1);
        DrawCellGraphic(ACanvas, col, ARow, grown, g, va, ha, 0);
        ACanvas->Brush()->SetColor(savedBrush);
    }
    int textWidth = 0;
    DrawCellText(ACanvas, ACol, ARow, textRect, state, g, ha, va, wrap, savedBrush, savedFont, textWidth);
    if (HitTesting(ACanvas))
        return;   // a hit test: the text was laid out, nothing else is wanted
    TRect grown = ARect;
    InflateRect(grown, 1, 1);
    DrawCellBorders(ACanvas, ACol, ARow, grown);
    if (fixed && !FP.Flat)
        DrawFixedLook(ACanvas, col, ARow, ARect, false);
    if (fixed && FixedButtonLook()) {
        // Fixed cells as buttons: raised, sunken while pressed.
        TRect edge = ARect;
        const bool pressed = PressedFixedCell() == TPoint(ACol, ARow);
        DrawEdge(ACanvas, edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    if (FP.Flat && FP.FixedRightCols > 0 && FP.Look != glClassic && ACol >= ColCount() - FP.FixedRightCols) {
        // Flat right fixed columns: black lines just outside the cell.
        TGridOptions opts = Options();
        if (opts & goFixedHorzLine) {
            HLine(ACanvas, ARect.Left - 1, ARect.Right + 1, ARect.Top - 1, clBlack);
            HLine(ACanvas, ARect.Left - 1, ARect.Right + 1, ARect.Bottom, clBlack);
        }
        if (opts & goFixedVertLine) {
            VLine(ACanvas, ARect.Left - 1, ARect.Top - 1, ARect.Bottom + 1, clBlack);
            VLine(ACanvas, ARect.Right, ARect.Top - 1, ARect.Bottom + 1, clBlack);
        }
    }
    if (ACol == 0 && ARow >= TBaseGrid::FixedRows() && HasNodes() && FCellNode->ShowTree())
        DrawTreeLines(ACanvas, ARow, ARect);
    if (g && !objectFirst) {
        ACanvas->Brush()->SetColor(savedBrush);
        DrawCellGraphic(ACanvas, col, ARow, ARect, g, va, ha, textWidth);
    }
    if (OnDrawCell) {
        TRect r(ARect.Left + 1, ARect.Top + 1, ARect.Right - GridLineWidth(), ARect.Bottom - GridLineWidth());
        OnDrawCell(this, ACol, ARow, r, state);
    }
    if (OnCustomCellDraw)
        OnCustomCellDraw(this, ACanvas, ACol, ARow, state, ARect, false);
    const TGridCoord base = ShownBaseCell(ACol, ARow);
    if (!FP.HideFocusRect && base.X == Col() && base.Y == Row() && Focused() && (Options() & goDrawFocusSelected)) {
        TRect f = ARect;
        InflateRect(f, GridLineWidth() - 1, GridLineWidth() - 1);
        f.Right -= 1;
        f.Bottom -= 1;
        ACanvas->DrawFocusRect(f);
    }
}

// ---------------------------------------------------------------- fixed cells by look
void TProStringGrid::DrawFixedLook(TCanvas* ACanvas, int ACol, int ARow, TRect& ARect, bool Before)
{
    TGridLook look = FP.Look;
    int dcol = DisplayColumn(ACol);
    if (Before) {
        TRect r = ARect;
        if (look == glVista) {
            OffsetRect(r, -1, -1);
            r.Bottom -= 0;
        }
        TColor from = FLook.FixedFrom, to = FLook.FixedTo, mFrom = FLook.FixedMirrorFrom, mTo = FLook.FixedMirrorTo;
        TColor border = look == glVista ? clWhite : clNone;
        TSortSettings* ss = FSortSettings.get();
        bool sortHeader = ARow == TBaseGrid::FixedRows() - 1 && ss->Show() && ss->Column() == ACol &&
                          ss->HeaderColor() != clNone && (dcol >= TBaseGrid::FixedCols() || ss->FixedCols());
        if (sortHeader) {
            from = ss->HeaderColor();
            to = ss->HeaderColorTo();
            mFrom = ss->HeaderMirrorColor();
            mTo = ss->HeaderMirrorColorTo();
        }
        if (FP.ActiveCellShow && ((ARow == TBaseGrid::FixedRows() - 1 && dcol == Col()) ||
                                  (dcol == TBaseGrid::FixedCols() - 1 && ARow == Row()))) {
            from = FP.ActiveCellColor;
            to = FP.ActiveCellColorTo == clNone ? from : FP.ActiveCellColorTo;
            mFrom = mTo = clNone;
        }
        bool hover = FHoverCol == dcol && FHoverRow == ARow && !(ComponentState() & csDesigning);
        if (hover) {
            r.Right += 1;
            r.Bottom += 1;
            bool down = FHoverDown && FLook.DownFrom != clNone;
            TColor hf = down ? FLook.DownFrom : FLook.HoverFrom;
            if (hf != clNone) {
                from = hf;
                to = down ? FLook.DownTo : FLook.HoverTo;
                mFrom = down ? FLook.DownMirrorFrom : FLook.HoverMirrorFrom;
                mTo = down ? FLook.DownMirrorTo : FLook.HoverMirrorTo;
                border = down ? FLook.DownBorder : FLook.HoverBorder;
            }
        }
        if (to == clNone)
            to = from;
        auto paintPart = [&](const TRect& part) {
            if (mFrom != clNone) {
                TRect upper = part, lower = part;
                upper.Bottom = lower.Top = part.Top + part.Height() / 2;
                DrawGradient(ACanvas, from, to, false, upper, 64);
                DrawGradient(ACanvas, mFrom, mTo == clNone ? mFrom : mTo, false, lower, 64);
            } else {
                DrawGradient(ACanvas, from, to, false, part, 64);
            }
        };
        // Hovered or pressed, a header with a drop-down button shows its
        // 16-pixel button part at the right, painted apart from the text part.
        bool dropDown = hover && FControlLook->FixedDropDownButton() && r.Width() > 16;
        if (!dropDown) {
            if (from == clNone)
                return;
            paintPart(r);
            if (border != clNone)
                FrameRect(ACanvas, r, border);
            return;
        }
        TColor keepBrush = ACanvas->Brush()->Color();
        TRect textPart = r, button = r;
        textPart.Right = button.Left = r.Right - 16;
        if (from != clNone) {
            paintPart(textPart);
            paintPart(button);
            if (border != clNone)
                FrameRect(ACanvas, r, border);
        }
        TColor line = border != clNone ? border : DarkenColor(ColorToRGB(FixedColor()));
        VLine(ACanvas, button.Left, r.Top + 1, r.Bottom - 1, line);
        DrawDropDownArrow(ACanvas, button.Left + 8, r.Top + r.Height() / 2 - 1, clBlack);
        ACanvas->Brush()->SetColor(keepBrush);
        ARect.Right -= 16;
        return;
    }
    TGridOptions opts = Options();
    TColor dark = DarkenColor(ColorToRGB(FixedColor()));
    auto xpEdges = [&]() {
        TRect r = ARect;
        InflateRect(r, 1, 1);
        r.Bottom -= 1;
        if (opts & goFixedHorzLine) {
            HLine(ACanvas, r.Left, r.Right, r.Bottom, dark);
            HLine(ACanvas, r.Left + 1, r.Right - 1, r.Top + 1, clWhite);
            VLine(ACanvas, r.Left + 1, r.Top + 1, r.Bottom, clWhite);
        }
        return r;
    };
    switch (look) {
    case glXP:
    case glHalvik: xpEdges(); break;
    case glSoft:
        if (!FP.Flat) {
            TRect r = xpEdges();
            if (opts & goFixedVertLine) {
                VLine(ACanvas, r.Right - 2, r.Top, r.Bottom, dark);
                VLine(ACanvas, r.Right - 1, r.Top, r.Bottom, clWhite);
            }
        }
        break;
    case glClassic: {
        TRect r = ARect;
        DrawEdge(ACanvas, r, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
        r = ARect;
        DrawEdge(ACanvas, r, EDGE_RAISED, BF_RIGHT | BF_BOTTOM);
        VLine(ACanvas, ARect.Right - 1, ARect.Top, ARect.Bottom, clBlack);
        HLine(ACanvas, ARect.Left, ARect.Right, ARect.Bottom - 1, clBlack);
        break;
    }
    default: break;
    }
}

// ---------------------------------------------------------------- cell text
bool TProStringGrid::SortGlyphShown(int ACol, int ARow)
{
    TSortSettings* ss = FSortSettings.get();
    if (!ss->Show() || ARow != ss->Row() || RowCount() <= 2 || TBaseGrid::FixedRows() <= 0)
        return false;
    if (DisplayColumn(ACol) < TBaseGrid::FixedCols() && !ss->FixedCols())
        return false;
    if (FSortIndexes->Count() > 0)
        return ss->IndexShow() && FSortIndexes->FindIndex(ACol) >= 0;
    return ss->Column() == ACol;
}

void TProStringGrid::DrawCellText(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState,
                                  TCellGraphic* G, TAlignment HAlign, TVAlignment VAlign, bool WordWrap,
                                  TColor SavedBrush, TColor SavedFont, int& TextWidth)
{
    const int col = PaintedColumn(ACol, ARow);
    TextWidth = 0;
    bool fixed = AState & gdFixed;
    // What was drawn in the cell so far (the modified mark, buttons) leaves its colours on the
    // canvas: the text starts from the cell's own.
    ACanvas->Brush()->SetColor(SavedBrush);
    ACanvas->Font()->SetColor(SavedFont);
    TColor linkColor = FP.URLColor;
    if ((AState & gdSelected) && !fixed && ShowSelection() && SelectionTextShown(AState, Options())) {
        if (FP.SelectionColor != clNone)
            ACanvas->Brush()->SetColor(FP.SelectionColor);
        if (FP.SelectionTextColor != clNone)
            ACanvas->Font()->SetColor(linkColor = FP.SelectionTextColor);
    }
    // A row (column) left out of a disjunct selection is not selected, whatever the selection
    // rectangle told the colour event: it is asked again.
    TMouseActions* ma = FMouseActions.get();
    if ((ma->DisjunctRowSelect() || ma->DisjunctColSelect()) && !FPlainClick && !fixed &&
        !DisjunctlyMarked(col, ARow)) {
        linkColor = FP.URLColor;
        ACanvas->Brush()->SetColor(SavedBrush);
        ACanvas->Font()->SetColor(SavedFont);
        GetCellColor(col, ARow, AState & ~gdSelected, ACanvas->Brush(), ACanvas->Font());
    }

    AnsiString text;
    FormatNumericCell(col, ARow, text);
    Byte kind = ClassifyCellText(text, FP.EnableHTML);
    if (kind == 3) {
        text = CalcFormula(col, ARow, text);
        kind = ClassifyCellText(text, FP.EnableHTML);
    }
    if (IsPasswordCell(col, ARow))
        text = AnsiString(text.size(), FPasswordChar.empty() ? '*' : FPasswordChar[0]);

    if (ARow == 0 && HasFilterButton(col))
        DrawGridGlyph(ACanvas, "PSGFILT", ARect.Right - 16, ARect.Top, SavedBrush);

    // Background picture or gradient behind a cell without its own colour.
    TBackGround* bg = FBackGround.get();
    const TCellProperties* props = ShownCellProps(col, ARow);
    bool ownColour = props && props->BrushColor() != clNone;
    bool covered = bg->Cells() == bcAll || (bg->Cells() == bcFixed) == fixed;
    const bool gradient = bg->Display() == bdGradientHorz || bg->Display() == bdGradientVert;
    // A check box, radio group or button shows the gradient behind it whatever its cell's colour.
    const bool control = G && (IsCheckBoxType(G->CellType) || G->CellType == ctRadio || G->CellType == ctButton ||
                               G->CellType == ctBitButton);
    if ((!ownColour || (gradient && control)) && covered && !(AState & gdSelected)) {
        // The cell up to its grid lines, which stay.
        TRect cell = ARect;
        int lw = fixed ? 1 : GridLineWidth();
        cell.Left -= lw;
        cell.Top -= lw;
        if (!bg->Bitmap()->Empty() && (bg->Display() == bdTile || bg->Display() == bdFixed)) {
            int saved = SaveDC(ACanvas);
            IntersectClipRect(ACanvas, cell.Left, cell.Top, cell.Right, cell.Bottom);
            TBitmap* b = bg->Bitmap();
            if (bg->Display() == bdFixed) {
                ACanvas->Draw(bg->Left(), bg->Top(), b);
            } else {
                for (int y = cell.Top - cell.Top % b->Height(); y < cell.Bottom; y += b->Height())
                    for (int x = cell.Left - cell.Left % b->Width(); x < cell.Right; x += b->Width())
                        ACanvas->Draw(x, y, b);
            }
            RestoreDC(ACanvas, saved);
        } else if (gradient) {
            bool horz = bg->Display() == bdGradientHorz;
            int span = horz ? ClientWidth() : ClientHeight();
            TColor from = ColorToRGB(bg->Color()), to = ColorToRGB(bg->ColorTo());
            int lo = horz ? cell.Left : cell.Top, hi = horz ? cell.Right : cell.Bottom;
            TColor a = BlendColorAt(from, to, 0, std::max(0, lo), std::max(1, span));
            TColor b = BlendColorAt(from, to, 0, std::max(0, hi), std::max(1, span));
            DrawGradient(ACanvas, a, b, horz, cell, 128 * std::max(1, hi - lo) / std::max(1, span) + 1);
        }
    }

    if (FP.SelectionRectangle && IsSelected(ACol, ARow) && !fixed) {
        TGridRect s = Selection();
        TRect cell = ARect;
        InflateRect(cell, 1, 1);
        ACanvas->Brush()->SetColor(FSelectionRectangleColor);
        int lw = GridLineWidth();
        if (ACol == s.Left)
            ACanvas->FillRect(TRect(cell.Left + lw - 1, cell.Top, cell.Left + lw + 1, cell.Bottom));
        if (ACol == s.Right)
            ACanvas->FillRect(TRect(cell.Right - lw - 2, cell.Top, cell.Right - lw, cell.Bottom));
        if (ARow == s.Top)
            ACanvas->FillRect(TRect(cell.Left, cell.Top + lw - 1, cell.Right, cell.Top + lw + 1));
        if (ARow == s.Bottom)
            ACanvas->FillRect(TRect(cell.Left, cell.Bottom - lw - 2, cell.Right, cell.Bottom - lw));
        if (FP.SelectionResizer && ACol == s.Right && ARow == s.Bottom)
            ACanvas->FillRect(TRect(cell.Right - 4 - lw, cell.Bottom - 4 - lw, cell.Right - lw, cell.Bottom - lw));
        ACanvas->Brush()->SetColor(SavedBrush);
    }

    if (G && !TextSharesCell(G->CellType))
        return;

    TRect r = ARect;
    r.Left += FCellTextOffset.X;
    r.Right -= FCellTextOffset.X;
    r.Top += FCellTextOffset.Y;
    int gw = 0;
    if (G) {
        TRect area = ARect;
        InflateRect(area, 1 - FCellTextOffset.X, 1 - FCellTextOffset.Y);
        const TSize extent = CellGraphicExtent(G, area);
        gw = extent.cx;
        if (ACol == 0 && G->CellType == ctNode && HasCellProperties(0, ARow))
            gw = CellProperties(0, ARow)->NodeLevel() * 12 + 4;
        if (G->CellType == ctCheckBox && G->CellHAlign != haAfterText && HAlign != taRightJustify)
            r.Left += gw + 2;
        else if (G->CellHAlign == haBeforeText && HAlign != taRightJustify)
            r.Left += gw;
        else if (G->CellHAlign == haAfterText || (G->CellType == ctCheckBox && HAlign == taRightJustify))
            r.Right -= gw;
        if (G->CellVAlign == vaAboveText)
            r.Top += extent.cy;
        else if (G->CellVAlign == vaUnderText)
            r.Bottom -= extent.cy;
    }
    if (ACol == 0 && HasNodes() && !(G && G->CellType == ctNode))
        r.Left = ARect.Left + GetRowIndent(ARow);

    bool sortGlyph = SortGlyphShown(col, ARow);
    auto glyphY = [&](const TRect& tr) {
        return VAlign == vtaTop ? tr.Top + 8 : VAlign == vtaBottom ? tr.Bottom - 8 : (tr.Top + tr.Bottom) / 2;
    };
    SetBkMode(ACanvas, TRANSPARENT);

    if (kind == 1) {
        if (ARow == 0 && HasFilterButton(col))
            r.Right -= 18;
        if (sortGlyph)
            r.Right -= 10;
        THtmlRun run;
        run.Images = FGridImages;
        run.Cache = FPictureCache.get();
        run.Container = FPictureContainer;
        run.URLColor = linkColor;
        run.ShadowColor = clGray;
        run.WordWrap = WordWrap;
        run.Blink = !FP.EnableBlink || FEdit.BlinkPhase;   // without blinking the text stays
        run.Owner = this;
        // A centred or bottom-aligned cell places the laid-out block by its height.
        auto placeTop = [&](int YSize) {
            if (VAlign == vtaCenter && YSize < r.Height())
                return r.Top + (r.Height() - YSize) / 2 - FCellTextOffset.Y / 2;
            if (VAlign == vtaBottom && YSize < r.Height())
                return r.Bottom - YSize;
            return r.Top;
        };
        if (HitTesting(ACanvas)) {
            run.CheckHeight = true;
            TBitmap scratch;
            scratch.SetSize(1, 1);
            scratch.Canvas()->Font()->Assign(ACanvas->Font());
            run.Run(scratch.Canvas(), text, r);
            TextWidth = run.XSize;
            TRect hr = r;
            hr.Top = placeTop(run.YSize);
            run.CheckHeight = false;
            run.X = FHtmlHit->X;
            run.Y = FHtmlHit->Y;
            run.ControlID = FHtmlHit->ControlID;
            run.CheckHotSpot = run.Selected = run.Blink = true;
            run.Run(ACanvas, text, hr);
            *FHtmlHit = run;
            return;
        }
        if (FEdit.ButtonDown && ACol == FEdit.ButtonCol && ARow == FEdit.ButtonRow) {
            // The form-control button held down in this cell is drawn pressed.
            run.X = FEdit.ButtonAt.X;
            run.Y = FEdit.ButtonAt.Y;
            run.ControlDown = true;
        }
        run.Run(ACanvas, text, r, placeTop);
        TextWidth = run.XSize;
        if (sortGlyph)
            DrawSortIndicator(ACanvas, col, r.Right + 2, glyphY(r));
        return;
    }
    if (kind == 2) {
        if (!((AState & gdSelected) && (AState & gdFocused) && FP.SelectionColor == clNone))
            ACanvas->FillRect(ARect);
        // The sort glyph stands right of the text, as for wide text.
        TRect rich = ARect;
        if (sortGlyph)
            rich.Right -= 10;
        DrawRichTextCell(col, ARow, rich, ACanvas);
        if (sortGlyph)
            DrawSortIndicator(ACanvas, col, r.Right - 10 + 3, glyphY(r));
        return;
    }
    // Wide text is drawn from its own characters, also those without an 8-bit form.
    const bool wide = kind == 5;
    const WideString wideText = wide ? DecodeUnicodeCell(text) : WideString();
    if (wide)
        text = WideToAnsi(wideText);

    bool link = !wide && FP.URLShow && IsURL(text);
    if (link) {
        if (!FP.URLFull)
            StripURLPrefix(text);
        ACanvas->Font()->SetColor(linkColor);
        ACanvas->Font()->SetStyle(ACanvas->Font()->Style() | fsUnderline);
    }
    bool multiLine = text.find_first_of("\r\n") != AnsiString::npos;
    unsigned flags = DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;
    if (!multiLine && !WordWrap) {
        flags |= DT_SINGLELINE;
        if (FP.EnhTextSize)
            flags |= DT_END_ELLIPSIS;
    } else {
        flags |= DT_WORDBREAK;
        if (FP.EnhTextSize && !FP.Multilinecells)
            flags |= DT_END_ELLIPSIS;
    }
    if (wide)
        flags = DT_NOPREFIX | (multiLine || WordWrap ? DT_WORDBREAK : DT_SINGLELINE | DT_END_ELLIPSIS);
    if (HAlign == taRightJustify)
        flags |= DT_RIGHT;
    else if (HAlign == taCenter)
        flags |= DT_CENTER;
    // A right-to-left grid mirrors the side of the text (not the centre) and reads it from the right.
    if (UseRightToLeftAlignment() && HAlign != taCenter)
        flags ^= DT_RIGHT;
    if (BiDiMode() != bdLeftToRight)
        flags |= DT_RTLREADING;
    if (sortGlyph && !wide) {
        if (HAlign == taLeftJustify)
            r.Right -= 14;
        else
            r.Left += 14;
        if (HAlign == taCenter)
            r.Left += 10;
    } else if (sortGlyph) {
        r.Right -= 10;
    }
    if (ARow == 0 && HasFilterButton(col))
        r.Right -= 16;
    // The text is laid out once: measured, placed by its height, then drawn.
    int textH = 0;
    TRect tr = r;
    const TTextPlacement place = [&](int Width, int Height, TRect& Placed, unsigned& Flags) {
        TextWidth = std::min(Width, r.Width());
        textH = Height;
        if (Flags & DT_SINGLELINE) {
            Flags |= VAlign == vtaCenter ? DT_VCENTER : VAlign == vtaBottom ? DT_BOTTOM : DT_TOP;
            if (VAlign == vtaCenter)
                Placed.Bottom = ARect.Bottom - FCellTextOffset.Y / 2;
        } else if (textH < r.Height()) {
            if (VAlign == vtaCenter)
                Placed.Top = r.Top + (r.Height() - textH) / 2;
            else if (VAlign == vtaBottom)
                Placed.Top = r.Bottom - textH;
        }
    };
    if (wide)
        DrawTextW(ACanvas, wideText, tr, flags, place);
    else
        DrawText(ACanvas, text, tr, flags, place);
    if (!wide && G && G->CellType == ctEmpty && G->CellErrLen > 0) {
        // The wave runs under the text's first line where it was placed: a single line is
        // placed inside the rectangle by its vertical alignment.
        int top = tr.Top;
        if (flags & DT_SINGLELINE)
            top = VAlign == vtaCenter   ? (tr.Top + tr.Bottom - textH) / 2
                  : VAlign == vtaBottom ? tr.Bottom - textH
                                        : top;
        DrawErrorUnderline(this, ACanvas, text, G->CellErrLen, G->CellErrFrom, top - tr.Top, tr);
    }
    if (sortGlyph) {
        int x = wide                       ? r.Right + 3
                : HAlign == taLeftJustify  ? r.Left + TextWidth + 10 + (G ? gw : 0)
                : HAlign == taRightJustify ? r.Right - TextWidth - 10
                                           : ARect.Left + 8;
        DrawSortIndicator(ACanvas, col, x, glyphY(r));
    }
    if (link)
        ACanvas->Font()->SetColor(SavedFont);
}

void TProStringGrid::DrawRichTextCell(int ACol, int ARow, const TRect& ARect, TCanvas* ACanvas)
{
    AnsiString rtf = Cells(ACol, ARow);
    TRect r = ARect;
    r.Left += FCellTextOffset.X;
    r.Right -= FCellTextOffset.X;
    // The current cell keeps its own colours only while the grid has the focus.
    bool selected =
        IsSelected(DisplayColumn(ACol), ARow) && !(DisplayColumn(ACol) == Col() && ARow == Row() && Focused());
    if (selected && !FP.SelectionRTFKeep && FP.SelectionTextColor != clNone) {
        // Selected rich text is shown in the selection's text colour, recoloured in the hidden
        // rich edit: the other one may be the open editor of this very cell.
        FRichEdit->SetPlainText(false);
        CellToRich(ACol, ARow, FRichEdit);
        FRichEdit->SetSelStart(0);
        FRichEdit->SetSelLength(65535);
        FRichEdit->SelAttributes()->SetColor(FP.SelectionTextColor);
        TMemoryStream stream;
        FRichEdit->Lines()->SaveToStream(&stream);
        rtf.assign(static_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
    }
    if (selected && FP.SelectionRTFKeep) {
        // Kept colours: text without a colour of its own stays in the cell's, not the selection's.
        TBrush brush;
        TFont font;
        GetCellTextStyle(ACol, ARow, &brush, &font);
        const TColor shown = ACanvas->Font()->Color();
        ACanvas->Font()->SetColor(font.Color());
        DrawRichText(ACanvas, rtf, r);
        ACanvas->Font()->SetColor(shown);
        return;
    }
    DrawRichText(ACanvas, rtf, r);
}

// ---------------------------------------------------------------- borders
void TProStringGrid::DrawCellBorders(TCanvas* ACanvas, int ACol, int ARow, TRect ARect)
{
    TCellBorders borders = 0;
    TPen saved;
    saved.Assign(ACanvas->Pen());
    const int col = PaintedColumn(ACol, ARow);
    GetCellBorder(col, ARow, ACanvas->Pen(), borders);
    if (borders == 0 && !OnGetCellBorderProp) {
        ACanvas->Pen()->Assign(&saved);
        return;
    }
    TPen left, top, right, bottom;
    left.Assign(ACanvas->Pen());
    top.Assign(ACanvas->Pen());
    right.Assign(ACanvas->Pen());
    bottom.Assign(ACanvas->Pen());
    if (OnGetCellBorderProp)
        OnGetCellBorderProp(this, ARow, col, &left, &top, &right, &bottom);
    int w = (ACanvas->Pen()->Width() + 1) / 2;
    if (Options() & goVertLine) {
        ARect.Left += w;
        ARect.Right -= w;
    }
    if (Options() & goHorzLine) {
        ARect.Top += w;
        ARect.Bottom -= w;
    }
    auto line = [&](TPen* p, int x1, int y1, int x2, int y2) {
        ACanvas->Pen()->Assign(p);
        ACanvas->MoveTo(x1, y1);
        ACanvas->LineTo(x2, y2);
    };
    if (borders & cbLeft)
        line(&left, ARect.Left, ARect.Top, ARect.Left, ARect.Bottom);
    if (borders & cbRight)
        line(&right, ARect.Right - 1, ARect.Top, ARect.Right - 1, ARect.Bottom);
    if (borders & cbTop) {
        int y = GridLineWidth() == 0 ? ARect.Top + 1 : ARect.Top - GridLineWidth();
        line(&top, ARect.Left, y, ARect.Right, y);
    }
    if (borders & cbBottom)
        line(&bottom, ARect.Left, ARect.Bottom - 1, ARect.Right, ARect.Bottom - 1);
    ACanvas->Pen()->Assign(&saved);
}

// ---------------------------------------------------------------- the whole grid
void TProStringGrid::Paint()
{
    TCanvas* c = Canvas();
    // The window's 3-D look follows Flat.
    if (Ctl3D() == FP.Flat)
        SetCtl3D(!FP.Flat);
    c->Pen()->SetStyle(psSolid);
    TBaseGrid::Paint();
    if (FEditorVisible) {
        TRect r = CellRect(Col(), Row());
        bool lines = GridLineWidth() >= 1 && (Options() & (goHorzLine | goVertLine));
        c->Pen()->SetColor(lines ? GridLineColor() : Color());
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(r.Left - 1, r.Top - 1, r.Right, r.Bottom);
        c->Brush()->SetStyle(bsSolid);
    }
    c->Pen()->SetColor(clBlack);
    if (!(FBackGround->Bitmap()->Empty() && FBackGround->ColorTo() == clNone))
        PaintBackgroundArea();
    if (Panning())
        DrawIntelliPanGlyph(c, PanOrigin(), FP.IntelliPan);
    PaintSizingLine();
    if (OnAfterPaint)
        OnAfterPaint(this);
}

void TProStringGrid::PaintBackgroundArea()
{
    TBackGround* bg = FBackGround.get();
    bool gradient = bg->Display() == bdGradientHorz || bg->Display() == bdGradientVert;
    // Without a picture the strips show the gradient from Color to ColorTo whatever the display
    // (horizontal only for bdGradientHorz); a gradient display without ColorTo paints nothing.
    if ((bg->Bitmap()->Empty() || gradient) && bg->ColorTo() == clNone)
        return;
    // The last column and row count as shown when any part of them is in view.
    int lastCol = ColCount() - 1, lastRow = RowCount() - 1;
    TRect lastColRect = CellRect(lastCol, TopRow());
    TRect lastRowRect = CellRect(LeftCol(), lastRow);
    bool colVisible = !IsRectEmpty(lastColRect);
    bool rowVisible = !IsRectEmpty(lastRowRect);
    if (!colVisible && !rowVisible)
        return;
    TCanvas* c = Canvas();
    const TRect client = ClientRect();
    TRect cr = client;
    cr.Bottom -= FSearchPanel && FSearchPanel->Visible() ? 32 : 0;
    cr.Bottom -= FFooterPanel && FFooterPanel->Visible() ? FFooterPanel->Height() : 0;
    std::vector<TRect> strips;
    if (colVisible && lastColRect.Right + GridLineWidth() < cr.Right)
        strips.push_back(TRect(lastColRect.Right + GridLineWidth(), cr.Top, cr.Right, cr.Bottom));
    if (rowVisible && lastRowRect.Bottom + GridLineWidth() < cr.Bottom)
        strips.push_back(TRect(cr.Left, lastRowRect.Bottom + GridLineWidth(), cr.Right, cr.Bottom));
    for (const TRect& s : strips) {
        int saved = SaveDC(c);
        IntersectClipRect(c, s.Left, s.Top, s.Right, s.Bottom);
        if (bg->Bitmap()->Empty()) {
            // One gradient over the whole client area; the footers only clip it.
            DrawGradient(c, bg->Color(), bg->ColorTo(), bg->Display() == bdGradientHorz, client, 128);
        } else if (bg->Display() == bdTile) {
            if (bg->Cells() != bcFixed) {
                TBitmap* b = bg->Bitmap();
                TRect origin = bg->Cells() == bcNormal ? CellRect(TBaseGrid::FixedCols(), TBaseGrid::FixedRows())
                                                       : TRect(0, 0, 0, 0);
                int ox = origin.Left + FCellTextOffset.X, oy = origin.Top + FCellTextOffset.Y;
                for (int y = oy - ((oy - s.Top) / b->Height() + 1) * b->Height(); y < s.Bottom; y += b->Height())
                    for (int x = ox - ((ox - s.Left) / b->Width() + 1) * b->Width(); x < s.Right; x += b->Width())
                        c->Draw(x, y, b);
            }
        } else {
            c->Draw(bg->Left(), bg->Top(), bg->Bitmap());
        }
        RestoreDC(c, saved);
    }
}

void TProStringGrid::SetHoverFixedCell(int ACol, int ARow, bool MouseDown)
{
    if (FHoverCol == ACol && FHoverRow == ARow && FHoverDown == MouseDown)
        return;
    if (FHoverCol >= 0 && FHoverRow >= 0)
        RepaintCell(FHoverCol, FHoverRow);
    FHoverCol = ACol;
    FHoverRow = ARow;
    FHoverDown = MouseDown;
    if (ACol >= 0 && ARow >= 0)
        RepaintCell(ACol, ARow);
}

// ---------------------------------------------------------------- sizing lines
void TProStringGrid::DrawSizingLine(int X1, int Y1, int X2, int Y2)
{
    TCanvas* c = Canvas();
    TPen saved;
    saved.Assign(c->Pen());
    c->Pen()->SetStyle(psDot);
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->MoveTo(X1, Y1);
    c->LineTo(X2, Y2);
    c->Pen()->Assign(&saved);
}

// The line moves to X (Y): it is painted there with the grid.
void TProStringGrid::DrawColSizingLine(int X)
{
    FMouse.SizingLine = X;
    Invalidate();
}

void TProStringGrid::DrawRowSizingLine(int Y)
{
    FMouse.SizingLine = Y;
    Invalidate();
}

void TProStringGrid::PaintSizingLine()
{
    const int at = FMouse.SizingLine;
    // The line ends at the last row (column) or the grid's edge; rows beyond the window add nothing.
    if (FMouse.FixedColSizing) {
        int bottom = 0;
        for (int r = 0; r < RowCount() && bottom <= Height(); ++r)
            if (r < TBaseGrid::FixedRows() || r >= TopRow())
                bottom += RowHeights(r) + GridLineWidth();
        DrawSizingLine(at, 0, at, std::max(bottom, Height()));
    } else if (FMouse.FixedRowSizing) {
        int right = 0;
        for (int col = 0; col < ColCount() && right <= Width(); ++col)
            if (col < TBaseGrid::FixedCols() || col >= LeftCol())
                right += ColWidths(col) + GridLineWidth();
        DrawSizingLine(0, at, std::max(right, Width()), at);
    }
}

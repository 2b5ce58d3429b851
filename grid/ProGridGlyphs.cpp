// TProStringGrid: the graphics inside cells (check boxes, radio groups, node
// buttons and tree lines, progress bars and pies, comment marks, buttons,
// pictures) and the sort and filter glyphs of header cells. The glyph
// bitmaps are the program's own, painted here when first loaded by name.
#include <algorithm>
#include <cmath>

#include "grid/ProGrid.h"
#include "grid/ProGridPaint_p.h"
#include "grid/ProUtilDraw.h"
#include "grid/ProXPVS.h"
#include "platform/gui/Themes.h"

namespace {
constexpr TColor kKey = 0xFF00FF;   // the transparent colour of the glyph bitmaps

// A glyph bitmap of W x H in the colour depth of its resource.
void Start(TBitmap* B, int W, int H, TPixelFormat Format)
{
    B->SetPixelFormat(Format);
    B->SetSize(W, H);
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(kKey);
    c->FillRect(TRect(0, 0, W, H));
}

void Line(TCanvas* C, int X1, int Y1, int X2, int Y2, TColor Color)
{
    C->Pen()->SetColor(Color);
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
}

void CheckMark(TCanvas* C, int X, int Y, TColor Color)
{
    // A tick of three strokes, 7 x 5 pixels from (X, Y).
    for (int i = 0; i < 3; ++i) {
        Line(C, X, Y + 2 + i, X + 2, Y + 4 + i, Color);
        Line(C, X + 2, Y + 4 + i, X + 7, Y - 1 + i, Color);
    }
}

// Check box bitmaps: Size square, frame, fill, tick when checked.
TBitmapBuilder CheckBuilder(int Size, bool Checked, bool Enabled, bool Rounded)
{
    return [=](TBitmap* B) {
        Start(B, Size, Size, Size == 20 ? pf4bit : pf24bit);
        TCanvas* c = B->Canvas();
        int o = Size == 20 ? 3 : 1, s = Size == 20 ? 14 : 13;
        TColor frame = Enabled ? TColor(0x7F5B1C) : TColor(0xBAC7C9);
        TColor fill = Enabled ? clWhite : TColor(0xEEF1F1);
        c->Brush()->SetColor(fill);
        c->Pen()->SetColor(frame);
        if (Rounded)
            c->RoundRect(o, o, o + s, o + s, 3, 3);
        else
            c->Rectangle(o, o, o + s, o + s);
        if (Enabled)
            DrawGradient(c, TColor(0xDCE4E6), clWhite, false, TRect(o + 1, o + 1, o + s - 1, o + s - 1), 8);
        if (Checked)
            CheckMark(c, o + 3, o + 5, Enabled ? TColor(0x21A121) : TColor(0xB0B0B0));
    };
}

TBitmapBuilder RadioBuilder(bool On, bool Enabled, bool Flat)
{
    return [=](TBitmap* B) {
        Start(B, 16, 16, Flat ? pf4bit : pf8bit);
        TCanvas* c = B->Canvas();
        c->Pen()->SetColor(Enabled ? TColor(0x7F5B1C) : TColor(0xBAC7C9));
        c->Brush()->SetColor(Enabled ? clWhite : TColor(0xEEF1F1));
        c->Ellipse(2, 2, 15, 15);
        if (On) {
            TColor dot = Enabled ? (Flat ? TColor(0x000000) : TColor(0x21A121)) : TColor(0xB0B0B0);
            c->Brush()->SetColor(dot);
            c->Pen()->SetColor(dot);
            c->Ellipse(5, 5, 12, 12);
        }
    };
}

TBitmapBuilder NodeBuilder(int Size, bool Expanded, bool Leaf)
{
    return [=](TBitmap* B) {
        Start(B, Size, Size, Leaf ? pf8bit : pf24bit);
        TCanvas* c = B->Canvas();
        int o = Leaf ? 3 : 0, s = Leaf ? 9 : 9;
        c->Pen()->SetColor(TColor(0x99A8AC));
        c->Brush()->SetColor(clWhite);
        c->Rectangle(o, o, o + s, o + s);
        DrawGradient(c, clWhite, TColor(0xC6D0D4), false, TRect(o + 1, o + 1, o + s - 1, o + s - 1), 6);
        Line(c, o + 2, o + 4, o + 7, o + 4, clBlack);
        if (!Expanded)
            Line(c, o + 4, o + 2, o + 4, o + 7, clBlack);
    };
}

void BuildFilter(TBitmap* B)
{
    Start(B, 16, 16, pf4bit);
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(TColor(0x404040));
    c->Pen()->SetColor(TColor(0x404040));
    TPoint funnel[] = {TPoint(3, 4), TPoint(12, 4), TPoint(9, 8), TPoint(9, 12), TPoint(6, 13), TPoint(6, 8)};
    c->Polygon(funnel, 6);
}

bool RegisterGlyphs()
{
    for (int i = 0; i < 4; ++i) {
        bool checked = i % 2 == 0, enabled = i < 2;
        RegisterResourceBitmap("PSGCHK0" + std::to_string(i + 1), CheckBuilder(20, checked, enabled, true));
        RegisterResourceBitmap("PSGCHK0" + std::to_string(i + 5), CheckBuilder(16, checked, enabled, false));
        RegisterResourceBitmap("PSGRAD0" + std::to_string(i + 1), RadioBuilder(checked, enabled, true));
        RegisterResourceBitmap("PSGRAD0" + std::to_string(i + 5), RadioBuilder(checked, enabled, false));
    }
    RegisterResourceBitmap("PSGLEAFOPEN", NodeBuilder(16, true, true));
    RegisterResourceBitmap("PSGLEAFCLOSE", NodeBuilder(16, false, true));
    RegisterResourceBitmap("XPNODEO", NodeBuilder(9, true, false));
    RegisterResourceBitmap("XPNODEC", NodeBuilder(9, false, false));
    RegisterResourceBitmap("PSGFILT", BuildFilter);
    return true;
}

// Registered when the program loads: a glyph is found by its name before any grid drew one.
const bool kGlyphsRegistered = RegisterGlyphs();

void Glyph(TCanvas* C, const AnsiString& Name, int X, int Y, TColor Background)
{
    DrawResourceBitmapTransparent(C, Name, Background, TRect(X, Y, X + 20, Y + 20));
}
}

void DrawGridGlyph(TCanvas* Canvas, const AnsiString& Name, int X, int Y, TColor Background)
{
    Glyph(Canvas, Name, X, Y, Background);
}

// ---------------------------------------------------------------- check boxes and radio buttons
void TProStringGrid::DrawCheckBox(TCanvas* ACanvas, const TRect& R, bool Checked, bool Enabled,
                                  TGridControlStyle Style)
{
    if (FControlLook->NoDisabledCheckRadioLook() || FControlLook->CheckAlwaysActive())
        Enabled = true;
    if (Style == csTheme && !FIsWinXP)
        Style = csClassic;
    int size = FControlLook->CheckSize();
    TColor bg = ACanvas->Brush()->Color();
    switch (Style) {
    case csWinXP:
        Glyph(ACanvas, Checked ? (Enabled ? "PSGCHK05" : "PSGCHK07") : (Enabled ? "PSGCHK06" : "PSGCHK08"), R.Left,
              R.Top, bg);
        break;
    case csHalvik:
        Glyph(ACanvas, Checked ? (Enabled ? "PSGCHK01" : "PSGCHK03") : (Enabled ? "PSGCHK02" : "PSGCHK04"), R.Left,
              R.Top, bg);
        break;
    case csGlyph: {
        TBitmap* b = Checked ? FControlLook->CheckedGlyph() : FControlLook->UnCheckedGlyph();
        if (b && !b->Empty())
            DrawBitmapTransparent(ACanvas, b, bg, R);
        break;
    }
    case csTheme: {
        int state = Checked ? (Enabled ? CBS_CHECKEDNORMAL : CBS_CHECKEDDISABLED)
                            : (Enabled ? CBS_UNCHECKEDNORMAL : CBS_UNCHECKEDDISABLED);
        DrawThemedPart(ACanvas, "button", BP_CHECKBOX, state, TRect(R.Left, R.Top, R.Left + size, R.Top + size));
        break;
    }
    case csOstrevan: {
        TRect b(R.Left, R.Top, R.Left + size, R.Top + size);
        FillRectColor(ACanvas, b, Enabled ? clBtnFace : clBtnShadow);
        Line(ACanvas, b.Left, b.Bottom - 1, b.Left, b.Top, clBtnHighlight);
        Line(ACanvas, b.Left, b.Top, b.Right - 1, b.Top, clBtnHighlight);
        Line(ACanvas, b.Right - 1, b.Top, b.Right - 1, b.Bottom - 1, clBtnShadow);
        Line(ACanvas, b.Right - 1, b.Bottom - 1, b.Left, b.Bottom - 1, clBtnShadow);
        if (Checked)
            CheckMark(ACanvas, b.Left + (size - 8) / 2, b.Top + (size - 6) / 2 - 1, clBlack);
        break;
    }
    default: {
        // The frame control: a sunken square, white inside (face when inactive), the tick in black.
        int cx = (R.Left + R.Right - size) / 2, cy = (R.Top + R.Bottom - size) / 2;
        TRect b(cx, cy, cx + size, cy + size);
        FillRectColor(ACanvas, b, Enabled ? clWhite : clBtnFace);
        if (Style == csFlat) {
            FrameRect(ACanvas, b, clBtnShadow);
        } else {
            TRect e = b;
            DrawEdge(ACanvas, e, EDGE_SUNKEN, BF_RECT);
        }
        if (Checked)
            CheckMark(ACanvas, b.Left + (size - 8) / 2, b.Top + (size - 6) / 2 - 1, Enabled ? clBlack : clGray);
        break;
    }
    }
}

void TProStringGrid::DrawRadioButton(TCanvas* ACanvas, const TRect& R, double Scale, TGridControlStyle Style,
                                     int ARow, int ACol, bool Selected, TStrings* Items, bool Disabled,
                                     bool Horizontal, int ItemIndex, int Count)
{
    if (FControlLook->NoDisabledCheckRadioLook() || FControlLook->RadioAlwaysActive())
        Disabled = false;
    if (Style == csTheme && !FIsWinXP)
        Style = csClassic;
    SetBkMode(ACanvas, TRANSPARENT);
    if (Selected && ShowSelection() && FP.SelectionTextColor != clNone)
        ACanvas->Font()->SetColor(FP.SelectionTextColor);
    bool bitmaps = Style == csWinXP || Style == csHalvik || Style == csTheme || Style == csGlyph;
    int glyph = bitmaps ? 16 : int(FControlLook->RadioSize() * Scale);
    int lineH = std::max(ACanvas->TextHeight("gh"), glyph);
    AnsiString cellText = Cells(ACol, ARow);
    TColor bg = ACanvas->Brush()->Color();
    // Items without a text of their own are buttons alone, centred in the cell.
    bool noTexts = true;
    for (int i = 0; Items && i < Items->Count() && noTexts; ++i)
        noTexts = Items->Strings(i).empty();
    auto drawGlyph = [&](int x, int y, bool on) {
        switch (Style) {
        case csWinXP:
            Glyph(ACanvas, on ? (Disabled ? "PSGRAD07" : "PSGRAD05") : (Disabled ? "PSGRAD08" : "PSGRAD06"), x, y, bg);
            break;
        case csHalvik:
            Glyph(ACanvas, on ? (Disabled ? "PSGRAD03" : "PSGRAD01") : (Disabled ? "PSGRAD04" : "PSGRAD02"), x, y, bg);
            break;
        case csGlyph: {
            TBitmap* b = on ? FControlLook->RadioOnGlyph() : FControlLook->RadioOffGlyph();
            if (b && !b->Empty())
                DrawBitmapTransparent(ACanvas, b, bg, TRect(x, y, x + b->Width(), y + b->Height()));
            break;
        }
        case csTheme:
            DrawThemedPart(ACanvas, "button", BP_RADIOBUTTON,
                           on ? (Disabled ? RBS_CHECKEDDISABLED : RBS_CHECKEDNORMAL)
                              : (Disabled ? RBS_UNCHECKEDDISABLED : RBS_UNCHECKEDNORMAL),
                           TRect(x, y, x + 16, y + 16));
            break;
        default: {
            TColor saveB = ACanvas->Brush()->Color();
            ACanvas->Brush()->SetColor(Disabled ? clBtnFace : clWhite);
            ACanvas->Pen()->SetColor(Style == csOstrevan ? clBtnShadow : clGray);
            ACanvas->Ellipse(x, y, x + glyph, y + glyph);
            if (on) {
                int d = std::max(2, glyph / 3);
                ACanvas->Brush()->SetColor(Disabled ? clGray : clBlack);
                ACanvas->Pen()->SetColor(Disabled ? clGray : clBlack);
                ACanvas->Ellipse(x + d, y + d, x + glyph - d, y + glyph - d);
            }
            ACanvas->Brush()->SetColor(saveB);
            break;
        }
        }
    };
    int x = R.Left + 2;
    for (int i = 1; i <= Count; ++i) {
        AnsiString text = !noTexts && i - 1 < Items->Count() ? Items->Strings(i - 1) : AnsiString();
        bool on = ItemIndex == -1 ? (!text.empty() && text == cellText) : i - 1 == ItemIndex;
        int y = Horizontal ? (R.Top + R.Bottom - glyph) / 2 : R.Top + 2 + (i - 1) * lineH;
        int gx = noTexts && !Horizontal ? (R.Left + R.Right - glyph) / 2 : x;
        drawGlyph(gx, y, on);
        if (!text.empty())
            ACanvas->TextOut(gx + glyph + 2, y + (glyph - ACanvas->TextHeight(text)) / 2, text);
        const int next = x + glyph + 2 + ACanvas->TextWidth(text) + 6;
        if (FRadioHit)
            FRadioHit->push_back(Horizontal ? TRect(x, R.Top, next, R.Bottom) : TRect(R.Left, y, R.Right, y + lineH));
        if (Horizontal)
            x = next;
    }
}

// ---------------------------------------------------------------- sort glyph
void TProStringGrid::DrawSortIndicator(TCanvas* ACanvas, int ACol, int X, int Y)
{
    TSortSettings* s = FSortSettings.get();
    if (!s->IndexShow()) {
        TBitmap* up = s->UpGlyph();
        TBitmap* down = s->DownGlyph();
        bool desc = s->Direction() == sdDescending;
        if (up && down && !up->Empty() && !down->Empty()) {
            DrawBitmapTransparent(ACanvas, desc ? down : up, FixedColor(), TRect(X - 4, Y - 4, X + 12, Y + 12));
            return;
        }
        if (desc) {
            // One outline from the right corner: each line starts where the last ended.
            Line(ACanvas, X + 4, Y - 4, X, Y + 4, clWhite);
            Line(ACanvas, X, Y + 4, X - 4, Y - 4, clGray);
            Line(ACanvas, X - 4, Y - 4, X + 4, Y - 4, clGray);
        } else {
            Line(ACanvas, X - 4, Y + 4, X + 4, Y + 4, clWhite);
            Line(ACanvas, X + 4, Y + 4, X, Y - 4, clWhite);
            Line(ACanvas, X, Y - 4, X - 4, Y + 4, clGray);
        }
        ACanvas->Pen()->SetColor(clBlack);
        return;
    }
    int pos = FSortIndexes->FindIndex(ACol);
    if (pos < 0)
        return;
    bool ascending = FSortIndexes->IsAscending(pos);
    ACanvas->Brush()->SetColor(s->IndexColor());
    ACanvas->Pen()->SetColor(clBlack);
    SetBkMode(ACanvas, TRANSPARENT);
    TBitmap* glyph = ascending ? s->IndexDownGlyph() : s->IndexUpGlyph();
    TBitmap* other = ascending ? s->IndexUpGlyph() : s->IndexDownGlyph();
    if (glyph && other && !glyph->Empty() && !other->Empty()) {
        DrawBitmapTransparent(ACanvas, glyph, FixedColor(), TRect(X - 7, Y - 7, X + 9, Y + 9));
    } else if (ascending) {
        TPoint p[] = {TPoint(X - 6, Y + 8), TPoint(X + 6, Y + 8), TPoint(X, Y - 4)};
        ACanvas->Polygon(p, 3);
    } else {
        TPoint p[] = {TPoint(X - 7, Y - 5), TPoint(X + 7, Y - 5), TPoint(X, Y + 8)};
        ACanvas->Polygon(p, 3);
    }
    ACanvas->Font()->SetSize(6);
    ACanvas->Font()->SetColor(clBlack);
    ACanvas->TextOut(X - 2, ascending ? Y - 2 : Y - 4, IntToStr(pos + 1));
}

// ---------------------------------------------------------------- node buttons and tree lines
void TProStringGrid::DrawNodeButton(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TCellGraphic* G)
{
    TCellNode* n = FCellNode.get();
    int x = ARect.Left + GetRowIndent(ARow) - n->NodeIndent() / 2 - 4;
    if (x < ARect.Left)
        x = ARect.Left;
    TGridLook look = FP.Look;
    bool edgedLook = look == glSoft || look == glHalvik || look == glXP || look == glListView;
    if (n->ShowTree() && ARow >= TBaseGrid::FixedRows() && edgedLook && !FP.Flat &&
        DisplayColumn(ACol) < TBaseGrid::FixedCols())
        x += 1;
    bool contracted = G->CellBoolean;
    int mid = (ARect.Top + ARect.Bottom) / 2;
    TColor bg = ACanvas->Brush()->Color();
    if (n->NodeType() == cn3D) {
        FillRectColor(ACanvas, ARect, n->Color());
        Line(ACanvas, ARect.Left, ARect.Bottom - 1, ARect.Left, ARect.Top, clWhite);
        Line(ACanvas, ARect.Left, ARect.Top, ARect.Right - 1, ARect.Top, clWhite);
        Line(ACanvas, ARect.Right - 1, ARect.Top, ARect.Right - 1, ARect.Bottom - 1, clGray);
        Line(ACanvas, ARect.Right - 1, ARect.Bottom - 1, ARect.Left, ARect.Bottom - 1, clGray);
        bg = n->Color();
    }
    // The line down to the children meets their tree line (DrawTreeLines).
    if (n->ShowTree() && ARow >= TBaseGrid::FixedRows() && !contracted && ARow + 1 < RowCount()) {
        const int treeX = ARect.Left + GetRowIndent(ARow) - n->NodeIndent() + 2 + n->NodeIndent() / 2;
        Line(ACanvas, treeX, mid + 4, treeX, ARect.Bottom + 1, n->TreeColor());
    }
    switch (n->NodeType()) {
    case cnLeaf:
        Glyph(ACanvas, contracted ? "PSGLEAFCLOSE" : "PSGLEAFOPEN", x, ARect.Top + (ARect.Height() - 12) / 2, bg);
        return;
    case cnXP:
        Glyph(ACanvas, contracted ? "XPNODEC" : "XPNODEO", x + 4, ARect.Top + (ARect.Height() - 10) / 2, bg);
        return;
    case cnGlyph:
        if (!n->ExpandGlyph()->Empty() && !n->ContractGlyph()->Empty()) {
            TBitmap* b = contracted ? n->ContractGlyph() : n->ExpandGlyph();
            int h = n->ContractGlyph()->Height();
            int y = ARect.Top + (ARect.Height() - h) / 2;
            DrawBitmapTransparent(ACanvas, b, bg, TRect(x, y, x + b->Width(), y + b->Height()));
            return;
        }
        break;
    default: break;
    }
    int top = ARect.Top + (ARect.Height() - 8) / 2;
    TRect box(x + 4, top, x + 12, top + 8);
    if (n->NodeType() == cnFlat) {
        FillRectColor(ACanvas, box, clWhite);
        FrameRect(ACanvas, box, n->NodeColor());
        Line(ACanvas, box.Left + 2, mid, box.Right - 2, mid, n->NodeColor());
        if (contracted)
            Line(ACanvas, box.Left + 4, box.Top + 2, box.Left + 4, box.Bottom - 2, n->NodeColor());
    } else {
        DrawEdge(ACanvas, box, contracted ? BDR_RAISEDINNER : BDR_SUNKENINNER, BF_RECT | BF_SOFT);
    }
}

void TProStringGrid::DrawTreeLines(TCanvas* ACanvas, int ARow, TRect ARect)
{
    TCellNode* n = FCellNode.get();
    auto levelOf = [this](int r) {
        return r < RowCount() && HasCellProperties(0, r) ? CellProperties(0, r)->NodeLevel() : 0;
    };
    auto* own = dynamic_cast<TCellGraphic*>(GetCellGraphicObject(0, ARow));
    int L = levelOf(ARow);
    int X = ARect.Left + GetRowIndent(ARow) - n->NodeIndent() + 2 + n->NodeIndent() / 2;
    int mid = (ARect.Top + ARect.Bottom) / 2;
    TColor tc = n->TreeColor();
    if (L > 0)
        Line(ACanvas, X, mid, n->ShowTreeFull() ? ARect.Right : ARect.Left + GetRowIndent(ARow) + 4, mid, tc);
    bool nodeRow = own && own->CellType == ctNode;
    int next = ARow + 1;
    bool hasNext = next < RowCount() - FP.FixedFooters;
    if (!nodeRow && L > 0) {
        bool last = !hasNext || !HasCellProperties(0, next) || levelOf(next) < L;
        Line(ACanvas, X, ARect.Top, X, last ? mid : ARect.Bottom + 4, tc);
    }
    for (int i = 1; i <= L; ++i) {
        int xi = X - i * n->NodeIndent();
        Line(ACanvas, xi, ARect.Top, xi, mid, tc);
        if (hasNext && levelOf(next) == 0) {
            if (L > i)
                Line(ACanvas, xi, mid, xi + n->NodeIndent(), mid, tc);
        } else if (hasNext && levelOf(next) > 0) {
            Line(ACanvas, xi, mid, xi, ARect.Bottom + 4, tc);
        } else if (!hasNext && L > i) {
            Line(ACanvas, xi, mid, xi + n->NodeIndent(), mid, tc);
        }
    }
}

// ---------------------------------------------------------------- one cell's graphic
TSize TProStringGrid::CellGraphicExtent(TCellGraphic* G, const TRect& Area)
{
    TImageList* images = FGridImages;
    switch (G->CellType) {
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox: return TSize{FControlLook->CheckSize(), FControlLook->CheckSize()};
    case ctBitmap:
        if (TGraphic* p = G->PictureGraphic())
            return TSize{p->Width(), p->Height()};
        return TSize{};
    case ctPicture:
    case ctFilePicture:
        // Fitted to the room inside the one-pixel margin the graphic keeps.
        return G->GetPictureSize(std::max(0, Area.Width() - 2), std::max(0, Area.Height() - 2));
    case ctIcon: return G->CellIcon ? TSize{G->CellIcon->Width(), G->CellIcon->Height()} : TSize{};
    case ctImageList:
    case ctDataImage: return images ? TSize{images->Width(), images->Height()} : TSize{};
    case ctImages:
        if (auto* list = dynamic_cast<TIntList*>(G->CellObject); list && images) {
            const int n = list->Count();
            return G->CellBoolean ? TSize{images->Width() * n, images->Height()}
                                  : TSize{images->Width(), images->Height() * n};
        }
        return TSize{};
    case ctProgressPie: return TSize{20, 20};
    case ctButton:
    case ctBitButton: return TSize{G->CellIndex & 0xFFFF, int((unsigned(G->CellIndex) >> 16) & 0xFFFF)};
    default: return TSize{};
    }
}

void TProStringGrid::DrawCellGraphic(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TCellGraphic* G,
                                     TVAlignment VAlign, TAlignment TextAlign, int TextWidth)
{
    TCellType t = G->CellType;
    if (t == ctNode) {
        DrawNodeButton(ACanvas, ACol, ARow, ARect, G);
        return;
    }
    TControlLook* cl = FControlLook.get();
    if (t == ctProgress) {
        double value = 0;
        try {
            value = CellFloatValue(ACol, ARow);
        } catch (const Exception&) {
            value = 0;
        }
        // Limited before it becomes an integer: a value beyond the integers fills the bar too.
        int pct = ClampPercent(int(std::clamp(value, -1.0, 101.0)));
        if ((cl->ControlStyle() == csWinXP || cl->ControlStyle() == csTheme) && FIsWinXP && cl->ProgressXP()) {
            TRect bar = ARect;
            InflateRect(bar, -cl->ProgressMarginX(), -cl->ProgressMarginY());
            DrawThemedPart(ACanvas, "Progress", PP_BAR, 0, bar);
            InflateRect(bar, -2, -2);
            bar.Right = bar.Left + bar.Width() * pct / 100;
            if (bar.Right > bar.Left)
                DrawThemedPart(ACanvas, "Progress", PP_CHUNK, 1, bar);
            return;
        }
        TRect r = ARect;
        InflateRect(r, -2, -2);
        // The bar colours: CellIndex (done part) and CellAngle (the rest) when set, the text over
        // each in its inverted colour; else the grid's progress look (no rest colour: the cell's).
        TGridProgressAppearance* look = FProgressAppearance.get();
        const TColor rest = look->UnCompleteColor() == clNone ? ACanvas->Brush()->Color() : look->UnCompleteColor();
        const TColor complete = ColorToRGB(G->CellIndex ? TColor(G->CellIndex) : look->CompleteColor());
        const TColor uncomplete = ColorToRGB(G->CellAngle ? TColor(G->CellAngle) : rest);
        TColor text1 = G->CellIndex ? complete ^ 0xFFFFFF : ColorToRGB(look->CompleteFontColor());
        TColor text2 = G->CellAngle ? uncomplete ^ 0xFFFFFF : ColorToRGB(look->UnCompleteFontColor());
        if (G->CellBoolean) {
            if (G->CellCompleteFontColor != clNone)
                text1 = ColorToRGB(G->CellCompleteFontColor);
            if (G->CellUnCompleteFontColor != clNone)
                text2 = ColorToRGB(G->CellUnCompleteFontColor);
        }
        DrawProgressBar(ACanvas, r, complete, text1, uncomplete, text2, pct,
                        cl->ProgressMarginX(), cl->ProgressMarginY(), 0, 100, AnsiString(), cl->ProgressBorderColor(),
                        false);
        return;
    }
    if (t == ctRangeIndicator || t == ctXPProgress) {
        TRect r = ARect;
        InflateRect(r, -cl->ProgressMarginX(), -cl->ProgressMarginY());
        int v = 0;
        try {
            v = CellIntegerValue(ACol, ARow);
        } catch (const Exception&) {
            v = 0;
        }
        if (t == ctRangeIndicator) {
            DrawBalanceBar(ACanvas, r, v, clGreen, clRed, true, 100);
            return;
        }
        r.Right -= 1;
        r.Bottom -= 1;
        TGridProgressAppearance* pa = FProgressAppearance.get();
        TLevelProgressAppearance a;
        a.Level0Color = pa->Level0Color();
        a.Level0ColorTo = pa->Level0ColorTo();
        a.Level1Color = pa->Level1Color();
        a.Level1ColorTo = pa->Level1ColorTo();
        a.Level2Color = pa->Level2Color();
        a.Level2ColorTo = pa->Level2ColorTo();
        a.Level3Color = pa->Level3Color();
        a.Level3ColorTo = pa->Level3ColorTo();
        a.Level1Perc = pa->Level1Perc();
        a.Level2Perc = pa->Level2Perc();
        a.BorderColor = pa->BorderColor();
        a.ShowBorder = pa->ShowBorder();
        a.Stacked = pa->Stacked();
        a.ShowPercentage = pa->ShowPercentage();
        a.CompletionSmooth = pa->CompletionSmooth();
        a.ShowGradient = pa->ShowGradient();
        a.Steps = pa->Steps();
        a.BackgroundColor = pa->UnCompleteColor() == clNone ? ACanvas->Brush()->Color() : pa->UnCompleteColor();
        DrawLevelProgressBar(ACanvas, r, ClampPercent(v), a);
        return;
    }

    InflateRect(ARect, 1 - FCellTextOffset.X, 1 - FCellTextOffset.Y);
    if (t == ctInterface) {
        if (auto* object = dynamic_cast<IGridCellObject*>(G->CellObject))
            object->DrawCell(ACanvas, ARect, ACol, ARow, IsSelected(DisplayColumn(ACol), ARow), this);
        return;
    }
    if (t == ctComment) {
        if (cl->CommentColor() == clNone)
            return;
        TColor mark = G->CellAngle != clNone && G->CellAngle != 0 ? TColor(G->CellAngle) : cl->CommentColor();
        ACanvas->Brush()->SetColor(mark);
        ACanvas->Pen()->SetColor(mark);
        TPoint p[] = {TPoint(ARect.Right - 7, ARect.Top + 1), TPoint(ARect.Right - 2, ARect.Top + 1),
                      TPoint(ARect.Right - 2, ARect.Top + 6)};
        ACanvas->Polygon(p, 3);
        ACanvas->Brush()->SetColor(Color());
        return;
    }
    if (IsCheckBoxType(t)) {
        int size = cl->CheckSize();
        int x = ARect.Left + 1;
        int tw = t == ctCheckBox ? TextWidth : 0;
        if (TextAlign == taRightJustify)
            x = std::max(ARect.Left + 1, ARect.Right - size - 1 - tw);
        else if (TextAlign == taCenter)
            x = tw ? std::max(ARect.Left + 1, (ARect.Left + ARect.Right - tw) / 2 - size - 2)
                   : (ARect.Left + ARect.Right - size) / 2;
        int y = ARect.Top + 1;
        TCellVAlign va = G->CellVAlign;
        if (VAlign != FP.VAlignment)
            va = VAlign == vtaTop ? vaTop : VAlign == vtaCenter ? vaCenter : vaBottom;
        if (va == vaCenter)
            y = ARect.Height() >= size ? (ARect.Top + ARect.Bottom - size) / 2 : ARect.Top + 1;
        else if (va == vaBottom)
            y = ARect.Bottom - 1 - size;
        else if (va == vaUnderText)
            y = ARect.Bottom - size;
        bool checked = t == ctCheckBox || t == ctRowCheckBox ? G->CellBoolean
                                                              : Cells(ACol, ARow) == GetCheckTrue(ACol, ARow);
        DrawCheckBox(ACanvas, TRect(x, y, x + size, y + size), checked, !GetCellReadOnly(ACol, ARow),
                     cl->ControlStyle());
        return;
    }
    if (t == ctRadio) {
        auto* items = dynamic_cast<TStrings*>(G->CellObject);
        int count = items ? items->Count() : 0;
        DrawRadioButton(ACanvas, ARect, 1.0, cl->ControlStyle(), ARow, ACol, false, items,
                        GetCellReadOnly(ACol, ARow), G->CellBoolean, G->CellIndex, count);
        return;
    }
    if (t == ctRotated) {
        // Turned by the graphic's angle and placed by the cell's alignment, as on paper.
        const AnsiString text = Cells(ACol, ARow);
        TRect clip = ARect;
        InflateRect(clip, -2, -2);
        TRect origin = ARect;
        RotatedTextOrigin(ACanvas, origin, G->CellAngle, TextAlign, VAlign, text);
        TFont* f = ACanvas->Font();
        f->SetOrientation(G->CellAngle * 10);
        int saved = SaveDC(ACanvas);
        IntersectClipRect(ACanvas, clip.Left, clip.Top, clip.Right, clip.Bottom);
        SetBkMode(ACanvas, TRANSPARENT);
        ACanvas->TextOut(origin.Left, origin.Top, text);
        RestoreDC(ACanvas, saved);
        f->SetOrientation(0);
        return;
    }

    // Pictures, images and buttons: placed by the graphic's own alignment.
    TSize extent = CellGraphicExtent(G, ARect);
    int W = extent.cx, H = extent.cy;
    TGraphic* pic = dynamic_cast<TGraphic*>(G->CellObject);
    // The text's width and its two pixels, also for an empty text; a data image shows no text.
    int T = t == ctDataImage ? 0 : TextWidth + 2;
    int width = ARect.Width();
    int x = ARect.Left + 1, y = ARect.Top + 1;
    switch (G->CellHAlign) {
    case haRight: x = ARect.Right - 1 - W; break;
    case haCenter: x = W <= width ? ARect.Left + (width - W) / 2 : ARect.Left + 1; break;
    case haBeforeText:
        x = TextAlign == taRightJustify ? std::max(ARect.Left + 1, ARect.Right - T - W)
            : TextAlign == taCenter     ? ARect.Left + (width - T - W) / 2
                                        : ARect.Left + 1;
        break;
    case haAfterText:
        x = TextAlign == taRightJustify ? ARect.Right - 1 - W
            : TextAlign == taCenter     ? ARect.Left + T + (width - T - W) / 2
                                        : ARect.Left + T;
        break;
    case haFull: W = width; x = ARect.Left; break;
    default: break;
    }
    switch (G->CellVAlign) {
    case vaBottom: y = ARect.Bottom - 1 - H; break;
    case vaCenter: y = H <= ARect.Height() ? (ARect.Top + ARect.Bottom - H) / 2 : ARect.Top + 1; break;
    case vaUnderText: y = ARect.Bottom - H; break;
    case vaFull: H = ARect.Height(); y = ARect.Top; break;
    default: break;
    }
    switch (t) {
    case ctBitmap:
        if (auto* b = dynamic_cast<TBitmap*>(pic)) {
            if (G->CellTransparent) {
                // Masked with the bitmap's own transparent colour: the cell's background shows there.
                TBitmap masked;
                masked.Assign(b);
                masked.SetTransparent(true);
                ACanvas->Draw(x, y, &masked);
            } else
                ACanvas->Draw(x, y, b);
        }
        break;
    case ctPicture:
        if (TGraphic* picture = G->PictureGraphic())
            ACanvas->StretchDraw(TRect(x, y, x + W, y + H), picture);
        break;
    case ctFilePicture:
        if (auto* file = dynamic_cast<TFilePicture*>(G->CellObject))
            file->Draw(ACanvas, TRect(x, y, x + W, y + H));
        break;
    case ctImages:
        if (auto* list = dynamic_cast<TIntList*>(G->CellObject); list && FGridImages) {
            // One after another, downwards, or to the right with CellBoolean.
            const int stepX = G->CellBoolean ? FGridImages->Width() : 0;
            const int stepY = G->CellBoolean ? 0 : FGridImages->Height();
            for (int i = 0; i < list->Count(); ++i)
                if (const int idx = list->Items(i); idx >= 0 && idx < FGridImages->Count())
                    FGridImages->Draw(ACanvas, x + i * stepX, y + i * stepY, idx);
        }
        break;
    case ctIcon:
        if (G->CellIcon)
            ACanvas->Draw(x, y, G->CellIcon);
        break;
    case ctImageList:
        if (FGridImages && G->CellIndex < FGridImages->Count())
            FGridImages->Draw(ACanvas, x, y, G->CellIndex);
        break;
    case ctDataImage: {
        int idx = 0;
        try {
            idx = CellIntegerValue(ACol, ARow) + G->CellIndex;
        } catch (const Exception&) {
            idx = -1;
        }
        if (FGridImages && idx >= 0 && idx < FGridImages->Count())
            FGridImages->Draw(ACanvas, x, y, idx);
        break;
    }
    case ctProgressPie:
        DrawProgressPie(ACanvas, TRect(x, y, x + 20, y + 20), clHighlight, false, ClampPercent(G->CellAngle));
        break;
    case ctButton:
    case ctBitButton: {
        bool enabled = FControlLook->NoDisabledButtonLook() || !GetCellReadOnly(ACol, ARow);
        TRect b(x, y, x + W, y + H);
        // The offset from the cell's rectangle, to which the mouse handling adds it (GetCellButtonRect):
        // ARect lies inside the cell's grid lines (one pixel for a fixed cell) and the text margin less one.
        const int display = DisplayColumn(ACol);
        const bool fixedCell = display < FixedCols() || ARow < FixedRows() || IsFixed(display, ARow);
        const int lines = fixedCell ? 1 : GridLineWidth();
        const int dx = x - ARect.Left + lines + FCellTextOffset.X - 1;
        const int dy = y - ARect.Top + lines + FCellTextOffset.Y - 1;
        G->CellValue = double(dx | (dy << 16));
        if (FIsWinXP && ThemesActive()) {
            DrawThemedPart(ACanvas, "button", BP_PUSHBUTTON,
                           !enabled ? PBS_DISABLED : G->CellBoolean ? PBS_PRESSED : PBS_NORMAL, b);
        } else {
            FillRectColor(ACanvas, b, clBtnFace);
            TRect e = b;
            DrawEdge(ACanvas, e, G->CellBoolean ? EDGE_SUNKEN : (FControlLook->FlatButton() ? BDR_RAISEDINNER
                                                                                              : EDGE_RAISED),
                     BF_RECT);
        }
        TRect content = b;
        InflateRect(content, -2, -2);
        if (auto* bmp = dynamic_cast<TBitmap*>(pic); t == ctBitButton && bmp) {
            DrawBitmapTransparent(ACanvas, bmp, clBtnFace, TRect(content.Left, content.Top, content.Right,
                                                                   content.Bottom));
            content.Left += bmp->Width() + 2;
        }
        SetBkMode(ACanvas, TRANSPARENT);
        ACanvas->Font()->SetColor(enabled ? clBtnText : clGrayText);
        bool multi = G->CellText.find('\r') != AnsiString::npos;
        if (multi) {
            // Wrapped lines are centred as a block: the text call centres only a single line.
            TRect lines = content;
            DrawText(ACanvas, G->CellText, -1, lines, DT_CALCRECT | DT_CENTER | DT_WORDBREAK);
            content.Top += std::max(0, (content.Height() - lines.Height()) / 2);
        }
        DrawText(ACanvas, G->CellText, -1, content,
                 DT_CENTER | DT_END_ELLIPSIS | (multi ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER)));
        break;
    }
    default: break;
    }
}

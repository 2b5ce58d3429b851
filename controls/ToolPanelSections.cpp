// Sections of a tool panel and their items: layout, hit testing, sizing,
// collapsing of node sections and painting.
#include <algorithm>

#include "controls/ToolPanels.h"

// ---------------------------------------------------------------- TSectionItem
TSectionItem::TSectionItem(TCollection* ACollection) : TCollectionItem(ACollection)
{
    if (TSectionItems* items = Items()) {
        if (items->OnItemAdded)
            items->OnItemAdded(this);
        if (items->Panel())
            items->Panel()->Invalidate();
    }
}

TSectionItem::~TSectionItem()
{
    if (TSectionItems* items = Items()) {
        if (items->OnItemRemoved)
            items->OnItemRemoved(this);
        if (items->Panel())
            items->Panel()->Invalidate();
    }
}

TSectionItems* TSectionItem::Items() const
{
    return static_cast<TSectionItems*>(Collection());
}

void TSectionItem::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TSectionItem*>(Source)) {
        FCaption = s->FCaption;
        FEnabled = s->FEnabled;
        FHint = s->FHint;
        FImageIndex = s->FImageIndex;
        FTag = s->FTag;
        return;
    }
    TCollectionItem::Assign(Source);
}

AnsiString TSectionItem::DisplayName() const
{
    return "Item " + IntToStr(Index()) + ": " + FCaption;
}

void TSectionItem::SetCaption(const AnsiString& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    if (Items() && Items()->Panel())
        Items()->Panel()->Invalidate();
}

void TSectionItem::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    if (Items() && Items()->Panel())
        Items()->Panel()->Invalidate();
}

void TSectionItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    TSectionItems* items = Items();
    if (items && items->Section() && items->Section()->Autosize())
        items->Section()->SetAutosize(true);
    if (items && items->Panel())
        items->Panel()->Invalidate();
}

// ---------------------------------------------------------------- TSectionItems
TSectionItems::TSectionItems(TProToolPanel* APanel, TProToolPanelSection* ASection)
    : TOwnedCollection(APanel, [](TCollection* c) -> TCollectionItem* { return new TSectionItem(c); }),
      FPanel(APanel), FSection(ASection)
{
}

TSectionItems::~TSectionItems()
{
    // The section is going: its items leave without resizing it.
    OnItemAdded = nullptr;
    OnItemRemoved = nullptr;
    FPanel = nullptr;
    Clear();
}

TSectionItem* TSectionItems::Add()
{
    return static_cast<TSectionItem*>(TCollection::Add());
}

TSectionItem* TSectionItems::Items(int Index) const
{
    return static_cast<TSectionItem*>(TCollection::Items(Index));
}

// ---------------------------------------------------------------- TProToolPanelSection
TProToolPanelSection::TProToolPanelSection(TCollection* ACollection) : TCollectionItem(ACollection)
{
    FSectionItems = std::make_unique<TSectionItems>(Panel(), this);
    FSectionItems->OnItemAdded = [this](TSectionItem* i) { ItemAdded(i); };
    FSectionItems->OnItemRemoved = [this](TSectionItem* i) { ItemRemoved(i); };
    if (Panel())
        Panel()->Invalidate();
}

TProToolPanelSection::~TProToolPanelSection()
{
    TProToolPanel* panel = Panel();
    FSectionItems.reset();
    if (panel) {
        panel->CancelHover();
        panel->Invalidate();
    }
}

TProToolPanel* TProToolPanelSection::Panel() const
{
    auto* c = static_cast<TProToolPanelSections*>(Collection());
    return c ? c->Panel() : nullptr;
}

AnsiString TProToolPanelSection::DisplayName() const
{
    return "Section " + IntToStr(Index()) + ": " + FCaption;
}

void TProToolPanelSection::SetCaption(const AnsiString& Value)
{
    if (FCaption != Value) {
        FCaption = Value;
        if (Panel())
            Panel()->Invalidate();
    }
}

void TProToolPanelSection::SetCaptionImageIndex(int Value)
{
    if (FCaptionImageIndex != Value) {
        FCaptionImageIndex = Value;
        if (Panel())
            Panel()->Invalidate();
    }
}

void TProToolPanelSection::SetDraw(bool Value)
{
    if (FDraw != Value) {
        FDraw = Value;
        if (Panel())
            Panel()->Invalidate();
    }
}

void TProToolPanelSection::SetNode(bool Value)
{
    if (FNode != Value) {
        FNode = Value;
        if (Panel())
            Panel()->Invalidate();
    }
}

void TProToolPanelSection::SetHeight(int Value)
{
    if (Value == FHeight)
        return;
    if (!FInternalChange && FAutosize)
        return;
    TProToolPanel* panel = Panel();
    if (panel) {
        const int bottom = panel->SectionRect(Index()).Bottom;
        const int delta = Value - FHeight;
        for (int i = 0; i < panel->ControlCount(); ++i) {
            TControl* c = panel->Controls(i);
            if (c->Top() >= bottom)
                c->SetTop(c->Top() + delta);
        }
    }
    FHeight = Value;
    if (panel)
        panel->Invalidate();
}

void TProToolPanelSection::SetAutosize(bool Value)
{
    FAutosize = Value;
    TProToolPanel* panel = Panel();
    if (!panel)
        return;
    if (Value) {
        if (panel->ComponentState() & csLoading)
            return;
        int h = panel->TextHeightGh();
        if (TImageList* images = panel->SectionImages()) {
            for (int i = 0; i < FSectionItems->Count(); ++i)
                if (FSectionItems->Items(i)->ImageIndex() >= 0) {
                    h = std::max(h, images->Height() + 2);
                    break;
                }
        }
        FItemHeight = h;
        FInternalChange = true;
        SetHeight(FSectionItems->Count() * FItemHeight + panel->SectionCaptionHeight() + 6 +
                  panel->SectionLayout()->Spacing());
        FInternalChange = false;
    }
    panel->Invalidate();
}

void TProToolPanelSection::ItemAdded(TSectionItem*)
{
    if (!FAutosize)
        return;
    FInternalChange = true;
    SetHeight(FHeight + FItemHeight);
    FInternalChange = false;
}

void TProToolPanelSection::ItemRemoved(TSectionItem*)
{
    // The hovered indices may name this item or one after it: they are forgotten.
    if (TProToolPanel* panel = Panel())
        panel->CancelHover();
    if (!FAutosize || FHeight - FItemHeight < 25)
        return;
    FInternalChange = true;
    SetHeight(FHeight - FItemHeight);
    FInternalChange = false;
}

void TProToolPanelSection::SetExpanded(bool Value)
{
    if (!FNode || FExpanded == Value)
        return;
    TProToolPanel* panel = Panel();
    const int ch = panel ? panel->SectionCaptionHeight() : 16;
    const int spacing = panel ? panel->SectionLayout()->Spacing() : 4;
    if (!Value) {
        const TRect r = panel ? panel->SectionRect(Index()) : TRect();
        FExpandedHeight = FHeight;
        const int delta = ch + spacing - FExpandedHeight;
        FExpanded = false;
        FHeight = ch + spacing;
        if (panel)
            MoveControls(true, delta, r);
    } else {
        const int delta = FExpandedHeight - FHeight;
        FHeight = FExpandedHeight;
        FExpanded = true;
        if (panel)
            MoveControls(false, delta, panel->SectionRect(Index()));
    }
    if (panel)
        panel->Invalidate();
}

void TProToolPanelSection::MoveControls(bool Collapsing, int Delta, const TRect& R)
{
    TProToolPanel* panel = Panel();
    TProToolPanelSections* sections = panel->Sections();
    const int index = Index();
    // An invisible control is left alone when an earlier collapsed section hides it.
    auto heldEarlier = [&](TControl* c) {
        for (int s = 0; s < index; ++s) {
            const auto& list = sections->Items(s)->FHiddenControls;
            if (std::find(list.begin(), list.end(), c) != list.end())
                return true;
        }
        return false;
    };
    for (int i = 0; i < panel->ControlCount(); ++i) {
        TControl* c = panel->Controls(i);
        const int top = c->Top();
        if (Collapsing) {
            if (c->Visible() && top >= R.Top && top < R.Bottom) {
                c->SetVisible(false);
                FHiddenControls.push_back(c);
            } else if (top >= R.Bottom && (c->Visible() || !heldEarlier(c))) {
                c->SetTop(top + Delta);
            }
        } else {
            const bool mine = std::find(FHiddenControls.begin(), FHiddenControls.end(), c) != FHiddenControls.end();
            if (mine) {
                c->SetVisible(true);
            } else if (top >= R.Top && (c->Visible() || !heldEarlier(c))) {
                c->SetTop(top + Delta);
            }
        }
    }
    if (Collapsing) {
        if (panel->OnNodeCollapse)
            panel->OnNodeCollapse(panel, index);
    } else {
        FHiddenControls.clear();
        if (panel->OnNodeExpand)
            panel->OnNodeExpand(panel, index);
    }
}

// ---------------------------------------------------------------- TProToolPanelSections
TProToolPanelSections::TProToolPanelSections(TProToolPanel* APanel)
    : TOwnedCollection(APanel, [](TCollection* c) -> TCollectionItem* { return new TProToolPanelSection(c); }),
      FPanel(APanel)
{
}

TProToolPanelSections::~TProToolPanelSections()
{
    FPanel = nullptr;
    Clear();
}

TProToolPanelSection* TProToolPanelSections::Add()
{
    return static_cast<TProToolPanelSection*>(TCollection::Add());
}

TProToolPanelSection* TProToolPanelSections::Items(int Index) const
{
    return static_cast<TProToolPanelSection*>(TCollection::Items(Index));
}

// ---------------------------------------------------------------- TSectionLayout
void TSectionLayout::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSectionLayout*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    TNotifyEvent keep = OnChange;
    *this = *s;
    OnChange = keep;
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------- geometry
int TProToolPanel::ContentTop() const
{
    return (Floating() || !FShowCaption) ? 1 : CaptionHeight;
}

int TProToolPanel::SectionCaptionHeight() const
{
    if (FSectionImages) {
        for (int i = 0; i < FSections->Count(); ++i)
            if (FSections->Items(i)->CaptionImageIndex() > -1)
                return std::max(16, FSectionImages->Height() + 2);
    }
    return 16;
}

TRect TProToolPanel::SectionRect(int Index) const
{
    int top = ContentTop();
    for (int i = 0; i < Index; ++i)
        top += FSections->Items(i)->Height();
    const int indent = FSectionLayout->Indent();
    return TRect(indent + 1, top, Width() - 1, top + FSections->Items(Index)->Height());
}

void TProToolPanel::SectionRows(int Index, int& X0, int& RowHeight) const
{
    X0 = 12;
    RowHeight = 0;
    if (FSectionImages) {
        TSectionItems* items = FSections->Items(Index)->SectionItems();
        for (int j = 0; j < items->Count(); ++j)
            if (items->Items(j)->ImageIndex() > -1) {
                X0 += FSectionImages->Width();
                RowHeight = FSectionImages->Height() + 2;
                break;
            }
    }
    RowHeight = std::max(RowHeight, TextHeightGh());
}

TRect TProToolPanel::ExpandBoxRect(int Index) const
{
    const int indent = FSectionLayout->Indent();
    const int t = SectionRect(Index).Top + (SectionCaptionHeight() - 8) / 2;
    return TRect(indent + 4, t, indent + 13, t + 9);
}

TCanvas* TProToolPanel::MeasureCanvas() const
{
    if (!FMeasure) {
        FMeasure = std::make_unique<TBitmap>();
        FMeasure->SetSize(1, 1);
    }
    TCanvas* c = FMeasure->Canvas();
    c->Font()->Assign(Font());
    return c;
}

int TProToolPanel::TextHeightGh() const
{
    return MeasureCanvas()->TextHeight("gh");
}

bool TProToolPanel::ItemAtPos(int X, int Y, int& SectionIndex, int& ItemIndex, TRect& ItemRect) const
{
    SectionIndex = -1;
    ItemIndex = -1;
    ItemRect = TRect(-1, -1, -1, -1);
    const int indent = FSectionLayout->Indent();
    const int ch = SectionCaptionHeight();
    TCanvas* mc = MeasureCanvas();
    for (int s = 0; s < FSections->Count(); ++s) {
        TProToolPanelSection* sec = FSections->Items(s);
        const TRect r = SectionRect(s);
        if (Y < r.Top || Y > r.Bottom || !sec->Expanded())
            continue;
        int x0, rh;
        SectionRows(s, x0, rh);
        TSectionItems* items = sec->SectionItems();
        for (int j = 0; j < items->Count(); ++j) {
            TSectionItem* it = items->Items(j);
            if (it->IsSeparator())
                continue;
            const int imgW = (FSectionImages && it->ImageIndex() > -1) ? FSectionImages->Width() : 0;
            const int left = x0 - imgW + indent;
            const int right = x0 + indent + mc->TextWidth(it->Caption());
            const int top = r.Top + ch + 4 + j * rh;
            if (X >= left && X < right && Y >= top && Y < top + rh) {
                SectionIndex = s;
                ItemIndex = j;
                ItemRect = TRect(indent + 1, top, Width() - 1, top + rh);
                return true;
            }
        }
    }
    return false;
}

void TProToolPanel::LayoutChanged(TObject*)
{
    for (int i = 0; i < FSections->Count(); ++i)
        if (FSections->Items(i)->Autosize())
            FSections->Items(i)->SetAutosize(true);
    Invalidate();
}

// ---------------------------------------------------------------- painting
namespace {

// Puts back the pixels outside a quarter of a 16 x 16 ellipse at a top corner.
void RoundTopCorner(TCanvas* C, TCanvas* Saved, int X, int Y, bool Left)
{
    const double r = 8.0;
    for (int dy = 0; dy < 8; ++dy)
        for (int dx = 0; dx < 8; ++dx) {
            // Distance of the pixel centre from the ellipse centre.
            const double ex = Left ? (r - (dx + 0.5)) : (dx + 0.5);
            const double ey = r - (dy + 0.5);
            if (ex * ex + ey * ey > r * r) {
                const int px = Left ? X + dx : X - 8 + dx;
                C->SetPixels(px, Y + dy, Saved->Pixels(dx, dy));
            }
        }
}

} // namespace

void TProToolPanel::PaintSections(TCanvas* C)
{
    TSectionLayout* L = FSectionLayout.get();
    const int indent = L->Indent();
    const int spacing = L->Spacing();
    const int ch = SectionCaptionHeight();
    const int w = Width();
    for (int s = 0; s < FSections->Count(); ++s) {
        TProToolPanelSection* sec = FSections->Items(s);
        if (!sec->Draw())
            continue;
        const int y = SectionRect(s).Top;
        // Caption band.
        if (L->CaptionColor() != clNone) {
            const TRect band(indent + 1, y, w - 2, y + ch + 1);
            const bool roundL = L->Corners() == scRoundLeft || L->Corners() == scRoundLeftRight;
            const bool roundR = L->Corners() == scRoundRight || L->Corners() == scRoundLeftRight;
            TBitmap savedL, savedR;
            if (roundL || roundR) {
                savedL.SetSize(8, 8);
                savedR.SetSize(8, 8);
                for (int dy = 0; dy < 8; ++dy)
                    for (int dx = 0; dx < 8; ++dx) {
                        savedL.Canvas()->SetPixels(dx, dy, C->Pixels(band.Left + dx, band.Top + dy));
                        savedR.Canvas()->SetPixels(dx, dy, C->Pixels(band.Right - 8 + dx, band.Top + dy));
                    }
            }
            ToolPanelGradient(C, L->CaptionColor(), L->CaptionColorTo(), L->CaptionGradientDir() == gdHorizontal,
                              band, 48);
            if (roundL)
                RoundTopCorner(C, savedL.Canvas(), band.Left, band.Top, true);
            if (roundR)
                RoundTopCorner(C, savedR.Canvas(), band.Right, band.Top, false);
        }
        if (L->UnderLineCaption()) {
            C->Pen()->SetColor(L->BorderColor());
            C->Pen()->SetWidth(L->BorderWidth());
            C->MoveTo(indent + 1, y + ch);
            C->LineTo(w - 2, y + ch);
            C->Pen()->SetWidth(1);
        }
        int offset = 0;
        if (sec->Node()) {
            const TRect box = ExpandBoxRect(s);
            if (L->BackGroundColor() != clNone && L->BackGroundColorTo() != clNone)
                ToolPanelGradient(C, L->BackGroundColor(), L->BackGroundColorTo(), false, box, 16);
            C->Brush()->SetStyle(bsClear);
            C->Pen()->SetColor(0x808080);
            C->RoundRect(box.Left, box.Top, box.Right, box.Bottom, 3, 3);
            C->Pen()->SetColor(clBlack);
            if (sec->Expanded()) {
                C->MoveTo(box.Left + 2, box.Top + 4);
                C->LineTo(box.Left + 7, box.Top + 4);
            } else {
                // A plus of two short strokes in the box.
                C->MoveTo(box.Left + 2, box.Top + 4);
                C->LineTo(box.Left + 7, box.Top + 4);
                C->MoveTo(box.Left + 4, box.Top + 2);
                C->LineTo(box.Left + 4, box.Top + 7);
            }
            offset = 12;
        }
        if (FSectionImages && sec->CaptionImageIndex() > -1) {
            FSectionImages->Draw(C, indent + offset + 2, y + 2, sec->CaptionImageIndex());
            offset += FSectionImages->Width();
        }
        C->Brush()->SetStyle(bsClear);
        C->Font()->Assign(Font());
        C->Font()->SetColor(L->CaptionFontColor());
        C->TextOut(indent + offset + 4, y + (ch - C->TextHeight(sec->Caption())) / 2, sec->Caption());

        if (!sec->Expanded())
            continue;
        const int h = sec->Height();
        if (L->BackGroundColor() != clNone) {
            const TRect body(indent + 1, y + ch + 1, w - 1, y + h - spacing);
            ToolPanelFill(C, L->BackGroundColor(), L->BackGroundColorTo(), L->BackGroundGradientDir() == gdHorizontal,
                          body, 128);
        }
        if (L->BorderColor() != clNone && L->BorderWidth() >= 1) {
            C->Pen()->SetColor(L->BorderColor());
            C->Pen()->SetWidth(L->BorderWidth());
            C->MoveTo(indent + 1, y + ch + 1);
            C->LineTo(w - 1, y + ch + 1);
            C->MoveTo(indent + 1, y + ch + 1);
            C->LineTo(indent + 1, y + h - 1 - spacing);
            C->LineTo(w - 1, y + h - 1 - spacing);
            C->Pen()->SetWidth(1);
        }
        int x0, rh;
        SectionRows(s, x0, rh);
        C->Font()->Assign(Font());
        const int th = C->TextHeight("gh");
        TSectionItems* items = sec->SectionItems();
        for (int j = 0; j < items->Count(); ++j) {
            const int rowTop = y + ch + std::max(4, (rh - th) / 2) + j * rh;
            if (rowTop >= y + h - spacing)
                break;
            TSectionItem* it = items->Items(j);
            const int imgW = FSectionImages ? FSectionImages->Width() : 0;
            if (it->IsSeparator()) {
                const int ly = y + ch + std::max(10, rh / 2 + 2) + j * rh;
                const bool withImages = x0 > 12;
                C->Pen()->SetColor(L->BorderColor());
                C->Pen()->SetWidth(L->BorderWidth());
                C->MoveTo(withImages ? indent + x0 - imgW - 2 : indent + x0, ly);
                C->LineTo(w - 2, ly);
                C->Pen()->SetWidth(1);
                continue;
            }
            if (FSectionImages && it->ImageIndex() > -1)
                FSectionImages->Draw(C, indent + x0 - imgW - 2, y + ch + 4 + j * rh, it->ImageIndex(), it->Enabled());
            C->Brush()->SetStyle(bsClear);
            if (!it->Enabled()) {
                C->Font()->SetColor(0x808080);
                C->Font()->SetStyle(0);
            } else if (s == FHoverSection && j == FHoverItem) {
                C->Font()->SetColor(L->ItemHoverTextColor());
                C->Font()->SetStyle(L->ItemHoverUnderline() ? TFontStyles(fsUnderline) : TFontStyles(0));
            } else {
                C->Font()->SetColor(L->ItemFontColor());
                C->Font()->SetStyle(0);
            }
            TRect tr(indent + x0, rowTop, w - 2, rowTop + rh);
            DrawText(C, it->Caption(), -1, tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
}

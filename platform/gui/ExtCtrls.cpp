#include "platform/gui/ExtCtrls.h"

#include <algorithm>

#include "platform/core/SysUtils.h"

// ---------------------------------------------------------------- frames
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetStyle(psSolid);
    for (int i = 0; i < Width; ++i) {
        int l = Rect.Left, t = Rect.Top, r = Rect.Right - 1, b = Rect.Bottom - 1;
        Canvas->Pen()->SetColor(TopColor);
        Canvas->MoveTo(l, b);
        Canvas->LineTo(l, t);
        Canvas->LineTo(r, t);
        Canvas->Pen()->SetColor(BottomColor);
        Canvas->LineTo(r, b);
        Canvas->LineTo(l - 1, b);
        Rect.Left += 1; Rect.Top += 1; Rect.Right -= 1; Rect.Bottom -= 1;
    }
}

namespace {
void BevelColors(TBevelCut cut, TColor& top, TColor& bottom)
{
    top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
}
}  // namespace

// ---------------------------------------------------------------- TCustomPanel
TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque | csReplicatable);
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

int TCustomPanel::FrameWidth() const
{
    int w = FBorderWidth + (FBorderStyle == bsSingle ? 1 : 0);
    if (FBevelOuter != bvNone)
        w += FBevelWidth;
    if (FBevelInner != bvNone)
        w += FBevelWidth;
    return w;
}

void TCustomPanel::AlignControls(TControl* AControl, TRect& Rect)
{
    int w = FrameWidth();
    Rect.Left += w; Rect.Top += w; Rect.Right -= w; Rect.Bottom -= w;
    TCustomControl::AlignControls(AControl, Rect);
}

void TCustomPanel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (FBorderStyle == bsSingle)
        Frame3D(c, r, clWindowFrame, clWindowFrame, 1);
    TColor top, bottom;
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    Frame3D(c, r, Color(), Color(), FBorderWidth);
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    AnsiString text = Caption();
    if (text.empty())
        return;
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    unsigned flags = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS;
    flags |= FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
    DrawText(c, text, -1, r, flags);
}

void TCustomPanel::CMTextChanged(TMessage& Message)
{
    Invalidate();
    TCustomControl::CMTextChanged(Message);
}

void TCustomPanel::SetBevelInner(TBevelCut v) { FBevelInner = v; Realign(); Invalidate(); }
void TCustomPanel::SetBevelOuter(TBevelCut v) { FBevelOuter = v; Realign(); Invalidate(); }
void TCustomPanel::SetBevelWidth(int v) { FBevelWidth = std::max(1, v); Realign(); Invalidate(); }
void TCustomPanel::SetBorderWidth(int v) { FBorderWidth = std::max(0, v); Realign(); Invalidate(); }
void TCustomPanel::SetBorderStyle(TBorderStyle v) { FBorderStyle = v; Realign(); Invalidate(); }
void TCustomPanel::SetAlignment(TAlignment v) { FAlignment = v; Invalidate(); }

// ---------------------------------------------------------------- TImage
TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    SetControlStyle(ControlStyle() | csReplicatable);
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = [this](TObject* s) { PictureChanged(s); };
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::PictureChanged(TObject*)
{
    if (TGraphic* g = FPicture->Graphic()) {
        if (FTransparent != g->Transparent())
            g->SetTransparent(FTransparent);
        if (FAutoSize && g->Width() > 0 && g->Height() > 0)
            SetBounds(Left(), Top(), g->Width(), g->Height());
    }
    Invalidate();
}

TRect TImage::DestRect() const
{
    int pw = FPicture->Width(), ph = FPicture->Height();
    int cw = ClientWidth(), ch = ClientHeight();
    int w = pw, h = ph;
    if (FStretch || (FProportional && (pw > cw || ph > ch))) {
        if (FProportional && pw > 0 && ph > 0) {
            if (double(cw) / pw < double(ch) / ph) {
                w = cw;
                h = int(double(ph) * cw / pw);
            } else {
                h = ch;
                w = int(double(pw) * ch / ph);
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r(0, 0, w, h);
    if (FCenter) {
        int dx = (cw - w) / 2, dy = (ch - h) / 2;
        r = TRect(dx, dy, dx + w, dy + h);
    }
    return r;
}

void TImage::Paint()
{
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty())
        return;
    TRect r = DestRect();
    if (r.Width() == g->Width() && r.Height() == g->Height())
        Canvas()->Draw(r.Left, r.Top, g);
    else
        Canvas()->StretchDraw(r, g);
}

void TImage::SetStretch(bool v) { FStretch = v; Invalidate(); }
void TImage::SetCenter(bool v) { FCenter = v; Invalidate(); }
void TImage::SetProportional(bool v) { FProportional = v; Invalidate(); }
void TImage::SetTransparent(bool v) { FTransparent = v; PictureChanged(this); }
void TImage::SetAutoSize(bool v) { FAutoSize = v; PictureChanged(this); }

// ---------------------------------------------------------------- TShape
TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
    SetControlStyle(ControlStyle() | csReplicatable);
    SetBounds(0, 0, 65, 65);
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape()
{
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
}

void TShape::SetShape(TShapeType v)
{
    FShape = v;
    Invalidate();
}

void TShape::Paint()
{
    TCanvas* c = Canvas();
    c->SetPen(FPen.get());
    c->SetBrush(FBrush.get());
    int pw = FPen->Width();
    int x = pw / 2, y = x;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    if (w < h && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
        y += (h - w) / 2;
        h = w;
    } else if (h < w && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
        x += (w - h) / 2;
        w = h;
    }
    int s = std::min(w, h) / 4;
    switch (FShape) {
    case stRectangle: case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect: case stRoundSquare: c->RoundRect(x, y, x + w, y + h, s, s); break;
    case stEllipse: case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}

// ---------------------------------------------------------------- TBevel
TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetControlStyle(ControlStyle() | csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v) { FShape = v; Invalidate(); }
void TBevel::SetStyle(TBevelStyle v) { FStyle = v; Invalidate(); }

void TBevel::Paint()
{
    TCanvas* c = Canvas();
    TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    int w = Width(), h = Height();
    auto line = [&](TColor col, int x1, int y1, int x2, int y2) {
        c->Pen()->SetColor(col);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    TRect r(0, 0, w, h);
    switch (FShape) {
    case bsBox: Frame3D(c, r, c1, c2, 1); break;
    case bsFrame: {
        TRect inner(1, 1, w, h);
        Frame3D(c, inner, c2, c2, 1);
        TRect outer(0, 0, w - 1, h - 1);
        Frame3D(c, outer, c1, c1, 1);
        break;
    }
    case bsTopLine: line(c1, 0, 0, w, 0); line(c2, 0, 1, w, 1); break;
    case bsBottomLine: line(c1, 0, h - 2, w, h - 2); line(c2, 0, h - 1, w, h - 1); break;
    case bsLeftLine: line(c1, 0, 0, 0, h); line(c2, 1, 0, 1, h); break;
    case bsRightLine: line(c1, w - 2, 0, w - 2, h); line(c2, w - 1, 0, w - 1, h); break;
    case bsSpacer: break;
    }
}

// ---------------------------------------------------------------- TNotebook
class TNotebookPages : public TStrings {
public:
    explicit TNotebookPages(TNotebook* N) : FN(N) {}
    int GetCount() const override { return int(FN->FPageList.size()); }
    AnsiString Get(int Index) const override { return FN->Page(Index)->Caption(); }
    void Put(int Index, const AnsiString& S) override { FN->Page(Index)->SetCaption(S); }
    TObject* GetObject(int Index) const override { return FN->Page(Index); }
    void Insert(int Index, const AnsiString& S) override
    {
        if (Index < 0 || Index > GetCount())
            Error("List index out of bounds (%d)", Index);
        auto* page = new TPage(FN);
        page->SetCaption(S);
        FN->FPageList.insert(FN->FPageList.begin() + Index, page);
        page->SetParent(FN);
        if (FN->FPageIndex >= Index && FN->FPageIndex >= 0 && GetCount() > 1)
            ++FN->FPageIndex;
        if (FN->FPageIndex < 0)
            FN->SetPageIndex(0);
    }
    void Delete(int Index) override
    {
        TPage* page = FN->Page(Index);
        delete page;   // PageGone takes it off the list and moves the active page
    }
    void Clear() override
    {
        FN->FPageIndex = -1;   // no page shows while they go
        while (!FN->FPageList.empty())
            delete FN->FPageList.back();
    }

private:
    TNotebook* FN;
};

TPage::TPage(TNotebook* ANotebook) : TCustomControl(ANotebook), FNotebook(ANotebook)
{
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetVisible(false);
    SetAlign(alClient);
    SetParentColor(true);
}

TPage::~TPage()
{
    if (FNotebook)
        FNotebook->PageGone(this);
}

TNotebook::TNotebook(TComponent* AOwner) : TCustomControl(AOwner), FPages(std::make_unique<TNotebookPages>(this))
{
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 150, 150);
    FPages->Add("Default");
}

TNotebook::~TNotebook()
{
    // The pages go with the window as children; they no longer report back.
    for (TPage* p : FPageList)
        p->FNotebook = nullptr;
    FPageList.clear();
}

TPage* TNotebook::Page(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FPageList[size_t(Index)];
}

void TNotebook::PageGone(TPage* Page)
{
    auto pos = std::find(FPageList.begin(), FPageList.end(), Page);
    if (pos == FPageList.end())
        return;
    int index = int(pos - FPageList.begin());
    FPageList.erase(pos);
    if (FPageIndex == index) {
        // The shown page went: the first one shows instead.
        FPageIndex = -1;
        if (!FPageList.empty() && !(ComponentState() & csDestroying))
            SetPageIndex(0);
    } else if (FPageIndex > index) {
        --FPageIndex;
    }
}

void TNotebook::SetPageIndex(int v)
{
    if (v == FPageIndex || v < 0 || v >= PageCount())
        return;
    TPage* shown = FPageList[size_t(v)];
    shown->BringToFront();
    shown->SetVisible(true);
    for (TPage* p : FPageList)
        if (p != shown)
            p->SetVisible(false);
    FPageIndex = v;
    if (OnPageChanged)
        OnPageChanged(this);
}

AnsiString TNotebook::ActivePage() const
{
    return FPageIndex >= 0 ? FPageList[size_t(FPageIndex)]->Caption() : AnsiString();
}

void TNotebook::SetActivePage(const AnsiString& v)
{
    int index = FPages->IndexOf(v);
    if (index >= 0)
        SetPageIndex(index);
}

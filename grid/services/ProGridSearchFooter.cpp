// The search footer: its settings, the panel under the grid with the search edit, the find
// next / previous, highlight and close buttons and the match-case box, and the grid's answers to them.
#include <algorithm>
#include <utility>

#include "grid/ProGrid.h"
#include "grid/ProObj.h"
#include "grid/ProUtilDraw.h"
#include "platform/gui/Forms.h"

namespace {
constexpr TColor kGlyphKey = 0xFF00FF;   // transparent colour of the panel's glyphs

void GlyphStart(TBitmap* B, int Size)
{
    B->SetSize(Size, Size);
    B->Canvas()->Brush()->SetColor(kGlyphKey);
    B->Canvas()->FillRect(TRect(0, 0, Size, Size));
    B->SetTransparent(true);
}

TBitmapBuilder ArrowGlyph(bool Down, TColor Color)
{
    return [=](TBitmap* B) {
        GlyphStart(B, 16);
        TCanvas* c = B->Canvas();
        c->Brush()->SetColor(Color);
        c->Pen()->SetColor(Color);
        if (Down) {
            TPoint p[] = {TPoint(6, 3), TPoint(9, 3), TPoint(9, 8), TPoint(12, 8), TPoint(7, 13), TPoint(3, 8),
                          TPoint(6, 8)};
            c->Polygon(p, 7);
        } else {
            TPoint p[] = {TPoint(6, 12), TPoint(9, 12), TPoint(9, 7), TPoint(12, 7), TPoint(7, 2), TPoint(3, 7),
                          TPoint(6, 7)};
            c->Polygon(p, 7);
        }
    };
}

TBitmapBuilder CloseGlyph(TColor Color)
{
    return [=](TBitmap* B) {
        GlyphStart(B, 14);
        TCanvas* c = B->Canvas();
        c->Pen()->SetColor(Color);
        c->Pen()->SetWidth(2);
        c->MoveTo(3, 3);
        c->LineTo(10, 10);
        c->MoveTo(10, 3);
        c->LineTo(3, 10);
    };
}

TBitmapBuilder HighlightGlyph(TColor Color)
{
    return [=](TBitmap* B) {
        GlyphStart(B, 16);
        TCanvas* c = B->Canvas();
        c->Brush()->SetColor(Color);
        c->Pen()->SetColor(TColor(0x404040));
        c->Rectangle(2, 4, 14, 12);
        c->Font()->SetSize(7);
        c->Brush()->SetStyle(bsClear);
        c->TextOut(5, 3, "a");
    };
}

bool RegisterSearchGlyphs()
{
    RegisterResourceBitmap("PSGARDOWN", ArrowGlyph(true, TColor(0x9C5A28)));
    RegisterResourceBitmap("PSGARDOWND", ArrowGlyph(true, TColor(0x999999)));
    RegisterResourceBitmap("PSGARUP", ArrowGlyph(false, TColor(0x9C5A28)));
    RegisterResourceBitmap("PSGARUPD", ArrowGlyph(false, TColor(0x999999)));
    RegisterResourceBitmap("PSGCLOSE", CloseGlyph(TColor(0x606060)));
    RegisterResourceBitmap("PSGCLOSEH", CloseGlyph(TColor(0x0000C0)));
    RegisterResourceBitmap("PSGCLOSED", CloseGlyph(TColor(0x000080)));
    RegisterResourceBitmap("PSGHI", HighlightGlyph(TColor(0x00FFFF)));
    RegisterResourceBitmap("PSGHID", HighlightGlyph(TColor(0xC0C0C0)));
    return true;
}

void LoadGlyph(TBitmap* Target, const AnsiString& Name)
{
    static bool registered = RegisterSearchGlyphs();
    (void)registered;
    Target->LoadFromResourceName(Name);
}

TProGridButton* MakeButton(TSearchPanel* Panel, const AnsiString& Normal, const AnsiString& Down,
                           const AnsiString& Hot = AnsiString())
{
    auto* b = new TProGridButton(Panel);
    b->SetParent(Panel);
    b->SetMargin(3);
    b->SetSpacing(2);
    TBitmap bmp;
    LoadGlyph(&bmp, Normal);
    b->SetGlyph(&bmp);
    if (!Hot.empty()) {
        LoadGlyph(&bmp, Hot);
        b->SetGlyphHot(&bmp);
    }
    LoadGlyph(&bmp, Down);
    b->SetGlyphDisabled(&bmp);
    b->SetGlyphDown(&bmp);
    return b;
}

void SetButtonHint(TControl* C, const AnsiString& Hint)
{
    C->SetHint(Hint);
    C->SetShowHint(!Hint.empty());
}
} // namespace

// ---------------------------------------------------------------- TSearchFooter
TSearchFooter::TSearchFooter(TProStringGrid* AGrid) : FGrid(AGrid), FFont(std::make_unique<TFont>())
{
    FFont->OnChange = [this](TObject*) { Changed(); };
}

TSearchFooter::~TSearchFooter() = default;

void TSearchFooter::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSearchFooter*>(Source);
    if (!s)
        return;
    const bool autoSearch = FV.AutoSearch, fixedCells = FV.SearchFixedCells;
    FV = s->FV;
    FV.AutoSearch = autoSearch;
    FV.SearchFixedCells = fixedCells;
    FFont->Assign(s->FFont.get());
    Changed();
}

void TSearchFooter::SetFont(TFont* Value)
{
    FFont->Assign(Value);
    Changed();
}

// ---------------------------------------------------------------- TRetEdit
TRetEdit::TRetEdit(TSearchPanel* APanel) : TEdit(APanel), FPanel(APanel)
{
}

void TRetEdit::WMGetDlgCode(TMessage& Message)
{
    TEdit::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTALLKEYS;
}

void TRetEdit::KeyDown(Word& Key, TShiftState Shift)
{
    FReturnDown = Key == VK_RETURN;
    if (Key == VK_RETURN) {
        Key = 0;
        if (FPanel->OnFindNext)
            FPanel->OnFindNext(FPanel);
        return;
    }
    TEdit::KeyDown(Key, Shift);
}

// A Return character is swallowed; one that came without its key down runs find next itself.
void TRetEdit::KeyPress(char& Key)
{
    if (Key == 13) {
        Key = 0;
        if (!std::exchange(FReturnDown, false) && FPanel->OnFindNext)
            FPanel->OnFindNext(FPanel);
        return;
    }
    TEdit::KeyPress(Key);
}

// ---------------------------------------------------------------- TSearchPanel
TSearchPanel::TSearchPanel(TProStringGrid* AGrid) : TCustomControl(AGrid), FGrid(AGrid)
{
    SetColor(clWhite);
}

void TSearchPanel::MakeParts()
{
    if (FEdit)
        return;
    FEdit = new TRetEdit(this);
    FEdit->SetParent(this);
    FEdit->OnChange = [this](TObject*) { EditChanged(); };
    FFindNext = MakeButton(this, "PSGARDOWN", "PSGARDOWND");
    FFindNext->OnClick = [this](TObject*) {
        if (OnFindNext)
            OnFindNext(this);
    };
    FFindPrev = MakeButton(this, "PSGARUP", "PSGARUPD");
    FFindPrev->OnClick = [this](TObject*) {
        if (OnFindPrevious)
            OnFindPrevious(this);
    };
    FClose = MakeButton(this, "PSGCLOSE", "PSGCLOSED", "PSGCLOSEH");
    FClose->SetShowCaption(false);
    FClose->OnClick = [this](TObject*) {
        if (OnClose)
            OnClose(this);
    };
    FHighlight = MakeButton(this, "PSGHI", "PSGHID");
    FHighlight->SetStyle(tasCheck);
    FHighlight->OnClick = [this](TObject*) {
        if (OnHighlight)
            OnHighlight(this);
    };
    FMatchCase = new TCheckBox(this);
    FMatchCase->SetParent(this);
    for (TProGridButton* b : {FFindNext, FFindPrev, FHighlight})
        b->SetEnabled(false);
    LayoutControls();
    if (OnPartsMade)
        OnPartsMade(this);
}

void TSearchPanel::LayoutControls()
{
    if (!FEdit)
        return;
    // Left to right with 5 pixels between; a button is at least 90 pixels wide and wider when its
    // caption needs it.
    FClose->SetBounds(5, 7, 14, 14);
    FEdit->SetBounds(25, 6, 110, FEdit->Height());
    int x = 140;
    for (TProGridButton* b : {FFindNext, FFindPrev, FHighlight}) {
        const int w = std::max(90, b->FitWidth());
        b->SetBounds(x, 5, w, b->Visible() ? 23 : 0);
        if (b != FHighlight || b->Visible())
            x += w + 5;
    }
    FMatchCase->SetBounds(x, 8, std::max(FMatchCase->Width(), 120), FMatchCase->Visible() ? 17 : 0);
}

void TSearchPanel::EditChanged()
{
    const bool any = !FEdit->Text().empty();
    for (TProGridButton* b : {FFindNext, FFindPrev, FHighlight})
        b->SetEnabled(any);
    if (OnEditChange)
        OnEditChange(this);
}

void TSearchPanel::Paint()
{
    TCanvas* c = Canvas();
    if (FColorTo == clNone) {
        c->Brush()->SetColor(Color());
        c->FillRect(ClientRect());
    } else {
        DrawGradient(c, Color(), FColorTo, false, ClientRect(), 32);
    }
}

// ---------------------------------------------------------------- the grid's side
void TProStringGrid::InitFindAndFooters()
{
    FSearchFooter->OnChange = [this](TObject*) { ApplySearchFooter(); };
    FSearchPanel->OnEditChange = [this](TObject*) { SearchEditChanged(); };
    FSearchPanel->OnFindNext = [this](TObject*) { SearchFindNext(false); };
    FSearchPanel->OnFindPrevious = [this](TObject*) { SearchFindNext(true); };
    FSearchPanel->OnHighlight = [this](TObject*) { SearchHighlightToggled(); };
    FSearchPanel->OnClose = [this](TObject*) { SearchFooterClosed(); };
    FSearchPanel->OnPartsMade = [this](TObject*) { ApplySearchFooter(); };
    ApplySearchFooter();
}

void TProStringGrid::ApplySearchFooter()
{
    TSearchPanel* p = FSearchPanel;
    TSearchFooter* f = FSearchFooter.get();
    if (!p)
        return;
    if (!p->PartsMade()) {
        // A panel that has never shown keeps only its own looks; its parts, once made, take
        // the whole footer (OnPartsMade comes back here).
        if (f->Visible()) {
            p->MakeParts();
            return;
        }
        p->SetColor(f->Color());
        p->SetColorTo(f->ColorTo());
        p->SetVisible(false);
        p->Font()->Assign(f->Font());
        p->SetHeight(0);
        return;
    }
    if (p->Visible() && p->HighlightButton()->Down() && !f->Visible())
        UnHighlightInGrid(false);
    p->SetColor(f->Color());
    p->SetColorTo(f->ColorTo());
    p->SetVisible(f->Visible());
    p->FindNextButton()->SetCaption(f->FindNextCaption());
    p->FindPrevButton()->SetCaption(f->FindPrevCaption());
    p->MatchCaseBox()->SetCaption(f->MatchCaseCaption());
    p->HighlightButton()->SetCaption(f->HighLightCaption());
    SetButtonHint(p->CloseButton(), f->HintClose());
    SetButtonHint(p->FindPrevButton(), f->HintFindPrev());
    SetButtonHint(p->HighlightButton(), f->HintHighlight());
    SetButtonHint(p->FindNextButton(), f->HintFindNext());
    p->Font()->Assign(f->Font());
    for (TControl* c : {static_cast<TControl*>(p->FindNextButton()), static_cast<TControl*>(p->FindPrevButton()),
                        static_cast<TControl*>(p->HighlightButton()), static_cast<TControl*>(p->CloseButton()),
                        static_cast<TControl*>(p->MatchCaseBox())})
        c->Font()->Assign(f->Font());
    // Button style by the look: flat for the flat look, themed for the themed one.
    for (TProGridButton* b : {p->FindNextButton(), p->FindPrevButton(), p->HighlightButton()}) {
        if (f->AutoThemeAdapt()) {
            b->SetAutoThemeAdapt(true);
            b->SetFlat(true);
        } else {
            b->SetAutoThemeAdapt(false);
            b->SetFlat(Look() == glSoft);
            b->SetAutoXPStyle(Look() == glXP || Look() == glVista);
        }
    }
    p->HighlightButton()->SetVisible(f->ShowHighLight());
    p->CloseButton()->SetVisible(f->ShowClose());
    p->MatchCaseBox()->SetVisible(f->ShowMatchCase());
    p->FindNextButton()->SetVisible(f->ShowFindNext());
    p->FindPrevButton()->SetVisible(f->ShowFindPrev());
    p->LayoutControls();
    p->SetHeight(f->Visible() ? 32 : 0);
    if (f->Visible())
        ScrollAboveSearchFooter();
}

namespace {
// The flags both the typed search and find next / previous take from the panel.
Word PanelFindFlags(TProStringGrid* Grid)
{
    TSearchPanel* p = Grid->SearchPanel();
    TSearchFooter* f = Grid->SearchFooter();
    Word flags = TProStringGrid::fnAutoGoto;
    if (p->HighlightButton()->Down())
        flags |= TProStringGrid::fnIgnoreHTMLTags;
    if (p->MatchCaseBox()->Checked())
        flags |= TProStringGrid::fnMatchCase;
    if (f->SearchActiveColumnOnly())
        flags |= TProStringGrid::fnFindInCurrentCol;
    if (f->SearchMatchStart())
        flags |= TProStringGrid::fnMatchStart;
    if (f->SearchColumn() >= 0 && f->SearchColumn() < Grid->ColCount()) {
        flags |= TProStringGrid::fnFindInPresetCol;
        Grid->SetSearchCol(f->SearchColumn());
    }
    return flags;
}

// Keeps the found row out from under the search panel.
void ScrollFoundAboveFooter(TProStringGrid* Grid)
{
    if (Grid->Row() > Grid->TopRow() + Grid->VisibleRowCount() - 2 &&
        Grid->RowCount() > Grid->VisibleRowCount() + Grid->FixedRows())
        Grid->SetTopRow(std::min(Grid->TopRow() + 2, Grid->RowCount() - 1));
}
} // namespace

void TProStringGrid::SearchEditChanged()
{
    TSearchPanel* p = FSearchPanel;
    const AnsiString text = p->EditControl()->Text();
    bool defaultSearch = true;
    if (OnSearchEditChange)
        OnSearchEditChange(this, text, defaultSearch);
    if (!defaultSearch || !FSearchFooter->AutoSearch())
        return;
    Word flags = PanelFindFlags(this);
    if (FSearchFooter->SearchFixedCells())
        flags |= fnIncludeFixed;
    const bool highlight = p->HighlightButton()->Down();
    if (text.empty()) {
        p->EditControl()->SetColor(clWindow);
        UnHighlightInGrid(false);
    } else {
        TPoint found;
        FindFirstNext(TPoint(-1, -1), text, found, flags);
        FFind.LastFound = found;
        FFind.FooterText = text;
        SearchFooterAction(text, found.X, found.Y, saFindFirst);
        if (found.X >= 0) {
            p->EditControl()->SetColor(clWindow);
            ScrollInView(found.X, Row());
            if (highlight) {
                UnHighlightInGrid(false);
                HighlightInGrid(false, false, text);
            }
        } else {
            p->EditControl()->SetColor(TColor(0x0000FF));
            UnHighlightInGrid(false);
        }
    }
    ScrollFoundAboveFooter(this);
}

void TProStringGrid::SearchFindNext(bool Backward)
{
    TSearchPanel* p = FSearchPanel;
    const AnsiString text = p->EditControl()->Text();
    if (!FSearchFooter->AutoSearch() && text != FFind.FooterText) {
        FFind.LastFound = TPoint(-1, -1);
        FFind.FooterText = text;
    }
    Word flags = PanelFindFlags(this) | (Backward ? fnBackward : 0);
    TPoint found;
    FindFirstNext(FFind.LastFound, text, found, flags);
    FFind.LastFound = found;
    ScrollFoundAboveFooter(this);
    if (found.X >= 0)
        ScrollInView(found.X, Row());
    SearchFooterAction(text, found.X, found.Y, Backward ? saFindPrevious : saFindNext);
    if (p->EditControl()->CanFocus())
        p->EditControl()->SetFocus();
}

void TProStringGrid::SearchHighlightToggled()
{
    TSearchPanel* p = FSearchPanel;
    UnHighlightInGrid(false);
    if (p->HighlightButton()->Down() && !p->EditControl()->Text().empty())
        HighlightInGrid(false, false, p->EditControl()->Text());
}

void TProStringGrid::SearchFooterClosed()
{
    if (OnSearchFooterClose)
        OnSearchFooterClose(this);
    FSearchFooter->SetVisible(false);
}

bool TProStringGrid::FocusSearchEdit()
{
    if (!FSearchFooter->Visible() || !FSearchPanel->EditControl()->CanFocus())
        return false;
    FSearchPanel->EditControl()->SetFocus();
    return true;
}

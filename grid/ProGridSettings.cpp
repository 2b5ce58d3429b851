// The grid's option groups: defaults, Assign and the setters that act.
#include "grid/ProGridSettings.h"

#include "grid/ProGrid.h"
#include "grid/ProObj.h"

void RepaintOwnerGrid(TProStringGrid* Grid)
{
    if (Grid)
        Grid->Invalidate();
}

namespace {
// Copies the published values of a source of the same class; another class is ignored.
template <class T>
T* SameClass(TPersistent* Source)
{
    return dynamic_cast<T*>(Source);
}
}

// ---------------------------------------------------------------- TCellNode
TCellNode::TCellNode(TProStringGrid* AOwner)
    : FOwner(AOwner), FExpandGlyph(std::make_unique<TBitmap>()), FContractGlyph(std::make_unique<TBitmap>())
{
}

TCellNode::~TCellNode() = default;

void TCellNode::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TCellNode>(Source)) {
        FV = s->FV;
        FExpandGlyph->Assign(s->FExpandGlyph.get());
        FContractGlyph->Assign(s->FContractGlyph.get());
    }
}

// ---------------------------------------------------------------- TSizeWhileTyping
void TSizeWhileTyping::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TSizeWhileTyping>(Source))
        FV = s->FV;
}

// ---------------------------------------------------------------- TMouseActions
void TMouseActions::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TMouseActions>(Source))
        FV = s->FV;
}

bool TMouseActions::Designing() const
{
    return FOwner && (FOwner->ComponentState() & csDesigning);
}

void TMouseActions::SetDisjunctRowSelect(bool v)
{
    FV.DisjunctRowSelect = v;
    if (v && Designing())
        FV.DisjunctColSelect = FV.DisjunctCellSelect = false;
}

void TMouseActions::SetDisjunctColSelect(bool v)
{
    FV.DisjunctColSelect = v;
    if (v && Designing())
        FV.DisjunctRowSelect = FV.DisjunctCellSelect = false;
}

void TMouseActions::SetDisjunctCellSelect(bool v)
{
    FV.DisjunctCellSelect = v;
    if (v && Designing())
        FV.DisjunctRowSelect = FV.DisjunctColSelect = false;
}

void TMouseActions::SetEditOnDblClickOnly(bool v)
{
    FV.EditOnDblClickOnly = v;
    if (v && FOwner)
        FOwner->SetOptions(FOwner->Options() & ~TGridOptions(goEditing));
}

void TMouseActions::SetHotmailRowSelect(bool v)
{
    FV.HotmailRowSelect = v;
    RepaintOwnerGrid(FOwner);
}

// ---------------------------------------------------------------- TColumnSize
void TColumnSize::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TColumnSize>(Source))
        FV = s->FV;
}

void TColumnSize::SetStretch(bool v)
{
    FV.Stretch = v;
    if (FOwner && FOwner->Parent())
        FOwner->StretchColumn(FV.StretchColumn);
}

// ---------------------------------------------------------------- TNavigation
void TNavigation::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TNavigation>(Source))
        FV = s->FV;
}

// ---------------------------------------------------------------- THTMLSettings
THTMLSettings::THTMLSettings() : FColWidths(std::make_unique<TIntList>(-1, -1)) {}
THTMLSettings::~THTMLSettings() = default;

void THTMLSettings::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<THTMLSettings>(Source))
        FV = s->FV;
}

// ---------------------------------------------------------------- TPrintSettings
TPrintSettings::TPrintSettings(TProStringGrid* AOwner)
    : FOwner(AOwner),
      FFont(std::make_unique<TFont>()),
      FFixedFont(std::make_unique<TFont>()),
      FHeaderFont(std::make_unique<TFont>()),
      FFooterFont(std::make_unique<TFont>()),
      FTitleLines(std::make_unique<TStringList>())
{
}

TPrintSettings::~TPrintSettings() = default;

void TPrintSettings::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TPrintSettings*>(Source);
    if (!s)
        throw EInvalidCast("Invalid class typecast");   // only print settings copy into print settings
    FV = s->FV;
    FFont->Assign(s->FFont.get());
    FFixedFont->Assign(s->FFixedFont.get());
    FHeaderFont->Assign(s->FHeaderFont.get());
    FFooterFont->Assign(s->FFooterFont.get());
    FTitleLines->Assign(s->FTitleLines.get());
}

// ---------------------------------------------------------------- TBackGround
TBackGround::TBackGround(TProStringGrid* AOwner) : FOwner(AOwner), FBitmap(std::make_unique<TBitmap>()) {}
TBackGround::~TBackGround() = default;

void TBackGround::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TBackGround>(Source)) {
        FV = s->FV;
        FBitmap->Assign(s->FBitmap.get());
    }
}

// ---------------------------------------------------------------- TBands
void TBands::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TBands>(Source)) {
        FV = s->FV;
        FPeriod = s->FPeriod;
    }
}

void TBands::SetPrimaryLength(int v)
{
    FV.PrimaryLength = v;
    FPeriod = FV.PrimaryLength + FV.SecondaryLength;
    RepaintActive();
}

void TBands::SetSecondaryLength(int v)
{
    FV.SecondaryLength = v;
    FPeriod = FV.PrimaryLength + FV.SecondaryLength;
    RepaintActive();
}

// ---------------------------------------------------------------- TFilter
void TFilterData::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TFilterData>(Source))
        FV = s->FV;
}

TFilter::TFilter(TProStringGrid* AOwner)
    : TOwnedCollection(AOwner, [](TCollection* c) -> TCollectionItem* { return new TFilterData(c); }),
      FGrid(AOwner)
{
}

// ---------------------------------------------------------------- TSortSettings
TSortSettings::TSortSettings(TProStringGrid* AOwner)
    : FOwner(AOwner),
      FUpGlyph(std::make_unique<TBitmap>()),
      FDownGlyph(std::make_unique<TBitmap>()),
      FIndexUpGlyph(std::make_unique<TBitmap>()),
      FIndexDownGlyph(std::make_unique<TBitmap>())
{
}

TSortSettings::~TSortSettings() = default;

void TSortSettings::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TSortSettings>(Source)) {
        FV = s->FV;
        FUpGlyph->Assign(s->FUpGlyph.get());
        FDownGlyph->Assign(s->FDownGlyph.get());
        FIndexUpGlyph->Assign(s->FIndexUpGlyph.get());
        FIndexDownGlyph->Assign(s->FIndexDownGlyph.get());
    }
}

void TSortSettings::SetRow(int v)
{
    if (FOwner && v > FOwner->FixedRows())
        throw Exception("Sort row should be smaller than number of fixed rows");
    FV.Row = v;
}

void TSortSettings::RepaintHeaderRow()
{
    if (FOwner && FOwner->FixedRows() > 0)
        FOwner->RepaintRow(FOwner->FixedRows() - 1);
}

void TSortSettings::SetHeader(TColor& Field, TColor Value)
{
    if (Field == Value)
        return;
    Field = Value;
    RepaintHeaderRow();
}

void TSortSettings::ResetSortIndicator()
{
    FV.Column = -1;
    if (FOwner) {
        FOwner->SortIndexes()->Clear();
        RepaintHeaderRow();
    }
}

// ---------------------------------------------------------------- TControlLook
TControlLook::TControlLook(TProStringGrid* AOwner)
    : FOwner(AOwner),
      FCheckedGlyph(std::make_unique<TBitmap>()),
      FUnCheckedGlyph(std::make_unique<TBitmap>()),
      FRadioOnGlyph(std::make_unique<TBitmap>()),
      FRadioOffGlyph(std::make_unique<TBitmap>())
{
}

TControlLook::~TControlLook() = default;

void TControlLook::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TControlLook>(Source)) {
        FV = s->FV;
        FCheckedGlyph->Assign(s->FCheckedGlyph.get());
        FUnCheckedGlyph->Assign(s->FUnCheckedGlyph.get());
        FRadioOnGlyph->Assign(s->FRadioOnGlyph.get());
        FRadioOffGlyph->Assign(s->FRadioOffGlyph.get());
    }
}

// The normal-state gradient goes through the grid's setters (RGB, repaint);
// hover and down colours are stored in the grid directly.
void TControlLook::SetFixedGradientFrom(TColor v)
{
    FV.FixedGradientFrom = v;
    if (v != clNone && FOwner)
        FOwner->SetLookFixedFrom(v);
}

void TControlLook::SetFixedGradientTo(TColor v)
{
    FV.FixedGradientTo = v;
    if (v != clNone && FOwner)
        FOwner->SetLookFixedTo(v);
}

void TControlLook::SetFixedGradientMirrorFrom(TColor v)
{
    FV.FixedGradientMirrorFrom = v;
    if (v != clNone && FOwner)
        FOwner->SetLookFixedMirrorFrom(v);
}

void TControlLook::SetFixedGradientMirrorTo(TColor v)
{
    FV.FixedGradientMirrorTo = v;
    if (v != clNone && FOwner)
        FOwner->SetLookFixedMirrorTo(v);
}

#define PSG_LOOK_DIRECT(Name, Field) \
    void TControlLook::Set##Name(TColor v) \
    { \
        FV.Name = v; \
        if (v != clNone && FOwner) \
            FOwner->LookColors().Field = v; \
    }
PSG_LOOK_DIRECT(FixedGradientHoverFrom, HoverFrom)
PSG_LOOK_DIRECT(FixedGradientHoverTo, HoverTo)
PSG_LOOK_DIRECT(FixedGradientHoverMirrorFrom, HoverMirrorFrom)
PSG_LOOK_DIRECT(FixedGradientHoverMirrorTo, HoverMirrorTo)
PSG_LOOK_DIRECT(FixedGradientHoverBorder, HoverBorder)
PSG_LOOK_DIRECT(FixedGradientDownFrom, DownFrom)
PSG_LOOK_DIRECT(FixedGradientDownTo, DownTo)
PSG_LOOK_DIRECT(FixedGradientDownMirrorFrom, DownMirrorFrom)
PSG_LOOK_DIRECT(FixedGradientDownMirrorTo, DownMirrorTo)
PSG_LOOK_DIRECT(FixedGradientDownBorder, DownBorder)
#undef PSG_LOOK_DIRECT

// ---------------------------------------------------------------- TGrouping
void TGrouping::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TGrouping>(Source))
        FV = s->FV;
}

// ---------------------------------------------------------------- TDragDropSettings
bool& RichTextDropAllowed()
{
    static bool allowed = false;
    return allowed;
}

void TDragDropSettings::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TDragDropSettings>(Source))
        FV = s->FV;
}

void TDragDropSettings::SetOleDropTarget(bool v)
{
    // The grid's window becomes a drop target (or stops being one). The value is kept whatever the
    // platform answers: a refused registration only leaves the grid without a registered target.
    FV.OleDropTarget = v;
    if (FOwner && !(FOwner->ComponentState() & csDesigning))
        FOwner->RegisterOleDropTarget(v);
}

void TDragDropSettings::SetOleDropRTF(bool v)
{
    FV.OleDropRTF = v;
    RichTextDropAllowed() = v;
}

// ---------------------------------------------------------------- TBalloonSettings
void TBalloonSettings::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TBalloonSettings>(Source))
        FV = s->FV;
}

void TBalloonSettings::SetEnable(bool v)
{
    FV.Enable = v;
    if (OnEnableChange)
        OnEnableChange(this);
}

// ---------------------------------------------------------------- TShowModified
void TShowModified::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TShowModified>(Source))
        FV = s->FV;
}

void TShowModified::SetColor(TColor v)
{
    FV.Color = v;
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------- drag scrolling
void TDragScrollDelays::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TDragScrollDelays>(Source))
        FV = s->FV;
}

void TDragScrollMargins::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TDragScrollMargins>(Source))
        FV = s->FV;
}

TDragScrollOptions::TDragScrollOptions()
    : FDelays(std::make_unique<TDragScrollDelays>()), FMargins(std::make_unique<TDragScrollMargins>())
{
}

TDragScrollOptions::~TDragScrollOptions() = default;

void TDragScrollOptions::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TDragScrollOptions>(Source)) {
        FV = s->FV;
        FDelays->Assign(s->FDelays.get());
        FMargins->Assign(s->FMargins.get());
    }
}

// ---------------------------------------------------------------- TGridProgressAppearance
void TGridProgressAppearance::Assign(TPersistent* Source)
{
    if (auto* s = SameClass<TGridProgressAppearance>(Source)) {
        FV = s->FV;
        Changed();
    }
}

int TGridProgressAppearance::LevelOf(int Percentage) const
{
    if (Percentage < FV.Level1Perc)
        return 0;
    if (Percentage < FV.Level2Perc)
        return 1;
    if (Percentage < 100)
        return 2;
    return 3;
}

void TGridProgressAppearance::LevelColors(int Percentage, TColor& Color, TColor& ColorTo) const
{
    switch (LevelOf(Percentage)) {
    case 0: Color = FV.Level0Color; ColorTo = FV.Level0ColorTo; break;
    case 1: Color = FV.Level1Color; ColorTo = FV.Level1ColorTo; break;
    case 2: Color = FV.Level2Color; ColorTo = FV.Level2ColorTo; break;
    default: Color = FV.Level3Color; ColorTo = FV.Level3ColorTo; break;
    }
}

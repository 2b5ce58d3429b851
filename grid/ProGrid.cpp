// TProStringGrid: unit start-up, life cycle, owned objects, published
// values with side effects and the per-cell questions.
#include "grid/ProGrid.h"
#include "grid/editing/GridEditors.h"
#include "grid/editing/InplaceEdit.h"

#include "grid/GDIPicture.h"
#include "grid/PictureContainer.h"
#include "grid/ProHint.h"
#include "grid/ProUtil.h"
#include "platform/core/CodePage.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/Forms.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/Themes.h"

// ---------------------------------------------------------------- unit start-up
namespace {
int UnitCounter = 0;
UINT ClipboardFormat = 0;
UINT EditDoneMessage = 0;
bool ComCtrl470 = false;
}

void ProGridUnitInitialize()
{
    if (UnitCounter++ > 0)
        return;
    // No OLE on this platform: dragging and dropping goes through the toolkit.
    int major = 0, minor = 0;
    PlatformComCtlVersion(major, minor);
    ComCtrl470 = (major * 65536 + minor) >= 0x40046;
    ClipboardFormat = RegisterClipboardFormat("TProStringGrid Cells");
    EditDoneMessage = RegisterWindowMessage("GridEditDone");
}

void ProGridUnitFinalize()
{
    if (UnitCounter == 0 || --UnitCounter > 0)
        return;
}

UINT GridClipboardFormat()
{
    ProGridUnitInitialize();
    return ClipboardFormat;
}

UINT GridEditDoneMessage()
{
    ProGridUnitInitialize();
    return EditDoneMessage;
}

bool GridComCtrlOk()
{
    ProGridUnitInitialize();
    return ComCtrl470;
}

// ---------------------------------------------------------------- parts of the grid
TGridItem::TGridItem(TCollection* ACollection) : TCollectionItem(ACollection), FItems(std::make_unique<TStringList>())
{
}

// ---------------------------------------------------------------- life cycle
// Each grid of a form puts this in front of the form's OnResize and calls the handler it replaced,
// so that the grids of one form form a chain.
struct TProStringGrid::TFormResizeHook {
    TProStringGrid* Grid;
    void operator()(TObject* Sender) const { Grid->FormResized(Sender); }
};

TProStringGrid::TProStringGrid(TComponent* AOwner) : TBaseGrid(AOwner)
{
    ProGridUnitInitialize();
    SetControlStyle(ControlStyle() | csAcceptsControls);

    int major = 0, minor = 0;
    PlatformWindowsVersion(major, minor);
    FIsWinXP = major > 5 || (major == 5 && minor > 0);
    FIsVista = major >= 6;
    int ccMajor = 0, ccMinor = 0;
    PlatformComCtlVersion(ccMajor, ccMinor);
    FComCtl6 = ccMajor > 5;
    if (UINT lines = 0; SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        FWheelScrollLines = int(lines);

    FFooterPanel = new TFooterPanel(this);
    FFooterPanel->SetAlign(alBottom);
    FFooterPanel->SetHeight(0);
    FFooterPanel->SetBorderWidth(0);
    FSearchPanel = new TSearchPanel(this);
    FSearchPanel->SetAlign(alBottom);
    FSearchPanel->SetHeight(0);
    FSearchPanel->SetBorderWidth(0);
    FSearchFooter = std::make_unique<TSearchFooter>(this);
    FFloatingFooter = std::make_unique<TFloatingFooter>(this);
    FPrintSettings = std::make_unique<TPrintSettings>(this);
    FHTMLSettings = std::make_unique<THTMLSettings>();
    FSortSettings = std::make_unique<TSortSettings>(this);
    FDragDropSettings = std::make_unique<TDragDropSettings>(this);
    FDragScrollOptions = std::make_unique<TDragScrollOptions>();
    FControlLook = std::make_unique<TControlLook>(this);
    FNavigation = std::make_unique<TNavigation>(this);
    FColumnSize = std::make_unique<TColumnSize>(this);
    FCellNode = std::make_unique<TCellNode>(this);
    FBands = std::make_unique<TBands>(this);
    FSizeWhileTyping = std::make_unique<TSizeWhileTyping>();
    FMouseActions = std::make_unique<TMouseActions>(this);
    FGrouping = std::make_unique<TGrouping>();
    FColumnHeaders = std::make_unique<TStringList>();
    FColumnHeaders->OnChange = [this](TObject*) { ApplyHeaders(true); };
    FPictureCache = std::make_unique<THTMLPictureCache>();
    FCellIntList = std::make_unique<TIntList>(-1, -1);
    FFixedFont = std::make_unique<TFont>();
    FFixedFont->SetName("Tahoma");
    FFixedFont->SetStyle(fsBold);
    FFixedFont->OnChange = [this](TObject*) { Invalidate(); };
    FActiveCellFont = std::make_unique<TFont>();
    FActiveCellFont->SetStyle(fsBold);
    FActiveCellFont->OnChange = [this](TObject*) { Invalidate(); };
    FRowHeaders = std::make_unique<TStringList>();
    FRowHeaders->OnChange = [this](TObject*) { ApplyHeaders(false); };
    FWorkStrings = std::make_unique<TStringList>();
    FLookupItems = std::make_unique<TStringList>();
    FSortIndexes = std::make_unique<TSortIndexList>();
    FMergedColumns = std::make_unique<TIntList>(0, 0);
    FMergedColumns->OnChange = [this](TObject* Sender, int, int) { MergedColumnsChanged(Sender); };
    FRowModified = std::make_unique<TIntList>(0, 0);
    FWorkList1 = std::make_unique<TIntList>(0, 0);
    FWorkList2 = std::make_unique<TIntList>(0, 0);
    FWorkList3 = std::make_unique<TIntList>(0, 0);
    FWorkList4 = std::make_unique<TIntList>(0, 0);
    FRowIndicator = std::make_unique<TBitmap>();
    FBackGround = std::make_unique<TBackGround>(this);
    FHintWindow = new THTMLHintWindow(this);
    FCellControls = std::make_unique<TControlList>();
    FProgressAppearance = std::make_unique<TGridProgressAppearance>(this);
    FProgressAppearance->OnChange = [this](TObject*) { Invalidate(); };
    FHiddenRowList = std::make_unique<TCollection>([](TCollection* c) -> TCollectionItem* { return new TGridItem(c); });
    FFilter = std::make_unique<TFilter>(this);
    FBalloon = std::make_unique<TBalloonSettings>();
    FShowModified = std::make_unique<TShowModified>();
    // Modified rows are marked in column 0.
    FShowModified->OnChange = [this](TObject*) { RepaintCol(0); };
    FRichEdit = new TProRichEdit(this);
    FRichEdit->SetVisible(false);
    FRichEditSel = new TProRichEdit(this);
    FRichEditSel->SetVisible(false);
    FRichEditSel->SetEnabled(false);
    FRichEditSel->OnSelectionChange = [this](TObject*) {
        if (OnRichEditSelectionChange)
            OnRichEditSelectionChange(this);
    };
    FWorkList5 = std::make_unique<TIntList>(0, 0);
    FRowCheckGraphic = std::make_unique<TCellGraphic>();
    FOfficeHint = std::make_unique<TProHintInfo>();
    FIgnoredColumns = std::make_unique<TIntList>(-1, -1);
    InitLooksAndHints();
    InitFindAndFooters();

    if (!(ComponentState() & csDesigning)) {
        for (int d = 0; d < 4; ++d)
            FArrows[d] = new TArrowWindow(this, d);
        CreateCellEditors();
        FPopupButton = new TPopupButton(this);
        FPopupButton->SetParent(this);
        FControlEdit = new TControlEdit(this);
        FControlEdit->SetBorderStyle(bsNone);
        FControlCombo = new TControlCombo(this);
        FControlCombo->SetThemed(FIsWinXP);
        // The in-place editors live hidden in the grid; each gets its window when first shown.
        for (TWinControl* e : std::initializer_list<TWinControl*>{FGridCheckBox, FGridCombo, FGridSpin, FGridTransEdit, FGridUniEdit,
                 FGridUniMemo, FGridUniEditBtn, FGridUniCombo, FGridDatePicker, FDateTimePicker, FGridEditBtn,
                 FGridUnitEditBtn, FGridButton, FControlEdit, FControlCombo})
            if (e) {
                e->SetVisible(false);
                e->SetWindowWhenShown(true);
                e->SetParent(this);
            }
    }

    TBaseGrid::SetRowCount(10);
    FHighestRowCount = RowCount();
    FHighestColCount = ColCount();
    SetDisplayRowCount(RowCount());
    SetBounds(Left(), Top(), 400, 250);
    TBaseGrid::SetDefaultRowHeight(22);
    FLoadedDefaultRowHeight = 22;
    FLoadedRowCount = 10;

    if (auto* form = dynamic_cast<TCustomForm*>(AOwner); form && !(ComponentState() & csDesigning)) {
        FOwnerForm = form;
        FSavedFormResize = form->OnResize;
        form->OnResize = TFormResizeHook{this};
        FFormWidth = form->Width();
        FFormHeight = form->Height();
    }
}

TProStringGrid::~TProStringGrid()
{
    Destroying();
    // A link's control may outlive the grid: its hook goes first.
    UnhookEditLinkControl(FEditLinkControl);
    DoneDragDrop();
    // The grid leaves the chain where it is in it: a grid made later keeps its own handler, and
    // none is left calling this one. A handler the program put in later stays; a form on its way
    // out has no handler left to mend.
    const bool formStays = FOwnerForm && !(FOwnerForm->ComponentState() & csDestroying);
    for (TNotifyEvent* h = formStays ? &FOwnerForm->OnResize : nullptr; h;) {
        const TFormResizeHook* hook = h->target<TFormResizeHook>();
        if (!hook)
            break;
        if (hook->Grid == this) {
            *h = FSavedFormResize;
            break;
        }
        h = &hook->Grid->FSavedFormResize;
    }
    // A failing write cannot leave a destructor: the widths are then not kept.
    if (FColumnSize->Save())
        try {
            SaveColumnSizes();
        } catch (const Exception&) {
        }
    if (HasNodes())
        ExpandAll();
    if (PropertiesCreated()) {
        int rows = RowCount(), cols = ColCount() + NumHiddenColumns();
        if (NumHiddenRows() == 0 && !HasNodes()) {
            rows = std::max(rows, FHighestRowCount);
            cols = std::max(cols, FHighestColCount);
        }
        ClearCellRect(0, 0, cols - 1, rows - 1);
    }
    SetCursor(FDesignCursor);
}

void TProStringGrid::FormResized(TObject* Sender)
{
    const bool sizing = FP.SizeWithForm && FOwnerForm && !(ComponentState() & (csDesigning | csDestroying));
    if (sizing) {
        // The grid grows and shrinks with its form, as long as it keeps a size.
        const int dw = FOwnerForm->Width() - FFormWidth, dh = FOwnerForm->Height() - FFormHeight;
        if ((dw != 0 || dh != 0) && Width() + dw > 0 && Height() + dh > 0) {
            SetBounds(Left(), Top(), Width() + dw, Height() + dh);
            FFormWidth = FOwnerForm->Width();
            FFormHeight = FOwnerForm->Height();
        }
    }
    // A grid not sizing with its form yet follows it from the form's present size on.
    if (!sizing && FOwnerForm && !(ComponentState() & csDestroying)) {
        FFormWidth = FOwnerForm->Width();
        FFormHeight = FOwnerForm->Height();
    }
    if (FSavedFormResize)
        FSavedFormResize(Sender);
    if (sizing && FColumnSize->Stretch())
        StretchColumn(FColumnSize->StretchColumn());
}

void TProStringGrid::CreateWnd()
{
    TBaseGrid::CreateWnd();
    if (FRichEdit)
        FRichEdit->SetParent(this);
    if (FRichEditSel)
        FRichEditSel->SetParent(this);
    if (Parent()) {
        for (TWinControl* picker : std::initializer_list<TWinControl*>{FGridDatePicker, FDateTimePicker})
            if (picker)
                picker->SetParent(this);
        if (FRichEdit) {
            FRichEdit->SetVisible(false);
            FRichEdit->SetBounds(0, 0, 0, 0);
            FRichEdit->SetBorderStyle(bsNone);
        }
        FFooterPanel->SetParent(this);
        FFooterPanel->SetVisible(FFloatingFooter->Visible());
        FSearchPanel->SetParent(this);
        FSearchPanel->SetVisible(FSearchFooter->Visible());
        FSearchPanel->SetHeight(FSearchFooter->Visible() ? 32 : 0);
        if (FColumnSize->Save() || FColumnSize->Load())
            LoadColumnSizes();
        SetTimer(this, 111, 500);
        // A grid newly placed at design time (not read from a form) takes the grid's usual font.
        if ((ComponentState() & csDesigning) && !FWasLoaded)
            Font()->SetName("Tahoma");
        if (FDragDropSettings->OleDropTarget() && !(ComponentState() & csDesigning))
            RegisterOleDropTarget(true);
        FIsWinXP = FIsWinXP && ThemesActive();
        if (FP.ScrollType != ssNormal) {
            InitFlatScroll();
            UpdateFlatScrollBars();
        }
    }
}

void TProStringGrid::Loaded()
{
    TBaseGrid::Loaded();
    FWasLoaded = true;
    FDesignCursor = Cursor();
    ApplySearchFooter();
    ApplyHeaders(true);
    ApplyHeaders(false);
    if (FP.Look == glHalvik) {
        FPopupGrad[0] = clSilver;
        FPopupGrad[1] = clWhite;
        FPopupGrad[2] = clNone;
        FPopupGrad[3] = clNone;
        if (!(ComponentState() & csDesigning) && FPopupButton) {
            FPopupButton->SetGradFrom(FPopupGrad[0]);
            FPopupButton->SetGradTo(FPopupGrad[1]);
            FPopupButton->SetGradMirrorFrom(FPopupGrad[2]);
            FPopupButton->SetGradMirrorTo(FPopupGrad[3]);
        }
    }
    if (FColumnSize->Save() || FColumnSize->Load())
        LoadColumnSizes();
    SnapshotColumnWidths();
    // A grid loaded from its form sizes no column below 10 pixels and no row below the default height.
    FMinColWidth = 10;
    FMinRowHeight = DefaultRowHeight();
    FLoadedFixedRows = TBaseGrid::FixedRows();
    FLoadedFixedCols = TBaseGrid::FixedCols();
    FLoadedDefaultRowHeight = DefaultRowHeight();
    FLoadedRowCount = RowCount();
    if (Options() & goAlwaysShowEditor) {
        FNavigation->SetAlwaysEdit(true);
        SetOptions(Options() & ~TGridOptions(goAlwaysShowEditor));
    }
    if (!FIsWinXP && FControlLook->ControlStyle() == csTheme)
        FControlLook->SetControlStyle(csClassic);
    FSearchFooter->SetAutoThemeAdapt(FP.AutoThemeAdapt);
    if (FP.AutoThemeAdapt)
        ThemeAdapt();
    if (FBalloon->Enable())
        CreateBalloonTooltip();
    UpdateScrollBarsAlways();
}

// The horizontal bar of a grid AWidth x AHeight: where the columns do not fit the width, or fit only
// beside a vertical bar, which shows where the rows do not fit the height.
int TProStringGrid::HorzScrollBarHeight(int AWidth, int AHeight) const
{
    if (ScrollBars() != ssHorizontal && ScrollBars() != ssBoth)
        return 0;
    // Flat bars are ScrollWidth high; the system's bars have their own size.
    const int bar = FFlatScrollActive ? FP.ScrollWidth : GetSystemMetrics(SM_CYHSCROLL);
    int cols = 0;
    for (int c = 0; c < ColCount(); ++c)
        cols += std::max(0, ColWidths(c));
    if (cols > AWidth)
        return bar;
    if (ScrollBars() != ssBoth || cols <= AWidth - bar)
        return 0;
    int rows = 0;
    for (int r = 0; r < RowCount() && rows <= AHeight; ++r)
        rows += std::max(0, RowHeights(r));
    return rows > AHeight ? bar : 0;
}

void TProStringGrid::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FP.IntegralHeight && FUpdateCount == 0 && DefaultRowHeight() > 0) {
        const int border = BorderStyle() == bsSingle ? 2 : 0, rh = DefaultRowHeight();
        auto whole = [&](int Bar) { return Bar + std::max(0, (AHeight - Bar - border) / rh) * rh + 2 * border; };
        const int plain = whole(0);
        AHeight = whole(HorzScrollBarHeight(AWidth, plain));
    }
    TBaseGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FCellControls)
        PositionCellControls();
}

void TProStringGrid::Resize()
{
    TBaseGrid::Resize();
    if (FBackGround && (FBackGround->Display() == bdGradientHorz || FBackGround->Display() == bdGradientVert))
        Invalidate();
    UpdateScrollBarsAlways();
    PositionCellControls();
}

TInplaceEdit* TProStringGrid::CreateEditor()
{
    auto* editor = new TProInplaceEdit(this);
    editor->SetWordWrap(FP.WordWrap);
    editor->SetLengthLimit(FP.MaxEditLength);
    return editor;
}

void TProStringGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs)
{
    TBaseGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs);
    if (State == gsColSizing && OnColumnSize) {
        TGridCoord c = MouseCoord(X - 6, Y);
        if (c.Y >= 0 && c.Y < TBaseGrid::FixedRows()) {
            bool allow = true;
            OnColumnSize(this, Index, allow);
            if (!allow)
                State = gsNormal;
        }
    } else if (State == gsRowSizing && OnRowSize) {
        TGridCoord c = MouseCoord(X, Y - 6);
        if (c.X >= 0 && c.X < TBaseGrid::FixedCols()) {
            bool allow = true;
            OnRowSize(this, Index, allow);
            if (!allow)
                State = gsNormal;
        }
    }
}

void TProStringGrid::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TProStringGrid*>(Source);
    if (!s) {
        TBaseGrid::Assign(Source);
        return;
    }
    Font()->Assign(s->Font());
    FFixedFont->Assign(s->FFixedFont.get());
    FP.ActiveCellColor = s->FP.ActiveCellColor;
    FP.ActiveCellColorTo = s->FP.ActiveCellColorTo;
    FActiveCellFont->Assign(s->FActiveCellFont.get());
    FP.ActiveCellShow = s->FP.ActiveCellShow;
    SetActiveRowShow(s->ActiveRowShow());
    SetAlign(s->Align());
    FP.AnchorHint = s->FP.AnchorHint;
    FP.AutoNumAlign = s->FP.AutoNumAlign;
    FP.AutoSize = s->FP.AutoSize;
    FP.AutoThemeAdapt = s->FP.AutoThemeAdapt;
    FMouseActions->Assign(s->FMouseActions.get());
    FNavigation->Assign(s->FNavigation.get());
    FGrouping->Assign(s->FGrouping.get());
    FSearchFooter->Assign(s->FSearchFooter.get());
    FPrintSettings->Assign(s->FPrintSettings.get());
    FFilter->Assign(s->FFilter.get());
    FHTMLSettings->Assign(s->FHTMLSettings.get());
    FBands->Assign(s->FBands.get());
    FCellNode->Assign(s->FCellNode.get());
    FSortSettings->Assign(s->FSortSettings.get());
    FDragScrollOptions->Assign(s->FDragScrollOptions.get());
    FDragDropSettings->Assign(s->FDragDropSettings.get());
    FProgressAppearance->Assign(s->FProgressAppearance.get());
    FOfficeHint->Assign(s->FOfficeHint.get());
    FP.FixedRowAlways = s->FP.FixedRowAlways;
    SetColCount(s->ColCount());
    SetRowCountPlain(s->RowCount());
    TBaseGrid::SetFixedRows(std::min(s->TBaseGrid::FixedRows(), RowCount() - 1));
    TBaseGrid::SetFixedCols(std::min(s->TBaseGrid::FixedCols(), ColCount() - 1));
    // FixedRowAlways and FixedColAlways bring back the fixed rows and columns the source keeps.
    FLoadedFixedRows = s->FLoadedFixedRows;
    FLoadedFixedCols = s->FLoadedFixedCols;
    SetDefaultColWidth(s->DefaultColWidth());
    SetDefaultRowHeight(s->DefaultRowHeight());
    FP.FixedRowHeight = s->FP.FixedRowHeight;
    SetOptions(s->Options());
    for (int c = 0; c < ColCount(); ++c)
        SetColWidths(c, s->ColWidths(c));
    FColumnHeaders->Assign(s->FColumnHeaders.get());
    for (int r = 0; r < RowCount(); ++r)
        SetRowHeights(r, s->RowHeights(r));
    SetScrollBars(s->ScrollBars());
    FP.ScrollBarAlways = s->FP.ScrollBarAlways;
    FP.ScrollColor = s->FP.ScrollColor;
    FP.ScrollProportional = s->FP.ScrollProportional;
    FP.ScrollSynch = s->FP.ScrollSynch;
    FP.ScrollType = s->FP.ScrollType;
    FP.ScrollWidth = s->FP.ScrollWidth;
    FP.ScrollHints = s->FP.ScrollHints;
    AssignCells(Source);
}

void TProStringGrid::AssignCells(TPersistent* Source)
{
    auto* s = dynamic_cast<TProStringGrid*>(Source);
    if (!s)
        return;
    TMemoryStream stream;
    s->WriteTextStream(&stream);
    stream.SetPosition(0);
    ReadTextStream(&stream);
}

// ---------------------------------------------------------------- values with side effects
void TProStringGrid::SetColorRepaint(TColor& Field, TColor Value)
{
    if (Field == Value)
        return;
    Field = Value;
    Invalidate();
}

void TProStringGrid::SetPopupGrad(int Index, TColor Value)
{
    FPopupGrad[Index] = Value == clNone ? clNone : ColorToRGB(Value);
    Invalidate();
}

void TProStringGrid::SetLookFixedFrom(TColor v)
{
    FLook.FixedFrom = v == clNone ? clNone : ColorToRGB(v);
    Invalidate();
}

void TProStringGrid::SetLookFixedTo(TColor v)
{
    FLook.FixedTo = v == clNone ? clNone : ColorToRGB(v);
    Invalidate();
}

void TProStringGrid::SetLookFixedMirrorFrom(TColor v)
{
    FLook.FixedMirrorFrom = v == clNone ? clNone : ColorToRGB(v);
    Invalidate();
}

void TProStringGrid::SetLookFixedMirrorTo(TColor v)
{
    FLook.FixedMirrorTo = v == clNone ? clNone : ColorToRGB(v);
    Invalidate();
}

void TProStringGrid::SetFlat(bool Value)
{
    FP.Flat = Value;
    if (!(ComponentState() & csLoading))
        Invalidate();
}

void TProStringGrid::SetFixedFont(TFont* v)
{
    FFixedFont->Assign(v);
    Invalidate();
}

void TProStringGrid::SetOfficeHint(TProHintInfo* v)
{
    FOfficeHint->Assign(v);
}

void TProStringGrid::SetWordWrap(bool Value)
{
    SetDefaultWordWrap(Value);
    FP.WordWrap = Value;
    if (auto* e = dynamic_cast<TProInplaceEdit*>(InplaceEditor()))
        e->SetWordWrap(Value);
    if (FUpdateCount == 0)
        Invalidate();
}

void TProStringGrid::SetVAlignment(TVAlignment Value)
{
    FP.VAlignment = Value;
    FVAlignFlag = Value == vtaCenter ? DT_VCENTER : Value == vtaBottom ? DT_BOTTOM : 0;
    if (FUpdateCount == 0)
        Invalidate();
}

void TProStringGrid::SetMaxEditLength(int Value)
{
    FP.MaxEditLength = Value;
    if (auto* e = dynamic_cast<TProInplaceEdit*>(InplaceEditor()))
        e->SetLengthLimit(Value);
}

void TProStringGrid::SetShowSelection(bool Value)
{
    if (ShowSelection() == Value)
        return;
    TBaseGrid::SetShowSelection(Value);
    Invalidate();
}

void TProStringGrid::SetIntegralHeight(bool Value)
{
    FP.IntegralHeight = Value;
    SetBounds(Left(), Top(), Width(), Height());
}

void TProStringGrid::SetAutoSize(bool Value)
{
    FP.AutoSize = Value;
    if (Value)
        AutoSizeColumns(false, 10);
}

namespace {
void ClearHeaderRow(TProStringGrid* Grid)
{
    if (Grid->TBaseGrid::FixedRows() > 0)
        for (int c = 0; c < Grid->AllColCount(); ++c)
            Grid->SetCells(c, 0, AnsiString());
}
}

void TProStringGrid::SetColumnHeaders(TStrings* v)
{
    ClearHeaderRow(this);
    FColumnHeaders->Assign(v);
    RepaintRow(0);
}

void TProStringGrid::ApplyHeaders(bool Columns)
{
    if (Columns) {
        // Only assigning the list clears the header row; a change to it writes its headers.
        if (FColumnHeaders->Count() == 0)
            return;
        int total = ColCount() + NumHiddenColumns();
        for (int i = 0; i < FColumnHeaders->Count() && i < total; ++i)
            SetCells(i, 0, EscapedNewlinesToCR(FColumnHeaders->Strings(i)));
        RepaintRow(0);
    } else {
        if (FRowHeaders->Count() == 0)
            return;
        if (ComponentState() & csDesigning)
            for (int r = 0; r < RowCount(); ++r)
                SetCells(0, r, AnsiString());
        for (int i = 0; i < FRowHeaders->Count() && i < RowCount(); ++i)
            SetCells(0, i, EscapedNewlinesToCR(FRowHeaders->Strings(i)));
        RepaintCol(0);
    }
}

AnsiString TProStringGrid::Version()
{
    unsigned v = unsigned(GetVersionNr());
    return IntToStr((v >> 24) & 0xFF) + "." + IntToStr((v >> 16) & 0xFF) + "." + IntToStr((v >> 8) & 0xFF) + "." +
           IntToStr(v & 0xFF);
}

AnsiString TProStringGrid::VersionText()
{
    return Version() + " Dec, 2026";
}

// ---------------------------------------------------------------- per-cell questions
AnsiString TProStringGrid::GetCellHint(int ACol, int ARow, const AnsiString& AHint)
{
    AnsiString hint = AHint;
    if (OnGridHint) {
        OnGridHint(this, ARow, ACol, hint);
        FOfficeHint->Notes()->SetText(hint);
    }
    if (OnGridWideHint) {
        WideString wide;
        OnGridWideHint(this, ARow, ACol, wide);
        if (!wide.empty())
            hint = EncodeUnicodeCell(wide);
    }
    if (OnOfficeHint)
        OnOfficeHint(this, ARow, ACol, FOfficeHint.get());
    return hint;
}

void TProStringGrid::GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont)
{
    if (FP.ActiveCellShow) {
        int fixedRows = TBaseGrid::FixedRows(), fixedCols = TBaseGrid::FixedCols();
        bool colHeader = fixedRows > 0 && ARow == fixedRows - 1 && DisplayColumn(ACol) == Col();
        bool rowHeader = fixedCols > 0 && DisplayColumn(ACol) == fixedCols - 1 && ARow == Row();
        if (colHeader || rowHeader) {
            AFont->Assign(FActiveCellFont.get());
            ABrush->SetColor(FP.ActiveCellColor);
        }
    }
    if (const TCellProperties* p = ShownCellProps(ACol, ARow)) {
        bool brushType = true;
        if (auto* g = dynamic_cast<TCellGraphic*>(p->GraphicObject())) {
            TCellType t = g->CellType;
            brushType = t == ctBitmap || t == ctIcon || t == ctNone || t == ctEmpty || t == ctImages || t == ctComment;
        }
        if (brushType && p->BrushColor() != clNone)
            ABrush->SetColor(p->BrushColor());
        if (p->FontColor() != clNone)
            AFont->SetColor(p->FontColor());
        if (p->FontStyle() != 0)
            AFont->SetStyle(p->FontStyle());
        if (p->FontSize() != 0)
            AFont->SetSize(p->FontSize());
        if (!p->FontName().empty())
            AFont->SetName(p->FontName());
    }
    if (OnGetCellColor)
        OnGetCellColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TProStringGrid::GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont)
{
    if (OnGetCellPrintColor)
        OnGetCellPrintColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TProStringGrid::GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders)
{
    // Grouping underlines its header rows and draws a line over its summary
    // rows, right of the node column.
    if (ACol >= 1) {
        if (FGrouping->HeaderUnderline() && IsNodeRow(ARow)) {
            Borders = cbBottom;
            APen->SetColor(FGrouping->HeaderLineColor());
            APen->SetWidth(FGrouping->HeaderLineWidth());
        } else if (FGrouping->SummaryLine() && IsSummaryRow(ARow)) {
            Borders = cbTop;
            APen->SetColor(FGrouping->SummaryLineColor());
            APen->SetWidth(FGrouping->SummaryLineWidth());
        }
    }
    if (OnGetCellBorder)
        OnGetCellBorder(this, ARow, ACol, APen, Borders);
}

void TProStringGrid::GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders)
{
    if (OnGetCellPrintBorder)
        OnGetCellPrintBorder(this, ARow, ACol, APen, Borders);
}

void TProStringGrid::GetCellAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign)
{
    if (ACol == 0 && FMouseActions->HotmailRowSelect())
        HAlign = taCenter;
    if (OnGetAlignment)
        OnGetAlignment(this, ARow, ACol, HAlign, VAlign);
}

TEditorType TProStringGrid::GetCellEditorType(int ACol, int ARow)
{
    TEditorType e = FP.DefaultEditor;
    if (OnGetEditorType)
        OnGetEditorType(this, ACol, ARow, e);
    return e;
}

bool TProStringGrid::IsFixedCell(int ACol, int ARow)
{
    int col = DisplayColumn(ACol);
    bool fixed = ARow < TBaseGrid::FixedRows() || col < TBaseGrid::FixedCols();
    if (FP.FixedRowAlways && RowCount() == FLoadedFixedRows && ARow < FLoadedFixedRows)
        fixed = true;
    if (FP.FixedColAlways && ColCount() == FLoadedFixedCols && col < FLoadedFixedCols)
        fixed = true;
    if (!fixed && OnIsFixedCell)
        OnIsFixedCell(this, ACol, ARow, fixed);
    return fixed;
}

bool TProStringGrid::GetCellReadOnly(int ACol, int ARow)
{
    TPoint base = GetBaseCell(ACol, ARow);
    bool canEdit = true;
    if (HasCellProperties(base.X, base.Y) && CellProperties(base.X, base.Y)->ReadOnly())
        canEdit = false;
    // Editing switched off on a read-only cell the user passed still counts as wanted, and
    // AlwaysEdit counts as editing on, as it does for IsEditable.
    if (!(Options() & goEditing) && !FEdit.SwitchedOff && !FMouseActions->RangeSelectAndEdit() &&
        !FNavigation->AlwaysEdit())
        canEdit = false;
    if (canEdit)
        canEdit = CanEditCell(base.X, base.Y);
    return !canEdit;
}

bool TProStringGrid::IsPasswordCell(int ACol, int ARow)
{
    bool v = false;
    if (OnIsPasswordCell)
        OnIsPasswordCell(this, ACol, ARow, v);
    return v;
}

void TProStringGrid::GetCellWordWrap(int ACol, int ARow, bool& WordWrap)
{
    if (OnGetWordWrap)
        OnGetWordWrap(this, ACol, ARow, WordWrap);
}

bool TProStringGrid::CanEditCell(int ACol, int ARow)
{
    bool v = true;
    if (OnCanEditCell)
        OnCanEditCell(this, ARow, ACol, v);
    return v;
}

bool TProStringGrid::HasComboBox(int ACol, int ARow)
{
    bool v = false;
    if (OnHasComboBox) {
        OnHasComboBox(this, ACol, ARow, v);
    } else if (FControlLook->DropDownAlwaysVisible()) {
        TEditorType e = GetCellEditorType(ACol, ARow);
        v = e == edComboEdit || e == edComboList || e == edUniComboEdit || e == edUniComboList;
    }
    return v;
}

bool TProStringGrid::HasSpinEdit(int ACol, int ARow)
{
    if (IsFixedCell(ACol, ARow))
        return false;
    bool v = false;
    if (OnHasSpinEdit) {
        OnHasSpinEdit(this, ACol, ARow, v);
    } else if (FControlLook->SpinButtonsAlwaysVisible()) {
        TEditorType e = GetCellEditorType(ACol, ARow);
        v = e == edSpinEdit || e == edFloatSpinEdit || e == edTimeSpinEdit || e == edDateSpinEdit;
    }
    return v;
}

AnsiString TProStringGrid::GetCheckTrue(int ACol, int ARow)
{
    AnsiString v = FCheckTrue;
    if (OnGetCheckTrue)
        OnGetCheckTrue(this, ACol, ARow, v);
    return v;
}

AnsiString TProStringGrid::GetCheckFalse(int ACol, int ARow)
{
    AnsiString v = FCheckFalse;
    if (OnGetCheckFalse)
        OnGetCheckFalse(this, ACol, ARow, v);
    return v;
}

void TProStringGrid::GetCellColors(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont,
                                   TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                                   TAlignment& AAlignment, TVAlignment& AVAlignment, bool& AWordWrap,
                                   TCellGradientDirection& AGradientDirection)
{
    TBaseGrid::GetCellColors(ACol, ARow, AState, ABrush, AFont, AColorTo, AMirrorColor, AMirrorColorTo, AAlignment,
                             AVAlignment, AWordWrap, AGradientDirection);
    bool selected = false;
    GetCellStyle(ACol, ARow, AState, ABrush, AFont, AColorTo, AMirrorColor, AMirrorColorTo, AGradientDirection,
                 selected);
    // The word wrap and alignment the cell is shown with, events included.
    GetCellWordWrap(ACol, ARow, AWordWrap);
    ResolveCellAlignment(ACol, ARow, AAlignment, AVAlignment);
    // A record must not freeze a band, background or selection colour.
    bool background = FBackGround->Display() == bdGradientHorz || FBackGround->Display() == bdGradientVert;
    if (FBands->Active() || background || selected) {
        ABrush->SetColor(clNone);
        AColorTo = clNone;
    }
    if (selected) {
        AMirrorColor = AMirrorColorTo = clNone;
        AFont->SetColor(clNone);
    }
}

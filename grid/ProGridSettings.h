#pragma once
// The grid's option groups: one persistent object per group, owned by the
// grid. Assign copies every published value of an object of the same class
// without running the setters; a setter that repaints invalidates the grid,
// one that notifies calls the object's change event.
#include <functional>
#include <memory>

#include "platform/core/Classes.h"
#include "platform/gui/Component.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Printers.h"

class TProStringGrid;
class TIntList;

// A plain published value: getter and setter that only store.
#define PSG_PLAIN(Type, Name) \
    Type Name() const { return FV.Name; } \
    void Set##Name(Type v) { FV.Name = v; }
// A published value whose setter stores and repaints the grid when it changes.
#define PSG_REPAINT(Type, Name) \
    Type Name() const { return FV.Name; } \
    void Set##Name(Type v) { if (FV.Name != v) { FV.Name = v; Repaint(); } }
// A published value whose setter stores and repaints the grid every time, also for the value it holds.
#define PSG_REDRAW(Type, Name) \
    Type Name() const { return FV.Name; } \
    void Set##Name(Type v) { FV.Name = v; Repaint(); }
// A published value whose setter stores and calls OnChange when it changes.
#define PSG_NOTIFY(Type, Name) \
    Type Name() const { return FV.Name; } \
    void Set##Name(Type v) { if (FV.Name != v) { FV.Name = v; Changed(); } }
// A published value whose setter stores and calls OnChange every time, also for the value it holds.
#define PSG_TELL(Type, Name) \
    Type Name() const { return FV.Name; } \
    void Set##Name(Type v) { FV.Name = v; Changed(); }

// Repaints the whole grid (nothing without a grid).
void RepaintOwnerGrid(TProStringGrid* Grid);

// ---------------------------------------------------------------- TCellNode
enum TNodeType { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };

class TCellNode : public TPersistent {
public:
    explicit TCellNode(TProStringGrid* AOwner);
    ~TCellNode() override;
    void Assign(TPersistent* Source) override;

    PSG_PLAIN(TColor, Color)
    PSG_PLAIN(bool, ExpandOne)
    PSG_REPAINT(TNodeType, NodeType)
    PSG_PLAIN(TColor, NodeColor)
    PSG_REPAINT(int, NodeIndent)
    PSG_REPAINT(bool, ShowTree)
    PSG_REPAINT(bool, ShowTreeFull)
    PSG_REPAINT(TColor, TreeColor)
    TBitmap* ExpandGlyph() const { return FExpandGlyph.get(); }
    void SetExpandGlyph(TBitmap* v) { FExpandGlyph->Assign(v); }
    TBitmap* ContractGlyph() const { return FContractGlyph.get(); }
    void SetContractGlyph(TBitmap* v) { FContractGlyph->Assign(v); }

private:
    void Repaint() { RepaintOwnerGrid(FOwner); }
    TProStringGrid* FOwner;
    struct {
        TColor Color = clSilver;
        bool ExpandOne = false;
        TNodeType NodeType = cnXP;
        TColor NodeColor = clBlack;
        int NodeIndent = 12;
        bool ShowTree = true;
        bool ShowTreeFull = true;
        TColor TreeColor = clGray;
    } FV;
    std::unique_ptr<TBitmap> FExpandGlyph, FContractGlyph;
};

// ---------------------------------------------------------------- TSizeWhileTyping
class TSizeWhileTyping : public TPersistent {
public:
    void Assign(TPersistent* Source) override;
    PSG_PLAIN(bool, Height)
    PSG_PLAIN(bool, Width)

private:
    struct {
        bool Height = false;
        bool Width = false;
    } FV;
};

// ---------------------------------------------------------------- TMouseActions
enum TWheelAction { waMoveSelection, waScroll };
enum TGridFixedCellEdit { fceNone, fceDblClick, fceLeftClick, fceRightClick };

class TMouseActions : public TPersistent {
public:
    explicit TMouseActions(TProStringGrid* AOwner) : FOwner(AOwner) {}
    void Assign(TPersistent* Source) override;

    PSG_PLAIN(bool, AllColumnSize)
    PSG_PLAIN(bool, AllRowSize)
    PSG_PLAIN(bool, AllSelect)
    PSG_PLAIN(bool, AutoSizeColOnDblClick)
    PSG_PLAIN(bool, CaretPositioning)
    PSG_PLAIN(bool, CheckAllCheck)
    PSG_PLAIN(bool, ColSelect)
    PSG_PLAIN(bool, DirectComboClose)
    PSG_PLAIN(bool, DirectComboDrop)
    PSG_PLAIN(bool, DirectDateClose)
    PSG_PLAIN(bool, DirectDateDrop)
    PSG_PLAIN(bool, DirectEdit)
    bool DisjunctRowSelect() const { return FV.DisjunctRowSelect; }
    void SetDisjunctRowSelect(bool v);
    bool DisjunctColSelect() const { return FV.DisjunctColSelect; }
    void SetDisjunctColSelect(bool v);
    bool DisjunctCellSelect() const { return FV.DisjunctCellSelect; }
    void SetDisjunctCellSelect(bool v);
    bool EditOnDblClickOnly() const { return FV.EditOnDblClickOnly; }
    void SetEditOnDblClickOnly(bool v);
    PSG_PLAIN(TGridFixedCellEdit, FixedRowsEdit)
    PSG_PLAIN(TGridFixedCellEdit, FixedColsEdit)
    bool HotmailRowSelect() const { return FV.HotmailRowSelect; }
    void SetHotmailRowSelect(bool v);
    PSG_PLAIN(bool, MoveRowOnNodeClick)
    PSG_PLAIN(bool, NoAutoRangeScroll)
    PSG_PLAIN(bool, NodeAllExpandContract)
    PSG_PLAIN(bool, NoScrollOnPartialRow)
    PSG_PLAIN(bool, PreciseCheckBoxCheck)
    PSG_PLAIN(bool, RangeSelectAndEdit)
    PSG_PLAIN(bool, RowSelect)
    PSG_PLAIN(bool, RowSelectPersistent)
    PSG_PLAIN(bool, SelectOnRightClick)
    PSG_PLAIN(bool, SizeFixedCol)
    PSG_PLAIN(bool, SizeFixedRow)
    PSG_PLAIN(int, WheelIncrement)
    PSG_NOTIFY(TWheelAction, WheelAction)

    TNotifyEvent OnChange;

private:
    void Changed() { if (OnChange) OnChange(this); }
    bool Designing() const;
    TProStringGrid* FOwner;
    struct {
        bool AllColumnSize = false, AllRowSize = false, AllSelect = false, AutoSizeColOnDblClick = true;
        bool CaretPositioning = false, CheckAllCheck = false, ColSelect = false;
        bool DirectComboClose = false, DirectComboDrop = false, DirectDateClose = false, DirectDateDrop = false;
        bool DirectEdit = false, DisjunctRowSelect = false, DisjunctColSelect = false, DisjunctCellSelect = false;
        bool EditOnDblClickOnly = false;
        TGridFixedCellEdit FixedRowsEdit = fceNone, FixedColsEdit = fceNone;
        bool HotmailRowSelect = false, MoveRowOnNodeClick = false, NoAutoRangeScroll = false;
        bool NodeAllExpandContract = false, NoScrollOnPartialRow = false, PreciseCheckBoxCheck = false;
        bool RangeSelectAndEdit = false, RowSelect = false, RowSelectPersistent = false;
        bool SelectOnRightClick = false, SizeFixedCol = false, SizeFixedRow = false;
        int WheelIncrement = 0;
        TWheelAction WheelAction = waMoveSelection;
    } FV;
};

// ---------------------------------------------------------------- TColumnSize
enum TColumnSizeLocation { clRegistry, clIniFile };

class TColumnSize : public TPersistent {
public:
    explicit TColumnSize(TProStringGrid* AOwner) : FOwner(AOwner) {}
    void Assign(TPersistent* Source) override;

    PSG_PLAIN(bool, Save)
    // Read back at start-up (CreateWnd and Loaded) when set.
    PSG_PLAIN(bool, Load)
    PSG_PLAIN(AnsiString, Key)
    PSG_PLAIN(AnsiString, Section)
    bool Stretch() const { return FV.Stretch; }
    void SetStretch(bool v);
    PSG_PLAIN(int, StretchColumn)
    PSG_PLAIN(bool, SynchWithGrid)
    PSG_PLAIN(TColumnSizeLocation, Location)

private:
    TProStringGrid* FOwner;
    struct {
        bool Save = false;
        bool Load = false;
        AnsiString Key;
        AnsiString Section;
        bool Stretch = false;
        int StretchColumn = -1;
        bool SynchWithGrid = false;
        TColumnSizeLocation Location = clRegistry;
    } FV;
};

// ---------------------------------------------------------------- TNavigation
enum TAdvanceDirection { adLeftRight, adTopBottom };
enum TInsertPosition { pInsertBefore, pInsertAfter };
enum THomeEndAction { heFirstLastColumn, heFirstLastRow };

class TNavigation : public TPersistent {
public:
    explicit TNavigation(TProStringGrid* AOwner) : FOwner(AOwner) {}
    void Assign(TPersistent* Source) override;
    TProStringGrid* Grid() const { return FOwner; }

    PSG_PLAIN(bool, AllowInsertRow)
    PSG_PLAIN(bool, AllowDeleteRow)
    PSG_PLAIN(bool, AlwaysEdit)
    PSG_PLAIN(bool, AdvanceOnEnter)
    PSG_NOTIFY(bool, AdvanceInsert)
    PSG_PLAIN(bool, AutoGotoWhenSorted)
    PSG_PLAIN(bool, AutoGotoIncremental)
    PSG_PLAIN(bool, AutoComboDropSize)
    PSG_NOTIFY(TAdvanceDirection, AdvanceDirection)
    PSG_PLAIN(bool, AllowClipboardShortCuts)
    PSG_PLAIN(bool, AllowCtrlEnter)
    PSG_PLAIN(bool, AllowSmartClipboard)
    PSG_PLAIN(bool, AllowRTFClipboard)
    PSG_PLAIN(bool, AllowFmtClipboard)
    PSG_PLAIN(bool, AllowClipboardAlways)
    PSG_PLAIN(bool, AllowClipboardRowGrow)
    PSG_PLAIN(bool, AllowClipboardColGrow)
    PSG_PLAIN(bool, AdvanceAuto)
    PSG_PLAIN(bool, AppendOnArrowDown)
    PSG_PLAIN(bool, EditSelectAll)
    PSG_PLAIN(TInsertPosition, InsertPosition)
    PSG_PLAIN(bool, CursorWalkEditor)
    PSG_PLAIN(bool, CursorWalkAlwaysEdit)
    PSG_PLAIN(bool, MoveRowOnSort)
    PSG_PLAIN(bool, KeepScrollOnSort)
    PSG_PLAIN(bool, MoveScrollOnly)
    PSG_PLAIN(bool, ImproveMaskSel)
    PSG_PLAIN(bool, LeftRightRowSelect)
    PSG_PLAIN(bool, CopyHTMLTagsToClipboard)
    PSG_PLAIN(bool, KeepHorizScroll)
    PSG_PLAIN(bool, LineFeedOnEnter)
    PSG_PLAIN(THomeEndAction, HomeEndKey)
    PSG_PLAIN(bool, SkipFixedCells)
    PSG_PLAIN(bool, TabToNextAtEnd)
    PSG_PLAIN(TAdvanceDirection, TabAdvanceDirection)

    TNotifyEvent OnChange;

private:
    void Changed() { if (OnChange) OnChange(this); }
    TProStringGrid* FOwner;
    struct {
        bool AllowInsertRow = false, AllowDeleteRow = false, AlwaysEdit = false, AdvanceOnEnter = false;
        bool AdvanceInsert = false, AutoGotoWhenSorted = false, AutoGotoIncremental = false;
        bool AutoComboDropSize = false;
        TAdvanceDirection AdvanceDirection = adLeftRight;
        bool AllowClipboardShortCuts = false, AllowCtrlEnter = true, AllowSmartClipboard = false;
        bool AllowRTFClipboard = false, AllowFmtClipboard = false, AllowClipboardAlways = false;
        bool AllowClipboardRowGrow = true, AllowClipboardColGrow = true, AdvanceAuto = false;
        bool AppendOnArrowDown = false, EditSelectAll = true;
        TInsertPosition InsertPosition = pInsertBefore;
        bool CursorWalkEditor = false, CursorWalkAlwaysEdit = true, MoveRowOnSort = false;
        bool KeepScrollOnSort = false, MoveScrollOnly = false, ImproveMaskSel = false;
        bool LeftRightRowSelect = true, CopyHTMLTagsToClipboard = true, KeepHorizScroll = false;
        bool LineFeedOnEnter = false;
        THomeEndAction HomeEndKey = heFirstLastColumn;
        bool SkipFixedCells = true, TabToNextAtEnd = false;
        TAdvanceDirection TabAdvanceDirection = adLeftRight;
    } FV;
};

// ---------------------------------------------------------------- THTMLSettings
class THTMLSettings : public TPersistent {
public:
    THTMLSettings();
    ~THTMLSettings() override;
    void Assign(TPersistent* Source) override;

    PSG_PLAIN(int, BorderSize)
    PSG_PLAIN(int, CellSpacing)
    PSG_PLAIN(int, CellPadding)
    PSG_PLAIN(bool, SaveColor)
    PSG_PLAIN(bool, SaveFonts)
    PSG_PLAIN(AnsiString, FooterFile)
    PSG_PLAIN(AnsiString, HeaderFile)
    PSG_PLAIN(AnsiString, TableStyle)
    PSG_PLAIN(AnsiString, PrefixTag)
    PSG_PLAIN(AnsiString, SuffixTag)
    PSG_PLAIN(int, Width)
    PSG_PLAIN(bool, XHTML)
    PSG_PLAIN(bool, ConvertSpecialChars)
    PSG_PLAIN(bool, AutoPreview)
    PSG_PLAIN(bool, NonBreakingText)
    // Column widths of the HTML export.
    TIntList* ColWidths() const { return FColWidths.get(); }

private:
    struct {
        int BorderSize = 1, CellSpacing = 0, CellPadding = 0;
        bool SaveColor = true, SaveFonts = true;
        AnsiString FooterFile, HeaderFile, TableStyle, PrefixTag, SuffixTag;
        int Width = 100;
        bool XHTML = false, ConvertSpecialChars = false, AutoPreview = false, NonBreakingText = false;
    } FV;
    std::unique_ptr<TIntList> FColWidths;
};

// ---------------------------------------------------------------- TPrintSettings
enum TPrintPosition { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
enum TPrintBorders {
    pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal, pbAround, pbAroundVertical, pbAroundHorizontal,
    pbCustom
};
enum TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };

class TPrintSettings : public TPersistent {
public:
    explicit TPrintSettings(TProStringGrid* AOwner);
    ~TPrintSettings() override;
    // Only from another TPrintSettings: EInvalidCast otherwise.
    void Assign(TPersistent* Source) override;

    PSG_PLAIN(int, FooterSize)
    PSG_PLAIN(int, HeaderSize)
    PSG_PLAIN(TPrintPosition, Time)
    PSG_PLAIN(TPrintPosition, Date)
    PSG_PLAIN(AnsiString, DateFormat)
    PSG_PLAIN(TPrintPosition, PageNr)
    PSG_PLAIN(TPrintPosition, Title)
    PSG_PLAIN(AnsiString, TitleText)
    TStringList* TitleLines() const { return FTitleLines.get(); }
    void SetTitleLines(TStrings* v) { FTitleLines->Assign(v); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    TFont* FixedFont() const { return FFixedFont.get(); }
    void SetFixedFont(TFont* v) { FFixedFont->Assign(v); }
    TFont* HeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(TFont* v) { FHeaderFont->Assign(v); }
    TFont* FooterFont() const { return FFooterFont.get(); }
    void SetFooterFont(TFont* v) { FFooterFont->Assign(v); }
    PSG_PLAIN(TPrintBorders, Borders)
    PSG_PLAIN(TPenStyle, BorderStyle)
    PSG_PLAIN(bool, Centered)
    PSG_PLAIN(bool, RepeatFixedRows)
    PSG_PLAIN(bool, RepeatFixedCols)
    PSG_PLAIN(int, LeftSize)
    PSG_PLAIN(int, RightSize)
    PSG_PLAIN(int, ColumnSpacing)
    PSG_PLAIN(int, RowSpacing)
    PSG_PLAIN(int, TitleSpacing)
    PSG_PLAIN(TPrinterOrientation, Orientation)
    PSG_PLAIN(AnsiString, PagePrefix)
    PSG_PLAIN(AnsiString, PageSuffix)
    PSG_PLAIN(int, PageNumberOffset)
    PSG_PLAIN(int, MaxPagesOffset)
    PSG_PLAIN(int, FixedWidth)
    PSG_PLAIN(int, FixedHeight)
    PSG_PLAIN(bool, UseFixedHeight)
    PSG_PLAIN(bool, UseFixedWidth)
    PSG_PLAIN(TFitToPage, FitToPage)
    PSG_PLAIN(AnsiString, JobName)
    PSG_PLAIN(AnsiString, PageNumSep)
    PSG_PLAIN(bool, NoAutoSize)
    PSG_PLAIN(bool, NoAutoSizeRow)
    PSG_PLAIN(bool, PrintGraphics)
    PSG_PLAIN(bool, UseDisplayFont)
    PSG_PLAIN(bool, UseDefaultOrientation)
    // Not published: selected-only printing always takes the fixed rows and columns.
    PSG_PLAIN(bool, PrintKeepFixed)

private:
    TProStringGrid* FOwner;
    struct {
        int FooterSize = 0, HeaderSize = 0;
        TPrintPosition Time = ppNone, Date = ppNone;
        AnsiString DateFormat = "dd/mm/yyyy";
        TPrintPosition PageNr = ppNone, Title = ppNone;
        AnsiString TitleText;
        TPrintBorders Borders = pbSingle;
        TPenStyle BorderStyle = psSolid;
        bool Centered = true, RepeatFixedRows = false, RepeatFixedCols = false;
        int LeftSize = 0, RightSize = 0, ColumnSpacing = 0, RowSpacing = 0, TitleSpacing = 0;
        TPrinterOrientation Orientation = poPortrait;
        AnsiString PagePrefix, PageSuffix;
        int PageNumberOffset = 0, MaxPagesOffset = 0, FixedWidth = 0, FixedHeight = 0;
        bool UseFixedHeight = false, UseFixedWidth = false;
        TFitToPage FitToPage = fpNever;
        AnsiString JobName;
        AnsiString PageNumSep = "/";
        bool NoAutoSize = false, NoAutoSizeRow = false, PrintGraphics = false, UseDisplayFont = true;
        bool UseDefaultOrientation = false;
        bool PrintKeepFixed = false;
    } FV;
    std::unique_ptr<TFont> FFont, FFixedFont, FHeaderFont, FFooterFont;
    std::unique_ptr<TStringList> FTitleLines;
};

// ---------------------------------------------------------------- TBackGround
enum TBackGroundDisplay { bdTile, bdFixed, bdGradientHorz, bdGradientVert };
enum TBackGroundCells { bcNormal, bcFixed, bcAll };

class TBackGround : public TPersistent {
public:
    explicit TBackGround(TProStringGrid* AOwner);
    ~TBackGround() override;
    void Assign(TPersistent* Source) override;

    int Top() const { return FV.Top; }
    void SetTop(int v) { FV.Top = v; Repaint(); }
    int Left() const { return FV.Left; }
    void SetLeft(int v) { FV.Left = v; Repaint(); }
    TBackGroundDisplay Display() const { return FV.Display; }
    void SetDisplay(TBackGroundDisplay v) { FV.Display = v; Repaint(); }
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* v) { FBitmap->Assign(v); Repaint(); }
    TBackGroundCells Cells() const { return FV.Cells; }
    void SetCells(TBackGroundCells v) { FV.Cells = v; Repaint(); }
    TColor Color() const { return FV.Color; }
    void SetColor(TColor v) { FV.Color = v; Repaint(); }
    TColor ColorTo() const { return FV.ColorTo; }
    void SetColorTo(TColor v) { FV.ColorTo = v; Repaint(); }

private:
    void Repaint() { RepaintOwnerGrid(FOwner); }
    TProStringGrid* FOwner;
    struct {
        int Top = 0, Left = 0;
        TBackGroundDisplay Display = bdTile;
        TBackGroundCells Cells = bcNormal;
        TColor Color = clWindow, ColorTo = clBtnFace;
    } FV;
    std::unique_ptr<TBitmap> FBitmap;
};

// ---------------------------------------------------------------- TBands
class TBands : public TPersistent {
public:
    explicit TBands(TProStringGrid* AOwner) : FOwner(AOwner) {}
    void Assign(TPersistent* Source) override;

    bool Active() const { return FV.Active; }
    void SetActive(bool v) { FV.Active = v; Repaint(); }
    TColor PrimaryColor() const { return FV.PrimaryColor; }
    void SetPrimaryColor(TColor v) { FV.PrimaryColor = v; RepaintActive(); }
    int PrimaryLength() const { return FV.PrimaryLength; }
    void SetPrimaryLength(int v);
    TColor SecondaryColor() const { return FV.SecondaryColor; }
    void SetSecondaryColor(TColor v) { FV.SecondaryColor = v; RepaintActive(); }
    int SecondaryLength() const { return FV.SecondaryLength; }
    void SetSecondaryLength(int v);
    PSG_PLAIN(bool, Print)
    // PrimaryLength + SecondaryLength: rows repeat their colours with this period.
    int Period() const { return FPeriod; }

private:
    void Repaint() { RepaintOwnerGrid(FOwner); }
    void RepaintActive() { if (FV.Active) Repaint(); }
    TProStringGrid* FOwner;
    struct {
        bool Active = false;
        TColor PrimaryColor = clInfoBk;
        int PrimaryLength = 1;
        TColor SecondaryColor = clWindow;
        int SecondaryLength = 1;
        bool Print = false;
    } FV;
    int FPeriod = 2;
};

// ---------------------------------------------------------------- TFilter
enum TFilterCells { fcVirtual, fcNormal, fcStripHTML, fcCalculated };
enum TFilterOperation { foSHORT, foNONE, foAND, foXOR, foOR };

class TFilterData : public TCollectionItem {
public:
    explicit TFilterData(TCollection* ACollection) : TCollectionItem(ACollection) {}
    void Assign(TPersistent* Source) override;

    PSG_PLAIN(int, Column)
    PSG_PLAIN(AnsiString, Condition)
    PSG_PLAIN(bool, CaseSensitive)
    PSG_PLAIN(TFilterCells, Data)
    PSG_PLAIN(AnsiString, Prefix)
    PSG_PLAIN(AnsiString, Suffix)
    PSG_PLAIN(TFilterOperation, Operation)

private:
    struct {
        int Column = 0;
        AnsiString Condition;
        bool CaseSensitive = true;
        TFilterCells Data = fcVirtual;
        AnsiString Prefix, Suffix;
        TFilterOperation Operation = foSHORT;
    } FV;
};

class TFilter : public TOwnedCollection {
public:
    explicit TFilter(TProStringGrid* AOwner);
    TFilterData* Add() { return static_cast<TFilterData*>(TOwnedCollection::Add()); }
    TFilterData* Insert(int Index) { return static_cast<TFilterData*>(TOwnedCollection::Insert(Index)); }
    TFilterData* Items(int Index) const { return static_cast<TFilterData*>(TOwnedCollection::Items(Index)); }
    TProStringGrid* Grid() const { return FGrid; }

private:
    TProStringGrid* FGrid;
};

// ---------------------------------------------------------------- TSortSettings
enum TSortDirection { sdAscending, sdDescending };
enum TSortBlankPosition { blFirst, blLast };

class TSortSettings : public TPersistent {
public:
    explicit TSortSettings(TProStringGrid* AOwner);
    ~TSortSettings() override;
    void Assign(TPersistent* Source) override;

    PSG_PLAIN(bool, AutoSortForGrouping)
    PSG_PLAIN(bool, AutoColumnMerge)
    PSG_PLAIN(int, Column)
    PSG_REPAINT(bool, Show)
    PSG_PLAIN(bool, IndexShow)
    PSG_PLAIN(TColor, IndexColor)
    PSG_PLAIN(bool, Full)
    PSG_PLAIN(bool, SingleColumn)
    PSG_PLAIN(bool, IgnoreBlanks)
    PSG_PLAIN(TSortBlankPosition, BlankPos)
    PSG_PLAIN(bool, AutoFormat)
    PSG_PLAIN(TSortDirection, Direction)
    TBitmap* UpGlyph() const { return FUpGlyph.get(); }
    void SetUpGlyph(TBitmap* v) { FUpGlyph->Assign(v); }
    TBitmap* DownGlyph() const { return FDownGlyph.get(); }
    void SetDownGlyph(TBitmap* v) { FDownGlyph->Assign(v); }
    PSG_PLAIN(bool, IgnoreCase)
    TBitmap* IndexUpGlyph() const { return FIndexUpGlyph.get(); }
    void SetIndexUpGlyph(TBitmap* v) { FIndexUpGlyph->Assign(v); }
    TBitmap* IndexDownGlyph() const { return FIndexDownGlyph.get(); }
    void SetIndexDownGlyph(TBitmap* v) { FIndexDownGlyph->Assign(v); }
    PSG_PLAIN(TSortDirection, InitSortDirection)
    PSG_PLAIN(bool, FixedCols)
    PSG_PLAIN(bool, NormalCellsOnly)
    int Row() const { return FV.Row; }
    // Exception "Sort row should be smaller than number of fixed rows" above FixedRows.
    void SetRow(int v);
    PSG_PLAIN(bool, UndoSort)
    PSG_PLAIN(bool, SortOnVirtualCells)
    TColor HeaderColor() const { return FV.HeaderColor; }
    void SetHeaderColor(TColor v) { SetHeader(FV.HeaderColor, v); }
    TColor HeaderColorTo() const { return FV.HeaderColorTo; }
    void SetHeaderColorTo(TColor v) { SetHeader(FV.HeaderColorTo, v); }
    TColor HeaderMirrorColor() const { return FV.HeaderMirrorColor; }
    void SetHeaderMirrorColor(TColor v) { SetHeader(FV.HeaderMirrorColor, v); }
    TColor HeaderMirrorColorTo() const { return FV.HeaderMirrorColorTo; }
    void SetHeaderMirrorColorTo(TColor v) { SetHeader(FV.HeaderMirrorColorTo, v); }

    // Column -1, the grid's sort index list emptied, the header row repainted.
    void ResetSortIndicator();

private:
    void Repaint() { RepaintOwnerGrid(FOwner); }
    void SetHeader(TColor& Field, TColor Value);
    void RepaintHeaderRow();
    TProStringGrid* FOwner;
    struct {
        bool AutoSortForGrouping = true, AutoColumnMerge = false;
        int Column = 0;
        bool Show = false, IndexShow = false;
        TColor IndexColor = clYellow;
        bool Full = true, SingleColumn = false, IgnoreBlanks = false;
        TSortBlankPosition BlankPos = blFirst;
        bool AutoFormat = true;
        TSortDirection Direction = sdAscending;
        bool IgnoreCase = false;
        TSortDirection InitSortDirection = sdAscending;
        bool FixedCols = false, NormalCellsOnly = false;
        int Row = 0;
        bool UndoSort = false, SortOnVirtualCells = true;
        TColor HeaderColor = clNone, HeaderColorTo = clNone, HeaderMirrorColor = clNone, HeaderMirrorColorTo = clNone;
    } FV;
    std::unique_ptr<TBitmap> FUpGlyph, FDownGlyph, FIndexUpGlyph, FIndexDownGlyph;
};

// ---------------------------------------------------------------- TControlLook
enum TGridControlStyle { csClassic, csFlat, csWinXP, csOstrevan, csHalvik, csGlyph, csTheme };

class TControlLook : public TPersistent {
public:
    explicit TControlLook(TProStringGrid* AOwner);
    ~TControlLook() override;
    void Assign(TPersistent* Source) override;

    PSG_REDRAW(TColor, Color)
    PSG_REDRAW(TColor, CommentColor)
    TBitmap* CheckedGlyph() const { return FCheckedGlyph.get(); }
    void SetCheckedGlyph(TBitmap* v) { FCheckedGlyph->Assign(v); Repaint(); }
    TBitmap* UnCheckedGlyph() const { return FUnCheckedGlyph.get(); }
    void SetUnCheckedGlyph(TBitmap* v) { FUnCheckedGlyph->Assign(v); Repaint(); }
    TBitmap* RadioOnGlyph() const { return FRadioOnGlyph.get(); }
    void SetRadioOnGlyph(TBitmap* v) { FRadioOnGlyph->Assign(v); Repaint(); }
    TBitmap* RadioOffGlyph() const { return FRadioOffGlyph.get(); }
    void SetRadioOffGlyph(TBitmap* v) { FRadioOffGlyph->Assign(v); Repaint(); }

    TColor FixedGradientFrom() const { return FV.FixedGradientFrom; }
    void SetFixedGradientFrom(TColor v);
    TColor FixedGradientTo() const { return FV.FixedGradientTo; }
    void SetFixedGradientTo(TColor v);
    TColor FixedGradientMirrorFrom() const { return FV.FixedGradientMirrorFrom; }
    void SetFixedGradientMirrorFrom(TColor v);
    TColor FixedGradientMirrorTo() const { return FV.FixedGradientMirrorTo; }
    void SetFixedGradientMirrorTo(TColor v);
    TColor FixedGradientHoverFrom() const { return FV.FixedGradientHoverFrom; }
    void SetFixedGradientHoverFrom(TColor v);
    TColor FixedGradientHoverTo() const { return FV.FixedGradientHoverTo; }
    void SetFixedGradientHoverTo(TColor v);
    TColor FixedGradientHoverMirrorFrom() const { return FV.FixedGradientHoverMirrorFrom; }
    void SetFixedGradientHoverMirrorFrom(TColor v);
    TColor FixedGradientHoverMirrorTo() const { return FV.FixedGradientHoverMirrorTo; }
    void SetFixedGradientHoverMirrorTo(TColor v);
    TColor FixedGradientHoverBorder() const { return FV.FixedGradientHoverBorder; }
    void SetFixedGradientHoverBorder(TColor v);
    TColor FixedGradientDownFrom() const { return FV.FixedGradientDownFrom; }
    void SetFixedGradientDownFrom(TColor v);
    TColor FixedGradientDownTo() const { return FV.FixedGradientDownTo; }
    void SetFixedGradientDownTo(TColor v);
    TColor FixedGradientDownMirrorFrom() const { return FV.FixedGradientDownMirrorFrom; }
    void SetFixedGradientDownMirrorFrom(TColor v);
    TColor FixedGradientDownMirrorTo() const { return FV.FixedGradientDownMirrorTo; }
    void SetFixedGradientDownMirrorTo(TColor v);
    TColor FixedGradientDownBorder() const { return FV.FixedGradientDownBorder; }
    void SetFixedGradientDownBorder(TColor v);

    PSG_REDRAW(bool, FixedDropDownButton)
    PSG_REDRAW(int, CheckSize)
    PSG_REDRAW(bool, CheckAlwaysActive)
    PSG_REDRAW(int, RadioSize)
    PSG_REDRAW(bool, RadioAlwaysActive)
    PSG_REDRAW(TGridControlStyle, ControlStyle)
    PSG_REDRAW(bool, DropDownAlwaysVisible)
    PSG_REDRAW(bool, SpinButtonsAlwaysVisible)
    PSG_REDRAW(bool, FlatButton)
    PSG_REDRAW(bool, NoDisabledCheckRadioLook)
    PSG_REDRAW(bool, NoDisabledButtonLook)
    PSG_REDRAW(TColor, ProgressBorderColor)
    PSG_REDRAW(int, ProgressMarginX)
    PSG_REDRAW(int, ProgressMarginY)
    PSG_REDRAW(bool, ProgressXP)

private:
    void Repaint() { RepaintOwnerGrid(FOwner); }
    TProStringGrid* FOwner;
    struct {
        TColor Color = clBlack, CommentColor = clRed;
        TColor FixedGradientFrom = clNone, FixedGradientTo = clNone;
        TColor FixedGradientMirrorFrom = clNone, FixedGradientMirrorTo = clNone;
        TColor FixedGradientHoverFrom = clNone, FixedGradientHoverTo = clNone;
        TColor FixedGradientHoverMirrorFrom = clNone, FixedGradientHoverMirrorTo = clNone;
        TColor FixedGradientHoverBorder = clNone;
        TColor FixedGradientDownFrom = clNone, FixedGradientDownTo = clNone;
        TColor FixedGradientDownMirrorFrom = clNone, FixedGradientDownMirrorTo = clNone;
        TColor FixedGradientDownBorder = clNone;
        bool FixedDropDownButton = false;
        int CheckSize = 15;
        bool CheckAlwaysActive = false;
        int RadioSize = 10;
        bool RadioAlwaysActive = false;
        TGridControlStyle ControlStyle = csWinXP;
        bool DropDownAlwaysVisible = false, SpinButtonsAlwaysVisible = false, FlatButton = false;
        bool NoDisabledCheckRadioLook = false, NoDisabledButtonLook = false;
        TColor ProgressBorderColor = clGray;
        int ProgressMarginX = 2, ProgressMarginY = 2;
        bool ProgressXP = false;
    } FV;
    std::unique_ptr<TBitmap> FCheckedGlyph, FUnCheckedGlyph, FRadioOnGlyph, FRadioOffGlyph;
};

// ---------------------------------------------------------------- TGrouping
class TGrouping : public TPersistent {
public:
    void Assign(TPersistent* Source) override;
    PSG_PLAIN(bool, AutoSelectGroup)
    PSG_PLAIN(AnsiString, GroupCountFormat)
    PSG_PLAIN(TColor, HeaderColor)
    PSG_PLAIN(TColor, HeaderColorTo)
    PSG_PLAIN(TColor, HeaderTextColor)
    PSG_PLAIN(bool, HeaderUnderline)
    PSG_PLAIN(TColor, HeaderLineColor)
    PSG_PLAIN(int, HeaderLineWidth)
    PSG_PLAIN(bool, MergeHeader)
    PSG_PLAIN(bool, MergeSummary)
    PSG_PLAIN(bool, ShowGroupCount)
    PSG_PLAIN(bool, Summary)
    PSG_PLAIN(TColor, SummaryColor)
    PSG_PLAIN(TColor, SummaryColorTo)
    PSG_PLAIN(TColor, SummaryTextColor)
    PSG_PLAIN(bool, SummaryLine)
    PSG_PLAIN(TColor, SummaryLineColor)
    PSG_PLAIN(int, SummaryLineWidth)

private:
    struct {
        bool AutoSelectGroup = false;
        AnsiString GroupCountFormat;
        TColor HeaderColor = clNone, HeaderColorTo = clNone, HeaderTextColor = clNone;
        bool HeaderUnderline = false;
        TColor HeaderLineColor = clBlue;
        int HeaderLineWidth = 2;
        bool MergeHeader = false, MergeSummary = false, ShowGroupCount = false, Summary = false;
        TColor SummaryColor = clNone, SummaryColorTo = clNone, SummaryTextColor = clNone;
        bool SummaryLine = false;
        TColor SummaryLineColor = clBlue;
        int SummaryLineWidth = 2;
    } FV;
};

// ---------------------------------------------------------------- TDragDropSettings
// The one switch of the program that lets dropped rich text be accepted.
bool& RichTextDropAllowed();

class TDragDropSettings : public TPersistent {
public:
    explicit TDragDropSettings(TProStringGrid* AOwner) : FOwner(AOwner) {}
    void Assign(TPersistent* Source) override;

    PSG_PLAIN(bool, ShowCells)
    PSG_PLAIN(bool, OleAcceptFiles)
    PSG_PLAIN(bool, OleAcceptText)
    PSG_PLAIN(bool, OleAcceptURLs)
    PSG_PLAIN(bool, OleCopyAlways)
    bool OleDropTarget() const { return FV.OleDropTarget; }
    // The grid's window becomes a drop target only where the platform registers one.
    void SetOleDropTarget(bool v);
    PSG_PLAIN(bool, OleDropSource)
    PSG_PLAIN(bool, OleEntireRows)
    PSG_PLAIN(bool, OleInsertRows)
    PSG_PLAIN(bool, OleRemoveRows)
    bool OleDropRTF() const { return FV.OleDropRTF; }
    void SetOleDropRTF(bool v);
    PSG_PLAIN(bool, OleColumnDragDrop)

private:
    TProStringGrid* FOwner;
    struct {
        bool ShowCells = true, OleAcceptFiles = true, OleAcceptText = true, OleAcceptURLs = true;
        bool OleCopyAlways = false, OleDropTarget = false, OleDropSource = false, OleEntireRows = false;
        bool OleInsertRows = false, OleRemoveRows = false, OleDropRTF = false, OleColumnDragDrop = false;
    } FV;
};

// ---------------------------------------------------------------- TBalloonSettings
class TBalloonSettings : public TPersistent {
public:
    void Assign(TPersistent* Source) override;
    PSG_PLAIN(int, AutoHideDelay)
    PSG_PLAIN(TColor, BackgroundColor)
    bool Enable() const { return FV.Enable; }
    void SetEnable(bool v);
    PSG_PLAIN(int, InitialDelay)
    PSG_PLAIN(int, ReshowDelay)
    PSG_PLAIN(TColor, TextColor)
    PSG_PLAIN(Byte, Transparency)

    TNotifyEvent OnEnableChange;

private:
    struct {
        int AutoHideDelay = -1;
        TColor BackgroundColor = clNone;
        bool Enable = false;
        int InitialDelay = -1, ReshowDelay = -1;
        TColor TextColor = clNone;
        Byte Transparency = 0;
    } FV;
};

// ---------------------------------------------------------------- TShowModified
class TShowModified : public TPersistent {
public:
    void Assign(TPersistent* Source) override;
    PSG_PLAIN(bool, Enabled)
    TColor Color() const { return FV.Color; }
    void SetColor(TColor v);

    TNotifyEvent OnChange;

private:
    struct {
        bool Enabled = false;
        TColor Color = clYellow;
    } FV;
};

// ---------------------------------------------------------------- drag scrolling
class TDragScrollDelays : public TPersistent {
public:
    void Assign(TPersistent* Source) override;
    PSG_PLAIN(int, InitialDelay)
    PSG_PLAIN(int, RepeatDelay)

private:
    struct {
        int InitialDelay = 1000, RepeatDelay = 250;
    } FV;
};

class TDragScrollMargins : public TPersistent {
public:
    void Assign(TPersistent* Source) override;
    PSG_PLAIN(int, TopMargin)
    PSG_PLAIN(int, BottomMargin)
    PSG_PLAIN(int, LeftMargin)
    PSG_PLAIN(int, RightMargin)

private:
    struct {
        int TopMargin = 50, BottomMargin = 50, LeftMargin = 50, RightMargin = 50;
    } FV;
};

class TDragScrollOptions : public TPersistent {
public:
    TDragScrollOptions();
    ~TDragScrollOptions() override;
    void Assign(TPersistent* Source) override;
    PSG_PLAIN(bool, Active)
    TDragScrollDelays* Delays() const { return FDelays.get(); }
    void SetDelays(TDragScrollDelays* v) { FDelays->Assign(v); }
    TDragScrollMargins* Margins() const { return FMargins.get(); }
    void SetMargins(TDragScrollMargins* v) { FMargins->Assign(v); }

private:
    struct {
        bool Active = false;
    } FV;
    std::unique_ptr<TDragScrollDelays> FDelays;
    std::unique_ptr<TDragScrollMargins> FMargins;
};

// ---------------------------------------------------------------- TGridProgressAppearance
class TGridProgressAppearance : public TPersistent {
public:
    explicit TGridProgressAppearance(TProStringGrid* AOwner) : FOwner(AOwner) {}
    // Copies every value, then calls OnChange once.
    void Assign(TPersistent* Source) override;

    PSG_TELL(TColor, CompleteColor)
    PSG_TELL(TColor, CompleteFontColor)
    PSG_TELL(TColor, UnCompleteColor)
    PSG_TELL(TColor, UnCompleteFontColor)
    PSG_TELL(TColor, Level0Color)
    PSG_TELL(TColor, Level0ColorTo)
    PSG_TELL(TColor, Level1Color)
    PSG_TELL(TColor, Level1ColorTo)
    PSG_TELL(TColor, Level2Color)
    PSG_TELL(TColor, Level2ColorTo)
    PSG_TELL(TColor, Level3Color)
    PSG_TELL(TColor, Level3ColorTo)
    PSG_TELL(int, Level1Perc)
    PSG_TELL(int, Level2Perc)
    PSG_TELL(TColor, BorderColor)
    PSG_TELL(bool, ShowBorder)
    PSG_TELL(bool, Stacked)
    PSG_TELL(bool, ShowPercentage)
    PSG_TELL(bool, CompletionSmooth)
    PSG_TELL(bool, ShowGradient)
    PSG_TELL(int, Steps)

    // The colours of a level bar at Percentage: level 0 below Level1Perc, level
    // 1 up to below Level2Perc, level 2 below 100, level 3 at 100.
    int LevelOf(int Percentage) const;
    void LevelColors(int Percentage, TColor& Color, TColor& ColorTo) const;

    TNotifyEvent OnChange;

private:
    void Changed() { if (OnChange) OnChange(this); }
    TProStringGrid* FOwner;
    struct {
        TColor CompleteColor = clRed, CompleteFontColor = clBlue, UnCompleteColor = clNone;
        TColor UnCompleteFontColor = clWindowText;
        TColor Level0Color = clLime, Level0ColorTo = 0xE1FFE1, Level1Color = clYellow, Level1ColorTo = 0xCAFFFF;
        TColor Level2Color = 0x53A9FF, Level2ColorTo = 0xA8D3FF, Level3Color = clRed, Level3ColorTo = 0xCACAFF;
        int Level1Perc = 70, Level2Perc = 90;
        TColor BorderColor = clBlack;
        bool ShowBorder = false, Stacked = false, ShowPercentage = true, CompletionSmooth = true;
        bool ShowGradient = true;
        int Steps = 11;
    } FV;
};

#undef PSG_PLAIN
#undef PSG_REPAINT
#undef PSG_REDRAW
#undef PSG_NOTIFY
#undef PSG_TELL

#pragma once
// TProStringGrid: the string grid on which every list of the program lives.
// Built on TBaseGrid (cell records, merged cells, own drawing), it owns its
// option groups (ProGridSettings.h), its editor controls, footers and hint
// window (ProGridParts.h) and the small support objects of ProObj.h.
//
// Column arguments of cell operations are stored column indices (a hidden
// column keeps its index); row arguments are display rows unless a name says
// "real" row.
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "grid/BaseGrid.h"
#include "grid/ProGridParts.h"
#include "grid/ProGridSettings.h"
#include "grid/ProObj.h"

class THTMLPictureCache;
class TPictureContainer;
class TProHintInfo;
class TImageList;
class TCellTextMeasure;
class TStyleFont;
struct THtmlRun;

// ---------------------------------------------------------------- unit start-up
// Once per process (counted): clipboard format, edit-done message, common-controls flag.
void ProGridUnitInitialize();
void ProGridUnitFinalize();
// "TProStringGrid Cells"
UINT GridClipboardFormat();
// "GridEditDone"
UINT GridEditDoneMessage();
// The common-controls library is version 4.70 or later.
bool GridComCtrlOk();

// ---------------------------------------------------------------- types
enum TGridLook { glStandard, glSoft, glClassic, glHalvik, glXP, glListView, glVista };
enum THoverFixedCells { hfNone, hfAll, hfFixedRows, hfFixedColumns };
enum TScrollBarAlways { saNone, saVert, saHorz, saBoth };
enum TScrollType { ssNormal, ssFlat, ssEncarta };
enum TScrollHintType { shNone, shVertical, shHorizontal, shBoth };
enum TIntelliPan { ipVertical, ipHorizontal, ipBoth, ipNone };

enum TCellBorder : unsigned { cbTop = 1, cbLeft = 2, cbRight = 4, cbBottom = 8 };
using TCellBorders = unsigned;

using TGridHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, AnsiString& HintStr)>;
using TGridWideHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, WideString& HintStr)>;
using TOfficeHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, TProHintInfo* Hint)>;
using TGridColorEvent = std::function<void(TObject* Sender, int ARow, int ACol, TGridDrawState AState,
                                           TBrush* ABrush, TFont* AFont)>;
using TGridBorderEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TPen* APen, TCellBorders& Borders)>;
using TGridAlignEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TAlignment& HAlign, TVAlignment& VAlign)>;
using TCellBoolEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Value)>;
using TCanEditCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& CanEdit)>;
using TGetEditorTypeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditorType& AEditor)>;
using TGetCheckEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;
using TRowUpdateEvent = std::function<void(TObject* Sender, int OldRow, int NewRow)>;
using TRowDisjunctSelectEvent = std::function<void(TObject* Sender, int ARow, bool& Allow, bool ASelect)>;
using TRowDisjunctSelectedEvent = std::function<void(TObject* Sender, int ARow)>;
using TFilterProgressEvent = std::function<void(TObject* Sender, int Progress)>;
using TCustomFilterEvent = std::function<void(TObject* Sender, int ARow, bool& Allow)>;
using TColumnSizeEvent = std::function<void(TObject* Sender, int ACol, bool& Allow)>;
using TRowSizeEvent = std::function<void(TObject* Sender, int ARow, bool& Allow)>;
using TDateTimeChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TDateTime ADateTime)>;
using TDatePickerCloseUpEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TCellValidateEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value, bool& Valid)>;
using TCanRowEvent = std::function<void(TObject* Sender, bool& CanAdd)>;
using TCanInsertRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanInsert)>;
using TEndRowSizeEvent = std::function<void(TObject* Sender, int ARow)>;

// The colours the fixed-cell painter uses for gradient headers.
// ---------------------------------------------------------------- looks, painting and hints types
class TBalloonWindow;
class TDateTimePicker;
using TGetFloatFormatEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, bool& IsFloat, AnsiString& FloatFormat)>;
using TAutoRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TCellBalloonEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& ATitle,
                                             AnsiString& AText, int& AIcon)>;
using TAnchorHintEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Anchor)>;
using TCustomCellDrawEvent = std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
                                                TGridDrawState AState, TRect ARect, bool Printing)>;
using TCellBorderPropEvent = std::function<void(TObject* Sender, int ARow, int ACol, TPen* LeftPen, TPen* TopPen,
                                                TPen* RightPen, TPen* BottomPen)>;
// Applies a numbered colour preset (0..10; above 10 only the selection colours).
class TProStringGrid;
void ApplyLookPreset(TProStringGrid* Grid, Byte Preset);
// The 32 x 32 origin mark of panning with the middle button in the pan's directions ("INTLI1"
// both, "INTLI2" across, "INTLI3" up and down; white is transparent), centred on Origin.
void DrawIntelliPanGlyph(TCanvas* Canvas, TPoint Origin, TIntelliPan Mode);
void ApplySchemeColors(TProStringGrid* Grid, Byte Scheme);
// Limits a percentage to 0..100.
int ClampPercent(int Value);

struct TLookColors {
    TColor FixedFrom = clWhite, FixedTo = clBtnFace, FixedMirrorFrom = clNone, FixedMirrorTo = clNone;
    TColor HoverFrom = clNone, HoverTo = clNone, HoverMirrorFrom = clNone, HoverMirrorTo = clNone;
    TColor HoverBorder = clNone;
    TColor DownFrom = clNone, DownTo = clNone, DownMirrorFrom = clNone, DownMirrorTo = clNone;
    TColor DownBorder = clNone;
};

// ---------------------------------------------------------------- scrolling and sizing types
enum TDragScrollDirection : unsigned { dsdUp = 1, dsdDown = 2, dsdLeft = 4, dsdRight = 8 };
using TDragScrollDirections = unsigned;
using TScrollHintEvent = std::function<void(TObject* Sender, int ARow, AnsiString& HintStr)>;
using TDragScrollEvent = std::function<void(TObject* Sender, int ATopRow, int ALeftCol,
                                            TDragScrollDirections& ADirections, bool& CanScroll)>;
using TUpdateColumnSizeEvent = std::function<void(TObject* Sender, int ACol, int& AWidth)>;

// A published value of the grid that only stores.
#define PSG_GRID_PLAIN(Type, Name) \
    Type Name() const { return FP.Name; } \
    void Set##Name(Type v) { FP.Name = v; }
// A published value whose setter stores and repaints when it changes.
#define PSG_GRID_REPAINT(Type, Name) \
    Type Name() const { return FP.Name; } \
    void Set##Name(Type v) { if (FP.Name != v) { FP.Name = v; Invalidate(); } }

// ---------------------------------------------------------------- grid services types
// The comparison style of a sort column.
enum TSortStyle {
    ssAutomatic, ssAlphabetic, ssNumeric, ssDate, ssAlphaNoCase, ssAlphaCase, ssShortDateEU, ssShortDateUS,
    ssCustom, ssFinancial, ssAnsiAlphaCase, ssAnsiAlphaNoCase, ssRaw, ssHTML, ssImages, ssCheckBox, ssUnicode,
    ssDateTime, ssTime, ssAlphaNumeric, ssAlphaNumericNoCase
};
using TGetFormatEvent =
    std::function<void(TObject* Sender, int ACol, TSortStyle& AStyle, AnsiString& APrefix, AnsiString& ASuffix)>;
using TCustomCompareEvent =
    std::function<void(TObject* Sender, const AnsiString& Str1, const AnsiString& Str2, int& Res)>;
using TRawCompareEvent = std::function<void(TObject* Sender, int ACol, int Row1, int Row2, int& Res)>;
using TCellsChangedEvent = std::function<void(TObject* Sender, const TRect& R)>;
using TCellTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;
using TGridProgressEvent = std::function<void(TObject* Sender, int Phase, int Value)>;

// ================================================================ events of the grid (review-grid)
class TEditLink;
class TGridDropSource;
class TGridDropTarget;
class TForm;
class TPopupMenu;
enum TSearchAction { saFindFirst, saFindNext, saFindPrevious };
// Cell events with the row first.
using TRowColEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TRowColAllowEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
// Cell events with the column first.
using TColRowEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TIndexAllowEvent = std::function<void(TObject* Sender, int AIndex, bool& Allow)>;
using TIndexEvent = std::function<void(TObject* Sender, int AIndex)>;
using TIndexSizeEvent = std::function<void(TObject* Sender, int AIndex, int ASize)>;
using TIndexVarSizeEvent = std::function<void(TObject* Sender, int AIndex, int& ASize)>;
using TAllowEvent = std::function<void(TObject* Sender, bool& Allow)>;
using TSelectionChangedEvent = std::function<void(TObject* Sender, int ALeft, int ATop, int ARight, int ABottom)>;
using TSelectionResizeEvent =
    std::function<void(TObject* Sender, const TGridRect& OldSelection, const TGridRect& NewSelection)>;
using TRowChangingEvent = std::function<void(TObject* Sender, int OldRow, int NewRow, bool& Allow)>;
using TColChangingEvent = std::function<void(TObject* Sender, int OldCol, int NewCol, bool& Allow)>;
using TCellChangingEvent =
    std::function<void(TObject* Sender, int OldRow, int OldCol, int NewRow, int NewCol, bool& Allow)>;
using TAutoAdvanceEvent =
    std::function<void(TObject* Sender, int OldRow, int OldCol, int& NewRow, int& NewCol, bool& Allow)>;
using TCheckBoxClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool State)>;
using TRadioClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, int ItemIndex)>;
using TAnchorClickEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, const AnsiString& Anchor, bool& AutoHandle)>;
using TAnchorEvent = std::function<void(TObject* Sender, int ARow, int ACol, const AnsiString& Anchor)>;
using TFixedDropDownClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, TPopupMenu*& AMenu)>;
using TControlClickEvent = std::function<void(TObject* Sender, int ARow, int ACol, const AnsiString& CtrlID,
                                              const AnsiString& CtrlType, const AnsiString& CtrlValue)>;
using TControlComboListEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, const AnsiString& CtrlID, const AnsiString& CtrlType,
                       TStrings* CtrlList, const AnsiString& CtrlValue, bool& Edit, int& DropCount)>;
using TEllipsClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& S)>;
using TWideEllipsClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value)>;
using TGetEditorPropEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditLink* AEditLink)>;
using TCellValidateWideEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value, bool& Valid)>;
using TEditChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;
using TSetEditWideTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, const WideString& Value)>;
using TGetEditWideTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value)>;
using TComboChangeEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex, const AnsiString& ASelection)>;
using TComboObjectChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex,
                                                   const AnsiString& ASelection, TObject* AObject)>;
using TSpinClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown)>;
using TFloatSpinClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, double AValue, bool UpDown)>;
using TDateTimeSpinClickEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TDateTime AValue, bool UpDown)>;
using TCustomStrToDateEvent = std::function<void(TObject* Sender, const AnsiString& Value, TDateTime& ADate)>;
using TNodeAllowEvent = std::function<void(TObject* Sender, int ARow, bool& Allow)>;
using TNodeEvent = std::function<void(TObject* Sender, int ARow)>;
using TGroupCalcEvent = std::function<void(TObject* Sender, int ACol, int FromRow, int ToRow, double& Res)>;
using TSearchEditChangeEvent = std::function<void(TObject* Sender, const AnsiString& Value, bool& DefaultSearch)>;
using TSearchFooterActionEvent = std::function<void(TObject* Sender, const AnsiString& Value, int ACol, int ARow,
                                                    TSearchAction Action)>;
using TFooterPaintEvent = std::function<void(TObject* Sender, int AColumn, TCanvas* Canvas, TRect ARect)>;
using TClipboardBeforePasteEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value, bool& Allow)>;
using TClipboardBeforePasteWideEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value, bool& Allow)>;
using TCustomCellSizeEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow, TPoint& ASize, bool Printing)>;
using TPrintStartEvent = std::function<void(TObject* Sender, int NrOfPages, int& FromPage, int& ToPage)>;
using TPrintCancelEvent = std::function<void(TObject* Sender, int PageNr, bool& Cancel)>;
using TPrintPageEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, int PageNr, int PageXSize, int PageYSize)>;
using TPrintPageDoneEvent = std::function<void(TObject* Sender, TCanvas* Canvas, int LastRow, int LastRowOffset,
                                               int LastPage, int PageXSize, int PageYSize)>;
using TPrintNewPageEvent = std::function<void(TObject* Sender, int ARow, bool& NewPage)>;
using TFitToPageEvent = std::function<void(TObject* Sender, double& ScaleFactor, bool& Allow)>;
using TOleDragDropEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, const AnsiString& Data, bool& Allow)>;
using TOleDroppedEvent = std::function<void(TObject* Sender, const TGridRect& ARect)>;
using TOleDragStopEvent = std::function<void(TObject* Sender, int OLEEffect)>;
using TOleDropColEvent = std::function<void(TObject* Sender, int ARow, int ACol, int DropCol)>;
// ================================================================ end of events of the grid

class TProStringGrid : public TBaseGrid {
public:
    explicit TProStringGrid(TComponent* AOwner);
    ~TProStringGrid() override;

    void Assign(TPersistent* Source) override;
    // The source's cells through the grid text stream.
    virtual void AssignCells(TPersistent* Source);
    void Loaded() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // ---------------------------------------------------------------- owned objects
    TSearchFooter* SearchFooter() const { return FSearchFooter.get(); }
    TFloatingFooter* FloatingFooter() const { return FFloatingFooter.get(); }
    TPrintSettings* PrintSettings() const { return FPrintSettings.get(); }
    void SetPrintSettings(TPrintSettings* v) { FPrintSettings->Assign(v); }
    THTMLSettings* HTMLSettings() const { return FHTMLSettings.get(); }
    TSortSettings* SortSettings() const { return FSortSettings.get(); }
    TDragDropSettings* DragDropSettings() const { return FDragDropSettings.get(); }
    TDragScrollOptions* DragScrollOptions() const { return FDragScrollOptions.get(); }
    void SetDragScrollOptions(TDragScrollOptions* v) { FDragScrollOptions->Assign(v); }
    TControlLook* ControlLook() const { return FControlLook.get(); }
    TNavigation* Navigation() const { return FNavigation.get(); }
    TColumnSize* ColumnSize() const { return FColumnSize.get(); }
    TCellNode* CellNode() const { return FCellNode.get(); }
    TBands* Bands() const { return FBands.get(); }
    TSizeWhileTyping* SizeWhileTyping() const { return FSizeWhileTyping.get(); }
    TMouseActions* MouseActions() const { return FMouseActions.get(); }
    TGrouping* Grouping() const { return FGrouping.get(); }
    TStringList* ColumnHeaders() const { return FColumnHeaders.get(); }
    // Clears the header row first, also when no header is given.
    void SetColumnHeaders(TStrings* v);
    THTMLPictureCache* PictureCache() const { return FPictureCache.get(); }
    TFont* FixedFont() const { return FFixedFont.get(); }
    void SetFixedFont(TFont* v);
    TFont* ActiveCellFont() const { return FActiveCellFont.get(); }
    void SetActiveCellFont(TFont* v) { FActiveCellFont->Assign(v); }
    TStringList* RowHeaders() const { return FRowHeaders.get(); }
    void SetRowHeaders(TStrings* v) { FRowHeaders->Assign(v); }
    TStringList* LookupItems() const { return FLookupItems.get(); }
    // nullptr is ignored.
    void SetLookupItems(TStrings* v) { if (v) FLookupItems->Assign(v); }
    TSortIndexList* SortIndexes() const { return FSortIndexes.get(); }
    TIntList* MergedColumns() const { return FMergedColumns.get(); }
    TIntList* IgnoredColumns() const { return FIgnoredColumns.get(); }
    TBitmap* RowIndicator() const { return FRowIndicator.get(); }
    void SetRowIndicator(TBitmap* v) { FRowIndicator->Assign(v); Invalidate(); }
    TBackGround* BackGround() const { return FBackGround.get(); }
    void SetBackGround(TBackGround* v) { FBackGround->Assign(v); Invalidate(); }
    THTMLHintWindow* HintWindow() const { return FHintWindow; }
    TControlList* CellControls() const { return FCellControls.get(); }
    TGridProgressAppearance* ProgressAppearance() const { return FProgressAppearance.get(); }
    void SetProgressAppearance(TGridProgressAppearance* v) { FProgressAppearance->Assign(v); }
    TCollection* HiddenRowList() const { return FHiddenRowList.get(); }
    TFilter* Filter() const { return FFilter.get(); }
    TBalloonSettings* Balloon() const { return FBalloon.get(); }
    void SetBalloon(TBalloonSettings* v) { FBalloon->Assign(v); }
    TShowModified* ShowModified() const { return FShowModified.get(); }
    void SetShowModified(TShowModified* v) { FShowModified->Assign(v); }
    TProRichEdit* RichEdit() const { return FRichEdit; }
    TProRichEdit* RichEditSelection() const { return FRichEditSel; }
    TCellGraphic* RowCheckGraphic() const { return FRowCheckGraphic.get(); }
    TProHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TProHintInfo* v);
    TArrowWindow* ArrowWindow(int Direction) const { return FArrows[Direction & 3]; }
    TPopupButton* PopupButton() const { return FPopupButton; }
    TFooterPanel* FooterPanel() const { return FFooterPanel; }
    TSearchPanel* SearchPanel() const { return FSearchPanel; }
    TGridCombo* GridCombo() const { return FGridCombo; }
    TGridSpin* GridSpin() const { return FGridSpin; }
    TGridTransEdit* GridTransEdit() const { return FGridTransEdit; }
    TGridUniEdit* GridUniEdit() const { return FGridUniEdit; }
    TGridUniMemo* GridUniMemo() const { return FGridUniMemo; }
    TGridUniEditBtn* GridUniEditBtn() const { return FGridUniEditBtn; }
    TGridUniCombo* GridUniCombo() const { return FGridUniCombo; }
    TGridDatePicker* GridDatePicker() const { return FGridDatePicker; }
    TProDateTimePicker* DateTimePicker() const { return FDateTimePicker; }
    TGridCheckBox* GridCheckBox() const { return FGridCheckBox; }
    TGridEditBtn* GridEditBtn() const { return FGridEditBtn; }
    TGridUnitEditBtn* GridUnitEditBtn() const { return FGridUnitEditBtn; }
    TGridButton* GridButton() const { return FGridButton; }
    TControlEdit* ControlEdit() const { return FControlEdit; }
    TControlCombo* ControlCombo() const { return FControlCombo; }
    TImageList* GridImages() const { return FGridImages; }
    void SetGridImages(TImageList* v);
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* v);
    TPopupMenu* FixedDropDownMenu() const { return FFixedDropDownMenu; }
    void SetFixedDropDownMenu(TPopupMenu* v);

    // ---------------------------------------------------------------- dimensions
    int RowCount() const { return TBaseGrid::RowCount(); }
    // With a visible floating footer the last row's texts move to the new last row and the footer
    // is recalculated (SetRowCountPlain leaves the rows as they are, for the grid's own row work).
    void SetRowCount(int Value);
    void SetRowCountPlain(int Value);
    // Columns in view (hidden columns not counted).
    int ColCount() const { return TBaseGrid::ColCount(); }
    void SetColCount(int Value);
    // The most cells (columns times rows) a paste or a file may grow the grid to: each row that
    // holds a cell keeps a place for every column, so a few kilobytes of separators could ask for
    // gigabytes. A whole spreadsheet of 16 columns (1,048,576 rows) fits, about 256 MB of cells.
    static constexpr Int64 MaxGrownCells = Int64(1) << 24;
    // Refuses with EProGridError, before anything changes, a size of Cols x Rows that grows the
    // grid beyond MaxGrownCells; a size within the grid's own passes.
    void CheckGrowth(Int64 Cols, Int64 Rows) const;
    // Refuses with the same error as CheckGrowth; a reader that runs out of memory growing the grid
    // says so too.
    [[noreturn]] static void RefuseGrowth();
    // 1 when the grid holds 0 and FixedRowAlways is set.
    int FixedRows() const;
    void SetFixedRows(int Value);
    int FixedCols() const;
    void SetFixedCols(int Value);
    int DefaultRowHeight() const { return TBaseGrid::DefaultRowHeight(); }
    void SetDefaultRowHeight(int Value);
    int FixedRowHeight() const { return FP.FixedRowHeight; }
    void SetFixedRowHeight(int Value);
    int FixedColWidth() const { return ColWidths(0); }
    void SetFixedColWidth(int Value);
    int FixedRightCols() const { return FP.FixedRightCols; }
    void SetFixedRightCols(int Value);
    int FixedFooters() const { return FP.FixedFooters; }
    void SetFixedFooters(int Value);
    PSG_GRID_PLAIN(bool, FixedRowAlways)
    PSG_GRID_PLAIN(bool, FixedColAlways)
    bool IntegralHeight() const { return FP.IntegralHeight; }
    void SetIntegralHeight(bool Value);
    bool AutoSize() const { return FP.AutoSize; }
    // True sizes the data columns to their content at once (each 10 pixels wider).
    void SetAutoSize(bool Value);
    PSG_GRID_PLAIN(bool, SizeWithForm)
    int HighestRowCount() const { return FHighestRowCount; }
    int HighestColCount() const { return FHighestColCount; }

    // ---------------------------------------------------------------- hidden columns and rows
    // Visibility flags of stored columns; any index works, columns beyond the
    // flags are visible. The hiding itself moves cells (row and column structure).
    bool ColumnVisible(int ACol) const;
    void SetColumnVisibleFlag(int ACol, bool Visible);
    int NumHiddenColumns() const override;
    int NumHiddenRows() const override { return FHiddenRowList->Count(); }
    // Display column of a stored column and back, counting hidden columns.
    int DisplayColumn(int ACol) const override;
    int RealColIndex(int ADisplayCol) const override;
    int RealRowIndex(int ARow) const override;
    int DisplayRowIndex(int ARealRow) const override;
    TStringList* HiddenRowCells(int ARealRow) const override;

    // ---------------------------------------------------------------- cell text and values
    PSG_GRID_REPAINT(bool, EnableHTML)
    PSG_GRID_PLAIN(bool, EditWithTags)
    PSG_GRID_REPAINT(bool, EnhTextSize)
    PSG_GRID_REPAINT(bool, Multilinecells)
    PSG_GRID_PLAIN(bool, OemConvert)
    PSG_GRID_PLAIN(AnsiString, FloatFormat)
    PSG_GRID_PLAIN(bool, ExcelStyleDecimalSeparator)
    PSG_GRID_REPAINT(bool, AutoNumAlign)
    PSG_GRID_REPAINT(bool, URLShow)
    // The link's form and colour show only with URLShow: only then do their setters repaint.
    bool URLFull() const { return FP.URLFull; }
    void SetURLFull(bool v) { if (std::exchange(FP.URLFull, v) != v && FP.URLShow) Invalidate(); }
    PSG_GRID_PLAIN(bool, URLEdit)
    TColor URLColor() const { return FP.URLColor; }
    void SetURLColor(TColor v) { if (std::exchange(FP.URLColor, v) != v && FP.URLShow) Invalidate(); }
    bool WordWrap() const { return FP.WordWrap; }
    void SetWordWrap(bool Value);
    TVAlignment VAlignment() const { return FP.VAlignment; }
    void SetVAlignment(TVAlignment Value);
    // The DrawText flag of VAlignment (0, DT_VCENTER or DT_BOTTOM).
    unsigned VAlignFlag() const { return FVAlignFlag; }
    bool ShowZero() const { return FShowZero; }
    void SetShowZero(bool Value) { FShowZero = Value; }
    const AnsiString& PasswordChar() const { return FPasswordChar; }
    const AnsiString& XMLEncoding() const { return FXMLEncoding; }

    // EProGridError "Cell does not contain integer value"; "" and "-" are 0.
    int CellIntegerValue(int ACol, int ARow);
    void SetCellIntegerValue(int ACol, int ARow, int AValue);
    // EProGridError "Cell does not contain a float value"; "" and "-" are 0.
    double CellFloatValue(int ACol, int ARow);
    // Formatted with FloatFormat ("%.2f").
    void SetCellFloatValue(int ACol, int ARow, double AValue);
    // As CellFloatValue for a real row, also when that row is hidden.
    double AllCellFloatValue(int ACol, int ARealRow);
    // The shortest text of Value; with ShowZero off, 0 and below write "".
    void StoreFloatEditValue(int ACol, int ARow, double Value);
    AnsiString GetStrippedCell(int ACol, int ARow);
    AnsiString GetCellByRealRow(int ACol, int ARealRow);
    void CellToRich(int ACol, int ARow, TRichEdit* ARichEdit);
    void HighlightInGrid(bool ADoFixed, bool ADoCase, const AnsiString& AText);
    void UnHighlightInGrid(bool ADoFixed);

    // ---------------------------------------------------------------- colours
    TColor GetCellBrushColor(int ACol, int ARow);
    void SetCellBrushColor(int ACol, int ARow, TColor AColor);
    void SetCellBrushColorTo(int ACol, int ARow, TColor AColor);
    void SetCellFontColor(int ACol, int ARow, TColor AColor);
    bool IsCellReadOnly(int ACol, int ARow);
    // clNone frees the records of the row's data cells (every format goes).
    void SetRowColor(int ARow, TColor AColor);
    void SetRowColorTo(int ARow, TColor AColor);
    void SetRowFontColor(int ARow, TColor AColor);
    TControl* GetCellControl(int ACol, int ARow);
    // The popup button's gradient, kept as RGB.
    TColor PopupGradFrom() const { return FPopupGrad[0]; }
    TColor PopupGradTo() const { return FPopupGrad[1]; }
    TColor PopupGradMirrorFrom() const { return FPopupGrad[2]; }
    TColor PopupGradMirrorTo() const { return FPopupGrad[3]; }
    void SetPopupGradFrom(TColor v) { SetPopupGrad(0, v); }
    void SetPopupGradTo(TColor v) { SetPopupGrad(1, v); }
    void SetPopupGradMirrorFrom(TColor v) { SetPopupGrad(2, v); }
    void SetPopupGradMirrorTo(TColor v) { SetPopupGrad(3, v); }
    // Header gradient colours of the fixed cells (normal, hover, down).
    TLookColors& LookColors() { return FLook; }
    void SetLookFixedFrom(TColor v);
    void SetLookFixedTo(TColor v);
    void SetLookFixedMirrorFrom(TColor v);
    void SetLookFixedMirrorTo(TColor v);

    // ---------------------------------------------------------------- fixed cells and looks
    PSG_GRID_REPAINT(bool, FixedAsButtons)
    PSG_GRID_PLAIN(THoverFixedCells, HoverFixedCells)
    TGridLook Look() const { return FP.Look; }
    void SetLook(TGridLook Value);
    bool Flat() const { return FP.Flat; }
    void SetFlat(bool Value);
    bool AutoThemeAdapt() const { return FP.AutoThemeAdapt; }
    // True adapts the colours to the system's theme at once.
    void SetAutoThemeAdapt(bool Value);
    bool IsWinXPFlag() const { return FIsWinXP; }

    // ---------------------------------------------------------------- selection and active cell
    TColor SelectionColor() const { return FP.SelectionColor; }
    void SetSelectionColor(TColor v) { SetColorRepaint(FP.SelectionColor, v); }
    TColor SelectionColorTo() const { return FP.SelectionColorTo; }
    void SetSelectionColorTo(TColor v) { SetColorRepaint(FP.SelectionColorTo, v); }
    TColor SelectionMirrorColor() const { return FP.SelectionMirrorColor; }
    void SetSelectionMirrorColor(TColor v) { SetColorRepaint(FP.SelectionMirrorColor, v); }
    TColor SelectionMirrorColorTo() const { return FP.SelectionMirrorColorTo; }
    void SetSelectionMirrorColorTo(TColor v) { SetColorRepaint(FP.SelectionMirrorColorTo, v); }
    TColor SelectionTextColor() const { return FP.SelectionTextColor; }
    void SetSelectionTextColor(TColor v) { SetColorRepaint(FP.SelectionTextColor, v); }
    PSG_GRID_REPAINT(bool, SelectionRectangle)
    PSG_GRID_REPAINT(bool, SelectionResizer)
    PSG_GRID_PLAIN(bool, SelectionRTFKeep)
    PSG_GRID_REPAINT(bool, HideFocusRect)
    PSG_GRID_REPAINT(bool, ActiveCellShow)
    PSG_GRID_REPAINT(TColor, ActiveCellColor)
    PSG_GRID_REPAINT(TColor, ActiveCellColorTo)
    PSG_GRID_PLAIN(bool, Hovering)
    void SetShowSelection(bool Value);

    // ---------------------------------------------------------------- editing
    PSG_GRID_PLAIN(TEditorType, DefaultEditor)
    int MaxEditLength() const { return FP.MaxEditLength; }
    void SetMaxEditLength(int Value);
    PSG_GRID_PLAIN(int, MaxComboLength)
    PSG_GRID_PLAIN(bool, Lookup)
    PSG_GRID_PLAIN(bool, LookupCaseSensitive)
    PSG_GRID_PLAIN(bool, LookupHistory)
    // Corrects and marks a cell's new text when its edit ends (nullptr: none); cleared when it goes.
    TProStringGridCheck* CellChecker() const;
    void SetCellChecker(TProStringGridCheck* v);

    // ---------------------------------------------------------------- scrolling
    TScrollBarAlways ScrollBarAlways() const { return FP.ScrollBarAlways; }
    // Stores, then forces the scroll-bar update.
    void SetScrollBarAlways(TScrollBarAlways Value);
    TColor ScrollColor() const { return FP.ScrollColor; }
    void SetScrollColor(TColor Value);
    bool ScrollProportional() const { return FP.ScrollProportional; }
    void SetScrollProportional(bool Value);
    PSG_GRID_PLAIN(bool, ScrollSynch)
    TScrollType ScrollType() const { return FP.ScrollType; }
    void SetScrollType(TScrollType Value);
    int ScrollWidth() const { return FP.ScrollWidth; }
    void SetScrollWidth(int Value);
    PSG_GRID_PLAIN(TScrollHintType, ScrollHints)
    PSG_GRID_PLAIN(bool, EnableWheel)
    PSG_GRID_PLAIN(TIntelliPan, IntelliPan)
    PSG_GRID_PLAIN(bool, IntelliZoom)

    // ---------------------------------------------------------------- hints
    PSG_GRID_PLAIN(TColor, HintColor)
    PSG_GRID_PLAIN(bool, HintShowCells)
    PSG_GRID_PLAIN(bool, HintShowLargeText)
    PSG_GRID_PLAIN(bool, HintShowSizing)
    PSG_GRID_PLAIN(bool, HTMLHint)
    PSG_GRID_PLAIN(bool, AnchorHint)

    // ---------------------------------------------------------------- structure and services
    bool FilterActive() const { return FP.FilterActive; }
    void SetFilterActive(bool Value);
    PSG_GRID_PLAIN(bool, EnhRowColMove)
    PSG_GRID_PLAIN(bool, EnableBlink)
    // "a.b.c.d" of GetVersionNr; writes are ignored.
    AnsiString Version();
    void SetVersion(const AnsiString&) {}
    virtual int GetVersionNr() { return FGridVersionNr; }
    // Version and the date of the build: "1.0.0.0 Dec, 2026".
    virtual AnsiString VersionText();

    // ---------------------------------------------------------------- per-cell questions
    // AHint is the hint prepared so far; the answer is what OnGridHint leaves of it.
    virtual AnsiString GetCellHint(int ACol, int ARow, const AnsiString& AHint = AnsiString());
    virtual void GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont);
    virtual void GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont);
    virtual void GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders);
    virtual void GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders);
    virtual void GetCellAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign);
    virtual TEditorType GetCellEditorType(int ACol, int ARow);
    virtual bool IsFixedCell(int ACol, int ARow);
    virtual bool GetCellReadOnly(int ACol, int ARow);
    virtual bool IsPasswordCell(int ACol, int ARow);
    // WordWrap comes in as the caller has it (the cell's own for painting); the event may change it.
    virtual void GetCellWordWrap(int ACol, int ARow, bool& WordWrap);
    virtual bool CanEditCell(int ACol, int ARow);
    virtual bool HasComboBox(int ACol, int ARow);
    virtual bool HasSpinEdit(int ACol, int ARow);
    virtual AnsiString GetCheckTrue(int ACol, int ARow);
    virtual AnsiString GetCheckFalse(int ACol, int ARow);
    void SetCheckTrue(const AnsiString& v) { FCheckTrue = v; }
    void SetCheckFalse(const AnsiString& v) { FCheckFalse = v; }
    void GetCellColors(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont, TColor& AColorTo,
                       TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& AAlignment,
                       TVAlignment& AVAlignment, bool& AWordWrap,
                       TCellGradientDirection& AGradientDirection) override;
    // Fixed footer rows and fixed right columns, else IsFixedCell (merged cells by their base cell).
    bool IsFixed(int ACol, int ARow) override;
    // The row is one of the fixed footer rows or the shown column one of the fixed right columns.
    bool InFixedFootersOrRightCols(int ADisplayCol, int ARow) const;

    // ---------------------------------------------------------------- current cell
    virtual AnsiString GetCurrentGridCell();
    virtual AnsiString GetCurrentCell();
    virtual void SetCurrentCell(const AnsiString& Value);
    virtual void SetCurrentEditText(const AnsiString& Value);
    int Row() const { return TBaseGrid::Row(); }
    void SetRow(int Value);
    TInplaceEdit* GetInplaceEditor() const { return InplaceEditor(); }
    void MoveToCell(int ACol, int ARow);
    // A display column; recorded in UndoRedo when one is attached; a check box cell gets its state.
    virtual void SetCellTextWithUndo(int ACol, int ARow, const AnsiString& Value);

    // ---------------------------------------------------------------- selection
    // EProGridError "Invalid row accessed" outside 0..RowCount + hidden rows - 1. ARow is the index
    // of a row's flag (RowSelectFlagIndex).
    bool GetRowSelect(int ARow);
    void SetRowSelect(int ARow, bool ASelect);
    // The index of the disjunct selection flag of the row shown at ADisplayRow: its stored row with
    // MouseActions.RowSelectPersistent (the flag stays with the row while rows are hidden), else
    // the row as shown. Rows inserted, removed, sorted or moved take their flags along by it.
    int RowSelectFlagIndex(int ADisplayRow) const;
    // The selection state of the row shown at ADisplayRow (its flag with DisjunctRowSelect), and
    // its flag set.
    bool GetShownRowSelect(int ADisplayRow);
    void SetShownRowSelect(int ADisplayRow, bool ASelect) { SetRowSelect(RowSelectFlagIndex(ADisplayRow), ASelect); }
    // EProGridError "Invalid column accessed" outside 0..ColCount - 1.
    bool GetColSelect(int ACol);
    void SetColSelect(int ACol, bool ASelect);
    bool IsSelected(int ACol, int ARow);
    void SelectRows(int ARow, int ACount);
    void SelectCols(int ACol, int ACount);
    void SelectRange(int FromCol, int ToCol, int FromRow, int ToRow);
    void ClearRowSelect();
    void ClearColSelect();
    void SelectionToRowSelect(bool AAll);
    void SelectionToColSelect(bool AAll);
    int SelectedRowCount();
    // Rows in the order they were selected (disjunct selection).
    const std::vector<int>& RowSelectOrder() const { return FRowSelectOrder; }
    // Fires OnSelectionChanged.
    virtual void SelectionChanged(int ALeft, int ATop, int ARight, int ABottom);

    // ---------------------------------------------------------------- modified marks
    bool GetRowModified(int ARow) const;
    void SetRowModified(int ARow, bool AValue);
    void ClearRowModified();

    // ---------------------------------------------------------------- repainting
    void RepaintCell(int ACol, int ARow);
    void RepaintRow(int ARow);
    void RepaintCol(int ACol);
    void RepaintRect(const TRect& R);

    // ---------------------------------------------------------------- update bracket
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // ---------------------------------------------------------------- filter, zoom, cell controls
    virtual bool MatchFilter(int ARow);
    virtual AnsiString CalcFormula(int ACol, int ARow, const AnsiString& AValue) { return AValue; }
    void Zoom(int Delta);
    int ZoomLevel() const { return FZoomLevel; }
    void PositionCellControls();

    // ---------------------------------------------------------------- rows and columns, services
    // Row and column structure, clearing, sorting, sizing and the text stream
    // of the grid's services; these bodies come with those features.
    virtual void InsertRows(int ARow, int ACount);
    virtual void RemoveRows(int ARow, int ACount);
    virtual void RemoveRowsEx(int ARow, int ACount);
    virtual void InsertColumns(int ACol, int ACount);
    virtual void RemoveColumns(int ACol, int ACount);
    // Stored columns (hidden ones included) and display rows: a caller holding
    // columns as shown turns them into stored ones first (StoredColumnRuns).
    virtual void ClearCellRect(int FromCol, int FromRow, int ToCol, int ToRow);
    virtual void SortRows();
    virtual void HideRow(int ARow);
    virtual void UnHideRowsAll();
    virtual void UnHideSelection();
    virtual void ExpandAll();
    // -1: every column.
    virtual void CalcFooter(int ACol);
    // Widens a column to fill the client width; -1 is the last column.
    virtual void StretchColumn(int ACol);
    // The widths of all columns and the grid's width as the reference that a resize with
    // ColumnSize.SynchWithGrid scales the columns from (taken by Loaded).
    void SnapshotColumnWidths();
    virtual void AutoSizeColumns(bool ADoFixedCols, int APadding);
    virtual void WriteTextStream(TStream* Stream);
    virtual void ReadTextStream(TStream* Stream);
    // The column widths under ColumnSize's key and section (ProGridPrintFiles.cpp).
    virtual void SaveColumnSizes();
    virtual void LoadColumnSizes();

    // ================================================================ grid services (rows, sorting, calculations, stream)
    // Row structure: row arguments are display rows, column arguments stored
    // columns. Every operation keeps hidden rows, row heights, selection
    // flags, modified marks and cell controls in step with the rows.
    void InsertRowsEx(int ARow, int ACount, bool UpdateControls);
    // An empty row before each of ARows (ascending rows, none hidden; a row may repeat), all
    // in one pass, as InsertRowsEx would insert them one by one.
    void InsertRowsBefore(const std::vector<int>& ARows);
    virtual void AddRow();
    virtual void DeleteRows(int ARow, int ACount);
    // Nothing for a start row outside the grid; the count is limited to the rows there are.
    void RemoveRowsInternal(int ARow, int ACount, bool DropControls);
    void RemoveSelectedRows();
    // Removes the display rows ARows (any order; rows outside the grid are left out) as
    // RemoveRows(row, 1) on each from the last up would, in one pass.
    void RemoveRowList(std::vector<int> ARows);
    void ClearRowRange(int ARow, int ACount);
    void ClearColumnRange(int ACol, int ACount);
    void ClearSelection();
    void ClearAll();
    // Keeps the first row of every text of the column; texts differing only
    // in case count as the same text whatever CaseSensitive says.
    void RemoveDuplicateRows(int ACol, bool CaseSensitive);
    void SplitColumnCells(int ACol);
    void MergeColumnCells(int ACol, bool MainMerge);
    bool IsUnicodeCell(int ACol, int ARow);
    void ResetColumnOrder();
    // The widths of the shown columns in order, and setting them back.
    std::vector<int> ShownColWidths() const;
    void SetShownColWidths(const std::vector<int>& AWidths);
    TIntList* ColumnOrder() { return &FColumnOrder; }
    // The layer's scaling (ScaleBy), then the fixed-cell font and the active-cell font.
    void ChangeScale(int M, int D) override;
    // Stored columns: the shown ones and the hidden ones.
    int AllColCount() const { return ColCount() + NumHiddenColumns(); }
    // The shown columns FromCol..ToCol as runs of adjacent stored columns (first, last),
    // left to right: a hidden column between two shown ones splits a run.
    std::vector<std::pair<int, int>> StoredColumnRuns(int FromCol, int ToCol) const;
    // The grouped column, -1 when the grid is not grouped.
    int GroupColumn() const { return FGroupColumn; }
    void SetGroupColumn(int Value) { FGroupColumn = Value; }

    // Sorting.
    void SortByColumn(int ACol, TSortDirection ADirection);
    // EProGridError "No indexes specified for indexed sort" with no sort indexes.
    virtual void SortRowsIndexed();
    virtual void SortGroups();
    virtual void SortGroupsIndexed();
    virtual void UnSort();
    virtual void SwapRows(int ARow1, int ARow2);
    void ResetRowOrder();
    TIntList* RowOrder() { return &FRowOrder; }
    // -1, 0 or 1 in ascending sense (blank placement already follows ADirection).
    int CompareCells(int ACol, int ARow1, int ARow2, TSortDirection ADirection);
    int CompareRows(int ACol, int ARow1, int ARow2);
    int CompareRowsIndexed(int AIndex, int ARow1, int ARow2);
    void QuickSortRows(int ACol, int ALo, int AHi);
    void QuickSortRowsIndexed(int AIndex, int ALo, int AHi);
    void SortRangeIndexed(int ALo, int AHi);
    virtual void GetCellFormat(int ACol, TSortStyle& AStyle, AnsiString& APrefix, AnsiString& ASuffix);

    // Column calculations over display rows FromRow..ToRow.
    double ColumnSum(int ACol, int FromRow, int ToRow);
    double ColumnAverage(int ACol, int FromRow, int ToRow);
    // EProGridError "Cell does not contain a float value" for a non-numeric cell at FromRow.
    double ColumnMinimum(int ACol, int FromRow, int ToRow);
    double ColumnMaximum(int ACol, int FromRow, int ToRow);
    void NumberColumn(int ACol);
    int AutoNumStart() const { return FAutoNumStart; }
    void SetAutoNumStart(int Value) { FAutoNumStart = Value; }
    int AutoNumOffset() const { return FAutoNumOffset; }
    void SetAutoNumOffset(int Value) { FAutoNumOffset = Value; }
    bool AutoNumReverse() const { return FAutoNumReverse; }
    void SetAutoNumReverse(bool Value) { FAutoNumReverse = Value; }

    // Sizing to content; 0 as a bound means none. Columns as shown: a column is sized by the
    // texts of the stored column shown there, a row by every shown cell.
    void AutoSizeCol(int ACol);
    void AutoSizeColEx(int ACol, bool GrowOnly);
    void AutoSizeRow(int ARow);
    void AutoSizeRowEx(int ARow, bool GrowOnly);
    void SizeRowToLines(int ARow, int ALines, int AExtra);
    // The lines of text a row's height holds (the line height of SizeRowToLines, the cell text
    // offset above and below); 1 at least.
    int RowLineCount(int ARow);
    int AutoSizeExtraWidth() const { return FAutoSizeExtraWidth; }
    void SetAutoSizeExtraWidth(int Value) { FAutoSizeExtraWidth = Value; }
    int AutoSizeExtraHeight() const { return FAutoSizeExtraHeight; }
    void SetAutoSizeExtraHeight(int Value) { FAutoSizeExtraHeight = Value; }
    int MinColWidth() const { return FMinColWidth; }
    void SetMinColWidth(int Value) { FMinColWidth = Value; }
    int MaxColWidth() const { return FMaxColWidth; }
    void SetMaxColWidth(int Value) { FMaxColWidth = Value; }
    int MinRowHeight() const { return FMinRowHeight; }
    void SetMinRowHeight(int Value) { FMinRowHeight = Value; }
    int MaxRowHeight() const { return FMaxRowHeight; }
    void SetMaxRowHeight(int Value) { FMaxRowHeight = Value; }
    bool AutoSizeGrowOnly() const { return FAutoSizeGrowOnly; }
    void SetAutoSizeGrowOnly(bool Value) { FAutoSizeGrowOnly = Value; }
    // The selection (or the selected rows) as text: tabs between cells, CR LF between rows.
    AnsiString GridAsPlainText();
    // The rows GridAsPlainText takes from the area: the flagged rows with DisjunctRowSelect, else
    // the area's rows.
    std::vector<int> SelectedTextRows(const TGridRect& AArea) const;

    // Save range and cell conversion of save, export and the text stream.
    bool ExportFixedCells() const { return FExportFixedCells; }
    void SetExportFixedCells(bool Value) { FExportFixedCells = Value; }
    // What SaveCell writes: the displayed form of numbers instead of the
    // stored text; rich text and mini-HTML as stored instead of plain text.
    bool SaveFormattedText() const { return FSaveFormattedText; }
    void SetSaveFormattedText(bool Value) { FSaveFormattedText = Value; }
    bool SaveKeepsRichText() const { return FSaveKeepsRichText; }
    void SetSaveKeepsRichText(bool Value) { FSaveKeepsRichText = Value; }
    bool SaveKeepsHTML() const { return FSaveKeepsHTML; }
    void SetSaveKeepsHTML(bool Value) { FSaveKeepsHTML = Value; }
    // OnSaveCell may run on several threads at once (it reads nothing but its arguments and
    // changes nothing but Value): exports of many rows then form them on several cores.
    bool SaveCellConcurrent() const { return FSaveCellConcurrent; }
    void SetSaveCellConcurrent(bool Value) { FSaveCellConcurrent = Value; }
    // Cells gives the stored text (CellText) of every cell that holds no object, no event or
    // group count forming what is shown, so that cells may be read on several threads at once
    // while nothing changes the grid.
    bool CellsAsStored() const;
    // What Cells gives: with AAsStored (CellsAsStored, asked once for many cells) a view of
    // the stored text of a cell without an object, safe to read off the grid's thread; else
    // a copy kept in ACopy.
    std::string_view ShownCellText(int ACol, int ARow, bool AAsStored, AnsiString& ACopy);
    int SaveColStart();
    int SaveRowStart();
    int SaveColEnd();
    int SaveRowEnd();
    int SaveColCount();
    int SaveRowCount();
    virtual void SaveCell(int ACol, int ARow, AnsiString& Value);
    virtual void LoadCell(int ACol, int ARow, const AnsiString& Value);
    // Phase 0 start, 1 step (Value = row), 2 end, 4 found.
    virtual void DoProgress(int Phase, int Value);
    // Announces changed cells (OnCellsChanged), then recalculates the footers.
    virtual void CellsChanged(const TRect& R);

    TGetFormatEvent OnGetFormat;
    TCustomCompareEvent OnCustomCompare;
    TRawCompareEvent OnRawCompare;
    TCellsChangedEvent OnCellsChanged;
    TCellTextEvent OnSaveCell;
    TCellTextEvent OnLoadCell;
    TGridProgressEvent OnGridProgress;
    // ================================================================ end of grid services

    // ================================================================ cell graphics, auxiliary editors, row and column structure
    // Cell graphics (ProGridGraphics.cpp). Column arguments are stored columns.
    virtual TCellGraphic* GetCellGraphic(int ACol, int ARow);
    virtual TCellType GetCellType(int ACol, int ARow);
    // AForText: the cell is measured for its text (placement decides what counts).
    virtual void GetCellGraphicSize(int ACol, int ARow, TSize& ASize, bool AForText = false);
    virtual void GetCellGraphicSizeEx(int ACol, int ARow, TSize& ASize, double AFactor, int AWidth, int AHeight);
    bool HasCheckBox(int ACol, int ARow);
    bool HasDataCellGraphic(int ACol, int ARow);
    bool HasCellControl(int ACol, int ARow);
    bool HasButton(int ACol, int ARow);
    bool HasRadio(int ACol, int ARow);
    TIntList* GetCellImages(int ACol, int ARow);
    TStrings* GetRadioStrings(int ACol, int ARow);
    bool GetRadioIndex(int ACol, int ARow, int& AIndex);
    int CellGraphicValue(int ACol, int ARow);
    bool GetCellError(int ACol, int ARow, int& AFrom, int& ALen);
    // nullptr when the cell's object slot holds an object of the program (no record).
    TCellGraphic* CreateCellGraphic(int ACol, int ARow);
    bool RemoveCellGraphic(int ACol, int ARow);
    void RemoveCellGraphicOfType(int ACol, int ARow, TCellType AType);
    void AddCellComment(int ACol, int ARow, const AnsiString& AComment);
    bool GetCellComment(int ACol, int ARow, AnsiString& AComment);
    void RemoveCellComment(int ACol, int ARow);
    bool GetCheckBoxState(int ACol, int ARow, bool& AState);
    bool SetCheckBoxState(int ACol, int ARow, bool AState);
    // ARow is a display row; undo and redo of a toggle put the box's state back.
    virtual bool ToggleCheckBox(int ACol, int ARow, bool AAsk);
    void ApplyUndoValue(int ACol, int ARow, const AnsiString& Value) override;
    void CheckAll(int ACol);
    void UnCheckAll(int ACol);
    bool IsCheckBoxHit(int ACol, int ARow, int X, int Y);
    bool SelectNextRadioItem(int ACol, int ARow, bool AAsk);
    void SetCellButtonDown(int ACol, int ARow, bool ADown);
    void GetCellButtonRect(int ACol, int ARow, TRect& R);
    bool IsRotated(int ACol, int ARow, int& AAngle);
    void RepaintActiveCellHeaders(int OldCol, int OldRow, int NewCol, int NewRow);

    // Editing services the auxiliary editors call (ProGridAux.cpp).
    virtual void EndRichEdit() { EndCellEdit(); }
    // Opens the next edit-like form control of the cell: Index 0 the first, else the one after the
    // control opened last (grid/editing/FormControls.cpp).
    virtual void ShowNextCellFormControl(int ACol, int ARow, int Index);
    // Set while the rich-text popup editor is up.
    bool RichEditPopupActive() const { return FRichEditPopup; }
    void SetRichEditPopupActive(bool Value) { FRichEditPopup = Value; }
    void GridKeyDown(Word& Key, TShiftState Shift) { KeyDown(Key, Shift); }

    // Columns (ProGridStructure.cpp): stored indices.
    void HideColumns(int FromCol, int ToCol);
    void HideColumn(int ACol) { HideColumns(ACol, ACol); }
    void UnHideColumns(int FromCol, int ToCol);
    void UnHideColumn(int ACol) { UnHideColumns(ACol, ACol); }
    void UnHideColumnsAll();
    bool IsHiddenColumn(int ACol) const;
    bool IsIgnoredColumn(int ACol) const;
    int DisplayColIndex(int ARealCol) const { return DisplayColumn(ARealCol); }
    int GetRealColIndex(int ADisplayCol) const { return RealColIndex(ADisplayCol); }
    int GetRealRowIndex(int ARow) const { return RealRowIndex(ARow); }
    int GetDisplayRowIndex(int ARealRow) const { return DisplayRowIndex(ARealRow); }
    int GetRealCol() const { return RealColIndex(Col()); }
    void MoveColumn(int FromIndex, int ToIndex) override;
    void MoveRow(int FromIndex, int ToIndex) override;
    // A move to or from the last row while the floating footer keeps it (fsFixedLastRow).
    bool FooterRowMove(int FromIndex, int ToIndex);

    // Rows: stored indices.
    void HideRows(int FromRow, int ToRow);
    // Ascending display rows, while no row is hidden.
    void HideRowList(const std::vector<int>& AList);
    void UnHideRows(int FromRow, int ToRow);
    void UnHideRow(int ARow) { UnHideRows(ARow, ARow); }
    bool IsHiddenRow(int ARealRow) const { return HiddenRowItem(ARealRow) != nullptr; }
    // The record of a hidden row, nullptr for a row in the table.
    TGridItem* HiddenRowItem(int ARealRow) const;
    void InsertRowKeepHidden(int ARealRow);
    void RemoveRowKeepMax(int ARow);

    // Nodes: stored rows.
    bool HasNodes() override { return FNodeCount > 0; }
    int NodeCount() const { return FNodeCount; }
    void AddNode(int ARow, int ASpan);
    void AddSummaryRow(int ARow);
    void RemoveNode(int ARow);
    void RemoveAllNodes();
    bool IsNodeRow(int ARow);   // IsNodeRow and IsSummaryRow read the row as shown
    bool IsSummaryRow(int ARow);
    bool GetNodeState(int ARow);
    int GetNodeLevel(int ARow);
    int GetNodeSpan(int ARow);
    int GetParentNodeRow(int ARow);
    int GetNodeLineKind(int ARow);
    bool IsNodeGlyphHit(int ARow, int X);
    void ExpandNode(int ARow);
    void ContractNode(int ARow);
    void ContractAll();
    void InsertChildRow(int ARow, bool AAfter);
    void RemoveChildRow(int ARow);

    // Grouping.
    virtual void GroupByColumn(int ACol);
    virtual void SubGroup(int ACol);
    virtual void RemoveNodeLevel(int ACol);
    virtual void UnGroup();
    void GetDisplText(int ACol, int ARow, AnsiString& Value) override;

    // Other structure operations.
    void ScrollInView(int ACol, int ARow);
    void HideSelection();
    bool SelectionHidden() const { return FSelectionHidden; }
    virtual bool CanAddRow();
    // CanInsert answers whether a row may be inserted at ARow (true unless OnCanInsertRow says otherwise).
    virtual void CanInsertRow(int ARow, bool& CanInsert);

    TCellValidateEvent OnCellValidate;
    TNotifyEvent OnEditingDone;
    TEndRowSizeEvent OnEndRowSize;
    TCanRowEvent OnCanAddRow;
    TCanInsertRowEvent OnCanInsertRow;
    // ================================================================ end of cell graphics, auxiliary editors, row and column structure

    // ================================================================ looks, painting, glyphs, cell text, hints
    // Looks and colour presets (ProGridLook.cpp).
    void SetComponentLook(int Preset);
    void ThemeAdapt();
    // 4 on Vista or later; else 1 "NormalColor", 2 "HomeStead", 3 "Metallic", 0 any other or no theme.
    Byte CurrentXPColorScheme();
    bool IsVistaFlag() const { return FIsVista; }
    bool HasOwnBorder();
    // The grid's own two-pixel frame, painted into a canvas of the window's size.
    void PaintNCBorder(TCanvas* DC);
    TColor SelectionRectangleColor() const { return FSelectionRectangleColor; }
    void SetSelectionRectangleColor(TColor v) { FSelectionRectangleColor = v; Invalidate(); }

    // Painting (ProGridPaint.cpp).
    void GetCellStyle(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont, TColor& AColorTo,
                      TColor& AMirrorColor, TColor& AMirrorColorTo, TCellGradientDirection& AGradientDirection,
                      bool& ASelected) override;
    // The whole colour decision, with alignment and word wrap: the form above is the base grid's.
    void GetCellStyle(int ACol, int ARow, TGridDrawState& State, bool Printing, bool ShowSelection,
                      bool UseRealColumn, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                      TColor& AMirrorColorTo, TFont* AFont, TAlignment& HAlign, TVAlignment& VAlign,
                      bool& WordWrap, TCellGradientDirection& GradientDirection);
    // The brush and font of a cell as GetCellStyle gives them on screen without the selection, and
    // without asking for alignment or word wrap: what measuring its text needs.
    // With ASource, AFont is assigned a grid's font only when it does not hold that font already.
    void GetCellTextStyle(int ACol, int ARow, TBrush* ABrush, TFont* AFont, TStyleFont* ASource = nullptr);
    void DrawGridCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void ResolveCellAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign);
    void DrawRichTextCell(int ACol, int ARow, const TRect& ARect, TCanvas* ACanvas);
    // Dotted XOR lines shown while a column or row is sized; a second call erases.
    void DrawColSizingLine(int X);
    void DrawRowSizingLine(int Y);
    // Descendants answer true to show a filter button in a header cell.
    virtual bool HasFilterButton(int ACol) { return false; }
    TPoint CellTextOffset() const { return FCellTextOffset; }
    int ZoomDelta() const { return ZoomLevel(); }
    // The fixed cell under the mouse (-1 when none) and whether a button is down over it.
    void SetHoverFixedCell(int ACol, int ARow, bool MouseDown);
    // Set while the in-place editor is shown, and during a plain click in disjunct row selection.
    void SetEditorVisibleFlag(bool v) { FEditorVisible = v; }
    void SetPlainClickFlag(bool v) { FPlainClick = v; }
    // Cells of the disjunct cell selection (stored column, row).
    std::vector<TPoint>& SelectedCells() { return FSelectedCells; }

    // Cell glyphs (ProGridGlyphs.cpp).
    void DrawCheckBox(TCanvas* ACanvas, const TRect& R, bool Checked, bool Enabled, TGridControlStyle Style);
    void DrawRadioButton(TCanvas* ACanvas, const TRect& R, double Scale, TGridControlStyle Style, int ARow,
                         int ACol, bool Selected, TStrings* Items, bool Disabled, bool Horizontal, int ItemIndex,
                         int Count);
    void DrawSortIndicator(TCanvas* ACanvas, int ACol, int X, int Y);

    // Cell text hooks (ProGridText.cpp).
    virtual void FormatNumericCell(int ACol, int ARow, AnsiString& Text);
    void GetCellTextSize(int ACol, int ARow, bool WrapToWidth, TPoint& Size);
    // The same for one of many cells: the canvas, the fonts and the texts already measured are kept in
    // AMeasure (made for this grid) between cells.
    void GetCellTextSize(int ACol, int ARow, bool WrapToWidth, TPoint& Size, TCellTextMeasure& AMeasure);
    // A display row: inside a node the row joins it, elsewhere hidden rows keep their places.
    virtual void AutoInsertRow(int ARow);
    virtual void AutoRemoveRow(int ARow);
    // The balloon's title and text for a cell; false when there is no balloon text.
    bool GetBalloonText(int ACol, int ARow, AnsiString& ATitle, AnsiString& AText, int& AIcon);

    // Hints and balloons (ProHint.cpp).
    // HintInfo.HintData becomes the grid's mini-HTML hint window when the hint needs it.
    void PrepareCellHint(AnsiString& HintStr, THintInfo& HintInfo);
    void CreateBalloonTooltip();
    void DestroyBalloonTooltip();
    TBalloonWindow* BalloonWindow() const { return FBalloonWindow; }
    // The balloon's answer to the mouse resting at a client point: title and text shown; false for none.
    bool ShowBalloonAt(int X, int Y);
    TPoint LastHintCell() const { return TPoint(FHintCol, FHintRow); }

    TGetFloatFormatEvent OnGetFloatFormat;
    TAutoRowEvent OnAutoInsertRow;
    TAutoRowEvent OnAutoDeleteRow;
    TCellBalloonEvent OnCellBalloon;
    TAnchorHintEvent OnAnchorHint;
    TCustomCellDrawEvent OnCustomCellDraw;
    TCellBorderPropEvent OnGetCellBorderProp;
    TNotifyEvent OnAfterPaint;
    // ================================================================ end of looks, painting, glyphs, cell text, hints

    // ---------------------------------------------------------------- events
    TGridHintEvent OnGridHint;
    TGridWideHintEvent OnGridWideHint;
    TOfficeHintEvent OnOfficeHint;
    TGridColorEvent OnGetCellColor;
    TGridColorEvent OnGetCellPrintColor;
    TGridBorderEvent OnGetCellBorder;
    TGridBorderEvent OnGetCellPrintBorder;
    TGridAlignEvent OnGetAlignment;
    TGetEditorTypeEvent OnGetEditorType;
    TCellBoolEvent OnIsFixedCell;
    TCellBoolEvent OnIsPasswordCell;
    TCellBoolEvent OnGetWordWrap;
    TCanEditCellEvent OnCanEditCell;
    TCellBoolEvent OnHasComboBox;
    TCellBoolEvent OnHasSpinEdit;
    TGetCheckEvent OnGetCheckTrue;
    TGetCheckEvent OnGetCheckFalse;
    TRowUpdateEvent OnRowUpdate;
    TRowDisjunctSelectEvent OnRowDisjunctSelect;
    TRowDisjunctSelectedEvent OnRowDisjunctSelected;
    TFilterProgressEvent OnFilterProgress;
    TCustomFilterEvent OnCustomFilter;
    TColumnSizeEvent OnColumnSize;
    TRowSizeEvent OnRowSize;
    TDateTimeChangeEvent OnDateTimeChange;
    TDatePickerCloseUpEvent OnDatePickerCloseUp;
    TNotifyEvent OnRichEditSelectionChange;

    // ================================================================ events and hooks of the grid (review-grid)
    // Every event of the grid not declared with its feature above, by area.
    // Navigation and selection.
    TRowChangingEvent OnRowChanging;
    TColChangingEvent OnColChanging;
    TCellChangingEvent OnCellChanging;
    TAutoAdvanceEvent OnAutoAdvance;
    TSelectionChangedEvent OnSelectionChanged;
    TSelectionResizeEvent OnSelectionResize;
    TSelectionResizeEvent OnSelectionResized;
    // Clicks.
    TRowColEvent OnClickCell;
    TRowColEvent OnRightClickCell;
    TRowColEvent OnDblClickCell;
    TRowColAllowEvent OnCanClickCell;
    TIndexEvent OnClickSort;
    TIndexAllowEvent OnCanSort;
    TFixedDropDownClickEvent OnFixedDropDownClick;
    TColRowEvent OnButtonClick;
    TCheckBoxClickEvent OnCheckBoxClick;
    TCheckBoxClickEvent OnCheckBoxMouseUp;
    TRadioClickEvent OnRadioClick;
    TRadioClickEvent OnRadioMouseUp;
    TControlClickEvent OnControlClick;
    TControlClickEvent OnControlEditDone;
    TControlComboListEvent OnControlComboList;
    TEllipsClickEvent OnEllipsClick;
    TWideEllipsClickEvent OnWideEllipsClick;
    // Hints and anchors.
    TAnchorClickEvent OnAnchorClick;
    TAnchorEvent OnAnchorEnter;
    TAnchorEvent OnAnchorExit;
    // Editing.
    TGetEditorPropEvent OnGetEditorProp;
    TCellValidateWideEvent OnCellValidateWide;
    TColRowEvent OnEditCellDone;
    TEditChangeEvent OnEditChange;
    TSetEditWideTextEvent OnSetEditWideText;
    TGetEditWideTextEvent OnGetEditWideText;
    TComboChangeEvent OnComboChange;
    TRowColEvent OnComboCloseUp;
    TComboObjectChangeEvent OnComboObjectChange;
    TSpinClickEvent OnSpinClick;
    TFloatSpinClickEvent OnFloatSpinClick;
    TDateTimeSpinClickEvent OnTimeSpinClick;
    TDateTimeSpinClickEvent OnDateSpinClick;
    TCustomStrToDateEvent OnCustomStrToDate;
    // Rows and columns.
    TAutoRowEvent OnAutoAddRow;
    TIndexEvent OnAutoInsertCol;
    TIndexAllowEvent OnCanDeleteRow;
    TIndexSizeEvent OnColumnSizing;
    TIndexSizeEvent OnRowSizing;
    TIndexAllowEvent OnColumnMove;
    TIndexAllowEvent OnColumnMoving;
    TIndexAllowEvent OnRowMove;
    TIndexAllowEvent OnRowMoving;
    // Nodes and grouping: the display row of the node.
    TNodeEvent OnExpandNode;
    TNodeEvent OnContractNode;
    TNodeAllowEvent OnBeforeExpandNode;
    TNodeAllowEvent OnBeforeContractNode;
    TGroupCalcEvent OnGroupCalc;
    // Search footer.
    TSearchEditChangeEvent OnSearchEditChange;
    TSearchFooterActionEvent OnSearchFooterAction;
    TNotifyEvent OnSearchFooterClose;
    TNotifyEvent OnCreatedSearchFooter;
    // Footers.
    TFooterPaintEvent OnFooterPaint;
    TNotifyEvent OnCreatedFloatingFooter;
    // Clipboard, files, cells.
    TAllowEvent OnClipboardPaste;
    TAllowEvent OnClipboardCopy;
    TAllowEvent OnClipboardCut;
    TClipboardBeforePasteEvent OnClipboardBeforePasteCell;
    TClipboardBeforePasteWideEvent OnClipboardBeforePasteWideCell;
    TCustomCellSizeEvent OnCustomCellSize;
    // Printing.
    TPrintStartEvent OnPrintStart;
    TPrintCancelEvent OnPrintCancel;
    TPrintPageEvent OnPrintPage;
    TPrintPageDoneEvent OnPrintPageDone;
    TPrintNewPageEvent OnPrintNewPage;
    TFitToPageEvent OnFitToPage;
    TIndexVarSizeEvent OnPrintSetColumnWidth;
    TIndexVarSizeEvent OnPrintSetRowHeight;
    // Drag and drop: the cell under the pointer; Data is the dragged or dropped text.
    TOleDragDropEvent OnOleDrop;
    TOleDroppedEvent OnOleDropped;
    TOleDragDropEvent OnOleDrag;
    TRowColAllowEvent OnOleDragOver;
    TRowColEvent OnOleDragStart;
    TOleDragStopEvent OnOleDragStop;
    TOleDropColEvent OnOleDropCol;
    TOleDragDropEvent OnOleDropFile;
    TOleDragDropEvent OnOleDropURL;

    // Hooks of the grid's services.
    // Sets Row to FixedRows.
    virtual void MoveToFirstRow();
    // Called around a paste of the grid's own format and around a smart paste.
    virtual void BeginSmartPaste() {}
    virtual void EndSmartPaste() {}
    // The pasted rectangle; AOrigin is the top-left of the copied cells in this grid, (-1, -1) when
    // they came from elsewhere.
    virtual void MarkRangeModified(TPoint AOrigin, const TRect& ARect, bool AWasCopy);
    virtual void CalcFooterColumn(int ACol) { CalcFooter(ACol); }
    virtual void CalcFooterAll() { CalcFooter(-1); }
    virtual void SearchFooterAction(const AnsiString& Value, int ACol, int ARow, TSearchAction Action);
    virtual bool GetAllowFmtClipboard();
    virtual void DoPasteProgress(int Phase, int Value) {}

    // A cell's text in the "|\\" Unicode form, decoded (plain text is widened as it stands) or encoded.
    WideString GetWideCell(int ACol, int ARow);
    void SetWideCell(int ACol, int ARow, const WideString& Value);

    // Column 0 of a grid with nodes: the row's node level times CellNode's NodeIndent.
    int GetRowIndent(int ARow) override;

    // Skipped once after SuppressNextInvalidate; the floating footer repaints with the grid.
    void Invalidate() override;
    void SuppressNextInvalidate() { FSkipInvalidate = true; }
    // The forced scroll-bar update: with ScrollBarAlways the chosen bars show
    // even when everything fits (disabled then); with saNone the bars whose
    // rows or columns all fit go.
    void UpdateScrollBarsAlways();

private:
    void MergedColumnsChanged(TObject* Sender);
    // The cells under the corners of a fixed background picture; (-1, -1, -1, -1) without one.
    TGridRect BackgroundPictureCells();
    bool FSkipInvalidate = false;
    std::vector<int> FMergedBefore;   // the columns the last change of MergedColumns merged

public:
    // ================================================================ end of events and hooks of the grid

protected:
    void CreateWnd() override;
    // The hint of the cell under the mouse (PrepareCellHint); mini-HTML and wide hints show in the
    // grid's own hint window (ProHint.cpp).
    void CMHintShow(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    // The grid's window procedure (grid/editing/WindowMessages.cpp).
    void WndProc(TMessage& Message) override;
    // The mouse resting over a cell shows its balloon; a press, a key or the mouse moving to another
    // cell takes the grid's hint window away (ProHint.cpp).
    void HintMessage(TMessage& Message);
    // The cells, the editor frame and the area outside the cells (ProGridPaint.cpp).
    void Paint() override;
    void Resize() override;
    TInplaceEdit* CreateEditor() override;
    void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) override;
    // The moved column's stored column with its width (EnhRowColMove), hidden flag, order entry, cells of
    // hidden rows and sort column; a moved row with its height (EnhRowColMove). Both fire the moved
    // event once.
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;

private:
    void SetColorRepaint(TColor& Field, TColor Value);
    void SetPopupGrad(int Index, TColor Value);
    void ApplyHeaders(bool Columns);
    void FormResized(TObject* Sender);
    struct TFormResizeHook;   // the form's OnResize while the grid is hooked into it
    void EnsureRowFlags(int Count);
    // The row shown for a selection flag's index (RowSelectFlagIndex the other way).
    int ShownRowOfFlag(int AFlag) const;
    void EnsureColFlags(int Count);
    int HorzScrollBarHeight(int AWidth, int AHeight) const;
    AnsiString FilterText(const TFilterData* F, int ARow);

    // Owned objects, in the order they are made.
    TFooterPanel* FFooterPanel = nullptr;
    TSearchPanel* FSearchPanel = nullptr;
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TFloatingFooter> FFloatingFooter;
    std::unique_ptr<TPrintSettings> FPrintSettings;
    std::unique_ptr<THTMLSettings> FHTMLSettings;
    std::unique_ptr<TSortSettings> FSortSettings;
    std::unique_ptr<TDragDropSettings> FDragDropSettings;
    std::unique_ptr<TDragScrollOptions> FDragScrollOptions;
    std::unique_ptr<TControlLook> FControlLook;
    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TColumnSize> FColumnSize;
    std::unique_ptr<TCellNode> FCellNode;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TSizeWhileTyping> FSizeWhileTyping;
    std::unique_ptr<TMouseActions> FMouseActions;
    std::unique_ptr<TGrouping> FGrouping;
    std::unique_ptr<TStringList> FColumnHeaders;
    std::unique_ptr<THTMLPictureCache> FPictureCache;
    std::unique_ptr<TIntList> FCellIntList;
    std::unique_ptr<TFont> FFixedFont;
    std::unique_ptr<TFont> FActiveCellFont;
    std::unique_ptr<TStringList> FRowHeaders;
    std::unique_ptr<TStringList> FWorkStrings;
    std::unique_ptr<TStringList> FLookupItems;
    std::vector<int> FRowSelectFlags;   // disjunct row selection, 1 = selected
    std::vector<int> FColSelectFlags;   // disjunct column selection
    std::unique_ptr<TSortIndexList> FSortIndexes;
    std::unique_ptr<TIntList> FMergedColumns;
    std::unique_ptr<TIntList> FRowModified;
    std::unique_ptr<TIntList> FWorkList1, FWorkList2, FWorkList3, FWorkList4;
    std::unique_ptr<TBitmap> FRowIndicator;
    std::unique_ptr<TBackGround> FBackGround;
    THTMLHintWindow* FHintWindow = nullptr;
    std::unique_ptr<TControlList> FCellControls;
    std::unique_ptr<TGridProgressAppearance> FProgressAppearance;
    std::unique_ptr<TCollection> FHiddenRowList;
    std::unique_ptr<TFilter> FFilter;
    std::unique_ptr<TBalloonSettings> FBalloon;
    std::unique_ptr<TShowModified> FShowModified;
    TProRichEdit* FRichEdit = nullptr;
    TProRichEdit* FRichEditSel = nullptr;
    std::vector<int> FRowSelectOrder;
    std::unique_ptr<TIntList> FWorkList5;
    std::unique_ptr<TCellGraphic> FRowCheckGraphic;
    std::unique_ptr<TProHintInfo> FOfficeHint;
    std::unique_ptr<TIntList> FIgnoredColumns;
    TArrowWindow* FArrows[4] = {nullptr, nullptr, nullptr, nullptr};
    TGridCombo* FGridCombo = nullptr;
    TGridSpin* FGridSpin = nullptr;
    TGridTransEdit* FGridTransEdit = nullptr;
    TGridUniEdit* FGridUniEdit = nullptr;
    TGridUniMemo* FGridUniMemo = nullptr;
    TGridUniEditBtn* FGridUniEditBtn = nullptr;
    TGridUniCombo* FGridUniCombo = nullptr;
    TGridDatePicker* FGridDatePicker = nullptr;
    TProDateTimePicker* FDateTimePicker = nullptr;
    TGridCheckBox* FGridCheckBox = nullptr;
    TGridEditBtn* FGridEditBtn = nullptr;
    TGridUnitEditBtn* FGridUnitEditBtn = nullptr;
    TGridButton* FGridButton = nullptr;
    TPopupButton* FPopupButton = nullptr;
    TControlEdit* FControlEdit = nullptr;
    TControlCombo* FControlCombo = nullptr;

    // Referenced, not owned.
    TImageList* FGridImages = nullptr;
    TPictureContainer* FPictureContainer = nullptr;
    TPopupMenu* FFixedDropDownMenu = nullptr;
    TComponent* FCellChecker = nullptr;

    // ================================================================ grid services state
    void ReleaseCellRecords(int FromCol, int FromRow, int ToCol, int ToRow);
    void ResetStoredRows(int FromRow, int ToRow);
    void ShiftRowsUp(int ARow, int ACount);
    // AShown, ARemoved: the display and stored indices of the removed rows, ascending.
    void DropRowFlags(const std::vector<int>& AShown, const std::vector<int>& ARemoved, bool ASelectFlags);
    void LowerHiddenRowIndexes(const std::vector<int>& ARemoved);
    // Rows taken out by one call of RemoveRowsInternal: its first display row, in the numbering
    // before any run of a batch went, and its count.
    struct TRowRun {
        int Row;
        int Count;
    };
    // Removes runs of display rows (ascending, apart, inside the grid) at once, as
    // RemoveRowsInternal on each run would one after another, from the last run up
    // (ABottomUp) or from the first down: the same rows go, all that is kept by row follows
    // its row, and OnRowMoved and CellsChanged are told the same, in the same order (once
    // the rows are gone).
    void RemoveRowRuns(const std::vector<TRowRun>& ARuns, bool ABottomUp, bool DropControls);
    // An empty row of the default height before each of ABefore (ascending display rows, a
    // row may repeat; RowCount for rows at the end), in one pass: rows, heights and modified
    // marks make room, and with AFlags the selection flags. Neither cell controls nor hidden
    // rows move.
    void OpenRowsBefore(const std::vector<int>& ABefore, bool AFlags);
    // Records of hidden rows for the display rows ARows (ascending) of stored indices AReal:
    // the cells of every stored column, the height and the cells' controls, put in among the
    // records in order.
    void AddHiddenRecords(const std::vector<int>& ARows, const std::vector<int>& AReal);
    // The controls a hidden row's record keeps go back on the cells of display row ARow.
    void RestoreRowControls(TGridItem* AItem, int ARow);
    // The hidden rows stored before ARealRow (the place of its record in the ordered list).
    int HiddenRowsBelow(int ARealRow) const;
    // InsertRowsEx, with the hidden rows stored at or after AHiddenFrom moving down by ACount
    // (INT_MAX: none moves; for rows that come back from hiding).
    void InsertShownRows(int ARow, int ACount, bool UpdateControls, int AHiddenFrom);
    AnsiString SortCellText(int ACol, int ARow);
    // The stored text Cells gives, without a copy; false when Cells works
    // the text out (display handlers, shown group counts, a covered cell of a
    // merged region).
    bool CellsStored(int ACol, int ARow, std::string_view& AText);
    // The same for SortCellText (false for Unicode cells too).
    bool SortCellStored(int ACol, int ARow, std::string_view& AText);
    void CopyRowToScratch(int AFrom, int ATo);
    void RunSort(int AKind);
    void SortGroupRows(bool AIndexed);
    bool CalcRowUsed(int ACol, int ARow, bool ARealRows, int& ADisplayRow);
    // The number a cell's text holds: false for a text without one ("", blanks, "-", no digits);
    // EProGridError "Cell does not contain a float value" for a malformed one.
    static bool CellTextNumber(const AnsiString& Text, double& Value);
    // Folds the numbers of the rows the calculations use into AStart; cells without one take no part.
    double FoldColumn(int ACol, int FromRow, int ToRow, double AStart,
                      const std::function<double(double Acc, double Value)>& AFold);
    // The least or greatest number of the rows the calculations use; 0 when none holds one.
    double ColumnExtreme(int ACol, int FromRow, int ToRow, bool AMaximum);
    // The rows' quicksort: a row moves past another while ACompare(A, B)
    // gives ASign; ASwapEqual exchanges rows that compare equal too.
    void QuickSortRowRange(int ALo, int AHi, const std::function<int(int A, int B)>& ACompare, int ASign,
                           bool ASwapEqual);
    // Colours every stored cell of ARow with ASet, or frees them for clNone.
    void SetRowCellColors(int ARow, TColor AColor, void (TCellProperties::*ASet)(TColor));
    // The XOR dotted line of mouse sizing.
    void DrawSizingLine(int X1, int Y1, int X2, int Y2);
    // The dotted line of a fixed column (row) being sized, while it is sized.
    void PaintSizingLine();
    // Common end of ColWidthsChanged and RowHeightsChanged.
    void SizingChangeDone();
    // Clamps ACount to the rows there are and ends the edit; false when
    // nothing is to be removed. ARemoved: the display rows, then their stored indices.
    bool BeginRowRemoval(int ARow, int& ACount, std::vector<int>& AShown, std::vector<int>& ARemoved);
    TIntList FRowOrder{0, 0};
    TIntList FColumnOrder{0, 0};
    int FGroupColumn = -1;
    int FSortDepth = 0;
    bool FSortTracking = false;
    int FSortTrackedRow = -1;
    int FAutoNumStart = 0;
    int FAutoNumOffset = 0;
    bool FAutoNumReverse = false;
    int FAutoSizeExtraWidth = 2;
    int FAutoSizeExtraHeight = 2;
    int FMinColWidth = 0;
    int FMaxColWidth = 0;
    int FMinRowHeight = 0;
    int FMaxRowHeight = 0;
    bool FAutoSizeGrowOnly = false;
    bool FExportFixedCells = true;
    bool FSaveFormattedText = false, FSaveKeepsRichText = true, FSaveKeepsHTML = true;
    bool FSaveCellConcurrent = false;
    // SaveCell's text; off the grid's thread (OwnThread false, only where SaveCellsOffThread
    // holds) false for a cell whose text only the grid's thread may form (rich text made plain,
    // the words of a check box).
    bool SaveCellText(int ACol, int ARow, AnsiString& Value, bool OwnThread);
    // Whether export rows may be formed off the grid's thread: SaveCell is this class's own and
    // no event forms texts or hears of progress, but an OnSaveCell that may run anywhere.
    bool SaveCellsOffThread() const;
    // The rows [AFrom, ATo) of an export, formed a run of rows at a time: AForm(Row, OwnThread,
    // Out) appends row Row to Out, or returns false (Out as it was) when a cell needs the grid's
    // thread; AUse(Piece) takes the runs in order on this thread, each as soon as it is formed.
    // Where SaveCellsOffThread allows, long ranges are formed on several threads, the rows from
    // one refused there on this thread.
    void FormExportRows(int AFrom, int ATo, const std::function<bool(int ARow, bool OwnThread, std::string& Out)>& AForm,
                        const std::function<void(std::string& Piece)>& AUse);
    // ================================================================ end of grid services state

    // ================================================================ sort engine state
    friend class TGridRowSorter;
    // Row AFrom + i receives row ASource[i] (a permutation of the rows from
    // AFrom on): the row order list, cells, cell records, heights, disjunct
    // selection flags, modified marks, cell controls and the tracked current
    // row move in one pass.
    void MoveRowsOnce(int AFrom, const std::vector<int>& ASource);
    // The stored (real) indices of the display rows AFrom .. ATo, and of the display rows
    // ARows (ascending), in one walk over the hidden rows.
    std::vector<int> RealRowIndexes(int AFrom, int ATo) const;
    std::vector<int> RealRowIndexes(const std::vector<int>& ARows) const;
    // ================================================================ end of sort engine state

    // ================================================================ structure state
    void MarkNodes(bool AContracted);
    void RecalcFooters();
    void MoveStoredRow(int AFrom, int ATo, int ACols);
    void EmptyStoredRows(int FromRow, int ToRow, int ACols);
    void FillRowFromItem(int ARow, TGridItem* AItem, int ACols);
    int NodeEnd(int ADisplayRow);
    std::vector<int> FHiddenColWidths;   // saved widths by stored column
    int FNodeCount = 0;
    int FGroupColWidth = 0;
    AnsiString FGroupHeader;
    AnsiString FGroupFooter;
    bool FSelectionHidden = false;
    TGridRect FHiddenSelection;
    bool FRichEditPopup = false;
    // ================================================================ end of structure state

    // ================================================================ looks, painting and hints state
    void InitLooksAndHints();
    void PaintSelf();
    void DrawCellText(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState, TCellGraphic* G,
                      TAlignment HAlign, TVAlignment VAlign, bool WordWrap, TColor SavedBrush, TColor SavedFont,
                      int& TextWidth);
    void DrawFixedLook(TCanvas* ACanvas, int ACol, int ARow, TRect& ARect, bool Before);
    void DrawCellBorders(TCanvas* ACanvas, int ACol, int ARow, TRect ARect);
    void DrawCellGraphic(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TCellGraphic* G, TVAlignment VAlign,
                         TAlignment TextAlign, int TextWidth);
    // The size a cell's graphic is drawn at in Area (the cell inside its text margins, grown by one pixel).
    TSize CellGraphicExtent(TCellGraphic* G, const TRect& Area);
    void DrawNodeButton(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TCellGraphic* G);
    void DrawTreeLines(TCanvas* ACanvas, int ARow, TRect ARect);
    void PaintBackgroundArea();
    bool SortGlyphShown(int ACol, int ARow);
    // The row (column) of a stored cell is marked in the disjunct row (column) selection.
    bool DisjunctlyMarked(int ACol, int ARow);
    AnsiString BalloonCellText(int ACol, int ARow);
    TPoint FCellTextOffset{2, 2};
    // While set, a cell painted on FHtmlHitCanvas has its mini-HTML hit-tested into FHtmlHit where
    // the painting lays it out, and nothing is drawn.
    THtmlRun* FHtmlHit = nullptr;
    TCanvas* FHtmlHitCanvas = nullptr;
    bool HitTesting(TCanvas* ACanvas) const { return FHtmlHit && ACanvas == FHtmlHitCanvas; }
    // While set, the radio items of a painted cell leave their places here (one a line, or one
    // beside the other up to the next).
    std::vector<TRect>* FRadioHit = nullptr;
    TColor FSelectionRectangleColor = clBlack;
    bool FEditorVisible = false;
    bool FPlainClick = false;
    int FHoverCol = -1;
    int FHoverRow = -1;
    bool FHoverDown = false;
    std::vector<TPoint> FSelectedCells;
    TBalloonWindow* FBalloonWindow = nullptr;
    int FHintCol = -1;
    int FHintRow = -1;
    int FBalloonCol = -1;
    int FBalloonRow = -1;
    // ================================================================ end of looks, painting and hints state

    // Published values.
    struct {
        int FixedRowHeight = 21;
        int FixedRightCols = 0;
        int FixedFooters = 0;
        bool FixedRowAlways = false, FixedColAlways = false, IntegralHeight = false, AutoSize = false;
        bool SizeWithForm = false;
        bool WordWrap = true;
        TVAlignment VAlignment = vtaTop;
        bool EnableHTML = true, EditWithTags = false, EnhTextSize = false, Multilinecells = false;
        bool OemConvert = false;
        AnsiString FloatFormat = "%.2f";
        bool ExcelStyleDecimalSeparator = false, AutoNumAlign = false, URLShow = false, URLFull = false;
        bool URLEdit = false;
        TColor URLColor = clBlue;
        bool FixedAsButtons = false;
        THoverFixedCells HoverFixedCells = hfNone;
        TColor SelectionColor = 0xEACAB6, SelectionColorTo = clNone, SelectionMirrorColor = clNone;
        TColor SelectionMirrorColorTo = clNone, SelectionTextColor = clBlack;
        bool SelectionRectangle = false, SelectionResizer = false, SelectionRTFKeep = false;
        bool HideFocusRect = false, ActiveCellShow = false;
        TColor ActiveCellColor = clGray, ActiveCellColorTo = clNone;
        bool Hovering = false;
        TGridLook Look = glXP;
        bool Flat = false, AutoThemeAdapt = false;
        TEditorType DefaultEditor = edNormal;
        int MaxEditLength = 0, MaxComboLength = 0;
        bool Lookup = false, LookupCaseSensitive = false, LookupHistory = false;
        TScrollBarAlways ScrollBarAlways = saNone;
        TColor ScrollColor = clNone;
        bool ScrollProportional = false, ScrollSynch = false;
        TScrollType ScrollType = ssNormal;
        int ScrollWidth = 17;
        TScrollHintType ScrollHints = shNone;
        bool EnableWheel = true;
        TIntelliPan IntelliPan = ipVertical;
        bool IntelliZoom = true;
        TColor HintColor = clInfoBk;
        bool HintShowCells = false, HintShowLargeText = false, HintShowSizing = false, HTMLHint = false;
        bool AnchorHint = false;
        bool FilterActive = false, EnhRowColMove = true, EnableBlink = false;
    } FP;

    // Other state.
    std::vector<char> FColumnVisible;   // 0 = hidden; indices beyond it are visible
    AnsiString FCheckTrue = "Y";
    AnsiString FCheckFalse = "N";
    AnsiString FPasswordChar = "*";
    AnsiString FXMLEncoding = "ISO-8859-1";
    bool FShowZero = true;
    unsigned FVAlignFlag = 0;
    int FHighestRowCount = 0;
    int FHighestColCount = 0;
    int FLoadedFixedRows = 1;
    int FLoadedFixedCols = 1;
    int FLoadedDefaultRowHeight = 22;
    int FLoadedRowCount = 10;
    int FFilterFixedRows = 1;
    bool FIsWinXP = false;
    bool FIsVista = false;
    bool FComCtl6 = false;
    int FWheelScrollLines = 3;
    int FUpdateCount = 0;
    // One entry per open BeginUpdate: whether it raised the count.
    std::vector<bool> FUpdateBrackets;
    int FLastReportedRow = -1;
    int FZoomLevel = 0;
    TColor FPopupGrad[4] = {clNone, clNone, clNone, clNone};
    TLookColors FLook;
    TCursor FDesignCursor = crDefault;
    bool FWasLoaded = false;   // Loaded has run
    TNotifyEvent FSavedFormResize;
    TCustomForm* FOwnerForm = nullptr;
    int FFormWidth = 0;
    int FFormHeight = 0;
    int FGridVersionNr = 0x01000000;

    // ================================================================ scrolling, sizing and footer calculation
    // (ProGridScroll.cpp, ProGridSizing.cpp)
public:
    // The flat (styled) scroll bars are in use.
    bool FlatScrollActive() const { return FFlatScrollActive; }
    // Proportional scroll ranges (only with ScrollProportional).
    void UpdateVertScrollRange();
    void UpdateHorzScrollRange();
    // Style, colour and width of the flat bars; each shown by the visible-count rule and synced.
    void UpdateFlatScrollBars();
    // The scroll hint while the thumb is dragged.
    bool ScrollHintShowing() const { return FScrollHintShow; }
    const AnsiString& ScrollHintText() const { return FScrollHintText; }
    bool DragScrolling() const { return FDragScrollTimer != nullptr; }
    TTimer* DragScrollTimer() const { return FDragScrollTimer.get(); }
    // While the search footer is shown: scrolls one row at a time until the
    // last row ends above the search panel.
    void ScrollAboveSearchFooter();

    virtual void CalcFooterRow(int ACol);
    void LastRowChanged() override;
    virtual void StoreEditText(int ACol, int ARow, const AnsiString& Value);
    virtual void UpdateColumnSize(int ACol, int& AWidth);
    virtual void UpdateColumnSizeAlt(int ACol, int& AWidth);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    void ScreenToCell(TPoint ScreenPoint, int& ACol, int& ARow);
    bool IsFixedSizingPos(int X, int Y);
    bool IsPasswordCellAt(int ACol, int ARow) { return IsPasswordCell(ACol, ARow); }
    bool IsEditable(int ACol, int ARow);
    // IsEditable when the user asks to edit under EditOnDblClickOnly, which keeps goEditing off
    // between edits: asked as with RangeSelectAndEdit.
    bool IsEditableOnRequest(int ACol, int ARow);
    TGridRect GetSelection() const { return Selection(); }
    void SetSelection(const TGridRect& R);
    // Something is dragged over the grid: OnDragOver answers; the grid scrolls while the pointer stays
    // in a margin.
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    // A drop ends the drag scrolling (no leave follows it), then OnDragDrop takes it.
    void DragDrop(TObject* Source, int X, int Y) override;

    TScrollHintEvent OnScrollHint;
    TDragScrollEvent OnDragScroll;
    TFooterCalcEvent OnFooterCalc;
    TUpdateColumnSizeEvent OnUpdateColumnSize;
    TAutoRowEvent OnEndColumnSize;

protected:
    void WMHScroll(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSize(TWMSize& Message) override;
    void UpdateScrollRange() override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    // Set by the mouse sizing code: the column (row) being sized and its size before.
    int FSizingCol = -1;
    int FSizingRow = -1;
    int FSizingColWidth = -1;
    int FSizingRowHeight = -1;

private:
    void ScrollMessage(bool Vertical, TMessage& Message);
    void InitFlatScroll();
    void DoneFlatScroll();
    void ApplyFlatStyle();
    void SyncFlatBar(int Bar);
    void ShowScrollHint(const AnsiString& Text);
    void HideScrollHint();
    void DragScrollTick(TObject* Sender);
    void StopDragScroll();
    int LastRowBottom() const;
    int SearchPanelTop() const;
    void ScaleOtherColumns(int ACol, int OldWidth, int NewWidth);
    void ScaleOtherRows(int ARow, int OldHeight, int NewHeight);
    void SynchColumnsWithGrid();
    // The reference of SnapshotColumnWidths; the grid's width is -1 before the first snapshot.
    std::vector<int> FRefColWidths;
    int FRefGridWidth = -1;
    bool FFlatScrollActive = false;
    bool FScrollHintShow = false;
    AnsiString FScrollHintText;
    std::unique_ptr<TTimer> FDragScrollTimer;
    TDragScrollDirections FDragScrollDirs = 0;
    bool FStretching = false;
    bool FStretchPending = false;
    int FStretchedWidth = -1;   // the client width the last stretch filled
    bool FInScrollRange = false;
    // ================================================================ end of scrolling, sizing and footer calculation

    // ================================================================ find, footers and drag and drop
    // (grid/services/ProGridFind.cpp, ProGridSearchFooter.cpp, ProGridFooter.cpp,
    // grid/editing/GridDragDrop.cpp)
public:
    // Find flags of FindCell.
    static constexpr Word fnMatchCase = 0x0001, fnMatchFull = 0x0002, fnMatchFilter = 0x0004,
                          fnDirectionLeftRight = 0x0008, fnMatchStart = 0x0010, fnFindInCurrentRow = 0x0020,
                          fnFindInCurrentCol = 0x0040, fnIncludeFixed = 0x0080, fnAutoGoto = 0x0100,
                          fnIgnoreHTMLTags = 0x0200, fnBackward = 0x0400, fnIncludeHiddenColumns = 0x0800,
                          fnFindInPresetCol = 0x1000, fnFindInPresetRow = 0x2000, fnSelectedCells = 0x4000,
                          fnIncludeHiddenRows = 0x8000;
    // The cell after StartCell (the range's first, or last backward, for (-1, -1)) in the search order
    // whose text matches; Found is (-1, -1) when none does. Wide compares the cells' wide text.
    void FindCell(TPoint StartCell, const AnsiString& Text, TPoint& Found, Word Flags, bool Wide = false);
    // FindCell between the progress phases 0 and 4 (found) or 2 (not found).
    void FindFirstNext(TPoint StartCell, const AnsiString& Text, TPoint& Found, Word Flags);
    TPoint LastFoundCell() const { return FFind.LastFound; }
    void SetLastFoundCell(TPoint Value) { FFind.LastFound = Value; }
    bool FindBusy() const { return FFind.Searching; }
    int SearchCol() const { return FFind.SearchCol; }
    void SetSearchCol(int Value) { FFind.SearchCol = Value; }
    int SearchRow() const { return FFind.SearchRow; }
    void SetSearchRow(int Value) { FFind.SearchRow = Value; }

    // The search footer's settings onto its panel (captions, hints, visibility, layout).
    void ApplySearchFooter();
    // The panel's actions: the edit's text changed, find next or previous, highlight toggled, close.
    void SearchEditChanged();
    void SearchFindNext(bool Backward);
    void SearchHighlightToggled();
    void SearchFooterClosed();
    // Ctrl+F: the search edit takes the focus while the search footer shows.
    bool FocusSearchEdit();

    // The floating footer's custom template filled with the cells of ARow.
    AnsiString FooterTemplateText(int ARow);
    // The floating footer's flag onto the grid: last row as footer row, FixedFooters, repaint.
    void FloatingFooterChanged();

    // A picture of the cells of CellRange (Left, Top, Right, Bottom) in a borderless form owned by the grid;
    // the caller moves, shows and frees it.
    TForm* CreateDragImageForm(const TGridRect& CellRange);
    // The system drag of the selection (or, with AColumn, of column ACol) from the cell pressed; returns
    // the drop's effect (DROPEFFECT_NONE when cancelled or refused).
    DWORD StartOleDrag(int ACol, int ARow, bool AColumn);
    // The drag source of the running system drag (nullptr outside one), and the drop target while
    // DragDropSettings->OleDropTarget is on.
    TGridDropSource* OleDropSource() const { return FOleSource; }
    TGridDropTarget* OleDropTargetObject() const { return FOleTarget; }
    // Registers or revokes the grid's window as a drop target; false when the platform refused.
    bool RegisterOleDropTarget(bool Value);
    // The source rectangle of the grid's own running drag, as the drag began.
    TGridRect OleDragRect() const { return FOleDragRect; }
    void SetOleDragRect(const TGridRect& R) { FOleDragRect = R; }
    // A drop of the grid's own running drag onto itself: AInserted rows were inserted at ARow
    // before the cells were pasted into APasted. A move then empties (or removes) only what
    // the dragged cells left behind.
    void NoteOwnDrop(int ARow, int AInserted, const TGridRect& APasted) { FOwnDrop = {ARow, AInserted, APasted}; }
    // Every second cell-drag move also scrolls horizontally.
    bool NextDragScrollTurn() { return (++FOleScrollTurn & 1) == 0; }
    // Hides the drop indicators: the row arrow, the two column arrows and the drag caption.
    void HideDropArrows();

private:
    void InitFindAndFooters();
    void DoneDragDrop();
    // The text FindCell compares for (col, row) in the range's addressing.
    struct TFindState {
        TPoint LastFound{-1, -1};
        bool Searching = false;
        Word Flags = 0;
        AnsiString Text;
        WideString WideText;
        int SearchCol = -1, SearchRow = -1;
        AnsiString FooterText;
    } FFind;
    TGridDropSource* FOleSource = nullptr;
    TGridDropTarget* FOleTarget = nullptr;
    TGridRect FOleDragRect{-1, -1, -1, -1};
    std::vector<int> FOleDragRows;   // the rows the running drag took, as they were shown
    struct TOwnDrop {
        int Row = -1, Inserted = 0;
        TGridRect Pasted{-1, -1, -1, -1};
    } FOwnDrop;
    // After a move: the cells of the source the dragged cells left behind are emptied, or with
    // OleRemoveRows and whole rows selected, their rows removed.
    void ClearMovedSource();
    int FOleScrollTurn = 0;
    // ================================================================ end of find, footers and drag and drop

    // ================================================================ grid files
    // Fixed-width text, CSV, XHTML, XML, workbooks and documents (grid/services/ProGrid*File.cpp,
    // ProGridCsv.cpp, ProGridHtml.cpp, ProGridOffice.cpp). Every file is written to a temporary file
    // beside the target and renamed over it when complete.
public:
    // The length of the longest text line of a stored column over all rows (texts through SaveCell,
    // split at CR with Multilinecells).
    int MaxColumnTextLength(int ACol);
    void SaveToFixedText(const AnsiString& FileName);
    // Append adds the lines to the file's present lines.
    void WriteFixedText(const AnsiString& FileName, bool Append);
    void SaveToCsvFile(const AnsiString& FileName);
    void WriteCsvFile(const AnsiString& FileName, bool Append);
    // MaxRows <= 0 reads every line.
    void LoadFromCsvFile(const AnsiString& FileName, int MaxRows = 0);
    // Append adds the rows after the grid's rows.
    void ReadCsvFile(const AnsiString& FileName, bool Append, int MaxRows);
    // The separator ReadCsvFile takes for a file whose first two lines are these.
    static char DetectCsvSeparator(const AnsiString& Line1, const AnsiString& Line2);

    void SaveToHtmlFile(const AnsiString& FileName, bool OpenAfter);
    // EProGridError "Cannot Create file " + name.
    void WriteHtmlFile(const AnsiString& FileName, bool Append);
    // The document; cell images are written into ImageFolder + "images\".
    AnsiString BuildHtmlTable(const AnsiString& ImageFolder);
    // Writes one cell image as ImageFolder + "images\img<Number>.jpg".
    void SaveCellImages(TGraphic* Graphic, int Number, const AnsiString& ImageFolder, AnsiString& FileName);
    AnsiString LinkCellText(const AnsiString& Text);
    AnsiString CellCssText(TFont* AFont, TColor AColor, TAlignment AAlignment, TVAlignment AVAlignment);
    // FieldNames may be nullptr: the elements are then FIELD0, FIELD1 ...
    void SaveToXmlFile(const AnsiString& FileName, const AnsiString& ListName, const AnsiString& RecordName,
                       TStrings* FieldNames, bool ExportEmptyCells);

    // Workbooks and documents are Office Open XML files (".xls" and ".doc" names become ".xlsx" and
    // ".docx"). An empty SheetName loads the first sheet.
    void LoadFromExcel(const AnsiString& FileName, const AnsiString& SheetName);
    // Without a sheet name a new workbook is written; with one the file is opened when it exists and
    // the grid goes into that sheet (added when missing); the rest of the workbook stays as it was.
    void SaveToExcel(const AnsiString& FileName, const AnsiString& SheetName = AnsiString(),
                     bool NewWorkbook = true);
    // A new document holding the grid as a table; with TemplateName that document gets the table at
    // the bookmark (or at its end) and is saved as FileName.
    void SaveToWord(const AnsiString& FileName, const AnsiString& TemplateName = AnsiString(),
                    const AnsiString& BookmarkName = AnsiString());

    char FieldSeparator() const { return FFieldSeparator; }
    void SetFieldSeparator(char Value) { FFieldSeparator = Value; }
    bool ReadFirstLine() const { return FReadFirstLine; }
    void SetReadFirstLine(bool Value) { FReadFirstLine = Value; }
    bool ExportHiddenColumns() const { return FExportHiddenColumns; }
    void SetExportHiddenColumns(bool Value) { FExportHiddenColumns = Value; }
    bool QuoteEmptyFields() const { return FQuoteEmptyFields; }
    void SetQuoteEmptyFields(bool Value) { FQuoteEmptyFields = Value; }
    bool QuoteAllFields() const { return FQuoteAllFields; }
    void SetQuoteAllFields(bool Value) { FQuoteAllFields = Value; }
    bool TildeLineBreaks() const { return FTildeLineBreaks; }
    void SetTildeLineBreaks(bool Value) { FTildeLineBreaks = Value; }
    const AnsiString& XmlEncodingName() const { return FXMLEncoding; }
    void SetXmlEncodingName(const AnsiString& Value) { FXMLEncoding = Value; }

    TFilterProgressEvent OnFileProgress;

private:
    // The stored columns of display columns FromCol..ToCol in order; with ExportHiddenColumns the
    // hidden columns are taken in their places: each goes with the shown column after it (those
    // after the grid's last shown column with that one).
    std::vector<int> ExportColumns(int FromCol, int ToCol);
    // Where the readers put the fields of a row from display column FromCol on: the columns
    // the writers write from there (ExportColumns, so that a written file reads back into the
    // same cells), then new shown columns for fields beyond them (ColCount grows to AFields).
    std::vector<int> ImportColumns(int FromCol, int AFields);
    // Size the grid for ASaved columns (rows) of a save range (SaveColStart, SaveRowStart on),
    // keeping the fixed right columns (fixed footers) a save leaves out after it.
    void SizeSavedColumns(int ASaved);
    void SizeSavedRows(int ASaved);
    // How many of the written columns Cols (ascending stored columns) the cell at Cols[AIndex] of
    // row ARow takes: a merged region is written once, at the first of its columns written, over
    // those of its columns written (a hidden one inside it, or its base column, may be left out);
    // 0 for its other cells and for the cells it covers from the rows above.
    int ExportedSpan(const std::vector<int>& Cols, std::size_t AIndex, int ARow) const;
    friend class TGridRestorePoint;
    char FFieldSeparator = 0;
    bool FReadFirstLine = true;
    bool FExportHiddenColumns = false;
    bool FQuoteEmptyFields = true;
    bool FQuoteAllFields = false;
    bool FTildeLineBreaks = false;
    // ================================================================ end of grid files
    // ================================================================ in-place editing (grid/editing/)
    // Column arguments here are display columns unless a name says "real".
public:
    // The edit bracket: BeginCellEdit opens the editor of the current cell
    // (unless it holds a cell control); EndCellEdit ends an open edit, the
    // editor's value taken into the cell and concluded, so that no editor is
    // open afterwards (a refused value leaves the cell its old text or the
    // validation's value).
    void BeginCellEdit();
    virtual void EndCellEdit();
    // Ends an open edit as the user's own key or click does: a refused value
    // opens the editor on the edit cell again, and the answer is false.
    bool LeaveCellEdit();
    void ResetUpdateCount() { FUpdateCount = 0; }
    // The quiet form of BeginUpdate: the count rises, redrawing stays on (paired with ResetUpdateCount).
    void RaiseUpdateCount() { ++FUpdateCount; }
    // NewText starts as Text; OnEllipsClick may change it.
    virtual void EllipsClick(const AnsiString& Text, AnsiString& NewText);

    // Shows the editor of a special editor type over (ACol, ARow); takes its value back.
    void ShowInplaceEditor(int ACol, int ARow);
    void HideInplaceEditor(int ACol, int ARow);
    // Writes the text kept when the editor was chosen back into the current cell.
    virtual void RestoreEditText();
    // Concludes the edit of the edit cell with AText: compared, corrected,
    // validated, marked, recorded for undo, stored; false (editor open again)
    // when the value was refused.
    virtual bool FinishCellEdit(const AnsiString& AText);
    virtual bool FinishCellEditWide(const WideString& AText);
    // The cell the next FinishCellEdit concludes, with its texts before editing (real column) and
    // the grid-modified flag of that moment.
    virtual void RememberEditCell(int ACol, int ARow);
    // Moves the current cell on after an edit (Navigation's direction, wrap, append).
    virtual void AdvanceToNextCell(int ACol, int ARow, bool Force, bool EditPlainCells, bool Forward, bool Nested,
                                   bool ShowEditor);
    // Fires OnEditingDone and posts "GridEditDone" (real column, row) to the grid's window.
    virtual void PostEditDone(int ACol, int ARow);
    // The first row from FixedRows on whose sort-column text (tags removed)
    // begins with AText, compared upper-cased; -1 when none.
    int FindInSortColumn(const AnsiString& AText);

    // Editing state, read by the keyboard and mouse handling.
    TEditorType EditorType() const { return FEdit.Type; }
    bool EditorChosen() const { return FEdit.Chosen; }
    bool EditingActive() const { return FEdit.Active; }
    void SetEditingActive(bool Value) { FEdit.Active = Value; }
    bool FinishingEdit() const { return FEdit.Finishing; }
    bool TakingBack() const { return FEdit.TakingBack; }
    // The editing flag of the edit bracket: set while an editor is shown.
    bool EditingFlag() const { return FEdit.Flag; }
    // Whether the last FinishCellEdit (or a special editor) had its value accepted.
    bool ValueAccepted() const { return FEdit.Accepted; }
    TWinControl* ActiveEditor() const { return FEdit.ActiveEditor; }
    // The text of the editor open on the current cell changed: the cell follows it while the
    // user types (the default edit's, the spin's and the edit with a button's).
    void FollowEditorText(TWinControl* Editor);
    TPoint EditCell() const { return FEdit.Cell; }
    const AnsiString& TextBeforeEdit() const { return FEdit.OldText; }
    const AnsiString& KeptEditText() const { return FEdit.KeptText; }
    const AnsiString& NewEditText() const { return FEdit.NewText; }
    bool GridModified() const { return FEdit.GridModified; }
    void SetGridModified(bool Value) { FEdit.GridModified = Value; }
    const AnsiString& SearchText() const { return FEdit.SearchText; }
    void SetSearchText(const AnsiString& Value) { FEdit.SearchText = Value; FEdit.SearchTicks = 0; }
    // The character typed on a cell that started editing; the editor gets it as its first key.
    char TypedStartChar() const { return FEdit.StartChar; }
    void SetTypedStartChar(char Value) { FEdit.StartChar = Value; }
    // Set while the Tab and mouse handling move the current cell themselves.
    bool PassThrough() const { return FEdit.PassThrough; }
    void SetPassThrough(bool Value) { FEdit.PassThrough = Value; }
    bool EnteringGuard() const { return FEdit.EnteringGuard; }
    void SetEnteringGuard(bool Value) { FEdit.EnteringGuard = Value; }
    // The click that starts editing hit the up (down) arrow of a spin cell.
    void SetSpinRequest(bool Up, bool Down) { FEdit.UpRequest = Up; FEdit.DownRequest = Down; }
    // Set by a popup editor's deactivation: the next focus-in is ignored (once).
    void SetFocusIgnore(bool Value) { FEdit.FocusIgnore = Value; }
    // The mouse handling asks the editor to put its caret at the clicked character.
    void SetCaretRequest(bool Value) { FEdit.CaretRequest = Value; }
    bool CaretRequest() const { return FEdit.CaretRequest; }
    // The hover cursor mode of the mouse handling (0 none .. 5) and whether it was just set.
    void SetHoverCursorMode(Byte Mode) { FEdit.HoverMode = Mode; FEdit.HoverJustSet = true; }
    // The cursor the grid had before it showed one of its own parts' cursors comes back.
    void RestoreGridCursor();
    Byte HoverCursorMode() const { return FEdit.HoverMode; }
    // Split-drag and drag marks of the mouse handling, read by the cursor choice.
    void SetSplitDragMarks(bool Horizontal, bool Vertical) { FEdit.HSplit = Horizontal; FEdit.VSplit = Vertical; }
    void SetDragMark(bool Value) { FEdit.DragMark = Value; }
    // A pressed HTML button control of a cell (released when the grid loses the focus).
    void SetPressedCellButton(bool Down, int ACol, int ARow);
    int DefaultListIndex() const { return FEdit.DefaultListIndex; }
    void SetDefaultListIndex(int Value) { FEdit.DefaultListIndex = Value; }
    bool BlinkPhase() const { return FEdit.BlinkPhase; }
    // Panning with the middle button: on, and its origin (client point).
    bool Panning() const { return FEdit.Panning; }
    TPoint PanOrigin() const { return FEdit.PanOrigin; }
    void InvalidateIntelliPanGlyph();
    int TimerTicks() const { return FEdit.Ticks; }

    // ---- the special editors (grid/editing/SpecialEditors.cpp)
    void SetEditorChosen(bool Value) { FEdit.Chosen = Value; }
    // The special editor was left by Escape: taking it back leaves the cell as it is.
    void CancelEditorValue() { FEdit.Cancelled = true; }
    // A custom editor link reads and sets it around a refused value.
    void SetValueAccepted(bool Value) { FEdit.Accepted = Value; }
    // The custom editor of edCustom cells; set by the application (the grid does not own it).
    TEditLink* EditLink() const { return FEditLink; }
    void SetEditLink(TEditLink* Value);
    // The editor window hook on a link's control: with goTabs the control wants
    // Tab, the arrows and all keys; every other message goes on to the control.
    void HookEditLinkControl(TWinControl* Control);
    void UnhookEditLinkControl(TWinControl* Control);
    // The in-place date picker changed (OnDateTimeChange, with 0 while its check box
    // is cleared) or closed its calendar (OnDatePickerCloseUp; with DirectDateClose the edit ends).
    void DatePickerChanged(TDateTimePicker* Picker);
    void DatePickerClosedUp();
    // The cursor walk of the editors: Text concluded and the edit moved to the
    // cell right (Forward) or left of the current one.
    void EditorCursorWalk(const AnsiString& Text, bool Forward);

    // Hooks the default in-place edit calls; they do nothing here.
    virtual void EditorMessageHook(TMessage& Message) {}
    virtual void EditorKeyHook(Word& Key, TShiftState Shift) {}
    // The caret's pixel position after a key (-1, -1 when the editor lost the focus) and the text.
    virtual void EditorCaretHook(int X, int Y, const AnsiString& Text, bool IsFormula) {}
    // The wheel moved the current row by Rows.
    virtual void WheelRowChanged(int Rows) {}


    // ================================================================ printing (services/ProGridPrint.cpp)
    // Print units are 0.1 mm with y growing upward. A print job goes to the layer's printer;
    // the preview calls draw the preview page into a rectangle of any canvas.
    void PrintGrid();
    void PrintSelection();
    // The whole grid, only the selected rows and columns.
    void PrintSelectedCells();
    void PrintPreviewTo(TCanvas* ACanvas, const TRect& ADisplayRect);
    void PrintPreviewSelectionTo(TCanvas* ACanvas, const TRect& ADisplayRect);
    void PrintPreviewSelectedTo(TCanvas* ACanvas, const TRect& ADisplayRect);
    // The paper the next print job lays its pages on (the printer's page in the orientation of
    // the print settings), in print units from (0, 0).
    TRect PrintPaper();
    // The page the next preview call draws.
    void SetPreviewPage(int Page);
    int PreviewPage() const { return FPrint.FromPage; }
    // The most text lines of a row's cells (columns 0 to the last scrollable one), at least 1.
    int MaxRowLines(int ARow);
    // Shrinks R by 2 on each side and moves its origin to where Text rotated by Angle degrees
    // (measured with the canvas font) starts so that it ends up aligned as asked.
    void RotatedTextOrigin(TCanvas* ACanvas, TRect& R, int Angle, TAlignment HAlign, TVAlignment VAlign,
                           const AnsiString& Text);
    // Print state kept between the calls of one job (the preview dialog reads the page total).
    struct TPrintState {
        TGridRect Range{};
        TRect PageRect;
        int FromPage = 1, ToPage = 1, LastPage = 0;
        bool FastPreview = false;
        std::vector<int> ColWidths, ColStarts;
        double ResizeFactor = 1.0;
        // The header and footer texts of the page drawn last, by TPrintPosition.
        AnsiString PageTexts[7];
    };
    TPrintState& PrintState() { return FPrint; }
    int PrintPageCount() const { return FPrint.LastPage; }
    bool FastPreview() const { return FPrint.FastPreview; }
    void SetFastPreview(bool v) { FPrint.FastPreview = v; }
    // The print settings in Section of an ini file (ProGridPrintFiles.cpp).
    void SavePrintSettings(const AnsiString& FileName, const AnsiString& Section);
    void LoadPrintSettings(const AnsiString& FileName, const AnsiString& Section);

private:
    friend class TGridPrintLayout;
    void PrintJob(int SelectedOnly);
    void PreviewJob(TCanvas* ACanvas, const TRect& ADisplayRect, int SelectedOnly);
    TPrintState FPrint;

public:
    // ================================================================ end of printing


protected:
    bool CanEditShow() override;
    bool SelectCell(int ACol, int ARow) override;
    void KeyPress(char& Key) override;
    AnsiString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
    int GetEditLimit() override { return FP.MaxEditLength; }
    void TopLeftChanged() override;
    void WMTimer(TWMTimer& Message) override;
    bool AutoRangeScroll() override { return !FMouseActions->NoAutoRangeScroll(); }
    void WMPaint(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMSetFocus(TWMFocus& Message) override;
    void WMKillFocus(TWMFocus& Message) override;
    void WMSetCursor(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void DoEnter() override;
    void DoExit() override;

private:
    friend class TProInplaceEdit;
    friend class TEditLink;
    // The widest content of each column First..Last (texts with their graphics, cell offsets
    // included), and a column sized to such a width.
    std::vector<int> ContentWidths(int First, int Last);
    void SetContentWidth(int ACol, int AWidest, bool GrowOnly);
    // The steps of GetCellStyle: the style before the colour events, then the events.
    TCellProperties* CellStyleBeforeEvents(int ACol, int ARow, TGridDrawState& State, bool Printing, TBrush* ABrush,
                                           TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                                           TFont* AFont, bool& WordWrap, TCellGradientDirection& GradientDirection,
                                           bool& FixedCell, TStyleFont* ASource = nullptr);
    // The brush colour of a cell that neither its record nor its being fixed colours: the
    // grid's colour, its bands, or the fixed colour of footers and fixed right columns.
    TColor BackgroundColor(int ADisplayCol, int ARow, bool Printing);
    // The key of the font in which the text of a cell without a record is
    // measured: its style resolved as GetCellTextStyle gives it (the colour
    // events asked), the zoom applied. The second form takes the cell's
    // display column and whether it is fixed (as CellStyleBeforeEvents tells).
    int MeasureFontKey(int ACol, int ARow, TCellTextMeasure& AMeasure);
    int MeasureFontKey(int ACol, int ARow, int ADisplayCol, bool AFixed, TCellTextMeasure& AMeasure);
    void ApplyCellColorEvents(int ACol, int ARow, TGridDrawState State, bool Printing, bool FixedCell,
                              const TCellProperties* Props, TBrush* ABrush, TFont* AFont);
    // The window-procedure steps of editing; true when the message ends there.
    bool EditWndProc(TMessage& Message);
    void WheelTurned(TMessage& Message);
    void EditDoneMessage(TMessage& Message);
    void EditChangeCommand(TMessage& Message);
    // Middle-button panning (IntelliPan.cpp); PanMessage answers true when the message ends there.
    bool PanMessage(TMessage& Message);
    void StartPanning(TPoint Origin);
    void EndPanning();
    void PanTick();
    // The panning cursor of a direction (-1, 0 or 1 in each axis): 8000 for none, 8001 to 8008.
    static TCursor PanCursor(int DX, int DY);
    // The mouse left the grid: sizing marks and pressed or hovered cells go back to normal.
    void MouseLeft();
    // Moves the current cell back to (ACol, ARow) as the standard grid does (anchor moved, scrolled into view).
    void ReturnToCell(int ACol, int ARow);
    // The first steps of a conclusion: false when none may run now (real column and row of the edit cell).
    bool StartFinishing(int& ACol, int& ARow);
    // A refused value: the cell gets ACellText and the editor opens on the edit cell again, unless
    // the edit is being closed (an operation ended it, or the focus went to another window).
    void ReopenRefusedEdit(int ACol, int ARow, const AnsiString& ACellText);
    // An editor was filled with AText for the cell (ACol as displayed, ARow).
    void NoteShownText(int ACol, int ARow, const AnsiString& AText);
    // The body of EndCellEdit and LeaveCellEdit: false when a refused value opened the editor again.
    bool CloseCellEdit(bool AReopenRefused);
    // The one conclusion of an edit (FinishCellEdit, FinishCellEditWide for a wide cell) on the
    // current cell's text, which the editor wrote there, or on AText; AReopenRefused: a refused
    // value opens the editor again, as after the user's own key or click.
    bool ConcludeCellEdit(bool AReopenRefused);
    bool ConcludeCellEdit(const AnsiString& AText, bool AReopenRefused, bool AWide = false);
    // The next cell of an advance from (ACol, ARow); false when the advance stops where it is.
    bool NextAdvanceCell(int& ACol, int& ARow, bool Forward);
    bool IsTextEditor(TEditorType AType) const;
    // The editor object of a special editor type; nullptr when the type shows none.
    TWinControl* SpecialEditor(TEditorType AType) const;
    // After columns or rows were sized, the open special editor moves and sizes with its cell.
    void MoveSpecialEditorWithCell();
    void FooterScrollOnSelect(int ARow);
    // Switches goEditing for the cell about to be current and ends an open edit; false when that
    // edit was refused (the editor is open on it again).
    bool SwitchEditingFor(int ACol, int ARow);
    // Makes the wrappers of the special editors (once, with the grid).
    void CreateCellEditors();
    // The type's own steps of ShowInplaceEditor and HideInplaceEditor.
    void ShowSpecialEditor(int ACol, int ARow, const TRect& R, TColor CellColor);
    // The looks whose combos and editors are flat (and etched).
    bool FlatEditorLook() const;
    void TakeSpecialEditorValue(int RealCol, int ARow);
    TEditLink* FEditLink = nullptr;
    // The edit link as a component (for the removal notice).
    TComponent* FEditLinkComponent() const;
    TWinControl* FEditLinkControl = nullptr;
    int FEditLinkHook = 0;
    // The date and time picker's value when it was shown.
    TDateTime FShownPickerValue = 0;
    // The cell a special editor was shown over (as ShowInplaceEditor had it) and its rectangle then.
    TPoint FShownEditorCell{-1, -1};
    TRect FShownEditorRect;
    bool IsOwnWindow(HWND Window) const;
    struct TEditState {
        TEditorType Type = edNormal;
        bool Chosen = false, Active = false, Finishing = false, TakingBack = false;
        bool ShownByGrid = false, DonePending = false, LiveEdit = false, Flag = false;
        bool Accepted = true, OptionsChanged = false, SwitchedOff = false, Advancing = false;
        bool GridModified = false, PassThrough = false, EnteringGuard = false, FocusIgnore = false;
        bool UpRequest = false, DownRequest = false, CaretRequest = false, Filling = false;
        bool AlwaysEditAtRemember = false, BlinkPhase = false, InWheel = false;
        // The grid-modified flag when the edit cell was remembered: a refused edit puts it back.
        bool ModifiedAtRemember = false;
        bool HoverJustSet = false, HSplit = false, VSplit = false, DragMark = false;
        // The grid shows a cursor of its own (a hover mode, a drag mark or a link) instead of HoverBase.
        bool HoverOwn = false;
        TCursor HoverBase = crDefault;
        bool ButtonDown = false, Cancelled = false;
        bool Painted = false;
        bool Panning = false, PanShowHint = false;
        TPoint PanOrigin{0, 0};
        TCursor PanCursor = crDefault;
        // The focus moves between the grid and a control inside it: no entering or leaving the grid.
        bool FocusWithin = false;
        int ButtonCol = -1, ButtonRow = -1;
        TPoint ButtonAt{0, 0};   // where the form-control button of that cell is held down
        Byte HoverMode = 0;
        TWinControl* ActiveEditor = nullptr;
        char StartChar = 0;
        TPoint Cell{-1, -1};
        AnsiString OldText, KeptText, NewText, SearchText, BeginText;
        // The text an editor was filled with for the cell ShownCell (its tags left out), which
        // the user has not changed when the editor gives it back.
        AnsiString ShownText;
        TPoint ShownCell{-1, -1};
        // The edit is being closed: a refused value leaves no editor open.
        bool KeepClosed = false;
        WideString OldWideText;
        TPoint AdvanceStart{-1, -1};
        int AdvanceSteps = 0;
        int Ticks = 0, SearchTicks = 0;
        int DefaultListIndex = -1;
        // LeftCol and TopRow at the last TopLeftChanged, and a scroll made by it running.
        int LastLeftCol = 0, LastTopRow = 0;
        bool InTopLeft = false;
    } FEdit;

    // ================================================================ keyboard, mouse and cell form controls (grid/editing/)
    // Keys (KeyHandling.cpp), Tab (TabNavigation.cpp), the mouse (MouseHandling.cpp, MouseClicks.cpp)
    // and the edit and combo box of form controls in mini-HTML cells (FormControls.cpp).
public:
    void TabToNextCell(bool Backwards);
    // A key that leaves an editor control: editing ends and the grid handles the key.
    void EditorExitKey(Word Key, TShiftState Shift);
    // FixedCols, or 1 when FixedCols is 0 and the grid has nodes.
    int FirstDataCol();
    // The right fixed columns that are not hidden.
    int VisibleFixedRightCols();
    bool IsCellTabStop(int ACol, int ARow);
    // -1 when the row has no tab stop.
    int FirstTabStopCol(int ARow);
    int LastTabStopCol(int ARow);

private:
    // One move of TabToNextCell: done, another move asked for (a row without a tab stop),
    // or the focus sent on to the next control of the form.
    enum class TTabStep { Done, Again, Left };
    TTabStep TabStep(bool Backwards);

public:
    void ShowCellFormControl(const AnsiString& Html, const AnsiString& CtrlType, int ACol, int ARow,
                             const TRect& CellRect, const AnsiString& Value, const AnsiString& CtrlID);
    // Writes the open box's value into the cell's control and hides the box.
    void HideCellFormControl();
    // The type of the open form control ("" when none) and its cell.
    const AnsiString& FormControlType() const { return FFormCtrl.Type; }
    TPoint FormControlCell() const { return FFormCtrl.Cell; }
    void SelectRadioAt(int ACol, int ARow, int X, int Y);
    void EditFixedCell(int ACol, int ARow);
    // The open fixed-cell editor's text into its header; false when that header is gone.
    bool CommitFixedCellEdit();
    // The hover state of the mouse: 0 plain, 1 column select, 2 row select, 3 select all, 5 resizer.
    Byte MouseHoverState() const { return FMouse.Hover; }
    // The sizing hint shown while a column or row is sized ("" when none).
    const AnsiString& SizingHintText() const { return FMouse.SizingHint; }
    // The fixed-cell editor (a plain edit over a fixed cell).
    TEdit* FixedCellEditor() const { return FMouse.FixedEdit; }
    // The fixed cell is highlighted under the mouse by HoverFixedCells (hfAll: fixed rows and columns,
    // hfFixedRows, hfFixedColumns; hfNone never).
    bool IsHoverFixedCell(int ACol, int ARow);
    // The fixed cell drawn pressed (FixedAsButtons) while the left button is down on it; (-1, -1) none.
    TPoint PressedFixedCell() const { return FMouse.PressedFixed; }
    // The fixed cell under the mouse (-1 when none) and whether it is drawn pressed.
    TPoint HoverFixedCell() const { return TPoint(FHoverCol, FHoverRow); }
    bool HoverFixedCellDown() const { return FHoverDown; }

protected:
    // Called with the rectangle when a key or click selects every cell; nothing here.
    virtual void RangeSelected(const TGridRect& ARect) {}
    void WMKeyDown(TWMKey& Message) override;
    void WMKeyUp(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonUp(TWMMouse& Message) override;
    void WMLButtonDblClk(TWMMouse& Message) override;
    void WMRButtonDown(TWMMouse& Message) override;
    void WMRButtonUp(TWMMouse& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // OnClick, for a release on the cell of the press.
    void Click() override;
    // With waMoveSelection the wheel moves the current row by the wheel step (false with waScroll, and
    // with Ctrl while IntelliZoom zooms).
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

private:
    bool WheelMovesRow(bool Down, TShiftState Shift, TPoint MousePos);
    // Rows a notch of the wheel moves: WheelIncrement, else the system's scroll lines; 0 when the wheel
    // moves nothing (EnableWheel off, no data rows).
    int WheelStep();
    // Key steps; true when the key's handling ends there.
    bool ScrollOnlyKey(Word Key, TMessage& Message);
    bool HomeEndKey(Word& Key, TShiftState Shift, TMessage& Message);
    bool CellControlKey(Word Key);
    bool SkipFixedCellsKey(Word& Key, TShiftState Shift);
    void AppendOnDownKey();
    bool ClipboardShortCut(Word Key, TShiftState Shift);
    // The cell joins the disjunct cell selection (toggled with Ctrl, alone without), with the rest of
    // a selection of more than one cell.
    void ToggleDisjunctCell(int ACol, int ARow, bool Ctrl);
    bool InsertDeleteKey(Word Key, TShiftState Shift);
    void SelectAllCells();
    void DisjunctSelectKey(Word Key, TShiftState Shift);
    // Fires OnKeyDown with the key (when assigned).
    void FireKeyDown(Word& Key, TShiftState Shift);
    // Mouse steps; true when the press's handling ends there.
    bool CellAnchorClick(int ACol, int ARow, int X, int Y);
    bool CellFormControlClick(int ACol, int ARow, int X, int Y);
    bool CheckBoxClick(int ACol, int ARow, int X, int Y, TShiftState Shift);
    bool NodeClick(int ACol, int ARow, int X);
    bool FixedSelectClick(int ACol, int ARow, TShiftState Shift);
    void HeaderClickSort(int ACol, int ARow, int X, TShiftState Shift);
    // A press on a fixed cell selected whole rows (columns): the selection from the first to AIndex.
    void DragFixedSelection(int AIndex);
    // A plain release in disjunct row (column) selection flags the row (with a node's rows) or column.
    void DisjunctRowColRelease(int ACol, int ARow, TShiftState Shift);
    void DisjunctCellRelease(int ACol, int ARow, TShiftState Shift);
    Byte HoverStateAt(int X, int Y);
    void NoteSizingStart(int X, int Y);
    // A press on the up or down arrow painted in a spin cell asks the editor it opens for one step.
    void NoteSpinArrowPress(int ACol, int ARow, int X, int Y);
    void TrackHoverAnchor(int X, int Y);
    // A cell shown as a link (URLShow, not mini-HTML), with the hand over it.
    bool IsPlainUrlCell(int ACol, int ARow);
    // The selection resizer: a press on its handle, the drag and the release that fills the new selection.
    bool OnResizerHandle(int X, int Y);
    bool StartSelectionResize(TWMMouse& Message);
    void EndSelectionResize();
    // The mini-HTML hit test of a cell (display column) at a client point: the anchor or the form
    // control under it are left in Run; true when something was hit.
    bool HtmlHitAt(int ACol, int ARow, int X, int Y, THtmlRun& Run);
    // Paints the cell once more on Scratch, for the hit tests that follow its painting.
    void LayOutCellAgain(int ACol, int ARow, TCanvas* Scratch);
    // The client rectangle of a cell's form control (display column), from a hit test when given,
    // else found by its ID; the cell's rectangle when it is not laid out.
    TRect FormControlRect(int ACol, int ARow, const AnsiString& ID, const THtmlRun* Hit);
    void ShowSizingHint(const AnsiString& Text, int X, int Y);
    bool ArmOleDrag(int ACol, int ARow, int X);
    void ShowMoveImage(bool Column, int X, int Y);
    void HideSizingHint();
    // The drop-down part of a hovered fixed cell: OnFixedDropDownClick, then the menu under the cell.
    void FixedDropDown(int ACol, int ARow);
    // Fixed cells look like buttons: FixedAsButtons with the fixed grid lines and a 3-D look.
    bool FixedButtonLook();
    // While a column (row) is moved with the pointer outside the cells, timer 1 scrolls one step a tick.
    void MoveScrollCheck(int X, int Y);
    void MoveScrollTick();
    void EndRowColMove();
    struct TMouseState {
        Byte Hover = 0;
        bool Pressed = false, Moved = false, DblClickSized = false, FixedColHover = false, FixedRowHover = false;
        bool FixedColSizing = false, FixedRowSizing = false;
        bool Resizing = false, MoveAsked = false;
        // The drop-down menu of a fixed cell is up.
        bool MenuActive = false;
        // False while a release away from the pressed cell is handled (no OnClick).
        bool ClickOnPressCell = true;
        // A drag along the fixed cells selects rows (2) or columns (1) from SelectDragStart; 0 none.
        Byte SelectDrag = 0;
        int SelectDragStart = -1;
        // The fixed cell drawn pressed (FixedAsButtons).
        TPoint PressedFixed{-1, -1};
        // The cursor before a column (row) move showed the drag cursor.
        TCursor CursorBeforeMove = crDefault;
        bool MoveCursorSet = false, MoveScrolling = false;
        // The pointer is over a link cell (URLShow): the hand shows.
        bool UrlCursor = false;
        // A press armed a drag to other programs (of the pressed header's column).
        bool OleArmed = false, OleColumn = false;
        // The picture of the column (row) being moved (owned by the grid).
        TForm* MoveImage = nullptr;
        TGridRect ResizeFrom{};
        // The anchor under the pointer and its cell (for OnAnchorEnter and OnAnchorExit).
        AnsiString HoverAnchor;
        TPoint AnchorCell{-1, -1};
        int FixedSizeIndex = -1, SizingOfs = 0;
        // Where the dotted line of a fixed column (row) being sized is drawn: its X (Y).
        int SizingLine = -1;
        TPoint Down{-1, -1}, DownCell{-1, -1}, ButtonCell{-1, -1};
        int DownLeftCol = 0, DownTopRow = 0;
        AnsiString SizingHint;
        TEdit* FixedEdit = nullptr;
        TPoint FixedEditCell{-1, -1};
    } FMouse;
    struct TKeyState {
        TGridRect Selection{};
        TPoint TabGuard{-1, -1};
        bool EditorExit = false;
    } FKeys;
    struct TFormCtrlState {
        TPoint Cell{-1, -1};
        AnsiString ID, Type;
        bool Active = false;
    } FFormCtrl;
    // ================================================================ end of keyboard, mouse and cell form controls
    // ================================================================ end of in-place editing

    // ================================================================ clipboard and cell stream (grid/services/)
    // Cut, copy and paste through the system clipboard (ProGridClipboard.cpp): tab- and CR LF-separated
    // text, the rich text of one cell ("Rich Text Format") and the grid's own format "TProStringGrid
    // Cells", which holds the cell stream (ProGridCellStream.cpp). Column arguments here, and those of
    // SetCellTextWithUndo, are display columns; the cells are read and written in their stored columns.
public:
    // The entry points of the clipboard keys, the mouse and the program's edit commands.
    void CopySelection();
    void CutSelection();
    void PasteSelection();
    // Pastes the best format the clipboard holds at a cell; the number of cells pasted.
    int PasteGridCells(int ACol, int ARow);
    // Tab- and CR LF-separated text into the cells from (ACol, ARow) on; the number of fields.
    int PasteText(int ACol, int ARow, const AnsiString& Text);
    // The cells the last PasteText wrote (fields vetoed, not writable or outside the grid left out).
    int PastedCells() const { return FPastedCells; }
    // Size.X: the most tab-separated fields of a line; Size.Y: the number of lines.
    void TextBlockSize(const AnsiString& Text, TPoint& Size);
    // The copy worker: the text of R (with SelectedOnly only the rows or columns of a disjunct
    // selection), and by option the rich text of its first cell and the grid's own format.
    void CopyRectToClipboard(const TGridRect& R, bool SelectedOnly);
    void CopyCellRTF(int ACol, int ARow);
    void CopyRectAsCells(const TGridRect& R);
    // The cell stream: texts, cell properties and the cell graphics that own their content. Reading
    // checks the whole stream first: a damaged one changes nothing and raises EProGridError.
    void WriteCellObjects(const TGridRect& R, TStream* Stream);
    void ReadCellObjects(TPoint Origin, TStream* Stream);
    // The top-left cell of the last copy and whether the last clipboard operation was a copy.
    TPoint LastCopyOrigin() const { return FCopyOrigin; }
    bool LastClipboardWasCopy() const { return FCopyFlag; }

private:
    // R grown to take in whole every merged region its sides cut.
    TGridRect WidenToMergedRegions(TGridRect R);
    // Whether a row (display) or a column is flagged in a disjunct selection.
    bool DisjunctRowFlagged(int ARow) const;
    bool DisjunctColFlagged(int ACol);
    // Pasting may write the cell: editable, or AllowClipboardAlways.
    bool CanPasteInto(int ACol, int ARow);
    // Through the before-paste event and SetCellTextWithUndo; false when vetoed or not writable.
    bool PasteCellValue(int ACol, int ARow, AnsiString Value);
    // The smart paste after n values were pasted at the selection's top-left.
    void SmartPaste(const TGridRect& Sel, int ACol, int ARow, int Pasted);
    // The grid's own format: checked whole, the grid grown by option, read at (ACol, ARow);
    // -1, with nothing changed, for a stream this grid cannot take.
    int PasteCellStream(int ACol, int ARow, const AnsiString& Data);
    // Undo groups of the clipboard: one group however the operations nest; opened on the first change.
    void BeginUndoGroup();
    void EndUndoGroup();
    TPoint FCopyOrigin{-1, -1};
    bool FCopyFlag = false;
    int FUndoGroupDepth = 0;
    bool FUndoGroupOpen = false;
    // Columns and lines of the last paste (the block a smart paste repeats).
    TPoint FPasteExtent{0, 0};
    int FPastedCells = 0;
    // ================================================================ end of clipboard and cell stream
};

#undef PSG_GRID_PLAIN
#undef PSG_GRID_REPAINT

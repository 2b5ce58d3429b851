#pragma once
// TBaseGrid: the string grid with per-cell formatting records
// (TCellProperties, kept in the cell's object slot and made on first use),
// merged cells, its own drawing of lines and backgrounds with an active-row
// colour, and an optional undo/redo component (TProGridUndoRedo).
//
// Cell operations take stored column indices and display rows.
#include <cstddef>
#include <functional>
#include <memory>

#include "platform/gui/Component.h"
#include "platform/gui/Grids.h"
#include "platform/gui/StdCtrls.h"

class TBaseGrid;

// The grid's error: a row or column outside the grid ("Invalid row accessed", "Invalid column
// accessed"), a cell that holds no number, a failed export.
VELMAROK_EXCEPTION(EProGridError, Exception)
class TProGridUndoRedo;

enum TVAlignment { vtaTop, vtaCenter, vtaBottom };
enum TCellGradientDirection { GradientVertical, GradientHorizontal };

enum TEditorType {
    edNormal, edSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox, edDateEdit, edDateEditUpDown,
    edTimeEdit, edButton, edDataCheckBox, edNumeric, edPositiveNumeric, edFloat, edCapital, edMixedCase,
    edPassword, edUnitEditBtn, edLowerCase, edUpperCase, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit,
    edNumericEditBtn, edFloatEditBtn, edCustom, edRichEdit, edNone, edUniEdit, edUniComboEdit, edUniComboList,
    edUniEditBtn, edUniMemo, edDateTimeEdit
};

using TGetDisplTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;
using TGetDisplWideTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value)>;

// ---------------------------------------------------------------- TCellProperties
// Merge encoding: not merged: both spans -1 and IsBaseCell; base cell of a
// W x H region: IsBaseCell, spans W-1 and H-1; covered cell: not IsBaseCell,
// spans = its offset from the base cell.
class TCellProperties : public TPersistent {
public:
    TCellProperties(TBaseGrid* AGrid, int ACol, int ARow);
    ~TCellProperties() override;
    // Records come from blocks that keep freed records for the next ones: a
    // grid makes one for each cell it formats, often tens of thousands at
    // once (grouping), and frees them together. Made and freed on the
    // program's main thread, as controls are.
    static void* operator new(std::size_t ASize);
    static void operator delete(void* APtr, std::size_t ASize) noexcept;
    // Copies formatting and merge state; not BrushColorTo, GradientDirection,
    // CellObject or the cell graphic.
    void Assign(TPersistent* Source) override;

    TBaseGrid* Grid() const { return FGrid; }
    int OwnerCol() const { return FOwnerCol; }
    void SetOwnerCol(int v) { FOwnerCol = v; }
    int OwnerRow() const { return FOwnerRow; }
    void SetOwnerRow(int v) { FOwnerRow = v; }
    // Hung on the cell by the application; never freed by the grid.
    TObject* CellObject() const { return FCellObject; }
    void SetCellObject(TObject* v) { FCellObject = v; }
    // Freed with the record when it is a TCellGraphic.
    TObject* GraphicObject() const { return FGraphicObject; }
    void SetGraphicObject(TObject* v) { FGraphicObject = v; }

    TBrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(TBrushStyle v) { FBrushStyle = v; }
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor v);
    TColor BrushColorTo() const { return FBrushColorTo; }
    void SetBrushColorTo(TColor v);
    int FontSize() const { return FFontSize; }
    void SetFontSize(int v) { FFontSize = v; }
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor v) { FFontColor = v; }
    TFontStyles FontStyle() const { return FFontStyle; }
    void SetFontStyle(TFontStyles v) { FFontStyle = v; }
    int CellSpanY() const { return FCellSpanY; }
    void SetCellSpanY(int v) { FCellSpanY = v; }
    int CellSpanX() const { return FCellSpanX; }
    void SetCellSpanX(int v) { FCellSpanX = v; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { FBorderWidth = v; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment v);
    // Paint pass in which this base cell's region was last painted.
    int PaintStamp() const { return FPaintStamp; }
    void SetPaintStamp(int v) { FPaintStamp = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool IsBaseCell() const { return FIsBaseCell; }
    void SetIsBaseCell(bool v) { FIsBaseCell = v; }
    int NodeLevel() const { return FNodeLevel; }
    void SetNodeLevel(int v) { FNodeLevel = v; }
    TEditorType Editor() const { return FEditor; }
    void SetEditor(TEditorType v) { FEditor = v; }
    const AnsiString& FontName() const { return FFontName; }
    void SetFontName(const AnsiString& v) { FFontName = v; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    TCellGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TCellGradientDirection v) { FGradientDirection = v; }
    TControl* Control() const { return FControl; }
    void SetControl(TControl* v) { FControl = v; }
    // What a footer cell shows (low 7 bits): 0 nothing, 1 sum, 2 average,
    // 3 count, 4 minimum, 5 maximum, 7 custom.
    Byte CalcType() const { return FCalcType; }
    void SetCalcType(Byte v) { FCalcType = v; }

private:
    void RepaintRegion();
    TBaseGrid* FGrid;
    int FOwnerCol;
    int FOwnerRow;
    TObject* FCellObject = nullptr;
    TObject* FGraphicObject = nullptr;
    TBrushStyle FBrushStyle = bsSolid;
    TColor FBrushColor = clNone;
    TColor FBrushColorTo = clNone;
    int FFontSize = 0;
    TColor FFontColor = clNone;
    TFontStyles FFontStyle = 0;
    int FCellSpanY = -1;
    int FCellSpanX = -1;
    int FBorderWidth = 0;
    TColor FBorderColor = 0;
    TAlignment FAlignment = taLeftJustify;
    TVAlignment FVAlignment = vtaTop;
    int FPaintStamp = 0;
    bool FWordWrap = true;
    bool FIsBaseCell = true;
    int FNodeLevel = 0;
    TEditorType FEditor = edNormal;
    AnsiString FFontName;
    bool FReadOnly = false;
    TCellGradientDirection FGradientDirection = GradientVertical;
    TControl* FControl = nullptr;
    Byte FCalcType = 0;
};

// ---------------------------------------------------------------- TBaseGrid
class TBaseGrid : public TStringGrid {
public:
    explicit TBaseGrid(TComponent* AOwner);
    ~TBaseGrid() override;

    // The grid's own drawing flag and line width; the standard grid's stay
    // off and 0, so that only this grid draws lines.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor Value);
    TColor GridFixedLineColor() const { return FGridFixedLineColor; }
    void SetGridFixedLineColor(TColor Value);
    bool ActiveRowShow() const { return FActiveRowShow; }
    void SetActiveRowShow(bool Value) { FActiveRowShow = Value; }
    TColor ActiveRowColor() const { return FActiveRowColor; }
    void SetActiveRowColor(TColor Value);
    bool ShowSelection() const { return FShowSelection; }
    void SetShowSelection(bool Value);
    bool DefaultWordWrap() const { return FDefaultWordWrap; }
    void SetDefaultWordWrap(bool Value) { FDefaultWordWrap = Value; }
    bool LastRowIsFooter() const { return FLastRowIsFooter; }
    void SetLastRowIsFooter(bool Value) { FLastRowIsFooter = Value; }
    // Rows below it pass through the display-text hooks.
    int DisplayRowCount() const { return FDisplayRowCount; }
    void SetDisplayRowCount(int Value) { FDisplayRowCount = Value; }
    int PaintPass() const { return FPaintPass; }
    TProGridUndoRedo* UndoRedo() const { return FUndoRedo; }
    void SetUndoRedo(TProGridUndoRedo* Value);
    bool PropertiesCreated() const { return FPropertiesCreated; }

    TGetDisplTextEvent OnGetDisplText;
    TGetDisplWideTextEvent OnGetDisplWideText;

    // ---- cell text and records
    // Cells and its writers take the grid's rows and its stored columns, hidden ones included;
    // any other index raises EProGridError "Invalid row accessed" / "Invalid column accessed".
    // The display text of the cell's base cell.
    AnsiString Cells(int ACol, int ARow);
    // Writes the base cell of a cell with a record, else the cell itself.
    void SetCells(int ACol, int ARow, const AnsiString& Value) { SetCells(ACol, ARow, AnsiString(Value)); }
    void SetCells(int ACol, int ARow, AnsiString&& Value);
    // As SetCells, the text copied into the cell's own storage (bulk loads
    // over a grid emptied by ClearAll reuse the cells' memory).
    void SetCellsFrom(int ACol, int ARow, std::string_view Value);
    // SetCellsFrom for ACount cells of a row from AFirstCol on.
    void SetRowCellsFrom(int AFirstCol, int ARow, const std::string_view* Values, int ACount);
    // SetRowCellsFrom for the ACols cells from column 0 of ACount rows from AFirstRow on,
    // ARow giving each row's texts (as TCellStore::SetRowsTexts): rows without objects,
    // the footer row aside, are written on several threads.
    void SetRowsCellsFrom(int AFirstRow, int ACount, int ACols, const TCellStore::TRowTexts& ARow);
    AnsiString GetMergedCellText(int ACol, int ARow) { return Cells(ACol, ARow); }
    void SetMergedCellText(int ACol, int ARow, const AnsiString& Value) { SetCells(ACol, ARow, Value); }
    TCellProperties* CellProperties(int ACol, int ARow);
    // The record of an empty slot made with AModel's formatting, without
    // asking the hooks: for a cell whose new record is known to equal
    // AModel's when that was made (nullptr when the slot holds another object).
    TCellProperties* CellPropertiesLike(int ACol, int ARow, const TCellProperties& AModel);
    bool HasCellProperties(int ACol, int ARow) const;
    AnsiString GetGridCell(int ACol, int ARow) const { return TStringGrid::Cells(ACol, ARow); }
    void SetGridCell(int ACol, int ARow, const AnsiString& Value) { TStringGrid::SetCells(ACol, ARow, Value); }
    void SetGridCell(int ACol, int ARow, AnsiString&& Value) { TStringGrid::SetCells(ACol, ARow, std::move(Value)); }
    TObject* GetGridObject(int ACol, int ARow) const { return Objects(ACol, ARow); }
    void SetGridObject(int ACol, int ARow, TObject* Value) { SetObjects(ACol, ARow, Value); }
    void SetCellObject(int ACol, int ARow, TObject* AObject);
    TObject* GetCellObject(int ACol, int ARow) const;
    void SetCellGraphicObject(int ACol, int ARow, TObject* AGraphic);
    TObject* GetCellGraphicObject(int ACol, int ARow) const;
    // Frees what the object slot holds and stores AObject.
    void ReplaceGridObject(int ACol, int ARow, TObject* AObject);
    // Empty text and object slot, freeing nothing.
    void ResetCell(int ACol, int ARow);
    void ResetColumnCells(int ACol);
    void ResetRowCells(int ARow);
    void FreeCellProperties(int FromCol, int FromRow, int ToCol, int ToRow);

    // ---- merged cells
    // Regions are kept by stored column and stored row: a region keeps its cells while columns
    // or rows inside it are hidden and shown again. Read from the table, a region lies over its
    // shown rows; when its base cell's row is hidden, the region's first shown cell stands for
    // the base (IsBaseCell, GetBaseCell), and reads and writes of the region's text reach the
    // base cell in its hidden row. MergeCells takes the shown rows ARow .. ARow + NumRows - 1
    // and covers the hidden rows between them too.
    virtual void MergeCells(int ACol, int ARow, int NumCols, int NumRows);
    virtual void SplitCells(int ACol, int ARow);
    TPoint GetBaseCell(int ACol, int ARow) const;
    bool IsBaseCell(int ACol, int ARow) const;
    // True when the cell is its own base.
    bool ResolveBaseCell(int ACol, int ARow, int& BaseCol, int& BaseRow) const;
    // Spans over stored columns and shown rows.
    TPoint CellSpan(int ACol, int ARow) const;
    TPoint RemainingCellSpan(int ACol, int ARow) const;
    bool IsMergedCell(int ACol, int ARow) const;
    bool IsMergedNonBaseCell(int ACol, int ARow) const;
    bool IsMergedAcrossColumns(int ACol, int ARow) const;
    bool IsMergedAcrossRows(int ACol, int ARow) const;
    bool RowsShareMergedCells(int Row1, int Row2) const;
    // The merged region that covers the cell shown at (ADisplayCol, ARow), in shown columns: its
    // base cell at the top left and its last shown column and row at the bottom right (the cell
    // alone when it is not merged). Regions are kept by stored column; a hidden one inside a
    // region takes no place.
    TGridRect ShownMergedRegion(int ADisplayCol, int ARow) const;
    TGridCoord ShownBaseCell(int ADisplayCol, int ARow) const { return ShownMergedRegion(ADisplayCol, ARow).TopLeft(); }
    // The stored column whose cell is painted at a shown column: its own, but the base cell's for
    // the first shown column of a merged region whose base column is hidden.
    int PaintedColumn(int ADisplayCol, int ARow) const;
    // The client rectangle of the cell shown at (ADisplayCol, ARow): a merged region's covers its
    // shown cells.
    TRect MergedCellRect(int ADisplayCol, int ARow) const;
    TPoint MergedCellSize(int ADisplayCol, int ARow) const;
    // Invalidates the merged region that holds the stored cell (AStoredCol, ARow).
    void RepaintMergedRegion(int AStoredCol, int ARow);
    // The record a cell is shown with: its own, but the base cell's for the cell that stands for
    // a base cell whose row is hidden.
    TCellProperties* ShownCellProps(int ACol, int ARow) const;
    // A cell's base cell: where the table shows it (stored column, shown row) and, while the
    // base's row is hidden, that row's cells, which hold its text and record.
    struct TBaseCell {
        int Col = 0, Row = 0;
        TStringList* HiddenCells = nullptr;
    };
    TBaseCell FindBaseCell(int ACol, int ARow) const;
    // The stored text of a base cell, without the display hooks (copied into AScratch from a
    // hidden row).
    std::string_view BaseCellText(const TBaseCell& ABase, AnsiString& AScratch) const;

    // ---- hidden rows
    // A descendant may take rows out of the table into records of their own: the table holds
    // the shown rows, in stored order. Here every row is shown.
    virtual int NumHiddenRows() const { return 0; }
    virtual int NumHiddenColumns() const { return 0; }
    virtual int RealRowIndex(int ADisplayRow) const { return ADisplayRow; }
    // The shown row of a stored row; for a hidden one, the shown row after it.
    virtual int DisplayRowIndex(int ARealRow) const { return ARealRow; }
    // The cells (texts and object slots, by stored column) of a hidden row; nullptr for a shown one.
    virtual TStringList* HiddenRowCells(int ARealRow) const { return nullptr; }
    // Moves the current cell to its base cell.
    void FocusBaseCell();

    // ---- hooks
    virtual bool IsFixed(int ACol, int ARow) { return false; }
    virtual int GetRowIndent(int ARow) { return 0; }
    virtual bool HasNodes() { return false; }
    virtual void DrawGridCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
    virtual void LastRowChanged() {}
    virtual void GetDisplText(int ACol, int ARow, AnsiString& Value);
    virtual void GetDisplWideText(int ACol, int ARow, WideString& Value);
    virtual void GetCellColors(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont,
                               TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                               TAlignment& AAlignment, TVAlignment& AVAlignment, bool& AWordWrap,
                               TCellGradientDirection& AGradientDirection);
    // ASelected tells whether the colours given are the selection's.
    virtual void GetCellStyle(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont,
                              TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                              TCellGradientDirection& AGradientDirection, bool& ASelected)
    {
        ASelected = false;
    }
    // A stored column's place among the shown ones, and the stored column shown at a place: here
    // every column is shown; a descendant that hides columns maps them.
    virtual int DisplayColumn(int ACol) const { return ACol; }
    virtual int RealColIndex(int ADisplayCol) const { return ADisplayCol; }
    // Undo and redo put a recorded value back into a cell through this; a
    // descendant whose cell keeps its value outside the text overrides it.
    virtual void ApplyUndoValue(int ACol, int ARow, const AnsiString& Value) { SetCells(ACol, ARow, Value); }
    // The recorded changes follow the rows.
    void PermuteRows(int AFrom, const std::vector<int>& ASource) override;

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void Paint() override;
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void TopLeftChanged() override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    // The recorded changes follow the rows and stored columns as they move.
    void RowMoved(int FromIndex, int ToIndex) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    // For moves made cell by cell: ANewRow (ANewCol) gives the row (stored column) where a
    // row's (column's) cells went, -1 when they left the grid.
    void UndoRowsMoved(const std::function<int(int ARow)>& ANewRow);
    void UndoColumnsMoved(const std::function<int(int ACol)>& ANewCol);
    // The cell's record when it has one (none is made).
    TCellProperties* FindProps(int ACol, int ARow) const;

private:
    // The cell's record, or a new one (AMade) in an empty slot; nullptr when
    // the slot holds another object.
    TCellProperties* FindOrMakeProps(int ACol, int ARow, bool& AMade);
    template <class TStore, class TText>
    void WriteCell(int ACol, int ARow, TStore&& Store, TText&& Text);
    // The record of the cell at a stored column and a stored row, shown or hidden; the second
    // makes one in an empty slot.
    TCellProperties* StoredRowProps(int ACol, int ARealRow) const;
    TCellProperties* MakeStoredRowProps(int ACol, int ARealRow);
    TCellProperties* BaseCellProps(const TBaseCell& ABase) const;
    // The stored row of the base cell FindBaseCell(ACol, ARow) gave.
    int BaseRealRow(int ACol, int ARow, const TBaseCell& ABase) const;
    // Splits the region whose base cell lies at a stored column and a stored row.
    void SplitStoredRegion(int ACol, int ARealRow);
    TRect VirtualCellRect(int ACol, int ARow) const;

    bool FDefaultDrawing = false;
    int FGridLineWidth = 1;
    TColor FGridLineColor = TColor(0xC0C0C0);
    TColor FGridFixedLineColor = TColor(0x808080);
    int FPaintPass = 1;
    bool FLastRowIsFooter = false;
    int FDisplayRowCount = 0;
    TProGridUndoRedo* FUndoRedo = nullptr;
    bool FDefaultWordWrap = true;
    bool FActiveRowShow = false;
    TColor FActiveRowColor = clInfoBk;
    bool FShowSelection = true;
    bool FPropertiesCreated = false;
};

// ---------------------------------------------------------------- undo / redo
// One recorded change, or a group marker (Col = Row = -1, empty texts).
class TUndoRedoItem : public TCollectionItem {
public:
    explicit TUndoRedoItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
    int Row = 0;
    int Col = 0;
    AnsiString Value;       // the text after the change
    AnsiString OrigValue;   // the text before it
    bool SequenceStart = false;
    bool SequenceStop = false;
};

class TUndoRedoCollection : public TCollection {
public:
    TUndoRedoCollection();
    TUndoRedoItem* Item(int Index) const { return static_cast<TUndoRedoItem*>(Items(Index)); }
};

using TProGridUndoRedoEvent = std::function<void(TObject* Sender, TBaseGrid* Grid, int ACol, int ARow,
                                                 const AnsiString& CurrentValue, const AnsiString& NewValue)>;

// Records cell text changes of its grid. A change recorded after an undo is
// appended behind the undone entries, which stay; Undo and Redo put the cursor on the changed cell
// (the recorded stored column mapped to its display column).
class TProGridUndoRedo : public TComponent {
public:
    explicit TProGridUndoRedo(TComponent* AOwner);
    ~TProGridUndoRedo() override;

    virtual void AddCellChange(int ACol, int ARow, const AnsiString& OldValue, const AnsiString& NewValue);
    virtual void BeginGroup();
    virtual void EndGroup();
    void Undo();
    void Redo();
    bool CanUndo() const { return FPosition >= 1; }
    bool CanRedo() const { return FPosition < FList->Count(); }
    void Clear();
    // The grid moved its cells: each recorded cell goes where AMove puts its stored column and
    // row. A cell AMove sets outside the grid (column or row -1) has left it: its entries go, and
    // so does a group left empty, so that Undo and Redo never write into another line.
    void CellsMoved(const std::function<void(int& ACol, int& ARow)>& AMove);

    TBaseGrid* Grid() const { return FGrid; }
    void SetGrid(TBaseGrid* Value) { FGrid = Value; }
    int Position() const { return FPosition; }
    int MaxLevel() const { return FMaxLevel; }
    void SetMaxLevel(int Value) { FMaxLevel = Value; }
    TUndoRedoCollection* List() const { return FList.get(); }

    TProGridUndoRedoEvent OnUndo;
    TProGridUndoRedoEvent OnRedo;

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TGridRestorePoint;
    TUndoRedoItem* Append();
    void Apply(const TUndoRedoItem* Item, bool IsUndo);

    std::unique_ptr<TUndoRedoCollection> FList;
    TBaseGrid* FGrid = nullptr;
    int FPosition = 0;
    int FMaxLevel = 0;
};

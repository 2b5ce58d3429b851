#pragma once
// The standard grids: TCustomGrid (rows and columns of custom-painted cells
// with fixed rows and columns, current cell, selection, scrolling, sizing and
// moving by mouse, in-place editing), TDrawGrid (painted by OnDrawCell) and
// TStringGrid (a text and an object per cell).
//
// Only the rows and columns in view are ever visited while painting and
// scrolling: positions are found by walking from TopRow / LeftCol, so a grid
// of 100,000 rows paints as fast as one of 100.
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/CellStore.h"
#include "platform/gui/Controls.h"
#include "platform/gui/StdCtrls.h"

class TCustomGrid;
class TStringGrid;

VELMAROK_EXCEPTION(EInvalidGridOperation, Exception)
struct TGridScrollBars;

// ---------------------------------------------------------------- types
enum TGridOption : unsigned {
    goFixedVertLine = 0x0001,
    goFixedHorzLine = 0x0002,
    goVertLine = 0x0004,
    goHorzLine = 0x0008,
    goRangeSelect = 0x0010,
    goDrawFocusSelected = 0x0020,
    goRowSizing = 0x0040,
    goColSizing = 0x0080,
    goRowMoving = 0x0100,
    goColMoving = 0x0200,
    goEditing = 0x0400,
    goTabs = 0x0800,
    goRowSelect = 0x1000,
    goAlwaysShowEditor = 0x2000,
    goThumbTracking = 0x4000,
};
using TGridOptions = unsigned;

enum TGridDrawStateFlag : unsigned { gdSelected = 0x1, gdFocused = 0x2, gdFixed = 0x4 };
using TGridDrawState = unsigned;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

struct TGridCoord {
    int X = 0;
    int Y = 0;
    friend constexpr bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// The widest column and the highest row a grid holds, in pixels: beyond any screen or printed
// page, and small enough that the extents of the columns (rows) in view add up without
// overflow. A larger width or height, from a file or a measurement, is held at this; a
// negative one hides the column (row) and is held at -1.
constexpr int MaxGridExtent = 32767;

struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TGridRect() = default;
    constexpr TGridRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    TGridCoord TopLeft() const { return {Left, Top}; }
    TGridCoord BottomRight() const { return {Right, Bottom}; }
    friend constexpr bool operator==(const TGridRect&, const TGridRect&) = default;
};

// ---------------------------------------------------------------- scroll messages and bars
// The bar numbers and scroll codes are those of WM_HSCROLL / WM_VSCROLL (platform/gui/Messages.h).
// A bar's standard scale runs 0..127 whatever the number of rows or columns.

// Range, page and position of a grid scroll bar; with a page the thumb
// reaches Max - Page + 1.
struct TGridScrollInfo {
    int Min = 0;
    int Max = 127;
    int Page = 0;
    int Pos = 0;
};

// Looks of the grid's scroll bars: the toolkit's own, flat, or flat with a
// highlighted thumb.
enum TGridScrollBarStyle { gsbRegular, gsbFlat, gsbHighlight };

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;

// ---------------------------------------------------------------- in-place editor
// The editor the grid lays over the current cell: a borderless one-line edit
// (the toolkit's; with ES_MULTILINE in the creation parameters of a
// descendant, an edit of several lines). Return and the arrow keys up and down hand control back to
// the grid; Escape restores the text the editor was filled with. Cut, copy and
// paste reach the edit as WM_CUT, WM_COPY and WM_PASTE (from their keys too),
// so a descendant can filter them; every change of the text is reported to
// the grid as WM_COMMAND with EditChangeCode in the high word of WParam and
// the editor's window in LParam.
class TInplaceEdit : public TCustomMaskEdit {
public:
    // The change notification of an edit (EN_CHANGE).
    static constexpr Word EditChangeCode = 0x0300;

    explicit TInplaceEdit(TComponent* AOwner);
    ~TInplaceEdit() override;

    TCustomGrid* Grid() const { return FGrid; }
    // The text, the caret after it.
    void SetEditText(const AnsiString& Value);
    // The text the editor was last filled with (what Escape puts back).
    const AnsiString& OriginalText() const { return FOriginal; }
    bool EditModified() const { return Text() != FOriginal; }

    // Lays the editor over a cell (shown, focused when the grid has the focus).
    virtual void Move(const TRect& Loc);
    // Fills the editor from the grid's current cell (with the cell's edit mask), its text selected.
    virtual void UpdateContents();
    void Deselect() { SetSelStart(int(Text().size())); }
    // The text's alignment in the edit (left or right).
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

    void WndProc(TMessage& Message) override;

protected:
    friend class TCustomGrid;
    TNativeWidget* CreateNativeWidget() override;
    // ES_RIGHT for right-aligned text; a descendant may add ES_MULTILINE for an editor of several lines.
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void WMGetDlgCode(TMessage& Message) override;
    void Change() override;
    // The standard cut, copy and paste of the selection through the clipboard.
    void DefaultClipboardMessage(TMessage& Message);

    TCustomGrid* FGrid = nullptr;
    AnsiString FOriginal;
    TAlignment FAlignment = taLeftJustify;
};

// ---------------------------------------------------------------- TCustomGrid
// Position of a cell index after the column (row) at From moved to To, the others closing up behind it.
int MoveAdjust(int Pos, int From, int To);

class TCustomGrid : public TCustomControl {
public:
    // The window timer that scrolls a range selection while the pointer lies past the grid's edge.
    static constexpr UINT_PTR RangeScrollTimer = 2;

    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    // Row AFrom + i takes the place of row ASource[i] (each a row from AFrom
    // on, or -1 for an empty row of the default height), all rows at once.
    virtual void PermuteRows(int AFrom, const std::vector<int>& ASource);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    // The current cell.
    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    // Scrolling rows (columns) wholly in view.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);
    TGridState GridState() const { return FGridState; }
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }

    // Client rectangle of a cell; empty when the cell is out of view.
    TRect CellRect(int ACol, int ARow) const;
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    // The cell at a client point, (-1, -1) outside the cells.
    TGridCoord MouseCoord(int X, int Y) const;

    TRect ClientRect() const override;

    // ---- scroll bars (Bar is SB_HORZ or SB_VERT)
    TGridScrollInfo ScrollInfo(int Bar) const;
    // Sets the bar's range, page and position until the bars are laid out
    // again (counts, sizes, view), when UpdateScrollRange may set it anew.
    void SetScrollInfo(int Bar, const TGridScrollInfo& Info);
    bool ScrollBarVisible(int Bar) const;
    // Shows or hides a bar until the bars are laid out again.
    void ShowScrollBar(int Bar, bool Show);
    // Enables or disables both arrows (the whole bar) until the bars are laid out again.
    void EnableScrollBar(int Bar, bool Enable);
    bool ScrollBarEnabled(int Bar) const;
    // Width 0 keeps the toolkit's width; Color clNone keeps its colours.
    void SetScrollBarStyle(TGridScrollBarStyle Style, TColor Color, int Width);

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    // The edit mask of a cell's editor ("" none).
    TGetEditEvent OnGetEditMask;

    virtual void InvalidateCell(int ACol, int ARow);
    virtual void InvalidateRow(int ARow);
    virtual void InvalidateCol(int ACol);
    void InvalidateGrid() { Invalidate(); }
    virtual void MoveColumn(int FromIndex, int ToIndex);
    virtual void MoveRow(int FromIndex, int ToIndex);
    virtual void DeleteColumn(int ACol);
    virtual void DeleteRow(int ARow);
    // Takes rows out as DeleteRow(ASteps[0]), DeleteRow(ASteps[1]) ... would (each a row in the
    // numbering the ones before leave), at once and without RowMoved: the rows left move up
    // with their cells and heights (PermuteRows), the rows taken out wait beyond the new
    // RowCount, the current cell and the selection's anchor end where the steps would leave
    // them, and RowCount drops (never below one row: the last step on a single row keeps it).
    void ExtractRows(const std::vector<int>& ASteps);
    // Makes a cell current; MoveAnchor false extends the selection to it.
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    void ShowEditor();
    void HideEditor();

protected:
    // ---- hooks for descendants
    virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState);
    virtual bool SelectCell(int ACol, int ARow);
    virtual void TopLeftChanged();
    virtual AnsiString GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const AnsiString& Value);
    // The cell's edit mask: OnGetEditMask's answer, "" without it.
    virtual AnsiString GetEditMask(int ACol, int ARow);
    virtual int GetEditLimit() { return 0; }
    virtual bool CanEditShow();
    virtual bool CanEditModify() { return true; }
    virtual TInplaceEdit* CreateEditor();
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs);
    // Scroll messages, from the bars or sent; the standard handling moves
    // TopRow (LeftCol) and keeps the bar in step.
    virtual void WMHScroll(TMessage& Message);
    virtual void WMVScroll(TMessage& Message);
    // Runs each time the bars were laid out with their standard scale.
    virtual void UpdateScrollRange() {}
    // A range selection dragged past the grid's edge scrolls it on a timer (RangeScrollTimer).
    virtual bool AutoRangeScroll() { return true; }
    void WMTimer(TWMTimer& Message) override;
    // The default row height and column width, and every row height and column width, scale too.
    void ChangeScale(int M, int D) override;
    void Dispatch(TMessage& Message) override;
    // Ends editing, writing the editor's text back (Accept) or not.
    void UpdateText();

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Paint() override;
    void CreateWnd() override;
    void WMSize(TWMSize& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMKillFocus(TWMFocus& Message) override;
    void WMSetFocus(TWMFocus& Message) override;
    // A character typed on the grid with goEditing opens the editor and goes into it.
    void WMChar(TWMKey& Message) override;
    void ShowEditorChar(char Ch);

    // Moves the current cell (with SelectCell's consent) and scrolls it into view.
    void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
    void MoveTopLeft(int ALeft, int ATop);
    void ClampInView(const TGridCoord& Coord);
    // The greatest TopRow / LeftCol that still fills the view.
    int MaxTopRow() const;
    int MaxLeftCol() const;
    // Total width of the fixed columns, height of the fixed rows (with lines).
    int FixedWidth() const;
    int FixedHeight() const;
    bool IsActiveControl() const;
    void UpdateScrollBars();
    // The view back at the last position that fills it, when it lies beyond.
    void KeepViewFilled();
    void InvalidateRectOfCells(const TGridRect& R);
    void UpdateEditor();

protected:
    // Puts the selection where asked, also outside the cells (a selection
    // hidden beyond the last column and row).
    void PlaceSelection(const TGridRect& Value);
    // Ends a sizing or moving by mouse without finishing it.
    void SetGridState(TGridState Value) { FGridState = Value; }
    // Moves the current cell without asking SelectCell, the anchor staying: a key's step then
    // starts from there (the far side of a cell shown as one with others).
    void PlaceCurrent(int ACol, int ARow) { FCurrent = TGridCoord{ACol, ARow}; }

private:
    void RangeScrollCheck(int X, int Y);
    void RangeScrollTick();
    bool FRangeScrolling = false;

    TGridCoord FCurrent{1, 1};
    TGridCoord FAnchor{1, 1};
    TGridCoord FTopLeft{1, 1};
    TGridState FGridState = gsNormal;
    TInplaceEdit* FInplaceEdit = nullptr;
    bool FEditorMode = false;
    int FInplaceCol = -1;
    int FInplaceRow = -1;

private:
    friend struct TGridScrollBars;
    friend class TInplaceEdit;
    void ChangeSize(int NewColCount, int NewRowCount);
    void ClampCurrent();
    void Scrolled(bool Vertical, Word Code, int Pos);
    void ModifyScrollBar(bool Vertical, Word Code, int Pos);
    void DrawSizingLine() {}

    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    int FGridLineWidth = 1;
    TColor FFixedColor = clBtnFace;
    bool FDefaultDrawing = true;
    TGridOptions FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    // Mouse sizing and moving.
    int FSizingIndex = -1;
    int FSizingPos = 0;
    int FSizingOfs = 0;
    int FMoveIndex = -1;
    int FMovePos = -1;
    std::unique_ptr<TGridScrollBars> FScroll;
};

// ---------------------------------------------------------------- TDrawGrid
class TDrawGrid : public TCustomGrid {
public:
    explicit TDrawGrid(TComponent* AOwner);
};

// ---------------------------------------------------------------- TStringGrid
// Texts and objects are kept per stored row and column; lowering ColCount or
// RowCount keeps them, raising the count again brings them back. A negative
// index raises EListError "List index out of bounds (n)".
class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    AnsiString Cells(int ACol, int ARow) const { return AnsiString(CellText(ACol, ARow)); }
    // The stored text itself, without a copy (an empty text for a cell never
    // written); valid until the grid changes.
    std::string_view CellText(int ACol, int ARow) const
    {
        CheckIndex(ACol, ARow);
        return FStore.Text(ACol, ARow);
    }
    void SetCells(int ACol, int ARow, const AnsiString& Value) { AssignCellText(ACol, ARow, Value); }
    // The text copied into the cell (a short text lies inside the cell, a
    // longer one in the grid's blocks of text: nothing is allocated for each
    // cell).
    void AssignCellText(int ACol, int ARow, std::string_view Value);
    // The texts of ACount cells of a row from AFirstCol on, as AssignCellText one by one.
    void AssignRowTexts(int AFirstCol, int ARow, const std::string_view* Values, int ACount);
    // The texts of the ACols cells from column 0 of ACount rows from AFirstRow on, as
    // AssignRowTexts row by row, ARow giving each row's texts on one of several threads
    // (TCellStore::SetRowsTexts).
    void AssignRowsTexts(int AFirstRow, int ACount, int ACols, const TCellStore::TRowTexts& ARow);
    TObject* Objects(int ACol, int ARow) const
    {
        CheckIndex(ACol, ARow);
        return FStore.Object(ACol, ARow);
    }
    // The stored texts of the AColCount stored columns ACols in the ACount
    // stored rows ARows, as CellText gives them one by one: column ACols[i]
    // in row ARows[k] at AOut[i * ACount + k] (TCellStore::ColumnTexts).
    void ColumnTexts(const int* ACols, std::size_t AColCount, const int* ARows, std::size_t ACount,
                     std::string_view* AOut) const
    {
        for (std::size_t i = 0; i < AColCount; ++i)
            CheckIndex(ACols[i], 0);
        FStore.ColumnTexts(ACols, AColCount, ARows, ACount, AOut);
    }
    // Whether any cell of a stored row holds an object.
    bool RowHasObjects(int ARow) const { return FStore.RowHasObjects(ARow); }
    void SetObjects(int ACol, int ARow, TObject* Value);
    // A copy of a column's (row's) texts and objects over RowCount (ColCount);
    // the list belongs to the grid and is valid until the next call.
    TStrings* Cols(int Index);
    TStrings* Rows(int Index);
    void SetCols(int Index, TStrings* Value);
    void SetRows(int Index, TStrings* Value);
    // Rows (columns) that hold stored cells, counting those beyond the counts.
    int StoredRowCount() const { return FStore.RowCount(); }
    int StoredColCount(int ARow) const { return ARow >= 0 ? FStore.ColCount(ARow) : 0; }
    // Cells and objects move with their rows, beyond ColCount too.
    void PermuteRows(int AFrom, const std::vector<int>& ASource) override;
    // Starts bringing a stored cell into the processor's cache ahead of its
    // use: loops over many rows read rows that lie apart in memory once the
    // rows have been sorted.
    void PrefetchCell(int ACol, int ARow) const { FStore.Prefetch(ACol, ARow); }
    // Empties the texts of the stored cells in the rectangle at once (no
    // cell is made, objects stay, nothing repainted).
    void EmptyCellTexts(int FromCol, int FromRow, int ToCol, int ToRow) { FStore.ClearTexts(FromCol, FromRow, ToCol, ToRow); }
    // In the first ARows rows the stored cells from ACol + ACount up to AEnd move ACount columns
    // left, over those from ACol on, and the ACount cells before AEnd are left empty (no text, no
    // object); the objects of the cells moved over are not freed (TCellStore::RemoveColumns).
    void RemoveStoredColumns(int ACol, int ACount, int AEnd, int ARows);
    // Counts the changes of the stored cells: a view of a text (CellText)
    // stays valid while the count stays the same.
    std::uint64_t CellStoreChanges() const { return FStore.Changes(); }
    // Bytes the grid holds for its longer texts (those in use and all).
    std::size_t CellTextBytesUsed() const { return FStore.LiveTextBytes(); }
    std::size_t CellTextBytesHeld() const { return FStore.HeldTextBytes(); }

protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    AnsiString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;

private:
    // Cells are read in loops over whole grids: the check is inline, its
    // error out of line.
    static void CheckIndex(int ACol, int ARow)
    {
        if (ACol < 0 || ARow < 0)
            IndexError(ACol, ARow);
    }
    [[noreturn]] static void IndexError(int ACol, int ARow);
    TCellStore FStore;
    std::unique_ptr<TStrings> FLineView;
};

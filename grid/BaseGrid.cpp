#include "grid/BaseGrid.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <typeinfo>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/asan_interface.h>
#endif

#include "grid/ProUtil.h"
#include "grid/ProUtilDraw.h"

// ---------------------------------------------------------------- TCellProperties
namespace {
// Freed records wait in a list for the next ones; the blocks they lie in
// are never given back, so that a grid that makes its records again (a
// grid filled and grouped anew) finds them in memory it has used already.
// Built for AddressSanitizer, every record is a block of its own (a record
// nothing points to is still reported as leaked) and a freed record is
// poisoned until it is made again, all but its last bytes, which link the
// list (the leak check follows no link in poisoned memory).
class TRecordPool {
public:
    void* Take()
    {
        if (TSlot* s = FFree) {
            Unpoison(s);
            FFree = Next(s);
            return s;
        }
        if (FFresh == FFreshEnd) {
            FFresh = static_cast<TSlot*>(::operator new(sizeof(TSlot) * BlockSlots));
            FFreshEnd = FFresh + BlockSlots;
        }
        return FFresh++;
    }
    void Give(void* APtr)
    {
        auto* s = static_cast<TSlot*>(APtr);
        std::memcpy(s->Bytes + NextAt, &FFree, sizeof FFree);
        FFree = s;
        Poison(s);
    }

private:
    struct TSlot {
        alignas(TCellProperties) unsigned char Bytes[sizeof(TCellProperties)];
    };
    static constexpr std::size_t NextAt = sizeof(TSlot) - sizeof(TSlot*);
    static_assert(NextAt % 8 == 0);
    static TSlot* Next(TSlot* S)
    {
        TSlot* next = nullptr;
        std::memcpy(&next, S->Bytes + NextAt, sizeof next);
        return next;
    }
#ifdef __SANITIZE_ADDRESS__
    static constexpr std::size_t BlockSlots = 1;
    static void Poison(TSlot* S) { ASAN_POISON_MEMORY_REGION(S, NextAt); }
    static void Unpoison(TSlot* S) { ASAN_UNPOISON_MEMORY_REGION(S, NextAt); }
#else
    static constexpr std::size_t BlockSlots = 1024;
    static void Poison(TSlot*) {}
    static void Unpoison(TSlot*) {}
#endif
    TSlot* FFree = nullptr;
    TSlot* FFresh = nullptr;
    TSlot* FFreshEnd = nullptr;
};

// Never destroyed: records may be freed while the program's statics go.
TRecordPool& RecordPool()
{
    static TRecordPool* pool = new TRecordPool;
    return *pool;
}
}  // namespace

void* TCellProperties::operator new(std::size_t ASize)
{
    return ASize == sizeof(TCellProperties) ? RecordPool().Take() : ::operator new(ASize);
}

void TCellProperties::operator delete(void* APtr, std::size_t ASize) noexcept
{
    if (!APtr)
        return;
    if (ASize == sizeof(TCellProperties))
        RecordPool().Give(APtr);
    else
        ::operator delete(APtr);
}

TCellProperties::TCellProperties(TBaseGrid* AGrid, int ACol, int ARow)
    : FGrid(AGrid), FOwnerCol(ACol), FOwnerRow(ARow), FWordWrap(AGrid ? AGrid->DefaultWordWrap() : true)
{
}

TCellProperties::~TCellProperties()
{
    if (FGraphicObject && FGraphicObject->ClassName() == "TCellGraphic")
        delete FGraphicObject;
}

void TCellProperties::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TCellProperties*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FIsBaseCell = src->FIsBaseCell;
    FCellSpanX = src->FCellSpanX;
    FCellSpanY = src->FCellSpanY;
    FOwnerRow = src->FOwnerRow;
    FOwnerCol = src->FOwnerCol;
    FAlignment = src->FAlignment;
    FBorderColor = src->FBorderColor;
    FBorderWidth = src->FBorderWidth;
    FBrushColor = src->FBrushColor;
    FBrushStyle = src->FBrushStyle;
    FFontColor = src->FFontColor;
    FFontStyle = src->FFontStyle;
    FFontName = src->FFontName;
    FFontSize = src->FFontSize;
    FReadOnly = src->FReadOnly;
    FEditor = src->FEditor;
    FVAlignment = src->FVAlignment;
    FWordWrap = src->FWordWrap;
    FNodeLevel = src->FNodeLevel;
    FControl = src->FControl;
}

void TCellProperties::RepaintRegion()
{
    if (FGrid)
        FGrid->RepaintMergedRegion(FOwnerCol, FOwnerRow);
}

void TCellProperties::SetBrushColor(TColor v)
{
    FBrushColor = v;
    RepaintRegion();
}

void TCellProperties::SetBrushColorTo(TColor v)
{
    FBrushColorTo = v;
    RepaintRegion();
}

void TCellProperties::SetVAlignment(TVAlignment v)
{
    FVAlignment = v;
    RepaintRegion();
}

void TCellProperties::SetWordWrap(bool v)
{
    FWordWrap = v;
    RepaintRegion();
}

// ---------------------------------------------------------------- TBaseGrid
TBaseGrid::TBaseGrid(TComponent* AOwner) : TStringGrid(AOwner)
{
    TStringGrid::SetDefaultDrawing(false);
    TStringGrid::SetGridLineWidth(0);
    FDisplayRowCount = RowCount();
}

TBaseGrid::~TBaseGrid()
{
    if (FUndoRedo && FUndoRedo->Grid() == this)
        FUndoRedo->SetGrid(nullptr);
    // Every stored cell, also those beyond the counts (hidden columns keep theirs there).
    if (FPropertiesCreated)
        for (int r = 0; r < StoredRowCount(); ++r)
            FreeCellProperties(0, r, StoredColCount(r) - 1, r);
}

void TBaseGrid::SetDefaultDrawing(bool Value)
{
    FDefaultDrawing = Value;
    TStringGrid::SetDefaultDrawing(false);
    Invalidate();
}

void TBaseGrid::SetGridLineWidth(int Value)
{
    FGridLineWidth = std::max(0, Value);
    Invalidate();
}

void TBaseGrid::SetGridLineColor(TColor Value)
{
    FGridLineColor = Value;
    Invalidate();
}

void TBaseGrid::SetGridFixedLineColor(TColor Value)
{
    FGridFixedLineColor = Value;
    Invalidate();
}

void TBaseGrid::SetActiveRowColor(TColor Value)
{
    FActiveRowColor = Value;
    Invalidate();
}

void TBaseGrid::SetShowSelection(bool Value)
{
    FShowSelection = Value;
    Invalidate();
}

void TBaseGrid::SetUndoRedo(TProGridUndoRedo* Value)
{
    if (FUndoRedo == Value)
        return;
    if (FUndoRedo) {
        if (FUndoRedo->Grid() == this)
            FUndoRedo->SetGrid(nullptr);
        FUndoRedo->RemoveFreeNotification(this);
    }
    FUndoRedo = Value;
    if (FUndoRedo) {
        FUndoRedo->SetGrid(this);
        FUndoRedo->FreeNotification(this);
    }
}

void TBaseGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TStringGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FUndoRedo)
        FUndoRedo = nullptr;
}

void TBaseGrid::SizeChanged(int OldColCount, int OldRowCount)
{
    TStringGrid::SizeChanged(OldColCount, OldRowCount);
    if (OldRowCount != RowCount())
        FDisplayRowCount = RowCount();
    // Rows cut off at the end have left the grid (hidden columns lie beyond ColCount: no such
    // rule for columns).
    if (RowCount() < OldRowCount)
        UndoRowsMoved([rows = RowCount()](int R) { return R < rows ? R : -1; });
}

void TBaseGrid::UndoRowsMoved(const std::function<int(int ARow)>& ANewRow)
{
    if (FUndoRedo && FUndoRedo->List()->Count() > 0)
        FUndoRedo->CellsMoved([&](int&, int& R) { R = ANewRow(R); });
}

void TBaseGrid::UndoColumnsMoved(const std::function<int(int ACol)>& ANewCol)
{
    if (FUndoRedo && FUndoRedo->List()->Count() > 0)
        FUndoRedo->CellsMoved([&](int& C, int&) { C = ANewCol(C); });
}

void TBaseGrid::PermuteRows(int AFrom, const std::vector<int>& ASource)
{
    TStringGrid::PermuteRows(AFrom, ASource);
    if (!FUndoRedo || FUndoRedo->List()->Count() == 0)
        return;
    // Row ASource[i] is now AFrom + i; a row of the range that no source names was overwritten,
    // one outside it that none names stays.
    const int end = AFrom + int(ASource.size());
    int lo = AFrom, hi = end;
    for (int src : ASource)
        if (src >= 0) {
            lo = std::min(lo, src);
            hi = std::max(hi, src + 1);
        }
    std::vector<int> to(std::size_t(hi - lo));
    for (int r = lo; r < hi; ++r)
        to[std::size_t(r - lo)] = r >= AFrom && r < end ? -1 : r;
    for (std::size_t i = 0; i < ASource.size(); ++i)
        if (ASource[i] >= 0)
            to[std::size_t(ASource[i] - lo)] = AFrom + int(i);
    UndoRowsMoved([&](int R) { return R < lo || R >= hi ? R : to[std::size_t(R - lo)]; });
}

void TBaseGrid::RowMoved(int FromIndex, int ToIndex)
{
    TStringGrid::RowMoved(FromIndex, ToIndex);
    UndoRowsMoved([=](int R) { return MoveAdjust(R, FromIndex, ToIndex); });
}

void TBaseGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    TStringGrid::ColumnMoved(FromIndex, ToIndex);
    UndoColumnsMoved([=](int C) { return MoveAdjust(C, FromIndex, ToIndex); });
}

// ---- records
namespace {
TCellProperties* AsRecord(TObject* AObject)
{
    if (AObject && typeid(*AObject) == typeid(TCellProperties))
        return static_cast<TCellProperties*>(AObject);
    return dynamic_cast<TCellProperties*>(AObject);
}

// The record in a hidden row's slot of a stored column.
TCellProperties* HiddenRecord(TStringList* ACells, int ACol)
{
    return ACol >= 0 && ACol < ACells->Count() ? AsRecord(ACells->Objects(ACol)) : nullptr;
}
}

TCellProperties* TBaseGrid::FindProps(int ACol, int ARow) const
{
    return AsRecord(Objects(ACol, ARow));
}

bool TBaseGrid::HasCellProperties(int ACol, int ARow) const
{
    return FindProps(ACol, ARow) != nullptr;
}

namespace {
void StoreFormat(TCellProperties* P, TAlignment AAlign, TVAlignment AVAlign, bool AWrap, const AnsiString& AFontName,
                 int AFontSize, TFontStyles AFontStyle, TColor AFontColor, TColor ABrush, TColor ABrushTo,
                 TCellGradientDirection ADir)
{
    P->SetAlignment(AAlign);
    P->SetVAlignment(AVAlign);
    P->SetWordWrap(AWrap);
    P->SetFontName(AFontName);
    P->SetFontSize(AFontSize);
    P->SetFontStyle(AFontStyle);
    P->SetFontColor(AFontColor);
    P->SetBrushColor(ABrush);
    P->SetBrushColorTo(ABrushTo);
    P->SetGradientDirection(ADir);
}
}

TCellProperties* TBaseGrid::FindOrMakeProps(int ACol, int ARow, bool& AMade)
{
    AMade = false;
    if (TObject* o = Objects(ACol, ARow))
        return AsRecord(o);   // nullptr: the slot holds something else; it is not ours to replace
    auto* p = new TCellProperties(this, ACol, ARow);
    SetObjects(ACol, ARow, p);
    FPropertiesCreated = true;
    AMade = true;
    return p;
}

TCellProperties* TBaseGrid::CellProperties(int ACol, int ARow)
{
    bool made = false;
    TCellProperties* p = FindOrMakeProps(ACol, ARow, made);
    if (!made)
        return p;
    // The record starts with the formatting the hooks give the cell now.
    TFont font;
    TBrush brush;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment align = taLeftJustify;
    TVAlignment valign = vtaTop;
    bool wrap = FDefaultWordWrap;
    TCellGradientDirection dir = GradientVertical;
    GetCellColors(ACol, ARow, 0, &brush, &font, colorTo, mirror, mirrorTo, align, valign, wrap, dir);
    StoreFormat(p, align, valign, wrap, font.Name(), font.Size(), font.Style(), font.Color(), brush.Color(), colorTo,
                dir);
    return p;
}

TCellProperties* TBaseGrid::CellPropertiesLike(int ACol, int ARow, const TCellProperties& AModel)
{
    bool made = false;
    TCellProperties* p = FindOrMakeProps(ACol, ARow, made);
    if (made)
        StoreFormat(p, AModel.Alignment(), AModel.VAlignment(), AModel.WordWrap(), AModel.FontName(),
                    AModel.FontSize(), AModel.FontStyle(), AModel.FontColor(), AModel.BrushColor(),
                    AModel.BrushColorTo(), AModel.GradientDirection());
    return p;
}

void TBaseGrid::SetCellObject(int ACol, int ARow, TObject* AObject)
{
    if (TCellProperties* p = CellProperties(ACol, ARow))
        p->SetCellObject(AObject);
}

TObject* TBaseGrid::GetCellObject(int ACol, int ARow) const
{
    TCellProperties* p = FindProps(ACol, ARow);
    return p ? p->CellObject() : nullptr;
}

void TBaseGrid::SetCellGraphicObject(int ACol, int ARow, TObject* AGraphic)
{
    if (TCellProperties* p = CellProperties(ACol, ARow))
        p->SetGraphicObject(AGraphic);
}

TObject* TBaseGrid::GetCellGraphicObject(int ACol, int ARow) const
{
    TCellProperties* p = FindProps(ACol, ARow);
    return p ? p->GraphicObject() : nullptr;
}

void TBaseGrid::ReplaceGridObject(int ACol, int ARow, TObject* AObject)
{
    TObject* old = Objects(ACol, ARow);
    if (old == AObject)
        return;
    SetObjects(ACol, ARow, AObject);
    delete old;
}

void TBaseGrid::ResetCell(int ACol, int ARow)
{
    TStringGrid::SetCells(ACol, ARow, AnsiString());
    SetObjects(ACol, ARow, nullptr);
}

void TBaseGrid::ResetColumnCells(int ACol)
{
    for (int r = 0; r < RowCount(); ++r)
        ResetCell(ACol, r);
}

void TBaseGrid::ResetRowCells(int ARow)
{
    // Every stored column: those beyond ColCount (hidden ones) move with their rows too.
    for (int c = 0; c < StoredColCount(ARow); ++c)
        ResetCell(c, ARow);
}

void TBaseGrid::FreeCellProperties(int FromCol, int FromRow, int ToCol, int ToRow)
{
    if (!FPropertiesCreated)
        return;
    for (int r = FromRow; r <= ToRow; ++r)
        for (int c = FromCol; c <= ToCol; ++c)
            if (TCellProperties* p = FindProps(c, r)) {
                SetObjects(c, r, nullptr);
                delete p;
            }
}

// ---- text
namespace {
// A row of the grid and a stored column (the shown ones and the hidden ones), else the grid's error.
// The usual cell is decided by the first two comparisons.
void CheckCellIndex(const TBaseGrid& AGrid, int ACol, int ARow)
{
    if (ARow < 0 || ARow >= AGrid.RowCount())
        throw EProGridError("Invalid row accessed");
    if (ACol < 0 || (ACol >= AGrid.ColCount() && ACol >= AGrid.ColCount() + AGrid.NumHiddenColumns()))
        throw EProGridError("Invalid column accessed");
}
}  // namespace

AnsiString TBaseGrid::Cells(int ACol, int ARow)
{
    CheckCellIndex(*this, ACol, ARow);
    const TBaseCell b = FindBaseCell(ACol, ARow);
    AnsiString s;
    if (b.HiddenCells)
        s = BaseCellText(b, s);
    else
        s = GetGridCell(b.Col, b.Row);
    if (b.Row < FDisplayRowCount) {
        GetDisplText(b.Col, b.Row, s);
        if (OnGetDisplWideText) {
            WideString w = DecodeUnicodeCell(s);
            GetDisplWideText(b.Col, b.Row, w);
            s = EncodeUnicodeCell(w);
        }
    }
    return s;
}

std::string_view TBaseGrid::BaseCellText(const TBaseCell& ABase, AnsiString& AScratch) const
{
    if (!ABase.HiddenCells)
        return CellText(ABase.Col, ABase.Row);
    TStringList* cells = ABase.HiddenCells;
    AScratch = ABase.Col >= 0 && ABase.Col < cells->Count() ? cells->Strings(ABase.Col) : AnsiString();
    return AScratch;
}

// The cell a write lands in: the base cell of a cell with a record, else the
// cell itself; Store writes the text there (a base cell in a hidden row takes
// Text), then the region is repainted and the footer told.
template <class TStore, class TText>
void TBaseGrid::WriteCell(int ACol, int ARow, TStore&& Store, TText&& Text)
{
    if (HasCellProperties(ACol, ARow)) {
        const TBaseCell b = FindBaseCell(ACol, ARow);
        if (!b.HiddenCells)
            Store(b.Col, b.Row);
        else if (b.Col >= 0 && b.Col < b.HiddenCells->Count())
            b.HiddenCells->SetStrings(b.Col, Text());
        if (Parent())
            RepaintMergedRegion(b.Col, b.Row);
    } else {
        Store(ACol, ARow);
    }
    if (FLastRowIsFooter && ARow == RowCount() - 1)
        LastRowChanged();
}

void TBaseGrid::SetCells(int ACol, int ARow, AnsiString&& Value)
{
    CheckCellIndex(*this, ACol, ARow);
    WriteCell(
        ACol, ARow, [&](int C, int R) { SetGridCell(C, R, std::move(Value)); },
        [&] { return std::move(Value); });
}

void TBaseGrid::SetCellsFrom(int ACol, int ARow, std::string_view Value)
{
    CheckCellIndex(*this, ACol, ARow);
    WriteCell(
        ACol, ARow, [&](int C, int R) { AssignCellText(C, R, Value); }, [&] { return AnsiString(Value); });
}

void TBaseGrid::SetRowCellsFrom(int AFirstCol, int ARow, const std::string_view* Values, int ACount)
{
    if (ACount > 0) {
        CheckCellIndex(*this, AFirstCol, ARow);
        CheckCellIndex(*this, AFirstCol + ACount - 1, ARow);
    }
    // A row without objects has no records: its cells are written at once
    // (but the footer row, which is told of every write).
    if (RowHasObjects(ARow) || (FLastRowIsFooter && ARow == RowCount() - 1)) {
        for (int i = 0; i < ACount; ++i)
            SetCellsFrom(AFirstCol + i, ARow, Values[i]);
        return;
    }
    AssignRowTexts(AFirstCol, ARow, Values, ACount);
}

void TBaseGrid::SetRowsCellsFrom(int AFirstRow, int ACount, int ACols, const TCellStore::TRowTexts& ARow)
{
    if (ACount > 0 && ACols > 0) {
        CheckCellIndex(*this, 0, AFirstRow);
        CheckCellIndex(*this, ACols - 1, AFirstRow + ACount - 1);
    }
    bool plain = !(FLastRowIsFooter && AFirstRow + ACount >= RowCount() && AFirstRow < RowCount());
    for (int r = AFirstRow; r < AFirstRow + ACount && plain; ++r)
        plain = !RowHasObjects(r);
    if (plain) {
        AssignRowsTexts(AFirstRow, ACount, ACols, ARow);
        return;
    }
    std::vector<std::string_view> values(std::size_t(std::max(ACols, 0)));
    std::string scratch;
    for (int r = AFirstRow; r < AFirstRow + ACount; ++r) {
        std::fill(values.begin(), values.end(), std::string_view());
        ARow(r, values.data(), scratch);
        SetRowCellsFrom(0, r, values.data(), ACols);
    }
}

void TBaseGrid::GetDisplText(int ACol, int ARow, AnsiString& Value)
{
    if (OnGetDisplText)
        OnGetDisplText(this, ACol, ARow, Value);
}

void TBaseGrid::GetDisplWideText(int ACol, int ARow, WideString& Value)
{
    if (OnGetDisplWideText)
        OnGetDisplWideText(this, ACol, ARow, Value);
}

void TBaseGrid::GetCellColors(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont,
                              TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                              TAlignment& AAlignment, TVAlignment& AVAlignment, bool& AWordWrap,
                              TCellGradientDirection& AGradientDirection)
{
    AFont->Assign(Font());
    ABrush->SetColor(Color());
    AColorTo = clNone;
    AMirrorColor = clNone;
    AMirrorColorTo = clNone;
    AAlignment = taLeftJustify;
    AVAlignment = vtaTop;
    AWordWrap = FDefaultWordWrap;
    AGradientDirection = GradientVertical;
}

// ---- merged cells
TBaseGrid::TBaseCell TBaseGrid::FindBaseCell(int ACol, int ARow) const
{
    TCellProperties* p = FindProps(ACol, ARow);
    if (!p || p->IsBaseCell() || p->CellSpanX() == -1 || p->CellSpanY() == -1)
        return {ACol, ARow};
    const int col = ACol - p->CellSpanX();
    if (p->CellSpanY() == 0 || NumHiddenRows() == 0)
        return {col, ARow - p->CellSpanY()};
    // The offset counts stored rows; a hidden base row is stood for by the shown row after it.
    const int row = RealRowIndex(ARow) - p->CellSpanY();
    return {col, DisplayRowIndex(row), HiddenRowCells(row)};
}

TPoint TBaseGrid::GetBaseCell(int ACol, int ARow) const
{
    const TBaseCell b = FindBaseCell(ACol, ARow);
    return TPoint(b.Col, b.Row);
}

bool TBaseGrid::IsBaseCell(int ACol, int ARow) const
{
    TCellProperties* p = FindProps(ACol, ARow);
    if (!p || p->IsBaseCell())
        return true;
    // The cell that stands for a base cell whose row is hidden.
    return p->CellSpanX() == 0 && p->CellSpanY() > 0 && NumHiddenRows() > 0 &&
           GetBaseCell(ACol, ARow) == TPoint(ACol, ARow);
}

bool TBaseGrid::ResolveBaseCell(int ACol, int ARow, int& BaseCol, int& BaseRow) const
{
    TPoint b = GetBaseCell(ACol, ARow);
    BaseCol = b.X;
    BaseRow = b.Y;
    return b.X == ACol && b.Y == ARow;
}

TCellProperties* TBaseGrid::StoredRowProps(int ACol, int ARealRow) const
{
    if (NumHiddenRows() == 0)
        return FindProps(ACol, ARealRow);
    if (TStringList* hidden = HiddenRowCells(ARealRow))
        return HiddenRecord(hidden, ACol);
    return FindProps(ACol, DisplayRowIndex(ARealRow));
}

TCellProperties* TBaseGrid::MakeStoredRowProps(int ACol, int ARealRow)
{
    TStringList* hidden = NumHiddenRows() > 0 ? HiddenRowCells(ARealRow) : nullptr;
    if (!hidden)
        return CellProperties(ACol, NumHiddenRows() > 0 ? DisplayRowIndex(ARealRow) : ARealRow);
    if (ACol < 0 || ACol >= hidden->Count())
        return nullptr;
    if (TObject* o = hidden->Objects(ACol))
        return AsRecord(o);
    // A hidden row has no formatting to take from the hooks: the record starts plain.
    auto* p = new TCellProperties(this, ACol, ARealRow);
    hidden->SetObjects(ACol, p);
    FPropertiesCreated = true;
    return p;
}

TCellProperties* TBaseGrid::BaseCellProps(const TBaseCell& ABase) const
{
    return ABase.HiddenCells ? HiddenRecord(ABase.HiddenCells, ABase.Col) : FindProps(ABase.Col, ABase.Row);
}

TCellProperties* TBaseGrid::ShownCellProps(int ACol, int ARow) const
{
    TCellProperties* p = FindProps(ACol, ARow);
    if (!p || p->IsBaseCell() || p->CellSpanY() <= 0 || NumHiddenRows() == 0)
        return p;
    const TBaseCell b = FindBaseCell(ACol, ARow);
    return b.HiddenCells && b.Col == ACol && b.Row == ARow ? BaseCellProps(b) : p;
}

TPoint TBaseGrid::CellSpan(int ACol, int ARow) const
{
    TCellProperties* p = FindProps(ACol, ARow);
    if (!p || p->CellSpanX() == -1 || p->CellSpanY() == -1)
        return TPoint(0, 0);
    const TBaseCell b = FindBaseCell(ACol, ARow);
    TCellProperties* bp = BaseCellProps(b);
    if (!bp)
        return TPoint(0, 0);
    TPoint span(std::max(0, bp->CellSpanX()), std::max(0, bp->CellSpanY()));
    if (span.Y > 0 && NumHiddenRows() > 0) {
        // Over the shown rows: those up to the region's last stored row, from the base's.
        const int base = b.HiddenCells ? RealRowIndex(ARow) - p->CellSpanY() : RealRowIndex(b.Row);
        span.Y = DisplayRowIndex(base + span.Y + 1) - 1 - b.Row;
    }
    return span;
}

TPoint TBaseGrid::RemainingCellSpan(int ACol, int ARow) const
{
    TCellProperties* p = FindProps(ACol, ARow);
    if (!p || p->CellSpanX() == -1 || p->CellSpanY() == -1)
        return TPoint(0, 0);
    TPoint b = GetBaseCell(ACol, ARow);
    TPoint s = CellSpan(ACol, ARow);
    return TPoint(s.X + b.X - ACol, s.Y + b.Y - ARow);
}

bool TBaseGrid::IsMergedCell(int ACol, int ARow) const
{
    TCellProperties* p = FindProps(ACol, ARow);
    return p && (p->CellSpanX() > 0 || p->CellSpanY() >= 1);
}

bool TBaseGrid::IsMergedNonBaseCell(int ACol, int ARow) const
{
    return IsMergedCell(ACol, ARow) && !IsBaseCell(ACol, ARow);
}

bool TBaseGrid::IsMergedAcrossColumns(int ACol, int ARow) const
{
    TCellProperties* p = BaseCellProps(FindBaseCell(ACol, ARow));
    return p && p->CellSpanX() > 0;
}

// Over the shown rows.
bool TBaseGrid::IsMergedAcrossRows(int ACol, int ARow) const
{
    return CellSpan(ACol, ARow).Y > 0;
}

// Every stored column of the two rows counts, hidden ones too.
bool TBaseGrid::RowsShareMergedCells(int Row1, int Row2) const
{
    bool found = false;
    for (int c = 0; c < std::max(StoredColCount(Row1), StoredColCount(Row2)); ++c) {
        if (CellSpan(c, Row1).Y > 0 && CellSpan(c, Row2).Y > 0) {
            found = true;
            if (GetBaseCell(c, Row1).Y != GetBaseCell(c, Row2).Y)
                return false;
        }
    }
    return found;
}

void TBaseGrid::MergeCells(int ACol, int ARow, int NumCols, int NumRows)
{
    if (NumCols < 1 || NumRows < 1)
        return;
    // A region reaching past the grid is refused as its cells are: it would leave records
    // where no cell is.
    CheckCellIndex(*this, ACol, ARow);
    CheckCellIndex(*this, int(std::min<std::int64_t>(std::int64_t(ACol) + NumCols - 1, INT_MAX)),
                   int(std::min<std::int64_t>(std::int64_t(ARow) + NumRows - 1, INT_MAX)));
    // The region runs over the stored rows from its first shown row's to its last's.
    const bool hidden = NumHiddenRows() > 0;
    const int first = hidden ? RealRowIndex(ARow) : ARow;
    const int last = hidden ? RealRowIndex(ARow + NumRows - 1) : ARow + NumRows - 1;
    // A region the new one overlaps is split first, so that no covered cell
    // is left pointing at a cell that is no longer a base cell.
    for (int c = ACol; c < ACol + NumCols; ++c)
        for (int r = first; r <= last; ++r) {
            TCellProperties* p = StoredRowProps(c, r);
            if (!p || p->CellSpanX() == -1 || p->CellSpanY() == -1)
                continue;
            if (!p->IsBaseCell())
                SplitStoredRegion(c - p->CellSpanX(), r - p->CellSpanY());
            else if (p->CellSpanX() > 0 || p->CellSpanY() > 0)
                SplitStoredRegion(c, r);
        }
    for (int c = ACol; c < ACol + NumCols; ++c)
        for (int r = first; r <= last; ++r) {
            TCellProperties* p = MakeStoredRowProps(c, r);
            if (!p)
                continue;
            if (c == ACol && r == first) {
                p->SetIsBaseCell(true);
                p->SetCellSpanX(NumCols - 1);
                p->SetCellSpanY(last - first);
            } else {
                p->SetIsBaseCell(false);
                p->SetCellSpanX(c - ACol);
                p->SetCellSpanY(r - first);
            }
        }
    RepaintMergedRegion(ACol, ARow);
}

int TBaseGrid::BaseRealRow(int ACol, int ARow, const TBaseCell& ABase) const
{
    if (NumHiddenRows() == 0)
        return ABase.Row;
    return ABase.HiddenCells ? RealRowIndex(ARow) - FindProps(ACol, ARow)->CellSpanY() : RealRowIndex(ABase.Row);
}

void TBaseGrid::SplitCells(int ACol, int ARow)
{
    const TBaseCell b = FindBaseCell(ACol, ARow);
    // A cell that is not merged gains a record.
    if (!b.HiddenCells && !CellProperties(b.Col, b.Row))
        return;
    TRect region = HandleAllocated() ? MergedCellRect(DisplayColumn(b.Col), b.Row) : TRect();
    SplitStoredRegion(b.Col, BaseRealRow(ACol, ARow, b));
    if (!IsRectEmpty(region))
        InvalidateRect(region);
}

void TBaseGrid::SplitStoredRegion(int ACol, int ARealRow)
{
    TCellProperties* bp = StoredRowProps(ACol, ARealRow);
    if (!bp)
        return;
    const int sx = bp->CellSpanX(), sy = bp->CellSpanY();
    for (int c = ACol; c <= ACol + sx; ++c)
        for (int r = ARealRow; r <= ARealRow + sy; ++r)
            if (TCellProperties* p = MakeStoredRowProps(c, r)) {
                p->SetIsBaseCell(true);
                p->SetCellSpanX(-1);
                p->SetCellSpanY(-1);
            }
}

TRect TBaseGrid::VirtualCellRect(int ACol, int ARow) const
{
    int lw = TStringGrid::GridLineWidth();
    auto axis = [&](int Index, int Fixed, int First, int Count, auto ext) {
        int pos = 0;
        if (Index < Fixed || Fixed >= Count) {
            for (int i = 0; i < Index && i < Count; ++i)
                pos += std::max(0, ext(i)) + lw;
            return pos;
        }
        for (int i = 0; i < Fixed; ++i)
            pos += std::max(0, ext(i)) + lw;
        if (Index >= First)
            for (int i = First; i < Index && i < Count; ++i)
                pos += std::max(0, ext(i)) + lw;
        else
            for (int i = Index; i < First; ++i)
                pos -= std::max(0, ext(i)) + lw;
        return pos;
    };
    int cols = ColCount(), rows = RowCount();
    auto colW = [&](int i) { return i < cols ? ColWidths(i) : DefaultColWidth(); };
    auto rowH = [&](int i) { return i < rows ? RowHeights(i) : DefaultRowHeight(); };
    int x = axis(ACol, FixedCols(), LeftCol(), cols, colW);
    int y = axis(ARow, FixedRows(), TopRow(), rows, rowH);
    return TRect(x, y, x + std::max(0, colW(ACol)), y + std::max(0, rowH(ARow)));
}

namespace {
// A cell in no merged region and holding no control is laid out on its own.
bool LaidOutAlone(const TCellProperties* p)
{
    return !p || (p->CellSpanX() == -1 && p->CellSpanY() == -1 && !p->Control());
}
}  // namespace

TRect TBaseGrid::MergedCellRect(int ACol, int ARow) const
{
    if (LaidOutAlone(FindProps(RealColIndex(ACol), ARow))) {
        TRect r = CellRect(ACol, ARow);
        const bool inGrid = ACol >= 0 && ACol < ColCount() && ARow >= 0 && ARow < RowCount();
        // A cell scrolled out of view lies where it would be, as a region's cells do, not at the corner.
        if (inGrid && IsRectEmpty(r) && ColWidths(ACol) > 0 && RowHeights(ARow) > 0)
            return VirtualCellRect(ACol, ARow);
        if (ACol >= 0 && ACol < ColCount())
            r.Right = r.Left + ColWidths(ACol);
        if (ARow >= 0 && ARow < RowCount())
            r.Bottom = r.Top + RowHeights(ARow);
        return r;
    }
    // Regions are kept by stored column: the rectangle spans the shown ones.
    const TGridRect m = ShownMergedRegion(ACol, ARow);
    TRect u;
    UnionRect(u, VirtualCellRect(m.Left, m.Top), VirtualCellRect(m.Right, m.Bottom));
    return u;
}

TPoint TBaseGrid::MergedCellSize(int ACol, int ARow) const
{
    // A plain cell's size is its column's width and its row's height: placing it would walk every
    // row above it, once for each cell measured.
    if (LaidOutAlone(FindProps(RealColIndex(ACol), ARow)) && ACol >= 0 && ACol < ColCount() && ARow >= 0 &&
        ARow < RowCount())
        return TPoint(ColWidths(ACol), RowHeights(ARow));
    TRect r = MergedCellRect(ACol, ARow);
    return TPoint(r.Width(), r.Height());
}

void TBaseGrid::RepaintMergedRegion(int AStoredCol, int ARow)
{
    if (!HandleAllocated())
        return;
    TPoint b = GetBaseCell(AStoredCol, ARow);
    TRect r = MergedCellRect(DisplayColumn(b.X), b.Y);
    if (IsRectEmpty(r))
        return;
    InvalidateRect(r);
}

TGridRect TBaseGrid::ShownMergedRegion(int ADisplayCol, int ARow) const
{
    const int stored = RealColIndex(ADisplayCol);
    const TPoint base = GetBaseCell(stored, ARow);
    const TPoint span = CellSpan(stored, ARow);
    // The last shown column of the region: the shown columns up to its last stored one, less one.
    return TGridRect(DisplayColumn(base.X), base.Y, DisplayColumn(base.X + span.X + 1) - 1, base.Y + span.Y);
}

int TBaseGrid::PaintedColumn(int ADisplayCol, int ARow) const
{
    const int stored = RealColIndex(ADisplayCol);
    const TPoint base = GetBaseCell(stored, ARow);
    return base.Y == ARow && DisplayColumn(base.X) == ADisplayCol ? base.X : stored;
}

void TBaseGrid::FocusBaseCell()
{
    if (!HasCellProperties(RealColIndex(Col()), Row()))
        return;
    const TGridCoord b = ShownBaseCell(Col(), Row());
    if (b.X == Col() && b.Y == Row())
        return;
    if (b.X >= FixedCols() && b.Y >= FixedRows() && b.X < ColCount() && b.Y < RowCount())
        MoveCurrent(b.X, b.Y, true, true);
}

// ---- drawing
void TBaseGrid::Paint()
{
    TStringGrid::Paint();
    ++FPaintPass;
}

void TBaseGrid::DrawGridCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    SetBkMode(ACanvas, TRANSPARENT);
    DrawText(ACanvas, Cells(ACol, ARow), -1, ARect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TBaseGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    TCanvas* c = Canvas();
    if (FLastRowIsFooter && ARow == RowCount() - 1) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(ARect);
        return;
    }
    // The cell shown at ACol is kept at its stored column. A covered cell: its region is painted
    // once per pass, from its base cell, over the region's shown cells from the first one (which
    // stands in for a hidden base column).
    int stored = RealColIndex(ACol);
    TCellProperties* own = FindProps(stored, ARow);
    if (own && !own->IsBaseCell() && own->CellSpanX() != -1 && own->CellSpanY() != -1) {
        const TPoint b = GetBaseCell(stored, ARow);
        TCellProperties* bp = FindProps(b.X, b.Y);
        if (!bp || bp->PaintStamp() == FPaintPass)
            return;
        bp->SetPaintStamp(FPaintPass);
        ACol = ShownMergedRegion(ACol, ARow).Left;
        ARow = b.Y;
        stored = b.X;
    } else if (own && IsMergedCell(stored, ARow)) {
        own->SetPaintStamp(FPaintPass);
    }
    if (IsFixed(ACol, ARow)) {
        AState &= ~gdSelected;
        AState |= gdFixed;
    }
    TRect r = MergedCellRect(ACol, ARow);
    bool fixed = AState & gdFixed;

    int saved = SaveDC(c);
    int fixedW = 0, fixedH = 0;
    for (int i = 0; i < FixedCols(); ++i)
        fixedW += ColWidths(i) + TStringGrid::GridLineWidth();
    for (int i = 0; i < FixedRows(); ++i)
        fixedH += RowHeights(i) + TStringGrid::GridLineWidth();
    bool clipX = ACol >= FixedCols() && FixedCols() >= 1 && fixedW > r.Left;
    bool clipY = ARow >= FixedRows() && FixedRows() >= 1 && fixedH > r.Top;
    if (clipX || clipY) {
        TRect cr = ClientRect();
        IntersectClipRect(c, clipX ? fixedW : cr.Left, clipY ? fixedH : cr.Top, cr.Right, cr.Bottom);
    }

    c->Pen()->SetWidth(1);
    c->SetFont(Font());
    c->Brush()->SetStyle(bsSolid);
    if (fixed)
        c->Brush()->SetColor(FixedColor());
    else if ((AState & gdSelected) && FShowSelection) {
        c->Brush()->SetColor(clHighlight);
        c->Font()->SetColor(clHighlightText);
    } else
        c->Brush()->SetColor(Color());
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TCellGradientDirection dir = GradientVertical;
    bool selected = false;
    GetCellStyle(stored, ARow, AState, c->Brush(), c->Font(), colorTo, mirror, mirrorTo, dir, selected);
    if (FActiveRowShow && ARow == Row() && (ACol != Col() || !FShowSelection))
        c->Brush()->SetColor(FActiveRowColor);

    TColor brushColor = c->Brush()->Color();
    if (colorTo == clNone) {
        c->FillRect(r);
    } else if (mirror == clNone) {
        DrawGradient(c, brushColor, colorTo, dir == GradientHorizontal, r, 64);
    } else {
        DrawMirrorGradient(c, r, brushColor, colorTo, mirror, mirrorTo, dir == GradientVertical, clNone, false,
                           true);
    }

    // Lines at the right and bottom edge of the cell.
    int lw = fixed ? 1 : FGridLineWidth;
    TGridOptions opts = Options();
    if (lw > 0) {
        TColor lineColor = fixed ? FGridFixedLineColor : FGridLineColor;
        bool horz = fixed ? (opts & goFixedHorzLine) : (opts & goHorzLine);
        bool vert = fixed ? (opts & goFixedVertLine) : (opts & goVertLine);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(lineColor);
        if (horz && !(ACol == 0 && HasNodes()))
            c->FillRect(TRect(r.Left, r.Bottom - lw, r.Right, r.Bottom));
        if (vert)
            c->FillRect(TRect(r.Right - lw, r.Top, r.Right, r.Bottom));
        c->Brush()->SetColor(brushColor);
    }

    TRect inner = r;
    int shrink = fixed ? 1 : FGridLineWidth;
    InflateRect(inner, -shrink, -shrink);
    DrawGridCell(c, ACol, ARow, inner, AState);
    RestoreDC(c, saved);
}

// ---- selection, keys, wheel, scrolling
bool TBaseGrid::SelectCell(int ACol, int ARow)
{
    RepaintMergedRegion(RealColIndex(Col()), Row());
    bool ok = TStringGrid::SelectCell(ACol, ARow);
    RepaintMergedRegion(RealColIndex(ACol), ARow);
    return ok;
}

void TBaseGrid::KeyDown(Word& Key, TShiftState Shift)
{
    if (Key == VK_NEXT && FLastRowIsFooter && RowCount() >= 2 &&
        TopRow() + VisibleRowCount() - 1 >= RowCount() - 1 && Row() != RowCount() - 2)
        SetRow(RowCount() - 2);
    if (HasCellProperties(RealColIndex(Col()), Row()) && !(Shift & ssCtrl)) {
        // The step starts from the region's far side (in shown columns), so that it leaves the
        // region: the current cell is put there without a move of its own (a descendant makes its
        // region's base cell current instead of a covered one).
        const TGridRect m = ShownMergedRegion(Col(), Row());
        switch (Key) {
        case VK_RIGHT:
            if (m.Right > Col() && m.Right < ColCount() && !(Options() & goRowSelect))
                PlaceCurrent(m.Right, Row());
            break;
        case VK_DOWN:
            if (m.Bottom > Row() && m.Bottom < RowCount())
                PlaceCurrent(Col(), m.Bottom);
            break;
        case VK_LEFT:
            // From a covered cell: step from the base column, so the step leaves the region by one cell.
            if (Col() > m.Left && Col() > FixedCols() && m.Left >= 1)
                SetCol(m.Left);
            break;
        case VK_UP:
            if (Row() > m.Top && Row() > FixedRows() && m.Top >= 1)
                SetRow(m.Top);
            break;
        default: break;
        }
    }
    TStringGrid::KeyDown(Key, Shift);
    FocusBaseCell();
}

bool TBaseGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    bool result = TStringGrid::DoMouseWheelDown(Shift, MousePos);
    if (Row() >= TopRow() + VisibleRowCount() && Row() < RowCount() - 1 && FLastRowIsFooter)
        SetTopRow(TopRow() + 1);
    FocusBaseCell();
    return result;
}

bool TBaseGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    bool result = TStringGrid::DoMouseWheelUp(Shift, MousePos);
    FocusBaseCell();
    return result;
}

void TBaseGrid::TopLeftChanged()
{
    TStringGrid::TopLeftChanged();
    if (!FPropertiesCreated)
        return;
    int lastRow = std::min(RowCount() - 1, TopRow() + VisibleRowCount());
    int lastCol = std::min(ColCount() - 1, LeftCol() + VisibleColCount());
    auto repaint = [this](int ADisplayCol, int ARow) {
        if (const int c = RealColIndex(ADisplayCol); IsMergedCell(c, ARow))
            RepaintMergedRegion(c, ARow);
    };
    for (int c = 0; c < FixedCols(); ++c)
        for (int r = TopRow(); r <= lastRow; ++r)
            repaint(c, r);
    for (int r = 0; r < FixedRows(); ++r)
        for (int c = LeftCol(); c <= lastCol; ++c)
            repaint(c, r);
}

// ---------------------------------------------------------------- undo / redo
TUndoRedoCollection::TUndoRedoCollection() : TCollection([](TCollection* c) { return new TUndoRedoItem(c); }) {}

TProGridUndoRedo::TProGridUndoRedo(TComponent* AOwner)
    : TComponent(AOwner), FList(std::make_unique<TUndoRedoCollection>())
{
}

TProGridUndoRedo::~TProGridUndoRedo()
{
    if (FGrid && FGrid->UndoRedo() == this)
        FGrid->SetUndoRedo(nullptr);
}

void TProGridUndoRedo::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGrid)
        FGrid = nullptr;
}

void TProGridUndoRedo::Clear()
{
    FList->Clear();
    FPosition = 0;
}

void TProGridUndoRedo::CellsMoved(const std::function<void(int& ACol, int& ARow)>& AMove)
{
    auto marker = [](const TUndoRedoItem* Item) { return Item->SequenceStart || Item->SequenceStop; };
    auto drop = [&](int Index) {
        FList->Delete(Index);
        if (Index < FPosition)
            --FPosition;
    };
    for (int i = FList->Count() - 1; i >= 0; --i) {
        TUndoRedoItem* item = FList->Item(i);
        if (marker(item))
            continue;
        AMove(item->Col, item->Row);
        if (item->Col < 0 || item->Row < 0)
            drop(i);
    }
    // A group left empty goes too, unless it is still being recorded (the position between
    // its markers).
    for (int i = FList->Count() - 2; i >= 0; --i)
        if (FList->Item(i)->SequenceStart && FList->Item(i + 1)->SequenceStop && FPosition != i + 1) {
            drop(i + 1);
            drop(i);
            i = std::min(i, FList->Count() - 1);
        }
}

TUndoRedoItem* TProGridUndoRedo::Append()
{
    // Entries undone earlier stay in the list, behind the new one.
    if (FMaxLevel >= 1 && FList->Count() >= FMaxLevel)
        FList->Delete(0);
    auto* item = static_cast<TUndoRedoItem*>(FList->Add());
    FPosition = FList->Count();
    return item;
}

void TProGridUndoRedo::AddCellChange(int ACol, int ARow, const AnsiString& OldValue, const AnsiString& NewValue)
{
    TUndoRedoItem* item = Append();
    item->Col = ACol;
    item->Row = ARow;
    item->Value = NewValue;
    item->OrigValue = OldValue;
}

void TProGridUndoRedo::BeginGroup()
{
    TUndoRedoItem* item = Append();
    item->Col = item->Row = -1;
    item->SequenceStart = true;
}

void TProGridUndoRedo::EndGroup()
{
    TUndoRedoItem* item = Append();
    item->Col = item->Row = -1;
    item->SequenceStop = true;
}

void TProGridUndoRedo::Apply(const TUndoRedoItem* Item, bool IsUndo)
{
    if (Item->SequenceStart || Item->SequenceStop || Item->Col < 0 || Item->Row < 0)
        return;
    const AnsiString& text = IsUndo ? Item->OrigValue : Item->Value;
    const TProGridUndoRedoEvent& event = IsUndo ? OnUndo : OnRedo;
    if (event)
        event(this, FGrid, Item->Col, Item->Row, FGrid->Cells(Item->Col, Item->Row), text);
    FGrid->ApplyUndoValue(Item->Col, Item->Row, text);
    // The cursor goes to the changed cell, the stored column shown where it is displayed.
    int c = FGrid->DisplayColumn(Item->Col);
    int r = Item->Row;
    if (c >= FGrid->FixedCols() && c < FGrid->ColCount() && r >= FGrid->FixedRows() && r < FGrid->RowCount())
        FGrid->FocusCell(c, r, true);
}

void TProGridUndoRedo::Undo()
{
    if (!FGrid || FPosition < 1 || FPosition > FList->Count())
        return;
    TUndoRedoItem* last = FList->Item(FPosition - 1);
    if (last->SequenceStop) {
        --FPosition;
        while (FPosition >= 1 && !FList->Item(FPosition - 1)->SequenceStart) {
            Apply(FList->Item(FPosition - 1), true);
            --FPosition;
        }
        if (FPosition >= 1)
            --FPosition;   // past the start marker
        FGrid->Invalidate();
    } else {
        Apply(last, true);
        --FPosition;
        FGrid->Invalidate();
    }
}

void TProGridUndoRedo::Redo()
{
    if (!FGrid || FPosition >= FList->Count())
        return;
    ++FPosition;
    TUndoRedoItem* item = FList->Item(FPosition - 1);
    if (item->SequenceStart) {
        ++FPosition;
        while (FPosition <= FList->Count() && !FList->Item(FPosition - 1)->SequenceStop) {
            Apply(FList->Item(FPosition - 1), false);
            ++FPosition;
        }
        if (FPosition > FList->Count())
            FPosition = FList->Count();
    } else {
        Apply(item, false);
    }
    FGrid->Invalidate();
}

// TGridRestorePoint: what a read into the grid may change, taken before it
// changes anything and put back when the read fails. The texts are copied
// into a cell store of their own; each cell record is kept as a copy of its
// values (with a copy of the graphic and of the content the graphic owns), so
// that the records the grid holds stay untouched while the read succeeds.
#include <algorithm>
#include <memory>
#include <vector>

#include "grid/GDIPicture.h"
#include "grid/PictureContainer.h"
#include "grid/ProGrid.h"
#include "grid/ProObj.h"
#include "grid/services/GridFiles_p.h"
#include "platform/core/CellStore.h"

namespace {
std::vector<int> ItemsOf(const TIntList& L)
{
    std::vector<int> v(std::size_t(L.Count()));
    for (int i = 0; i < L.Count(); ++i)
        v[std::size_t(i)] = L.GetItem(i);
    return v;
}

void SetItemsOf(TIntList& L, const std::vector<int>& V)
{
    L.Clear();
    for (int v : V)
        L.Insert(L.Count(), v);
}

template <class T>
std::unique_ptr<TGraphic> GraphicCopy(TGraphic* G)
{
    auto* g = dynamic_cast<T*>(G);
    if (!g)
        return nullptr;
    auto copy = std::make_unique<T>();
    copy->Assign(g);
    copy->SetTransparent(g->Transparent());
    return copy;
}

// A copy of an object a cell graphic owns; nullptr for a kind the grid does not know.
TObject* ObjectCopy(TObject* O)
{
    if (!O)
        return nullptr;
    if (auto* list = dynamic_cast<TIntList*>(O)) {
        auto copy = std::make_unique<TIntList>(list->Col(), list->Row());
        SetItemsOf(*copy, ItemsOf(*list));
        copy->OnChange = list->OnChange;
        return copy.release();
    }
    if (auto* strings = dynamic_cast<TStrings*>(O)) {
        auto copy = std::make_unique<TStringList>();
        copy->Assign(strings);
        return copy.release();
    }
    if (auto* picture = dynamic_cast<TPicture*>(O)) {
        auto copy = std::make_unique<TPicture>();
        copy->Assign(picture);
        return copy.release();
    }
    if (auto* file = dynamic_cast<TFilePicture*>(O)) {
        auto copy = std::make_unique<TFilePicture>();
        copy->SetStoredPicture(file->Filename(), file->Width(), file->Height());
        return copy.release();
    }
    auto* g = dynamic_cast<TGraphic*>(O);
    std::unique_ptr<TGraphic> copy;
    for (auto make : {GraphicCopy<TBitmap>, GraphicCopy<TIcon>, GraphicCopy<TJPEGImage>, GraphicCopy<TGDIPPicture>,
                      GraphicCopy<THTMLPicture>})
        if (g && !copy)
            copy = make(g);
    if (g && !copy) {
        if (auto* raster = dynamic_cast<TRasterImage*>(g)) {
            copy = std::make_unique<TRasterImage>();
            copy->Assign(raster);
        }
    }
    return copy.release();
}

// A graphic with the values of G; what G owns is copied, what it only refers to is referred to.
std::unique_ptr<TCellGraphic> GraphicCopyOf(TCellGraphic* G)
{
    auto copy = std::make_unique<TCellGraphic>();
    copy->Assign(G);
    copy->CellCreated = false;
    const bool ownsObject = G->CellCreated || G->CellType == ctImages;
    copy->CellObject = ownsObject ? ObjectCopy(G->CellObject) : G->CellObject;
    copy->CellIcon = G->CellCreated && G->CellIcon ? static_cast<TIcon*>(ObjectCopy(G->CellIcon)) : G->CellIcon;
    copy->CellCreated = G->CellCreated;
    return copy;
}
}  // namespace

// A record's values apart from the grid (its setters repaint nothing).
struct TRecordCopy {
    int Col = 0, Row = 0;
    TObject* Foreign = nullptr;                 // an object of the program in the slot
    std::unique_ptr<TCellProperties> Values;    // else the record's values
    std::unique_ptr<TCellGraphic> Graphic;      // its graphic when it owns one
    TObject* SharedGraphic = nullptr;           // or the graphic it refers to
};

struct TGridRestorePoint::TState {
    int ColCount = 0, RowCount = 0, FixedCols = 0, FixedRows = 0;
    TPoint Current, Anchor;
    int TopRow = 0, LeftCol = 0;
    // The rows whose cells were taken: FromRow..ToRow and those from Footer on (the last row or
    // the fixed footers, which footers change, and the stored rows beyond RowCount).
    int FromRow = 0, ToRow = -1, Footer = 0;
    std::vector<int> ColWidths, RowHeights, HiddenColWidths, ColumnOrder, RowOrder, RowModified;
    std::vector<char> ColumnVisible;
    TCellStore Texts;
    std::vector<TRecordCopy> Objects;
    int UndoCount = 0, UndoPosition = 0;
    TCollectionItem* UndoLast = nullptr;

    bool Taken(int ARow) const { return (ARow >= FromRow && ARow <= ToRow) || ARow >= Footer; }
};

namespace {
// The points active for their grids, the latest last.
std::vector<TGridRestorePoint*> ActivePoints;
std::vector<TProStringGrid*> ActiveGrids;
}

TGridRestorePoint::TGridRestorePoint(TProStringGrid* Grid, int FromRow, int ToRow) : FGrid(Grid)
{
    auto s = std::make_unique<TState>();
    TProStringGrid* g = Grid;
    s->ColCount = g->ColCount();
    s->RowCount = g->RowCount();
    s->FixedCols = g->TBaseGrid::FixedCols();
    s->FixedRows = g->TBaseGrid::FixedRows();
    const TGridRect sel = g->Selection();
    s->Current = TPoint(g->Col(), g->Row());
    s->Anchor = TPoint(s->Current.X == sel.Left ? sel.Right : sel.Left, s->Current.Y == sel.Top ? sel.Bottom : sel.Top);
    s->TopRow = g->TopRow();
    s->LeftCol = g->LeftCol();
    s->FromRow = std::max(FromRow, 0);
    s->ToRow = std::min(ToRow, s->RowCount - 1);
    s->Footer = s->RowCount - std::max(1, g->FixedFooters());
    // A cell of a merged region holds its text in the region's base cell: the rows up to it are taken too.
    for (int r = s->FromRow; r <= s->ToRow && r < g->StoredRowCount(); ++r)
        if (g->RowHasObjects(r))
            for (int c = 0; c < g->StoredColCount(r); ++c)
                if (auto* p = dynamic_cast<TCellProperties*>(g->GetGridObject(c, r)); p && !p->IsBaseCell())
                    s->FromRow = std::clamp(g->GetBaseCell(c, r).Y, 0, s->FromRow);
    s->ColWidths.resize(std::size_t(s->ColCount));
    for (int c = 0; c < s->ColCount; ++c)
        s->ColWidths[std::size_t(c)] = g->ColWidths(c);
    for (int r = s->FromRow; r <= s->ToRow; ++r)
        s->RowHeights.push_back(g->RowHeights(r));
    s->HiddenColWidths = g->FHiddenColWidths;
    s->ColumnVisible = g->FColumnVisible;
    s->ColumnOrder = ItemsOf(g->FColumnOrder);
    s->RowOrder = ItemsOf(g->FRowOrder);
    s->RowModified = ItemsOf(*g->FRowModified);
    auto take = [&](int r) {
        const int cols = g->StoredColCount(r);
        for (int c = 0; c < cols; ++c)
            if (std::string_view text = g->CellText(c, r); !text.empty())
                s->Texts.SetText(c, r, text, 0);
        if (!g->RowHasObjects(r))
            return;
        for (int c = 0; c < cols; ++c) {
            TObject* o = g->GetGridObject(c, r);
            if (!o)
                continue;
            TRecordCopy copy;
            copy.Col = c;
            copy.Row = r;
            auto* p = dynamic_cast<TCellProperties*>(o);
            if (!p) {
                copy.Foreign = o;
            } else {
                copy.Values = std::make_unique<TCellProperties>(nullptr, p->OwnerCol(), p->OwnerRow());
                copy.Values->Assign(p);
                copy.Values->SetBrushColorTo(p->BrushColorTo());
                copy.Values->SetGradientDirection(p->GradientDirection());
                copy.Values->SetCellObject(p->CellObject());
                copy.Values->SetCalcType(p->CalcType());
                copy.Values->SetPaintStamp(p->PaintStamp());
                TObject* graphic = p->GraphicObject();
                auto* own = dynamic_cast<TCellGraphic*>(graphic);
                if (own && own != g->RowCheckGraphic())
                    copy.Graphic = GraphicCopyOf(own);
                else
                    copy.SharedGraphic = graphic;
            }
            s->Objects.push_back(std::move(copy));
        }
    };
    const int stored = g->StoredRowCount();
    for (int r = s->FromRow; r <= s->ToRow && r < stored; ++r)
        take(r);
    for (int r = std::max(s->Footer, s->ToRow + 1); r < stored; ++r)
        take(r);
    if (TProGridUndoRedo* undo = g->UndoRedo()) {
        s->UndoCount = undo->List()->Count();
        s->UndoPosition = undo->Position();
        s->UndoLast = s->UndoCount > 0 ? undo->List()->Items(s->UndoCount - 1) : nullptr;
    }
    FStates.push_back(std::move(s));
    ActivePoints.push_back(this);
    ActiveGrids.push_back(FGrid);
}

TGridRestorePoint::~TGridRestorePoint()
{
    const auto at = std::find(ActivePoints.begin(), ActivePoints.end(), this) - ActivePoints.begin();
    ActivePoints.erase(ActivePoints.begin() + at);
    ActiveGrids.erase(ActiveGrids.begin() + at);
    if (FKept)
        return;
    for (auto s = FStates.rbegin(); s != FStates.rend(); ++s)
        Restore(FGrid, **s);
}

void TGridRestorePoint::Keep()
{
    FKept = true;
    // The point this one runs inside puts the grid back also to before this one, when it fails.
    const auto self = std::find(ActivePoints.begin(), ActivePoints.end(), this) - ActivePoints.begin();
    for (auto i = self; i-- > 0;)
        if (ActiveGrids[std::size_t(i)] == FGrid) {
            auto& outer = ActivePoints[std::size_t(i)]->FStates;
            for (auto& s : FStates)
                outer.push_back(std::move(s));
            break;
        }
    FStates.clear();
}

void TGridRestorePoint::Restore(TProStringGrid* Grid, TState& State)
try {
    TProStringGrid* g = Grid;
    TState& s = State;
    TGridUpdate update(g);
    // The records the grid holds now in the rows taken go (those it had come back as copies);
    // objects of the program stay theirs.
    for (int r = 0; r < g->StoredRowCount(); ++r)
        if (s.Taken(r) && g->RowHasObjects(r))
            for (int c = 0; c < g->StoredColCount(r); ++c)
                if (TObject* o = g->GetGridObject(c, r)) {
                    if (dynamic_cast<TCellProperties*>(o))
                        g->ReleaseCellRecords(c, r, c, r);
                    else
                        g->SetGridObject(c, r, nullptr);
                }
    g->SetColCount(s.ColCount);
    g->SetRowCountPlain(s.RowCount);
    if (g->TBaseGrid::FixedCols() != s.FixedCols)
        g->TBaseGrid::SetFixedCols(s.FixedCols);
    if (g->TBaseGrid::FixedRows() != s.FixedRows)
        g->TBaseGrid::SetFixedRows(s.FixedRows);
    g->FHiddenColWidths = s.HiddenColWidths;
    g->FColumnVisible = s.ColumnVisible;
    SetItemsOf(g->FColumnOrder, s.ColumnOrder);
    SetItemsOf(g->FRowOrder, s.RowOrder);
    SetItemsOf(*g->FRowModified, s.RowModified);
    // Every stored cell of the rows taken gets its text back, those beyond the counts too.
    const int rows = std::max(g->StoredRowCount(), s.Texts.RowCount());
    for (int r = 0; r < rows; ++r) {
        if (!s.Taken(r))
            continue;
        const int stored = g->StoredColCount(r);
        const int cols = std::max(stored, s.Texts.ColCount(r));
        for (int c = 0; c < cols; ++c) {
            const std::string_view text = s.Texts.Text(c, r);
            if (c < stored ? g->CellText(c, r) != text : !text.empty())
                g->AssignCellText(c, r, text);
        }
    }
    for (TRecordCopy& copy : s.Objects) {
        if (copy.Foreign) {
            g->SetGridObject(copy.Col, copy.Row, copy.Foreign);
            continue;
        }
        auto p = std::make_unique<TCellProperties>(g, copy.Values->OwnerCol(), copy.Values->OwnerRow());
        p->Assign(copy.Values.get());
        p->SetBrushColorTo(copy.Values->BrushColorTo());
        p->SetGradientDirection(copy.Values->GradientDirection());
        p->SetCellObject(copy.Values->CellObject());
        p->SetCalcType(copy.Values->CalcType());
        p->SetPaintStamp(copy.Values->PaintStamp());
        p->SetGraphicObject(copy.Graphic ? copy.Graphic.release() : copy.SharedGraphic);
        g->SetGridObject(copy.Col, copy.Row, p.release());
    }
    for (int c = 0; c < s.ColCount; ++c)
        if (g->ColWidths(c) != s.ColWidths[std::size_t(c)])
            g->SetColWidths(c, s.ColWidths[std::size_t(c)]);
    for (int r = s.FromRow; r <= s.ToRow; ++r)
        if (const int h = s.RowHeights[std::size_t(r - s.FromRow)]; g->RowHeights(r) != h)
            g->SetRowHeights(r, h);
    g->PlaceSelection(TGridRect(s.Anchor.X, s.Anchor.Y, s.Current.X, s.Current.Y));
    g->SetLeftCol(s.LeftCol);
    g->SetTopRow(s.TopRow);
    // The changes the read recorded for undo go: they did not happen.
    if (TProGridUndoRedo* undo = g->UndoRedo()) {
        TUndoRedoCollection* list = undo->List();
        int keep = 0;
        for (int i = list->Count() - 1; i >= 0 && s.UndoLast; --i)
            if (list->Items(i) == s.UndoLast) {
                keep = i + 1;
                break;
            }
        while (list->Count() > keep)
            list->Delete(list->Count() - 1);
        undo->FPosition = std::clamp(s.UndoPosition - (s.UndoCount - keep), 0, keep);
    }
    g->Invalidate();
} catch (...) {
    // Nothing more can be put back.
}

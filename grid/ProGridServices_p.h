#pragma once
// Private helpers of the grid services (rows, sorting, calculations, text
// stream): what they need to know of cell graphics, nodes and check boxes,
// read straight from the cell records.
#include <cstdint>

#include "grid/ProGrid.h"

namespace psg_services {

inline TCellGraphic* CellGraphicOf(const TProStringGrid* Grid, int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return nullptr;
    return dynamic_cast<TCellGraphic*>(Grid->GetCellGraphicObject(ACol, ARow));
}

// ctEmpty for a cell without a graphic.
inline TCellType CellTypeOf(const TProStringGrid* Grid, int ACol, int ARow)
{
    TCellGraphic* g = CellGraphicOf(Grid, ACol, ARow);
    return g ? g->CellType : ctEmpty;
}

inline bool IsNodeRow(const TProStringGrid* Grid, int ARow)
{
    return CellTypeOf(Grid, 0, ARow) == ctNode;
}

inline bool IsSummaryRow(const TProStringGrid* Grid, int ARow)
{
    return CellTypeOf(Grid, 0, ARow) == ctSummary;
}

// Rows a node covers (its own row included), -1 for other rows.
inline int NodeSpan(const TProStringGrid* Grid, int ARow)
{
    TCellGraphic* g = CellGraphicOf(Grid, 0, ARow);
    return g && g->CellType == ctNode ? g->CellIndex : -1;
}

// True when the node is contracted.
inline bool NodeContracted(const TProStringGrid* Grid, int ARow)
{
    TCellGraphic* g = CellGraphicOf(Grid, 0, ARow);
    return g && g->CellType == ctNode && g->CellBoolean;
}

inline int NodeLevel(TProStringGrid* Grid, int ARow)
{
    if (!IsNodeRow(Grid, ARow) || !Grid->HasCellProperties(0, ARow))
        return -1;
    return Grid->CellProperties(0, ARow)->NodeLevel();
}

inline bool IsCheckBoxType(TCellType T)
{
    return T == ctCheckBox || T == ctDataCheckBox || T == ctVirtCheckBox || T == ctRowCheckBox;
}

// State of a check box cell: the graphic's flag, or for data check boxes the
// cell text compared with the grid's "checked" text.
inline bool CheckBoxState(TProStringGrid* Grid, int ACol, int ARow)
{
    TCellGraphic* g = CellGraphicOf(Grid, ACol, ARow);
    if (!g)
        return false;
    if (g->CellType == ctDataCheckBox || g->CellType == ctVirtCheckBox)
        return Grid->Cells(ACol, ARow) == Grid->GetCheckTrue(ACol, ARow);
    return g->CellBoolean;
}

// The identity of a cell's picture for sorting by pictures.
inline int CellGraphicValue(const TProStringGrid* Grid, int ACol, int ARow)
{
    TCellGraphic* g = CellGraphicOf(Grid, ACol, ARow);
    if (!g)
        return 0;
    switch (g->CellType) {
    case ctImageList:
    case ctDataImage:
    case ctImages:
        return g->CellIndex;
    default:
        return int(reinterpret_cast<std::uintptr_t>(g->CellObject) & 0x7FFFFFFF);
    }
}

}

// What a click does on the parts drawn inside a cell: anchors of mini-HTML
// text, its form controls (buttons, check boxes and radio items changed in the
// text, edit and combo boxes opened over the cell and written back), the radio
// items of a cell graphic, and the editor of fixed cells.
#include "grid/ProGrid.h"
#include "grid/ProGridPaint_p.h"
#include "grid/ProUtil.h"
#include "grid/PsgHTMLE.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ShellApi.h"

namespace {
bool IsEditLikeControl(const AnsiString& Type) { return Type == "EDIT" || Type == "PASSWORD" || Type == "MASK"; }

// Only web and mail addresses are handed to the desktop's opener from a cell.
bool IsOpenableAddress(const AnsiString& Address)
{
    const AnsiString upper = UpperCase(Address);
    return upper.rfind("HTTP://", 0) == 0 || upper.rfind("HTTPS://", 0) == 0 || upper.rfind("MAILTO:", 0) == 0;
}
}  // namespace

void TProStringGrid::LayOutCellAgain(int ACol, int ARow, TCanvas* Scratch)
{
    // The cell is laid out as it is painted (its font, margins, parts and alignment), on a scratch
    // canvas: a merged region as its base cell over the whole region.
    const TGridCoord base = ShownBaseCell(ACol, ARow);
    ACol = base.X;
    ARow = base.Y;
    const bool fixed = IsFixed(ACol, ARow) || ACol < TBaseGrid::FixedCols() || ARow < TBaseGrid::FixedRows();
    TRect inner = MergedCellRect(ACol, ARow);
    const int lines = fixed ? 1 : GridLineWidth();
    InflateRect(inner, -lines, -lines);
    Scratch->Font()->Assign(Font());
    DrawGridCell(Scratch, ACol, ARow, inner, fixed ? TGridDrawState(gdFixed) : TGridDrawState(0));
}

bool TProStringGrid::HtmlHitAt(int ACol, int ARow, int X, int Y, THtmlRun& Run)
{
    TBitmap scratch;
    scratch.SetSize(1, 1);
    Run.X = X;
    Run.Y = Y;
    Run.Hit = false;
    FHtmlHit = &Run;
    FHtmlHitCanvas = scratch.Canvas();
    struct TDone {
        TProStringGrid* Grid;
        ~TDone()
        {
            Grid->FHtmlHit = nullptr;
            Grid->FHtmlHitCanvas = nullptr;
        }
    } done{this};
    LayOutCellAgain(ACol, ARow, scratch.Canvas());
    return Run.Hit;
}

TRect TProStringGrid::FormControlRect(int ACol, int ARow, const AnsiString& ID, const THtmlRun* Hit)
{
    const TRect cell = MergedCellRect(ACol, ARow);
    THtmlRun found;
    if (!Hit) {
        // Laid out again, the control is found by its ID (no point hits anything far left of the cell).
        found.ControlID = ID;
        HtmlHitAt(ACol, ARow, cell.Left - 10000, cell.Top, found);
        Hit = &found;
    }
    return IsRectEmpty(Hit->ControlRect) ? cell : Hit->ControlRect;
}

// ---------------------------------------------------------------- anchors
bool TProStringGrid::CellAnchorClick(int ACol, int ARow, int X, int Y)
{
    const int realCol = RealColIndex(ACol);
    const AnsiString text = GetGridCell(realCol, ARow);
    AnsiString anchor;
    THtmlRun run;
    if (IsPlainUrlCell(realCol, ARow))
        anchor = text;
    else if (FP.EnableHTML && ClassifyCellText(text, FP.EnableHTML) == 1 && HtmlHitAt(ACol, ARow, X, Y, run) &&
             run.ControlID.empty())
        anchor = run.Anchor;
    if (anchor.empty())
        return false;
    bool autoHandle = true;
    if (OnAnchorClick)
        OnAnchorClick(this, ARow, ACol, anchor, autoHandle);
    if (!autoHandle)
        return true;
    if (UpperCase(anchor).rfind("CELL://", 0) == 0) {
        TPoint cell;
        if (ParseRowColRef(anchor.substr(7), cell) && cell.X >= 0 && cell.X < ColCount() && cell.Y >= 0 &&
            cell.Y < RowCount()) {
            FocusCell(cell.X, cell.Y, true);
            ScrollInView(cell.X, cell.Y);
        }
        return true;
    }
    if (IsOpenableAddress(anchor))
        ShellExecute(Handle(), "open", anchor, "", "", SW_SHOWNORMAL);
    return true;
}

bool TProStringGrid::IsPlainUrlCell(int ACol, int ARow)
{
    const AnsiString text = GetGridCell(ACol, ARow);
    return FP.URLShow && !(FP.EnableHTML && ClassifyCellText(text, FP.EnableHTML) == 1) && IsURL(text);
}

void TProStringGrid::TrackHoverAnchor(int X, int Y)
{
    const TGridCoord c = MouseCoord(X, Y);
    AnsiString anchor;
    THtmlRun run;
    if (c.X >= 0 && c.Y >= 0 && FP.EnableHTML &&
        ClassifyCellText(Cells(RealColIndex(c.X), c.Y), FP.EnableHTML) == 1 && HtmlHitAt(c.X, c.Y, X, Y, run) &&
        run.ControlID.empty())
        anchor = run.Anchor;
    // The link belongs to the cell that holds it: the base cell of a merged region.
    const TPoint cell = c.X >= 0 && c.Y >= 0 ? GetBaseCell(RealColIndex(c.X), c.Y) : TPoint(c.X, c.Y);
    if (anchor == FMouse.HoverAnchor && (anchor.empty() || cell == FMouse.AnchorCell))
        return;
    if (!FMouse.HoverAnchor.empty() && OnAnchorExit)
        OnAnchorExit(this, FMouse.AnchorCell.Y, FMouse.AnchorCell.X, FMouse.HoverAnchor);
    FMouse.HoverAnchor = anchor;
    FMouse.AnchorCell = cell;
    if (!anchor.empty() && OnAnchorEnter)
        OnAnchorEnter(this, cell.Y, cell.X, anchor);
}

// ---------------------------------------------------------------- mini-HTML form controls
bool TProStringGrid::CellFormControlClick(int ACol, int ARow, int X, int Y)
{
    const int realCol = RealColIndex(ACol);
    AnsiString text = GetGridCell(realCol, ARow);
    if (!HasHtmlControl(text))
        return false;
    THtmlRun run;
    if (!HtmlHitAt(ACol, ARow, X, Y, run) || run.ControlID.empty())
        return false;
    const AnsiString id = run.ControlID, type = run.ControlType;
    AnsiString value = run.ControlValue;
    if (!FFormCtrl.Type.empty())
        HideCellFormControl();
    EndCellEdit();
    text = GetGridCell(realCol, ARow);
    if (type == "BUTTON" || type == "CHECK" || type == "RADIO") {
        if (type == "BUTTON") {
            SetPressedCellButton(true, ACol, ARow);
            FEdit.ButtonAt = TPoint(X, Y);
        } else if (type == "CHECK") {
            value = value == "TRUE" ? "FALSE" : "TRUE";   // drawn ticked exactly when "TRUE"
            HtmlControlSetValue(text, id, value);
        } else {
            value = "TRUE";
            text = HtmlClearRadioValues(text);
            HtmlControlSetValue(text, id, value);
        }
        SetCells(realCol, ARow, text);
        RepaintCell(ACol, ARow);
        if (OnControlClick)
            OnControlClick(this, ARow, ACol, id, type, value);
    } else if (IsEditLikeControl(type) || type == "COMBO") {
        ShowCellFormControl(text, type, realCol, ARow, FormControlRect(ACol, ARow, id, &run), value, id);
    }
    if (OnClickCell)
        OnClickCell(this, ARow, ACol);
    return true;
}

void TProStringGrid::ShowCellFormControl(const AnsiString& Html, const AnsiString& CtrlType, int ACol, int ARow,
                                         const TRect& CellRect, const AnsiString& Value, const AnsiString& CtrlID)
{
    const int maxLen = HtmlControlGetMaxLen(Html, CtrlID);
    auto remember = [&] {
        FFormCtrl.Cell = TPoint(ACol, ARow);
        FFormCtrl.ID = CtrlID;
        FFormCtrl.Type = CtrlType;
        FFormCtrl.Active = true;
    };
    auto hideOnExit = [this](TObject*) { HideCellFormControl(); };
    if (IsEditLikeControl(CtrlType)) {
        remember();
        TControlEdit* edit = FControlEdit;
        edit->SetWidth(0);
        edit->SetPasswordChar(CtrlType == "PASSWORD" ? '*' : '\0');
        edit->SetEditMask(CtrlType == "MASK" ? HtmlControlGetProp(Html, CtrlID) : AnsiString());
        edit->OnExit = hideOnExit;
        edit->SetText(Value);
        edit->SetBorderStyle(bsNone);
        edit->SetBounds(CellRect.Left + 1, CellRect.Top + 4, CellRect.Right - CellRect.Left - 4,
                        CellRect.Bottom - CellRect.Top - 4);
        edit->SetMaxLength(maxLen);
        edit->SetTag(1);
        edit->SetParent(this);
        edit->SetVisible(true);
        edit->BringToFront();
        if (edit->CanFocus())
            edit->SetFocus();
    } else if (CtrlType == "COMBO") {
        remember();
        TControlCombo* combo = FControlCombo;
        combo->SetFlat(FlatEditorLook());
        combo->SetEtched(FlatEditorLook());
        combo->SetWidth(0);
        combo->SetBounds(CellRect.Left + 1, CellRect.Top + 4, CellRect.Right - CellRect.Left - 4, combo->Height());
        combo->SetParent(this);
        combo->Items()->Clear();
        bool mayType = true;
        int dropCount = 8;
        if (OnControlComboList)
            OnControlComboList(this, ARow, ACol, CtrlID, CtrlType, combo->Items(), Value, mayType, dropCount);
        combo->SetStyle(mayType ? csDropDown : csDropDownList);
        combo->SetItemIndex(combo->Items()->IndexOf(Value));
        if (mayType)
            combo->SetText(Value);
        combo->SetDropDownCount(dropCount);
        combo->OnExit = hideOnExit;
        combo->SetMaxLength(maxLen);
        combo->SetTag(1);
        combo->SetVisible(true);
        combo->BringToFront();
        if (combo->CanFocus())
            combo->SetFocus();
        combo->SetDroppedDown(true);
    }
}

void TProStringGrid::HideCellFormControl()
{
    if (FFormCtrl.Type.empty())
        return;
    const AnsiString type = FFormCtrl.Type, id = FFormCtrl.ID;
    const int col = FFormCtrl.Cell.X, row = FFormCtrl.Cell.Y;
    // Cleared first: hiding the box moves the focus, and that exit must not write a second time.
    FFormCtrl.Type.clear();
    FFormCtrl.Active = false;
    TWinControl* box = IsEditLikeControl(type) ? static_cast<TWinControl*>(FControlEdit)
                                                : static_cast<TWinControl*>(FControlCombo);
    AnsiString value = box->Text();
    if (type == "COMBO")
        FControlCombo->SetDroppedDown(false);
    if (row >= 0 && row < RowCount() && col >= 0 && col < AllColCount()) {
        AnsiString text = GetGridCell(col, row);
        if (HtmlControlSetValue(text, id, value))
            SetCells(col, row, text);
    }
    box->SetVisible(false);
    if (OnControlEditDone)
        OnControlEditDone(this, row, col, id, type, value);
}

void TProStringGrid::ShowNextCellFormControl(int ACol, int ARow, int Index)
{
    if (ARow < 0 || ARow >= RowCount() || ACol < 0 || ACol >= AllColCount())
        return;
    const AnsiString html = GetGridCell(ACol, ARow);
    const AnsiString after = Index == 0 || FFormCtrl.Cell != TPoint(ACol, ARow) ? AnsiString() : FFormCtrl.ID;
    const AnsiString id = HtmlNextEditControlID(html, after);
    if (id.empty()) {
        // Past the last control of the cell: back to the grid.
        if (CanFocus())
            SetFocus();
        return;
    }
    // The control's type and value are read from its tag.
    AnsiString hitId, type, value;
    const int displayCol = DisplayColumn(ACol);
    AnsiString rest = html;
    for (size_t at = 0; (at = UpperCase(rest).find("<CONTROL", at)) != AnsiString::npos;) {
        const size_t end = rest.find('>', at);
        if (end == AnsiString::npos)
            break;
        AnsiString maxLen, prop, width;
        ParseControlTag(rest.substr(at, end - at + 1), type, hitId, maxLen, prop, width, value);
        if (hitId == id) {
            ShowCellFormControl(html, type, ACol, ARow, FormControlRect(displayCol, ARow, id, nullptr), value, id);
            return;
        }
        at = end;
    }
}

// ---------------------------------------------------------------- radio items of a cell graphic
void TProStringGrid::SelectRadioAt(int ACol, int ARow, int X, int Y)
{
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    auto* items = g ? dynamic_cast<TStrings*>(g->CellObject) : nullptr;
    if (!g || g->CellType != ctRadio || !items || items->Count() == 0)
        return;
    const int displayCol = DisplayColumn(ACol);
    // The item under the pointer where the user saw it: laid out as painted, before the cell made
    // current may scroll.
    std::vector<TRect> places;
    {
        TBitmap scratch;
        scratch.SetSize(1, 1);
        FRadioHit = &places;
        struct TDone {
            TProStringGrid* Grid;
            ~TDone() { Grid->FRadioHit = nullptr; }
        } done{this};
        LayOutCellAgain(displayCol, ARow, scratch.Canvas());
    }
    int index = -1;
    for (int i = 0; i < int(places.size()) && i < items->Count() && index < 0; ++i) {
        const TRect& p = places[i];
        if (g->CellBoolean ? X >= p.Left && X < p.Right : Y >= p.Top && Y < p.Bottom)
            index = i;
    }
    if (!IsFixed(displayCol, ARow) && displayCol >= FixedCols() && ARow >= FixedRows())
        FocusCell(displayCol, ARow, true);
    if (index < 0)
        return;
    // A group that keeps its index takes the index; one that follows its cell text, the text.
    g->CellVar = index;
    if (g->CellIndex >= 0)
        g->CellIndex = index;
    else
        SetCells(ACol, ARow, items->Strings(index));
    RepaintCell(displayCol, ARow);
    if (OnRadioClick)
        OnRadioClick(this, ACol, ARow, index);
}

// ---------------------------------------------------------------- fixed-cell editor
bool TProStringGrid::CommitFixedCellEdit()
{
    const TPoint cell = FMouse.FixedEditCell;
    // The header it was opened on is gone: the text has nowhere to go.
    if (cell.X < 0 || cell.X >= AllColCount() || cell.Y < 0 || cell.Y >= RowCount())
        return false;
    FMouse.FixedEditCell = TPoint(-1, -1);
    SetCells(cell.X, cell.Y, FMouse.FixedEdit->Text());
    return true;
}

void TProStringGrid::EditFixedCell(int ACol, int ARow)
{
    // The text typed into a header edit still open goes to its header first.
    if (FMouse.FixedEdit && FMouse.FixedEdit->Visible() && !CommitFixedCellEdit())
        return;
    // FixedRowsEdit and FixedColsEdit ask for the editor; goEditing and ReadOnly are the data cells'
    // business, and only the application's OnCanEditCell may refuse.
    const TPoint base = GetBaseCell(RealColIndex(ACol), ARow);
    if (!CanEditCell(base.X, base.Y))
        return;
    if (!FMouse.FixedEdit) {
        FMouse.FixedEdit = new TEdit(this);
        FMouse.FixedEdit->SetParent(this);
        FMouse.FixedEdit->OnExit = [this](TObject*) {
            CommitFixedCellEdit();
            FMouse.FixedEditCell = TPoint(-1, -1);
            FMouse.FixedEdit->SetVisible(false);
        };
    }
    TRect r = CellRect(ACol, ARow);
    InflateRect(r, -1, -1);
    FMouse.FixedEdit->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    FMouse.FixedEdit->SetText(Cells(RealColIndex(ACol), ARow));
    FMouse.FixedEditCell = TPoint(RealColIndex(ACol), ARow);
    FMouse.FixedEdit->SetVisible(true);
    if (FMouse.FixedEdit->CanFocus())
        FMouse.FixedEdit->SetFocus();
}

// The floating footer: its settings, the panel that paints it under the rows (the last row as a
// fixed footer row, a preview of one column, or a template of the current row's cells), and the
// row count that keeps the footer row last.
#include <algorithm>

#include "grid/ProGrid.h"
#include "grid/ProGridPaint_p.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"

// ---------------------------------------------------------------- template
AnsiString ExpandFooterTemplate(const AnsiString& Template, const std::function<AnsiString(int)>& Cell)
{
    AnsiString out;
    std::size_t pos = 0;
    for (;;) {
        std::size_t tag = Template.find("<#", pos);
        if (tag == AnsiString::npos)
            break;
        out.append(Template, pos, tag - pos);
        std::size_t close = Template.find('>', tag + 2);
        if (close == AnsiString::npos)
            return out;   // an unfinished tag ends the text
        AnsiString digits = Template.substr(tag + 2, close - tag - 2);
        bool number = !digits.empty() && digits.size() < 9 &&
                      std::all_of(digits.begin(), digits.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
        if (number)
            out += Cell(std::stoi(digits));
        pos = close + 1;
    }
    out.append(Template, pos, AnsiString::npos);
    return out;
}

AnsiString TProStringGrid::FooterTemplateText(int ARow)
{
    return ExpandFooterTemplate(FFloatingFooter->CustomTemplate(), [this, ARow](int ACol) {
        // A column or row the grid does not have inserts nothing.
        if (ACol < 0 || ACol >= AllColCount() || ARow < 0 || ARow >= RowCount())
            return AnsiString();
        return Cells(ACol, ARow);
    });
}

// ---------------------------------------------------------------- TFloatingFooter
void TFloatingFooter::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TFloatingFooter*>(Source)) {
        FCalculateHiddenRows = s->FCalculateHiddenRows;
        FColor = s->FColor;
        FColumn = s->FColumn;
        FCustomTemplate = s->FCustomTemplate;
        FFooterStyle = s->FFooterStyle;
        FShowHint = s->FShowHint;
        SetVisible(s->FVisible);
    }
}

void TFloatingFooter::Invalidate()
{
    if (FGrid && FGrid->FooterPanel())
        FGrid->FooterPanel()->Invalidate();
}

void TFloatingFooter::SetVisible(bool Value)
{
    FVisible = Value;
    if (FGrid)
        FGrid->FloatingFooterChanged();
}

void TFloatingFooter::SetFooterStyle(TFooterStyle Value)
{
    FFooterStyle = Value;
    if (!FGrid)
        return;
    FGrid->SetLastRowIsFooter(FVisible && FFooterStyle == fsFixedLastRow);
    FGrid->Invalidate();
    Invalidate();
}

void TFloatingFooter::SetColumn(int Value)
{
    FColumn = Value;
    Invalidate();
}

void TFloatingFooter::SetCustomTemplate(const AnsiString& Value)
{
    FCustomTemplate = Value;
    Invalidate();
}

void TFloatingFooter::SetColor(TColor Value)
{
    FColor = Value;
    Invalidate();
}

void TFloatingFooter::SetBorderColor(TColor Value)
{
    FBorderColor = Value;
    Invalidate();
}

void TFloatingFooter::SetShowHint(bool Value)
{
    FShowHint = Value;
    if (FGrid && FGrid->FooterPanel())
        FGrid->FooterPanel()->SetShowHint(Value);
}

void TProStringGrid::FloatingFooterChanged()
{
    TFloatingFooter* f = FFloatingFooter.get();
    if (FFooterPanel) {
        FFooterPanel->SetHeight(f->Visible() ? std::max(0, f->Height() - 1) : 0);
        FFooterPanel->SetVisible(f->Visible());
    }
    const bool lastRow = f->Visible() && f->FooterStyle() == fsFixedLastRow;
    SetFixedFooters(lastRow ? 1 : 0);
    SetLastRowIsFooter(lastRow);
    Invalidate();
}

// ---------------------------------------------------------------- row count
void TProStringGrid::SetRowCount(int Value)
{
    const int old = RowCount();
    if (!FFloatingFooter->Visible() || Value == old || old < 1 || Value < 1) {
        SetRowCountPlain(Value);
        return;
    }
    // The footer row (texts and formats) moves to the new last row.
    const int cols = AllColCount();
    if (Value < old) {
        ReleaseCellRecords(0, Value - 1, cols - 1, Value - 1);
        MoveStoredRow(old - 1, Value - 1, cols);
        EmptyStoredRows(old - 1, old - 1, cols);
        SetRowCountPlain(Value);
    } else {
        SetRowCountPlain(Value);
        MoveStoredRow(old - 1, Value - 1, cols);
        EmptyStoredRows(old - 1, old - 1, cols);
    }
    CalcFooter(-1);
    Invalidate();
}

// ---------------------------------------------------------------- TFooterPanel
TFooterPanel::TFooterPanel(TProStringGrid* AGrid) : TCustomControl(AGrid), FGrid(AGrid)
{
}

void TFooterPanel::CreateWnd()
{
    TCustomControl::CreateWnd();
    TFloatingFooter* f = FGrid->FloatingFooter();
    if (f)
        SetHeight(f->Visible() ? f->Height() : 0);
    if (FGrid->OnCreatedFloatingFooter)
        FGrid->OnCreatedFloatingFooter(FGrid);
}

std::vector<std::pair<int, TRect>> TFooterPanel::ColumnRects() const
{
    std::vector<std::pair<int, TRect>> cols;
    int x = 0;
    auto add = [&](int c) {
        int w = FGrid->ColWidths(c);
        cols.emplace_back(c, TRect(x, 0, x + w, Height()));
        x += w;
    };
    for (int c = 0; c < FGrid->FixedCols(); ++c)
        add(c);
    for (int c = std::max(FGrid->LeftCol(), FGrid->FixedCols()); c < FGrid->ColCount() && x < Width(); ++c)
        add(c);
    return cols;
}

int TFooterPanel::ColumnAt(int X) const
{
    for (const auto& [c, r] : ColumnRects())
        if (X >= r.Left && X < r.Right)
            return c;
    return -1;
}

void TFooterPanel::PaintLastRow(const std::vector<std::pair<int, TRect>>& Cols)
{
    TCanvas* cv = Canvas();
    const int row = FGrid->RowCount() - 1;
    const TGridOptions opts = FGrid->Options();
    for (std::size_t i = 0; i < Cols.size(); ++i) {
        auto [c, r] = Cols[i];
        // A merged region is drawn once, from its first shown column in view over all of its
        // shown columns in view, as its base cell.
        const TGridRect m = FGrid->ShownMergedRegion(c, row);
        if (m.Top < row || (c > m.Left && i > 0 && Cols[i - 1].first >= m.Left))
            continue;
        for (std::size_t k = i + 1; k < Cols.size() && Cols[k].first <= m.Right; ++k)
            r.Right = Cols[k].second.Right;
        const int stored = FGrid->GetBaseCell(FGrid->RealColIndex(c), row).X;
        TColor fill = FGrid->FixedColor();
        if (const TCellProperties* p = FGrid->ShownCellProps(stored, row); p && p->BrushColor() != clNone)
            fill = p->BrushColor();
        if (FGrid->OnGetCellColor) {
            TBrush brush;
            brush.SetColor(fill);
            TFont font;
            font.Assign(FGrid->Font());
            FGrid->OnGetCellColor(FGrid, row, stored, gdFixed, &brush, &font);
            fill = brush.Color();
        }
        cv->Brush()->SetColor(fill);
        cv->FillRect(r);
        cv->Pen()->SetColor(FGrid->GridFixedLineColor());
        if (opts & goFixedVertLine) {
            cv->MoveTo(r.Right - 1, r.Top);
            cv->LineTo(r.Right - 1, r.Bottom);
        }
        if (opts & goFixedHorzLine) {
            cv->MoveTo(r.Left, r.Bottom - 1);
            cv->LineTo(r.Right, r.Bottom - 1);
        }
        TRect inner(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        if (FGrid->OnFooterPaint)
            FGrid->OnFooterPaint(FGrid, c, cv, inner);
        else
            FGrid->DrawGridCell(cv, c, row, inner, gdFixed);
    }
}

void TFooterPanel::PaintPreview(int Width)
{
    TCanvas* cv = Canvas();
    TFloatingFooter* f = FGrid->FloatingFooter();
    TRect area(0, 0, Width, Height());
    cv->Brush()->SetColor(f->Color());
    cv->FillRect(area);
    // Raised frame.
    cv->Pen()->SetColor(clWhite);
    cv->MoveTo(0, Height() - 1);
    cv->LineTo(0, 0);
    cv->LineTo(Width - 1, 0);
    cv->Pen()->SetColor(TColor(0x808080));
    cv->LineTo(Width - 1, Height() - 1);
    cv->LineTo(0, Height() - 1);
    if (Width < this->Width()) {
        cv->Brush()->SetColor(FGrid->Color());
        cv->FillRect(TRect(Width, 0, this->Width(), Height()));
    }
    const int row = FGrid->Row();
    TRect inner(1, 1, Width - 1, Height() - 1);
    if (f->FooterStyle() == fsColumnPreview) {
        if (FGrid->OnFooterPaint)
            FGrid->OnFooterPaint(FGrid, f->Column(), cv, inner);
        else if (f->Column() >= 0 && f->Column() < FGrid->ColCount())
            FGrid->DrawGridCell(cv, f->Column(), row, inner, 0);
        return;
    }
    cv->Font()->Assign(FGrid->Font());
    cv->Brush()->SetStyle(bsClear);
    if (FGrid->ComponentState() & csDesigning) {
        cv->TextOut(2, 2, f->CustomTemplate());
        return;
    }
    THtmlRun run;
    run.ShadowOffset = 0;
    run.Owner = this;
    run.Run(cv, FGrid->FooterTemplateText(row), TRect(2, 2, Width - 2, Height() - 1));
    cv->Brush()->SetStyle(bsSolid);
}

void TFooterPanel::Paint()
{
    TFloatingFooter* f = FGrid->FloatingFooter();
    TCanvas* cv = Canvas();
    auto cols = ColumnRects();
    int width = cols.empty() ? 0 : cols.back().second.Right;
    width = std::min(width, Width());
    if (f->FooterStyle() == fsFixedLastRow) {
        cv->Brush()->SetColor(FGrid->Color());
        cv->FillRect(ClientRect());
        if (FGrid->RowCount() > 0)
            PaintLastRow(cols);
    } else {
        PaintPreview(width);
    }
    if (f->BorderColor() != clNone) {
        cv->Pen()->SetColor(f->BorderColor());
        cv->MoveTo(0, 0);
        cv->LineTo(width, 0);
    }
}

void TFooterPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    int c = ColumnAt(X);
    if (FGrid->OnClick)
        FGrid->OnClick(FGrid);
    if (FGrid->OnClickCell)
        FGrid->OnClickCell(FGrid, FGrid->RowCount() - 1, c);
}

void TFooterPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    int c = ColumnAt(X);
    if (FGrid->FloatingFooter()->ShowHint() && FHintCol != -1 && c != FHintCol) {
        Application->CancelHint();
        FHintCol = c;
    }
}

void TFooterPanel::CMMouseLeave(TMessage& Message)
{
    TCustomControl::CMMouseLeave(Message);
    FHintCol = -1;
}

void TFooterPanel::CMHintShow(TMessage& Message)
{
    TCustomControl::CMHintShow(Message);
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    if (!info)
        return;
    int c = ColumnAt(info->CursorPos.X);
    if (FGrid->OnGridHint && c >= 0) {
        AnsiString text = info->HintStr;
        FGrid->OnGridHint(FGrid, FGrid->RowCount() - 1, c, text);
        info->HintStr = text;
    }
    FHintCol = FGrid->FloatingFooter()->ShowHint() ? c : -1;
    if (!FGrid->FloatingFooter()->ShowHint())
        info->HintStr.clear();
}

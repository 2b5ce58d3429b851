// The print preview window: the grid's preview page drawn on a paint box that shows the paper
// it will be printed on (its size, orientation and margins) as large as 90 % of the free area
// lets it, "Next" and "Previous" paging, and printing.
#include "grid/services/ProPreview.h"

#include <cmath>

#include "grid/ProGrid.h"
#include "platform/gui/Printers.h"

namespace {
TButton* AddButton(TProPreviewForm* Form, TWinControl* Parent, int Left, const char* Name)
{
    auto* b = new TButton(Form);
    b->SetName(Name);
    b->SetParent(Parent);
    b->SetBounds(Left, 8, 80, 25);
    return b;
}
}  // namespace

TProPreviewForm::TProPreviewForm(TComponent* AOwner, TProStringGrid* AGrid) : TForm(AOwner), FGrid(AGrid)
{
    SetName("ProPreviewForm");
    SetCaption("Preview");
    SetBounds(100, 100, 350, 300);
    SetSizeLimits(350, 100, 0, 0);
    FTop = new TPanel(this);
    FTop->SetParent(this);
    FTop->SetAlign(alTop);
    FTop->SetHeight(41);
    FTop->SetCaption("");
    FNext = AddButton(this, FTop, 8, "NextBtn");
    FNext->SetCaption("Next");
    FNext->OnClick = [this](TObject*) { Step(1); };
    FPrev = AddButton(this, FTop, 96, "PrevBtn");
    FPrev->SetCaption("Previous");
    FPrev->OnClick = [this](TObject*) { Step(-1); };
    FPrint = AddButton(this, FTop, 184, "PrintBtn");
    FPrint->SetCaption("Print");
    FPrint->SetDefault(true);
    FPrint->OnClick = [this](TObject* Sender) { PrintClick(Sender); };
    FClose = AddButton(this, FTop, 272, "CloseBtn");
    FClose->SetCaption("Close");
    FClose->SetCancel(true);
    FClose->SetModalResult(mrCancel);
    FPagePanel = new TPanel(this);
    FPagePanel->SetParent(this);
    FPagePanel->SetCaption("");
    FPage = new TPaintBox(this);
    FPage->SetParent(FPagePanel);
    FPage->SetAlign(alClient);
    FPage->OnPaint = [this](TObject* Sender) { PaintPage(Sender); };
    OnResize = [this](TObject* Sender) { Resized(Sender); };
    Resized(this);
}

void TProPreviewForm::Resized(TObject*)
{
    const int W = ClientWidth(), H = ClientHeight(), P = FTop->Height();
    double w = W * 90 / 100.0, h = (H - P) * 90 / 100.0;
    // The page is the paper: a portrait page stays portrait in a wide window.
    const TRect paper = FGrid->PrintPaper();
    if (paper.Width() > 0 && paper.Height() > 0) {
        const double scale = std::min(w / paper.Width(), h / paper.Height());
        w = paper.Width() * scale;
        h = paper.Height() * scale;
    }
    const int pw = int(std::lround(w)), ph = int(std::lround(h));
    FPagePanel->SetBounds((W - pw) / 2, P + (H - P - ph) / 2, pw, ph);
}

void TProPreviewForm::UpdateButtons()
{
    const int page = FGrid->PreviewPage();
    FPrev->SetEnabled(page > 1);
    FNext->SetEnabled(page < FGrid->PrintPageCount());
}

void TProPreviewForm::PaintPage(TObject*)
{
    TCanvas* c = FPage->Canvas();
    c->Brush()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(FPage->ClientRect());
    const TRect r = FPage->ClientRect();
    if (PrintSelectedRows || PrintSelectedCols)
        FGrid->PrintPreviewSelectedTo(c, r);
    else if (PrintSelection)
        FGrid->PrintPreviewSelectionTo(c, r);
    else
        FGrid->PrintPreviewTo(c, r);
    if (FGrid->PreviewPage() > FGrid->PrintPageCount() && FGrid->PrintPageCount() > 0)
        FGrid->SetPreviewPage(FGrid->PrintPageCount());
    UpdateButtons();
}

void TProPreviewForm::Step(int Delta)
{
    const int page = std::clamp(FGrid->PreviewPage() + Delta, 1, std::max(FGrid->PrintPageCount(), 1));
    FGrid->SetPreviewPage(page);
    UpdateButtons();
    FPage->Invalidate();
}

void TProPreviewForm::PrintClick(TObject*)
{
    TPrintSettings* ps = FGrid->PrintSettings();
    const TPrinterOrientation orientation = ps->Orientation();
    FGrid->SetFastPreview(false);
    if (PrinterSetupDialog) {
        TPrinterSetupDialog setup(this);
        if (!setup.Execute())
            return;
        ps->SetOrientation(Printer()->Orientation());
    }
    const int page = FGrid->PreviewPage();
    if (PrintSelectedRows || PrintSelectedCols)
        FGrid->PrintSelectedCells();
    else if (PrintSelection)
        FGrid->PrintSelection();
    else
        FGrid->PrintGrid();
    FGrid->SetPreviewPage(page);
    ps->SetOrientation(orientation);
    Resized(this);   // the paper of the settings again
    FPage->Invalidate();
    if (CloseAfterPrint)
        Close();
}

// ---------------------------------------------------------------- the dialog component
void TProPreviewDialog::SetGrid(TProStringGrid* v)
{
    if (FGrid)
        FGrid->RemoveFreeNotification(this);
    FGrid = v;
    if (FGrid)
        FGrid->FreeNotification(this);
}

void TProPreviewDialog::Notification(TComponent* AComponent, TOperation Operation)
{
    TCommonDialog::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGrid)
        FGrid = nullptr;
}

void TProPreviewDialog::Exclusive(int Which)
{
    if (!(ComponentState() & csDesigning))
        return;
    if (Which != 0)
        FPrintSelectedRows = false;
    if (Which != 1)
        FPrintSelectedCols = false;
    if (Which != 2)
        FPrintSelection = false;
}

void TProPreviewDialog::SetPrintSelectedRows(bool v)
{
    if (v)
        Exclusive(0);
    FPrintSelectedRows = v;
}

void TProPreviewDialog::SetPrintSelectedCols(bool v)
{
    if (v)
        Exclusive(1);
    FPrintSelectedCols = v;
}

void TProPreviewDialog::SetPrintSelection(bool v)
{
    if (v)
        Exclusive(2);
    FPrintSelection = v;
}

bool TProPreviewDialog::Execute()
{
    if (!FGrid)
        throw Exception("The dialog does not have a grid component assigned.");
    auto form = std::make_unique<TProPreviewForm>(Application, FGrid);
    form->SetWidth(FPreviewWidth);
    form->SetHeight(FPreviewHeight);
    if (FPreviewCenter)
        form->SetPosition(poScreenCenter);
    else
        form->SetBounds(FPreviewLeft, FPreviewTop, FPreviewWidth, FPreviewHeight);
    FGrid->SetPreviewPage(1);
    FGrid->SetFastPreview(FPreviewFast);
    form->PrevButton()->SetEnabled(false);
    form->PrintSelectedRows = FPrintSelectedRows;
    form->PrintSelectedCols = FPrintSelectedCols;
    form->PrintSelection = FPrintSelection;
    form->PrinterSetupDialog = FPrinterSetupDialog;
    form->CloseAfterPrint = FCloseAfterPrint;
    form->SetCaption(FDialogCaption);
    form->NextButton()->SetCaption(FDialogNextBtn);
    form->PrevButton()->SetCaption(FDialogPrevBtn);
    form->PrintButton()->SetCaption(FDialogPrintBtn);
    form->CloseButton()->SetCaption(FDialogCloseBtn);
    if (FShowMaximized)
        form->SetWindowState(wsMaximized);
    const int result = form->ShowModal();
    FPreviewWidth = form->Width();
    FPreviewHeight = form->Height();
    FPreviewLeft = form->Left();
    FPreviewTop = form->Top();
    return result == mrOk;
}

#pragma once
// The print preview: a dialog component that shows the pages of one grid in a
// resizable modal window, one page at a time, with paging and printing.
#include <algorithm>

#include "platform/gui/CommonDialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TProStringGrid;

class TProPreviewForm : public TForm {
public:
    TProPreviewForm(TComponent* AOwner, TProStringGrid* AGrid);
    TButton* NextButton() const { return FNext; }
    TButton* PrevButton() const { return FPrev; }
    TButton* PrintButton() const { return FPrint; }
    TButton* CloseButton() const { return FClose; }
    TPaintBox* Page() const { return FPage; }
    bool PrintSelectedRows = false, PrintSelectedCols = false, PrintSelection = false;
    bool PrinterSetupDialog = false, CloseAfterPrint = false;

private:
    void Resized(TObject* Sender);
    void PaintPage(TObject* Sender);
    void UpdateButtons();
    void Step(int Delta);
    void PrintClick(TObject* Sender);
    TProStringGrid* FGrid;
    TPanel* FTop;
    TPanel* FPagePanel;
    TPaintBox* FPage;
    TButton* FNext;
    TButton* FPrev;
    TButton* FPrint;
    TButton* FClose;
};

class TProPreviewDialog : public TCommonDialog {
public:
    explicit TProPreviewDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    // EProGridError-free: a dialog without a grid raises Exception
    // "The dialog does not have a grid component assigned."
    bool Execute() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TProStringGrid* Grid() const { return FGrid; }
    void SetGrid(TProStringGrid* v);
    const AnsiString& DialogCaption() const { return FDialogCaption; }
    void SetDialogCaption(const AnsiString& v) { FDialogCaption = v; }
    const AnsiString& DialogNextBtn() const { return FDialogNextBtn; }
    void SetDialogNextBtn(const AnsiString& v) { FDialogNextBtn = v; }
    const AnsiString& DialogPrevBtn() const { return FDialogPrevBtn; }
    void SetDialogPrevBtn(const AnsiString& v) { FDialogPrevBtn = v; }
    const AnsiString& DialogPrintBtn() const { return FDialogPrintBtn; }
    void SetDialogPrintBtn(const AnsiString& v) { FDialogPrintBtn = v; }
    const AnsiString& DialogCloseBtn() const { return FDialogCloseBtn; }
    void SetDialogCloseBtn(const AnsiString& v) { FDialogCloseBtn = v; }
    // At least 350 and 100.
    int PreviewWidth() const { return FPreviewWidth; }
    void SetPreviewWidth(int v) { FPreviewWidth = std::max(v, 350); }
    int PreviewHeight() const { return FPreviewHeight; }
    void SetPreviewHeight(int v) { FPreviewHeight = std::max(v, 100); }
    int PreviewLeft() const { return FPreviewLeft; }
    void SetPreviewLeft(int v) { FPreviewLeft = v; }
    int PreviewTop() const { return FPreviewTop; }
    void SetPreviewTop(int v) { FPreviewTop = v; }
    bool PreviewCenter() const { return FPreviewCenter; }
    void SetPreviewCenter(bool v) { FPreviewCenter = v; }
    bool PreviewFast() const { return FPreviewFast; }
    void SetPreviewFast(bool v) { FPreviewFast = v; }
    // While designing, switching one of the three on switches the other two off.
    bool PrintSelectedRows() const { return FPrintSelectedRows; }
    void SetPrintSelectedRows(bool v);
    bool PrintSelectedCols() const { return FPrintSelectedCols; }
    void SetPrintSelectedCols(bool v);
    bool PrintSelection() const { return FPrintSelection; }
    void SetPrintSelection(bool v);
    bool PrinterSetupDialog() const { return FPrinterSetupDialog; }
    void SetPrinterSetupDialog(bool v) { FPrinterSetupDialog = v; }
    bool CloseAfterPrint() const { return FCloseAfterPrint; }
    void SetCloseAfterPrint(bool v) { FCloseAfterPrint = v; }
    bool ShowMaximized() const { return FShowMaximized; }
    void SetShowMaximized(bool v) { FShowMaximized = v; }

private:
    void Exclusive(int Which);
    TProStringGrid* FGrid = nullptr;
    AnsiString FDialogCaption = "Preview", FDialogNextBtn = "Next", FDialogPrevBtn = "Previous",
               FDialogPrintBtn = "Print", FDialogCloseBtn = "Close";
    int FPreviewWidth = 350, FPreviewHeight = 300, FPreviewLeft = 100, FPreviewTop = 100;
    bool FPreviewCenter = false, FPreviewFast = false;
    bool FPrintSelectedRows = false, FPrintSelectedCols = false, FPrintSelection = false;
    bool FPrinterSetupDialog = false, FCloseAfterPrint = false, FShowMaximized = false;
};

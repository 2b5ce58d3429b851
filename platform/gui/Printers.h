#pragma once
// The printer: a document of pages painted on the printer's canvas, in the
// printer's own pixels. SetPrinterOutputFile sends the pages to a PDF file
// instead (the tests print that way: there are no printers without a display),
// and so does the print dialog's print-to-file choice, for the next document.
#include <memory>

#include "platform/core/Classes.h"
#include "platform/gui/Graphics.h"

enum TPrinterOrientation { poPortrait, poLandscape };

// Further device capabilities of a printer (GetDeviceCaps).
constexpr int PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113;

VELMAROK_EXCEPTION(EPrinter, Exception)

class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The installed printers (one "PDF" entry while printing to a file).
    TStrings* Printers();
    // -1 or an index of Printers; EPrinter "Printer selected is not valid" otherwise.
    int PrinterIndex();
    void SetPrinterIndex(int v);
    TPrinterOrientation Orientation() const;
    void SetOrientation(TPrinterOrientation v);
    // The printable area in the printer's pixels.
    int PageWidth() const;
    int PageHeight() const;
    // Its font's PixelsPerInch is the printer's resolution; it draws between BeginDoc and EndDoc.
    TCanvas* Canvas() const { return FCanvas.get(); }

    // EPrinter "Printing in progress" when already printing. Without a printer or output file
    // the print dialog offers a PDF file first; when the user declines, EAbort (silent).
    void BeginDoc();
    // EPrinter "Printer is not currently printing" outside BeginDoc ... EndDoc.
    void EndDoc();
    void NewPage();
    // Ends the document without printing it (a PDF file being written is removed).
    void Abort();
    bool Aborted() const { return FAborted; }
    bool Printing() const { return FPrinting; }
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& v) { FTitle = v; }
    int Copies() const { return FCopies; }
    void SetCopies(int v);
    // 1 on the first page.
    int PageNumber() const { return FPageNumber; }

    struct Impl;
    Impl& Data() const { return *FImpl; }

private:
    std::unique_ptr<Impl> FImpl;
    std::unique_ptr<TCanvas> FCanvas;
    AnsiString FTitle;
    int FCopies = 1;
    int FPageNumber = 0;
    bool FPrinting = false;
    bool FAborted = false;
};

TPrinter* Printer();
// A non-empty name: documents go to that PDF file; empty: to the selected printer.
void SetPrinterOutputFile(const AnsiString& FileName);
// The printer's canvas answers GetDeviceCaps for the printer, before BeginDoc too: LOGPIXELSX/Y,
// HORZRES/VERTRES (the printable area), PHYSICALWIDTH/HEIGHT (the paper) and PHYSICALOFFSETX/Y
// (where the printable area starts on the paper), in the printer's pixels. Its drawing origin is
// the printable area's top left, in MM_LOMETRIC as in MM_TEXT. The same as GetDeviceCaps.
int GetPrinterDeviceCaps(TCanvas* dc, int index);

// The printer on the toolkit's printer: the canvas borrows a painter on it
// while a document is open.
#include "platform/gui/Printers.h"
#include "platform/gui/Printers_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/core/SysUtils.h"
#include "platform/gui/Canvas_p.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/QtText_p.h"

namespace {
AnsiString g_outputFile;
}

struct TPrinter::Impl {
    std::unique_ptr<QPrinter> Device;
    std::unique_ptr<QPainter> Painter;
    TStringList Names;
    int Index = -1;
    TPrinterOrientation Orientation = poPortrait;
    AnsiString OutputFile;   // the PDF being written
    AnsiString DialogFile;   // the PDF file the print dialog chose, for the next document
    int DeviceResolution = 0;   // the device's own, in dots per inch
    TCanvas* Canvas = nullptr;

    QPrinter& Get()
    {
        if (!Device) {
            // The canvas works in the printer's own pixels; its fonts follow the resolution.
            Device = std::make_unique<QPrinter>(QPrinter::HighResolution);
            DeviceResolution = Device->resolution();
            Device->setPageOrientation(Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
            UseResolution(DeviceResolution);
        }
        return *Device;
    }
    // The canvas measures at the printer's resolution outside a document too (a preview lays
    // its pages out there, as the print will).
    void UseResolution(int Dpi)
    {
        Device->setResolution(Dpi);
        Canvas->Data().dpi = Dpi;
    }
    // The PDF file a document goes to; empty for a printer.
    AnsiString FileName() const { return !g_outputFile.empty() ? g_outputFile : DialogFile; }
    // What the device was last set up for: the output file, or the printer by its index.
    bool Configured = false;
    AnsiString ConfiguredFile;
    int ConfiguredIndex = -1;
    // The printer as the settings now say (output file or the selected printer). The toolkit's
    // printer is set up again only when they changed or the device was handed out since.
    void Configure()
    {
        QPrinter& p = Get();
        const AnsiString file = FileName();
        if (Configured && file == ConfiguredFile && Index == ConfiguredIndex)
            return;
        Configured = true;
        ConfiguredFile = file;
        ConfiguredIndex = Index;
        if (!file.empty()) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(QString::fromStdString(ToOsPath(file)));
        } else {
            p.setOutputFormat(QPrinter::NativeFormat);
            p.setOutputFileName(QString());
            if (Index >= 0 && Index < Names.Count())
                p.setPrinterName(ToQString(Names.Strings(Index)));
        }
    }
    bool HasDevice() const { return !FileName().empty() || !QPrinterInfo::availablePrinterNames().isEmpty(); }
    // What the printer answers to GetDeviceCaps, in its pixels; -1 for what the canvas knows.
    int DeviceCaps(int index)
    {
        if (!Painter)   // a document being printed keeps its set-up
            Configure();
        QPrinter& d = Get();
        QRect full = d.pageLayout().fullRectPixels(d.resolution());
        QMargins m = d.pageLayout().marginsPixels(d.resolution());
        switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY: return d.resolution();
        case HORZRES: return d.width();
        case VERTRES: return d.height();
        case PHYSICALWIDTH: return full.width();
        case PHYSICALHEIGHT: return full.height();
        case PHYSICALOFFSETX: return m.left();
        case PHYSICALOFFSETY: return m.top();
        default: return -1;
        }
    }
};

TPrinter::TPrinter() : FImpl(std::make_unique<Impl>()), FCanvas(std::make_unique<TCanvas>())
{
    // The canvas is the printer's device context: it answers for the printer before a document too.
    FCanvas->Data().deviceCaps = [this](int index) { return FImpl->DeviceCaps(index); };
    FImpl->Canvas = FCanvas.get();
}

TPrinter::~TPrinter()
{
    if (FPrinting)
        Abort();
}

TStrings* TPrinter::Printers()
{
    FImpl->Names.Clear();
    if (!g_outputFile.empty()) {
        FImpl->Names.Add("PDF");
    } else {
        for (const QString& n : QPrinterInfo::availablePrinterNames())
            FImpl->Names.Add(FromQString(n));
    }
    return &FImpl->Names;
}

int TPrinter::PrinterIndex()
{
    if (FImpl->Index < 0) {
        TStrings* names = Printers();
        if (!g_outputFile.empty())
            return names->Count() > 0 ? 0 : -1;
        int i = names->IndexOf(FromQString(QPrinterInfo::defaultPrinterName()));
        return i;
    }
    return FImpl->Index;
}

void TPrinter::SetPrinterIndex(int v)
{
    if (FPrinting)
        throw EPrinter("Printing in progress");
    if (v < -1 || v >= Printers()->Count())
        throw EPrinter("Printer selected is not valid");
    FImpl->Index = v;
}

TPrinterOrientation TPrinter::Orientation() const
{
    return FImpl->Orientation;
}

void TPrinter::SetOrientation(TPrinterOrientation v)
{
    if (FPrinting)
        throw EPrinter("Printing in progress");
    FImpl->Orientation = v;
    FImpl->Get().setPageOrientation(v == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int TPrinter::PageWidth() const
{
    FImpl->Configure();
    return FImpl->Get().width();
}

int TPrinter::PageHeight() const
{
    FImpl->Configure();
    return FImpl->Get().height();
}

void TPrinter::SetCopies(int v)
{
    FCopies = std::max(1, v);
}

void TPrinter::BeginDoc()
{
    if (FPrinting)
        throw EPrinter("Printing in progress");
    if (!FImpl->HasDevice()) {
        // No printer installed: the print dialog offers a PDF file; without one nothing is printed.
        TPrintDialog choose(nullptr);
        choose.SetCopies(FCopies);
        if (!choose.Execute() || !FImpl->HasDevice())
            ::Abort();   // silent: the user chose not to print
    }
    FImpl->Configure();
    QPrinter& p = FImpl->Get();
    p.setDocName(ToQString(FTitle));
    p.setCopyCount(FCopies);
    FImpl->Painter = std::make_unique<QPainter>();
    if (!FImpl->Painter->begin(&p)) {
        FImpl->Painter.reset();
        throw EPrinter("Printer is not ready: " + (FImpl->FileName().empty() ? AnsiString("cannot start the document")
                                                                              : FImpl->FileName()));
    }
    FImpl->OutputFile = FImpl->FileName();
    FPrinting = true;
    FAborted = false;
    FPageNumber = 1;
    int dpi = p.resolution();
    FCanvas->Font()->SetPixelsPerInch(dpi);
    CanvasAttach(*FCanvas, FImpl->Painter.get(), dpi);
}

void TPrinter::EndDoc()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing");
    CanvasDetach(*FCanvas);
    bool ok = FImpl->Painter->end();
    FImpl->Painter.reset();
    FPrinting = false;
    FPageNumber = 0;
    // The file chosen served this document; the next one is asked for again.
    FImpl->DialogFile.clear();
    if (!ok)
        throw EPrinter("Printing failed");
}

void TPrinter::NewPage()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing");
    if (!FImpl->Get().newPage())
        throw EPrinter("Printing failed");
    ++FPageNumber;
}

void TPrinter::Abort()
{
    if (!FPrinting)
        return;
    CanvasDetach(*FCanvas);
    FImpl->Get().abort();
    FImpl->Painter->end();
    FImpl->Painter.reset();
    if (!FImpl->OutputFile.empty())
        QFile::remove(QString::fromStdString(ToOsPath(FImpl->OutputFile)));
    FPrinting = false;
    FAborted = true;
    FPageNumber = 0;
}

TPrinter* Printer()
{
    static std::unique_ptr<TPrinter> printer;
    if (!printer)
        printer = std::make_unique<TPrinter>();
    return printer.get();
}

void SetPrinterOutputFile(const AnsiString& FileName)
{
    g_outputFile = FileName;
}

int GetPrinterDeviceCaps(TCanvas* dc, int index)
{
    return GetDeviceCaps(dc, index);
}

void SetPrinterResolution(TPrinter* printer, int Dpi)
{
    if (printer->Printing())
        throw EPrinter("Printing in progress");
    printer->Data().Get();
    printer->Data().UseResolution(Dpi > 0 ? Dpi : printer->Data().DeviceResolution);
}

QPrinter* PrinterDevice(TPrinter* printer)
{
    printer->Data().Configure();
    // Whoever takes the device may set it up otherwise.
    printer->Data().Configured = false;
    return &printer->Data().Get();
}

void SetPrinterDialogFile(TPrinter* printer, const AnsiString& FileName)
{
    AnsiString name = FileName;
    // A folder alone gets the document's name in it.
    if (!name.empty() && QFileInfo(QString::fromStdString(ToOsPath(name))).isDir())
        name = IncludeTrailingPathDelimiter(name) + (printer->Title().empty() ? AnsiString("wydruk") : printer->Title()) + ".pdf";
    printer->Data().DialogFile = name;
}

void ProposePrinterFile(TPrinter* printer)
{
    QPrinter& d = printer->Data().Get();
    if (d.outputFormat() != QPrinter::PdfFormat || !d.outputFileName().isEmpty())
        return;
    const QString title = ToQString(printer->Title().empty() ? AnsiString("wydruk") : printer->Title());
    d.setOutputFileName(QDir::home().filePath(title + ".pdf"));
    printer->Data().Configured = false;
}

#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/core/SysUtils.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Printers.h"
#include "platform/gui/TestSupport.h"

namespace {

AnsiString PdfName(const char* tag)
{
    return "/tmp/velmarok-printer-" + IntToStr(getpid()) + "-" + tag + ".pdf";
}

// Page objects of a PDF ("/Type /Page", not "/Type /Pages").
int PdfPages(const AnsiString& pdf)
{
    int n = 0;
    for (size_t at = pdf.find("/Type /Page"); at != AnsiString::npos; at = pdf.find("/Type /Page", at + 1))
        if (at + 11 >= pdf.size() || pdf[at + 11] != 's')
            ++n;
    return n;
}

struct PrinterFile : ::testing::Test {
    void TearDown() override { SetPrinterResolution(0); SetPrinterOutputFile(""); }
};

}  // namespace

TEST_F(PrinterFile, TwoPagesOfTextGoToThePdf)
{
    AnsiString file = PdfName("two");
    SetPrinterOutputFile(file);
    TPrinter* p = Printer();
    ASSERT_EQ(1, p->Printers()->Count());
    p->SetTitle("Wykaz norm");
    p->BeginDoc();
    EXPECT_TRUE(p->Printing());
    EXPECT_EQ(1, p->PageNumber());
    TCanvas* c = p->Canvas();
    int dpi = GetPrinterDeviceCaps(c, LOGPIXELSY);
    EXPECT_GE(dpi, 300);   // the printer's own resolution
    EXPECT_GT(p->PageWidth(), 700);   // A4 or Letter
    EXPECT_EQ(dpi, c->Font()->PixelsPerInch());
    EXPECT_EQ(p->PageWidth(), GetPrinterDeviceCaps(c, HORZRES));
    EXPECT_EQ(p->PageHeight(), GetPrinterDeviceCaps(c, VERTRES));
    EXPECT_EQ(GetDeviceCaps(c, LOGPIXELSX), dpi);
    EXPECT_EQ(GetDeviceCaps(c, HORZRES), p->PageWidth());
    EXPECT_GE(GetPrinterDeviceCaps(c, PHYSICALWIDTH), p->PageWidth());
    EXPECT_GE(GetPrinterDeviceCaps(c, PHYSICALOFFSETX), 0);
    c->Font()->SetSize(12);
    // 12 points at the printer's resolution.
    EXPECT_NEAR(c->TextHeight("Ą"), 12 * dpi / 72, 12 * dpi / 72 / 3);
    c->TextOut(100, 100, "Strona pierwsza: Zażółć");
    p->NewPage();
    EXPECT_EQ(2, p->PageNumber());
    c->TextOut(100, 100, "Strona druga");
    p->EndDoc();
    EXPECT_FALSE(p->Printing());

    AnsiString pdf = LoadBytesFromFile(file);
    EXPECT_EQ(0u, pdf.find("%PDF"));
    EXPECT_EQ(2, PdfPages(pdf));
    DeleteFile(file);
}

TEST_F(PrinterFile, FontsFollowThePrinterResolution)
{
    for (int dpi : {96, 600, 1200}) {
        SCOPED_TRACE(dpi);
        AnsiString file = PdfName("dpi");
        SetPrinterOutputFile(file);
        SetPrinterResolution(dpi);
        TPrinter* p = Printer();
        p->BeginDoc();
        TCanvas* c = p->Canvas();
        EXPECT_EQ(GetPrinterDeviceCaps(c, LOGPIXELSX), dpi);
        EXPECT_EQ(GetDeviceCaps(c, LOGPIXELSY), dpi);
        EXPECT_NEAR(p->PageWidth(), 8.27 * dpi, 0.6 * dpi);   // A4 or Letter, in printer pixels

        // 12 points: 100 pixels at 600 dpi, whether set on the printer's font or taken from a screen font.
        const int px = 12 * dpi / 72;
        c->Font()->SetName("Arial");
        c->Font()->SetSize(12);
        EXPECT_NEAR(c->TextHeight("Ą"), px, px / 3);
        TTextMetric tm;
        ASSERT_TRUE(GetTextMetrics(c, tm));
        EXPECT_EQ(tm.tmHeight, c->TextHeight("Ą"));
        TFont screen;
        screen.SetName("Arial");
        screen.SetSize(12);
        c->Font()->Assign(&screen);
        EXPECT_NEAR(c->TextHeight("Ą"), px, px / 3);
        EXPECT_NEAR(c->TextWidth("MMMMMMMMMM"), 10 * px, 6 * px);
        c->TextOut(dpi, dpi, "Wykaz norm: Zażółć");
        p->EndDoc();

        AnsiString pdf = LoadBytesFromFile(file);
        EXPECT_EQ(1, PdfPages(pdf));
        EXPECT_NE(pdf.find("/Font"), AnsiString::npos);   // the text is on the page
        DeleteFile(file);
    }
}

TEST_F(PrinterFile, MisuseIsReportedAndAbortLeavesNoFile)
{
    AnsiString file = PdfName("abort");
    SetPrinterOutputFile(file);
    TPrinter* p = Printer();
    EXPECT_THROW(p->EndDoc(), EPrinter);
    EXPECT_THROW(p->NewPage(), EPrinter);
    p->BeginDoc();
    EXPECT_THROW(p->BeginDoc(), EPrinter);
    EXPECT_THROW(p->SetOrientation(poLandscape), EPrinter);
    p->Canvas()->TextOut(10, 10, "x");
    p->Abort();
    EXPECT_TRUE(p->Aborted());
    EXPECT_FALSE(p->Printing());
    EXPECT_FALSE(FileExists(file));

    // Landscape pages are wider than high.
    p->SetOrientation(poLandscape);
    EXPECT_GT(p->PageWidth(), p->PageHeight());
    p->SetOrientation(poPortrait);
    EXPECT_LT(p->PageWidth(), p->PageHeight());

}

// The printer is set up once for its file: a document after an aborted one, and one to
// another file, are each written whole to their own file.
TEST_F(PrinterFile, EachDocumentGoesWholeToTheFileNamedThen)
{
    const AnsiString first = PdfName("first"), second = PdfName("second");
    TPrinter* p = Printer();
    struct TJob { AnsiString File; bool Abort; };
    for (const TJob& job : {TJob{first, true}, TJob{first, false}, TJob{second, false}, TJob{second, true}}) {
        SetPrinterOutputFile(job.File);
        EXPECT_GT(p->PageWidth(), 700);
        p->BeginDoc();
        p->Canvas()->TextOut(100, 100, job.File);
        if (job.Abort)
            p->Abort();
        else
            p->EndDoc();
        EXPECT_EQ(job.Abort ? 0 : 1, FileExists(job.File) ? PdfPages(LoadBytesFromFile(job.File)) : 0) << job.File;
    }
    EXPECT_EQ(1, PdfPages(LoadBytesFromFile(first)));
    DeleteFile(first);
    DeleteFile(second);
}

TEST_F(PrinterFile, WithoutAPrinterThePrintDialogOffersAPdfFile)
{
    TPrinter* p = Printer();
    if (p->Printers()->Count() > 0)
        GTEST_SKIP() << "a printer is installed on this computer";
    // Asked when the document begins, or chosen in the print dialog before printing (and then
    // not asked again); a cancelled choice prints nothing and says nothing.
    struct Case { const char* Tag; int Answer; bool DialogFirst, Printed; };
    Case cases[] = {{"asked", IDOK, false, true}, {"cancelled", IDCANCEL, false, false}, {"chosen", IDOK, true, true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Tag);
        const AnsiString file = PdfName(k.Tag);
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TPrintDialog", k.Answer,
                                     [&](TDialogRequest& r) { r.Values = {"portrait", file}; });
        if (k.DialogFirst) {
            TPrintDialog dialog(nullptr);
            EXPECT_TRUE(dialog.Execute());
        }
        if (k.Printed) {
            p->BeginDoc();
            p->Canvas()->TextOut(10, 10, "Wykaz");
            p->EndDoc();
        } else {
            EXPECT_THROW(p->BeginDoc(), EAbort);
        }
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(k.Printed, FileExists(file));
        DeleteFile(file);
    }
}

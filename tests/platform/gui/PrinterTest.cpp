#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/core/SysUtils.h"
#include "platform/gui/Printers.h"

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
    void TearDown() override { SetPrinterOutputFile(""); }
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
    EXPECT_EQ(96, dpi);
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

    SetPrinterOutputFile("");
    if (p->Printers()->Count() == 0) {
        EXPECT_THROW(p->BeginDoc(), EPrinter);
    }
}

#pragma once
// Private to platform/gui: the toolkit's printer behind TPrinter (for the print dialogs).
#include "platform/gui/Printers.h"

class QPrinter;
QPrinter* PrinterDevice(TPrinter* printer);
// Runs the printer at Dpi dots per inch (0: the device's own resolution).
void SetPrinterResolution(TPrinter* printer, int Dpi);
// The PDF file the print dialog chose for the next document (empty: the printer).
void SetPrinterDialogFile(TPrinter* printer, const AnsiString& FileName);
// A printer that prints to a file and has no file name yet gets the document's name in the
// home folder, for the print dialog to offer.
void ProposePrinterFile(TPrinter* printer);

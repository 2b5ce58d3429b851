#pragma once
// Private to platform/gui: the toolkit's printer behind TPrinter (for the print dialogs).
#include "platform/gui/Printers.h"

class QPrinter;
QPrinter* PrinterDevice(TPrinter* printer);
// Runs the printer at Dpi dots per inch (0: the device's own resolution).
void SetPrinterResolution(TPrinter* printer, int Dpi);

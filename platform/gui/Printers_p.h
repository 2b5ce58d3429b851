#pragma once
// Private to platform/gui: the toolkit's printer behind TPrinter (for the print dialogs).
#include "platform/gui/Printers.h"

class QPrinter;
QPrinter* PrinterDevice(TPrinter* printer);

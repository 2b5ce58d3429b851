#pragma once
// The print settings form's page control, made apart from the grid's header
// (the progress bar's orientation names clash with the print border names).
#include "grid/services/ProPrintSettingsDialog.h"

TWinControl* NewPrintSettingsPages(TProGridPrintSettingsForm* Form, int Width, int Height);
TWinControl* AddPrintSettingsTab(TProGridPrintSettingsForm* Form, const AnsiString& Caption);

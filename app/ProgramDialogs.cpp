#include "app/ProgramDialogs.h"

#include "app/Unit9_Waiting.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit3.h"
#include "app/qx_Unit4.h"
#include "app/qx_Unit6_DodajNowaNorme.h"
#include "platform/gui/Forms.h"

void CreateProgramDialogs()
{
    // The application owns them; each global points at its window.
    Application->CreateForm(f_SprawdzNorme);
    Application->CreateForm(f_WstawKilkaLinii);
    Application->CreateForm(f_Szer_WysKomorek);
    Application->CreateForm(f_DodajNowaNorme);
    // The used-standards and correctness windows follow here.
    Application->CreateForm(f_Waiting);
    // The products window follows here.
}

#include "app/ProgramDialogs.h"

#include "app/Unit8_PoprawnoscNorm.h"
#include "app/Unit9_Waiting.h"
#include "app/qx_Unit10_Wyroby.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit3.h"
#include "app/qx_Unit4.h"
#include "app/qx_Unit6_DodajNowaNorme.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "platform/gui/Forms.h"

void CreateProgramDialogs()
{
    // The application owns them; each global points at its window.
    Application->CreateForm(f_SprawdzNorme);
    Application->CreateForm(f_WstawKilkaLinii);
    Application->CreateForm(f_Szer_WysKomorek);
    Application->CreateForm(f_DodajNowaNorme);
    Application->CreateForm(f_ListaUzywanychNorm);
    Application->CreateForm(f_PoprawnoscNorm);
    Application->CreateForm(f_Waiting);
    Application->CreateForm(f_Wyroby);
}

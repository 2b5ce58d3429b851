#include "app/ProgramEntry.h"

#include <cstdio>

#include "app/MainVars.h"
#include "app/ProgramDialogs.h"
#include "app/ProgramFolders.h"
#include "app/qx_Unit1.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"

int RunProgram()
{
    try {
        Application->Initialize();
        Application->SetTitle("Velmarok Polskich Norm");
        if (ExeFolder.empty())
            ExeFolder = ExtractFilePath(Application->ExeName());
        if (ProgramFolder.empty())
            ProgramFolder = ChooseProgramFolder(ExeFolder);
        Application->CreateForm(f_MainForm);
        CreateProgramDialogs();
        Application->Run();
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}

#include <cstdio>
#include <cstring>

#include "app/MainVars.h"
#include "app/ProgramDialogs.h"
#include "app/ProgramFolders.h"
#include "app/Version.h"
#include "app/qx_Unit1.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", VersionText().c_str());
        return 0;
    }
    InitializeApplication(argc, argv);
    int rc = 0;
    try {
        Application->Initialize();
        Application->SetTitle("Velmarok Polskich Norm");
        ExeFolder = ExtractFilePath(Application->ExeName());
        ProgramFolder = ChooseProgramFolder(ExeFolder);
        Application->CreateForm(f_MainForm);
        CreateProgramDialogs();
        Application->Run();
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message().c_str());
        rc = 1;
    }
    FinalizeApplication();
    return rc;
}

#include <cstdio>
#include <cstring>

#include "app/ProgramEntry.h"
#include "app/Version.h"
#include "platform/gui/Forms.h"

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", VersionText().c_str());
        return 0;
    }
    InitializeApplication(argc, argv);
    int rc = RunProgram();
    FinalizeApplication();
    return rc;
}

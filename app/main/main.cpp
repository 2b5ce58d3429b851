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
    // The program reads nothing from its command line, and the toolkit is given none of it
    // either: its own options (a platform, a style, a layout direction) would change the program.
    int programNameOnly = 1;
    InitializeApplication(programNameOnly, argv);
    int rc = RunProgram();
    FinalizeApplication();
    return rc;
}

#include <cstdio>

#include "app/Version.h"

int main()
{
    std::printf("%s\n", VersionText().c_str());
    return 0;
}

#include <gtest/gtest.h>

#include "app/InstallPaths.h"

TEST(InstallPaths, SharedDataLiesBesideTheProgramsFolderAtAnyPrefix)
{
    EXPECT_EQ(InstalledDataFolder("/usr/bin/"), "/usr/share/velmarok/");
    EXPECT_EQ(InstalledDataFolder("/opt/velmarok/bin"), "/opt/velmarok/share/velmarok/");
    EXPECT_EQ(InstalledDataFolder("/home/jan/.local/bin//"), "/home/jan/.local/share/velmarok/");
}

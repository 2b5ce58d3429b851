#include <gtest/gtest.h>

#include "platform/gui/TestSupport.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    InitTestApplication(argc, argv);   // offscreen platform, scripted dialogs
    int rc = RUN_ALL_TESTS();
    DoneTestApplication();
    return rc;
}

#include <gtest/gtest.h>

#include "platform/gui/TestSupport.h"
#include "tests/common/SuiteTempFolder.h"

namespace {
// Each test starts with no recorded boxes: those of the test before it, in
// whatever order the tests run, are not its own.
class TFreshDialogRecord : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { ClearRecordedDialogs(); }
};
}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TSuiteTempFolder temp;
    InitTestApplication(argc, argv);   // offscreen platform, scripted dialogs
    ::testing::UnitTest::GetInstance()->listeners().Append(new TFreshDialogRecord);
    int rc = RUN_ALL_TESTS();
    DoneTestApplication();
    return rc;
}

#include <gtest/gtest.h>

#include "tests/common/SuiteTempFolder.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TSuiteTempFolder temp;
    return RUN_ALL_TESTS();
}

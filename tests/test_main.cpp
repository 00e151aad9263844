// The main() of every test executable: each test starts and ends with the
// program as it is at start-up (reset_all), so that tests run in any order in
// one process.
#include "framework/state.h"

#include <gtest/gtest.h>

namespace {

class ResetAll : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { reset_all(); }
    void OnTestEnd(const ::testing::TestInfo&) override { reset_all(); }
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetAll);
    return RUN_ALL_TESTS();
}

// Batch files of names and paths as long as the system takes, run by the
// program binary: a 255-byte name runs whole (its lock and temporary files
// have names within the limit and go again); a path longer than the system
// takes is said to be too long.
#include "batch_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using batch_runs::bytes_of;
using batch_runs::finish_program;
using batch_runs::start_program;

class LongFileName : public batch_runs::ScratchFolderTest {
protected:
    int run(const std::string& batch) const
    {
        return finish_program(start_program(scratch, batch, scratch.string() + "-stderr.txt"));
    }
    std::string err() const { return bytes_of(scratch.string() + "-stderr.txt"); }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove(scratch.string() + "-stderr.txt", ignored);
        ScratchFolderTest::TearDown();
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(scratch))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

}  // namespace

TEST_F(LongFileName, A255CharacterBatchFileNameRuns)
{
    const std::string stem(251, 'n');
    fs::copy_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf", scratch / (stem + ".mbf"));
    ASSERT_EQ(run(stem + ".mbf"), 0) << err();
    EXPECT_EQ(names(), (std::vector<std::string>{stem + ".mbf", stem + ".mod", stem + ".res", stem + ".txt"}));
    EXPECT_GT(fs::file_size(scratch / (stem + ".txt")), 10000u);
    // Again, over the files of the first run.
    ASSERT_EQ(run(stem + ".mbf"), 0) << err();
    EXPECT_EQ(names().size(), 4u);
}

// A path past the system's limit (PATH_MAX) is said to be too long, not
// taken for another fault.
TEST_F(LongFileName, APathLongerThanTheSystemTakesIsSaidToBeTooLong)
{
    std::string path = scratch.string();
    while (path.size() < 5000)
        path += "/" + std::string(200, 'd');
    path += "/model.mbf";
    EXPECT_EQ(run(path), 1);
    EXPECT_NE(err().find("The path of the batch file is longer than 4095 characters"), std::string::npos) << err();
    EXPECT_EQ(err().find("would be the batch file itself"), std::string::npos) << err();
    EXPECT_TRUE(names().empty());
}

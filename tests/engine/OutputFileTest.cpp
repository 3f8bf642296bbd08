// Committing the temporary output: a complete file that can be neither named nor deleted is
// named in the message, so the user can find it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "OutputFile.h"

namespace kivo {
namespace {

TEST(OutputFile, AFailedCommitDeletesTheTemporaryOrNamesIt) {
    char folderTemplate[] = "/tmp/kivo-output-XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    const std::string folder = folderTemplate;
    const std::string target = folder + "/out.mp4";
    ASSERT_EQ(mkdir(target.c_str(), 0755), 0);  // a folder of the target's name blocks the rename
    ASSERT_TRUE(std::ofstream(target + "/inside").good());

    // Two conversions given the same target never share a partial file.
    std::string temporary = TemporaryPathFor(target);
    EXPECT_NE(TemporaryPathFor(target), temporary);

    // A temporary that can be deleted is deleted.
    ASSERT_TRUE(std::ofstream(temporary).good());
    std::string error;
    EXPECT_FALSE(CommitTemporary(temporary, target, error));
    EXPECT_FALSE(PathExists(temporary));
    EXPECT_EQ(error.find("left as"), std::string::npos) << error;

    // One that cannot (here a folder with something in it) is named.
    ASSERT_EQ(mkdir(temporary.c_str(), 0755), 0);
    ASSERT_TRUE(std::ofstream(temporary + "/stuck").good());
    error.clear();
    EXPECT_FALSE(CommitTemporary(temporary, folder + "/elsewhere/out.mp4", error));
    EXPECT_TRUE(PathExists(temporary));
    EXPECT_NE(error.find("the converted file was left as " + temporary), std::string::npos)
        << error;
    std::remove((temporary + "/stuck").c_str());
    std::remove(temporary.c_str());
    std::remove((target + "/inside").c_str());
    std::remove(target.c_str());
    std::remove(folder.c_str());
}

}  // namespace
}  // namespace kivo

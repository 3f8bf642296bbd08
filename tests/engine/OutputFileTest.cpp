// Committing the temporary output: a complete file that can be neither named nor deleted is
// named in the message, so the user can find it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "OutputFile.h"
#include "kivoengine.h"

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

class ScratchFolder {
public:
    ScratchFolder() {
        char folderTemplate[] = "/tmp/kivo-commit-XXXXXX";
        path_ = mkdtemp(folderTemplate);
    }
    ~ScratchFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string Contents(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

TEST(OutputFile, ACommitWithoutOverwriteNeverReplacesAFile) {
    const struct {
        const char* name;
        const char* target;
        std::vector<const char*> present;  // files there before the commit
        const char* kept;                  // where the converted file ends up
        int reason;
    } cases[] = {
        {"a free name", "clip.MP4", {}, "clip.MP4", KIVO_REASON_NONE},
        {"a file appeared", "clip.MP4", {"clip.MP4"}, "clip (2).MP4", KIVO_REASON_OUTPUT_EXISTS},
        {"the next free number",
         "clip.MP4",
         {"clip.MP4", "clip (2).MP4"},
         "clip (3).MP4",
         KIVO_REASON_OUTPUT_EXISTS},
        {"a name without an extension", "clip", {"clip"}, "clip (2)", KIVO_REASON_OUTPUT_EXISTS},
        {"a hidden name", ".clip", {".clip"}, ".clip (2)", KIVO_REASON_OUTPUT_EXISTS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        for (const char* name : c.present) {
            Write(folder.File(name), std::string("older ") + name);
        }
        const std::string temporary = TemporaryPathFor(folder.File(c.target));
        Write(temporary, "converted");
        CommitFailure failure;
        const bool named = CommitWithoutReplacing(temporary, folder.File(c.target), failure);
        EXPECT_EQ(named, c.reason == KIVO_REASON_NONE);
        EXPECT_EQ(failure.reason, c.reason);
        EXPECT_EQ(Contents(folder.File(c.kept)), "converted");
        EXPECT_FALSE(PathExists(temporary));
        for (const char* name : c.present) {
            EXPECT_EQ(Contents(folder.File(name)), std::string("older ") + name);
        }
        if (!named) {
            EXPECT_EQ(failure.keptPath, folder.File(c.kept));
            EXPECT_NE(failure.message.find(folder.File(c.kept)), std::string::npos)
                << failure.message;
        }
    }
}

TEST(OutputFile, AFailedCommitKeepsTheSystemsReason) {
    ScratchFolder folder;
    const std::string temporary = TemporaryPathFor(folder.File("clip.MP4"));
    Write(temporary, "converted");
    CommitFailure failure;
    EXPECT_FALSE(CommitWithoutReplacing(temporary, folder.File("gone/clip.MP4"), failure));
    EXPECT_EQ(failure.systemError, ENOENT);
    EXPECT_NE(failure.message.find(std::strerror(ENOENT)), std::string::npos) << failure.message;
    EXPECT_FALSE(PathExists(temporary));
}

// The id of a process that has ended and been reaped.
pid_t EndedProcess() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

TEST(OutputFile, OnlyThePartialFilesOfEndedProcessesAreRemoved) {
    ScratchFolder folder;
    const std::string dead = std::to_string(EndedProcess());
    const std::string alive = std::to_string(getppid());
    const struct {
        std::string name;
        bool removed;
    } cases[] = {
        {".clip.MP4.part" + dead + "-1", true},
        {".other name.3g2.part" + dead + "-12", true},
        {".clip.MP4.part" + alive + "-1", false},     // its process still runs
        {"clip.MP4.part" + dead + "-1", false},       // not hidden: not ours
        {".clip.MP4.part" + dead, false},             // no number of its own
        {".clip.MP4.part" + dead + "-1.bak", false},  // something else
        {".clip.MP4.partial" + dead + "-1", false},   //
        {"clip.MP4", false},
    };
    for (const auto& c : cases) {
        Write(folder.File(c.name), "partial");
    }
    RemoveStalePartialFiles(folder.File("new.MP4"));
    for (const auto& c : cases) {
        EXPECT_EQ(PathExists(folder.File(c.name)), !c.removed) << c.name;
    }
}

TEST(OutputFile, SameFileSeesThroughSpellingsAndLinks) {
    ScratchFolder folder;
    Write(folder.File("clip.MP4"), "source");
    Write(folder.File("other.MP4"), "source");
    ASSERT_EQ(symlink(folder.File("clip.MP4").c_str(), folder.File("link.MP4").c_str()), 0);
    ASSERT_EQ(link(folder.File("clip.MP4").c_str(), folder.File("hard.MP4").c_str()), 0);
    ASSERT_EQ(mkdir(folder.File("sub").c_str(), 0755), 0);
    const struct {
        std::string other;
        bool same;
    } cases[] = {
        {folder.File("clip.MP4"), true},     {folder.File("./sub/../clip.MP4"), true},
        {folder.File("link.MP4"), true},     {folder.File("hard.MP4"), true},
        {folder.File("other.MP4"), false},  // equal bytes, another file
        {folder.File("missing.MP4"), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameFile(folder.File("clip.MP4"), c.other), c.same) << c.other;
    }
}

}  // namespace
}  // namespace kivo

// Recovery copies: written whole, offered only when their program is gone,
// never taken from a running program, removed on a clean end.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "model/PictureFile.h"
#include "model/ProjectFile.h"
#include "model/RecoveryWriter.h"
#include "tests/TestSchemes.h"

namespace stelmar {
namespace {

namespace fs = std::filesystem;

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/stelmar-recovery-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        folder_ = root_ + "/state/stelmar/recovery/";
    }
    void TearDown() override { fs::remove_all(root_); }

    // A scheme as the editor holds it, with a picture on floor 2.
    static TPipeLine Edited()
    {
        TPipeLine s = test::Corridor();
        s.EtagCount = 2;
        s.FileName = "/home/инженер/школа.stm";
        s.Backgrounds[2] = std::make_shared<const Bitmap>(Bitmap{3, 2, std::vector<std::uint32_t>(6, 0xFF00FF00)});
        s.Reports.resize(5);
        s.Nodes[1].FlowCount = 2;
        return s;
    }

    static std::string Text(const TPipeLine& s) { return *ProjectText(s, ',', nullptr); }

    // A program that writes a copy of `s` and is killed before it can clean up.
    void CrashedProgram(const TPipeLine& s, std::int64_t time)
    {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::optional<RecoverySlot> slot = RecoverySlot::Claim(folder_);
            if (!slot || slot->Write(s, time, ',')) ::_exit(1);
            ::kill(::getpid(), SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    }

    std::string root_;
    std::string folder_;
};

TEST_F(RecoveryTest, CopyOfAKilledProgramIsOfferedWhole)
{
    const TPipeLine s = Edited();
    CrashedProgram(s, 1765272720);

    OrphanedCopies orphans(folder_);
    ASSERT_EQ(orphans.List().size(), 1u);
    const OrphanedCopy& copy = orphans.List()[0];
    EXPECT_EQ(copy.OriginalFile, s.FileName);
    EXPECT_EQ(copy.Time, 1765272720);
    ProjectReadResult read = ReadProjectFile(copy.ProjectFile);
    ASSERT_TRUE(read.Scheme) << read.Error;
    EXPECT_EQ(Text(*read.Scheme), Text(s));
    ASSERT_TRUE(read.Scheme->Backgrounds[2]);
    EXPECT_EQ(read.Scheme->Backgrounds[2]->Pixels, s.Backgrounds[2]->Pixels);
    EXPECT_FALSE(read.Scheme->Backgrounds[1]);

    // While this program holds it, another one does not offer it again.
    EXPECT_TRUE(OrphanedCopies(folder_).List().empty());
}

TEST_F(RecoveryTest, ARunningProgramsCopyIsNeverOffered)
{
    std::optional<RecoverySlot> slot = RecoverySlot::Claim(folder_);
    ASSERT_TRUE(slot);
    ASSERT_EQ(slot->Write(Edited(), 1, ','), std::nullopt);
    EXPECT_TRUE(slot->HasCopy());
    EXPECT_TRUE(OrphanedCopies(folder_).List().empty());
    EXPECT_EQ(fs::status(folder_).permissions() & fs::perms::all, fs::perms::owner_all);

    slot->RemoveCopy();
    EXPECT_FALSE(slot->HasCopy());
    const std::string own = slot->Folder();
    slot.reset();  // a clean end removes the slot
    EXPECT_FALSE(fs::exists(own));
}

TEST_F(RecoveryTest, DiscardingTakesTheCopyAway)
{
    TPipeLine first = Edited();
    TPipeLine second = Edited();
    second.FileName = "/home/b.stm";
    CrashedProgram(first, 100);
    CrashedProgram(second, 200);
    {
        OrphanedCopies orphans(folder_);
        ASSERT_EQ(orphans.List().size(), 2u);
        EXPECT_EQ(orphans.List()[0].OriginalFile, "/home/b.stm");  // newest first
        orphans.DiscardCopiesOf("/home/b.stm");
    }
    {
        OrphanedCopies orphans(folder_);  // declining keeps the other copy
        ASSERT_EQ(orphans.List().size(), 1u);
        EXPECT_EQ(orphans.List()[0].OriginalFile, first.FileName);
        orphans.Discard(0);
    }
    EXPECT_TRUE(OrphanedCopies(folder_).List().empty());
    EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(RecoveryTest, PicturesFollowTheScheme)
{
    std::optional<RecoverySlot> slot = RecoverySlot::Claim(folder_);
    ASSERT_TRUE(slot);
    TPipeLine s = Edited();
    const std::string picture = PictureFileName(slot->Folder() + "project.stm", 2);
    ASSERT_EQ(slot->Write(s, 1, ','), std::nullopt);
    struct stat before {};
    ASSERT_EQ(::stat(picture.c_str(), &before), 0);

    // An unchanged picture is not written again.
    s.Nodes[1].People = 77;
    ASSERT_EQ(slot->Write(s, 2, ','), std::nullopt);
    struct stat after {};
    ASSERT_EQ(::stat(picture.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);

    // A deleted picture leaves the copy.
    s.Backgrounds[2].reset();
    ASSERT_EQ(slot->Write(s, 3, ','), std::nullopt);
    EXPECT_FALSE(fs::exists(picture));
}

TEST_F(RecoveryTest, WriterWritesInTheBackgroundAndRemovesOnRequest)
{
    std::optional<RecoverySlot> slot = RecoverySlot::Claim(folder_);
    ASSERT_TRUE(slot);
    const std::string own = slot->Folder();
    const TPipeLine s = Edited();
    const std::shared_ptr<const TPipeLine> part = ProjectPartOf(s);
    EXPECT_EQ(Text(*part), Text(s));
    EXPECT_TRUE(part->Reports.empty());
    EXPECT_EQ(part->Nodes[1].FlowCount, 2);
    {
        RecoveryWriter writer(std::move(*slot), ',');
        writer.Submit(part, 5);
        writer.Flush();
        EXPECT_EQ(writer.LastFailure(), std::nullopt);
        EXPECT_TRUE(fs::exists(own + "project.stm"));
        writer.Remove();
        EXPECT_FALSE(fs::exists(own + "project.stm"));
        EXPECT_FALSE(fs::exists(own + "copy.info"));
        writer.Submit(part, 6);
    }
    EXPECT_FALSE(fs::exists(own));
}

TEST_F(RecoveryTest, IncompleteSlotsAreCleanedAway)
{
    fs::create_directories(folder_ + "slot-1-dead");
    std::ofstream(folder_ + "slot-1-dead/lock").put('x');
    std::ofstream(folder_ + "slot-1-dead/project.stm") << "half";
    EXPECT_TRUE(OrphanedCopies(folder_).List().empty());
    EXPECT_FALSE(fs::exists(folder_ + "slot-1-dead"));
}

}  // namespace
}  // namespace stelmar

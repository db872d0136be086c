// Writing files: through symbolic links, never over a read-only file, in
// place on devices and pipes, the reasons of failures in Russian, and the
// removal of temporaries that stopped saves left behind.

#include "model/SafeFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "calc/ReportWriter.h"
#include "model/FileErrors.h"
#include "model/ProjectFile.h"
#include "tests/TestSchemes.h"
#include "tests/TestFiles.h"

namespace stelmar {
namespace {

namespace fs = std::filesystem;

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

bool IsCharDevice(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

// A null and a full device of our own where the system lets us make them
// (as root), so that a writer that renamed over devices would replace
// these and not the machine's. Others use the system's, which they cannot
// replace.
struct Devices {
    explicit Devices(const TempDir& dir)
    {
        if (::geteuid() != 0) return;
        const std::string null = dir / "null";
        const std::string full = dir / "full";
        if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
            ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
            Null = null;
            Full = full;
        } else {
            Null.clear();  // root without the right to make devices: nothing safe to write to
        }
    }
    std::string Null = "/dev/null";
    std::string Full = "/dev/full";
};

// A process id that no process has: a child that has already ended.
pid_t EndedProcess()
{
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(SafeFile, ReasonsAreRussian)
{
    EXPECT_EQ(FileErrorText(EACCES), "нет прав доступа к файлу или папке");
    EXPECT_EQ(FileErrorText(ENOENT), "файл не найден");
    EXPECT_EQ(FileErrorText(ENOTDIR), "папка не найдена");
    EXPECT_EQ(FileErrorText(ENOSPC), "недостаточно места на диске");
    EXPECT_EQ(FileErrorText(EROFS), "файловая система доступна только для чтения");
    EXPECT_EQ(FileErrorText(kNotRegularFile), "это не обычный файл (устройство, канал или сокет)");
    EXPECT_EQ(FileErrorText(EISDIR), "это папка, а не файл");
    EXPECT_EQ(FileErrorText(EFBIG), "файл слишком велик");
    EXPECT_EQ(FileErrorText(EIO), "ошибка ввода-вывода (возможно, диск поврежден или отключен)");
    EXPECT_EQ(FileErrorText(EXDEV), "системная ошибка (код " + std::to_string(EXDEV) + ")");

    TempDir dir;
    EXPECT_EQ(WriteFilesAtomically({{dir / "missing/plan.stm", "x"}}), "папка не найдена");
    fs::create_directory(dir / "folder");
    EXPECT_EQ(WriteFilesAtomically({{dir / "folder", "x"}}), "это папка, а не файл");
}

TEST(SafeFile, LinksAreWrittenThroughAndStay)
{
    TempDir dir;
    fs::create_directory(dir / "real");
    WriteAll(dir / "real/plan.stm", "old");
    fs::create_symlink("real/plan.stm", dir / "link.stm");
    fs::create_symlink(dir / "link.stm", dir / "chain.stm");
    ASSERT_EQ(WriteFilesAtomically({{dir / "chain.stm", "new"}}), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "chain.stm"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.stm"));
    EXPECT_EQ(ReadAll(dir / "real/plan.stm"), "new");

    // A link to a file not yet written creates that file.
    fs::create_symlink("real/report.rtf", dir / "report.rtf");
    AtomicFileWriter writer(dir / "report.rtf");
    writer.Stream() << "report";
    ASSERT_EQ(writer.Commit(), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "report.rtf"));
    EXPECT_EQ(ReadAll(dir / "real/report.rtf"), "report");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"chain.stm", "link.stm", "real", "report.rtf"}));

    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    EXPECT_EQ(WriteFilesAtomically({{dir / "loop-a", "x"}}), "слишком много символических ссылок подряд");
}

// The rename of a temporary would replace a read-only file in a writable
// folder; a file without any write bit is refused even for the superuser.
TEST(SafeFile, ReadOnlyFilesAreRefused)
{
    TempDir dir;
    const std::string project = dir / "plan.stm";
    const std::string report = dir / "report.rtf";
    WriteAll(project, "old project");
    WriteAll(report, "old report");
    fs::permissions(project, fs::perms::owner_read | fs::perms::group_read);
    fs::permissions(report, fs::perms::owner_read);

    EXPECT_EQ(WriteFilesAtomically({{project, "new"}}), "нет прав доступа к файлу или папке");
    EXPECT_EQ(SaveProjectFile(test::Corridor(), project, ','),
              "Ошибка сохранения проекта!\r\nВозможно у вас отсутствуют права записи на жесткий диск\r\n(нет прав на "
              "запись \"" + project + "\").");
    TPipeLine s = test::Corridor();
    EXPECT_EQ(WriteReport(s, report, ','),
              "Не удалось записать отчет в файл \"" + report + "\": нет прав доступа к файлу или папке");
    fs::create_symlink("report.rtf", dir / "link.rtf");
    AtomicFileWriter writer(dir / "link.rtf");
    writer.Stream() << "new";
    EXPECT_EQ(writer.Commit(), "нет прав доступа к файлу или папке");

    EXPECT_EQ(ReadAll(project), "old project");
    EXPECT_EQ(ReadAll(report), "old report");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"link.rtf", "plan.stm", "report.rtf"}));
}

TEST(SafeFile, DevicesAreWrittenInPlace)
{
    TempDir dir;
    const Devices devices(dir);
    if (devices.Null.empty()) GTEST_SKIP() << "no device of our own can be made";

    EXPECT_EQ(WriteFilesAtomically({{devices.Null, "data"}}), std::nullopt);
    EXPECT_TRUE(IsCharDevice(devices.Null));
    AtomicFileWriter toNull(devices.Null);
    toNull.Stream() << std::string(200000, 'x');
    EXPECT_EQ(toNull.Commit(), std::nullopt);
    EXPECT_TRUE(IsCharDevice(devices.Null));

    // A device that takes nothing reports it.
    EXPECT_EQ(WriteFilesAtomically({{devices.Full, "data"}}), "недостаточно места на диске");
    AtomicFileWriter toFull(devices.Full);
    toFull.Stream() << "report";
    EXPECT_EQ(toFull.Commit(), "недостаточно места на диске");
    EXPECT_TRUE(IsCharDevice(devices.Full));
    TPipeLine s = test::Corridor();
    EXPECT_EQ(WriteReport(s, devices.Full, ','),
              "Не удалось записать отчет в файл \"" + devices.Full + "\": недостаточно места на диске");
    EXPECT_TRUE(IsCharDevice(devices.Full));
}

TEST(SafeFile, PipesAreWrittenInPlaceAndNeverWaitedFor)
{
    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nobody reads: refused after a moment.
    EXPECT_EQ(WriteFilesAtomically({{fifo, "data"}}),
              "устройство или канал не готовы (у канала нет читающей программы)");
    AtomicFileWriter unread(fifo);
    EXPECT_TRUE(unread.Commit());

    std::string received;
    std::thread reader([&] { received = ReadAll(fifo); });
    // The writer waits for the reader to open the pipe, then writes.
    std::optional<std::string> result;
    for (int attempt = 0; attempt < 500; ++attempt) {
        AtomicFileWriter writer(fifo);
        writer.Stream() << "report through a pipe";
        result = writer.Commit();
        if (!result) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    reader.join();
    EXPECT_EQ(result, std::nullopt);
    EXPECT_EQ(received, "report through a pipe");
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"fifo"});
}

TEST(SafeFile, TemporariesOfEndedWritersAreRemovedOnOpenAndSave)
{
    TempDir dir;
    const std::string project = dir / "plan.stm";
    ASSERT_EQ(SaveProjectFile(test::Corridor(), project, ','), std::nullopt);
    const std::string ended = std::to_string(EndedProcess());
    const std::string own = std::to_string(::getpid());
    const std::vector<std::string> stale = {"plan.stm.tmp-" + ended + "-0", "plan.im1.tmp-" + ended + "-12",
                                            "plan.im255.tmp-" + ended + "-3"};
    // Another program's files, a running writer's, names that only look
    // alike, and a folder.
    const std::vector<std::string> kept = {
        "other.stm.tmp-" + ended + "-0", "plan.stm.tmp-" + own + "-0", "plan.stm.tmp-1-0",
        "plan.stm.tmp-" + ended + "-x", "plan.stm.tmp-" + ended + "-01", "plan.stm.tmp-0" + ended + "-0",
        "plan.stm.tmp-" + ended, "plan.stm.tmp-" + ended + "-0.bak", "plan.im0.tmp-" + ended + "-0",
        "plan.stm.tmp-+" + ended + "-0"};
    for (const std::string& name : stale) WriteAll(dir / name, std::string(1000, 'x'));
    for (const std::string& name : kept) WriteAll(dir / name, "x");
    fs::create_directory(dir / ("plan.im2.tmp-" + ended + "-0"));

    ASSERT_TRUE(ReadProjectFile(project).Scheme);
    std::vector<std::string> expected = kept;
    expected.push_back("plan.im2.tmp-" + ended + "-0");
    expected.push_back("plan.stm");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.Names(), expected);

    // Saving cleans up as well, also when the project is saved through a
    // link from another folder.
    for (const std::string& name : stale) WriteAll(dir / name, "x");
    TempDir elsewhere;
    fs::create_symlink(project, elsewhere / "plan.stm");
    ASSERT_EQ(SaveProjectFile(test::Corridor(), elsewhere / "plan.stm", ','), std::nullopt);
    EXPECT_EQ(dir.Names(), expected);
}

// What a save stopped between its renames leaves: the new picture in
// place, the new project still a temporary, and the complete journal. The
// next opening finishes the set instead of removing the temporary as
// stale; an incomplete journal (stopped while it was written, before any
// rename) leaves the old set, and its temporaries go.
TEST(SafeFile, JournalledSetIsFinishedAndAnIncompleteOneDropped)
{
    TempDir dir;
    const std::string project = dir / "plan.stm";
    TPipeLine older = test::Corridor();
    older.Backgrounds[1] = std::make_shared<const Bitmap>(Bitmap{1, 1, {1}});
    TPipeLine newer = older;
    newer.Nodes[1].Name = "новый";
    newer.Backgrounds[1] = std::make_shared<const Bitmap>(Bitmap{1, 1, {2}});
    const std::string ended = std::to_string(EndedProcess());
    const std::string newProject = ProjectText(newer, ',', nullptr).value();
    auto journal = [&](const std::string& last) {
        const std::string temp = project + ".tmp-" + ended + "-1";
        const std::string picture = dir / "plan.im1";
        const std::string pictureTemp = picture + ".tmp-" + ended + "-0";
        return "stelmar-journal 1\n2\n" + std::to_string(pictureTemp.size()) + " " + pictureTemp + "\n" +
               std::to_string(picture.size()) + " " + picture + "\n" + std::to_string(temp.size()) + " " + temp +
               "\n" + std::to_string(project.size()) + " " + project + "\n" + last;
    };

    ASSERT_EQ(SaveProjectFile(newer, project, ','), std::nullopt);  // the new picture is in place
    WriteAll(project, ProjectText(older, ',', nullptr).value());
    WriteAll(project + ".tmp-" + ended + "-1", newProject);
    WriteAll(project + ".journal-" + ended, journal("end\n"));
    const ProjectReadResult finished = ReadProjectFile(project);
    ASSERT_TRUE(finished.Scheme) << finished.Error;
    EXPECT_EQ(finished.Scheme->Nodes[1].Name, "новый");
    EXPECT_EQ(finished.Scheme->Backgrounds[1]->Pixels[0] & 0xFFFFFF, 2u);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"plan.im1", "plan.stm"}));

    ASSERT_EQ(SaveProjectFile(older, project, ','), std::nullopt);
    WriteAll(dir / ("plan.im1.tmp-" + ended + "-0"), "new picture");
    WriteAll(project + ".tmp-" + ended + "-1", newProject);
    WriteAll(project + ".journal-" + ended, journal("en"));
    const ProjectReadResult kept = ReadProjectFile(project);
    ASSERT_TRUE(kept.Scheme) << kept.Error;
    EXPECT_EQ(kept.Scheme->Nodes[1].Name, older.Nodes[1].Name);
    EXPECT_EQ(kept.Scheme->Backgrounds[1]->Pixels[0] & 0xFFFFFF, 1u);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"plan.im1", "plan.stm"}));
}

// A save killed at any moment leaves, after the next opening, the old set
// of files or the new one and nothing else: in 2 of 60 kills the new
// pictures used to stand beside the old project file. The saving process
// writes two versions in turn, each with its own pictures; it is killed at
// points spread over its saves.
TEST(SafeFile, SaveKilledAnywhereLeavesTheOldOrTheNewSet)
{
    TempDir dir;
    const std::string project = dir / "plan.stm";
    auto version = [](std::uint32_t v) {
        TPipeLine s = test::Corridor();
        s.EtagCount = 2;
        s.Nodes[1].Name = "версия " + std::to_string(v);
        for (int floor = 1; floor <= 2; ++floor)
            s.Backgrounds[floor] =
                std::make_shared<const Bitmap>(Bitmap{64, 64, std::vector<std::uint32_t>(64 * 64, v * 16 + floor)});
        return s;
    };
    const TPipeLine versions[] = {version(1), version(2)};
    ASSERT_EQ(SaveProjectFile(versions[0], project, ','), std::nullopt);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) SaveProjectFile(versions[i % 2], project, ',');
    const auto save = (std::chrono::steady_clock::now() - start) / 20;

    constexpr int kKills = 120;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (std::uint32_t i = 0;; ++i) SaveProjectFile(versions[i % 2], project, ',');
        }
        // Through the first three saves, a little further each time.
        std::this_thread::sleep_for(save / 2 + save * 3 * kill / kKills);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const ProjectReadResult read = ReadProjectFile(project);
        ASSERT_TRUE(read.Scheme) << read.Error;
        const std::string& name = read.Scheme->Nodes[1].Name;
        const std::uint32_t v = name == "версия 1" ? 1 : 2;
        ASSERT_EQ(name, "версия " + std::to_string(v)) << "kill " << kill;
        for (int floor = 1; floor <= 2; ++floor) {
            ASSERT_TRUE(read.Scheme->Backgrounds[floor]) << "kill " << kill;
            EXPECT_EQ(read.Scheme->Backgrounds[floor]->Pixels[0] & 0xFFFFFF, v * 16 + floor)
                << "kill " << kill << ": the picture of floor " << floor << " is not of the project's version";
        }
        EXPECT_EQ(dir.Names(), (std::vector<std::string>{"plan.im1", "plan.im2", "plan.stm"})) << "kill " << kill;
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
}  // namespace stelmar

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "model/IniFile.h"
#include "model/RecentFiles.h"
#include "model/Settings.h"
#include "model/UserFolders.h"
#include "tests/TestFiles.h"

namespace stelmar {
namespace {

namespace fs = std::filesystem;

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

TEST(IniFile, ReadsBothLineEndsAndMatchesNamesWithoutCase)
{
    TempDir dir;
    WriteAll(dir / "a.ini", "stray=1\r\n[Area]\r\n Width = 6 \r\n; comment\r\n\r\n[node]\nwidth=7\nColor=32768\n[AREA]\nwidth=9\n");
    const IniFile ini = IniFile::Load(dir / "a.ini");
    EXPECT_EQ(ini.Get("AREA", "width"), "6");  // the first of duplicate sections counts
    EXPECT_EQ(ini.Get("NODE", "COLOR"), "32768");
    EXPECT_EQ(ini.Get("node", "width"), "7");
    EXPECT_EQ(ini.Get("AREA", "stray"), std::nullopt);
    EXPECT_EQ(ini.Get("PARAMS", "width"), std::nullopt);
    EXPECT_EQ(IniFile::Load(dir / "missing.ini").Text(), "");
}

TEST(IniFile, SetReplacesInPlaceAndAppendsNewKeysToTheirSection)
{
    IniFile ini;
    ini.Set("AREA", "width", "6");
    ini.Set("NODE", "width", "7");
    ini.Set("area", "Color", "1");
    ini.Set("Area", "WIDTH", "5");
    ini.Set("PATH", "path_1", "/home/user/План.stm");
    EXPECT_EQ(ini.Text(), "[AREA]\r\nwidth=5\r\nColor=1\r\n[NODE]\r\nwidth=7\r\n[PATH]\r\npath_1=/home/user/\xcf\xeb\xe0\xed.stm\r\n");
}

TEST(IniFile, StoresWindows1251AndDegradesWhatItCannotHold)
{
    TempDir dir;
    IniFile ini;
    ini.Set("FONT", "name", "Шрифт");
    ini.Set("FONT", "other", "a中b\nc");
    ASSERT_EQ(ini.Save(dir / "f.ini"), std::nullopt);
    EXPECT_EQ(ReadAll(dir / "f.ini"), "[FONT]\r\nname=\xd8\xf0\xe8\xf4\xf2\r\nother=a?b c\r\n");
    const IniFile back = IniFile::Load(dir / "f.ini");
    EXPECT_EQ(back.Get("font", "NAME"), "Шрифт");

    EXPECT_TRUE(IniFile::Representable("/home/user/План этажа.stm"));
    EXPECT_FALSE(IniFile::Representable("/home/user/中.stm"));
    EXPECT_FALSE(IniFile::Representable("/tmp/a\nb.stm"));
    EXPECT_FALSE(IniFile::Representable("/tmp/a.stm "));
}

// The file a default scheme and window layout produce, byte for byte.
constexpr const char* kDefaultSettingsText =
    "[AREA]\r\nwidth=6\r\nColor=32768\r\nDColor=32768\r\nLupColor=32768\r\nLdownDColor=32768\r\n"
    "dl_str=13\r\nangle_str=0,24\r\n"
    "[NODE]\r\nwidth=7\r\nColor=32768\r\nLNum=1\r\n"
    "[PARAMS]\r\nstr_v=0\r\nraz_vr=0\r\nvr_sk=0\r\nFull_Report=1\r\nprecision=3\r\nQuestionMark=1\r\n"
    "WSpaceG=2000\r\nWSpaceV=2000\r\nShowNumPeople=0\r\n"
    "[FONT]\r\nname=arial\r\nheight=12\r\ncolor=0\r\n"
    "[PANELS]\r\nmain_pos=0\r\nmain_row=0\r\nmain_dock=TBDockTop\r\n"
    "undorendo_pos=1\r\nundorendo_row=0\r\nundorendo_dock=TBDockTop\r\n"
    "elements_pos=0\r\nelements_row=0\r\nelements_dock=TBDockLeft\r\n"
    "etag_pos=2\r\netag_row=0\r\netag_dock=TBDockTop\r\n"
    "calculate_pos=3\r\ncalculate_row=0\r\ncalculate_dock=TBDockTop\r\n"
    "Help_pos=4\r\nHelp_row=0\r\nHelp_dock=TBDockTop\r\n"
    "[VIEW]\r\nFLeft=0\r\nFTop=0\r\nFWidth=881\r\nFHeight=567\r\nMaximized=0\r\n";

TEST(Settings, DefaultSaveWritesEveryKeyInOrder)
{
    TempDir dir;
    ASSERT_EQ(SaveSettings(TPipeLine{}, WindowLayout{}, dir.Folder(), ','), std::nullopt);
    EXPECT_EQ(ReadAll(dir / "settings.ini"), kDefaultSettingsText);

    // Saving over an existing file keeps its order and keys it does not know.
    WriteAll(dir / "settings.ini", "[VIEW]\r\nMaximized=1\r\nExtra=x\r\n");
    ASSERT_EQ(SaveSettings(TPipeLine{}, WindowLayout{}, dir.Folder(), '.'), std::nullopt);
    const std::string text = ReadAll(dir / "settings.ini");
    EXPECT_EQ(text.rfind("[VIEW]\r\nMaximized=0\r\nExtra=x\r\nFLeft=0\r\n", 0), 0u);
    EXPECT_NE(text.find("angle_str=0.24\r\n"), std::string::npos);
}

TEST(Settings, FirstRunGivesTheDefaultsAndKeepsCurrentColoursFontAndBounds)
{
    TempDir dir;
    TPipeLine s;  // start-up values: area width 5, label offset 1
    s.Color = 0x0000FF;
    s.Font.Name = "Liberation Sans";
    s.Precision = 7;
    s.FullReport = false;
    s.QuestionMark = false;
    s.StrV = true;
    WindowLayout layout;
    layout.Left = 40;
    layout.Toolbars[kTBEtag] = {9, 2, "nil"};

    LoadSettings(s, layout, dir.Folder());
    EXPECT_EQ(s.AreaWidth, 6);
    EXPECT_EQ(s.NodeWidth, 7);
    EXPECT_EQ(s.LNum, 2);
    EXPECT_EQ(s.DlStr, 13);
    EXPECT_DOUBLE_EQ(s.AngleStr, 0.24);
    EXPECT_EQ(s.Precision, 3);
    EXPECT_TRUE(s.FullReport);
    EXPECT_TRUE(s.QuestionMark);
    EXPECT_FALSE(s.StrV);
    EXPECT_FALSE(s.RazVr);
    EXPECT_FALSE(s.VrSk);
    EXPECT_FALSE(s.ShowNumPeople);
    EXPECT_EQ(s.WSpaceG, 2000);
    EXPECT_EQ(s.WSpaceV, 2000);
    EXPECT_EQ(s.Color, 0x0000FFu);
    EXPECT_EQ(s.NodeColor, 0x008000u);
    EXPECT_EQ(s.Font.Name, "Liberation Sans");
    EXPECT_EQ(s.Font.Height, 12);
    EXPECT_EQ(layout.Left, 40);
    EXPECT_EQ(layout.Width, 881);
    EXPECT_EQ(layout.Toolbars[kTBEtag].Pos, 2);
    EXPECT_EQ(layout.Toolbars[kTBEtag].Dock, "TBDockTop");
    EXPECT_EQ(layout.Toolbars[kTBElements].Dock, "TBDockLeft");
}

TEST(Settings, RoundTripExceptFixedWidthsAndQuestionMark)
{
    TempDir dir;
    TPipeLine s;
    s.AreaWidth = 9;
    s.NodeWidth = 12;
    s.QuestionMark = false;
    s.LNum = 4;
    s.DlStr = 20;
    s.AngleStr = 0.45;
    s.Color = 1;
    s.DColor = 2;
    s.LupColor = 0xFFFFFF;
    s.LdownDColor = 4;
    s.NodeColor = 5;
    s.StrV = s.RazVr = s.VrSk = s.ShowNumPeople = true;
    s.FullReport = false;
    s.Precision = 9;
    s.Font = {"Обычный шрифт", -15, 0x0000FF};
    s.WSpaceG = 4000;
    s.WSpaceV = 500;
    WindowLayout layout;
    layout.Toolbars[kTBMain] = {120, 1, "nil"};
    layout.Toolbars[kTBHelp] = {0, 3, "TBDockleft"};
    layout = {layout.Toolbars, -8, -8, 1936, 1056, true, 100, {}};
    ASSERT_EQ(SaveSettings(s, layout, dir.Folder(), ','), std::nullopt);

    TPipeLine t;
    WindowLayout u;
    LoadSettings(t, u, dir.Folder());
    EXPECT_EQ(t.AreaWidth, 6);
    EXPECT_EQ(t.NodeWidth, 7);
    EXPECT_TRUE(t.QuestionMark);
    EXPECT_EQ(t.LNum, 4);
    EXPECT_EQ(t.DlStr, 20);
    EXPECT_DOUBLE_EQ(t.AngleStr, 0.45);
    EXPECT_EQ(std::vector<TColor>({t.Color, t.DColor, t.LupColor, t.LdownDColor, t.NodeColor}),
              std::vector<TColor>({1, 2, 0xFFFFFF, 4, 5}));
    EXPECT_TRUE(t.StrV && t.RazVr && t.VrSk && t.ShowNumPeople);
    EXPECT_FALSE(t.FullReport);
    EXPECT_EQ(t.Precision, 9);
    EXPECT_EQ(t.Font.Name, "Обычный шрифт");
    EXPECT_EQ(t.Font.Height, -15);
    EXPECT_EQ(t.Font.Color, 0x0000FFu);
    EXPECT_EQ(t.WSpaceG, 4000);
    EXPECT_EQ(t.WSpaceV, 500);
    EXPECT_EQ(u.Toolbars[kTBMain].Pos, 120);
    EXPECT_EQ(u.Toolbars[kTBMain].Row, 1);
    EXPECT_EQ(u.Toolbars[kTBMain].Dock, "nil");
    EXPECT_EQ(u.Toolbars[kTBHelp].Dock, "TBDockleft");
    EXPECT_EQ(u.Left, -8);
    EXPECT_EQ(u.Height, 1056);
    EXPECT_TRUE(u.Maximized);
}

TEST(Settings, BadValueFallsBackForThatKeyOnly)
{
    TempDir dir;
    WriteAll(dir / "settings.ini",
               "[AREA]\r\nwidth=999\r\nColor=green\r\nDColor=-1\r\nLupColor=+255\r\ndl_str=13.5\r\nangle_str=abc\r\n"
               "[NODE]\r\nLNum=-3\r\nColor=\r\n"
               "[PARAMS]\r\nstr_v=yes\r\nraz_vr=2\r\nFull_Report=0\r\nprecision=12\r\n"
               "WSpaceG=-5\r\nWSpaceV=3000\r\nShowNumPeople=1\r\n"
               "[FONT]\r\nname=Times New Roman\r\nheight=0\r\ncolor=99999999999999999999\r\n"
               "[PANELS]\r\nmain_pos=x\r\nmain_row=2\r\netag_dock=nil\r\n"
               "[VIEW]\r\nFWidth=-100\r\nFHeight=700\r\n");
    TPipeLine s;
    s.Color = s.DColor = s.NodeColor = 0x123456;
    s.Font.Color = 7;
    WindowLayout layout;
    LoadSettings(s, layout, dir.Folder());
    EXPECT_EQ(s.AreaWidth, 6);
    EXPECT_EQ(s.Color, 0x123456u);
    EXPECT_EQ(s.DColor, 0x123456u);
    EXPECT_EQ(s.LupColor, 255u);
    EXPECT_EQ(s.DlStr, 13);
    EXPECT_DOUBLE_EQ(s.AngleStr, 0.24);
    EXPECT_EQ(s.LNum, 2);
    EXPECT_EQ(s.NodeColor, 0x123456u);
    EXPECT_FALSE(s.StrV);
    EXPECT_TRUE(s.RazVr);
    EXPECT_FALSE(s.FullReport);
    EXPECT_EQ(s.Precision, 3);
    EXPECT_EQ(s.WSpaceG, 2000);
    EXPECT_EQ(s.WSpaceV, 3000);
    EXPECT_TRUE(s.ShowNumPeople);
    EXPECT_EQ(s.Font.Name, "Times New Roman");
    EXPECT_EQ(s.Font.Height, 12);
    EXPECT_EQ(s.Font.Color, 7u);
    EXPECT_EQ(layout.Toolbars[kTBMain].Pos, 0);
    EXPECT_EQ(layout.Toolbars[kTBMain].Row, 2);
    EXPECT_EQ(layout.Toolbars[kTBEtag].Dock, "nil");
    EXPECT_EQ(layout.Width, 881);
    EXPECT_EQ(layout.Height, 700);

    WriteAll(dir / "settings.ini", "[AREA]\nangle_str=0.3\n[FONT]\nname=\n");
    LoadSettings(s, layout, dir.Folder());
    EXPECT_DOUBLE_EQ(s.AngleStr, 0.3);
    EXPECT_EQ(s.Font.Name, "Times New Roman");
}

TEST(Settings, UnwritableFolderReportsTheConfigurationError)
{
    TempDir dir;
    const std::string missing = dir / "no-such-folder/";
    EXPECT_EQ(SaveSettings(TPipeLine{}, WindowLayout{}, missing, ','), kConfigWriteFailed);
    EXPECT_EQ(AddRecent(missing, "/a.stm"), kConfigWriteFailed);
    EXPECT_EQ(PushRecent(missing, "/a.stm"), kConfigWriteFailed);
    EXPECT_EQ(ReadRecent(missing)[0], "none");
}

TEST(Settings, FolderInPlaceOfTheFilesReadsAsDefaults)
{
    TempDir dir;
    fs::create_directory(dir / "settings.ini");
    fs::create_directory(dir / "reopen.ini");
    TPipeLine s;
    WindowLayout layout;
    LoadSettings(s, layout, dir.Folder());
    EXPECT_EQ(s.Precision, 3);
    EXPECT_EQ(ReadRecent(dir.Folder())[0], "none");
    EXPECT_EQ(SaveSettings(s, layout, dir.Folder(), ','), kConfigWriteFailed);
}

TEST(Settings, PipesInPlaceOfTheFilesAreNotWaitedFor)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "settings.ini").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "reopen.ini").c_str(), 0600), 0);
    TPipeLine s;
    WindowLayout layout;
    LoadSettings(s, layout, dir.Folder());
    EXPECT_EQ(s.WSpaceG, 2000);
    EXPECT_EQ(ReadRecent(dir.Folder())[0], "none");
    EXPECT_EQ(IniFile::Load(dir / "settings.ini").Text(), "");
}

// Keys of other programs made the written file larger than the reading
// limit, and the next start lost every setting with it.
TEST(Settings, WhatIsWrittenIsReadBackWhateverUnknownKeysTheFileHeld)
{
    TempDir dir;
    std::string text = "[VIEW]\r\nFLeft=5\r\nOld=first\r\n[OTHER]\r\n";
    for (int i = 0; text.size() < IniFile::kMaxSize - 100; ++i)
        text += "key" + std::to_string(i) + "=" + std::string(60, 'v') + "\r\n";
    text += "[LAST]\r\nNewest=1\r\n";
    ASSERT_LE(text.size(), IniFile::kMaxSize);
    WriteAll(dir / "settings.ini", text);

    TPipeLine s;
    s.WSpaceG = 3000;
    WindowLayout layout;
    layout.Left = 123;
    layout.Maximized = true;
    layout.ServiceUrl = "http://calc.example:8080";
    ASSERT_EQ(SaveSettings(s, layout, dir.Folder(), ','), std::nullopt);
    const std::string written = ReadAll(dir / "settings.ini");
    EXPECT_LE(written.size(), IniFile::kMaxSize);
    // The newest unknown keys went first; the oldest stay.
    EXPECT_EQ(written.find("[LAST]"), std::string::npos);
    EXPECT_NE(written.find("Old=first\r\n"), std::string::npos);
    EXPECT_NE(written.find("key0="), std::string::npos);

    TPipeLine back;
    WindowLayout backLayout;
    LoadSettings(back, backLayout, dir.Folder());
    EXPECT_EQ(back.WSpaceG, 3000);
    EXPECT_EQ(backLayout.Left, 123);
    EXPECT_TRUE(backLayout.Maximized);
    EXPECT_EQ(backLayout.ServiceUrl, "http://calc.example:8080");

    // A service address kept from the file is the program's key too.
    WindowLayout noUrl;
    noUrl.Left = 7;
    ASSERT_EQ(SaveSettings(s, noUrl, dir.Folder(), ','), std::nullopt);
    LoadSettings(back, backLayout, dir.Folder());
    EXPECT_EQ(backLayout.Left, 7);
    EXPECT_EQ(backLayout.ServiceUrl, "http://calc.example:8080");
}

TEST(IniFile, SaveLeavesOutUnknownKeysLastFirstAndNeverItsOwn)
{
    TempDir dir;
    const std::string big(IniFile::kMaxSize / 4, 'x');
    WriteAll(dir / "a.ini", "[A]\r\nu1=" + big + "\r\nown=1\r\n[B]\r\nu2=" + big + "\r\n[C]\r\n[D]\r\nu3=" +
                                  big + "\r\n");
    IniFile ini = IniFile::Load(dir / "a.ini");
    ini.Set("A", "own", "2");
    ini.Set("E", "new", big);
    ini.Set("E", "more", big);
    ASSERT_GT(ini.Text().size(), IniFile::kMaxSize);
    ASSERT_EQ(ini.Save(dir / "a.ini"), std::nullopt);
    EXPECT_EQ(ReadAll(dir / "a.ini"),
              "[A]\r\nu1=" + big + "\r\nown=2\r\n[E]\r\nnew=" + big + "\r\nmore=" + big + "\r\n");

    // When the program's own keys alone exceed the limit, the file stays.
    ini.Set("E", "third", big);
    ini.Set("E", "fourth", big);
    EXPECT_EQ(ini.Save(dir / "a.ini"), "файл слишком велик");
    EXPECT_EQ(IniFile::Load(dir / "a.ini").Get("A", "own"), "2");
}

std::array<std::string, kRecentCount> List(std::initializer_list<std::string> first)
{
    std::array<std::string, kRecentCount> list;
    list.fill("none");
    std::copy(first.begin(), first.end(), list.begin());
    return list;
}

TEST(RecentFiles, AddRecentKeepsOneEntryPerPathNewestFirst)
{
    TempDir dir;
    const std::string f = dir.Folder();
    EXPECT_EQ(ReadRecent(f), List({}));
    for (int i = 0; i < 3; ++i) ASSERT_EQ(AddRecent(f, "/p/План.stm"), std::nullopt);
    EXPECT_EQ(ReadRecent(f), List({"/p/План.stm"}));

    AddRecent(f, "/p/b.stm");
    AddRecent(f, "/p/c.stm");
    AddRecent(f, "/p/b.stm");
    EXPECT_EQ(ReadRecent(f), List({"/p/b.stm", "/p/c.stm", "/p/План.stm"}));
    AddRecent(f, "/p/b.STM");  // paths compare with case
    EXPECT_EQ(ReadRecent(f)[0], "/p/b.STM");
    EXPECT_EQ(ReadRecent(f)[1], "/p/b.stm");

    for (int i = 1; i <= 10; ++i) AddRecent(f, "/f" + std::to_string(i));
    AddRecent(f, "/new");
    EXPECT_EQ(ReadRecent(f), List({"/new", "/f10", "/f9", "/f8", "/f7", "/f6", "/f5", "/f4", "/f3", "/f2"}));
    AddRecent(f, "/f2");  // the last entry moves to the top, nothing is lost
    EXPECT_EQ(ReadRecent(f), List({"/f2", "/new", "/f10", "/f9", "/f8", "/f7", "/f6", "/f5", "/f4", "/f3"}));
}

TEST(RecentFiles, PushRecentShiftsWithoutRemovingAndOddPathsAreNotRecorded)
{
    TempDir dir;
    const std::string f = dir.Folder();
    WriteAll(dir / "reopen.ini", "[PATH]\r\npath_1=/a\r\npath_3=/c\r\n");
    ASSERT_EQ(PushRecent(f, "/c"), std::nullopt);
    EXPECT_EQ(ReadRecent(f), List({"/c", "/a", "none", "/c"}));
    PushRecent(f, "/c");
    EXPECT_EQ(ReadRecent(f), List({"/c", "/c", "/a", "none", "/c"}));

    EXPECT_EQ(AddRecent(f, "/x/中.stm"), std::nullopt);
    EXPECT_EQ(PushRecent(f, "/x/a\nb.stm"), std::nullopt);
    EXPECT_EQ(ReadRecent(f), List({"/c", "/c", "/a", "none", "/c"}));
}

// Sets environment variables for one test and puts the old values back.
class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kNames) {
            const char* v = std::getenv(name);
            saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
            ::unsetenv(name);
        }
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved_)
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }

    static constexpr const char* kNames[] = {"XDG_CONFIG_HOME", "HOME", "XDG_RUNTIME_DIR", "TMPDIR"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST_F(FoldersTest, ConfigFolderFollowsXdgConfigHomeOrHome)
{
    TempDir dir;
    ::setenv("XDG_CONFIG_HOME", (dir / "cfg").c_str(), 1);
    EXPECT_EQ(ConfigFolder(), dir / "cfg/stelmar/");
    EXPECT_EQ(ModeOf(dir / "cfg"), 0700u);
    EXPECT_EQ(ModeOf(dir / "cfg/stelmar"), 0700u);

    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    ::setenv("HOME", (dir / "home").c_str(), 1);
    EXPECT_EQ(ConfigFolder(), dir / "home/.config/stelmar/");
    EXPECT_TRUE(fs::is_directory(dir / "home/.config/stelmar"));
}

TEST_F(FoldersTest, TempFolderIsPrivateToTheUser)
{
    TempDir dir;
    const std::string uid = std::to_string(::geteuid());
    fs::create_directory(dir / "run");
    ::setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
    EXPECT_EQ(TempFolder(), dir / "run/stelmar/");
    EXPECT_EQ(ModeOf(dir / "run/stelmar"), 0700u);

    // A runtime folder that does not exist is passed over for TMPDIR.
    ::setenv("XDG_RUNTIME_DIR", (dir / "gone").c_str(), 1);
    ::setenv("TMPDIR", (dir / "").c_str(), 1);
    EXPECT_EQ(TempFolder(), dir / "stelmar-" + uid + "/");
    EXPECT_EQ(ModeOf(dir / "stelmar-" + uid), 0700u);

    // A folder of that name that others can enter, or a link, is refused.
    fs::create_directory(dir / "open");
    ::mkdir((dir / "open/stelmar-" + uid).c_str(), 0755);
    ::chmod((dir / "open/stelmar-" + uid).c_str(), 0755);
    ::setenv("TMPDIR", (dir / "open").c_str(), 1);
    const std::string fallback = TempFolder();
    EXPECT_EQ(fallback.rfind(dir / "open/stelmar-" + uid + "-", 0), 0u) << fallback;
    EXPECT_EQ(ModeOf(fallback), 0700u);
    EXPECT_EQ(TempFolder(), fallback);
    EXPECT_EQ(fallback, dir / "open/stelmar-" + uid + "-1/");
    // The next numbered name when that one is spoilt too.
    ::chmod((dir / "open/stelmar-" + uid + "-1").c_str(), 0755);
    EXPECT_EQ(TempFolder(), dir / "open/stelmar-" + uid + "-2/");

    fs::create_directory(dir / "linked");
    fs::create_directory_symlink(dir / "run/stelmar", dir / "linked/stelmar-" + uid);
    ::setenv("TMPDIR", (dir / "linked").c_str(), 1);
    EXPECT_NE(TempFolder(), dir / "linked/stelmar-" + uid + "/");
}

}  // namespace
}  // namespace stelmar

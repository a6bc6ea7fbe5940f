#include "platform/files.h"
#include "platform/system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <regex>
#include <string>
#include <thread>

namespace orlo::platform {
namespace {

std::string UniqueSuffix() {
    std::random_device rd;
    return std::to_string(rd()) + std::to_string(rd());
}

// A scratch directory whose name needs quoting and is not ASCII.
class ScratchDir {
  public:
    ScratchDir() : path_(TempDirectory() / PathFromUtf8("orlo test (平台) " + UniqueSuffix())) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

bool WaitForFile(const std::filesystem::path& file) {
    for (int i = 0; i < 400; ++i) {
        if (std::filesystem::exists(file) && std::filesystem::file_size(file) > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

TEST(LocalDateTime, HasTheFixedLayout) {
    EXPECT_TRUE(std::regex_match(LocalDateTimeText(), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << LocalDateTimeText();
}

// Each pair differs in a character that a careless mapping of mutex names to file names would
// merge, so the second name must stay free when the first is created.
struct MutexNames {
    const char* name;
    const char* neighbour;
};

class NamedMutex : public testing::TestWithParam<MutexNames> {};

TEST_P(NamedMutex, ExistsOnceCreatedAndOnlyUnderItsName) {
    const std::string suffix = UniqueSuffix();
    const std::string name = std::string("_Orlo_LOGIN_") + GetParam().name + suffix;
    const std::string neighbour = std::string("_Orlo_LOGIN_") + GetParam().neighbour + suffix;
    EXPECT_FALSE(NamedMutexExists(name));
    EXPECT_FALSE(NamedMutexExists(neighbour));
    CreateNamedMutex(name);
    EXPECT_TRUE(NamedMutexExists(name));
    EXPECT_FALSE(NamedMutexExists(neighbour));
    CreateNamedMutex(name);  // a second creation opens the same mutex
    EXPECT_TRUE(NamedMutexExists(name));
    CreateNamedMutex(neighbour);
    EXPECT_TRUE(NamedMutexExists(neighbour));
}

INSTANTIATE_TEST_SUITE_P(Names,
                         NamedMutex,
                         testing::Values(MutexNames{"Demo", "demo"},
                                         MutexNames{"a b", "a_b"},
                                         MutexNames{"a b", "a%20b"},
                                         MutexNames{"传奇登陆器", "传奇登录器"},
                                         MutexNames{"a/b.c", "a_b_c"}));

TEST(Drives, SystemDriveIsALetterAndAColonWhereThereAreDrives) {
    const std::string drive = SystemDrive();
#ifdef _WIN32
    ASSERT_TRUE(std::regex_match(drive, std::regex("[A-Za-z]:"))) << drive;
    EXPECT_TRUE(IsFixedDrive(drive + "/"));
    EXPECT_TRUE(IsFixedDrive(drive + "\\"));
#else
    EXPECT_EQ(drive, "");
    EXPECT_FALSE(IsFixedDrive("C:/"));
#endif
}

TEST(NewTempFile, MakesDistinctEmptyFilesInTheTempDirectoryWithThePrefix) {
    for (const char* prefix : {"tmp", "orl"}) {
        SCOPED_TRACE(prefix);
        auto first = NewTempFile(prefix);
        auto second = NewTempFile(prefix);
        ASSERT_TRUE(first && second);
        EXPECT_NE(*first, *second);
        for (const auto& file : {*first, *second}) {
            EXPECT_TRUE(std::filesystem::is_regular_file(file));
            EXPECT_EQ(std::filesystem::file_size(file), 0u);
            EXPECT_EQ(PathToUtf8(file.filename()).rfind(prefix, 0), 0u) << PathToUtf8(file);
            EXPECT_TRUE(std::filesystem::equivalent(file.parent_path(), TempDirectory()));
            std::filesystem::remove(file);
        }
    }
}

TEST(StartHiddenIdle, RunsTheProgramInTheWorkingDirectory) {
    ScratchDir dir;
#ifdef _WIN32
    // Started through the command interpreter; the folder's blanks and parentheses test the quoting.
    auto program = dir.path() / "restart.bat";
    std::ofstream(program) << "@echo started> started.txt\r\n";
#else
    auto program = dir.path() / "restart.sh";
    std::ofstream(program) << "#!/bin/sh\nnice > niceness.txt\necho started > started.txt\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
#endif
    ASSERT_TRUE(StartHiddenIdle(program, dir.path()));
    ASSERT_TRUE(WaitForFile(dir.path() / "started.txt"));
#ifndef _WIN32
    EXPECT_EQ(ReadWholeFile(dir.path() / "niceness.txt", 100), "19\n");
#endif
}

TEST(StartHiddenIdle, FailsForAMissingProgram) {
    ScratchDir dir;
    EXPECT_FALSE(StartHiddenIdle(dir.path() / "missing.exe", dir.path()));
}

#ifndef _WIN32
TEST(StartHiddenIdle, RefusesABatchFileWithoutACommandInterpreter) {
    ScratchDir dir;
    auto program = dir.path() / "restart.BAT";
    std::ofstream(program) << "@echo off\r\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    EXPECT_FALSE(StartHiddenIdle(program, dir.path()));
}
#endif

TEST(ExecutableResource, UnknownNameGivesNothing) { EXPECT_FALSE(ExecutableResource("ORLO_NO_SUCH_RESOURCE")); }

#ifdef _WIN32
TEST(ExecutableResource, ReturnsTheRawDataBytes) {
    // Linked into this test program from test_resource.bin.
    auto bytes = ExecutableResource("ORLOTEST");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(AsString(*bytes), "orlo resource\n");
}
#else
TEST(ExecutableResource, HeadlessBuildCarriesAStandInForTheRarLibrary) {
    auto bytes = ExecutableResource("UNRAR");
    ASSERT_TRUE(bytes);
    EXPECT_FALSE(bytes->empty());
}
#endif

TEST(CurrentDirectory, ChangesOnlyToAnExistingDirectory) {
    ScratchDir dir;
    const auto original = CurrentDirectory();
    ASSERT_FALSE(original.empty());
    ASSERT_TRUE(SetCurrentDirectory(dir.path()));
    EXPECT_TRUE(std::filesystem::equivalent(CurrentDirectory(), dir.path()));
    EXPECT_FALSE(SetCurrentDirectory(dir.path() / "missing"));
    EXPECT_TRUE(std::filesystem::equivalent(CurrentDirectory(), dir.path()));
    ASSERT_TRUE(SetCurrentDirectory(original));
}

#ifndef _WIN32
// The Windows box waits for a click, so only the headless form is shown here.
TEST(MessageBox, EveryBoxIsRecordedInOrder) {
    const auto before = RecordedMessageBoxes().size();
    ShowMessageBox("启动登陆器失败", "提示", MessageIcon::Error);
    ShowMessageBox("second", "caption", MessageIcon::Information);
    auto boxes = RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), before + 2);
    EXPECT_EQ(boxes[before].text, "启动登陆器失败");
    EXPECT_EQ(boxes[before].caption, "提示");
    EXPECT_EQ(boxes[before].icon, MessageIcon::Error);
    EXPECT_EQ(boxes[before + 1].text, "second");
    EXPECT_EQ(boxes[before + 1].icon, MessageIcon::Information);
}
#endif

}  // namespace
}  // namespace orlo::platform

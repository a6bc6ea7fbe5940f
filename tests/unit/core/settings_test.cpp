#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

#include "core/settings.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace orlo {
namespace {

namespace fs = std::filesystem;

// "张三" in code page 936.
constexpr std::string_view kZhangSanGbk = "\xD5\xC5\xC8\xFD";

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = platform::TempDirectory() / ("orlo-settings-" + std::string(info->name()) + "-" +
                                            std::to_string(counter++) + "-" + std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        ASSERT_TRUE(fs::create_directories(dir_));
        // Named as the launcher names it, after a Chinese title (under Wine this needs the host's
        // zh_CN.UTF-8 locale, which the setup generates).
        file_ = dir_ / platform::PathFromUtf8("传奇登录器.ini");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // Test files are written as a Chinese Windows would: text in code page 936.
    void WriteAnsi(std::string_view utf8) { WriteBytes(platform::Utf8ToAnsi(utf8).value()); }
    void WriteBytes(std::string_view bytes) { ASSERT_TRUE(platform::ReplaceFileContents(file_, bytes)); }
    std::string ReadBytes() { return platform::ReadWholeFile(file_, 1 << 20).value_or("<unreadable>"); }

    static LauncherSettings NonDefault() {
        LauncherSettings s;
        s.sAccount = "previous";
        s.nServerID = 42;
        s.nResolutionIndex = 2;
        s.bFullScreen = false;
        s.bWaitVBlank = false;
        return s;
    }

    fs::path dir_;
    fs::path file_;
};

void ExpectSettings(const LauncherSettings& s,
                    std::string_view account,
                    int sid,
                    int resolution,
                    bool full_screen,
                    bool vsync) {
    EXPECT_EQ(s.sAccount, account);
    EXPECT_EQ(s.nServerID, sid);
    EXPECT_EQ(s.nResolutionIndex, resolution);
    EXPECT_EQ(s.bFullScreen, full_screen);
    EXPECT_EQ(s.bWaitVBlank, vsync);
}

TEST_F(SettingsFile, NameIsTheTitleWithIniInTheTemporaryDirectory) {
    const fs::path name = GetSettingsFileName("传奇登录器");
    EXPECT_EQ(name.parent_path(), platform::TempDirectory());
    EXPECT_EQ(platform::PathToUtf8(name.filename()), "传奇登录器.ini");
}

TEST_F(SettingsFile, MissingFileLeavesEveryValueAsItWas) {
    LauncherSettings s = NonDefault();
    s.sResolution = "1600x900";
    ReadSettings(file_, s);
    ExpectSettings(s, "previous", 42, 2, false, false);
    EXPECT_EQ(s.sResolution, "1600x900");
}

TEST_F(SettingsFile, ReadsTheCurrentLayoutAndDefaultsMissingKeys) {
    WriteAnsi("[Client]\r\nAccount=张三\r\nSID=12\r\nResolution=3\r\nFullScreen=0\r\nWaitVBlank=0\r\n");
    LauncherSettings s;
    ReadSettings(file_, s);
    ExpectSettings(s, "张三", 12, 3, false, false);

    WriteAnsi("[Client]\r\nResolution=5\r\n[客户端]\r\n默认账号=bob\r\n默认服务器=9\r\n窗口化=0\r\n");
    s = NonDefault();
    ReadSettings(file_, s);
    ExpectSettings(s, "", 0, 5, true, true);
}

TEST_F(SettingsFile, MatchesSectionAndKeyNamesInAnyLetterCase) {
    WriteAnsi("[CLIENT]\nACCOUNT=Carol\nsid=3\nresolution=1\nfullscreen=0\nWAITVBLANK=1\n");
    LauncherSettings s;
    ReadSettings(file_, s);
    ExpectSettings(s, "Carol", 3, 1, false, true);
}

TEST_F(SettingsFile, OlderSectionIsReadWhenResolutionIsAbsentOrEmpty) {
    const std::string older = "[客户端]\r\n默认账号=张三\r\n默认服务器=0x10\r\n分辨率=4\r\n窗口化=0\r\n垂直同步=1\r\n";
    struct Case {
        const char* name;
        std::string client;
    } cases[] = {
        {"no current section", ""},
        {"resolution key missing", "[Client]\r\nAccount=ignored\r\nSID=99\r\n"},
        {"resolution present but empty", "[Client]\r\nAccount=ignored\r\nResolution=  \r\nFullScreen=1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAnsi(c.client + older);
        LauncherSettings s = NonDefault();
        ReadSettings(file_, s);
        ExpectSettings(s, "张三", 16, 4, false, true);
    }
}

TEST_F(SettingsFile, SavingAnOlderFileSwitchesItToTheCurrentLayout) {
    WriteAnsi("[客户端]\r\n默认账号=张三\r\n窗口化=0\r\n");
    LauncherSettings s;
    ReadSettings(file_, s);
    ExpectSettings(s, "张三", 0, 8, false, true);

    s.nServerID = 7;
    ASSERT_TRUE(SaveSettings(file_, s));
    EXPECT_EQ(ReadBytes(), platform::Utf8ToAnsi("[客户端]\r\n默认账号=张三\r\n窗口化=0\r\n[Client]\r\nAccount=张三\r\n"
                                                "SID=7\r\nResolution=8\r\nFullScreen=0\r\nWaitVBlank=1\r\n")
                               .value());

    // The older section is still there but no longer consulted.
    s.sAccount = "李四";
    s.bFullScreen = true;
    ASSERT_TRUE(SaveSettings(file_, s));
    LauncherSettings again;
    ReadSettings(file_, again);
    ExpectSettings(again, "李四", 7, 8, true, true);
}

TEST_F(SettingsFile, NumbersReadAsDecimalOrHexadecimalAndOtherTextAsTheDefault) {
    struct Case {
        std::string_view text;
        int sid;    // default 0
        int res;    // default 8
        bool flag;  // default true
    } cases[] = {
        {"12", 12, 12, true},
        {" 12 ", 12, 12, true},
        {"-3", -3, -3, true},
        {"+4", 4, 4, true},
        {"0", 0, 0, false},
        {"0x10", 16, 16, true},
        {"0X1f", 31, 31, true},
        {"0xFFFFFFFF", -1, -1, true},
        {"0x0", 0, 0, false},
        {"abc", 0, 8, true},
        {"12abc", 0, 8, true},
        {"1.5", 0, 8, true},
        {"0x", 0, 8, true},
        {"0x1g", 0, 8, true},
        {"0x100000000", 0, 8, true},
        {"2147483647", 2147483647, 2147483647, true},
        {"-2147483648", -2147483647 - 1, -2147483647 - 1, true},
        {"2147483648", 0, 8, true},
        {"-", 0, 8, true},
        {"１２", 0, 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        const std::string v(c.text);
        // Resolution keeps a non-empty marker so the current layout is read.
        WriteAnsi("[Client]\r\nSID=" + v + "\r\nResolution=" + v + "\r\nFullScreen=" + v + "\r\nWaitVBlank=" + v +
                  "\r\n");
        LauncherSettings s = NonDefault();
        ReadSettings(file_, s);
        EXPECT_EQ(s.nServerID, c.sid);
        EXPECT_EQ(s.nResolutionIndex, c.res);
        EXPECT_EQ(s.bFullScreen, c.flag);
        EXPECT_EQ(s.bWaitVBlank, c.flag);
    }
}

TEST_F(SettingsFile, ReadsChineseAccountsInEveryByteForm) {
    std::string utf16le = "\xFF\xFE";
    for (char16_t u : std::u16string_view(u"[Client]\r\nAccount=张三\r\nResolution=1\r\n")) {
        utf16le += static_cast<char>(u & 0xFF);
        utf16le += static_cast<char>(u >> 8);
    }
    std::string utf16be = "\xFE\xFF";
    for (char16_t u : std::u16string_view(u"[Client]\r\nAccount=张三\r\nResolution=1\r\n")) {
        utf16be += static_cast<char>(u >> 8);
        utf16be += static_cast<char>(u & 0xFF);
    }
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"code page 936", "[Client]\r\nAccount=" + std::string(kZhangSanGbk) + "\r\nResolution=1\r\n"},
        {"utf-8 with mark", "\xEF\xBB\xBF[Client]\r\nAccount=张三\r\nResolution=1\r\n"},
        {"utf-16 little-endian", utf16le},
        {"utf-16 big-endian", utf16be},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(c.bytes);
        LauncherSettings s;
        ReadSettings(file_, s);
        EXPECT_EQ(s.sAccount, "张三");
        EXPECT_EQ(s.nResolutionIndex, 1);
    }
}

TEST_F(SettingsFile, SaveWritesCodePageTextAndKeepsForeignLines) {
    WriteBytes(
        "; keep me\r\n[客户端]\r\n"
        "\xC4\xAC\xC8\xCF\xD5\xCB\xBA\xC5=" +
        std::string(kZhangSanGbk) + "\r\n\r\n[client]\r\nsid=1\r\nExtra = kept \r\n\r\n[Other]\r\nk=v\r\n");
    LauncherSettings s;
    s.sAccount = "张三ก";
    s.nServerID = 3;
    s.nResolutionIndex = 9;
    s.bWaitVBlank = false;
    ASSERT_TRUE(SaveSettings(file_, s));
    EXPECT_EQ(ReadBytes(),
              "; keep me\r\n[客户端]\r\n"
              "\xC4\xAC\xC8\xCF\xD5\xCB\xBA\xC5=" +
                  std::string(kZhangSanGbk) +
                  "\r\n\r\n[client]\r\nsid=3\r\nExtra=kept\r\nAccount=" + std::string(kZhangSanGbk) +
                  "?\r\nResolution=9\r\nFullScreen=1\r\nWaitVBlank=0\r\n\r\n[Other]\r\nk=v\r\n");
    // Replaced in place: no temporary file is left beside it.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(SettingsFile, SavedValuesReadBackUnchanged) {
    LauncherSettings saved;
    saved.sAccount = "王五_player";
    saved.nServerID = -5;
    saved.nResolutionIndex = 0;
    saved.bFullScreen = false;
    saved.bWaitVBlank = true;
    ASSERT_TRUE(SaveSettings(file_, saved));
    LauncherSettings read = NonDefault();
    ReadSettings(file_, read);
    ExpectSettings(read, "王五_player", -5, 0, false, true);
}

TEST_F(SettingsFile, SaveIntoAMissingFolderFailsQuietly) {
    LauncherSettings s;
    EXPECT_FALSE(SaveSettings(dir_ / "no-such-folder" / "x.ini", s));
}

TEST_F(SettingsFile, UnreadableContentReadsAsDefaults) {
    WriteBytes(std::string("\xFF\xFE\x00", 3));
    LauncherSettings s = NonDefault();
    ReadSettings(file_, s);
    ExpectSettings(s, "", 0, 8, true, true);
}

}  // namespace
}  // namespace orlo

#include "ui/settings_dialog_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orlo::ui {
namespace {

using platform::DisplayMode;
using Texts = std::vector<std::string>;

TEST(EnumDisplayModes, ListsEachSizeOnceFromNarrowestToWidest) {
    struct Case {
        const char* what;
        std::vector<DisplayMode> modes;
        Texts expected;
    };
    const Case cases[] = {
        {"sizes repeated at several depths and refresh rates",
         {{1024, 768, 16, 60}, {1024, 768, 32, 60}, {1024, 768, 32, 75}, {800, 600, 8, 60}, {800, 600, 32, 60}},
         {"800x600", "1024x768"}},
        {"listed out of order, equal widths by height",
         {{1280, 1024, 32, 60}, {1280, 720, 32, 60}, {800, 600, 32, 60}, {1280, 800, 32, 60}, {1152, 864, 32, 60}},
         {"800x600", "1152x864", "1280x720", "1280x800", "1280x1024"}},
        {"640 wide and narrower dropped", {{640, 480, 32, 60}, {320, 200, 8, 70}, {641, 480, 32, 60}}, {"641x480"}},
        {"height does not count towards the limit", {{1024, 200, 32, 60}}, {"1024x200"}},
        {"nothing wider than 640", {{640, 480, 32, 60}, {640, 400, 16, 60}}, {"800x600", "1024x768"}},
        {"no modes at all", {}, {"800x600", "1024x768"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(EnumDisplayModes(c.modes), c.expected);
    }
}

TEST(LoadConfig, CopiesTheFlagsAndLeavesTheClassicBoxAlone) {
    for (bool on : {false, true}) {
        SCOPED_TRACE(on);
        LauncherSettings settings;
        settings.bFullScreen = on;
        settings.bWaitVBlank = on;
        settings.b3D = on;
        SettingsDialogState dialog;
        dialog.chkMainI = false;  // whatever it holds, loading does not touch it
        dialog.screen_sizes = {"800x600", "1024x768"};
        LoadConfig(dialog, settings);
        EXPECT_EQ(dialog.chkWindow, !on);
        EXPECT_EQ(dialog.chkVBlank, on);
        EXPECT_EQ(dialog.chk3D, on);
        EXPECT_FALSE(dialog.chkMainI);
    }
}

TEST(LoadConfig, SelectsTheStoredSizeElse1024x768ElseTheFirst) {
    struct Case {
        const char* what;
        Texts sizes;
        int width, height;
        int expected;
    };
    const Case cases[] = {
        {"stored size listed", {"800x600", "1024x768", "1280x1024"}, 1280, 1024, 2},
        {"stored size missing", {"800x600", "1024x768", "1280x1024"}, 1366, 768, 1},
        {"stored size and 1024x768 missing", {"1152x864", "1280x1024"}, 1366, 768, 0},
        {"empty list selects nothing", {}, 1024, 768, -1},
        {"width and height are not swapped", {"768x1024", "1024x768"}, 768, 1024, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LauncherSettings settings;
        settings.nWidth = c.width;
        settings.nHeight = c.height;
        SettingsDialogState dialog;
        dialog.screen_sizes = c.sizes;
        LoadConfig(dialog, settings);
        EXPECT_EQ(dialog.screen_size_index, c.expected);
    }
}

// A dialog whose every control differs from the settings it was loaded with.
class SettingsDialog : public testing::Test {
  protected:
    void SetUp() override {
        settings_.bFullScreen = true;
        settings_.bWaitVBlank = true;
        settings_.b3D = true;
        settings_.bNotClassicUI = false;
        settings_.nWidth = 1024;
        settings_.nHeight = 768;
        dialog_.screen_sizes = EnumDisplayModes({{800, 600, 32, 60}, {1024, 768, 32, 60}, {1280, 1024, 32, 60}});
        LoadConfig(dialog_, settings_);
        dialog_.chkMainI = false;
        dialog_.chkWindow = !dialog_.chkWindow;
        dialog_.chkVBlank = !dialog_.chkVBlank;
        dialog_.chk3D = !dialog_.chk3D;
        dialog_.screen_size_index = 2;
    }
    LauncherSettings settings_;
    SettingsDialogState dialog_;
};

TEST_F(SettingsDialog, OkCopiesEveryControlBack) {
    FormCloseQuery(dialog_, true, settings_);
    EXPECT_TRUE(settings_.bNotClassicUI);
    EXPECT_FALSE(settings_.bFullScreen);  // window mode checked
    EXPECT_FALSE(settings_.bWaitVBlank);
    EXPECT_FALSE(settings_.b3D);
    EXPECT_EQ(settings_.nWidth, 1280);
    EXPECT_EQ(settings_.nHeight, 1024);
}

TEST_F(SettingsDialog, OkWithTheClassicBoxCheckedKeepsTheClassicInterface) {
    dialog_.chkMainI = true;
    dialog_.chkWindow = false;
    FormCloseQuery(dialog_, true, settings_);
    EXPECT_FALSE(settings_.bNotClassicUI);
    EXPECT_TRUE(settings_.bFullScreen);
}

TEST_F(SettingsDialog, CancelChangesNothing) {
    const LauncherSettings before = settings_;
    FormCloseQuery(dialog_, false, settings_);
    EXPECT_EQ(settings_.bNotClassicUI, before.bNotClassicUI);
    EXPECT_EQ(settings_.bFullScreen, before.bFullScreen);
    EXPECT_EQ(settings_.bWaitVBlank, before.bWaitVBlank);
    EXPECT_EQ(settings_.b3D, before.b3D);
    EXPECT_EQ(settings_.nWidth, before.nWidth);
    EXPECT_EQ(settings_.nHeight, before.nHeight);
}

TEST_F(SettingsDialog, OkKeepsTheStoredSizeWhenTheSelectionIsNoSize) {
    const Texts malformed = {"",           "1280",       "x1024",      "1280x", "1280*1024",     "1280x1024x32", "axb",
                             " 1280x1024", "1280x1024 ", "-1280x1024", "0x0",   "99999999999x1", "12a0x1024"};
    for (const auto& text : malformed) {
        SCOPED_TRACE(text);
        settings_.nWidth = 1024;
        settings_.nHeight = 768;
        dialog_.screen_sizes = {text};
        dialog_.screen_size_index = 0;
        FormCloseQuery(dialog_, true, settings_);
        EXPECT_EQ(settings_.nWidth, 1024);
        EXPECT_EQ(settings_.nHeight, 768);
        EXPECT_FALSE(settings_.bWaitVBlank);  // the boxes are still taken
    }
    for (int index : {-1, 1}) {
        SCOPED_TRACE(index);
        dialog_.screen_sizes = {"1280x1024"};
        dialog_.screen_size_index = index;
        FormCloseQuery(dialog_, true, settings_);
        EXPECT_EQ(settings_.nWidth, 1024);
        EXPECT_EQ(settings_.nHeight, 768);
    }
}

}  // namespace
}  // namespace orlo::ui

#include "launch/system_preparation.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/files.h"
#include "platform/firewall.h"
#include "platform/system.h"
#ifndef _WIN32
#include "platform/headless_display.h"
#endif

namespace orlo {
namespace {

std::filesystem::path UniqueProgramPath() {
    std::random_device rd;
    return platform::TempDirectory() / ("orlo-firewall-" + std::to_string(rd()) + ".exe");
}

TEST(AddFirewallException, TwiceLeavesOneEntryForThePath) {
    const auto program = UniqueProgramPath();
    const auto other = UniqueProgramPath();
    // Runs everywhere, so a firewall that answers oddly is at least survived.
    AddFirewallException("OrloLogin", program);
    AddFirewallException("OrloLogin", program);
    AddFirewallException("OrloLogin", other);
    if (platform::FirewallApplicationCount(program) < 0)
        GTEST_SKIP() << "this firewall cannot list its authorised applications (Wine's has no count and no "
                        "enumeration, and its Add and Remove keep nothing)";
    EXPECT_EQ(platform::FirewallApplicationCount(program), 1);
    EXPECT_EQ(platform::FirewallApplicationCount(other), 1);
    EXPECT_EQ(platform::FirewallApplicationCount(UniqueProgramPath()), 0);
}

#ifndef _WIN32
// The emulated display of the Linux build, back to its defaults around every test.
class HeadlessDisplayTest : public testing::Test {
  protected:
    void SetUp() override {
        platform::ResetHeadlessDisplay();
        SkipEarlierBoxes();
    }
    void TearDown() override { platform::ResetHeadlessDisplay(); }
    void SkipEarlierBoxes() { boxes_before_ = platform::RecordedMessageBoxes().size(); }
    std::vector<platform::RecordedMessageBox> NewBoxes() const {
        auto boxes = platform::RecordedMessageBoxes();
        return {boxes.begin() + static_cast<std::ptrdiff_t>(boxes_before_), boxes.end()};
    }
    platform::HeadlessDisplay& display() { return platform::HeadlessDisplayState(); }

  private:
    std::size_t boxes_before_ = 0;
};

TEST_F(HeadlessDisplayTest, GetColorDepthReportsTheDisplay) {
    for (int bits : {16, 32}) {
        display().bits = bits;
        EXPECT_EQ(GetColorDepth(), bits);
    }
}

TEST_F(HeadlessDisplayTest, AnyDepthButThirtyTwoIsSwitchedToThirtyTwoSilently) {
    for (int bits : {8, 16, 24}) {
        SCOPED_TRACE(bits);
        platform::ResetHeadlessDisplay();
        display().bits = bits;
        ForceTrueColor();
        EXPECT_EQ(display().changes, 1);
        EXPECT_EQ(display().last_device, "\\\\.\\DISPLAY1");
        EXPECT_EQ(GetColorDepth(), 32);
    }
    EXPECT_TRUE(NewBoxes().empty());
}

TEST_F(HeadlessDisplayTest, ThirtyTwoBitsIsLeftAlone) {
    ForceTrueColor();
    EXPECT_EQ(display().changes, 0);
    EXPECT_TRUE(NewBoxes().empty());
}

TEST_F(HeadlessDisplayTest, RefusedChangeTellsThePlayerTheCodeAndStartUpGoesOn) {
    for (int code : {-1, 1, -2}) {  // failed, restart needed, bad mode
        SCOPED_TRACE(code);
        platform::ResetHeadlessDisplay();
        SkipEarlierBoxes();
        display().bits = 16;
        display().change_result = code;
        ForceTrueColor();
        EXPECT_EQ(GetColorDepth(), 16);
        auto boxes = NewBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text,
                  "由于您的显示器颜色位数被非法篡改,且尝试修正失败,游戏无法开启\r\n"
                  "请您手动修改颜色位数为32位真彩色!\r\n"
                  "错误原因:" +
                      std::to_string(code));
        EXPECT_EQ(boxes[0].caption, "提示");
        EXPECT_EQ(boxes[0].icon, platform::MessageIcon::Error);
    }
}

TEST_F(HeadlessDisplayTest, TheLastPrimaryDeviceIsChangedElseTheCurrentDisplay) {
    using platform::DisplayDevice;
    struct Case {
        const char* what;
        std::vector<DisplayDevice> devices;
        std::string expected;
    };
    const std::uint32_t attached = 1, primary = platform::kDisplayPrimaryDevice;
    const Case cases[] = {
        {"several adapters, none primary",
         {{"\\\\.\\DISPLAY1", attached}, {"\\\\.\\DISPLAY2", attached}, {"\\\\.\\DISPLAY3", 0}},
         ""},
        {"no adapters listed", {}, ""},
        {"primary not first",
         {{"\\\\.\\DISPLAY1", attached}, {"\\\\.\\DISPLAY2", attached | primary}},
         "\\\\.\\DISPLAY2"},
        {"two flagged primary",
         {{"\\\\.\\DISPLAY1", primary}, {"\\\\.\\DISPLAY2", primary}, {"\\\\.\\DISPLAY3", 0}},
         "\\\\.\\DISPLAY2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform::ResetHeadlessDisplay();
        display().devices = c.devices;
        display().bits = 16;
        ForceTrueColor();
        EXPECT_EQ(display().last_device, c.expected);
        EXPECT_EQ(GetColorDepth(), 32);
    }
    EXPECT_TRUE(NewBoxes().empty());
}

TEST_F(HeadlessDisplayTest, UnreadableSettingsLeaveTheDisplayAlone) {
    display().bits = 16;
    display().settings_readable = false;
    ForceTrueColor();
    EXPECT_EQ(display().changes, 0);
    EXPECT_EQ(GetColorDepth(), 16);
    EXPECT_TRUE(NewBoxes().empty());
}
#endif

#ifdef _WIN32
TEST(WindowsDisplay, ReportsOneDepthAndSomeModes) {
    const int depth = GetColorDepth();
    EXPECT_TRUE(depth == 8 || depth == 16 || depth == 24 || depth == 32) << depth;
    auto current = platform::DisplaySettings("");
    ASSERT_TRUE(current);
    EXPECT_EQ(current->bits, depth);
    EXPECT_GT(current->width, 0);
    EXPECT_GT(current->height, 0);

    auto modes = platform::DisplayModes();
    ASSERT_FALSE(modes.empty());
    bool current_listed = false;
    for (const auto& m : modes)
        current_listed |= m.width == current->width && m.height == current->height && m.bits == current->bits;
    EXPECT_TRUE(current_listed);
}

TEST(WindowsDisplay, ThePrimaryDeviceReadsAsTheCurrentDisplay) {
    std::string primary;
    for (const auto& d : platform::DisplayDevices())
        if (d.state_flags & platform::kDisplayPrimaryDevice) primary = d.name;
    ASSERT_FALSE(primary.empty());
    auto by_name = platform::DisplaySettings(primary);
    auto current = platform::DisplaySettings("");
    ASSERT_TRUE(by_name && current);
    EXPECT_EQ(by_name->bits, current->bits);
    EXPECT_EQ(by_name->width, current->width);
    EXPECT_FALSE(platform::DisplaySettings("\\\\.\\NO_SUCH_DISPLAY"));
}

TEST(WindowsDisplay, ForceTrueColorAtThirtyTwoBitsChangesNothing) {
    // A refused change would wait for a click on its message box.
    if (GetColorDepth() != 32) GTEST_SKIP() << "the display does not run at 32 bits";
    const auto boxes = platform::RecordedMessageBoxes().size();
    ForceTrueColor();
    EXPECT_EQ(GetColorDepth(), 32);
    EXPECT_EQ(platform::RecordedMessageBoxes().size(), boxes);
}
#endif

}  // namespace
}  // namespace orlo

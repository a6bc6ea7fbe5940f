// The skinned main window on the headless backend: reading a packed skin, the binding scan,
// the controls' behaviour and the backdrop, driven as a player would.
#ifndef _WIN32
#include <gtest/gtest.h>

#include "catalogue/server_tree.h"
#include "core/client_app.h"
#include "core/launcher_state.h"
#include "launcher_image.h"
#include "platform/event_loop.h"
#include "platform/headless_display.h"
#include "platform/headless_widgets.h"
#include "platform/headless_windows.h"
#include "platform/shell.h"
#include "ui/launcher_windows.h"
#include "ui/skin_stream.h"

namespace orlo::ui {
namespace {

// A 2 x 1 PNG header is all the headless backend reads of a picture.
Bytes TinyPng(std::uint32_t width, std::uint32_t height) {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (std::uint32_t v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>(v >> shift));
    return b;
}

SkinValue Int(std::int64_t n) { return {.tag = ValueTag::Int32, .integer = n}; }
SkinValue Str(const std::string& ascii) { return {.tag = ValueTag::String, .text = ascii}; }
SkinValue Utf8(const std::string& text) { return {.tag = ValueTag::Utf8String, .text = text}; }
SkinValue Ident(const std::string& name) { return {.tag = ValueTag::Ident, .text = name}; }
SkinValue Bool(bool b) { return {.tag = b ? ValueTag::True : ValueTag::False}; }
SkinValue Binary(Bytes bytes) { return {.tag = ValueTag::Binary, .binary = std::move(bytes)}; }

SkinValue StandardPicture(const std::string& kind, const Bytes& file) {
    Bytes data = {static_cast<std::uint8_t>(kind.size())};
    data.insert(data.end(), kind.begin(), kind.end());
    data.insert(data.end(), file.begin(), file.end());
    return Binary(std::move(data));
}

SkinObject Object(const std::string& cls, const std::string& name, std::vector<SkinProperty> props = {}) {
    SkinObject o;
    o.class_name = cls;
    o.name = name;
    o.properties = std::move(props);
    return o;
}

SkinObject Bounds(SkinObject o, int left, int top, int width, int height) {
    o.properties.insert(o.properties.begin(),
                        {{"Left", Int(left)}, {"Top", Int(top)}, {"Width", Int(width)}, {"Height", Int(height)}});
    return o;
}

// A skin with one of most kinds; the second information label comes last.
SkinObject DemoSkin() {
    SkinObject root = Object("TuForm", "MainForm",
                             {{"Caption", Utf8("奥罗")},
                              {"ClientWidth", Int(867)},
                              {"ClientHeight", Int(461)},
                              {"TransparentColorValue", Ident("clFuchsia")},
                              {"Font.Height", Int(-12)}});
    root.children = {
        Bounds(Object("TuImage", "Background", {{"Picture.Data", StandardPicture("TPngImage", TinyPng(867, 461))}}), 0,
               0, 867, 461),
        Bounds(Object("TuInfLable", "Info1", {{"Caption", Str("x")}}), 10, 440, 300, 16),
        Bounds(Object("TuStartBtton", "StartButton", {{"Picture.Data", Binary(TinyPng(150, 52))}}), 690, 380, 150, 52),
        Object("TuRegisterButton", "RegisterButton"),
        Object("TuQQBtton", "QQButton"),
        Object("TuCloseButton", "CloseButton"),
        Object("TuConfigButton", "ConfigButton"),
        Object("TuURLButton", "HomeButton",
               {{"URL", Str("https://www.example.com/")}, {"URLKind", Ident("ukHomePage")}}),
        Object("TuURLButton", "OtherButton",
               {{"URL", Str("https://other.example.com/")}, {"URLKind", Ident("ukCustom")}}),
        Bounds(Object("TuTreeView", "Servers", {{"Color", Int(0x0022120C)}, {"Font.Color", Ident("clWhite")}}), 20, 60,
               200, 300),
        Object("TuIDEdit", "Account"),
        Object("TuPWEdit", "Password", {{"HelpText", Utf8("请输入密码!")}}),
        Object("TuResolutionCombobox", "Resolutions", {{"Ctl3D", Bool(false)}}),
        Object("TuCurProgressBar", "FileProgress", {{"Style", Ident("pbsGreen")}}),
        Object("TuAllProgressBar", "AllProgress"),
        Object("TuWebBrowser", "News", {{"OpenUrl", Str("about:blank")}}),
        Object("TuPhoneBtn", "PhoneCode", {{"Caption", Utf8("获取验证码")}}),
        Object("TLoginExchange", "LoginSwitch", {{"Check", Bool(false)}}),
        Object("TuLable", "Title", {{"Caption", Utf8("服务器列表")}, {"Font.Color", Ident("clYellow")}}),
        Bounds(Object("TuInfLable", "Info2"), 10, 10, 300, 16),
    };
    return root;
}

Bytes Pack(const SkinObject& root) { return *pack::MakeSkinBlock(WriteComponentStream(root)); }

ClientAppSteps QuietSteps(std::vector<std::string>* saved) {
    ClientAppSteps s = DefaultClientAppSteps();
    auto nothing = [] {};
    s.read_settings = s.load_server_list_cache = s.load_exe_info = s.settle_game_directory = s.do_http = nothing;
    s.create_desktop_shortcut = s.end_application = nothing;
    s.check_server_info = [](TuClientApp&) { return false; };
    s.load_resolutions = [](IComponentContainer*) {};
    s.save_settings = [saved] {
        if (saved) saved->push_back("saved");
    };
    return s;
}

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::ResetHeadlessDisplay();
        platform::HeadlessSetModalHandler(nullptr);
        g_Settings() = LauncherSettings{};
        app = std::make_shared<TuClientApp>(QuietSteps(&saves), *loop, [] {
            CatalogueEnvironment env;
            env.cache_file = "unused";
            return env;
        });
        SetClientApp(app);
    }
    void TearDown() override {
        windows.reset();
        app.reset();
        ReleaseClientApp();
    }
    void Open(const Bytes& block) { windows = CreateLauncherWindows("奥罗传奇", *app, block); }
    template <typename Kind>
    Kind& Find(const std::string& name) {
        SkinControl* c = windows->main->FindControl(name);
        EXPECT_NE(c, nullptr) << name;
        return dynamic_cast<Kind&>(*c);
    }

    std::unique_ptr<platform::EventLoop> loop = platform::CreateEventLoop();
    std::vector<std::string> saves;
    std::shared_ptr<TuClientApp> app;
    std::unique_ptr<LauncherWindows> windows;
};

TEST_F(MainWindow, ReadsTheSkinAndBindsTheControls) {
    Open(Pack(DemoSkin()));
    TMainForm& main = *windows->main;
    EXPECT_TRUE(main.SkinLoaded);
    EXPECT_TRUE(main.form().Visible());
    EXPECT_EQ(main.ComponentCount(), 20);
    EXPECT_EQ(main.form().Caption(), "奥罗");
    EXPECT_EQ(platform::HeadlessTransparentColor(main.form().Handle()), (platform::Rgb{0xFF, 0, 0xFF}));

    // The later of two information labels is the bound one; both are cleared.
    EXPECT_EQ(app->FTuInfLable, &Find<TuLable>("Info2"));
    EXPECT_EQ(Find<TuLable>("Info1").Caption(), "");
    EXPECT_EQ(app->TreeView, &Find<TuTreeView>("Servers"));
    EXPECT_EQ(app->EditID, &Find<TuEdit>("Account"));
    EXPECT_EQ(app->EditPW, &Find<TuEdit>("Password"));
    EXPECT_EQ(app->ResolutionCombobox, &Find<TuCombobox>("Resolutions"));
    EXPECT_EQ(app->WebBrowser, &Find<TuWebBrowser>("News"));
    EXPECT_EQ(app->FTuCurProgressBar, &Find<TuProgressBar>("FileProgress"));
    EXPECT_EQ(app->FTuAllProgressBar->Maximum(), 0);
    EXPECT_EQ(app->sHomePage, "https://www.example.com/");
    EXPECT_EQ(app->sPayPage, "");

    // The buttons that wait for the game server start disabled; the others do not.
    for (auto name : {"StartButton", "RegisterButton", "QQButton"})
        EXPECT_FALSE(Find<SkinControl>(name).AsControl().Enabled()) << name;
    EXPECT_TRUE(Find<SkinControl>("CloseButton").AsControl().Enabled());

    // The login switch is off: phone-code login, and the phone button shows; its caption is kept.
    EXPECT_FALSE(app->FPasswordLogin);
    EXPECT_TRUE(Find<TuPhoneBtn>("PhoneCode").Visible());
    EXPECT_EQ(Find<TuPhoneBtn>("PhoneCode").Hint, "获取验证码");

    // Skin positions and colours reach the widgets.
    EXPECT_EQ(Find<SkinControl>("StartButton").widget().GetBounds(), (platform::Bounds{690, 380, 150, 52}));
    EXPECT_EQ(Find<TuTreeView>("Servers").w().Color(), (platform::Rgb{0x0C, 0x12, 0x22}));
    EXPECT_EQ(Find<TuLable>("Title").FontColor(), (TColor{0xFF, 0xFF, 0}));
    EXPECT_EQ(Find<TuLable>("Info2").w().Color(), (platform::Rgb{0, 0, 0}));
    EXPECT_EQ(Find<TuLable>("Title").w().Font().height, -12) << "controls start with the window's font";

    app->Print(mtError, "连接失败");
    for (auto name : {"Info1", "Info2"}) {
        EXPECT_EQ(Find<TuLable>(name).Caption(), "连接失败");
        EXPECT_EQ(Find<TuLable>(name).FontColor(), (TColor{0xFF, 0, 0}));
    }
}

TEST_F(MainWindow, OnA32BitDisplayTheBackdropDrawsTheImages) {
    Open(Pack(DemoSkin()));
    auto& image = Find<TuImage>("Background");
    EXPECT_FALSE(image.Visible());
    EXPECT_EQ(image.Tag, 9999);
    auto layered = platform::HeadlessLayeredImages(windows->splash->form().Handle());
    ASSERT_EQ(layered.size(), 1u);
    EXPECT_EQ(layered[0].image, TinyPng(867, 461));
    EXPECT_EQ(windows->splash->form().GetBounds(), windows->main->form().GetBounds());
}

TEST_F(MainWindow, OnA16BitDisplayTheImagesStayOnTheMainWindow) {
    platform::HeadlessDisplayState().bits = 16;
    Open(Pack(DemoSkin()));
    auto& image = Find<TuImage>("Background");
    EXPECT_TRUE(image.Visible());
    EXPECT_EQ(image.Tag, 0);
    EXPECT_TRUE(platform::HeadlessLayeredImages(windows->splash->form().Handle()).empty());
}

TEST_F(MainWindow, ABadSkinLeavesWhatWasReadBefore) {
    struct Case {
        const char* what;
        Bytes block;
        int fewest, most;  // controls kept
    };
    SkinObject unknown = DemoSkin();
    unknown.children.insert(unknown.children.begin() + 3, Object("TButton", "Stranger"));
    Bytes cut = WriteComponentStream(DemoSkin());
    cut.resize(cut.size() / 2);
    const Case cases[] = {
        {"a class outside the registered kinds", Pack(unknown), 3, 3},
        {"garbage", Bytes(4000, 0x5A), 0, 0},
        {"no skin", Bytes(), 0, 0},
        {"a stream cut in half", *pack::MakeSkinBlock(cut), 1, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open(c.block);
        EXPECT_GE(windows->main->ComponentCount(), c.fewest);
        EXPECT_LE(windows->main->ComponentCount(), c.most);
        EXPECT_TRUE(windows->main->form().Visible());
        // Print still reaches its trace without controls to write into.
        app->Print(mtNormal, "ok");
        windows.reset();
    }
}

TEST_F(MainWindow, ButtonsFollowTheGameServer) {
    Open(Pack(DemoSkin()));
    app->SetButtonsEnabled(true);
    EXPECT_TRUE(Find<SkinControl>("StartButton").AsControl().Enabled());
    EXPECT_TRUE(Find<SkinControl>("RegisterButton").AsControl().Enabled());
    // QQ and WeChat logins are switched off for good.
    EXPECT_FALSE(Find<SkinControl>("QQButton").AsControl().Enabled());
    app->SetButtonsEnabled(false);
    EXPECT_FALSE(Find<SkinControl>("StartButton").AsControl().Enabled());
}

// Records what the skin's buttons call, and whether the calling button was enabled meanwhile.
class RecordingApplication : public IuApplication {
  public:
    std::vector<std::string> calls;
    std::function<void()> during;
    void Note(std::string call) {
        calls.push_back(std::move(call));
        if (during) during();
    }
    void StartGame() override { Note("StartGame"); }
    void CloseApplication() override { Note("CloseApplication"); }
    void ShowRegisterDialog() override { Note("ShowRegisterDialog"); }
    void ShowChangePasswordDialog() override { Note("ShowChangePasswordDialog"); }
    void ShowGetBackPasswordDialog() override { Note("ShowGetBackPasswordDialog"); }
    void OpenURL(const std::string& url) override { Note("OpenURL " + url); }
    void ShowSettingsDialog() override { Note("ShowSettingsDialog"); }
    void Repair() override { Note("Repair"); }
    void ToggleResolutionList() override { Note("ToggleResolutionList"); }
    void ShowPhoneRegisterDialog() override { Note("ShowPhoneRegisterDialog"); }
    void SetLoginPasswd() override { Note("SetLoginPasswd"); }
    void LoginQueryQQandWXUrl(int kind) override { Note("LoginQueryQQandWXUrl " + std::to_string(kind)); }
    void Start360() override { Note("Start360"); }
};

TEST_F(MainWindow, ButtonsCallTheControllerAndWaitDisabledMeanwhile) {
    Open(Pack(DemoSkin()));
    auto recorder = std::make_shared<RecordingApplication>();
    g_Application() = recorder;
    auto& start = Find<SkinControl>("StartButton");
    start.AsControl().SetEnabled(true);
    bool enabled_during_call = true;
    recorder->during = [&] { enabled_during_call = start.AsControl().Enabled(); };
    platform::HeadlessClick(start.widget());
    EXPECT_FALSE(enabled_during_call);
    EXPECT_TRUE(start.AsControl().Enabled());
    recorder->during = nullptr;

    platform::HeadlessClick(Find<SkinControl>("OtherButton").widget());
    platform::HeadlessClick(Find<SkinControl>("ConfigButton").widget());
    platform::HeadlessClick(Find<SkinControl>("LoginSwitch").widget());
    EXPECT_TRUE(Find<TLoginExchange>("LoginSwitch").Checked());
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"StartGame", "OpenURL https://other.example.com/",
                                                         "ShowSettingsDialog", "SetLoginPasswd"}));

    // Without a controller the close button closes its own window and nothing is called.
    g_Application().reset();
    platform::HeadlessClick(Find<SkinControl>("CloseButton").widget());
    EXPECT_FALSE(windows->main->form().Visible());
    EXPECT_EQ(recorder->calls.size(), 4u);
    SetClientApp(app);
}

TEST_F(MainWindow, EditHintsComeBackOnlyWhenTheSkinGaveOne) {
    Open(Pack(DemoSkin()));
    auto& account = Find<TuEdit>("Account");
    auto& password = Find<TuEdit>("Password");
    EXPECT_TRUE(platform::HeadlessHintShown(account.w()));
    EXPECT_EQ(account.Hint(), "用户名/邮箱/手机号");

    // The preset hint goes on entering and, never assigned, does not come back.
    platform::HeadlessFocus(account.widget());
    EXPECT_EQ(account.Hint(), "");
    platform::HeadlessFocus(password.widget());
    EXPECT_EQ(account.Hint(), "");
    EXPECT_EQ(password.Hint(), "");

    // The skin's hint is restored while the edit stays empty, not once text was typed.
    platform::HeadlessFocus(account.widget());
    EXPECT_EQ(password.Hint(), "请输入密码!");
    platform::HeadlessFocus(password.widget());
    platform::HeadlessType(password.widget(), "secret\r\n");
    EXPECT_EQ(password.Text(), "secret");
    platform::HeadlessFocus(account.widget());
    EXPECT_EQ(password.Hint(), "");
}

TEST_F(MainWindow, ServerTreeColoursAndGuardsItsSelection) {
    Open(Pack(DemoSkin()));
    TServerList servers;
    for (auto [name, group, active] :
         {std::tuple{"一区", "电信", true}, {"二区", "网通", false}, {"三区", "电信", true}}) {
        TServerItem& item = servers.Add();
        item.FDisplayName = name;
        item.FGroupName = group;
        item.FActive = active;
    }
    auto& tree = Find<TuTreeView>("Servers");
    FillServerTree(&tree, servers, 0, nullptr);
    ASSERT_EQ(tree.NodeCount(), 5);
    EXPECT_EQ(tree.NodeText(0), "电信");
    auto style = [&](int node) { return *platform::HeadlessNodeStyle(tree.w(), node); };
    EXPECT_EQ(style(0).color, (platform::Rgb{0xFF, 0xFF, 0}));
    const int first = tree.Selected();
    EXPECT_EQ(style(first).color, (platform::Rgb{0, 0xFF, 0}));
    EXPECT_TRUE(style(first).bold);
    const int inactive = 4;
    EXPECT_EQ(style(inactive).color, (platform::Rgb{0xFF, 0, 0}));
    EXPECT_FALSE(style(inactive).bold);

    // While the version check runs the player cannot move the selection.
    ASSERT_TRUE(app->CheckVer());
    EXPECT_FALSE(platform::HeadlessUserSelect(tree.w(), inactive));
    app->StartupCheck();
    EXPECT_TRUE(platform::HeadlessUserSelect(tree.w(), inactive));
    ServerTreeReady() = false;
}

TEST_F(MainWindow, FillingTheTreeOpensTheSkinsWebPage) {
    Open(Pack(DemoSkin()));
    auto& browser = Find<TuWebBrowser>("News");
    EXPECT_EQ(platform::HeadlessLastNavigation(browser.w()), "");
    TServerList servers;
    FillServerTree(app->TreeView, servers, 0, nullptr, DefaultCatalogueEnvironment("奥罗传奇").open_browser);
    EXPECT_EQ(platform::HeadlessLastNavigation(browser.w()), "about:blank");
}

TEST_F(MainWindow, DraggingMovesBothWindowsTogether) {
    Open(Pack(DemoSkin()));
    platform::Form& main = windows->main->form();
    platform::Form& splash = windows->splash->form();

    // A label starts the system move of the main window; the backdrop follows when it ends.
    platform::HeadlessMouseDown(Find<TuLable>("Title").widget(), 3, 3);
    EXPECT_EQ(platform::HeadlessDragRequests(main.Handle(), false), 1);
    platform::HeadlessDragBy(main.Handle(), 40, -25);
    EXPECT_EQ(splash.GetBounds(), main.GetBounds());

    // Moving the backdrop moves the main window onto it.
    platform::Bounds b = splash.GetBounds();
    b.left += 100;
    splash.SetBounds(b);
    EXPECT_EQ(main.GetBounds().left, b.left);
    EXPECT_EQ(main.GetBounds().top, b.top);
}

TEST_F(MainWindow, ActivationRaisesTheMainWindowThenTheVisibleDialogs) {
    Open(Pack(DemoSkin()));
    windows->settings->form().Show();
    platform::HeadlessActivateApp(windows->splash->form().Handle());
    const int main_z = platform::HeadlessZOrder(windows->main->form().Handle());
    EXPECT_GT(main_z, platform::HeadlessZOrder(windows->splash->form().Handle()));
    EXPECT_GT(platform::HeadlessZOrder(windows->settings->form().Handle()), main_z);
}

TEST_F(MainWindow, SettingsDialogOkStoresAndSavesCancelChangesNothing) {
    platform::HeadlessDisplayState().modes = {{1024, 768, 32, 60}, {1280, 1024, 32, 60}, {800, 600, 16, 60}};
    Open(Pack(DemoSkin()));
    TFrmSetting& dialog = *windows->settings;
    EXPECT_EQ(dialog.cbbScreenSize->Items(), (std::vector<std::string>{"800x600", "1024x768", "1280x1024"}));
    g_Settings().bFullScreen = true;

    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        const LauncherSettings before = g_Settings();
        saves.clear();
        platform::HeadlessSetModalHandler([&](platform::Form& form) {
            // Centred over the main window.
            const platform::Bounds m = windows->main->form().GetBounds();
            EXPECT_EQ(form.GetBounds().left, m.left + (m.width - form.GetBounds().width) / 2);
            EXPECT_FALSE(dialog.chkWindow->Checked());
            EXPECT_EQ(dialog.cbbScreenSize->ItemIndex(), 1);
            platform::HeadlessClick(*dialog.chkWindow);
            platform::HeadlessClick(*dialog.chkVBlank);
            platform::HeadlessClick(*dialog.chk3D);
            platform::HeadlessUserSelect(*dialog.cbbScreenSize, 2);
            platform::HeadlessClick(ok ? *dialog.BitBtn1 : *dialog.BitBtn2);
            return platform::ModalResult::None;
        });
        app->ShowSettingsDialog();
        if (!ok) {
            EXPECT_EQ(g_Settings().bFullScreen, before.bFullScreen);
            EXPECT_EQ(g_Settings().nWidth, before.nWidth);
            EXPECT_TRUE(saves.empty());
            continue;
        }
        EXPECT_FALSE(g_Settings().bFullScreen);
        EXPECT_FALSE(g_Settings().bWaitVBlank);
        EXPECT_FALSE(g_Settings().b3D);
        EXPECT_EQ(g_Settings().nWidth, 1280);
        EXPECT_EQ(g_Settings().nHeight, 1024);
        EXPECT_EQ(saves.size(), 1u);
    }
}

TEST_F(MainWindow, SettingsLabelHoverTurnsBlue) {
    Open(Pack(DemoSkin()));
    auto& label = *windows->settings->LabHomePath;
    platform::HeadlessMouseEnter(label);
    EXPECT_EQ(label.Font().color, (platform::Rgb{0, 0, 0xFF}));
    platform::HeadlessMouseLeave(label);
    EXPECT_EQ(label.Font().color, (platform::Rgb{0, 0, 0}));
}

TEST(OpenUrl, UsesTheRegisteredBrowserAndFallsBackToTheShell) {
    struct Case {
        const char* command;
        int browser_result;
        std::vector<std::string> opened;  // file|parameters|verb
    };
    const Case cases[] = {
        {"\"C:\\Browser\\b.exe\" -- \"%1\"", 0, {"C:\\Browser\\b.exe|http://x/|open"}},
        {"\"C:\\Gone\\b.exe\" \"%1\"", 2, {"C:\\Gone\\b.exe|http://x/|open", "http://x/||default"}},
        {"\"C:\\Denied\\b.exe\" \"%1\"", 5, {"C:\\Denied\\b.exe|http://x/|open"}},
        {"C:\\NoQuotes\\b.exe %1", 0, {"http://x/||default"}},
        {"", 0, {"http://x/||default"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        platform::HeadlessBrowserCommand() = c.command;
        platform::HeadlessShellResultForVerbOpen() = c.browser_result;
        platform::HeadlessShellCalls().clear();
        TuClientApp(QuietSteps(nullptr)).OpenURL("http://x/");
        std::vector<std::string> opened;
        for (const auto& call : platform::HeadlessShellCalls())
            opened.push_back(call.file + "|" + call.parameters + "|" + (call.verb_open ? "open" : "default"));
        EXPECT_EQ(opened, c.opened);
    }
    platform::HeadlessBrowserCommand().clear();
    platform::HeadlessShellResultForVerbOpen() = 0;
}

}  // namespace
}  // namespace orlo::ui
#endif  // The Windows build checks the real windows under Wine (tests/e2e).

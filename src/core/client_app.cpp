#include "core/client_app.h"

#include "core/profile.h"
#include "core/resolutions.h"
#include "core/settings.h"
#include "core/trace.h"
#include "platform/shell.h"

namespace orlo {
namespace {

using namespace std::chrono_literals;

constexpr int kShellFileNotFound = 2;

// The two login switches are fixed: the QQ and WeChat buttons never take part in enabling.
constexpr bool kQQLoginEnabled = false;
constexpr bool kWeChatLoginEnabled = false;

TuClientApp*& ClientAppSlot() {
    static TuClientApp* app = nullptr;
    return app;
}

}  // namespace

std::string BrowserPathOf(std::string_view command) {
    const size_t open = command.find('"');
    if (open == std::string_view::npos) return {};
    command.remove_prefix(open + 1);
    return std::string(command.substr(0, command.find('"')));
}

TColor MessageColor(TMessageType kind) {
    switch (kind) {
        case mtError:
            return {255, 0, 0};
        case mtWaringin:
            return {255, 255, 0};
        case mtNormal:
        default:
            return {0, 255, 0};
    }
}

std::string& ApplicationTitle() {
    static std::string title;
    return title;
}

ClientAppSteps DefaultClientAppSteps() {
    ClientAppSteps s;
    s.create_server_connect_list = [] {};
    s.read_settings = [] { ReadSettings(ApplicationTitle()); };
    s.load_server_list_cache = [] { LoadServerListCache(ServerListCacheFileName(ApplicationTitle())); };
    s.load_exe_info = [] {
        // Without a profile nothing the launcher does can be right: end at the first turn.
        if (!LoadExeInfo(ProcessProfile())) platform::MainLoop().Quit();
    };
    s.compute_device_identity = [] {};
    s.check_server_info = [](TuClientApp& app) { return app.Catalogue().CheckServerInfo(); };
    s.settle_game_directory = [] {};
    s.load_resolutions = [](IComponentContainer* main_form) {
        if (main_form) LoadResolutions(*main_form);
    };
    s.do_http = [] {};
    s.create_desktop_shortcut = [] {};
    s.save_settings = [] { SaveSettings(ApplicationTitle()); };
    s.end_application = [] { platform::MainLoop().Quit(); };
    return s;
}

TuClientApp::TuClientApp(ClientAppSteps steps,
                         platform::EventLoop& loop,
                         std::function<CatalogueEnvironment()> catalogue_environment)
    : steps_(std::move(steps)) {
    steps_.create_server_connect_list();
    steps_.read_settings();
    steps_.load_server_list_cache();
    steps_.load_exe_info();
    // The server id just read is not trusted until the catalogue arrives and reads it again.
    g_Settings().nServerID = 0;
    FAtCheckVer = true;
    FCode = 0;
    FTimer = std::make_unique<TTimer>(
        10ms, [this] { StartupCheck(); }, loop);
    FMiniTimer = std::make_unique<TTimer>(
        1000ms, [this] { PhoneCountdown(); }, loop);
    FTimerQuyery = std::make_unique<TTimer>(
        3000ms, [this] { QueryLoginResult(); }, loop);
    FServerInfo = std::make_unique<TServerInfo>();
    FCatalogue = std::make_unique<TCatalogue>(*FServerInfo, catalogue_environment
                                                                ? catalogue_environment()
                                                                : DefaultCatalogueEnvironment(ApplicationTitle()));
    FClientSocket = std::make_unique<TuClientSocket>();
    FClientSocket->OnRead = [] {};
    FClientSocket->OnConnect = [] {};
    FClientSocket->OnDisconnect = [] {};
    FClientSocket->OnError = [] {};
    FMonitor = std::make_unique<TDMKernelMonitor>([this](const std::string& report) { Print(mtError, report); });
    steps_.compute_device_identity();
}

TuClientApp::~TuClientApp() {
    steps_.save_settings();
    FClientSocket.reset();
    FTimer.reset();
    FMiniTimer.reset();
    FTimerQuyery.reset();
    FCatalogue.reset();
    FServerInfo.reset();
}

void TuClientApp::Open() {
    FTimer->SetEnabled(true);
    const std::string& account = g_Settings().sAccount;
    if (EditID && !account.empty()) {
        EditID->SetHint(std::string());
        EditID->SetText(account);
        // Nothing has been typed in this run yet when the window opens.
        if (EditPW) EditPW->SetText(std::string());
    }
}

void TuClientApp::StartupCheck() {
    FTimer->SetEnabled(false);
    const bool catalogue = steps_.check_server_info(*this);
    steps_.settle_game_directory();
    steps_.read_settings();
    steps_.load_resolutions(FMainForm);
    if (!catalogue) {
        FAtCheckVer = false;
        return;
    }
    steps_.do_http();
    steps_.create_desktop_shortcut();
    FMonitor->SetSpeedCheck(true);
    FAtCheckVer = false;
}

std::string TuClientApp::GetTitle() {
    AExecutableStructure profile;
    if (!ReadProfile(profile)) return std::string();
    return profile.sTitle;
}

void TuClientApp::Print(TMessageType kind, const std::string& message) {
    TraceF("Print %s", message.c_str());
    if (!FMainForm) return;
    const TColor color = MessageColor(kind);
    for (int i = 0; i < FMainForm->ComponentCount(); ++i) {
        IControl* control = FMainForm->Component(i);
        if (!control || !control->InheritsFrom("TuInfLable")) continue;
        auto* label = dynamic_cast<ILabelControl*>(control);
        if (!label) continue;
        label->SetFontColor(color);
        label->SetCaption(message);
    }
}

void TuClientApp::PrintEx(const void* /*update_item*/, const std::string& message) { Print(mtNormal, message); }

void TuClientApp::SetButtonsEnabled(bool enabled) {
    if (!FMainForm) return;
    for (int i = 0; i < FMainForm->ComponentCount(); ++i) {
        IControl* control = FMainForm->Component(i);
        if (!control) continue;
        const std::string kind = control->ClassName();
        if (kind == "TuStartBtton" || kind == "TuRegisterButton" || kind == "TuGetBackPassButton" ||
            kind == "TuChangePassButton") {
            control->SetEnabled(enabled);
        } else if ((kind == "TuQQBtton" && kQQLoginEnabled) || (kind == "TuWeiXinBtton" && kWeChatLoginEnabled)) {
            control->SetEnabled(enabled);
            if (!enabled && FTimerQuyery->Enabled()) FTimerQuyery->SetEnabled(false);
        }
    }
}

// The game-server connection comes with the reachability work; the request is traced so far.
void TuClientApp::ConnectServer(int node) {
    if (node < 0) return;
    TraceF("ConnectServer %d", node);
}

void TuClientApp::PhoneCountdown() {}
void TuClientApp::QueryLoginResult() {}

void TuClientApp::StartGame() {}
void TuClientApp::CloseApplication() {
    FConnected = false;  // the socket closes with the connection work
    steps_.end_application();
}
void TuClientApp::ShowRegisterDialog() {}
void TuClientApp::ShowChangePasswordDialog() {}
void TuClientApp::ShowGetBackPasswordDialog() {}

void TuClientApp::OpenURL(const std::string& url) {
    TraceF("OpenURL %s", url.c_str());
    const std::string browser = BrowserPathOf(platform::DefaultBrowserCommand());
    if (browser.empty() || platform::ShellOpen(browser, url, true) == kShellFileNotFound)
        platform::ShellOpen(url, std::string(), false);
}

void TuClientApp::ShowSettingsDialog() {
    if (OnShowSettingsDialog && OnShowSettingsDialog()) steps_.save_settings();
}

void TuClientApp::Repair() {}

void TuClientApp::ToggleResolutionList() {
    if (ResolutionCombobox) ResolutionCombobox->SetDroppedDown(!ResolutionCombobox->DroppedDown());
}

void TuClientApp::ShowPhoneRegisterDialog() {}

void TuClientApp::SetLoginPasswd() {
    if (!LoginExchange) return;
    FPasswordLogin = LoginExchange->Checked();
    if (PhoneBtn) PhoneBtn->SetVisible(!FPasswordLogin);
}
void TuClientApp::LoginQueryQQandWXUrl(int /*kind*/) {}
void TuClientApp::Start360() {}

TuClientApp* g_ClientApp() { return ClientAppSlot(); }

std::shared_ptr<IuApplication>& g_Application() {
    static std::shared_ptr<IuApplication> application;
    return application;
}

void SetClientApp(std::shared_ptr<TuClientApp> app) {
    ClientAppSlot() = app.get();
    g_Application() = std::move(app);
}

void ReleaseClientApp() {
    ClientAppSlot() = nullptr;
    g_Application().reset();
}

void Print(TMessageType kind, const std::string& message) {
    if (TuClientApp* app = g_ClientApp()) {
        app->Print(kind, message);
    } else {
        TraceF("Print %s", message.c_str());
    }
}

}  // namespace orlo

// TuClientApp: the launcher's controller. One per process, made at start-up and destroyed at
// the end (which saves the settings). It owns the catalogue, the game-server socket and the
// timers of the start-up and account flows, holds the bound controls of the main window, and
// carries Print, the channel every subsystem uses to tell the player something.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "catalogue/retrieval.h"
#include "catalogue/server_info.h"
#include "core/application.h"
#include "core/controls.h"
#include "core/kernel_monitor.h"
#include "core/message_type.h"
#include "core/timer.h"
#include "launch/client_socket.h"

namespace orlo {

// The steps construction, StartupCheck and destruction run, in their order. The defaults
// are the launcher's own; tests put recorders in their place.
class TuClientApp;

struct ClientAppSteps {
    std::function<void()> create_server_connect_list;
    std::function<void()> read_settings;
    std::function<void()> load_server_list_cache;
    std::function<void()> load_exe_info;
    std::function<void()> compute_device_identity;
    std::function<bool(TuClientApp& app)> check_server_info;
    std::function<void()> settle_game_directory;
    std::function<void(IComponentContainer* main_form)> load_resolutions;
    std::function<void()> do_http;
    std::function<void()> create_desktop_shortcut;
    std::function<void()> save_settings;
    std::function<void()> end_application;
};
ClientAppSteps DefaultClientAppSteps();

class TuClientApp : public IuApplication {
  public:
    explicit TuClientApp(ClientAppSteps steps = DefaultClientAppSteps(),
                         platform::EventLoop& loop = platform::MainLoop(),
                         std::function<CatalogueEnvironment()> catalogue_environment = nullptr);
    ~TuClientApp() override;
    TuClientApp(const TuClientApp&) = delete;
    TuClientApp& operator=(const TuClientApp&) = delete;

    // Called by the main window once its skin is loaded: arms the one-shot start-up timer and
    // puts the remembered account into the account edit.
    void Open();
    // The one-shot start-up sequence (handler of FTimer).
    void StartupCheck();

    // The profile's title, read afresh; usable before any TuClientApp exists.
    static std::string GetTitle();

    void Print(TMessageType kind, const std::string& message);
    void PrintEx(const void* update_item, const std::string& message);
    void SetButtonsEnabled(bool enabled);
    // Starts the reachability check of the server of that tree node (-1: none, nothing happens).
    void ConnectServer(int node);

    // The main window's components, and the controls bound from the skin.
    void AttachMainForm(IComponentContainer* form) { FMainForm = form; }
    IComponentContainer* MainForm() const { return FMainForm; }
    bool CheckVer() const { return FAtCheckVer; }
    TServerInfo& ServerInfo() { return *FServerInfo; }
    TCatalogue& Catalogue() { return *FCatalogue; }
    int MaxClient() const { return FServerInfo->FMaxClient; }
    ILabelControl* InfLable() const { return FTuInfLable; }
    TTimer& StartupTimer() { return *FTimer; }

    // The settings dialog belongs to the windows; they set this when they exist. True on OK.
    std::function<bool()> OnShowSettingsDialog;

    // IuApplication
    void StartGame() override;
    void CloseApplication() override;
    void ShowRegisterDialog() override;
    void ShowChangePasswordDialog() override;
    void ShowGetBackPasswordDialog() override;
    void OpenURL(const std::string& url) override;
    void ShowSettingsDialog() override;
    void Repair() override;
    void ToggleResolutionList() override;
    void ShowPhoneRegisterDialog() override;
    void SetLoginPasswd() override;
    void LoginQueryQQandWXUrl(int kind) override;
    void Start360() override;

    // Bound skin controls (null until the skin binds them).
    ILabelControl* FTuInfLable = nullptr;
    IProgressControl* FTuCurProgressBar = nullptr;
    IProgressControl* FTuAllProgressBar = nullptr;
    ITreeControl* TreeView = nullptr;
    IBrowserControl* WebBrowser = nullptr;
    IEditControl* EditID = nullptr;
    IEditControl* EditPW = nullptr;
    IListControl* ResolutionCombobox = nullptr;
    ILabelControl* PhoneBtn = nullptr;
    ICheckControl* LoginExchange = nullptr;
    std::string sHomePage, sPayPage, sContactPage;
    // Password login (true) or phone-code login, as the login switch says.
    bool FPasswordLogin = true;

  private:
    void PhoneCountdown();
    void QueryLoginResult();

    ClientAppSteps steps_;
    IComponentContainer* FMainForm = nullptr;
    bool FAtCheckVer = false;
    std::unique_ptr<TTimer> FTimer;
    std::unique_ptr<TTimer> FMiniTimer;
    std::unique_ptr<TTimer> FTimerQuyery;
    std::unique_ptr<TServerInfo> FServerInfo;
    std::unique_ptr<TCatalogue> FCatalogue;
    std::unique_ptr<TuClientSocket> FClientSocket;
    std::unique_ptr<TDMKernelMonitor> FMonitor;
    bool FConnected = false;
    bool FTryConnecting = false;
    bool FNeedTokenID = false;
    std::string FBufferStr;
    std::uint8_t FCode = 0;
    std::string FNewAccount;
    std::uint32_t PhoneTickCount = 0;
    std::uint32_t QueryTickCount = 0;
};

// The process's controller. The shared reference is the one the skin controls hold; releasing
// it at the end of the process destroys the object.
TuClientApp* g_ClientApp();
std::shared_ptr<IuApplication>& g_Application();
void SetClientApp(std::shared_ptr<TuClientApp> app);
// Drops the process's reference; the object is destroyed (and saves the settings) here.
void ReleaseClientApp();

// The default browser's executable in a shell command line: the text between the first two
// double quotes; empty when the command has no quotes.
std::string BrowserPathOf(std::string_view command);

// The application title: the profile's title, set by start-up before anything else reads it.
std::string& ApplicationTitle();

// Print through the process's controller; only the trace line when there is none yet.
void Print(TMessageType kind, const std::string& message);

}  // namespace orlo

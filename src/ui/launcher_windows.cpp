#include "ui/launcher_windows.h"

#include "launch/system_preparation.h"
#include "platform/files.h"

namespace orlo::ui {
namespace {

struct DialogShell {
    const char* class_name;
    const char* caption;
    int width, height;
};

// The account dialogs come with the account work; their windows exist from start-up on.
constexpr DialogShell kChangePassword = {"TFRMChangePWD", "修改密码", 400, 300};
constexpr DialogShell kDialogsAfterSettings[] = {
    {"TfrmGetBackPwd", "找回密码", 400, 300},
    {"TFrmSelPath", "游戏目录选择", 400, 200},
    {"TFrmNewAccount", "注册新帐号", 400, 360},
    {"TFrmPhoneRegAccount", "手机注册", 400, 360},
};

std::unique_ptr<platform::Form> MakeShell(const DialogShell& d) {
    platform::FormSpec spec;
    spec.class_name = d.class_name;
    spec.caption = d.caption;
    spec.client_width = d.width;
    spec.client_height = d.height;
    spec.border = platform::FormBorder::Dialog;
    spec.minimize_box = false;
    return platform::CreateForm(spec, {});
}

}  // namespace

std::filesystem::path& uHomePath() {
    static std::filesystem::path path;
    return path;
}

LauncherWindows::~LauncherWindows() {
    // The controller outlives the windows: it must not keep pointers to their controls.
    if (TuClientApp* app = g_ClientApp()) {
        app->AttachMainForm(nullptr);
        app->OnShowSettingsDialog = nullptr;
        app->FTuInfLable = nullptr;
        app->FTuCurProgressBar = app->FTuAllProgressBar = nullptr;
        app->TreeView = nullptr;
        app->WebBrowser = nullptr;
        app->EditID = app->EditPW = nullptr;
        app->ResolutionCombobox = nullptr;
        app->PhoneBtn = nullptr;
        app->LoginExchange = nullptr;
        app->Catalogue().BindTree(nullptr);
    }
}

std::unique_ptr<LauncherWindows> CreateLauncherWindows(const std::string& title,
                                                       TuClientApp& app,
                                                       std::optional<Bytes> skin_block) {
    auto w = std::make_unique<LauncherWindows>();
    w->splash = std::make_unique<TSplashForm>(title);

    w->main = std::make_unique<TMainForm>(title);
    w->main->Splash = w->splash.get();
    w->splash->MainForm = w->main.get();
    // FormCreate of the main window.
    uHomePath() = platform::ExecutablePath().parent_path();
    const Bytes block = skin_block ? std::move(*skin_block) : ReadSkinBlock();
    LoadFromSkinData(*w->main, block, &app);
    app.AttachMainForm(w->main.get());
    app.Open();

    w->dialogs.push_back(MakeShell(kChangePassword));
    w->settings = std::make_unique<TFrmSetting>();
    for (const DialogShell& d : kDialogsAfterSettings) w->dialogs.push_back(MakeShell(d));
    // Raised on activation in this order: change-password, new-account, settings.
    w->splash->Dialogs = {w->dialogs[0].get(), w->dialogs[3].get(), &w->settings->form()};

    TMainForm* main = w->main.get();
    TFrmSetting* settings = w->settings.get();
    app.OnShowSettingsDialog = [main, settings] { return settings->Execute(main->form().GetBounds(), g_Settings()); };
    return w;
}

LauncherParts DefaultLauncherParts() {
    LauncherParts parts;
    parts.prepare_display = [] { ForceTrueColor(); };
    parts.create_windows = [](const std::string& title, TuClientApp& app) -> std::unique_ptr<LauncherWindowsHandle> {
        return CreateLauncherWindows(title, app);
    };
    return parts;
}

}  // namespace orlo::ui

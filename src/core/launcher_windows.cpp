#include "core/launcher_windows.h"

#include "core/single_instance.h"
#include "platform/files.h"

namespace orlo {
namespace {

struct DialogShell {
    const char* class_name;
    const char* caption;
    int width, height;
};

// In creation order, after the splash window, the main window and the anti-cheat monitor.
constexpr DialogShell kDialogs[] = {
    {"TFRMChangePWD", "修改密码", 400, 300},    {"TFrmSetting", "游戏设置", 400, 300},
    {"TfrmGetBackPwd", "找回密码", 400, 300},   {"TFrmSelPath", "游戏目录选择", 400, 200},
    {"TFrmNewAccount", "注册新帐号", 400, 360}, {"TFrmPhoneRegAccount", "手机注册", 400, 360},
};

}  // namespace

std::filesystem::path& uHomePath() {
    static std::filesystem::path path;
    return path;
}

LauncherWindows CreateLauncherWindows(const std::string& title, TuClientApp& app) {
    LauncherWindows w;

    platform::FormSpec splash;
    splash.class_name = std::string(kSplashClassName);
    splash.caption = title;
    splash.client_width = 714;
    splash.client_height = 344;
    splash.border = platform::FormBorder::Single;
    splash.minimize_box = true;
    splash.on_taskbar = true;
    // Closing the application's main window ends the launcher.
    w.splash = platform::CreateForm(splash, {.on_close = [&app] { app.CloseApplication(); }});

    platform::FormSpec main;
    main.class_name = "TMainForm";
    main.caption = title;
    main.client_width = 867;
    main.client_height = 461;
    main.border = platform::FormBorder::None;
    w.main = platform::CreateForm(main, {.on_close = [&app] { app.CloseApplication(); }});
    uHomePath() = platform::ExecutablePath().parent_path();
    app.Open();

    for (const DialogShell& d : kDialogs) {
        platform::FormSpec spec;
        spec.class_name = d.class_name;
        spec.caption = d.caption;
        spec.client_width = d.width;
        spec.client_height = d.height;
        spec.border = platform::FormBorder::Dialog;
        spec.minimize_box = false;
        w.dialogs.push_back(platform::CreateForm(spec, {}));
    }
    return w;
}

}  // namespace orlo

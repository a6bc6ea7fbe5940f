#include "core/startup.h"

#include <memory>
#include <system_error>

#include "core/client_app.h"
#include "core/launcher_state.h"
#include "core/profile.h"
#include "core/relocation.h"
#include "core/single_instance.h"
#include "core/trace.h"
#include "platform/event_loop.h"
#include "platform/files.h"
#include "platform/system.h"
#include "update/down_manager.h"

namespace orlo {
namespace {

// The RAR library travels as a resource and lives in a temporary file while the launcher runs.
class UnrarLibraryFile {
  public:
    bool Write() {
        auto bytes = platform::ExecutableResource("UNRAR");
        if (!bytes) return false;
        auto file = platform::NewTempFile("tmp");
        if (!file) return false;
        path_ = *file;
        return platform::ReplaceFileContents(path_, AsString(*bytes));
    }
    ~UnrarLibraryFile() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

std::string WithSeparator(std::string path) {
    if (path.empty() || (path.back() != '\\' && path.back() != '/'))
        path += static_cast<char>(std::filesystem::path::preferred_separator);
    return path;
}

}  // namespace

void UseExecutableDirectory() {
    const auto exe_dir = platform::ExecutablePath().parent_path();
    if (WithSeparator(platform::PathToUtf8(platform::CurrentDirectory())) !=
        WithSeparator(platform::PathToUtf8(exe_dir))) {
        platform::SetCurrentDirectory(exe_dir);
    }
}

int RunLauncher(const LauncherParts& parts) {
    platform::EventLoop& loop = platform::MainLoop();

    TDownManager::Instance();
    UnrarLibraryFile unrar;
    if (!unrar.Write()) {
        platform::ShowMessageBox("启动登陆器失败，登陆器已损坏。Code(RARDLL)", "提示", platform::MessageIcon::Error);
        loop.Quit();
    }

    TraceF("程序启动 %s", platform::LocalDateTimeText().c_str());
    AExecutableStructure profile;
    if (!ReadProfile(profile)) loop.Quit();
    ApplicationTitle() = profile.sTitle;

    const std::string mutex_name = InstanceMutexName(ApplicationTitle());
    if (platform::NamedMutexExists(mutex_name)) {
        ActivateRunningInstance();
        return 0;
    }
    if (RelocateFromSystemDrive()) loop.Quit();

    if (parts.prepare_display) parts.prepare_display();
    SetClientApp(std::make_shared<TuClientApp>());
    RunningClients().clear();
    platform::CreateNamedMutex(mutex_name);
    UseExecutableDirectory();

    {
        auto windows = parts.create_windows(ApplicationTitle(), *g_ClientApp());
        // An end asked for during start-up happens at the first turn, with no window shown.
        if (!loop.QuitRequested()) windows->Show();
        loop.Run();
    }
    ReleaseClientApp();
    RunningClients().clear();
    return 0;
}

}  // namespace orlo

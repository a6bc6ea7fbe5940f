#include "ui/splash_form.h"

#include "catalogue/server_tree.h"
#include "core/client_app.h"
#include "core/launcher_state.h"
#include "core/single_instance.h"
#include "platform/system.h"
#include "ui/main_form.h"

namespace orlo::ui {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kStillActive = 259;

platform::FormSpec SplashSpec(const std::string& title) {
    platform::FormSpec spec;
    spec.class_name = std::string(kSplashClassName);
    spec.caption = title;
    spec.client_width = 714;
    spec.client_height = 344;
    spec.border = platform::FormBorder::Single;
    spec.minimize_box = true;
    spec.on_taskbar = true;
    spec.role = platform::FormRole::Backdrop;
    return spec;
}

}  // namespace

TSplashForm::TSplashForm(const std::string& title) {
    platform::FormEvents events;
    // Closing the application's main window ends the launcher.
    events.on_close = [] {
        if (TuClientApp* app = g_ClientApp()) app->CloseApplication();
    };
    events.on_app_activate = [this] { ActivateForms(); };
    events.on_shown = [this] {
        if (MainForm) MainForm->form().Show();
        AlginMainForm();
    };
    events.on_moved = [this] { AlginMainForm(); };
    events.on_mouse_down = [this](int, int) { form_->BeginDrag(true); };
    form_ = platform::CreateForm(SplashSpec(title), std::move(events));
    timer_ = std::make_unique<TTimer>(1000ms, [this] { TimerTimer(); });
    timer_->SetEnabled(true);
}

TSplashForm::~TSplashForm() { destroying_ = true; }

void TSplashForm::AlginMainForm() {
    if (!MainForm || destroying_ || !MainForm->SkinLoaded) return;
    const platform::Bounds here = form_->GetBounds();
    platform::Form& main = MainForm->form();
    platform::Bounds b = main.GetBounds();
    if (b.left != here.left || b.top != here.top) {
        b.left = here.left;
        b.top = here.top;
        main.SetBounds(b);
    }
    main.BringToFront();
}

void TSplashForm::UpdateForm() {
    if (!g_Display32() || !MainForm) return;
    std::vector<platform::LayeredImage> images;
    for (int i = 0; i < MainForm->ComponentCount(); ++i) {
        auto* image = dynamic_cast<TuImage*>(MainForm->Control(i));
        if (!image || image->Tag != 9999 || image->PictureImage().empty()) continue;
        const platform::Bounds b = image->widget().GetBounds();
        images.push_back({b.left, b.top, image->PictureImage()});
    }
    form_->ShowLayeredImages(images);
}

void TSplashForm::ActivateForms() {
    AlginMainForm();
    if (MainForm && MainForm->form().Visible()) MainForm->form().BringToFront();
    for (platform::Form* dialog : Dialogs)
        if (dialog && dialog->Visible()) dialog->BringToFront();
}

void TSplashForm::TimerTimer() {
    std::vector<std::string>& clients = RunningClients();
    for (size_t i = clients.size(); i-- > 0;) {
        const std::uint64_t handle = std::strtoull(clients[i].c_str(), nullptr, 10);
        auto code = platform::ProcessExitCode(handle);
        if (code && *code == kStillActive) continue;
        platform::CloseProcessHandle(handle);
        clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
        TuClientApp* app = g_ClientApp();
        if (app && static_cast<int>(clients.size()) < app->MaxClient()) form_->Show();
    }
    if (ServerTreeReady()) {
        ServerTreeReady() = false;
        TuClientApp* app = g_ClientApp();
        if (app && app->TreeView) app->ConnectServer(app->TreeView->Selected());
    }
}

void TSplashForm::FollowMainForm() {
    if (!MainForm) return;
    form_->SetBounds(MainForm->form().GetBounds());
    UpdateForm();
}

}  // namespace orlo::ui

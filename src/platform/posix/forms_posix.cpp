// Headless windows: state in memory, listed process-wide so the window search of a second
// start finds them as it would find real windows.
#include "platform/forms.h"
#include "platform/headless_windows.h"
#include "platform/posix/loop_internal.h"
#include "platform/widgets.h"

#include <map>
#include <mutex>
#include <type_traits>
#include <utility>

namespace orlo::platform {
namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

struct FormState {
    std::string class_name;
    std::string caption;
    bool visible = false;
    bool minimized = false;
    Bounds bounds;
    FormEvents events;
    std::optional<Rgb> transparent;
    std::vector<LayeredImage> layered;
    bool locked = false;
    int z = 0;
    int drags[2] = {0, 0};
    bool dragging = false;
    ModalResult modal = ModalResult::None;
    bool in_modal = false;
    Form* form = nullptr;
    FontSpec font;
};

// Handles are numbers never reused, so a stale handle finds nothing rather than a newer form.
struct Registry {
    std::recursive_mutex mutex;
    std::map<WindowHandle, FormState> forms;  // ordered by handle, that is by creation
    WindowHandle next = 0x10;
    WindowHandle front = 0;
    int top_z = 0;
    std::function<ModalResult(Form&)> modal_handler;
};

Registry& Windows() {
    static Registry registry;
    return registry;
}

// Runs f on the form's state under the lock; nothing when the form is gone.
template <typename F>
void WithForm(WindowHandle handle, F&& f) {
    auto& r = Windows();
    std::lock_guard lock(r.mutex);
    auto it = r.forms.find(handle);
    if (it != r.forms.end()) f(it->second);
}

// An event handler copied out, so it runs unlocked (it may destroy the form).
template <typename Member>
auto EventOf(WindowHandle handle, Member member) {
    std::remove_cvref_t<decltype(FormEvents{}.*member)> handler;
    WithForm(handle, [&](FormState& s) { handler = s.events.*member; });
    return handler;
}

Bounds Centred(int width, int height) {
    return {(kScreenWidth - width) / 2, (kScreenHeight - height) / 2, width, height};
}

class HeadlessForm final : public Form {
  public:
    explicit HeadlessForm(WindowHandle handle) : handle_(handle) {}
    ~HeadlessForm() override {
        auto& r = Windows();
        std::lock_guard lock(r.mutex);
        r.forms.erase(handle_);
        if (r.front == handle_) r.front = 0;
    }

    WindowHandle Handle() const override { return handle_; }
    void Show() override {
        bool shown = false;
        WithForm(handle_, [&](FormState& s) {
            shown = !s.visible;
            s.visible = true;
            s.minimized = false;
            s.z = ++Windows().top_z;
        });
        if (shown) Raise(&FormEvents::on_shown);
    }
    void ShowNoActivate() override { Show(); }
    void Hide() override {
        WithForm(handle_, [](FormState& s) { s.visible = false; });
    }
    bool Visible() const override {
        bool visible = false;
        WithForm(handle_, [&](FormState& s) { visible = s.visible; });
        return visible;
    }
    void Minimize() override {
        WithForm(handle_, [](FormState& s) { s.minimized = true; });
    }
    std::string Caption() const override {
        std::string caption;
        WithForm(handle_, [&](FormState& s) { caption = s.caption; });
        return caption;
    }
    void SetCaption(const std::string& caption) override {
        WithForm(handle_, [&](FormState& s) { s.caption = caption; });
    }

    Bounds GetBounds() const override {
        Bounds b;
        WithForm(handle_, [&](FormState& s) { b = s.bounds; });
        return b;
    }
    void SetBounds(Bounds bounds) override {
        bool moved = false;
        WithForm(handle_, [&](FormState& s) {
            moved = s.bounds.left != bounds.left || s.bounds.top != bounds.top;
            s.bounds = bounds;
        });
        if (moved) Raise(&FormEvents::on_moved);
    }
    void SetClientSize(int width, int height) override {
        WithForm(handle_, [&](FormState& s) {
            s.bounds.width = width;
            s.bounds.height = height;
        });
    }
    void CenterOnScreen() override {
        Bounds b = GetBounds();
        SetBounds(Centred(b.width, b.height));
    }
    void SetBorder(FormBorder) override {}
    void SetColor(Rgb) override {}
    void SetTransparentColor(std::optional<Rgb> color) override {
        WithForm(handle_, [&](FormState& s) { s.transparent = color; });
    }
    void BringToFront() override {
        WithForm(handle_, [&](FormState& s) { s.z = ++Windows().top_z; });
    }
    void BeginDrag(bool by_caption) override {
        WithForm(handle_, [&](FormState& s) {
            ++s.drags[by_caption ? 1 : 0];
            s.dragging = !by_caption;
        });
    }
    void LockUpdates(bool locked) override {
        WithForm(handle_, [&](FormState& s) { s.locked = locked; });
    }
    void Repaint() override {}
    bool ShowLayeredImages(const std::vector<LayeredImage>& images) override {
        for (const LayeredImage& image : images)
            if (!ImageSize(image.image)) return false;
        WithForm(handle_, [&](FormState& s) { s.layered = images; });
        return true;
    }

    // With a test's handler, the handler acts as the user; without one the loop runs until a
    // result is given (EndModal, a push button, closing) that on_close_query accepts.
    ModalResult ShowModal() override {
        std::function<ModalResult(Form&)> handler;
        {
            auto& r = Windows();
            std::lock_guard lock(r.mutex);
            handler = r.modal_handler;
        }
        WithForm(handle_, [](FormState& s) {
            s.modal = ModalResult::None;
            s.in_modal = true;
        });
        Show();
        ModalResult result = ModalResult::Cancel;
        if (handler) {
            const ModalResult answer = handler(*this);
            ModalResult pressed = ModalResult::None;
            WithForm(handle_, [&](FormState& s) { pressed = s.modal; });
            // A button pressed inside the handler decided it already.
            result = pressed != ModalResult::None ? pressed : answer != ModalResult::None ? answer : result;
            if (pressed == ModalResult::None) EndModal(result);
        } else {
            RunLoopUntil(MainLoop(), [this, &result] {
                ModalResult decided = ModalResult::None;
                WithForm(handle_, [&](FormState& s) { decided = s.in_modal ? ModalResult::None : s.modal; });
                if (decided == ModalResult::None) return false;
                result = decided;
                return true;
            });
        }
        WithForm(handle_, [](FormState& s) { s.in_modal = false; });
        Hide();
        return result;
    }
    // The form closes only when its close query agrees.
    void EndModal(ModalResult result) override {
        auto query = EventOf(handle_, &FormEvents::on_close_query);
        if (query && !query(result)) return;
        WithForm(handle_, [&](FormState& s) {
            s.modal = result;
            s.in_modal = false;
        });
    }

  private:
    template <typename Member>
    void Raise(Member member) const {
        auto handler = EventOf(handle_, member);
        if (handler) handler();
    }

    WindowHandle handle_;
};

}  // namespace

std::unique_ptr<Form> CreateForm(const FormSpec& spec, FormEvents events) {
    auto& r = Windows();
    std::lock_guard lock(r.mutex);
    WindowHandle handle = r.next++;
    FormState& state = r.forms[handle];
    state.class_name = spec.class_name;
    state.caption = spec.caption;
    state.events = std::move(events);
    state.font = spec.font;
    state.bounds = spec.centred ? Centred(spec.client_width, spec.client_height)
                                : Bounds{0, 0, spec.client_width, spec.client_height};
    auto form = std::make_unique<HeadlessForm>(handle);
    state.form = form.get();
    return form;
}

void MinimizeApplication() {
    auto& r = Windows();
    std::lock_guard lock(r.mutex);
    for (auto& [handle, state] : r.forms)
        if (state.visible) state.minimized = true;
}

std::vector<WindowHandle> TopLevelWindowsOfClass(std::string_view class_name) {
    auto& r = Windows();
    std::lock_guard lock(r.mutex);
    std::vector<WindowHandle> found;
    for (const auto& [handle, state] : r.forms)
        if (state.class_name == class_name) found.push_back(handle);
    return found;
}

void BringWindowToFront(WindowHandle window) {
    auto& r = Windows();
    std::lock_guard lock(r.mutex);
    auto it = r.forms.find(window);
    if (it == r.forms.end()) return;
    it->second.visible = true;
    it->second.minimized = false;
    it->second.z = ++r.top_z;
    r.front = window;
}

WindowHandle HeadlessFrontWindow() {
    auto& r = Windows();
    std::lock_guard lock(r.mutex);
    return r.front;
}

bool HeadlessMinimized(WindowHandle window) {
    bool minimized = false;
    WithForm(window, [&](FormState& s) { minimized = s.minimized; });
    return minimized;
}

int HeadlessZOrder(WindowHandle window) {
    int z = 0;
    WithForm(window, [&](FormState& s) { z = s.z; });
    return z;
}

std::optional<Rgb> HeadlessTransparentColor(WindowHandle window) {
    std::optional<Rgb> color;
    WithForm(window, [&](FormState& s) { color = s.transparent; });
    return color;
}

std::vector<LayeredImage> HeadlessLayeredImages(WindowHandle window) {
    std::vector<LayeredImage> images;
    WithForm(window, [&](FormState& s) { images = s.layered; });
    return images;
}

bool HeadlessUpdatesLocked(WindowHandle window) {
    bool locked = false;
    WithForm(window, [&](FormState& s) { locked = s.locked; });
    return locked;
}

int HeadlessDragRequests(WindowHandle window, bool by_caption) {
    int n = 0;
    WithForm(window, [&](FormState& s) { n = s.drags[by_caption ? 1 : 0]; });
    return n;
}

void HeadlessDragBy(WindowHandle window, int dx, int dy) {
    Form* form = nullptr;
    bool dragging = false;
    WithForm(window, [&](FormState& s) {
        form = s.form;
        dragging = std::exchange(s.dragging, false);
    });
    if (!form) return;
    Bounds b = form->GetBounds();
    b.left += dx;
    b.top += dy;
    form->SetBounds(b);
    if (dragging) {
        auto end = EventOf(window, &FormEvents::on_drag_end);
        if (end) end();
    }
}

void HeadlessMouseDownOnForm(WindowHandle window, int x, int y) {
    auto handler = EventOf(window, &FormEvents::on_mouse_down);
    if (handler) handler(x, y);
}

void HeadlessActivateApp(WindowHandle window) {
    auto handler = EventOf(window, &FormEvents::on_app_activate);
    if (handler) handler();
}

FontSpec HeadlessFormFont(WindowHandle window) {
    FontSpec font;
    WithForm(window, [&](FormState& s) { font = s.font; });
    return font;
}

void HeadlessSetModalHandler(std::function<ModalResult(Form&)> handler) {
    auto& r = Windows();
    std::lock_guard lock(r.mutex);
    r.modal_handler = std::move(handler);
}

void HeadlessClose(WindowHandle window) {
    std::function<void()> on_close;
    Form* modal = nullptr;
    {
        auto& r = Windows();
        std::lock_guard lock(r.mutex);
        auto it = r.forms.find(window);
        if (it == r.forms.end()) return;
        if (it->second.in_modal) {
            modal = it->second.form;
        } else if (!it->second.events.on_close) {
            it->second.visible = false;
            return;
        } else {
            // Called unlocked and from a copy: the handler may destroy the form.
            on_close = it->second.events.on_close;
        }
    }
    // Closing a modal form is its Cancel.
    if (modal) {
        modal->EndModal(ModalResult::Cancel);
        return;
    }
    on_close();
}

}  // namespace orlo::platform

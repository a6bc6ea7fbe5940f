// Headless windows: state in memory, listed process-wide so the window search of a second
// start finds them as it would find real windows.
#include "platform/forms.h"
#include "platform/headless_windows.h"

#include <map>
#include <mutex>

namespace orlo::platform {
namespace {

struct FormState {
    std::string class_name;
    std::string caption;
    bool visible = false;
    bool minimized = false;
    std::function<void()> on_close;
};

// Handles are numbers never reused, so a stale handle finds nothing rather than a newer form.
struct Registry {
    std::mutex mutex;
    std::map<WindowHandle, FormState> forms;  // ordered by handle, that is by creation
    WindowHandle next = 0x10;
    WindowHandle front = 0;
};

Registry& Windows() {
    static Registry registry;
    return registry;
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
        Update([](FormState& s) {
            s.visible = true;
            s.minimized = false;
        });
    }
    void Hide() override {
        Update([](FormState& s) { s.visible = false; });
    }
    bool Visible() const override {
        bool visible = false;
        Update([&](FormState& s) { visible = s.visible; });
        return visible;
    }
    void Minimize() override {
        Update([](FormState& s) { s.minimized = true; });
    }
    std::string Caption() const override {
        std::string caption;
        Update([&](FormState& s) { caption = s.caption; });
        return caption;
    }
    void SetCaption(const std::string& caption) override {
        Update([&](FormState& s) { s.caption = caption; });
    }

  private:
    template <typename F>
    void Update(F&& f) const {
        auto& r = Windows();
        std::lock_guard lock(r.mutex);
        auto it = r.forms.find(handle_);
        if (it != r.forms.end()) f(it->second);
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
    state.on_close = std::move(events.on_close);
    return std::make_unique<HeadlessForm>(handle);
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
    r.front = window;
}

WindowHandle HeadlessFrontWindow() {
    auto& r = Windows();
    std::lock_guard lock(r.mutex);
    return r.front;
}

bool HeadlessMinimized(WindowHandle window) {
    auto& r = Windows();
    std::lock_guard lock(r.mutex);
    auto it = r.forms.find(window);
    return it != r.forms.end() && it->second.minimized;
}

void HeadlessClose(WindowHandle window) {
    std::function<void()> on_close;
    {
        auto& r = Windows();
        std::lock_guard lock(r.mutex);
        auto it = r.forms.find(window);
        if (it == r.forms.end()) return;
        if (!it->second.on_close) {
            it->second.visible = false;
            return;
        }
        // Called unlocked and from a copy: the handler may destroy the form.
        on_close = it->second.on_close;
    }
    on_close();
}

}  // namespace orlo::platform

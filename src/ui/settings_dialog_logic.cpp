#include "ui/settings_dialog_logic.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <utility>

namespace orlo::ui {
namespace {

std::string SizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// A whole positive decimal number, nothing before or after it.
std::optional<int> PositiveNumber(std::string_view text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
    return value;
}

}  // namespace

std::vector<std::string> EnumDisplayModes(const std::vector<platform::DisplayMode>& modes) {
    // The system lists each size once per colour depth and refresh rate.
    std::vector<std::pair<int, int>> sizes;
    for (const auto& m : modes) {
        if (m.width <= 640) continue;
        std::pair size{m.width, m.height};
        if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) sizes.push_back(size);
    }
    std::sort(sizes.begin(), sizes.end());
    std::vector<std::string> texts;
    for (const auto& [w, h] : sizes) texts.push_back(SizeText(w, h));
    if (texts.empty()) texts = {"800x600", "1024x768"};
    return texts;
}

void LoadConfig(SettingsDialogState& dialog, const LauncherSettings& settings) {
    dialog.chkWindow = !settings.bFullScreen;
    dialog.chkVBlank = settings.bWaitVBlank;
    dialog.chk3D = settings.b3D;

    const auto& list = dialog.screen_sizes;
    auto index_of = [&](const std::string& text) -> int {
        auto it = std::find(list.begin(), list.end(), text);
        return it == list.end() ? -1 : static_cast<int>(it - list.begin());
    };
    int index = index_of(SizeText(settings.nWidth, settings.nHeight));
    if (index < 0 && !list.empty()) {
        index = index_of("1024x768");
        if (index < 0) index = 0;
    }
    dialog.screen_size_index = index;
}

void FormCloseQuery(const SettingsDialogState& dialog, bool ok, LauncherSettings& settings) {
    if (!ok) return;
    settings.bNotClassicUI = !dialog.chkMainI;
    settings.bFullScreen = !dialog.chkWindow;
    settings.bWaitVBlank = dialog.chkVBlank;
    settings.b3D = dialog.chk3D;

    const int index = dialog.screen_size_index;
    if (index < 0 || index >= static_cast<int>(dialog.screen_sizes.size())) return;
    std::string_view text = dialog.screen_sizes[static_cast<std::size_t>(index)];
    auto x = text.find('x');
    if (x == std::string_view::npos) return;
    // Width and height change together or not at all: half a size is worse than the old one.
    auto width = PositiveNumber(text.substr(0, x));
    auto height = PositiveNumber(text.substr(x + 1));
    if (!width || !height) return;
    settings.nWidth = *width;
    settings.nHeight = *height;
}

}  // namespace orlo::ui

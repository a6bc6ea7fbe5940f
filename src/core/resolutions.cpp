#include "core/resolutions.h"

#include <string>
#include <vector>

#include "core/trace.h"

namespace orlo {
namespace {

int DigitsValue(const std::string& digits, int fallback) {
    if (digits.empty()) return fallback;
    long long v = 0;
    for (char c : digits) {
        v = v * 10 + (c - '0');
        if (v > 2147483647LL) return fallback;
    }
    return static_cast<int>(v);
}

}  // namespace

ResolutionSize ParseResolution(std::string_view text) {
    std::string width, height;
    bool in_height = false;
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        if (!digit) {
            in_height = true;
        } else {
            (in_height ? height : width) += c;
        }
    }
    return {DigitsValue(width, kDefaultWidth), DigitsValue(height, kDefaultHeight)};
}

void ParseResolution(LauncherSettings& settings) {
    const ResolutionSize size = ParseResolution(settings.sResolution);
    settings.nWidth = size.width;
    settings.nHeight = size.height;
}

void LoadResolutions(const IComponentContainer& form, LauncherSettings& settings) {
    const int count = form.ComponentCount();
    TraceF("载入分辨率 窗体控件数量:%d  分辨率序号:%d", count, settings.nResolutionIndex);
    if (settings.nResolutionIndex >= static_cast<int>(kResolutionTexts.size())) {
        settings.nResolutionIndex = kDefaultResolutionIndex;
    }
    for (int i = 0; i < count; ++i) {
        IControl* control = form.Component(i);
        if (!control || control->ClassName() != kResolutionListClass) continue;
        auto* list = dynamic_cast<IListControl*>(control);
        if (!list) continue;
        list->SetItems(std::vector<std::string>(kResolutionTexts.begin(), kResolutionTexts.end()));
        list->SetItemIndex(settings.nResolutionIndex);
        settings.sResolution = list->SelectedText();
    }
    ParseResolution(settings);
}

void LoadResolutions(const IComponentContainer& form) { LoadResolutions(form, g_Settings()); }

void ResolutionComboboxChange(const IListControl& list, LauncherSettings& settings) {
    const int index = list.ItemIndex();
    if (index >= 0) {
        settings.nResolutionIndex = index;
        settings.sResolution = list.SelectedText();
        ParseResolution(settings);
    }
    TraceF("g_sResolution %s", settings.sResolution.c_str());
}

void ResolutionComboboxChange(const IListControl& list) { ResolutionComboboxChange(list, g_Settings()); }

}  // namespace orlo

// The fixed list of game resolutions offered in the main window and the size taken from the
// chosen entry's text.
#pragma once
#include <array>
#include <string_view>

#include "core/controls.h"
#include "core/launcher_state.h"

namespace orlo {

inline constexpr std::array<std::string_view, 10> kResolutionTexts = {
    "1920x1080", "1600x1024", "1600x900", "1440x900", "1366x768",
    "1280x800",  "1280x720",  "1152x864", "1024x768", "800x600",
};

inline constexpr std::string_view kResolutionListClass = "TuResolutionCombobox";

struct ResolutionSize {
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    bool operator==(const ResolutionSize&) const = default;
};

// Digits up to the first other character give the width, all later digits the height; a
// part without digits (or too large to hold) gives 1024 or 768.
ResolutionSize ParseResolution(std::string_view text);
// Sets width and height from the resolution text.
void ParseResolution(LauncherSettings& settings);

// Fills every resolution list of the form with the ten entries and selects the stored index
// (falling back to 8 when it is past the end); the last list decides the resolution text.
void LoadResolutions(const IComponentContainer& form, LauncherSettings& settings);
void LoadResolutions(const IComponentContainer& form);

// The player picked an entry of `list`.
void ResolutionComboboxChange(const IListControl& list, LauncherSettings& settings);
void ResolutionComboboxChange(const IListControl& list);

}  // namespace orlo

// The player's choices kept between runs in a small INI file in the temporary directory,
// one file per launcher title.
#pragma once
#include <filesystem>
#include <optional>
#include <string_view>

#include "core/launcher_state.h"

namespace orlo {

// The temporary directory, a separator, the title, ".ini".
std::filesystem::path GetSettingsFileName(std::string_view title);

// Reads the file into `settings`. A missing file changes nothing; otherwise all five values
// are set, each missing or unreadable one to its default.
void ReadSettings(const std::filesystem::path& file, LauncherSettings& settings);

// Writes the five values to section "Client", keeping every other line of the file. Returns
// false when the file could not be replaced; callers report nothing.
bool SaveSettings(const std::filesystem::path& file, const LauncherSettings& settings);

// The same for the process-wide values and the title's file.
void ReadSettings(std::string_view title);
bool SaveSettings(std::string_view title);

// Integer as the settings file stores it: optional sign and decimal digits, or "0x" and
// hexadecimal digits; surrounding blanks are allowed. Empty optional when it is not one.
std::optional<int> ParseSettingsInteger(std::string_view text);

}  // namespace orlo

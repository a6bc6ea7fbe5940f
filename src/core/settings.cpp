#include "core/settings.h"

#include <cstdint>
#include <string>
#include <system_error>

#include "core/ini_file.h"
#include "core/trace.h"
#include "platform/files.h"

namespace orlo {
namespace {

// The real file holds a few short lines; anything far larger is not ours to read.
constexpr std::size_t kMaxSettingsBytes = 16u << 20;

constexpr std::string_view kSection = "Client";
constexpr std::string_view kOldSection = "客户端";

struct Layout {
    std::string_view section, account, server, resolution, full_screen, wait_vblank;
};
constexpr Layout kCurrent{kSection, "Account", "SID", "Resolution", "FullScreen", "WaitVBlank"};
constexpr Layout kOlder{kOldSection, "默认账号", "默认服务器", "分辨率", "窗口化", "垂直同步"};

int ReadInt(const IniFile& ini, std::string_view section, std::string_view key, int fallback) {
    auto value = ini.Get(section, key);
    if (!value) return fallback;
    return ParseSettingsInteger(*value).value_or(fallback);
}

bool ReadBool(const IniFile& ini, std::string_view section, std::string_view key, bool fallback) {
    return ReadInt(ini, section, key, fallback ? 1 : 0) != 0;
}

IniFile LoadIni(const std::filesystem::path& file) {
    auto bytes = platform::ReadWholeFile(file, kMaxSettingsBytes);
    return IniFile::Parse(bytes ? *bytes : std::string());
}

}  // namespace

std::optional<int> ParseSettingsInteger(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint64_t v = 0;
        for (char c : text.substr(2)) {
            int d = (c >= '0' && c <= '9')   ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
            if (d < 0) return std::nullopt;
            v = v * 16 + static_cast<std::uint64_t>(d);
            if (v > 0xFFFFFFFFu) return std::nullopt;
        }
        // Eight hexadecimal digits fill the 32 bits, sign included, as the stored integers did.
        return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > 2147483647LL) return std::nullopt;
    return static_cast<int>(v);
}

std::filesystem::path GetSettingsFileName(std::string_view title) {
    std::filesystem::path path = platform::TempDirectory();
    path += std::filesystem::path::preferred_separator;
    path += platform::PathFromUtf8(std::string(title) + ".ini");
    return path;
}

void ReadSettings(const std::filesystem::path& file, LauncherSettings& settings) {
    const std::string name = platform::PathToUtf8(file);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        TraceF("读取配置文件失败 %s", name.c_str());
        return;
    }
    TraceF("读取配置文件成功 %s", name.c_str());
    const IniFile ini = LoadIni(file);
    // An empty "Resolution" marks a file written before the "Client" section existed.
    const Layout& l = ini.GetString(kSection, kCurrent.resolution).empty() ? kOlder : kCurrent;
    settings.sAccount = ini.GetString(l.section, l.account);
    settings.nServerID = ReadInt(ini, l.section, l.server, 0);
    settings.nResolutionIndex = ReadInt(ini, l.section, l.resolution, kDefaultResolutionIndex);
    settings.bFullScreen = ReadBool(ini, l.section, l.full_screen, true);
    settings.bWaitVBlank = ReadBool(ini, l.section, l.wait_vblank, true);
}

bool SaveSettings(const std::filesystem::path& file, const LauncherSettings& settings) {
    TraceF("保存配置文件 %s", platform::PathToUtf8(file).c_str());
    // Start from what is there so the older section and any foreign lines survive.
    IniFile ini = LoadIni(file);
    ini.Set(kSection, kCurrent.account, settings.sAccount);
    ini.Set(kSection, kCurrent.server, std::to_string(settings.nServerID));
    ini.Set(kSection, kCurrent.resolution, std::to_string(settings.nResolutionIndex));
    ini.Set(kSection, kCurrent.full_screen, settings.bFullScreen ? "1" : "0");
    ini.Set(kSection, kCurrent.wait_vblank, settings.bWaitVBlank ? "1" : "0");
    return platform::ReplaceFileContents(file, ini.SerializeAnsi());
}

void ReadSettings(std::string_view title) { ReadSettings(GetSettingsFileName(title), g_Settings()); }

bool SaveSettings(std::string_view title) { return SaveSettings(GetSettingsFileName(title), g_Settings()); }

}  // namespace orlo

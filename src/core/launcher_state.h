// Process-wide launcher values remembered between runs: what the settings file holds and the
// resolution derived from it. One instance per process, used on the main thread only.
#pragma once
#include <string>
#include <vector>

namespace orlo {

inline constexpr int kDefaultResolutionIndex = 8;
inline constexpr int kDefaultWidth = 1024;
inline constexpr int kDefaultHeight = 768;

struct LauncherSettings {
    std::string sAccount;  // remembered account name
    int nServerID = 0;     // selected server id, 0 = none
    int nResolutionIndex = kDefaultResolutionIndex;
    std::string sResolution;  // g_sResolution: selected entry's text, empty when none
    int nWidth = kDefaultWidth;
    int nHeight = kDefaultHeight;
    bool bFullScreen = true;
    bool bWaitVBlank = true;  // vertical sync
    bool b3D = true;          // 3-D acceleration
    bool bNotClassicUI = false;
    int nClassicWidth = kDefaultWidth;  // display size of the classic client
    int nClassicHeight = kDefaultHeight;
};

// The process's instance, made on first use.
LauncherSettings& g_Settings();

// Running-clients list: process handles of started game clients, as decimal texts.
std::vector<std::string>& RunningClients();

}  // namespace orlo

// What the game clients need of the system: a 32-bit true-colour display and a firewall that
// lets the launcher through.
#pragma once
#include <filesystem>
#include <string>

namespace orlo {

// Bits per pixel of the display.
int GetColorDepth();

// Switches the primary display (or the current one) to 32 bits per pixel for this session
// when it runs at another depth; tells the player when the system refuses. Never fails
// start-up.
void ForceTrueColor();

// Lists the executable as an authorised application in the Windows firewall under the name,
// replacing an older entry for the same path. Every failure is silent.
void AddFirewallException(const std::string& name, const std::filesystem::path& path);

}  // namespace orlo

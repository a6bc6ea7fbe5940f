// The Windows firewall's list of authorised applications.
#pragma once
#include <filesystem>
#include <string_view>

namespace orlo::platform {

// Lists the program as an authorised application of the current profile (all networks, any
// IP version, enabled), replacing an entry for the same path. Every failure is silent: no
// firewall service and too few rights are ordinary.
void AddFirewallApplication(std::string_view name, const std::filesystem::path& program);

// How many authorised applications of the current profile have that path; -1 when the
// firewall cannot be read.
int FirewallApplicationCount(const std::filesystem::path& program);

}  // namespace orlo::platform

// Linux has no such firewall list: an in-memory one behaves as the Windows one does.
#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/firewall.h"

namespace orlo::platform {
namespace {

struct Entry {
    std::string name;
    std::filesystem::path program;
};

std::mutex g_mutex;
std::vector<Entry>& Entries() {
    static std::vector<Entry> entries;
    return entries;
}

}  // namespace

void AddFirewallApplication(std::string_view name, const std::filesystem::path& program) {
    std::lock_guard lock(g_mutex);
    auto& entries = Entries();
    std::erase_if(entries, [&](const Entry& e) { return e.program == program; });
    entries.push_back({std::string(name), program});
}

int FirewallApplicationCount(const std::filesystem::path& program) {
    std::lock_guard lock(g_mutex);
    const auto& entries = Entries();
    return static_cast<int>(
        std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.program == program; }));
}

}  // namespace orlo::platform

// The scenarios the devserver plays: what each route answers and which faults it injects.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/result.h"

namespace orlo::devserver {

// Which signing rule a route's requests follow.
enum class RouteKind { Gateway, ModList, ServerList };

struct Faults {
    std::optional<int> status;        // answer with this status instead of 200
    int delay_ms = 0;                 // wait before answering
    std::optional<std::string> body;  // literal body instead of the route's own answer
    int fail_first = 0;               // the first N signed requests get 500
    bool close = false;               // drop the connection without an answer
};

struct Route {
    RouteKind kind = RouteKind::ModList;
    std::string path;  // under the scenario's prefix; "" is the prefix itself
    Faults faults;
    // Gateway: mod-list addresses, "{base}" standing for the scenario's base address.
    std::vector<std::string> urls;
    bool has_urls = false;
    // Mod and server lists: the text served ("json" values serialised, "{base}" replaced).
    std::optional<std::string> text;
    bool disguise = false;  // mod lists: look-alike characters
    bool encipher = false;  // server lists: marker + XXTEA + Base64
    std::string marker = "4meJnPyl";
};

struct Scenario {
    std::string name;
    bool check_signature = true;
    std::vector<Route> routes;
};

using Scenarios = std::map<std::string, Scenario, std::less<>>;

// Errors name the scenario and the key, e.g. `scenario "gw": mod_lists."/a".delay_ms: ...`.
Result<Scenarios> ParseScenarios(std::string_view config_text);

// Replaces every "{base}" in text.
std::string ReplaceBase(std::string_view text, std::string_view base);

}  // namespace orlo::devserver

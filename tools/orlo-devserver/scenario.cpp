#include "scenario.h"

#include <nlohmann/json.hpp>

#include <set>

namespace orlo::devserver {
namespace {

// Ordered, so "json" values are served with their keys in the order the scenario wrote them.
using json = nlohmann::ordered_json;

// Thrown inside the parser only; ParseScenarios turns it into a failed Result.
struct ConfigError {
    std::string message;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) { throw ConfigError{where + ": " + what}; }

std::string Quote(std::string_view s) { return "\"" + std::string(s) + "\""; }

void CheckKeys(const json& object, const std::string& where, const std::set<std::string>& allowed) {
    if (!object.is_object()) Fail(where, "expected an object");
    for (const auto& [key, value] : object.items()) {
        // Unknown keys are refused: a misspelt fault would otherwise pass silently.
        if (!allowed.contains(key)) Fail(where, "unknown key " + Quote(key));
    }
}

int ReadCount(const json& object, const char* key, const std::string& where, int max) {
    if (!object.contains(key)) return 0;
    const json& v = object.at(key);
    if (!v.is_number_integer() || v.get<long long>() < 0 || v.get<long long>() > max) {
        Fail(where + "." + key, "expected an integer from 0 to " + std::to_string(max));
    }
    return v.get<int>();
}

bool ReadFlag(const json& object, const char* key, const std::string& where, bool fallback) {
    if (!object.contains(key)) return fallback;
    if (!object.at(key).is_boolean()) Fail(where + "." + key, "expected true or false");
    return object.at(key).get<bool>();
}

std::optional<std::string> ReadText(const json& object, const char* key, const std::string& where) {
    if (!object.contains(key)) return std::nullopt;
    if (!object.at(key).is_string()) Fail(where + "." + key, "expected a string");
    return object.at(key).get<std::string>();
}

Faults ReadFaults(const json& route, const std::string& where) {
    Faults f;
    if (route.contains("status")) {
        const json& v = route.at("status");
        if (!v.is_number_integer() || v.get<long long>() < 100 || v.get<long long>() > 599) {
            Fail(where + ".status", "expected an HTTP status from 100 to 599");
        }
        f.status = v.get<int>();
    }
    f.delay_ms = ReadCount(route, "delay_ms", where, 600'000);
    f.body = ReadText(route, "body", where);
    f.fail_first = ReadCount(route, "fail_first", where, 1'000'000);
    f.close = ReadFlag(route, "close", where, false);
    return f;
}

const std::set<std::string> kFaultKeys = {"status", "delay_ms", "body", "fail_first", "close"};

std::set<std::string> With(std::set<std::string> keys) {
    keys.insert(kFaultKeys.begin(), kFaultKeys.end());
    return keys;
}

bool Answers(const Route& r) { return r.faults.body || r.faults.status || r.faults.close; }

Route ReadGateway(const json& v, const std::string& where) {
    CheckKeys(v, where, With({"path", "urls"}));
    Route r;
    r.kind = RouteKind::Gateway;
    r.path = ReadText(v, "path", where).value_or("");
    if (!r.path.empty() && r.path.front() != '/') Fail(where + ".path", "expected \"\" or a path beginning with \"/\"");
    r.faults = ReadFaults(v, where);
    if (v.contains("urls")) {
        const json& urls = v.at("urls");
        if (!urls.is_array()) Fail(where + ".urls", "expected an array of strings");
        for (const json& u : urls) {
            if (!u.is_string()) Fail(where + ".urls", "expected an array of strings");
            r.urls.push_back(u.get<std::string>());
        }
        r.has_urls = true;
    }
    if (r.has_urls && r.faults.body) Fail(where, "\"urls\" and \"body\" exclude each other");
    if (!r.has_urls && !Answers(r)) Fail(where, "needs \"urls\", \"body\", \"status\" or \"close\"");
    return r;
}

Route ReadList(RouteKind kind, const std::string& path, const json& v, const std::string& where) {
    const bool mod = kind == RouteKind::ModList;
    CheckKeys(v, where,
              With(mod ? std::set<std::string>{"json", "text", "disguise"}
                       : std::set<std::string>{"json", "text", "encipher", "marker"}));
    if (path.empty() || path.front() != '/') Fail(where, "the path must begin with \"/\"");
    if (path.find_first_of("?#") != std::string::npos) Fail(where, "the path must not hold \"?\" or \"#\"");
    Route r;
    r.kind = kind;
    r.path = path;
    r.faults = ReadFaults(v, where);
    if (v.contains("json") && v.contains("text")) Fail(where, "\"json\" and \"text\" exclude each other");
    if (v.contains("json")) r.text = v.at("json").dump();
    if (v.contains("text")) r.text = ReadText(v, "text", where);
    if (r.text && r.faults.body)
        Fail(where, "\"" + std::string(v.contains("json") ? "json" : "text") + "\" and \"body\" exclude each other");
    if (!r.text && !Answers(r)) Fail(where, "needs \"json\", \"text\", \"body\", \"status\" or \"close\"");
    if (mod) {
        r.disguise = ReadFlag(v, "disguise", where, false);
    } else {
        r.encipher = ReadFlag(v, "encipher", where, false);
        if (auto marker = ReadText(v, "marker", where)) {
            if (!r.encipher) Fail(where + ".marker", "only meaningful with \"encipher\": true");
            r.marker = *marker;
        }
    }
    return r;
}

bool ValidName(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                  c == '.';
        if (!ok) return false;
    }
    return true;
}

Scenario ReadScenario(const std::string& name, const json& v) {
    const std::string where = "scenario " + Quote(name);
    if (!ValidName(name)) Fail(where, "names use only letters, digits, \"-\", \"_\" and \".\"");
    CheckKeys(v, where, {"check_signature", "gateway", "mod_lists", "server_lists"});
    Scenario s;
    s.name = name;
    s.check_signature = ReadFlag(v, "check_signature", where, true);
    if (v.contains("gateway")) s.routes.push_back(ReadGateway(v.at("gateway"), where + ": gateway"));
    for (auto [key, kind] : {std::pair{"mod_lists", RouteKind::ModList}, {"server_lists", RouteKind::ServerList}}) {
        if (!v.contains(key)) continue;
        const json& lists = v.at(key);
        if (!lists.is_object()) Fail(where + ": " + key, "expected an object of paths");
        for (const auto& [path, route] : lists.items()) {
            s.routes.push_back(ReadList(kind, path, route, where + ": " + key + "." + Quote(path)));
        }
    }
    std::set<std::string> seen;
    for (const Route& r : s.routes) {
        std::string p = r.path == "/" ? "" : r.path;
        if (!seen.insert(p).second) Fail(where, "the path " + Quote(r.path) + " is served twice");
    }
    return s;
}

}  // namespace

Result<Scenarios> ParseScenarios(std::string_view config_text) {
    try {
        json root = json::parse(config_text);
        CheckKeys(root, "config", {"scenarios"});
        if (!root.contains("scenarios") || !root.at("scenarios").is_object()) {
            Fail("config", "expected \"scenarios\": an object of named scenarios");
        }
        Scenarios out;
        for (const auto& [name, value] : root.at("scenarios").items()) out.emplace(name, ReadScenario(name, value));
        if (out.empty()) Fail("config", "\"scenarios\" is empty");
        return out;
    } catch (const ConfigError& e) {
        return Result<Scenarios>::Fail(e.message);
    } catch (const json::exception& e) {
        return Result<Scenarios>::Fail(std::string("config is not JSON: ") + e.what());
    }
}

std::string ReplaceBase(std::string_view text, std::string_view base) {
    constexpr std::string_view kToken = "{base}";
    std::string out;
    std::size_t at = 0;
    for (std::size_t hit; (hit = text.find(kToken, at)) != std::string_view::npos; at = hit + kToken.size()) {
        out.append(text.substr(at, hit - at)).append(base);
    }
    out.append(text.substr(at));
    return out;
}

}  // namespace orlo::devserver

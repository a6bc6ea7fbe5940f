#include "list_signature.h"

#include <ctime>
#include <vector>

#include "codec/digest.h"
#include "codec/secrets.h"

namespace orlo::devserver {
namespace {

std::vector<std::pair<std::string_view, std::string_view>> SplitQuery(std::string_view query) {
    std::vector<std::pair<std::string_view, std::string_view>> out;
    while (true) {
        std::size_t amp = query.find('&');
        std::string_view part = query.substr(0, amp);
        std::size_t eq = part.find('=');
        if (eq == std::string_view::npos) {
            out.emplace_back(part, std::string_view());
        } else {
            out.emplace_back(part.substr(0, eq), part.substr(eq + 1));
        }
        if (amp == std::string_view::npos) break;
        query.remove_prefix(amp + 1);
    }
    return out;
}

// The launcher writes a signed 32-bit number in plain decimal; anything else is its fault.
std::optional<std::int64_t> ParseTimeStamp(std::string_view t) {
    if (t.empty() || t.size() > 10 || (t.size() > 1 && t.front() == '0')) return std::nullopt;
    std::int64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > INT32_MAX) return std::nullopt;
    return v;
}

void RemoveFirst(std::string& text, std::string_view what) {
    if (auto at = text.find(what); at != std::string::npos) text.erase(at, what.size());
}

}  // namespace

std::int64_t ExpectedTimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::int64_t>(timegm(&local)) - 28'800;
}

std::string ResourceNameOf(std::string_view raw_path, RouteKind kind) {
    std::string name(raw_path.substr(0, raw_path.find_first_of("?#")));
    RemoveFirst(name, kind == RouteKind::ServerList ? "/gsl/auth/server_list_auth" : "/gsl/auth/mod_list_auth");
    RemoveFirst(name, "/gsl/main/");
    return name;
}

std::optional<std::string> CheckSignature(std::string_view raw_target, RouteKind kind, std::int64_t now) {
    std::size_t q = raw_target.find('?');
    if (q == std::string_view::npos) return "no query: time stamp and signature missing";
    std::string_view path = raw_target.substr(0, q);
    std::string_view query = raw_target.substr(q + 1);
    query = query.substr(0, query.find('#'));

    // The launcher builds the query in one fixed order; another order or extra fields mean a
    // different request builder than the one we serve.
    const bool gateway = kind == RouteKind::Gateway;
    auto fields = SplitQuery(query);
    const std::string expected_form = gateway ? "time=T&sign=S&type=getaway" : "time=T&sign=S";
    if (fields.size() != (gateway ? 3u : 2u) || fields[0].first != "time" || fields[1].first != "sign" ||
        (gateway && (fields[2].first != "type" || fields[2].second != "getaway"))) {
        return "query \"" + std::string(query) + "\" is not of the form \"" + expected_form + "\"";
    }
    std::string_view t = fields[0].second;
    std::string_view sign = fields[1].second;

    auto stamp = ParseTimeStamp(t);
    if (!stamp) return "time stamp \"" + std::string(t) + "\" is not a plain decimal number";
    if (*stamp < now - kTimeSlackSeconds || *stamp > now + kTimeSlackSeconds) {
        return "time stamp " + std::string(t) + " is " + std::to_string(*stamp - now) + " s off the expected " +
               std::to_string(now);
    }

    std::string signing_text = gateway
                                   ? "key=" + std::string(secrets::kListServiceKey) + "&time=" + std::string(t)
                                   : "data=" + ResourceNameOf(path, kind) +
                                         "&key=" + std::string(secrets::kListServiceKey) + "&time=" + std::string(t);
    std::string want = SignDigest(signing_text);
    if (sign != want) {
        return "signature \"" + std::string(sign) + "\" does not match \"" + want + "\" over \"" + signing_text + "\"";
    }
    return std::nullopt;
}

}  // namespace orlo::devserver

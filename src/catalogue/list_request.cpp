#include "catalogue/list_request.h"

#include <cmath>
#include <ctime>
#include <limits>
#include <mutex>

#include "codec/digest.h"
#include "codec/secrets.h"

namespace orlo {

namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian), after H. Hinnant.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// The C library's localtime is the one call that knows the zone on both targets; its result
// lives in a shared buffer on some C libraries, and the server-list worker stamps too.
std::int64_t LocalSecondsAsIfUtc(std::chrono::system_clock::time_point now) {
    static std::mutex mutex;
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    {
        std::lock_guard<std::mutex> lock(mutex);
        const std::tm* p = std::localtime(&t);
        if (p == nullptr) return static_cast<std::int64_t>(t);
        local = *p;
    }
    const std::int64_t days = DaysFromCivil(std::int64_t{local.tm_year} + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                            static_cast<unsigned>(local.tm_mday));
    return days * 86400 + std::int64_t{local.tm_hour} * 3600 + std::int64_t{local.tm_min} * 60 + local.tm_sec;
}

void RemoveFirst(std::string& text, std::string_view what) {
    if (what.empty()) return;
    const std::size_t at = text.find(what);
    if (at != std::string::npos) text.erase(at, what.size());
}

}  // namespace

std::int32_t ListTimeValue(std::chrono::system_clock::time_point now) {
    // The field is 32 bits wide on the wire; past 2038 it wraps as the service's own does.
    return static_cast<std::int32_t>(LocalSecondsAsIfUtc(now) - 28800);
}

std::string ListTimeStamp(std::chrono::system_clock::time_point now) { return std::to_string(ListTimeValue(now)); }

std::string ListTimeStamp() { return ListTimeStamp(std::chrono::system_clock::now()); }

std::string ResourceName(std::string_view url, std::string_view service_prefix) {
    std::size_t host = 0;
    const std::size_t scheme = url.find("://");
    if (scheme != std::string_view::npos && url.find_first_of("/?#") >= scheme) host = scheme + 3;
    const std::size_t path = url.find_first_of("/?#", host);
    std::string name;
    if (path != std::string_view::npos && url[path] == '/') {
        name = std::string(url.substr(path, url.find_first_of("?#", path) - path));
    }
    RemoveFirst(name, service_prefix);
    RemoveFirst(name, "/gsl/main/");
    return name;
}

std::string BuildGatewayUrl(std::string_view list_address, std::string_view time_stamp) {
    std::string signing = "key=";
    signing += secrets::kListServiceKey;
    signing += "&time=";
    signing += time_stamp;
    std::string url(list_address);
    url += "?time=";
    url += time_stamp;
    url += "&sign=";
    url += SignDigest(signing);
    url += "&type=getaway";
    return url;
}

std::string BuildSignedUrl(std::string_view url, std::string_view service_prefix, std::string_view time_stamp) {
    std::string signing = "data=";
    signing += ResourceName(url, service_prefix);
    signing += "&key=";
    signing += secrets::kListServiceKey;
    signing += "&time=";
    signing += time_stamp;
    std::string out(url);
    out += "?time=";
    out += time_stamp;
    out += "&sign=";
    out += SignDigest(signing);
    return out;
}

std::optional<std::vector<std::string>> GatewayAddresses(std::string_view body) {
    const auto doc = listjson::ParseObject(body);
    if (!doc) return std::nullopt;
    const nlohmann::json* data = listjson::Find(*doc, "data");
    if (data == nullptr || !data->is_array()) return std::nullopt;
    std::vector<std::string> out;
    for (const auto& element : *data) {
        if (element.is_string()) {
            out.push_back(element.get<std::string>());
        } else if (element.is_number_integer()) {
            out.push_back(element.dump());
        } else {
            out.emplace_back();  // still an attempt: an empty address fails without a request
        }
    }
    return out;
}

namespace listjson {

bool NestingWithin(std::string_view text, std::size_t max_depth) {
    std::size_t depth = 0;
    bool in_string = false;
    bool escaped = false;
    for (const char c : text) {
        if (in_string) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                in_string = false;
            }
            continue;
        }
        switch (c) {
            case '"':
                in_string = true;
                break;
            case '[':
            case '{':
                if (++depth > max_depth) return false;
                break;
            case ']':
            case '}':
                if (depth > 0) --depth;
                break;
            default:
                break;
        }
    }
    return true;
}

std::optional<nlohmann::json> ParseObject(std::string_view text) {
    if (!NestingWithin(text, kMaxDepth)) return std::nullopt;
    nlohmann::json doc = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (!doc.is_object()) return std::nullopt;
    return doc;
}

const nlohmann::json* Find(const nlohmann::json& obj, std::string_view key) {
    if (!obj.is_object()) return nullptr;
    const auto it = obj.find(key);
    return it == obj.end() ? nullptr : &*it;
}

std::string Text(const nlohmann::json& obj, std::string_view key) {
    const nlohmann::json* v = Find(obj, key);
    if (v == nullptr) return {};
    if (v->is_string()) return v->get<std::string>();
    if (v->is_number_integer()) return v->dump();
    return {};
}

std::int64_t Int64(const nlohmann::json& obj, std::string_view key) {
    const nlohmann::json* v = Find(obj, key);
    if (v == nullptr) return 0;
    if (v->is_number_unsigned()) {
        const auto u = v->get<std::uint64_t>();
        return u <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ? static_cast<std::int64_t>(u)
                                                                                         : 0;
    }
    if (v->is_number_integer()) return v->get<std::int64_t>();
    if (v->is_number_float()) {
        // Fractions truncate; anything a 64-bit integer cannot hold reads as 0.
        const double d = std::trunc(v->get<double>());
        if (!(d > -9.2e18 && d < 9.2e18)) return 0;
        return static_cast<std::int64_t>(d);
    }
    if (!v->is_string()) return 0;
    const std::string& s = v->get_ref<const std::string&>();
    std::size_t i = s.size() > 0 && s[0] == '-' ? 1 : 0;
    if (i == s.size()) return 0;
    std::uint64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return 0;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(s[i] - '0');
        if (magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return 0;
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return s[0] == '-' ? -value : value;
}

std::int32_t Int32(const nlohmann::json& obj, std::string_view key) {
    const std::int64_t v = Int64(obj, key);
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(v);
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace listjson

}  // namespace orlo

// Requests to the operator's list service: time stamps, resource names, signed URLs, and the
// guarded reading of the JSON the service answers with (gateway, mod list, server list).
#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace orlo {

inline constexpr std::string_view kModListServicePrefix = "/gsl/auth/mod_list_auth";
inline constexpr std::string_view kServerListServicePrefix = "/gsl/auth/server_list_auth";

// Local wall-clock seconds since 1970 read as if UTC, minus eight hours, as a signed 32-bit
// decimal. The service runs on UTC+8 and compares against its own wall clock.
std::int32_t ListTimeValue(std::chrono::system_clock::time_point now);
std::string ListTimeStamp(std::chrono::system_clock::time_point now);
std::string ListTimeStamp();

// The URL's path (after the host, before "?" or "#") without the first service prefix and then
// without the first "/gsl/main/". The service rebuilds this from the request line to check the
// signature, so it is signed but never sent.
std::string ResourceName(std::string_view url, std::string_view service_prefix);

// list_address "?time=" T "&sign=" S "&type=getaway". The address is used as given: one that
// already carries a query ends up with two "?", which the service has always received.
std::string BuildGatewayUrl(std::string_view list_address, std::string_view time_stamp);

// url "?time=" T "&sign=" S, the signature covering the resource name, key and time stamp.
std::string BuildSignedUrl(std::string_view url, std::string_view service_prefix, std::string_view time_stamp);

// The mod-list addresses of a gateway answer; empty optional when the body is not JSON or has
// no "data" array.
std::optional<std::vector<std::string>> GatewayAddresses(std::string_view body);

namespace listjson {

// Bodies come from the network: deeper nesting than any list needs is refused before parsing
// so a hostile body cannot run the reader or the destructor out of stack.
inline constexpr std::size_t kMaxDepth = 512;
bool NestingWithin(std::string_view text, std::size_t max_depth);

// A JSON object, or an empty optional for anything else (bad syntax, too deep, not an object).
std::optional<nlohmann::json> ParseObject(std::string_view text);

// obj[key] when obj is an object holding key; nullptr otherwise.
const nlohmann::json* Find(const nlohmann::json& obj, std::string_view key);

// Text value: a string as it is, an integer in decimal; anything else (or missing) "".
std::string Text(const nlohmann::json& obj, std::string_view key);

// Integer value: a JSON integer, or a string of decimal digits with an optional "-"; missing,
// other values and values outside the target range read as 0.
std::int64_t Int64(const nlohmann::json& obj, std::string_view key);
std::int32_t Int32(const nlohmann::json& obj, std::string_view key);

// Decimal text with an optional sign, nothing else, within int32.
std::optional<std::int32_t> ParseInt32(std::string_view text);

}  // namespace listjson

}  // namespace orlo

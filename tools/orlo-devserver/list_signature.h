// The list service's side of the signed requests: rebuilds what the launcher signed from the
// request itself and compares. Written independently of the launcher's request builder so a
// fault in one is not mirrored by the other.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "scenario.h"

namespace orlo::devserver {

inline constexpr std::int64_t kTimeSlackSeconds = 300;

// What the launcher on this machine writes as its time stamp now: the local wall clock read
// as if it were UTC, less eight hours.
std::int64_t ExpectedTimeStamp();

// The signed resource: the request path (raw, before "?" or "#") less the first service
// prefix of its kind, then less the first "/gsl/main/".
std::string ResourceNameOf(std::string_view raw_path, RouteKind kind);

// Empty when the request is signed correctly; otherwise why not, for the log.
// raw_target is the request target as received (path and query, undecoded).
std::optional<std::string> CheckSignature(std::string_view raw_target, RouteKind kind, std::int64_t now);

}  // namespace orlo::devserver

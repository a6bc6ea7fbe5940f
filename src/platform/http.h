// The HTTP client: WinHTTP on Windows, libcurl on Linux. Blocking GET of a whole body; the
// caller picks the threads (start-up requests block the main thread, the server-list
// download runs on a worker).
#pragma once
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orlo::platform {

// An empty user agent leaves the choice to the library: libcurl then sends no User-Agent
// header, WinHTTP sends "WinHTTP". Only http and https URLs are fetched. A redirection
// chain longer than max_redirects is a transport error, not the last 3xx.
struct HttpRequestOptions {
    std::string user_agent;                                    // empty: the client's own default
    std::vector<std::pair<std::string, std::string>> headers;  // extra request headers
    int max_redirects = 0;                                     // 0: redirections are not followed
    std::chrono::milliseconds timeout{0};                      // whole request; 0: the client's default
    std::size_t max_body_bytes = std::size_t(16) << 20;        // a longer body is an error, not a crash
};

struct HttpResponse {
    bool transport_ok = false;  // a response arrived (whatever its status)
    int status = 0;             // HTTP status, 0 without a response
    std::string body;           // raw bytes of the body
    std::string error;          // why there is no usable response, for the trace
    bool body_too_large = false;

    // A completed request with a 2xx status.
    bool ok() const { return transport_ok && status >= 200 && status < 300 && !body_too_large; }
};

HttpResponse HttpGet(std::string_view url, const HttpRequestOptions& options);

}  // namespace orlo::platform

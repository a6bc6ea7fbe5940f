#include <windows.h>
#include <winhttp.h>

#include "platform/backend.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace orlo::platform {
namespace {

using win32::UniqueInternet;
using Clock = std::chrono::steady_clock;

// WinHTTP has no agent of its own to fall back on; this fixed one stands for "the library's
// default" so that requests made without an agent are recognisable in server logs.
constexpr wchar_t kDefaultAgent[] = L"WinHTTP";

// WinHTTP limits each step (resolve, connect, send, each receive) separately. Handing every
// step only what is left of the caller's limit turns those into one limit on the whole request.
class Deadline {
  public:
    explicit Deadline(std::chrono::milliseconds limit) : limited_(limit.count() > 0), end_(Clock::now() + limit) {}

    bool Passed() const { return limited_ && Clock::now() >= end_; }

    void Apply(HINTERNET h) const {
        if (!limited_) return;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now()).count();
        // Zero would mean "no limit" to WinHTTP.
        const int ms = static_cast<int>(std::clamp<long long>(left, 1, 0x7fffffff));
        WinHttpSetTimeouts(h, ms, ms, ms, ms);
        // The wait for the response headers has a limit of its own, outside WinHttpSetTimeouts.
        DWORD headers_ms = static_cast<DWORD>(ms);
        WinHttpSetOption(h, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headers_ms, sizeof headers_ms);
    }

  private:
    bool limited_;
    Clock::time_point end_;
};

std::string Describe(DWORD code, const HttpRequestOptions& options, const Deadline& deadline) {
    std::string what;
    // Wine's WinHTTP reports a receive that ran out of time with the socket's own code.
    if (code == ERROR_WINHTTP_TIMEOUT || code == WSAETIMEDOUT || deadline.Passed()) {
        what = "timed out after " + std::to_string(options.timeout.count()) + " ms";
    } else {
        switch (code) {
            case ERROR_WINHTTP_CANNOT_CONNECT:
                what = "connection refused";
                break;
            case ERROR_WINHTTP_NAME_NOT_RESOLVED:
                what = "host not found";
                break;
            case ERROR_WINHTTP_INVALID_URL:
                what = "malformed URL";
                break;
            case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
                what = "unsupported scheme";
                break;
            case ERROR_WINHTTP_REDIRECT_FAILED:
                what = "more than " + std::to_string(options.max_redirects) + " redirections";
                break;
            case ERROR_WINHTTP_SECURE_FAILURE:
                what = "TLS handshake failed";
                break;
            case ERROR_WINHTTP_CONNECTION_ERROR:
                what = "connection reset";
                break;
            case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
                what = "invalid response from the server";
                break;
            default:
                what = "request failed";
                break;
        }
    }
    return what + " (WinHTTP error " + std::to_string(code) + ")";
}

bool IsRedirection(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

struct Target {
    bool secure = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring path;  // with the query, without the fragment
};

// "http://host:port?query" has an empty path: the request line needs "/" there, and Wine's
// WinHttpCrackUrl loses the query unless the "/" is written out.
std::wstring WithRootPath(std::wstring url) {
    const auto scheme = url.find(L"://");
    if (scheme == std::wstring::npos) return url;
    const auto end_of_authority = url.find_first_of(L"/?#", scheme + 3);
    if (end_of_authority == std::wstring::npos) return url + L"/";
    if (url[end_of_authority] != L'/') url.insert(end_of_authority, 1, L'/');
    return url;
}

// 0 on success, or the WinHTTP error that describes what is wrong with the URL.
DWORD Crack(const std::wstring& given, Target& target) {
    const std::wstring url = WithRootPath(given);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (url.empty()) return ERROR_WINHTTP_INVALID_URL;
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return GetLastError();
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        return ERROR_WINHTTP_UNRECOGNIZED_SCHEME;
    }
    target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    if (target.host.empty()) return ERROR_WINHTTP_INVALID_URL;
    target.port = parts.nPort;
    target.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    target.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    // The fragment belongs to the reader of the page, not to the server.
    if (auto hash = target.path.find(L'#'); hash != std::wstring::npos) target.path.erase(hash);
    if (target.path.empty() || target.path[0] != L'/') target.path.insert(0, 1, L'/');
    return 0;
}

// A Location header made absolute against the URL that answered with it.
std::wstring Resolve(const Target& from, const std::wstring& location) {
    if (location.find(L"://") != std::wstring::npos) return location;
    const std::wstring scheme = from.secure ? L"https:" : L"http:";
    if (location.rfind(L"//", 0) == 0) return scheme + location;
    std::wstring origin = scheme + L"//" + from.host + L":" + std::to_wstring(from.port);
    if (!location.empty() && location[0] == L'/') return origin + location;
    std::wstring base = from.path.substr(0, from.path.find(L'?'));
    if (!location.empty() && location[0] == L'?') return origin + base + location;
    return origin + base.substr(0, base.rfind(L'/') + 1) + location;
}

HttpResponse Get(std::string_view url, const HttpRequestOptions& options) {
    HttpResponse response;
    const Deadline deadline(options.timeout);
    auto fail = [&](DWORD code) {
        response = HttpResponse{};
        response.error = Describe(code, options, deadline);
        return response;
    };

    const std::wstring agent = options.user_agent.empty() ? kDefaultAgent : win32::Widen(options.user_agent);
    std::wstring extra_headers;
    for (const auto& [name, value] : options.headers) extra_headers += win32::Widen(name + ": " + value + "\r\n");

    UniqueInternet session(WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return fail(GetLastError());

    // Redirections are followed here rather than by WinHTTP: some versions do not follow a 303
    // after a GET, and counting the hops ourselves gives the same limit everywhere.
    std::wstring current = win32::Widen(url);
    UniqueInternet connection;
    UniqueInternet request;
    DWORD status = 0;
    for (int hops = 0;; ++hops) {
        Target target;
        if (DWORD bad = Crack(current, target)) return fail(bad);
        if (deadline.Passed()) return fail(ERROR_WINHTTP_TIMEOUT);
        deadline.Apply(session.get());
        request.reset();
        connection = UniqueInternet(WinHttpConnect(session.get(), target.host.c_str(), target.port, 0));
        if (!connection) return fail(GetLastError());
        request = UniqueInternet(WinHttpOpenRequest(connection.get(), L"GET", target.path.c_str(), nullptr,
                                                    WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                    target.secure ? WINHTTP_FLAG_SECURE : 0));
        if (!request) return fail(GetLastError());
        DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        if (!WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy)) {
            return fail(GetLastError());
        }
        if (!extra_headers.empty() &&
            !WinHttpAddRequestHeaders(request.get(), extra_headers.c_str(), static_cast<DWORD>(-1),
                                      WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
            return fail(GetLastError());
        }
        deadline.Apply(request.get());
        if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
            return fail(GetLastError());
        }
        deadline.Apply(request.get());
        if (!WinHttpReceiveResponse(request.get(), nullptr)) return fail(GetLastError());

        DWORD size = sizeof status;
        if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
            return fail(GetLastError());
        }
        if (options.max_redirects <= 0 || !IsRedirection(status)) break;
        DWORD bytes = 0;
        WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX,
                            WINHTTP_NO_OUTPUT_BUFFER, &bytes, WINHTTP_NO_HEADER_INDEX);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) break;  // a 3xx without a Location
        std::wstring location(bytes / sizeof(wchar_t), L'\0');
        if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, location.data(),
                                 &bytes, WINHTTP_NO_HEADER_INDEX)) {
            return fail(GetLastError());
        }
        location.resize(bytes / sizeof(wchar_t));
        if (hops == options.max_redirects) return fail(ERROR_WINHTTP_REDIRECT_FAILED);
        current = Resolve(target, location);
    }

    std::vector<char> chunk(64 * 1024);
    for (;;) {
        if (deadline.Passed()) return fail(ERROR_WINHTTP_TIMEOUT);
        deadline.Apply(request.get());
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request.get(), &available)) return fail(GetLastError());
        if (available == 0) break;
        DWORD got = 0;
        const DWORD want = std::min<DWORD>(available, static_cast<DWORD>(chunk.size()));
        if (!WinHttpReadData(request.get(), chunk.data(), want, &got)) return fail(GetLastError());
        if (got == 0) break;
        if (got > options.max_body_bytes - response.body.size()) {
            response.body.clear();
            response.transport_ok = true;
            response.status = static_cast<int>(status);
            response.body_too_large = true;
            response.error = "body larger than " + std::to_string(options.max_body_bytes) + " bytes";
            return response;
        }
        response.body.append(chunk.data(), got);
    }
    if (deadline.Passed()) return fail(ERROR_WINHTTP_TIMEOUT);
    response.transport_ok = true;
    response.status = static_cast<int>(status);
    return response;
}

}  // namespace

HttpResponse backend::HttpGet(std::string_view url, const HttpRequestOptions& options) { return Get(url, options); }

}  // namespace orlo::platform

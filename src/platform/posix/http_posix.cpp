#include "platform/backend.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace orlo::platform {
namespace {

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// curl_global_init is not thread-safe, and the first request may come from a worker.
bool GlobalInit() {
    static std::once_flag once;
    static CURLcode result = CURLE_FAILED_INIT;
    std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return result == CURLE_OK;
}

struct Sink {
    std::string* body;
    std::size_t cap;
    bool overflow = false;
};

// Called from C: must not throw. Returning short makes libcurl stop with CURLE_WRITE_ERROR.
size_t Write(char* data, size_t size, size_t count, void* user) noexcept {
    auto* sink = static_cast<Sink*>(user);
    const size_t n = size * count;
    if (n > sink->cap - sink->body->size()) {
        sink->overflow = true;
        return 0;
    }
    try {
        sink->body->append(data, n);
    } catch (...) {
        return 0;
    }
    return n;
}

std::string Describe(CURLcode code, const char* detail, const HttpRequestOptions& options) {
    std::string what;
    switch (code) {
        case CURLE_OPERATION_TIMEDOUT:
            what = "timed out after " + std::to_string(options.timeout.count()) + " ms";
            break;
        case CURLE_COULDNT_CONNECT:
            what = "connection refused";
            break;
        case CURLE_COULDNT_RESOLVE_HOST:
            what = "host not found";
            break;
        case CURLE_URL_MALFORMAT:
            what = "malformed URL";
            break;
        case CURLE_UNSUPPORTED_PROTOCOL:
            what = "unsupported scheme";
            break;
        case CURLE_TOO_MANY_REDIRECTS:
            what = "more than " + std::to_string(options.max_redirects) + " redirections";
            break;
        default:
            what = curl_easy_strerror(code);
            break;
    }
    if (detail && *detail) what += std::string(" (") + detail + ")";
    return what;
}

HttpResponse Get(std::string_view url, const HttpRequestOptions& options) {
    HttpResponse response;
    if (!GlobalInit()) {
        response.error = "libcurl could not be initialised";
        return response;
    }
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) {
        response.error = "libcurl could not create a request";
        return response;
    }
    CURL* c = easy.get();
    char detail[CURL_ERROR_SIZE] = {};
    Sink sink{&response.body, options.max_body_bytes};
    const std::string target(url);

    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(c, CURLOPT_URL, target.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    // libcurl speaks many protocols; a list URL naming file:// or ftp:// must not reach them.
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // Worker threads: no SIGALRM-based resolver time-outs.
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Write);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    if (options.max_redirects > 0) {
        curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(c, CURLOPT_MAXREDIRS, static_cast<long>(options.max_redirects));
    }
    if (options.timeout.count() > 0) {
        curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(options.timeout.count()));
    }
    if (!options.user_agent.empty()) curl_easy_setopt(c, CURLOPT_USERAGENT, options.user_agent.c_str());

    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const auto& [name, value] : options.headers) {
        const std::string line = name + ": " + value;
        curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
        if (!grown) {
            response.error = "out of memory for request headers";
            return response;
        }
        (void)headers.release();
        headers.reset(grown);
    }
    if (headers) curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());

    const CURLcode code = curl_easy_perform(c);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);

    if (sink.overflow) {
        response.transport_ok = true;
        response.status = static_cast<int>(status);
        response.body.clear();
        response.body_too_large = true;
        response.error = "body larger than " + std::to_string(options.max_body_bytes) + " bytes";
        return response;
    }
    if (code != CURLE_OK) {
        response.body.clear();
        response.error = Describe(code, detail, options);
        return response;
    }
    response.transport_ok = true;
    response.status = static_cast<int>(status);
    return response;
}

}  // namespace

HttpResponse backend::HttpGet(std::string_view url, const HttpRequestOptions& options) { return Get(url, options); }

}  // namespace orlo::platform

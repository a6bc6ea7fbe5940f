#include "platform/backend.h"

namespace orlo::platform {

HttpResponse HttpGet(std::string_view url, const HttpRequestOptions& options) {
    // Callers are start-up steps and worker threads: nothing may escape into them.
    try {
        return backend::HttpGet(url, options);
    } catch (const std::exception& e) {
        HttpResponse failed;
        failed.error = std::string("HTTP request failed: ") + e.what();
        return failed;
    } catch (...) {
        HttpResponse failed;
        failed.error = "HTTP request failed";
        return failed;
    }
}

}  // namespace orlo::platform

// What each OS half provides for the portable parts of the platform library to wrap.
#pragma once
#include <string_view>

#include "platform/http.h"
#include "platform/system.h"

namespace orlo::platform::backend {

// One GET; may throw, HttpGet turns that into a failed response.
HttpResponse HttpGet(std::string_view url, const HttpRequestOptions& options);

// Notes a message box for RecordedMessageBoxes.
void RecordMessageBox(std::string_view text, std::string_view caption, MessageIcon icon);

}  // namespace orlo::platform::backend

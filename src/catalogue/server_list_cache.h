// The cache of the last good server list: one line, the JSON text under the shared pass-phrase.
#pragma once
#include <string>
#include <string_view>

#include "codec/result.h"

namespace orlo {

std::string EncodeServerListCache(std::string_view server_list_json);
Result<std::string> DecodeServerListCache(std::string_view file_text);

}  // namespace orlo

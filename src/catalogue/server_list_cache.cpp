#include "catalogue/server_list_cache.h"

#include "codec/blowfish_phrase.h"

namespace orlo {

std::string EncodeServerListCache(std::string_view server_list_json) {
    return EncryptWithSharedPhrase(server_list_json);
}

Result<std::string> DecodeServerListCache(std::string_view file_text) {
    // The file is a single line; an editor may have added a line break at the end.
    while (!file_text.empty() && (file_text.back() == '\n' || file_text.back() == '\r')) file_text.remove_suffix(1);
    return DecryptWithSharedPhrase(file_text);
}

}  // namespace orlo

#include "decode.h"

#include <nlohmann/json.hpp>

#include "catalogue/server_list_cache.h"
#include "codec/blowfish_phrase.h"
#include "launch/env_file.h"
#include "launch/start_record.h"

namespace orlo::pack {
namespace {

// JSON is shown indented and with its characters as they are; text that is not JSON is
// shown as it came out of the cipher.
std::string Readable(const std::string& text) {
    auto json = nlohmann::ordered_json::parse(text, nullptr, false);
    if (json.is_discarded()) return text;
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string Trimmed(ByteView bytes) {
    std::string text = AsString(bytes);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '"')) ++start;
    while (!text.empty() && text.back() == '"') text.pop_back();
    return text.substr(std::min(start, text.size()));
}

}  // namespace

Result<std::string> DecodeEnvJsonFile(ByteView file) {
    auto text = DecodeEnvFile(file);
    if (!text) return text;
    return Readable(*text);
}

Result<std::string> DecodeCacheFile(ByteView file) {
    auto text = DecodeServerListCache(AsString(file));
    if (!text) return text;
    return Readable(*text);
}

Result<std::string> DecodeStartRecordText(ByteView command_line) {
    auto bytes = DecryptLaunchRecord(Trimmed(command_line));
    if (!bytes) return Result<std::string>::Fail(bytes.error());
    auto record = DecodeClientStartRecord(*bytes);
    if (!record) return Result<std::string>::Fail(record.error());
    const TClientStartRecord& r = *record;
    nlohmann::ordered_json json = {
        {"ServerName", r.ServerName},
        {"ServerIP", r.ServerIP},
        {"ServerKey", r.ServerKey},
        {"ResourceFolder", r.ResourceFolder},
        {"Port", r.Port},
        {"FullScreen", r.FullScreen},
        {"WaitVBlank", r.WaitVBlank},
        {"Accel3D", r.Accel3D},
        {"EnabledMini", r.EnabledMini},
        {"Width", r.Width},
        {"Height", r.Height},
        {"NotClassicUI", r.NotClassicUI},
        {"ClientType", r.ClientType},
        {"AutoClientType", r.AutoClientType},
        {"Marker375", r.Marker375},
        {"AssistantKind", r.AssistantKind},
        {"Extra", r.Extra},
    };
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace orlo::pack

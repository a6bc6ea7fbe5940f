// The classic client's start record (764 bytes), passed on its command line enciphered under
// the launch pass-phrase. Short strings are ANSI, cut to their capacity.
#pragma once
#include <cstdint>
#include <string>

#include "codec/bytes.h"
#include "codec/result.h"

namespace orlo {

inline constexpr std::size_t kClientStartRecordSize = 764;

struct TClientStartRecord {
    std::string ServerName;      // up to 30
    std::string ServerIP;        // up to 30
    std::string ServerKey;       // up to 100
    std::string ResourceFolder;  // up to 50, with a trailing backslash
    std::int32_t Port = 0;
    std::uint8_t FullScreen = 0;
    std::uint8_t WaitVBlank = 0;
    std::uint8_t Accel3D = 0;
    std::uint8_t EnabledMini = 0;
    std::int32_t Width = 1024;
    std::int32_t Height = 768;
    std::uint8_t NotClassicUI = 0;
    std::uint8_t ClientType = 0;
    std::uint8_t AutoClientType = 0;
    std::uint8_t Marker375 = 9;
    std::uint8_t AssistantKind = 0;
    std::string Extra;  // up to 127; nothing assigns it
};

Bytes EncodeClientStartRecord(const TClientStartRecord& record);
Result<TClientStartRecord> DecodeClientStartRecord(ByteView bytes);

}  // namespace orlo

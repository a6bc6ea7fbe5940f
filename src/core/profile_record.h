// The operator's profile record as the launcher file carries it: 2332 bytes of fixed fields,
// texts as length-prefixed strings in the system's ANSI code page.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "codec/bytes.h"
#include "codec/result.h"

namespace orlo {

inline constexpr std::size_t kProfileRecordSize = 2332;

struct AExecutableStructure {
    std::string sReserved;
    std::string sTitle;
    std::string ServerListURL;
    std::string ServerListURL2;
    std::string ServerListURL3;
    std::int32_t nSkinSize = 0;
    std::int32_t nSkinOffset = 0;
    std::string sAppName;
    std::string sHomePage;
    std::string sConfigAddress;
    std::string sGameAddress;
    std::string sSignKey;
    std::int32_t nGMNum = 0;
    std::int32_t nGMChannel = 0;
    std::string sPlatform;
    std::string sCpGameId;
    std::string sSubject;
    std::string sGameId;
    std::string sAgentId;
    std::string sPlaceId;
    std::string sPromoteId;
    std::string sSdkAppId;
    std::string sSdkAppKey;
    std::string sSdkChannel;

    bool operator==(const AExecutableStructure&) const = default;
};

// One row of the record's layout; the binary form and the operator tool's JSON both use it.
struct ProfileField {
    const char* name;
    std::size_t offset;
    std::size_t capacity;  // N of string[N]; 0 for an integer
    std::string AExecutableStructure::*text;
    std::int32_t AExecutableStructure::*integer;
};

std::span<const ProfileField> ProfileFields();

// Texts are converted from the ANSI code page. A length byte beyond its field's capacity
// means the block did not decipher to a record.
Result<AExecutableStructure> DecodeProfileRecord(ByteView record);
// Fails, naming the field, on a text too long for its field or a character the code page lacks.
Result<Bytes> EncodeProfileRecord(const AExecutableStructure& profile);

}  // namespace orlo

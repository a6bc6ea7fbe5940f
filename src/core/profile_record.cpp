#include "core/profile_record.h"

#include <array>

#include "core/file_reader.h"
#include "core/format.h"
#include "platform/codepage.h"

namespace orlo {
namespace {

using P = AExecutableStructure;

constexpr ProfileField Text(const char* name, std::size_t offset, std::size_t capacity, std::string P::*member) {
    return {name, offset, capacity, member, nullptr};
}
constexpr ProfileField Int(const char* name, std::size_t offset, std::int32_t P::*member) {
    return {name, offset, 0, nullptr, member};
}

constexpr std::array kFields{
    Text("sReserved", 0, 100, &P::sReserved),
    Text("sTitle", 101, 100, &P::sTitle),
    Text("ServerListURL", 202, 255, &P::ServerListURL),
    Text("ServerListURL2", 458, 255, &P::ServerListURL2),
    Text("ServerListURL3", 714, 255, &P::ServerListURL3),
    Int("nSkinSize", 972, &P::nSkinSize),
    Int("nSkinOffset", 976, &P::nSkinOffset),
    Text("sAppName", 980, 20, &P::sAppName),
    Text("sHomePage", 1001, 100, &P::sHomePage),
    Text("sConfigAddress", 1102, 100, &P::sConfigAddress),
    Text("sGameAddress", 1203, 100, &P::sGameAddress),
    Text("sSignKey", 1304, 100, &P::sSignKey),
    Int("nGMNum", 1408, &P::nGMNum),
    Int("nGMChannel", 1412, &P::nGMChannel),
    Text("sPlatform", 1416, 20, &P::sPlatform),
    Text("sCpGameId", 1437, 20, &P::sCpGameId),
    Text("sSubject", 1458, 20, &P::sSubject),
    Text("sGameId", 1479, 20, &P::sGameId),
    Text("sAgentId", 1500, 20, &P::sAgentId),
    Text("sPlaceId", 1521, 20, &P::sPlaceId),
    Text("sPromoteId", 1542, 20, &P::sPromoteId),
    Text("sSdkAppId", 1563, 255, &P::sSdkAppId),
    Text("sSdkAppKey", 1819, 255, &P::sSdkAppKey),
    Text("sSdkChannel", 2075, 255, &P::sSdkChannel),
};

}  // namespace

std::span<const ProfileField> ProfileFields() { return kFields; }

Result<AExecutableStructure> DecodeProfileRecord(ByteView record) {
    if (record.size() < kProfileRecordSize) {
        return Result<AExecutableStructure>::Fail(
            Sprintf("profile record is %zu bytes, expected %zu", record.size(), kProfileRecordSize));
    }
    AExecutableStructure profile;
    for (const ProfileField& f : kFields) {
        const std::uint8_t* at = record.data() + f.offset;
        if (f.text) {
            const std::size_t length = at[0];
            if (length > f.capacity) {
                return Result<AExecutableStructure>::Fail(Sprintf(
                    "profile field %s claims %zu bytes of %zu: not a profile record", f.name, length, f.capacity));
            }
            profile.*f.text = platform::AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(at + 1), length));
        } else {
            profile.*f.integer = static_cast<std::int32_t>(LoadU32(at));
        }
    }
    return profile;
}

Result<Bytes> EncodeProfileRecord(const AExecutableStructure& profile) {
    Bytes record(kProfileRecordSize, 0);
    for (const ProfileField& f : kFields) {
        std::uint8_t* at = record.data() + f.offset;
        if (f.text) {
            const std::string& text = profile.*f.text;
            auto ansi = platform::Utf8ToAnsi(text);
            if (!ansi) {
                return Result<Bytes>::Fail(
                    Sprintf("%s: \"%s\" holds a character the ANSI code page cannot hold", f.name, text.c_str()));
            }
            if (ansi->size() > f.capacity) {
                return Result<Bytes>::Fail(Sprintf("%s: %zu bytes in the ANSI code page, the field holds at most %zu",
                                                   f.name, ansi->size(), f.capacity));
            }
            at[0] = static_cast<std::uint8_t>(ansi->size());
            std::copy(ansi->begin(), ansi->end(), at + 1);
        } else {
            StoreU32(at, static_cast<std::uint32_t>(profile.*f.integer));
        }
    }
    return record;
}

}  // namespace orlo

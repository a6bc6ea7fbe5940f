#include "launch/start_record.h"

#include <algorithm>

#include "core/file_reader.h"
#include "core/format.h"
#include "platform/codepage.h"

namespace orlo {
namespace {

struct ShortString {
    std::size_t offset;
    std::size_t capacity;
    std::string TClientStartRecord::*member;
};
constexpr ShortString kStrings[] = {
    {0, 30, &TClientStartRecord::ServerName},  {31, 30, &TClientStartRecord::ServerIP},
    {62, 100, &TClientStartRecord::ServerKey}, {297, 50, &TClientStartRecord::ResourceFolder},
    {634, 127, &TClientStartRecord::Extra},
};

struct ByteField {
    std::size_t offset;
    std::uint8_t TClientStartRecord::*member;
};
constexpr ByteField kByteFields[] = {
    {352, &TClientStartRecord::FullScreen},     {353, &TClientStartRecord::WaitVBlank},
    {354, &TClientStartRecord::Accel3D},        {355, &TClientStartRecord::EnabledMini},
    {364, &TClientStartRecord::NotClassicUI},   {372, &TClientStartRecord::ClientType},
    {374, &TClientStartRecord::AutoClientType}, {375, &TClientStartRecord::Marker375},
    {632, &TClientStartRecord::AssistantKind},
};

}  // namespace

Bytes EncodeClientStartRecord(const TClientStartRecord& record) {
    Bytes out(kClientStartRecordSize, 0);
    for (const auto& s : kStrings) {
        std::string ansi = platform::Utf8ToAnsiLossy(record.*s.member);
        if (ansi.size() > s.capacity) ansi.resize(s.capacity);
        out[s.offset] = static_cast<std::uint8_t>(ansi.size());
        std::copy(ansi.begin(), ansi.end(), out.begin() + static_cast<std::ptrdiff_t>(s.offset) + 1);
    }
    out[196] = 0x01;
    out[197] = 0x42;
    StoreU32(&out[348], static_cast<std::uint32_t>(record.Port));
    StoreU32(&out[356], static_cast<std::uint32_t>(record.Width));
    StoreU32(&out[360], static_cast<std::uint32_t>(record.Height));
    for (const auto& b : kByteFields) out[b.offset] = record.*b.member;
    return out;
}

Result<TClientStartRecord> DecodeClientStartRecord(ByteView bytes) {
    using R = Result<TClientStartRecord>;
    if (bytes.size() != kClientStartRecordSize) {
        return R::Fail(Sprintf("a start record is %zu bytes, this one %zu", kClientStartRecordSize, bytes.size()));
    }
    TClientStartRecord record;
    for (const auto& s : kStrings) {
        std::size_t length = std::min<std::size_t>(bytes[s.offset], s.capacity);
        record.*s.member =
            platform::AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(&bytes[s.offset + 1]), length));
    }
    record.Port = static_cast<std::int32_t>(LoadU32(&bytes[348]));
    record.Width = static_cast<std::int32_t>(LoadU32(&bytes[356]));
    record.Height = static_cast<std::int32_t>(LoadU32(&bytes[360]));
    for (const auto& b : kByteFields) record.*b.member = bytes[b.offset];
    return record;
}

}  // namespace orlo

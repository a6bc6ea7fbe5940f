#include "core/profile.h"

#include <mutex>

#include "codec/blowfish_phrase.h"
#include "codec/secrets.h"
#include "core/pe_image.h"
#include "core/trace.h"
#include "platform/files.h"

namespace orlo {
namespace {

constexpr std::int64_t kHeadBytes = 4096;  // DOS stub and PE headers lie well inside this
constexpr int kTrailerProbes = 100;

}  // namespace

std::int64_t FindTrailer(FileReader& file) {
    std::int32_t cert_offset = 0;
    std::int32_t cert_size = 0;
    auto head = file.ReadAt(0, std::min<std::int64_t>(kHeadBytes, file.size()));
    if (head) {
        if (auto entry = CertificateEntryPosition(*head)) {
            cert_offset = static_cast<std::int32_t>(LoadU32(head->data() + *entry));
            cert_size = static_cast<std::int32_t>(LoadU32(head->data() + *entry + 4));
        }
    }
    TraceF("证书偏移 %.8x", static_cast<unsigned>(cert_offset));
    TraceF("证书大小 %.8x", static_cast<unsigned>(cert_size));
    if (cert_offset <= 0 || cert_size <= 0) return 0;

    const std::int64_t size = file.size();
    TraceF("原始程序大小 %.8x", static_cast<unsigned>(size - cert_size));
    for (int i = 0; i < kTrailerProbes; ++i) {
        const std::int64_t p = size - cert_size - 4 - i;
        auto probe = file.ReadAt(p, kTrailerSize);
        if (!probe) continue;
        const std::uint32_t word0 = LoadU32(probe->data());
        const std::uint32_t word3 = LoadU32(probe->data() + 12);
        TraceF("I %d  %.8x  FileSize:%.8x  Flag:%.8x", i, static_cast<unsigned>(p + 16), word0, word3);
        if (word3 == kTrailerFlag) {
            const std::int64_t tail = (std::int64_t(cert_offset) + cert_size) - (p + 16);
            // A certificate entry that points past the file cannot describe this file's tail.
            if (tail < 0 || tail > size - std::int64_t(kTrailerSize)) return 0;
            return tail;
        }
    }
    return 0;
}

Result<ProfileLocation> LocateProfile(FileReader& file, std::int64_t tail_length) {
    using R = Result<ProfileLocation>;
    ProfileLocation loc;
    loc.trailer_pos = file.size() - tail_length - std::int64_t(kTrailerSize);
    auto words = file.ReadAt(loc.trailer_pos, kTrailerSize);
    if (!words) return R::Fail("the file is too short to hold a trailer");
    loc.trailer = {LoadU32(words->data()), LoadU32(words->data() + 4), LoadU32(words->data() + 8),
                   LoadU32(words->data() + 12)};
    // Without the marker the file carries no profile, and deciphering whatever stands there
    // would hand the launcher a record of noise.
    if (loc.trailer.nTrailerFlag != kTrailerFlag) return R::Fail("no profile trailer at the end of the file");
    loc.block_pos = loc.trailer_pos - std::int64_t(loc.trailer.nKit32Size) - std::int64_t(loc.trailer.nKit64Size) -
                    std::int64_t(kProfileBlockSize);
    if (loc.block_pos < 0) return R::Fail("the trailer's kit sizes point before the start of the file");
    return loc;
}

Bytes EncipherProfileBlock(ByteView record) {
    Bytes inner = BlowfishEncryptBytes(record, secrets::kProfileInnerPhrase);
    return BlowfishEncryptBytes(inner, secrets::kProfileOuterPhrase);
}

Result<Bytes> DecipherProfileBlock(ByteView block) {
    auto inner = BlowfishDecryptStream(block, secrets::kProfileOuterPhrase);
    if (!inner) return inner;
    return BlowfishDecryptStream(*inner, secrets::kProfileInnerPhrase);
}

Result<AExecutableStructure> ReadProfileFrom(const std::filesystem::path& exe,
                                             std::optional<std::int64_t>* tail_cache) {
    using R = Result<AExecutableStructure>;
    FileReader file(exe);
    if (!file.is_open()) return R::Fail("cannot open " + platform::PathToUtf8(exe));
    std::int64_t tail = 0;
    if (tail_cache && *tail_cache) {
        tail = **tail_cache;
    } else {
        tail = FindTrailer(file);
        if (tail_cache) *tail_cache = tail;
    }
    auto loc = LocateProfile(file, tail);
    if (!loc) return R::Fail(loc.error());
    auto block = file.ReadAt(loc->block_pos, kProfileBlockSize);
    if (!block) return R::Fail("cannot read the profile block");
    auto record = DecipherProfileBlock(*block);
    if (!record) return R::Fail(record.error());
    return DecodeProfileRecord(*record);
}

bool ReadProfile(AExecutableStructure& record) {
    static std::mutex mutex;
    static std::optional<std::int64_t> tail;
    std::lock_guard lock(mutex);
    auto profile = ReadProfileFrom(platform::ExecutablePath(), &tail);
    if (!profile) return false;
    record = std::move(profile).value();
    return true;
}

bool LoadExeInfo(AExecutableStructure& record) {
    TraceF("LoadExeInfo %s", platform::PathToUtf8(platform::ExecutablePath()).c_str());
    if (!ReadProfile(record)) return false;
    TraceF("sAppName %s", record.sAppName.c_str());
    TraceF("sHomePage %s", record.sHomePage.c_str());
    TraceF("sConfigAddress %s", record.sConfigAddress.c_str());
    TraceF("sGameAddress %s", record.sGameAddress.c_str());
    TraceF("nGMNum %d", record.nGMNum);
    TraceF("nGMChannel %d", record.nGMChannel);
    return true;
}

AExecutableStructure& ProcessProfile() {
    static AExecutableStructure profile;
    return profile;
}

}  // namespace orlo

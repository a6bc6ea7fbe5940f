#include "launcher_image.h"

#include <zlib.h>

#include "codec/blowfish_phrase.h"
#include "codec/secrets.h"
#include "core/file_reader.h"
#include "core/format.h"
#include "core/pe_image.h"
#include "core/profile.h"

namespace orlo::pack {
namespace {

bool IsSigned(ByteView file) {
    auto entry = CertificateEntryPosition(file.first(std::min<std::size_t>(file.size(), 4096)));
    if (!entry) return false;
    return LoadU32(file.data() + *entry) != 0 || LoadU32(file.data() + *entry + 4) != 0;
}

// The trailer at the very end of an unsigned file, if there is one.
std::optional<Trailer> TrailerAtEnd(ByteView file) {
    if (file.size() < kTrailerSize) return std::nullopt;
    const std::uint8_t* t = file.data() + file.size() - kTrailerSize;
    Trailer trailer{LoadU32(t), LoadU32(t + 4), LoadU32(t + 8), LoadU32(t + 12)};
    if (trailer.nTrailerFlag != kTrailerFlag) return std::nullopt;
    return trailer;
}

void Append(Bytes& out, ByteView more) { out.insert(out.end(), more.begin(), more.end()); }

}  // namespace

Result<Bytes> MakeSkinBlock(ByteView component_stream) {
    if (component_stream.size() < 4 || AsString(component_stream.first(4)) != "TPF0") {
        return Result<Bytes>::Fail("the skin is not a compiled component stream (it must begin with \"TPF0\")");
    }
    uLongf bound = compressBound(static_cast<uLong>(component_stream.size()));
    Bytes packed(bound);
    if (compress2(packed.data(), &bound, component_stream.data(), static_cast<uLong>(component_stream.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return Result<Bytes>::Fail("cannot compress the skin");
    }
    packed.resize(bound);
    return BlowfishEncryptBytes(packed, secrets::kSkinPhrase);
}

Result<Bytes> PackLauncher(PackInput in) {
    using R = Result<Bytes>;
    if (IsSigned(in.launcher)) {
        return R::Fail("the launcher is already signed; pack it first and sign the packed file afterwards");
    }
    if (auto trailer = TrailerAtEnd(in.launcher)) {
        if (!in.replace) return R::Fail("the launcher already carries a profile (use --replace to pack it anew)");
        if (trailer->nImageSize == 0 || trailer->nImageSize > in.launcher.size() - kTrailerSize) {
            return R::Fail("the launcher's trailer names an image size outside the file; cannot replace");
        }
        in.launcher.resize(trailer->nImageSize);
    }
    if (in.launcher.size() > INT32_MAX) return R::Fail("the launcher is larger than 2 GiB");

    Bytes out = std::move(in.launcher);
    const auto image_size = static_cast<std::uint32_t>(out.size());
    AExecutableStructure profile = in.profile;
    if (in.skin_stream) {
        auto block = MakeSkinBlock(*in.skin_stream);
        if (!block) return R::Fail(block.error());
        profile.nSkinOffset = static_cast<std::int32_t>(out.size());
        profile.nSkinSize = static_cast<std::int32_t>(block->size());
        Append(out, *block);
    }
    auto record = EncodeProfileRecord(profile);
    if (!record) return R::Fail(record.error());
    Append(out, EncipherProfileBlock(*record));
    Append(out, in.kit32);
    Append(out, in.kit64);
    std::uint8_t trailer[kTrailerSize];
    StoreU32(trailer, image_size);
    StoreU32(trailer + 4, static_cast<std::uint32_t>(in.kit32.size()));
    StoreU32(trailer + 8, static_cast<std::uint32_t>(in.kit64.size()));
    StoreU32(trailer + 12, kTrailerFlag);
    Append(out, ByteView(trailer, kTrailerSize));
    if (out.size() > INT32_MAX) return R::Fail("the packed launcher would be larger than 2 GiB");
    return out;
}

}  // namespace orlo::pack

// The profile appended to the launcher file, found through the 16-byte trailer at its end
// (before any certificate table that code signing added afterwards).
//
//   program image | skin block | profile block (2348) | kit32 | kit64 | trailer (16) | [certificate table]
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>

#include "codec/bytes.h"
#include "codec/result.h"
#include "core/file_reader.h"
#include "core/profile_record.h"

namespace orlo {

inline constexpr std::size_t kProfileBlockSize = 2348;
inline constexpr std::size_t kTrailerSize = 16;
inline constexpr std::uint32_t kTrailerFlag = 99999999;

struct Trailer {
    std::uint32_t nImageSize = 0;
    std::uint32_t nKit32Size = 0;
    std::uint32_t nKit64Size = 0;
    std::uint32_t nTrailerFlag = 0;
};

// Length of what stands behind the trailer (0 for an unsigned file), found by probing just
// before the certificate table. Never negative, never beyond the file.
std::int64_t FindTrailer(FileReader& file);

// Where the pieces of the tail lie, for a given tail length.
struct ProfileLocation {
    std::int64_t trailer_pos = 0;
    std::int64_t block_pos = 0;
    Trailer trailer;
};
Result<ProfileLocation> LocateProfile(FileReader& file, std::int64_t tail_length);

// The record enciphered with the inner pass-phrase, then the outer one, and back.
Bytes EncipherProfileBlock(ByteView record);
Result<Bytes> DecipherProfileBlock(ByteView block);

// Reads the profile of any launcher file. `tail_cache` keeps the tail length between calls
// on the same file, as the launcher does for its own executable.
Result<AExecutableStructure> ReadProfileFrom(const std::filesystem::path& exe,
                                             std::optional<std::int64_t>* tail_cache = nullptr);

// The running launcher's own profile, read afresh on each call (tail length found once per
// process). False when it cannot be read: the launcher is then to end.
bool ReadProfile(AExecutableStructure& record);
// ReadProfile with the trace lines of start-up.
bool LoadExeInfo(AExecutableStructure& record);

// The process-wide copy that LoadExeInfo fills at start-up.
AExecutableStructure& ProcessProfile();

}  // namespace orlo

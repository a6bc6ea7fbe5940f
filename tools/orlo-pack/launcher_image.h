// Writing the operator's data onto a launcher file.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "codec/bytes.h"
#include "codec/result.h"
#include "core/profile_record.h"

namespace orlo::pack {

struct PackInput {
    Bytes launcher;  // the launcher as built, or one already packed (with replace)
    AExecutableStructure profile;
    std::optional<Bytes> skin_stream;  // a compiled component stream ("TPF0")
    Bytes kit32;
    Bytes kit64;
    bool replace = false;
};

// The packed file's bytes, or why the launcher cannot be packed.
Result<Bytes> PackLauncher(PackInput input);

// The skin block: the component stream under zlib, then the skin pass-phrase.
Result<Bytes> MakeSkinBlock(ByteView component_stream);

}  // namespace orlo::pack

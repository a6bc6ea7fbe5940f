// Shows what the launcher's hand-off and cache files hold, as readable UTF-8 JSON.
#pragma once
#include <string>

#include "codec/bytes.h"
#include "codec/result.h"

namespace orlo::pack {

Result<std::string> DecodeEnvJsonFile(ByteView file);
Result<std::string> DecodeCacheFile(ByteView file);
Result<std::string> DecodeStartRecordText(ByteView command_line);

}  // namespace orlo::pack

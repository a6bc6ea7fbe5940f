// What orlo-pack decode reads: env.json files, server-list cache files and start records.
#include <cstddef>
#include <cstdint>

#include "decode.h"
#include "launch/start_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const orlo::ByteView bytes(data, size);
    (void)orlo::pack::DecodeEnvJsonFile(bytes);
    (void)orlo::pack::DecodeCacheFile(bytes);
    (void)orlo::pack::DecodeStartRecordText(bytes);
    (void)orlo::DecodeClientStartRecord(bytes);
    return 0;
}

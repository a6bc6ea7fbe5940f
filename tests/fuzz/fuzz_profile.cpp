// A launcher file from anywhere: the certificate entry, the trailer probe, the kit sizes, the
// block cipher and the record's length bytes all come from the input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/pe_image.h"
#include "core/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/orlo-fuzz-profile-" + std::to_string(getpid()) + ".exe";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    auto profile = orlo::ReadProfileFrom(path);
    if (!profile && profile.error().empty()) __builtin_trap();
    (void)orlo::CertificateEntryPosition(orlo::ByteView(data, size));
    (void)orlo::DecodeProfileRecord(orlo::ByteView(data, size));
    return 0;
}

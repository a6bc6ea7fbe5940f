// Where a PE image keeps the certificate-table entry of its data directory. Code signing
// appends the certificate table behind everything else, so the profile reader must know it.
#pragma once
#include <cstdint>
#include <optional>

#include "codec/bytes.h"

namespace orlo {

// File position of the entry (offset word, then size word), found through the DOS header's
// e_lfanew and the optional header's magic (PE32 or PE32+). `head` is the start of the file.
// Empty when the bytes are not a PE image or the entry lies outside `head`.
std::optional<std::int64_t> CertificateEntryPosition(ByteView head);

}  // namespace orlo

// libgcrypt must be initialised once before any other call into it.
#pragma once

namespace orlo {

// Thread-safe; cheap after the first call. Every codec that uses libgcrypt calls it first.
void EnsureCryptoReady();

}  // namespace orlo

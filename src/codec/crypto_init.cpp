#include "codec/crypto_init.h"

#include <gcrypt.h>

#include <mutex>

namespace orlo {

void EnsureCryptoReady() {
    static std::once_flag once;
    std::call_once(once, [] {
        gcry_check_version(nullptr);
        // No key material here needs locked pages, and the warning would only clutter stderr.
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    });
}

}  // namespace orlo

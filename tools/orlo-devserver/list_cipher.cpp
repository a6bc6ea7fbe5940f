#include "list_cipher.h"

#include "codec/base64.h"
#include "codec/xxtea.h"
#include "launch/env_file.h"
#include "platform/codepage.h"

namespace orlo::devserver {

std::string EncipherServerList(std::string_view utf8_text, std::string_view marker) {
    // The launcher reads the deciphered bytes in its ANSI code page, so that is what we encipher.
    std::string ansi = platform::Utf8ToAnsiLossy(utf8_text);
    Bytes out(marker.begin(), marker.end());
    Bytes body = XXTeaEncrypt(AsBytes(ansi), AsBytes(kEnvFileKey));
    out.insert(out.end(), body.begin(), body.end());
    return Base64Encode(out);
}

}  // namespace orlo::devserver

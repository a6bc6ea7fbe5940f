#include "launch/env_file.h"

#include "codec/xxtea.h"

namespace orlo {

Bytes EncodeEnvFile(std::string_view json_text) {
    Bytes out(kEnvFileMarker.begin(), kEnvFileMarker.end());
    Bytes body = XXTeaEncrypt(AsBytes(json_text), AsBytes(kEnvFileKey));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Result<std::string> DecodeEnvFile(ByteView file) {
    if (file.size() < kEnvFileMarker.size() || AsString(file.first(kEnvFileMarker.size())) != kEnvFileMarker) {
        return Result<std::string>::Fail("not an env.json file: the marker \"4meJnPyl\" is missing");
    }
    Bytes plain = XXTeaDecrypt(file.subspan(kEnvFileMarker.size()), AsBytes(kEnvFileKey));
    if (plain.empty()) return Result<std::string>::Fail("env.json does not decipher (damaged or another key)");
    return AsString(plain);
}

}  // namespace orlo

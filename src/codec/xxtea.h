// XXTEA (corrected Block TEA) with the launcher's framing: a length word after the data.
#pragma once
#include "codec/bytes.h"

namespace orlo {

Bytes XXTeaEncrypt(ByteView data, ByteView key);
// Empty when the key is wrong or the data damaged (the length word does not fit).
Bytes XXTeaDecrypt(ByteView data, ByteView key);

}  // namespace orlo

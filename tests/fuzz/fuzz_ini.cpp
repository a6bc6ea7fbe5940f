// Settings files come from disk and may hold anything: parsing must never fail, and what is
// written must read back to the same document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orlo::IniFile ini = orlo::IniFile::Parse(bytes);
    ini.Set("Client", "Account", "张三");
    (void)ini.Get("客户端", "默认账号");
    const std::string once = ini.SerializeAnsi();
    orlo::IniFile again = orlo::IniFile::Parse(once);
    if (again.Get("Client", "Account") != std::optional<std::string>("张三")) std::abort();
    if (again.SerializeAnsi() != once) std::abort();
    return 0;
}

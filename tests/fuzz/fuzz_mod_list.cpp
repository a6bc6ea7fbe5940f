// Mod lists come off the network: any bytes must load or fail, and a failed text must leave
// the mod information exactly as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalogue/list_request.h"
#include "catalogue/mod_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    orlo::TModinfo info;
    info.resVer = "before";
    info.SetServerLstUrl("http://before/");
    std::string game_type = "cq";
    if (!info.InitModinfo(text, game_type)) {
        if (info.resVer != "before" || info.GetServerLstUrl() != "http://before/" || game_type != "cq") std::abort();
    }
    if (game_type != "cq" && game_type != "cq25D") std::abort();
    (void)orlo::DecodeSubstitution(text);
    (void)orlo::GatewayAddresses(text);
    (void)orlo::ResourceName(text, orlo::kModListServicePrefix);
    return 0;
}

// Server lists come off the network or from a cache file: any bytes must load or fail, and
// every listed server must come out as an item with its image index set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "catalogue/server_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    orlo::TServerInfo info;
    const bool loaded = info.LoadServerListFromJSONString(text);
    if (!loaded && info.FServerList.Count() != 0) std::abort();
    int listed = 0;
    for (int g = 0; g < info.FSrvlist.GetCount(); ++g) listed += info.FSrvlist.GetItem(g)->GetCount();
    if (info.FServerList.Count() > listed) std::abort();
    for (int i = 0; i < info.FServerList.Count(); ++i) {
        const orlo::TServerItem* item = info.FServerList.GetItem(i);
        if (item == nullptr || item->FImageIndex != 1) std::abort();
        (void)item->GetStateText();
    }
    return 0;
}

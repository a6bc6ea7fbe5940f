#include "catalogue/server_info.h"

#include <optional>
#include <utility>

#include "catalogue/list_request.h"
#include "core/trace.h"

namespace orlo {

void TServerItem::Assign(const TServerItem& source) {
    FPort = source.FPort;
    FHost = source.FHost;
    FServerName = source.FServerName;
    FGroupName = source.FGroupName;
    FKey = source.FKey;
    FDisplayName = source.FDisplayName;
    FImageIndex = source.FImageIndex;
}

std::string_view TServerItem::GetStateText() const {
    switch (FState) {
        case 1:
            return "-新服";
        case 2:
            return "-畅通";
        case 3:
            return "-爆满";
        case 4:
            return "-维护";
        default:
            return {};
    }
}

TServerItem& TServerList::Add() { return Add(TServerItem{}); }

TServerItem& TServerList::Add(TServerItem item) {
    items_.push_back(std::make_unique<TServerItem>(std::move(item)));
    return *items_.back();
}

TServerItem* TServerList::GetItem(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
}

const TServerItem* TServerList::GetItem(int index) const { return const_cast<TServerList*>(this)->GetItem(index); }

void TServerInfo::Clear() {
    FServerList.Clear();
    const TServerInfo defaults;
    FClassicsUI = defaults.FClassicsUI;
    FFullScreen = defaults.FFullScreen;
    FVBlank = defaults.FVBlank;
    FDo3D = defaults.FDo3D;
    FDisplaySize = defaults.FDisplaySize;
    FEnabledMini = defaults.FEnabledMini;
    FAssistantKind = defaults.FAssistantKind;
}

void TServerInfo::SetResFolder(std::string_view folder) {
    FResFolder = folder.empty() ? std::string("OrloResource\\") : std::string(folder);
}

bool TServerInfo::LoadServerListFromJSONString(std::string_view text) {
    WriteTrace("LoadServerListFromString Begin");
    const bool loaded = FSrvlist.InitServerLst(text);
    // An empty text leaves the previous model in place; listing it again would only repeat
    // every server already in the collection.
    for (int g = 0; loaded && g < FSrvlist.GetCount(); ++g) {
        const TServerGroupItem& group = *FSrvlist.GetItem(g);
        // The tree has always listed a group's servers newest-first.
        for (int s = group.GetCount() - 1; s >= 0; --s) {
            const TServerItem_JSON& listed = *group.GetItem(s);
            std::optional<std::int32_t> port = listjson::ParseInt32(listed.Fport);
            const std::optional<std::int32_t> state = listjson::ParseInt32(listed.Fstate);
            if (!listed.Fportxy.empty()) port = listjson::ParseInt32(listed.Fportxy);
            if (!port || !state) {
                TraceF("[Error] %d-%d %s-%s", g, s, group.FName.c_str(), listed.Fsrvname.c_str());
                continue;
            }
            TServerItem item;
            item.FGroupName = group.FName;
            item.FDisplayName = listed.Fsrvname;
            item.FHost = listed.Fsrvip;
            item.FPort = *port;
            item.Fsrvid = listed.Fsrvid;
            item.FState = *state;
            item.FImageIndex = 1;
            FServerList.Add(std::move(item));
        }
    }
    WriteTrace("LoadServerListFromString End");
    return loaded;
}

bool TServerInfo::LoadModInfoFromJSONString(std::string_view text, std::string& game_type) {
    TraceF("ModInfo %s", std::string(text).c_str());
    return FModinfo.InitModinfo(text, game_type);
}

}  // namespace orlo

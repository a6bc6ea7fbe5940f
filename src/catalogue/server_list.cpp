#include "catalogue/server_list.h"

#include <optional>
#include <unordered_map>
#include <utility>

#include "catalogue/list_request.h"
#include "core/format.h"
#include "core/trace.h"

namespace orlo {

namespace {

// Key names of one server object. Newer lists spell them out; older ones use one letter and
// leave "tag" out (or 0).
struct ServerKeys {
    const char* tag;
    const char* srvid;
    const char* port;
    const char* state;
    const char* mainsrvid;
    const char* srvname;
    const char* urlsuffix;
    const char* host;
};

constexpr ServerKeys kLongKeys = {"tag", "srvid", "port", "state", "mainsrvid", "srvname", "urlsuffix", "srvip"};
constexpr ServerKeys kShortKeys = {"t", "d", "p", "s", "m", "n", "u", "i"};

// Operators list hundreds of servers; this bound only stops a crafted list.
constexpr std::size_t kMaxKeptServers = 200000;

// An integer key as text: digits stay digits, and whatever else a string holds is kept so the
// conversion later refuses it; a missing key is "0".
std::string NumberText(const nlohmann::json& obj, const char* key) {
    const nlohmann::json* v = listjson::Find(obj, key);
    if (v == nullptr || v->is_null()) return "0";
    if (v->is_string()) return v->get<std::string>();
    if (v->is_number()) return v->dump();
    return {};
}

template <class T>
T* ItemAt(std::vector<T>& items, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return nullptr;
    return &items[static_cast<std::size_t>(index)];
}

}  // namespace

const TServerItem_JSON* TServerGroupItem::GetItem(int index) const {
    return ItemAt(const_cast<std::vector<TServerItem_JSON>&>(FserverData), index);
}
TServerItem_JSON* TServerGroupItem::GetItem(int index) { return ItemAt(FserverData, index); }

const TServerGroupItem* TSrvlist::GetItem(int index) const {
    return ItemAt(const_cast<std::vector<TServerGroupItem>&>(FGroup), index);
}
TServerGroupItem* TSrvlist::GetItem(int index) { return ItemAt(FGroup, index); }

bool TSrvlist::InitServerLst(std::string_view text) {
    WriteTrace("InitServerLst Begin");
    if (text.empty()) return false;
    FGroup.clear();
    const auto doc = listjson::ParseObject(text);
    if (!doc) return false;

    FresURL = listjson::Text(*doc, "resURL");
    FsceneURL = listjson::Text(*doc, "sceneURL");
    FgmResURL = listjson::Text(*doc, "gmResURL");
    FresVer = listjson::Text(*doc, "resVer");
    Frefer = listjson::Text(*doc, "refer");
    FsrvRoot = listjson::Text(*doc, "srvRoot");

    if (const nlohmann::json* groups = listjson::Find(*doc, "serverGroup"); groups != nullptr && groups->is_array()) {
        for (const auto& g : *groups) {
            TServerGroupItem group;
            group.FTag = listjson::Int32(g, "tag");
            group.FHide = listjson::Int32(g, "hide");
            group.FName = listjson::Text(g, "name");
            FGroup.push_back(std::move(group));
        }
    }
    Fcustom.hideCopyright = 0;
    if (const nlohmann::json* custom = listjson::Find(*doc, "custom")) {
        Fcustom.hideCopyright = listjson::Int32(*custom, "hideCopyright");
    }

    const nlohmann::json* servers = listjson::Find(*doc, "serverData");
    if (servers != nullptr && servers->is_array()) {
        // Each server is read once and found again by tag, so a long list with many groups
        // stays linear.
        std::vector<TServerItem_JSON> listed;
        std::unordered_map<std::int32_t, std::vector<std::size_t>> by_tag;
        for (const auto& s : *servers) {
            const ServerKeys& keys = listjson::Int32(s, kLongKeys.tag) != 0 ? kLongKeys : kShortKeys;
            TServerItem_JSON item;
            item.FTag = listjson::Int32(s, keys.tag);
            item.Fstate = NumberText(s, keys.state);
            if (listjson::ParseInt32(item.Fstate) == 5) continue;
            item.Fmainsrvid = listjson::Int32(s, keys.mainsrvid);
            item.Fsrvip = listjson::Text(s, keys.host);
            if (item.Fsrvip.empty()) item.Fsrvip = Sprintf("s%d-%s", item.Fmainsrvid, FsrvRoot.c_str());
            item.FColor = listjson::Text(s, "name_color");
            item.Fsrvid = NumberText(s, keys.srvid);
            item.Fport = NumberText(s, keys.port);
            item.Fsrvname = listjson::Text(s, keys.srvname);
            item.Furlsuffix = listjson::Text(s, keys.urlsuffix);
            item.Fbeta = listjson::Text(s, "beta");
            item.Fportxy = listjson::Text(s, "x");
            by_tag[item.FTag].push_back(listed.size());
            listed.push_back(std::move(item));
        }
        // Groups sharing a tag each hold the same servers; a crafted list could multiply that
        // into more entries than memory holds, far beyond any operator's list.
        std::size_t kept = 0;
        for (auto& group : FGroup) {
            const auto it = by_tag.find(group.FTag);
            if (it == by_tag.end()) continue;
            for (const std::size_t index : it->second) {
                if (kept == kMaxKeptServers) break;
                group.FserverData.push_back(listed[index]);
                ++kept;
            }
        }
    }
    WriteTrace("InitServerLst End");
    return true;
}

}  // namespace orlo

#include "catalogue/server_tree.h"

#include "catalogue/list_request.h"
#include "core/trace.h"
#include "platform/system.h"

namespace orlo {

std::vector<GroupedEntry> GroupServersByName(TServerList& servers) {
    std::vector<TServerItem*> remaining;
    for (int i = 0; i < servers.Count(); ++i) remaining.push_back(servers.GetItem(i));
    std::vector<GroupedEntry> out;
    while (!remaining.empty()) {
        const std::string group = remaining.front()->FGroupName;
        out.push_back({true, group, nullptr});
        std::vector<TServerItem*> rest;
        for (TServerItem* item : remaining) {
            if (item->FGroupName == group) {
                out.push_back({false, group, item});
            } else {
                rest.push_back(item);
            }
        }
        remaining = std::move(rest);
    }
    return out;
}

bool& ServerTreeReady() {
    static bool ready = false;
    return ready;
}

void FillServerTree(ITreeControl* tree,
                    TServerList& servers,
                    int selected_server_id,
                    const std::function<void(bool)>& set_buttons_enabled,
                    const std::function<void()>& open_browser) {
    TraceF("开始载入游戏官网 %s", platform::LocalDateTimeText().c_str());
    if (open_browser) open_browser();
    TraceF("载入游戏列表-开始 %s", platform::LocalDateTimeText().c_str());
    if (!tree) return;
    tree->BeginUpdate();
    tree->ClearNodes();
    int group_node = -1;
    int default_node = -1;
    int default_group = -1;
    for (const GroupedEntry& entry : GroupServersByName(servers)) {
        if (entry.header) {
            group_node = tree->AddRoot(entry.group);
            continue;
        }
        const int node =
            tree->AddChild(group_node, entry.item->FDisplayName + std::string(entry.item->GetStateText()), entry.item);
        bool is_default = false;
        if (selected_server_id != 0) {
            // An entry without a numeric id (a local test server) is never the stored one.
            auto id = listjson::ParseInt32(entry.item->Fsrvid);
            is_default = id && *id == selected_server_id;
        } else {
            is_default = default_node < 0;
        }
        if (is_default) {
            default_node = node;
            default_group = group_node;
        }
    }
    tree->ExpandAll();
    tree->EndUpdate();
    if (tree->NodeCount() == 0) return;
    if (set_buttons_enabled) set_buttons_enabled(false);
    if (default_node >= 0) {
        TraceF("%s  设置默认服务器  %d", platform::LocalDateTimeText().c_str(), selected_server_id);
        tree->SetTopItem(default_group);
        tree->Select(default_node);
    }
    TraceF("载入游戏列表-完成 %s", platform::LocalDateTimeText().c_str());
    if (tree->Enabled()) ServerTreeReady() = true;
}

}  // namespace orlo

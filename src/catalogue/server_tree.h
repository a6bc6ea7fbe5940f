// Filling the server tree from the server collection: groups in the order their names first
// occur, servers in collection order within their group, and the default selection.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "catalogue/server_info.h"
#include "core/controls.h"

namespace orlo {

struct GroupedEntry {
    bool header = false;
    std::string group;            // for a header
    TServerItem* item = nullptr;  // for a server
};
std::vector<GroupedEntry> GroupServersByName(TServerList& servers);

// Raised when the tree has been filled and is enabled; the backdrop window's timer clears it and
// connects to the selected server.
bool& ServerTreeReady();

// Opens the browser's page, then rebuilds `tree` (nothing happens without one) and selects the
// default server: the last one whose id equals `selected_server_id`, or the first when that is 0.
void FillServerTree(ITreeControl* tree,
                    TServerList& servers,
                    int selected_server_id,
                    const std::function<void(bool)>& set_buttons_enabled,
                    const std::function<void()>& open_browser = nullptr);

}  // namespace orlo

// The catalogue container: mod information, the parsed server list and the flat server
// collection the tree, the reachability check and the game start use. The client application
// object owns one from construction on.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/mod_info.h"
#include "catalogue/server_list.h"

namespace orlo {

enum TDisplaySize : std::uint8_t { dsNormal = 0, ds1024 = 1, ds800 = 2 };

class TServerItem {
  public:
    std::string FGroupName;
    std::string FDisplayName;
    std::string FHost;
    std::int32_t FPort = 0;
    std::string Fsrvid;  // decimal; empty for local test entries
    std::int32_t FState = 0;
    std::int32_t FImageIndex = -1;
    bool FActive = true;
    std::string FIP;  // filled by the reachability check
    std::string FServerName;
    std::string FKey;  // ANSI bytes

    // Copies port, host, server name, group name, key, display name and image index.
    void Assign(const TServerItem& source);

    // The suffix the tree appends to the display name: "-新服", "-畅通", "-爆满", "-维护", or "".
    std::string_view GetStateText() const;
};

// An ordered collection that owns its items; an item keeps its address while it is listed,
// so tree nodes may point at it.
class TServerList {
  public:
    TServerItem& Add();
    TServerItem& Add(TServerItem item);
    // nullptr for an index outside the list.
    TServerItem* GetItem(int index);
    const TServerItem* GetItem(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }
    void Clear() { items_.clear(); }

  private:
    std::vector<std::unique_ptr<TServerItem>> items_;
};

class TServerInfo {
  public:
    TServerList FServerList;
    TModinfo FModinfo;
    TSrvlist FSrvlist;
    std::string FResFolder;
    bool FClassicsUI = true;
    bool FFullScreen = false;
    bool FVBlank = true;
    bool FDo3D = true;
    TDisplaySize FDisplaySize = ds1024;
    bool FEnabledMini = false;
    std::uint8_t FClientType = 0;
    bool FAutoClientType = true;
    std::uint8_t FAssistantKind = 0;
    std::uint8_t FMaxClient = 3;  // how many game clients may run at once
    bool FCreateShortCut = true;

    // Empties the server collection and restores the display defaults; the mod information and
    // the parsed list stay.
    void Clear();
    // An empty folder means the default "OrloResource\".
    void SetResFolder(std::string_view folder);

    // Parses the text and appends its servers to the collection (which only Clear empties);
    // true when the text read as JSON. A server whose port or state is no number is skipped.
    bool LoadServerListFromJSONString(std::string_view text);
    bool LoadModInfoFromJSONString(std::string_view text, std::string& game_type);
};

}  // namespace orlo

// The parsed server list: groups (zones) in list order, each holding the servers tagged for it.
// Rebuilt from every server-list text; the flat collection the tree uses is made from it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orlo {

// One server as listed. The numbers stay text so that a bad value can be caught, and that
// server skipped, when the flat collection is built.
struct TServerItem_JSON {
    std::string FColor;
    std::string Fsrvip;  // the host
    std::string Fsrvid;
    std::string Fsrvname;
    std::string Fport;
    std::string Fportxy;  // the proxy port; replaces Fport when set
    std::string Fbeta;
    std::string Fstate;
    std::string Furlsuffix;
    std::int32_t Fmainsrvid = 0;
    std::int32_t FTag = 0;
    bool FConnected = false;
};

class TServerGroupItem {
  public:
    std::string FName;
    std::int32_t FTag = 0;  // ties servers to this group
    std::int32_t FHide = 0;
    std::vector<TServerItem_JSON> FserverData;

    int GetCount() const { return static_cast<int>(FserverData.size()); }
    // nullptr for an index outside the list.
    const TServerItem_JSON* GetItem(int index) const;
    TServerItem_JSON* GetItem(int index);
};

struct TSrvlistCustom {
    std::int32_t hideCopyright = 0;
};

class TSrvlist {
  public:
    std::string FresURL;
    std::string FsceneURL;
    std::string FgmResURL;
    std::string FresVer;
    std::string Frefer;
    std::string FsrvRoot;  // domain for hosts named only by their main server id
    std::vector<TServerGroupItem> FGroup;
    TSrvlistCustom Fcustom;

    // True when the text reads as a JSON object. An empty text leaves the model as it was; any
    // other text empties the group list first.
    bool InitServerLst(std::string_view text);

    int GetCount() const { return static_cast<int>(FGroup.size()); }
    const TServerGroupItem* GetItem(int index) const;
    TServerGroupItem* GetItem(int index);
};

}  // namespace orlo

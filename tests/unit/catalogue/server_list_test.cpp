#include "catalogue/server_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/server_info.h"

namespace orlo {
namespace {

// One line per item of the flat collection: group, name, host, port, id, state.
std::vector<std::string> Items(const TServerInfo& info) {
    std::vector<std::string> out;
    for (int i = 0; i < info.FServerList.Count(); ++i) {
        const TServerItem& s = *info.FServerList.GetItem(i);
        out.push_back(s.FGroupName + "|" + s.FDisplayName + "|" + s.FHost + ":" + std::to_string(s.FPort) + "|" +
                      s.Fsrvid + "|" + std::to_string(s.FState));
    }
    return out;
}

std::vector<std::string> Load(const std::string& text) {
    TServerInfo info;
    EXPECT_TRUE(info.LoadServerListFromJSONString(text));
    return Items(info);
}

using Lines = std::vector<std::string>;

TEST(LoadServerList, FlattensGroupsInOrderServersReversed) {
    const char* text = R"({"srvRoot":"example.net",
      "serverGroup":[{"tag":1,"name":"一区"},{"tag":2,"name":"二区"}],
      "serverData":[
        {"tag":1,"srvid":101,"srvname":"A","srvip":"10.0.0.1","port":7000,"state":2},
        {"tag":2,"srvid":201,"srvname":"B","srvip":"10.0.0.2","port":7000,"state":1},
        {"tag":1,"srvid":102,"srvname":"C","srvip":"10.0.0.3","port":7000,"state":3}]})";
    EXPECT_EQ(Load(text),
              (Lines{"一区|C|10.0.0.3:7000|102|3", "一区|A|10.0.0.1:7000|101|2", "二区|B|10.0.0.2:7000|201|1"}));
}

TEST(LoadServerList, ServerFieldRules) {
    struct Case {
        const char* name;
        const char* server;
        Lines expected;
    };
    const auto list = [](const char* server) {
        return std::string(R"({"srvRoot":"example.net","serverGroup":[{"tag":3,"name":"g"}],"serverData":[)") + server +
               "]}";
    };
    const Case cases[] = {
        {"state 5 is dropped", R"({"tag":3,"srvname":"a","srvip":"h","port":1,"state":5})", {}},
        {"state 5 as digits too", R"({"tag":3,"srvname":"a","srvip":"h","port":1,"state":"5"})", {}},
        {"tag 0 reads the short keys",
         R"({"tag":0,"t":3,"d":9,"n":"s","i":"h2","p":7001,"s":4,"m":2,
           "srvid":1,"srvname":"long","srvip":"h1","port":1,"state":1})",
         {"g|s|h2:7001|9|4"}},
        {"no tag reads the short keys", R"({"t":3,"d":9,"n":"s","i":"h2","p":7001,"s":2})", {"g|s|h2:7001|9|2"}},
        {"host from main server id",
         R"({"tag":3,"mainsrvid":12,"srvname":"a","port":7000})",
         {"g|a|s12-example.net:7000|0|0"}},
        {"host given",
         R"({"tag":3,"mainsrvid":12,"srvip":"10.0.0.5","srvname":"a","port":7000})",
         {"g|a|10.0.0.5:7000|0|0"}},
        {"empty host falls back",
         R"({"tag":3,"mainsrvid":"12","srvip":"","srvname":"a","port":7000})",
         {"g|a|s12-example.net:7000|0|0"}},
        {"short host from m", R"({"t":3,"m":4,"n":"a","p":7000})", {"g|a|s4-example.net:7000|0|0"}},
        {"proxy port replaces", R"({"tag":3,"srvip":"h","srvname":"a","port":7000,"x":"7100"})", {"g|a|h:7100|0|0"}},
        {"digits in strings",
         R"({"tag":"3","srvid":"205","srvip":"h","srvname":"a","port":"7000","state":"2"})",
         {"g|a|h:7000|205|2"}},
        {"tag of another group", R"({"tag":4,"srvip":"h","srvname":"a","port":7000})", {}},
        {"port not a number", R"({"tag":3,"srvip":"h","srvname":"a","port":"abc"})", {}},
        {"proxy port not a number", R"({"tag":3,"srvip":"h","srvname":"a","port":7000,"x":"7k"})", {}},
        {"port beyond 32 bits", R"({"tag":3,"srvip":"h","srvname":"a","port":4294967297})", {}},
        {"state not a number", R"({"tag":3,"srvip":"h","srvname":"a","port":7000,"state":"busy"})", {}},
        {"missing port reads 0", R"({"tag":3,"srvip":"h","srvname":"a"})", {"g|a|h:0|0|0"}},
        {"not an object", R"(17)", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Load(list(c.server)), c.expected);
    }
}

TEST(LoadServerList, BadPortSkipsOnlyThatServer) {
    const char* text = R"({"serverGroup":[{"tag":1,"name":"g"}],"serverData":[
        {"tag":1,"srvname":"a","srvip":"h","port":7000},
        {"tag":1,"srvname":"b","srvip":"h","port":"abc"},
        {"tag":1,"srvname":"c","srvip":"h","port":7002}]})";
    EXPECT_EQ(Load(text), (Lines{"g|c|h:7002|0|0", "g|a|h:7000|0|0"}));
}

TEST(LoadServerList, ParsedModelKeepsTextFields) {
    TSrvlist list;
    ASSERT_TRUE(list.InitServerLst(R"({"resURL":"r","sceneURL":"s","gmResURL":"gm","resVer":"v","refer":"f",
      "srvRoot":"root","custom":{"hideCopyright":1},
      "serverGroup":[{"tag":1,"hide":1,"name":"g"},{"tag":1,"name":"again"}],
      "serverData":[{"tag":1,"srvid":5,"srvname":"a","srvip":"h","port":7000,"state":2,"beta":"b",
                     "name_color":"#ff0000","urlsuffix":"u","x":"7100","mainsrvid":3}]})"));
    EXPECT_EQ(list.FresURL, "r");
    EXPECT_EQ(list.FsceneURL, "s");
    EXPECT_EQ(list.FgmResURL, "gm");
    EXPECT_EQ(list.FresVer, "v");
    EXPECT_EQ(list.Frefer, "f");
    EXPECT_EQ(list.FsrvRoot, "root");
    EXPECT_EQ(list.Fcustom.hideCopyright, 1);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetItem(0)->FHide, 1);
    EXPECT_EQ(list.GetItem(1)->FHide, 0);
    // A tag shared by two groups puts the server in both.
    ASSERT_EQ(list.GetItem(1)->GetCount(), 1);
    const TServerItem_JSON& s = *list.GetItem(0)->GetItem(0);
    EXPECT_EQ(s.FColor, "#ff0000");
    EXPECT_EQ(s.Fsrvip, "h");
    EXPECT_EQ(s.Fsrvid, "5");
    EXPECT_EQ(s.Fport, "7000");
    EXPECT_EQ(s.Fportxy, "7100");
    EXPECT_EQ(s.Fstate, "2");
    EXPECT_EQ(s.Fbeta, "b");
    EXPECT_EQ(s.Furlsuffix, "u");
    EXPECT_EQ(s.Fmainsrvid, 3);
    EXPECT_EQ(s.FTag, 1);
    EXPECT_FALSE(s.FConnected);
    EXPECT_EQ(list.GetItem(2), nullptr);
    EXPECT_EQ(list.GetItem(-1), nullptr);
    EXPECT_EQ(list.GetItem(0)->GetItem(1), nullptr);

    // A second text without "custom" resets it; "serverData" without "serverGroup" gives no group.
    ASSERT_TRUE(list.InitServerLst(R"({"serverData":[{"tag":1,"port":1}]})"));
    EXPECT_EQ(list.Fcustom.hideCopyright, 0);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(LoadServerList, FailedTextsAndTheModel) {
    TSrvlist list;
    ASSERT_TRUE(list.InitServerLst(R"({"serverGroup":[{"tag":1,"name":"g"}]})"));
    EXPECT_FALSE(list.InitServerLst(""));
    EXPECT_EQ(list.GetCount(), 1);  // an empty text leaves the model
    EXPECT_FALSE(list.InitServerLst("<html>"));
    EXPECT_EQ(list.GetCount(), 0);  // any other failure empties the groups
}

TEST(LoadServerList, AccumulatesUntilClear) {
    const char* text = R"({"serverGroup":[{"tag":1,"name":"g"}],"serverData":[
        {"tag":1,"srvname":"a","srvip":"h","port":7000},{"tag":1,"srvname":"b","srvip":"h","port":7001}]})";
    TServerInfo info;
    ASSERT_TRUE(info.LoadServerListFromJSONString(text));
    ASSERT_TRUE(info.LoadServerListFromJSONString(text));
    EXPECT_EQ(Items(info), (Lines{"g|b|h:7001|0|0", "g|a|h:7000|0|0", "g|b|h:7001|0|0", "g|a|h:7000|0|0"}));
    EXPECT_FALSE(info.LoadServerListFromJSONString(""));
    EXPECT_EQ(info.FServerList.Count(), 4);  // the model an empty text leaves is not listed again
    EXPECT_FALSE(info.LoadServerListFromJSONString("not json"));
    EXPECT_EQ(info.FServerList.Count(), 4);  // a failed text adds nothing and removes nothing
    info.Clear();
    EXPECT_EQ(info.FServerList.Count(), 0);
    EXPECT_EQ(info.FSrvlist.GetCount(), 0);
}

TEST(ServerItem, NewAndListedValues) {
    TServerItem fresh;
    EXPECT_EQ(fresh.FImageIndex, -1);
    EXPECT_TRUE(fresh.FActive);
    TServerInfo info;
    ASSERT_TRUE(info.LoadServerListFromJSONString(
        R"({"serverGroup":[{"tag":1,"name":"g"}],"serverData":[{"tag":1,"srvname":"a","srvip":"h","port":1}]})"));
    const TServerItem& listed = *info.FServerList.GetItem(0);
    EXPECT_EQ(listed.FImageIndex, 1);
    EXPECT_TRUE(listed.FActive);
    EXPECT_EQ(listed.FIP, "");
    EXPECT_EQ(listed.FServerName, "");
    EXPECT_EQ(listed.FKey, "");
}

TEST(ServerItem, StateTexts) {
    const std::pair<int, std::string_view> cases[] = {
        {1, "-新服"}, {2, "-畅通"}, {3, "-爆满"}, {4, "-维护"}, {0, ""}, {5, ""}, {-1, ""},
    };
    for (const auto& [state, text] : cases) {
        TServerItem item;
        item.FState = state;
        EXPECT_EQ(item.GetStateText(), text) << state;
    }
}

TEST(ServerItem, AssignCopiesTheNamedFields) {
    TServerItem source;
    source.FPort = 7000;
    source.FHost = "h";
    source.FServerName = "sn";
    source.FGroupName = "g";
    source.FKey = "k";
    source.FDisplayName = "d";
    source.FImageIndex = 4;
    source.Fsrvid = "9";
    source.FState = 2;
    source.FIP = "1.2.3.4";
    source.FActive = false;
    TServerItem target;
    target.Assign(source);
    EXPECT_EQ(target.FPort, 7000);
    EXPECT_EQ(target.FHost, "h");
    EXPECT_EQ(target.FServerName, "sn");
    EXPECT_EQ(target.FGroupName, "g");
    EXPECT_EQ(target.FKey, "k");
    EXPECT_EQ(target.FDisplayName, "d");
    EXPECT_EQ(target.FImageIndex, 4);
    EXPECT_EQ(target.Fsrvid, "");
    EXPECT_EQ(target.FState, 0);
    EXPECT_EQ(target.FIP, "");
    EXPECT_TRUE(target.FActive);
}

TEST(ServerList, ItemsKeepTheirAddress) {
    TServerList list;
    TServerItem& first = list.Add();
    first.FHost = "a";
    for (int i = 0; i < 100; ++i) list.Add().FPort = i;
    EXPECT_EQ(list.GetItem(0), &first);
    EXPECT_EQ(list.Count(), 101);
    EXPECT_EQ(list.GetItem(101), nullptr);
    EXPECT_EQ(list.GetItem(-1), nullptr);
}

TEST(ServerInfo, DefaultsAndClear) {
    TServerInfo info;
    EXPECT_EQ(info.FMaxClient, 3);
    EXPECT_EQ(info.FDisplaySize, ds1024);
    EXPECT_TRUE(info.FCreateShortCut);
    EXPECT_TRUE(info.FAutoClientType);

    std::string game_type = "cq";
    ASSERT_TRUE(info.LoadModInfoFromJSONString(R"({"modData":[{"srvlist":"http://a/"}]})", game_type));
    info.FServerList.Add();
    info.FClassicsUI = false;
    info.FFullScreen = true;
    info.FVBlank = false;
    info.FDo3D = false;
    info.FDisplaySize = ds800;
    info.FEnabledMini = true;
    info.FAssistantKind = 2;
    info.FClientType = 1;
    info.FMaxClient = 5;
    info.Clear();
    EXPECT_EQ(info.FServerList.Count(), 0);
    EXPECT_TRUE(info.FClassicsUI);
    EXPECT_FALSE(info.FFullScreen);
    EXPECT_TRUE(info.FVBlank);
    EXPECT_TRUE(info.FDo3D);
    EXPECT_EQ(info.FDisplaySize, ds1024);
    EXPECT_FALSE(info.FEnabledMini);
    EXPECT_EQ(info.FAssistantKind, 0);
    EXPECT_EQ(info.FClientType, 1);  // not among the values Clear restores
    EXPECT_EQ(info.FMaxClient, 5);
    EXPECT_EQ(info.FModinfo.GetServerLstUrl(), "http://a/");
}

TEST(ServerInfo, ResourceFolder) {
    TServerInfo info;
    EXPECT_EQ(info.FResFolder, "");
    info.SetResFolder("");
    EXPECT_EQ(info.FResFolder, "OrloResource\\");
    info.SetResFolder("Res\\");
    EXPECT_EQ(info.FResFolder, "Res\\");
}

}  // namespace
}  // namespace orlo

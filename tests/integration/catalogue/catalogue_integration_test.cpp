// The catalogue against orlo-devserver over real HTTP on loopback (the devserver is started
// by the test run; its port is in a file).
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "catalogue/retrieval.h"
#include "catalogue/server_tree.h"
#include "core/profile_record.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/system.h"
#include "support/fake_tree.h"
#include "support/main_thread_tasks.h"

namespace orlo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string DevServer() {
    std::ifstream in(ORLO_DEVSERVER_PORT_FILE);
    int port = 0;
    in >> port;
    return "http://127.0.0.1:" + std::to_string(port);
}

std::string Scenario(const std::string& name) { return DevServer() + "/s/" + name; }

// A port nothing listens on: bound once, then closed.
std::string Unreachable() { return "http://127.0.0.1:1"; }

class CatalogueAgainstDevServer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(DevServer(), "http://127.0.0.1:0") << "no devserver port in " << ORLO_DEVSERVER_PORT_FILE;
        LastGoodServerList().clear();
        GameType() = "cq";
        ServerTreeReady() = false;
        std::random_device rd;
        dir_ = platform::TempDirectory() / ("orlo-catalogue-it-" + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        catalogue_.reset();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    TCatalogue& Catalogue(bool real_waits = false) {
        if (catalogue_) return *catalogue_;
        CatalogueEnvironment env;
        env.http_get = [](const std::string& url, const platform::HttpRequestOptions& o) {
            return platform::HttpGet(url, o);
        };
        env.print = [this](TMessageType kind, const std::string& m) {
            prints.push_back((kind == mtError ? "red: " : "") + m);
        };
        env.read_profile = [this](AExecutableStructure& p) {
            p = profile;
            return true;
        };
        env.read_settings = [] {};
        env.selected_server_id = [this] { return selected_id; };
        env.set_buttons_enabled = [](bool) {};
        env.now_ms = [this] { return platform::TickCount() + skipped_ms; };
        env.sleep_ms = [this, real_waits](std::uint32_t ms) {
            waits.push_back(ms);
            if (real_waits) {
                std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            } else {
                skipped_ms += ms;
            }
        };
        env.post_to_main = tasks.Poster();
        env.cache_file = dir_ / "cache.txt";
        catalogue_ = std::make_unique<TCatalogue>(info, env);
        catalogue_->BindTree(&tree);
        return *catalogue_;
    }

    void WaitForDownloads(int n) {
        ASSERT_TRUE(tasks.RunUntil([&] { return Catalogue().DownloadsFinished() >= n; }, 30s));
    }

    AExecutableStructure profile;
    TServerInfo info;
    testing::FakeTree tree;
    testing::MainThreadTasks tasks;
    std::vector<std::string> prints;
    std::vector<std::uint32_t> waits;
    std::uint32_t skipped_ms = 0;
    int selected_id = 0;
    fs::path dir_;

  private:
    std::unique_ptr<TCatalogue> catalogue_;
};

TEST_F(CatalogueAgainstDevServer, GatewayModListAndServerListFillTheTree) {
    profile.ServerListURL = Scenario("good");
    selected_id = 205;
    EXPECT_TRUE(Catalogue().CheckServerInfo());
    WaitForDownloads(1);
    EXPECT_EQ(tree.Lines(), (std::vector<std::string>{"一区", "  朱雀-爆满", "  青龙-畅通", "二区", "  白虎-新服"}));
    EXPECT_EQ(tree.NodeText(tree.selected), "白虎-新服");
    EXPECT_TRUE(ServerTreeReady());
    EXPECT_EQ(prints,
              (std::vector<std::string>{"更新登陆器列表完成...", "开始请求服务器列表信息", "服务器列表信息获取完毕"}));
    // The list that loaded is kept for the next start.
    LastGoodServerList().clear();
    LoadServerListCache(dir_ / "cache.txt");
    EXPECT_NE(LastGoodServerList().find("白虎"), std::string::npos);
}

TEST_F(CatalogueAgainstDevServer, FailureTable) {
    struct Case {
        const char* what;
        std::string list, backup1, backup2;
        bool cache;
        bool result;
        int downloads;
        std::vector<std::string> tree;
    };
    const std::string cached = R"({"serverGroup":[{"tag":9,"name":"缓存区"}],
        "serverData":[{"tag":9,"srvid":9,"srvname":"缓存服","port":7009,"srvip":"127.0.0.1"}]})";
    const Case cases[] = {
        {"gateway empty four times, first backup",
         Scenario("gw-empty"),
         Scenario("backup") + "/one",
         "",
         false,
         true,
         1,
         {"备用区", "  备用一"}},
        {"gateway unreachable, first backup",
         Unreachable(),
         Scenario("backup") + "/one",
         "",
         false,
         true,
         1,
         {"备用区", "  备用一"}},
        {"gateway failing, second backup (disguised)",
         Scenario("gw-down"),
         Scenario("backup") + "/down",
         Scenario("backup") + "/two",
         false,
         true,
         1,
         {"备用区", "  备用一"}},
        {"everything down, cache",
         Unreachable(),
         Scenario("backup") + "/down",
         Unreachable(),
         true,
         true,
         0,
         {"缓存区", "  缓存服"}},
        {"everything down, no cache", Unreachable(), Unreachable(), Unreachable(), false, false, 0, {}},
        {"two gateway addresses, the first not JSON",
         Scenario("two-addresses"),
         "",
         "",
         false,
         true,
         1,
         {"一区", "  唯一"}},
        {"enciphered server list", Scenario("enciphered"), "", "", false, true, 1, {"密区", "  密服"}},
        {"enciphered list, wrong marker: the cache comes back",
         Scenario("bad-marker"),
         "",
         "",
         true,
         true,
         1,
         {"缓存区", "  缓存服"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        info.Clear();
        info.FModinfo = TModinfo();
        tree.ClearNodes();
        prints.clear();
        profile.ServerListURL = c.list;
        profile.ServerListURL2 = c.backup1;
        profile.ServerListURL3 = c.backup2;
        if (c.cache) LastGoodServerList() = cached;
        EXPECT_EQ(Catalogue().CheckServerInfo(), c.result);
        if (c.downloads) WaitForDownloads(c.downloads);
        EXPECT_EQ(tree.Lines(), c.tree);
    }
}

// The gateway schedule on the real clock, once: four attempts, each more than ten seconds
// after the one before, as the devserver saw them.
TEST_F(CatalogueAgainstDevServer, GatewayScheduleOnTheRealClock) {
    platform::HttpRequestOptions del;
    // The log is per scenario; this test is the only user of gw-empty's timing.
    const auto before = platform::HttpGet(DevServer() + "/_log/gw-empty", del);
    ASSERT_TRUE(before.ok()) << before.error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Catalogue(/*real_waits=*/true).RequestGateway(Scenario("gw-empty")));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 30s);
    EXPECT_EQ(waits.size(), 3u);
    for (std::uint32_t w : waits) EXPECT_LE(w, 10001u);
}

}  // namespace
}  // namespace orlo

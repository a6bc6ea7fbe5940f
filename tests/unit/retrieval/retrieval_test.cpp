#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "catalogue/retrieval.h"
#include "catalogue/server_tree.h"
#include "codec/base64.h"
#include "support/fake_tree.h"
#include "support/main_thread_tasks.h"
#include "platform/files.h"

namespace orlo {
namespace {

namespace fs = std::filesystem;

platform::HttpResponse Ok(std::string body) {
    platform::HttpResponse r;
    r.transport_ok = true;
    r.status = 200;
    r.body = std::move(body);
    return r;
}
platform::HttpResponse Refused() {
    platform::HttpResponse r;
    r.error = "connection refused";
    return r;
}

std::string ModList(const std::string& srvlist, bool encrypt = false) {
    return R"({"resVer":"7","customData":{"isEncrypt":)" + std::string(encrypt ? "1" : "0") +
           R"(},"modData":[{"id":"1001","srvlist":")" + srvlist + R"("}]})";
}

const char* const kServerList = R"({"srvRoot":"example.net","serverGroup":[
    {"tag":1,"name":"一区"},{"tag":2,"name":"二区"}],
  "serverData":[
    {"tag":1,"srvid":101,"srvname":"青龙","port":7000,"state":2,"srvip":"127.0.0.1"},
    {"tag":2,"srvid":205,"srvname":"白虎","port":7001,"state":1,"srvip":"127.0.0.1"},
    {"tag":1,"srvid":205,"srvname":"朱雀","port":7002,"state":3,"srvip":"127.0.0.1"}]})";

// A list service that answers by path, on whatever thread asks; it notes what it was asked.
class FakeService {
  public:
    struct Request {
        std::string path, query;
        std::uint32_t at_ms;
        platform::HttpRequestOptions options;
    };
    std::map<std::string, std::function<platform::HttpResponse()>> routes;
    std::function<std::uint32_t()> clock;
    std::uint32_t cost_ms = 0;  // how long each request takes on the fake clock

    platform::HttpResponse Get(const std::string& url,
                               const platform::HttpRequestOptions& options,
                               std::uint32_t& now) {
        const auto q = url.find('?');
        const std::string path = url.substr(0, q);
        std::function<platform::HttpResponse()> route;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back({path, q == std::string::npos ? "" : url.substr(q + 1), now, options});
            auto it = routes.find(path);
            if (it != routes.end()) route = it->second;
            now += cost_ms;
        }
        return route ? route() : Refused();
    }
    std::vector<Request> Requests(const std::string& path) {
        std::lock_guard lock(mutex_);
        std::vector<Request> out;
        for (const auto& r : requests_) {
            if (r.path == path) out.push_back(r);
        }
        return out;
    }

  private:
    std::mutex mutex_;
    std::vector<Request> requests_;
};

constexpr const char* kList = "http://list.test/gsl";
constexpr const char* kBackup1 = "http://backup1.test/gsl/auth/mod_list_auth/1001";
constexpr const char* kBackup2 = "http://backup2.test/gsl/auth/mod_list_auth/1001";
constexpr const char* kModList = "http://list.test/gsl/auth/mod_list_auth/1001";
constexpr const char* kSrvList = "http://list.test/gsl/main/s/88.json";

class Retrieval : public ::testing::Test {
  protected:
    void SetUp() override {
        LastGoodServerList().clear();
        GameType() = "cq";
        ServerTreeReady() = false;
        std::random_device rd;
        dir_ = platform::TempDirectory() / ("orlo-retrieval-" + std::to_string(rd()));
        fs::create_directories(dir_);
        profile.ServerListURL = kList;
        profile.ServerListURL2 = kBackup1;
        profile.ServerListURL3 = kBackup2;
    }
    void TearDown() override {
        // Workers still out hand their answers to nobody once the catalogue is gone.
        catalogue_.reset();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    CatalogueEnvironment Env() {
        CatalogueEnvironment env;
        env.http_get = [this](const std::string& url, const platform::HttpRequestOptions& o) {
            return service.Get(url, o, now);
        };
        env.print = [this](TMessageType kind, const std::string& message) {
            prints.push_back((kind == mtError ? "red: " : "") + message);
        };
        env.read_profile = [this](AExecutableStructure& p) {
            p = profile;
            return true;
        };
        env.read_settings = [] {};
        env.selected_server_id = [this] { return selected_id; };
        env.set_buttons_enabled = [this](bool enabled) { buttons.push_back(enabled); };
        env.now_ms = [this] { return now; };
        env.sleep_ms = [this](std::uint32_t ms) {
            sleeps.push_back(ms);
            now += ms;
        };
        env.post_to_main = tasks_.Poster();
        env.cache_file = dir_ / "title.txt";
        return env;
    }

    TCatalogue& Catalogue() {
        if (!catalogue_) {
            catalogue_ = std::make_unique<TCatalogue>(info, Env());
            catalogue_->BindTree(&tree);
        }
        return *catalogue_;
    }

    // Runs what the workers handed back, as the main loop would, until `downloads` finished.
    void DeliverDownloads(int downloads) {
        ASSERT_TRUE(
            tasks_.RunUntil([&] { return Catalogue().DownloadsFinished() >= downloads; }, std::chrono::seconds(20)));
        EXPECT_EQ(Catalogue().DownloadsFinished(), downloads);
    }

    void ServeGoodCatalogue() {
        service.routes[kList] = [] { return Ok(R"({"data":["http://list.test/gsl/auth/mod_list_auth/1001"]})"); };
        service.routes[kModList] = [] { return Ok(ModList(kSrvList)); };
        service.routes[kSrvList] = [] { return Ok(kServerList); };
    }

    FakeService service;
    std::uint32_t now = 1000;
    std::vector<std::uint32_t> sleeps;
    std::vector<std::string> prints;
    std::vector<bool> buttons;
    int selected_id = 0;
    AExecutableStructure profile;
    TServerInfo info;
    testing::FakeTree tree;
    fs::path dir_;

  private:
    std::unique_ptr<TCatalogue> catalogue_;
    testing::MainThreadTasks tasks_;
};

TEST_F(Retrieval, GatewayThatAnswersNothingIsAskedFourTimesTenSecondsApart) {
    service.routes[kList] = [] { return Ok(R"({"data":[]})"); };
    EXPECT_FALSE(Catalogue().RequestGateway(kList));
    auto asked = service.Requests(kList);
    ASSERT_EQ(asked.size(), 4u);
    for (size_t i = 1; i < asked.size(); ++i) EXPECT_GT(asked[i].at_ms - asked[i - 1].at_ms, 10000u);
    // One time stamp and signature for every attempt.
    for (const auto& r : asked) EXPECT_EQ(r.query, asked[0].query);
    EXPECT_NE(asked[0].query.find("&type=getaway"), std::string::npos);
}

TEST_F(Retrieval, UnreachableGatewayIsRetriedWithoutPause) {
    EXPECT_FALSE(Catalogue().RequestGateway(kList));
    EXPECT_EQ(service.Requests(kList).size(), 4u);
    EXPECT_TRUE(sleeps.empty());
}

TEST_F(Retrieval, GatewayGivesUpAfterSixMinutes) {
    service.routes[kList] = [] { return Ok("{}"); };
    service.cost_ms = 200000;  // each attempt hangs for 200 s
    EXPECT_FALSE(Catalogue().RequestGateway(kList));
    EXPECT_EQ(service.Requests(kList).size(), 2u);
}

TEST_F(Retrieval, SecondGatewayAddressIsUsedWhenTheFirstModListIsNotJson) {
    const std::string first = "http://list.test/gsl/auth/mod_list_auth/bad";
    service.routes[kList] = [&] { return Ok(R"({"data":[")" + first + R"(",")" + kModList + R"("]})"); };
    service.routes[first] = [] { return Ok("<html>not json</html>"); };
    service.routes[kModList] = [] { return Ok(ModList(kSrvList)); };
    service.routes[kSrvList] = [] { return Ok(kServerList); };
    EXPECT_TRUE(Catalogue().RequestGateway(kList));
    EXPECT_EQ(service.Requests(kList).size(), 1u);
    EXPECT_EQ(info.FModinfo.GetServerLstUrl(), kSrvList);
    DeliverDownloads(1);
    EXPECT_EQ(info.FServerList.Count(), 3);
}

TEST_F(Retrieval, RequestsCarryTheBrowserHeadersExceptTheServerListDownload) {
    ServeGoodCatalogue();
    EXPECT_TRUE(Catalogue().CheckServerInfo());
    DeliverDownloads(1);
    for (const char* path : {kList, kModList}) {
        auto r = service.Requests(path).at(0);
        EXPECT_EQ(r.options.user_agent, "Mozilla/5.0 (Windows NT 5.1; rv:8.0) Gecko/20100101 Firefox/8.0");
        EXPECT_EQ(r.options.max_redirects, 5);
        EXPECT_EQ(r.options.timeout, std::chrono::seconds(30));
        ASSERT_EQ(r.options.headers.size(), 1u);
        EXPECT_EQ(r.options.headers[0].first, "Pragma");
    }
    auto download = service.Requests(kSrvList).at(0);
    EXPECT_TRUE(download.options.user_agent.empty());
    EXPECT_TRUE(download.options.headers.empty());
    EXPECT_EQ(download.options.max_redirects, 0);
    EXPECT_EQ(download.query.find("time="), 0u);
}

struct FailureCase {
    const char* what;
    bool gateway, backup1, backup2, cache;
    bool result;
    std::vector<std::string> prints;
    int servers;
};

class RetrievalFailures : public Retrieval, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RetrievalFailures, FallBackAsFarAsNeeded) {
    const FailureCase& c = GetParam();
    service.routes[kSrvList] = [] { return Ok(kServerList); };
    if (c.gateway) {
        service.routes[kList] = [] { return Ok(R"({"data":["http://list.test/gsl/auth/mod_list_auth/1001"]})"); };
        service.routes[kModList] = [] { return Ok(ModList(kSrvList)); };
    }
    if (c.backup1) service.routes[kBackup1] = [] { return Ok(ModList(kSrvList)); };
    if (c.backup2) service.routes[kBackup2] = [] { return Ok(ModList(kSrvList)); };
    if (c.cache)
        LastGoodServerList() = R"({"serverGroup":[{"tag":9,"name":"缓存区"}],
        "serverData":[{"tag":9,"srvid":9,"srvname":"缓存服","port":7009,"srvip":"10.0.0.9"}]})";
    EXPECT_EQ(Catalogue().CheckServerInfo(), c.result);
    const bool downloads = c.gateway || c.backup1 || c.backup2;
    if (downloads) DeliverDownloads(1);
    EXPECT_EQ(prints, c.prints);
    EXPECT_EQ(info.FServerList.Count(), c.servers);
}

INSTANTIATE_TEST_SUITE_P(
    Table,
    RetrievalFailures,
    ::testing::Values(FailureCase{"gateway",
                                  true,
                                  false,
                                  false,
                                  false,
                                  true,
                                  {"更新登陆器列表完成...", "开始请求服务器列表信息", "服务器列表信息获取完毕"},
                                  3},
                      FailureCase{"first backup",
                                  false,
                                  true,
                                  false,
                                  false,
                                  true,
                                  {"获取主服务器列表信息失败,正在尝试获取1号备用列表", "更新登陆器列表完成...",
                                   "开始请求服务器列表信息", "服务器列表信息获取完毕"},
                                  3},
                      FailureCase{"second backup",
                                  false,
                                  false,
                                  true,
                                  false,
                                  true,
                                  {"获取主服务器列表信息失败,正在尝试获取1号备用列表",
                                   "获取1号备用服务器列表信息失败,正在尝试获取2号备用列表", "更新登陆器列表完成...",
                                   "开始请求服务器列表信息", "服务器列表信息获取完毕"},
                                  3},
                      FailureCase{"cache",
                                  false,
                                  false,
                                  false,
                                  true,
                                  true,
                                  {"获取主服务器列表信息失败,正在尝试获取1号备用列表",
                                   "获取1号备用服务器列表信息失败,正在尝试获取2号备用列表", "无法获取服务器列表...",
                                   "red: 获取登陆器列表失败...", "更新登陆器列表完成..."},
                                  1},
                      FailureCase{"nothing",
                                  false,
                                  false,
                                  false,
                                  false,
                                  false,
                                  {"获取主服务器列表信息失败,正在尝试获取1号备用列表",
                                   "获取1号备用服务器列表信息失败,正在尝试获取2号备用列表", "无法获取服务器列表...",
                                   "red: 获取登陆器列表失败..."},
                                  0}),
    [](const ::testing::TestParamInfo<FailureCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (ch == ' ') ch = '_';
        }
        return name;
    });

TEST_F(Retrieval, LocalCatalogueShowsTheTestServersThenTheCachedOnes) {
    profile.ServerListURL = "local";
    EXPECT_FALSE(Catalogue().CheckServerInfo()) << "without a cache file there is no list to add";
    EXPECT_EQ(tree.Lines(), (std::vector<std::string>{"本地测试", "  本地测试(127.0.0.1:7000)",
                                                      "  本地测试(192.168.0.1:7000)", "  本地测试(192.168.1.1:7000)"}));
    EXPECT_EQ(info.FResFolder, "OrloResource\\");

    TServerInfo again;
    LastGoodServerList() = kServerList;
    TCatalogue with_cache(again, Env());
    testing::FakeTree tree2;
    with_cache.BindTree(&tree2);
    EXPECT_TRUE(with_cache.CheckServerInfo());
    EXPECT_EQ(tree2.Lines(), (std::vector<std::string>{"本地测试", "  本地测试(127.0.0.1:7000)",
                                                       "  本地测试(192.168.0.1:7000)", "  本地测试(192.168.1.1:7000)",
                                                       "一区", "  朱雀-爆满", "  青龙-畅通", "二区", "  白虎-新服"}));
}

TEST_F(Retrieval, EncipheredServerListIsReadOnlyWithItsMarker) {
    LastGoodServerList() =
        R"({"serverGroup":[{"tag":9,"name":"旧"}],"serverData":[{"tag":9,"srvid":9,"srvname":"旧服","port":1,"srvip":"h"}]})";
    info.FModinfo.FisEncrypt = true;
    EXPECT_TRUE(Catalogue().LoadServerList(EncipherServerList(kServerList)));
    EXPECT_EQ(info.FServerList.Count(), 3);
    EXPECT_EQ(LastGoodServerList(), kServerList) << "the plain text is what is kept";

    // Same cipher, another marker: parsed as received, which fails; the last good list returns.
    std::string wrong = EncipherServerList(kServerList);
    auto bytes = Base64Decode(wrong).value();
    bytes[0] = 'X';
    info.Clear();
    EXPECT_FALSE(Catalogue().LoadServerList(Base64Encode(bytes)));
    EXPECT_EQ(info.FServerList.Count(), 3);
}

TEST_F(Retrieval, DefaultServerFollowsTheStoredId) {
    struct Case {
        int stored;
        std::string selected;  // text of the selected node, "" for none
    };
    for (const Case& c : {Case{205, "白虎-新服"}, Case{0, "朱雀-爆满"}, Case{999, ""}}) {
        SCOPED_TRACE(c.stored);
        selected_id = c.stored;
        ServerTreeReady() = false;
        info.Clear();
        Catalogue().LoadServerList(kServerList);
        // Groups in order of first appearance, servers of a group in collection order.
        EXPECT_EQ(tree.Lines(),
                  (std::vector<std::string>{"一区", "  朱雀-爆满", "  青龙-畅通", "二区", "  白虎-新服"}));
        EXPECT_EQ(tree.selected < 0 ? "" : tree.NodeText(tree.selected), c.selected);
        EXPECT_TRUE(ServerTreeReady());
        EXPECT_EQ(buttons.back(), false) << "the login buttons wait for the reachability check";
    }
}

TEST_F(Retrieval, CacheFileRoundTripsTheLastGoodList) {
    LastGoodServerList() = kServerList;
    SaveServerListCache(dir_ / "cache.txt");
    LastGoodServerList().clear();
    LoadServerListCache(dir_ / "cache.txt");
    EXPECT_EQ(LastGoodServerList(), kServerList);
    // An undecipherable file leaves no last good text.
    LastGoodServerList().clear();
    platform::ReplaceFileContents(dir_ / "bad.txt", "not a cipher text");
    LoadServerListCache(dir_ / "bad.txt");
    EXPECT_EQ(LastGoodServerList(), "");
}

}  // namespace
}  // namespace orlo

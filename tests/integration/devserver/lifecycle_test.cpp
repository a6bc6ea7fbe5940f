// Starting, stopping, the built-in demo, and configs that must keep the server from starting.
#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <future>
#include <nlohmann/json.hpp>

#include "devserver_process.h"

namespace orlo::test {
namespace {

TEST(DevServerLifecycle, StopsWithExitZeroOnSigtermAndSigint) {
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        DevServerProcess server(R"({"scenarios": {"a": {"gateway": {"urls": []}}}})");
        ASSERT_TRUE(server.started()) << server.Stderr();
        EXPECT_EQ(server.Stdout(),
                  "orlo-devserver listening on http://127.0.0.1:" + std::to_string(server.port()) + "\n");
        EXPECT_EQ(server.StopWith(sig), 0) << server.Stderr();
    }
}

TEST(DevServerLifecycle, SignalRightAfterStartStillStops) {
    DevServerProcess server(R"({"scenarios": {"a": {"gateway": {"urls": []}}}})");
    ASSERT_TRUE(server.started()) << server.Stderr();
    auto stopped = std::async(std::launch::async, [&] { return server.StopWith(SIGTERM); });
    ASSERT_EQ(stopped.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(stopped.get(), 0);
}

TEST(DevServerLifecycle, StopEndsARequestInItsDelay) {
    DevServerProcess server(R"({"scenarios": {"a": {"check_signature": false,
                                "mod_lists": {"/slow": {"json": {}, "delay_ms": 60000}}}}})");
    ASSERT_TRUE(server.started()) << server.Stderr();
    auto waiting = std::async(std::launch::async, [&] {
        auto client = server.Client();
        client.set_read_timeout(30, 0);
        return client.Get("/s/a/slow");
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(server.StopWith(SIGTERM), 0) << server.Stderr();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    waiting.wait();
}

TEST(DevServerLifecycle, DemoIsServedAtTheRootAndUnderItsName) {
    DevServerProcess server("");
    ASSERT_TRUE(server.started()) << server.Stderr();
    auto client = server.Client();
    const std::string root = "http://127.0.0.1:" + std::to_string(server.port());
    for (const std::string prefix : {"", "/s/demo"}) {
        SCOPED_TRACE(prefix);
        auto gateway = client.Get((prefix.empty() ? "/" : prefix) + SignedGatewayQuery(LauncherTimeStamp()));
        ASSERT_TRUE(gateway);
        ASSERT_EQ(gateway->status, 200);
        auto data = nlohmann::json::parse(gateway->body)["data"];
        ASSERT_EQ(data.size(), 1u);
        const std::string mod_url = data[0];
        ASSERT_EQ(mod_url.rfind(root + prefix + "/gsl/auth/mod_list_auth/", 0), 0u) << mod_url;

        std::string mod_path = mod_url.substr(root.size());
        std::string mod_name = prefix + mod_path.substr(prefix.size() + std::string("/gsl/auth/mod_list_auth").size());
        auto mod = client.Get(mod_path + SignedListQuery(mod_name, LauncherTimeStamp()));
        ASSERT_TRUE(mod);
        ASSERT_EQ(mod->status, 200);
        const std::string srvlist = nlohmann::json::parse(mod->body)["modData"][0]["srvlist"];
        ASSERT_EQ(srvlist.rfind(root + prefix + "/gsl/main/", 0), 0u) << srvlist;

        std::string list_path = srvlist.substr(root.size());
        std::string list_name = prefix + list_path.substr(prefix.size() + std::string("/gsl/main/").size());
        auto list = client.Get(list_path + SignedListQuery(list_name, LauncherTimeStamp()));
        ASSERT_TRUE(list);
        ASSERT_EQ(list->status, 200);
        auto json = nlohmann::json::parse(list->body);
        EXPECT_EQ(json["serverGroup"].size(), 3u);
        EXPECT_GE(json["serverData"].size(), 6u);
    }
    EXPECT_EQ(server.StopWith(SIGTERM), 0);
}

TEST(DevServerLifecycle, ShippedExampleConfigServes) {
    std::ifstream in(ORLO_DEVSERVER_EXAMPLE, std::ios::binary);
    std::string config((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(config.empty());
    DevServerProcess server(config);
    ASSERT_TRUE(server.started()) << server.Stderr();
    auto client = server.Client();
    for (auto [scenario, status] : {std::pair{"happy", 200}, {"gw-empty", 200}, {"list-down", 503}}) {
        SCOPED_TRACE(scenario);
        auto res = client.Get("/s/" + std::string(scenario) + SignedGatewayQuery(LauncherTimeStamp()));
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, status);
    }
    EXPECT_EQ(server.StopWith(SIGTERM), 0);
}

struct BadConfig {
    const char* what;
    const char* config;
    std::vector<const char*> message_parts;
};

TEST(DevServerLifecycle, ConfigErrorsNameScenarioAndKeyAndKeepTheServerDown) {
    const BadConfig cases[] = {
        {"not JSON", "{scenarios", {"not JSON"}},
        {"no scenarios", R"({"scenarios": {}})", {"empty"}},
        {"misspelt fault",
         R"({"scenarios": {"s1": {"mod_lists": {"/a": {"json": {}, "delay": 5}}}}})",
         {"scenario \"s1\"", "\"/a\"", "unknown key \"delay\""}},
        {"negative count",
         R"({"scenarios": {"s1": {"mod_lists": {"/a": {"json": {}, "fail_first": -1}}}}})",
         {"scenario \"s1\"", "fail_first"}},
        {"status out of range",
         R"({"scenarios": {"s1": {"gateway": {"status": 1000}}}})",
         {"scenario \"s1\"", "gateway", "status"}},
        {"gateway with urls and body",
         R"({"scenarios": {"s1": {"gateway": {"urls": [], "body": ""}}}})",
         {"scenario \"s1\"", "\"urls\" and \"body\""}},
        {"urls not strings", R"({"scenarios": {"s1": {"gateway": {"urls": [1]}}}})", {"scenario \"s1\"", "urls"}},
        {"list path without slash",
         R"({"scenarios": {"s1": {"server_lists": {"a.json": {"json": {}}}}}})",
         {"scenario \"s1\"", "\"a.json\"", "begin with"}},
        {"marker without encipher",
         R"({"scenarios": {"s1": {"server_lists": {"/a": {"json": {}, "marker": "XXXXXXXX"}}}}})",
         {"scenario \"s1\"", "marker"}},
        {"disguise on a server list",
         R"({"scenarios": {"s1": {"server_lists": {"/a": {"json": {}, "disguise": true}}}}})",
         {"scenario \"s1\"", "unknown key \"disguise\""}},
        {"route with nothing to answer",
         R"({"scenarios": {"s1": {"mod_lists": {"/a": {"delay_ms": 5}}}}})",
         {"scenario \"s1\"", "needs"}},
        {"same path twice",
         R"({"scenarios": {"s1": {"mod_lists": {"/a": {"json": {}}}, "server_lists": {"/a": {"json": {}}}}}})",
         {"scenario \"s1\"", "twice"}},
        {"name with a slash", R"({"scenarios": {"a/b": {"gateway": {"urls": []}}}})", {"scenario \"a/b\""}},
        {"flag not Boolean",
         R"({"scenarios": {"s1": {"check_signature": "no", "gateway": {"urls": []}}}})",
         {"scenario \"s1\"", "check_signature"}},
    };
    for (const BadConfig& c : cases) {
        SCOPED_TRACE(c.what);
        DevServerProcess server(c.config);
        EXPECT_FALSE(server.started());
        EXPECT_NE(server.ExitStatus(), 0);
        std::string err = server.Stderr();
        for (const char* part : c.message_parts) EXPECT_NE(err.find(part), std::string::npos) << err;
    }
}

}  // namespace
}  // namespace orlo::test

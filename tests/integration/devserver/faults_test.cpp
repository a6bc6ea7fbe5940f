// Injected faults: what a route answers when a scenario asks it to misbehave.
#include <gtest/gtest.h>

#include <chrono>

#include "devserver_process.h"

namespace orlo::test {
namespace {

struct FaultCase {
    const char* path;
    int status;
    const char* body;
};

TEST(DevServerFaults, LiteralBodiesAndStatuses) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    const FaultCase cases[] = {
        {"/s/faults/error", 500, ""},
        {"/s/faults/error-with-body", 502, "bad gateway"},
        {"/s/faults/garbage", 200, "<html>\x01not json"},
        {"/s/faults/empty", 200, ""},
        {"/s/faults", 200, R"({"data": []})"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.path);
        auto res = client.Get(c.path);
        ASSERT_TRUE(res) << httplib::to_string(res.error());
        EXPECT_EQ(res->status, c.status);
        EXPECT_EQ(res->body, c.body);
    }
}

TEST(DevServerFaults, DelayHoldsTheAnswer) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    auto start = std::chrono::steady_clock::now();
    auto res = client.Get("/s/faults/slow");
    auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_GE(elapsed, std::chrono::milliseconds(600));
    EXPECT_LT(elapsed, std::chrono::milliseconds(5000));
}

TEST(DevServerFaults, FailFirstFailsThatManyThenAnswers) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    for (int expected : {500, 500, 200, 200}) {
        auto res = client.Get("/s/faults/flaky");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, expected);
        if (expected == 200) {
            EXPECT_EQ(res->body, R"({"resVer":"3"})");
        }
    }
}

TEST(DevServerFaults, RefusedRequestsDoNotUseUpFailFirst) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    const std::string path = "/s/flaky-signed/gsl/auth/mod_list_auth/1";
    auto unsigned_request = client.Get(path);
    ASSERT_TRUE(unsigned_request);
    EXPECT_EQ(unsigned_request->status, 403);
    for (int expected : {500, 200}) {
        auto res = client.Get(path + SignedListQuery("/s/flaky-signed/1", LauncherTimeStamp()));
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, expected);
    }
}

TEST(DevServerFaults, CloseDropsTheConnectionWithoutAnAnswer) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    auto res = client.Get("/s/faults/drop");
    EXPECT_FALSE(res) << "got status " << res->status;
    // The server itself carries on.
    auto after = client.Get("/s/faults/empty");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->status, 200);
}

}  // namespace
}  // namespace orlo::test

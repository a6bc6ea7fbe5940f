// The server list at scale: parsing, flattening and grouping 10,000 servers in either key
// layout, against parsing the same text with the JSON reader alone; and the whole start-up
// catalogue step against a local orlo-devserver (ORLO_DEVSERVER_URL), against one plain GET.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <string>

#include <nlohmann/json.hpp>

#include "catalogue/retrieval.h"
#include "catalogue/list_request.h"
#include "catalogue/server_tree.h"
#include "platform/http.h"
#include "platform/system.h"
#include "support/fake_tree.h"
#include "support/main_thread_tasks.h"

namespace {

std::string ServerListText(int servers, bool short_keys) {
    nlohmann::json list = {{"srvRoot", "example.net"}};
    for (int g = 1; g <= 20; ++g) list["serverGroup"].push_back({{"tag", g}, {"name", "区" + std::to_string(g)}});
    for (int i = 0; i < servers; ++i) {
        const int tag = 1 + i % 20;
        if (short_keys) {
            list["serverData"].push_back({{"tag", 0},
                                          {"t", tag},
                                          {"d", 1000 + i},
                                          {"p", 7000 + i % 100},
                                          {"s", 1 + i % 4},
                                          {"m", i},
                                          {"n", "服务器" + std::to_string(i)}});
        } else {
            list["serverData"].push_back({{"tag", tag},
                                          {"srvid", 1000 + i},
                                          {"port", 7000 + i % 100},
                                          {"state", 1 + i % 4},
                                          {"srvname", "服务器" + std::to_string(i)},
                                          {"srvip", "10.0.0." + std::to_string(i % 250)}});
        }
    }
    return list.dump();
}

double PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ParseReference(benchmark::State& state) {
    const std::string text = ServerListText(static_cast<int>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(nlohmann::json::parse(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_LoadFlattenGroup(benchmark::State& state) {
    const std::string text = ServerListText(static_cast<int>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        orlo::TServerInfo info;
        info.LoadServerListFromJSONString(text);
        orlo::testing::FakeTree tree;
        orlo::FillServerTree(&tree, info.FServerList, 0, nullptr);
        benchmark::DoNotOptimize(tree.NodeCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["peak_rss_MiB"] = PeakRssMiB();
}

const char* DevServerUrl() { return std::getenv("ORLO_DEVSERVER_URL"); }

void BM_GatewayGetReference(benchmark::State& state) {
    if (!DevServerUrl()) return state.SkipWithError("ORLO_DEVSERVER_URL not set");
    const std::string url = orlo::BuildGatewayUrl(DevServerUrl(), orlo::ListTimeStamp());
    for (auto _ : state) benchmark::DoNotOptimize(orlo::platform::HttpGet(url, orlo::MainThreadRequest()));
}

void BM_CheckServerInfo(benchmark::State& state) {
    if (!DevServerUrl()) return state.SkipWithError("ORLO_DEVSERVER_URL not set");
    for (auto _ : state) {
        orlo::TServerInfo info;
        orlo::testing::FakeTree tree;
        orlo::testing::MainThreadTasks tasks;
        orlo::CatalogueEnvironment env;
        env.http_get = [](const std::string& u, const orlo::platform::HttpRequestOptions& o) {
            return orlo::platform::HttpGet(u, o);
        };
        env.print = [](orlo::TMessageType, const std::string&) {};
        env.read_profile = [](orlo::AExecutableStructure& p) {
            p.ServerListURL = DevServerUrl();
            return true;
        };
        env.read_settings = [] {};
        env.selected_server_id = [] { return 0; };
        env.set_buttons_enabled = [](bool) {};
        env.now_ms = [] { return orlo::platform::TickCount(); };
        env.sleep_ms = [](std::uint32_t) {};
        env.post_to_main = tasks.Poster();
        env.cache_file = "/tmp/orlo-bench-cache.txt";
        orlo::TCatalogue catalogue(info, env);
        catalogue.BindTree(&tree);
        catalogue.CheckServerInfo();
        tasks.RunUntil([&] { return catalogue.DownloadsFinished() > 0; }, std::chrono::seconds(30));
        benchmark::DoNotOptimize(tree.NodeCount());
    }
}

}  // namespace

BENCHMARK(BM_ParseReference)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFlattenGroup)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GatewayGetReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckServerInfo)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

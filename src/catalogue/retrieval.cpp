#include "catalogue/retrieval.h"

#include <chrono>
#include <thread>

#include "catalogue/list_request.h"
#include "catalogue/server_list_cache.h"
#include "catalogue/server_tree.h"
#include "codec/base64.h"
#include "codec/xxtea.h"
#include "core/client_app.h"
#include "core/launcher_state.h"
#include "core/profile.h"
#include "core/settings.h"
#include "core/trace.h"
#include "launch/env_file.h"
#include "platform/codepage.h"
#include "platform/event_loop.h"
#include "platform/files.h"
#include "platform/system.h"

namespace orlo {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kGatewayAttempts = 4;
constexpr std::uint32_t kGatewaySpacingMs = 10000;
constexpr std::uint32_t kGatewayBoundMs = 360000;
constexpr std::size_t kMaxCacheBytes = std::size_t(16) << 20;

void TraceRequestFailure(const std::string& url, const platform::HttpResponse& response) {
    TraceF("HTTP GET %s: %s", url.c_str(),
           response.error.empty() ? Sprintf("status %d", response.status).c_str() : response.error.c_str());
}

}  // namespace

platform::HttpRequestOptions MainThreadRequest() {
    platform::HttpRequestOptions o;
    o.user_agent = "Mozilla/5.0 (Windows NT 5.1; rv:8.0) Gecko/20100101 Firefox/8.0";
    o.headers = {{"Pragma", "no-cache"}};
    o.max_redirects = 5;
    o.timeout = 30s;
    return o;
}

platform::HttpRequestOptions WorkerRequest() { return platform::HttpRequestOptions{}; }

std::string& LastGoodServerList() {
    static std::string text;
    return text;
}

std::filesystem::path ServerListCacheFileName(const std::string& title) {
    std::filesystem::path path = platform::TempDirectory();
    path += std::filesystem::path::preferred_separator;
    path += platform::PathFromUtf8(title + ".txt");
    return path;
}

void LoadServerListCache(const std::filesystem::path& cache_file) {
    auto text = platform::ReadWholeFile(cache_file, kMaxCacheBytes);
    if (!text) return;
    auto plain = DecodeServerListCache(*text);
    if (plain && !plain->empty()) LastGoodServerList() = *plain;
}

void SaveServerListCache(const std::filesystem::path& cache_file) {
    platform::ReplaceFileContents(cache_file, EncodeServerListCache(LastGoodServerList()));
}

std::string DecipherServerList(const std::string& received) {
    auto bytes = Base64Decode(received);
    if (!bytes || bytes->size() < kEnvFileMarker.size() ||
        AsString(ByteView(*bytes).first(kEnvFileMarker.size())) != kEnvFileMarker) {
        return received;
    }
    const Bytes plain = XXTeaDecrypt(ByteView(*bytes).subspan(kEnvFileMarker.size()), AsBytes(kEnvFileKey));
    return platform::AnsiToUtf8(AsString(plain));
}

std::string EncipherServerList(const std::string& json_utf8) {
    Bytes bytes(kEnvFileMarker.begin(), kEnvFileMarker.end());
    const Bytes body = XXTeaEncrypt(AsBytes(platform::Utf8ToAnsiLossy(json_utf8)), AsBytes(kEnvFileKey));
    bytes.insert(bytes.end(), body.begin(), body.end());
    return Base64Encode(bytes);
}

CatalogueEnvironment DefaultCatalogueEnvironment(const std::string& title) {
    CatalogueEnvironment env;
    env.http_get = [](const std::string& url, const platform::HttpRequestOptions& options) {
        return platform::HttpGet(url, options);
    };
    env.print = [](TMessageType kind, const std::string& message) { Print(kind, message); };
    env.read_profile = [](AExecutableStructure& profile) { return ReadProfile(profile); };
    env.read_settings = [title] { ReadSettings(title); };
    env.selected_server_id = [] { return g_Settings().nServerID; };
    env.set_buttons_enabled = [](bool enabled) {
        if (TuClientApp* app = g_ClientApp()) app->SetButtonsEnabled(enabled);
    };
    env.open_browser = [] {
        TuClientApp* app = g_ClientApp();
        if (app && app->WebBrowser) app->WebBrowser->Navigate(app->WebBrowser->OpenUrl());
    };
    env.now_ms = [] { return platform::MainLoop().Now(); };
    env.sleep_ms = [](std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    env.post_to_main = [](std::function<void()> task) { platform::MainLoop().Post(std::move(task)); };
    env.cache_file = ServerListCacheFileName(title);
    return env;
}

TCatalogue::TCatalogue(TServerInfo& info, CatalogueEnvironment env)
    : info_(info), env_(std::move(env)), alive_(std::make_shared<TCatalogue*>(this)) {}

TCatalogue::~TCatalogue() = default;

bool TCatalogue::CheckServerInfo() {
    AExecutableStructure profile;
    env_.read_profile(profile);
    bool fetched = false;
    bool result = false;
    if (!profile.ServerListURL.empty() && profile.ServerListURL != "local") {
        if (RequestGateway(profile.ServerListURL)) {
            fetched = true;
        } else {
            env_.print(mtNormal, "获取主服务器列表信息失败,正在尝试获取1号备用列表");
            if (FetchModList(profile.ServerListURL2, Source::Backup) == 1) {
                fetched = true;
            } else {
                env_.print(mtNormal, "获取1号备用服务器列表信息失败,正在尝试获取2号备用列表");
                if (FetchModList(profile.ServerListURL3, Source::Backup) == 1) {
                    fetched = true;
                } else {
                    env_.print(mtNormal, "无法获取服务器列表...");
                }
            }
        }
        if (info_.FModinfo.GetServerLstUrl().empty()) {
            env_.print(mtError, "获取登陆器列表失败...");
            result = false;
        } else {
            env_.print(mtNormal, "更新登陆器列表完成...");
            result = true;
        }
    } else {
        info_.SetResFolder("OrloResource\\");
        AddLocalTestServers();
        env_.read_settings();
        FillServerTree();
        result = true;
    }
    if (!fetched) {
        result = LoadServerList(LastGoodServerList());
        if (result) env_.print(mtNormal, "更新登陆器列表完成...");
    }
    return result;
}

bool TCatalogue::RequestGateway(const std::string& list_address) {
    const std::uint32_t start = env_.now_ms();
    const std::string time_stamp = ListTimeStamp();
    std::uint32_t previous = start;
    bool wait = false;
    for (std::uint32_t attempt = 1; attempt <= kGatewayAttempts; ++attempt) {
        if (env_.now_ms() - start > kGatewayBoundMs) return false;
        if (wait) {
            const std::uint32_t since = env_.now_ms() - previous;
            if (since <= kGatewaySpacingMs) env_.sleep_ms(kGatewaySpacingMs + 1 - since);
        }
        previous = env_.now_ms();
        const int result = TryGatewayOnce(BuildGatewayUrl(list_address, time_stamp));
        if (result == 1) return true;
        // After a transport error the next attempt goes at once; after a useless answer it waits.
        wait = result == 0;
    }
    return false;
}

int TCatalogue::TryGatewayOnce(const std::string& gateway_url) {
    const platform::HttpResponse response = env_.http_get(gateway_url, MainThreadRequest());
    if (!response.ok()) {
        TraceRequestFailure(gateway_url, response);
        return -1;
    }
    auto addresses = GatewayAddresses(response.body);
    if (!addresses) return 0;
    int result = 0;
    for (const std::string& address : *addresses) {
        result = FetchModList(BuildSignedUrl(address, kModListServicePrefix, ListTimeStamp()), Source::Gateway);
        if (result == 1) break;
    }
    return result;
}

int TCatalogue::FetchModList(const std::string& url, Source source) {
    if (url.empty()) return 0;
    const platform::HttpResponse response = env_.http_get(url, MainThreadRequest());
    if (!response.ok()) {
        TraceRequestFailure(url, response);
        return source == Source::Gateway ? -1 : 0;
    }
    const bool applied = LoadModList(response.body);
    if (source == Source::Backup) return 1;
    return applied ? 1 : 0;
}

bool TCatalogue::LoadModList(const std::string& body) {
    // The tree's nodes point at the collection's items: they go with them.
    if (tree_) tree_->ClearNodes();
    info_.Clear();
    const bool result = info_.LoadModInfoFromJSONString(body, GameType());
    const std::string& address = info_.FModinfo.GetServerLstUrl();
    if (!address.empty()) {
        DownLoadSrvList(address);
    } else {
        WriteTrace("ModeInfo.ServerList: 无效");
    }
    return result;
}

void TCatalogue::DownLoadSrvList(const std::string& address) {
    if (address.empty()) return;
    const std::string url = BuildSignedUrl(address, kServerListServicePrefix, ListTimeStamp());
    std::weak_ptr<TCatalogue*> alive = alive_;
    auto post = env_.post_to_main;
    auto get = env_.http_get;
    // The worker only fetches; everything that touches the catalogue or the window runs on the
    // main thread, handed over through the event loop.
    std::thread([alive, post, get, url] {
        try {
            post([alive] {
                if (auto self = alive.lock()) (*self)->env_.print(mtNormal, "开始请求服务器列表信息");
            });
            platform::HttpResponse response = get(url, WorkerRequest());
            if (!response.ok()) {
                const std::string why = response.error.empty() ? Sprintf("HTTP %d", response.status) : response.error;
                TraceF("%s, 原因:%s", "下载服务器列表信息失败", why.c_str());
                post([alive] {
                    if (auto self = alive.lock()) ++(*self)->downloads_finished_;
                });
                return;
            }
            post([alive, body = std::move(response.body)] {
                auto self = alive.lock();
                if (!self) return;
                (*self)->LoadServerList(body);
                (*self)->env_.print(mtNormal, "服务器列表信息获取完毕");
                ++(*self)->downloads_finished_;
            });
        } catch (const std::exception& e) {
            TraceF("%s, 原因:%s", "下载服务器列表信息失败", e.what());
        } catch (...) {
            TraceF("%s, 原因:%s", "下载服务器列表信息失败", "unknown");
        }
    }).detach();
}

bool TCatalogue::LoadServerList(const std::string& text) {
    const std::string plain = info_.FModinfo.FisEncrypt ? DecipherServerList(text) : text;
    const bool result = info_.LoadServerListFromJSONString(plain);

    LauncherSettings& s = g_Settings();
    s.bFullScreen = info_.FFullScreen;
    s.bWaitVBlank = info_.FVBlank;
    s.b3D = info_.FDo3D;
    if (info_.FClassicsUI) s.bNotClassicUI = false;
    if (info_.FDisplaySize == ds1024) {
        s.nClassicWidth = 1024;
        s.nClassicHeight = 768;
    } else if (info_.FDisplaySize == ds800) {
        s.nClassicWidth = 800;
        s.nClassicHeight = 600;
    }
    env_.read_settings();

    if (result) {
        LastGoodServerList() = plain;
        SaveServerListCache(env_.cache_file);
    } else {
        info_.LoadServerListFromJSONString(LastGoodServerList());
    }
    FillServerTree();
    return result;
}

void TCatalogue::FillServerTree() {
    orlo::FillServerTree(tree_, info_.FServerList, env_.selected_server_id(), env_.set_buttons_enabled,
                         env_.open_browser);
}

void TCatalogue::AddLocalTestServers() {
    for (const char* host : {"127.0.0.1", "192.168.0.1", "192.168.1.1"}) {
        TServerItem item;
        item.FGroupName = "本地测试";
        item.FDisplayName = Sprintf("本地测试(%s:7000)", host);
        item.FHost = host;
        item.FPort = 7000;
        item.FImageIndex = 1;
        info_.FServerList.Add(std::move(item));
    }
}

}  // namespace orlo

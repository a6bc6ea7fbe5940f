// Getting the catalogue at start-up: the gateway with its retries, the two backup mod-list
// addresses, the local test catalogue, the server-list download on a worker thread, the
// enciphered server list, and the cache of the last good list for the next start.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "catalogue/server_info.h"
#include "core/controls.h"
#include "core/message_type.h"
#include "core/profile_record.h"
#include "platform/http.h"

namespace orlo {

// What the flow reaches outside the catalogue. The launcher's own are the defaults; tests put
// a fake clock in place so the gateway schedule runs without waiting.
struct CatalogueEnvironment {
    std::function<platform::HttpResponse(const std::string& url, const platform::HttpRequestOptions&)> http_get;
    std::function<void(TMessageType, const std::string&)> print;
    std::function<bool(AExecutableStructure&)> read_profile;
    std::function<void()> read_settings;
    std::function<int()> selected_server_id;
    std::function<void(bool)> set_buttons_enabled;
    // Opens the skin's web page in the bound browser (nothing without one).
    std::function<void()> open_browser;
    std::function<std::uint32_t()> now_ms;                    // a monotonic millisecond clock
    std::function<void(std::uint32_t ms)> sleep_ms;           // the start-up step waits here
    std::function<void(std::function<void()>)> post_to_main;  // runs a task on the main thread
    std::filesystem::path cache_file;
};
CatalogueEnvironment DefaultCatalogueEnvironment(const std::string& title);

// Request options of the start-up requests (main thread) and of the server-list download.
platform::HttpRequestOptions MainThreadRequest();
platform::HttpRequestOptions WorkerRequest();

class TCatalogue {
  public:
    TCatalogue(TServerInfo& info, CatalogueEnvironment env);
    ~TCatalogue();
    TCatalogue(const TCatalogue&) = delete;
    TCatalogue& operator=(const TCatalogue&) = delete;

    bool CheckServerInfo();
    bool RequestGateway(const std::string& list_address);
    // -1: the request failed; 0: nothing usable; 1: a mod list was applied.
    int TryGatewayOnce(const std::string& gateway_url);
    // From a backup address, success is a completed request; from the gateway, an applied list.
    enum class Source { Backup, Gateway };
    int FetchModList(const std::string& url, Source source);
    bool LoadModList(const std::string& body);
    void DownLoadSrvList(const std::string& address);
    bool LoadServerList(const std::string& text);
    void FillServerTree();

    void BindTree(ITreeControl* tree) { tree_ = tree; }
    // How many server-list downloads have ended and reached the main thread (tests wait on it).
    int DownloadsFinished() const { return downloads_finished_; }

  private:
    void AddLocalTestServers();

    TServerInfo& info_;
    CatalogueEnvironment env_;
    ITreeControl* tree_ = nullptr;
    int downloads_finished_ = 0;
    // Workers outlive nothing they touch: they hand their body to the main thread, which looks
    // here first to see whether the catalogue still exists.
    std::shared_ptr<TCatalogue*> alive_;
};

// The plain JSON of the last server list that loaded, kept for the whole process.
std::string& LastGoodServerList();
// The cache file: the title with ".txt" in the temporary folder, one enciphered line.
std::filesystem::path ServerListCacheFileName(const std::string& title);
void LoadServerListCache(const std::filesystem::path& cache_file);
void SaveServerListCache(const std::filesystem::path& cache_file);

// The server-list cipher: Base64 of the marker "4meJnPyl" and XXTEA of the ANSI text. Returns
// the plain text (UTF-8), or the text as received when the marker does not match.
std::string DecipherServerList(const std::string& received);
std::string EncipherServerList(const std::string& json_utf8);

}  // namespace orlo

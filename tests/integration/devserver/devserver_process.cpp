#include "devserver_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

#include "codec/digest.h"
#include "codec/secrets.h"

extern char** environ;

namespace orlo::test {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Scenarios shared by the tests; each test uses its own so their counters and logs do not meet.
constexpr std::string_view kSharedConfig = R"json({
  "scenarios": {
    "signed": {
      "gateway": {"urls": ["{base}/gsl/auth/mod_list_auth/1001", "http://mirror.example/gsl/auth/mod_list_auth/1001"]},
      "mod_lists": {
        "/gsl/auth/mod_list_auth/1001": {"json": {"modData": [{"srvlist": "{base}/gsl/main/s/88.json"}]}},
        "/plain/1001": {"json": {"resVer": "1"}}
      },
      "server_lists": {
        "/gsl/main/s/88.json": {"json": {"serverData": []}},
        "/gsl/auth/server_list_auth/7": {"json": {"serverData": []}},
        "/gsl/main/a/gsl/main/b.json": {"json": {"serverData": []}}
      }
    },
    "unsigned": {
      "check_signature": false,
      "gateway": {"urls": []},
      "mod_lists": {"/gsl/auth/mod_list_auth/1": {"json": {"resVer": "2"}}}
    },
    "gw-down": {"gateway": {"status": 503}},
    "cipher": {
      "server_lists": {
        "/gsl/main/good.json": {
          "json": {"srvRoot": "example.net", "serverGroup": [{"tag": 1, "name": "电信一区"}],
                   "serverData": [{"tag": 1, "srvid": 101, "srvname": "龙腾四海", "port": 7000, "state": 2}]},
          "encipher": true
        },
        "/gsl/main/wrong-marker.json": {"text": "{\"serverData\": []}", "encipher": true, "marker": "XXXXXXXX"}
      }
    },
    "disguised": {
      "mod_lists": {
        "/gsl/auth/mod_list_auth/9": {
          "json": {"resURL": "http://res.example.net:8080/a/b.zip", "resVer": "20260101",
                   "gameType": "cq25D", "customData": {"isEncrypt": 1, "npOpenStatus": 0},
                   "modData": [{"id": "9", "name": "奥罗", "srvlist": "{base}/gsl/main/jn.json",
                                "winURL": "http://upd.example.com/qvwxyz/"}]},
          "disguise": true
        }
      }
    },
    "faults": {
      "check_signature": false,
      "mod_lists": {
        "/slow": {"json": {}, "delay_ms": 600},
        "/error": {"json": {}, "status": 500},
        "/error-with-body": {"status": 502, "body": "bad gateway"},
        "/flaky": {"json": {"resVer": "3"}, "fail_first": 2},
        "/garbage": {"body": "<html>\u0001not json"},
        "/empty": {"body": ""},
        "/drop": {"json": {}, "close": true}
      },
      "gateway": {"body": "{\"data\": []}"}
    },
    "flaky-signed": {
      "mod_lists": {"/gsl/auth/mod_list_auth/1": {"json": {}, "fail_first": 1}}
    },
    "log": {"gateway": {"urls": []}, "mod_lists": {"/gsl/auth/mod_list_auth/1": {"json": {}}}},
    "log-other": {"gateway": {"urls": []}}
  }
})json";

class SharedServerEnvironment : public ::testing::Environment {
  public:
    static std::unique_ptr<DevServerProcess>& Instance() {
        static std::unique_ptr<DevServerProcess> server;
        return server;
    }
    void TearDown() override {
        if (auto& s = Instance()) {
            EXPECT_EQ(s->StopWith(SIGTERM), 0) << s->Stderr();
        }
        Instance().reset();
    }
};

[[maybe_unused]] auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new SharedServerEnvironment);

}  // namespace

DevServerProcess::DevServerProcess(std::string_view config_text) {
    // A client that the devserver hangs up on must not end the test binary.
    signal(SIGPIPE, SIG_IGN);
    static int serial = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("orlo-devserver-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    const std::string config = (dir_ / "config.json").string();
    const std::string port_file = (dir_ / "port").string();
    const std::string out = (dir_ / "stdout").string();
    const std::string err = (dir_ / "stderr").string();
    std::vector<std::string> args = {ORLO_DEVSERVER, "--port-file", port_file};
    if (!config_text.empty()) {
        std::ofstream(config, std::ios::binary) << config_text;
        args.insert(args.end(), {"--config", config});
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = -1;
        return;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        std::string text = ReadFile(port_file);
        if (!text.empty()) {
            port_ = std::stoi(text);
            return;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

DevServerProcess::~DevServerProcess() {
    if (pid_ > 0) StopWith(SIGKILL);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string DevServerProcess::Stdout() const { return ReadFile(dir_ / "stdout"); }
std::string DevServerProcess::Stderr() const { return ReadFile(dir_ / "stderr"); }

int DevServerProcess::StopWith(int sig) {
    if (pid_ <= 0) return exit_status_;
    kill(pid_, sig);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exit_status_;
}

httplib::Client DevServerProcess::Client() const {
    httplib::Client client("127.0.0.1", port_);
    client.set_read_timeout(10, 0);
    client.set_keep_alive(false);
    // Targets go out exactly as the tests write them.
    client.set_url_encode(false);
    return client;
}

DevServerProcess& SharedDevServer() {
    auto& server = SharedServerEnvironment::Instance();
    if (!server) server = std::make_unique<DevServerProcess>(kSharedConfig);
    if (!server->started()) ADD_FAILURE() << "the shared devserver did not start:\n" << server->Stderr();
    return *server;
}

std::int64_t LauncherTimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::int64_t>(timegm(&local)) - 28'800;
}

std::string Sign(std::string_view signing_text) { return SignDigest(signing_text); }

std::string SignedListQuery(std::string_view data, std::int64_t time) {
    std::string t = std::to_string(time);
    return "?time=" + t + "&sign=" +
           Sign("data=" + std::string(data) + "&key=" + std::string(secrets::kListServiceKey) + "&time=" + t);
}

std::string SignedGatewayQuery(std::int64_t time) {
    std::string t = std::to_string(time);
    return "?time=" + t + "&sign=" + Sign("key=" + std::string(secrets::kListServiceKey) + "&time=" + t) +
           "&type=getaway";
}

}  // namespace orlo::test

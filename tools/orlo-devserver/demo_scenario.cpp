#include "demo_scenario.h"

namespace orlo::devserver {

std::string_view DemoConfig() {
    return R"json({
  "scenarios": {
    "demo": {
      "gateway": {"urls": ["{base}/gsl/auth/mod_list_auth/1001"]},
      "mod_lists": {
        "/gsl/auth/mod_list_auth/1001": {
          "json": {
            "resURL": "{base}/res/",
            "resVer": "20261201",
            "refer": "demo",
            "gameType": "cq",
            "customData": {"npOpenStatus": 0, "isEncrypt": 0},
            "modData": [{
              "id": "1001",
              "name": "奥罗传奇",
              "logo": "{base}/res/logo.png",
              "srvlist": "{base}/gsl/main/s/1001.json",
              "operid": "1",
              "winURL": "{base}/update/",
              "noticeURL": "{base}/notice.html",
              "homeURL": "{base}/",
              "helpURL": "{base}/help.html"
            }]
          }
        }
      },
      "server_lists": {
        "/gsl/main/s/1001.json": {
          "json": {
            "srvRoot": "127.0.0.1",
            "serverGroup": [
              {"tag": 1, "hide": 0, "name": "电信一区"},
              {"tag": 2, "hide": 0, "name": "网通二区"},
              {"tag": 3, "hide": 0, "name": "双线三区"}
            ],
            "custom": {"hideCopyright": 0},
            "serverData": [
              {"tag": 1, "srvid": 101, "srvname": "龙腾四海", "srvip": "127.0.0.1", "port": 7000, "state": 2, "mainsrvid": 101},
              {"tag": 1, "srvid": 102, "srvname": "风云再起", "srvip": "127.0.0.1", "port": 7001, "state": 3, "mainsrvid": 102},
              {"tag": 1, "srvid": 103, "srvname": "王者归来", "srvip": "127.0.0.1", "port": 7002, "state": 1, "mainsrvid": 103},
              {"tag": 2, "srvid": 201, "srvname": "天下无双", "srvip": "127.0.0.1", "port": 7003, "state": 2, "mainsrvid": 201},
              {"tag": 2, "srvid": 202, "srvname": "群雄逐鹿", "srvip": "127.0.0.1", "port": 7004, "state": 4, "mainsrvid": 202},
              {"t": 3, "d": 301, "n": "烽火连城", "i": "127.0.0.1", "p": 7005, "s": 1, "m": 301},
              {"t": 3, "d": 302, "n": "一统江湖", "i": "127.0.0.1", "p": 7006, "s": 2, "m": 302},
              {"t": 3, "d": 303, "n": "笑傲苍穹", "i": "127.0.0.1", "p": 7007, "s": 2, "m": 303}
            ]
          }
        }
      }
    }
  }
})json";
}

}  // namespace orlo::devserver

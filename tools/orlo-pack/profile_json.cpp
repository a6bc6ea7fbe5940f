#include "profile_json.h"

#include <set>

namespace orlo::pack {

nlohmann::ordered_json ProfileToJson(const AExecutableStructure& profile) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (const ProfileField& f : ProfileFields()) {
        if (f.text) {
            json[f.name] = profile.*f.text;
        } else {
            json[f.name] = profile.*f.integer;
        }
    }
    return json;
}

Result<AExecutableStructure> ProfileFromJson(const nlohmann::json& json) {
    using R = Result<AExecutableStructure>;
    if (!json.is_object()) return R::Fail("a profile description is a JSON object");
    AExecutableStructure profile;
    std::set<std::string> known;
    for (const ProfileField& f : ProfileFields()) {
        known.insert(f.name);
        auto it = json.find(f.name);
        if (it == json.end()) continue;
        if (f.text) {
            if (!it->is_string()) return R::Fail(std::string(f.name) + " must be a string");
            profile.*f.text = it->get<std::string>();
        } else {
            if (!it->is_number_integer()) return R::Fail(std::string(f.name) + " must be an integer");
            auto value = it->get<std::int64_t>();
            if (value < INT32_MIN || value > INT32_MAX) return R::Fail(std::string(f.name) + " does not fit 32 bits");
            profile.*f.integer = static_cast<std::int32_t>(value);
        }
    }
    for (const auto& [key, value] : json.items()) {
        if (!known.count(key)) return R::Fail("unknown profile field \"" + key + "\"");
    }
    // The launcher names its settings and cache files after the title.
    if (profile.sTitle.find_first_of("\\/:*?\"<>|") != std::string::npos) {
        return R::Fail("sTitle names the launcher's files and may not hold any of \\ / : * ? \" < > |");
    }
    return profile;
}

AExecutableStructure DemoProfile() {
    AExecutableStructure p;
    p.sTitle = "奥罗传奇";
    p.ServerListURL = "http://127.0.0.1:8600";
    p.ServerListURL2 = "http://127.0.0.1:8600/backup1/modlist.json";
    p.ServerListURL3 = "http://127.0.0.1:8600/backup2/modlist.json";
    p.sAppName = "OrloDemo";
    p.sHomePage = "http://127.0.0.1:8600/home";
    p.sConfigAddress = "http://127.0.0.1:8600/config";
    p.sGameAddress = "http://127.0.0.1:8600/modlist";
    p.sSignKey = "orlo-demo-sign-key";
    p.nGMNum = 1001;
    p.nGMChannel = 7;
    p.sPlatform = "orlo";
    p.sCpGameId = "101";
    p.sSubject = "demo";
    p.sGameId = "2001";
    p.sAgentId = "1";
    p.sPlaceId = "1";
    p.sPromoteId = "0";
    return p;
}

}  // namespace orlo::pack

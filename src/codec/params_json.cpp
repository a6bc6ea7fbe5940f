#include "codec/params_json.h"

#include <utility>
#include <vector>

namespace orlo {

namespace {

// The account service parses with a minimal reader: anything beyond these three escapes
// (including \u forms of non-ASCII text) would reach it as literal characters.
void AppendJsonString(std::string& out, std::string_view s) {
    out += '"';
    for (char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\0':
                out += "\\u0000";
                break;
            default:
                out += c;
        }
    }
    out += '"';
}

}  // namespace

std::string ParamsToJson(std::string_view lines) {
    if (lines.empty()) return {};
    std::vector<std::pair<std::string_view, std::string_view>> members;
    while (!lines.empty()) {
        const std::size_t end = lines.find("\r\n");
        const std::string_view line = lines.substr(0, end);
        lines = end == std::string_view::npos ? std::string_view{} : lines.substr(end + 2);
        if (line.empty()) continue;
        const std::size_t eq = line.find('=');
        const std::string_view name = line.substr(0, eq);
        const std::string_view value = eq == std::string_view::npos ? std::string_view{} : line.substr(eq + 1);
        bool replaced = false;
        for (auto& m : members) {
            if (m.first == name) {
                m.second = value;
                replaced = true;
                break;
            }
        }
        if (!replaced) members.emplace_back(name, value);
    }
    std::string out = "{";
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i > 0) out += ',';
        AppendJsonString(out, members[i].first);
        out += ':';
        AppendJsonString(out, members[i].second);
    }
    out += '}';
    return out;
}

}  // namespace orlo

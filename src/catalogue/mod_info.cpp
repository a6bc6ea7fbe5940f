#include "catalogue/mod_info.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "catalogue/list_request.h"
#include "codec/text_forms.h"
#include "codec/utf8.h"
#include "core/trace.h"

namespace orlo {

namespace {

struct SubstitutionRow {
    char output;
    std::array<char16_t, 4> units;
};

// Some outputs have two rows ("c", "g") and "j" and "n" have none; the list services built
// their disguise from this table, so it stays exactly as they use it.
constexpr SubstitutionRow kSubstitutionRows[] = {
    {'0', {0x0101, 0x00B1, 0x011B, 0x03BE}}, {'a', {0x3043, 0x3044, 0x3045, 0x3046}},
    {'1', {0x2642, 0x03C4, 0x03BF, 0x03B4}}, {'b', {0x3047, 0x3048, 0x3049, 0x304A}},
    {'2', {0x03C6, 0x044E, 0x00E9, 0x012B}}, {'c', {0x304B, 0x304C, 0x304D, 0x304E}},
    {'3', {0x0448, 0x014D, 0x0113, 0x043F}}, {'d', {0x304F, 0x3050, 0x3051, 0x3052}},
    {'4', {0x0431, 0x044C, 0x01D2, 0x044F}}, {'e', {0x3053, 0x3054, 0x3055, 0x3056}},
    {'5', {0xFF0B, 0x00E1, 0x03C3, 0x03B1}}, {'f', {0x3057, 0x3058, 0x3059, 0x305A}},
    {'6', {0x00F3, 0x2229, 0x01CE, 0x03B5}}, {'g', {0x305B, 0x305C, 0x305D, 0x305E}},
    {'7', {0x00ED, 0x00F2, 0x00EC, 0x00B0}}, {'h', {0x305F, 0x3060, 0x3061, 0x3062}},
    {'8', {0x00E0, 0x25CB, 0x03C8, 0x2640}}, {'i', {0x3063, 0x3064, 0x3065, 0x3066}},
    {'9', {0x03B6, 0x30E7, 0x00E8, 0x01D0}}, {'g', {0x3067, 0x3068, 0x3069, 0x306A}},
    {'"', {0x03BB, 0x01D8, 0x03B9, 0x01D4}}, {'k', {0x306B, 0x306C, 0x306D, 0x306E}},
    {',', {0x01DA, 0x02D9, 0x00F9, 0x00FC}}, {'l', {0x306F, 0x3070, 0x3071, 0x3072}},
    {'[', {0x01D6, 0x016B, 0x0451, 0x0437}}, {'m', {0x3073, 0x3074, 0x3075, 0x30B6}},
    {']', {0x01DC, 0x00FA, 0x03C9, 0x044D}}, {'c', {0x30B7, 0x30B8, 0x30B9, 0x30BA}},
    {'.', {0x30CD, 0x30DA, 0x3127, 0x3125}}, {'o', {0x30BB, 0x30BC, 0x30BD, 0x30BE}},
    {':', {0x30CE, 0x30DB, 0x30E8, 0x3126}}, {'p', {0x30BF, 0x30C0, 0x30C1, 0x30C2}},
    {'/', {0x30CF, 0x30DC, 0x311A, 0x3128}}, {'q', {0x30C3, 0x30D0, 0x30DD, 0x311B}},
    {'r', {0x30C4, 0x30D1, 0x30DE, 0x311C}}, {'s', {0x30C5, 0x30D2, 0x30DF, 0x311D}},
    {'t', {0x30C6, 0x30D3, 0x30E0, 0x311E}}, {'u', {0x30C7, 0x30D4, 0x30E1, 0x311F}},
    {'v', {0x30C8, 0x30D5, 0x30E2, 0x3120}}, {'w', {0x30C9, 0x30D6, 0x30E3, 0x3121}},
    {'x', {0x30CA, 0x30D7, 0x30E4, 0x3122}}, {'y', {0x30CB, 0x30D8, 0x30E5, 0x3123}},
    {'z', {0x30CC, 0x30D9, 0x30E6, 0x3124}},
};

// Mod lists run to a few kilobytes. The fallback converts the text twice over, which is not
// worth doing for megabytes of something else.
constexpr std::size_t kMaxDisguisedSize = 1u << 20;

using SubstitutionTable = std::vector<std::pair<char16_t, char>>;

const SubstitutionTable& Substitutions() {
    static const SubstitutionTable table = [] {
        SubstitutionTable t;
        for (const auto& row : kSubstitutionRows) {
            for (const char16_t unit : row.units) t.emplace_back(unit, row.output);
        }
        std::sort(t.begin(), t.end());
        return t;
    }();
    return table;
}

std::optional<char> Substitute(char32_t code_point) {
    if (code_point > 0xFFFF) return std::nullopt;
    const auto unit = static_cast<char16_t>(code_point);
    const SubstitutionTable& table = Substitutions();
    const auto it = std::lower_bound(table.begin(), table.end(), unit,
                                     [](const std::pair<char16_t, char>& row, char16_t u) { return row.first < u; });
    if (it == table.end() || it->first != unit) return std::nullopt;
    return it->second;
}

bool IsValidUtf8(std::string_view s) {
    for (std::size_t pos = 0; pos < s.size();) {
        if (utf8::Next(s, pos) == utf8::kInvalid) return false;
    }
    return true;
}

// The fallback reads the text's ANSI bytes as UTF-8, which recovers a body that was taken for
// ANSI on the way in. A body that was decoded properly does not survive that trip (its ANSI
// bytes are no UTF-8), and then the text itself is what gets decoded.
std::string UndisguisedText(std::string_view text) {
    std::string ansi = AnsiForm(text);
    if (IsValidUtf8(ansi)) return DecodeSubstitution(ansi);
    return DecodeSubstitution(text);
}

void TraceField(std::string_view label, const std::string& value) {
    std::string line(label);
    line += value;
    WriteTrace(line);
}

}  // namespace

std::string DecodeSubstitution(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const char32_t cp = utf8::Next(utf8, pos);
        if (const auto c = cp == utf8::kInvalid ? std::nullopt : Substitute(cp)) {
            out += *c;
        } else {
            out.append(utf8.substr(start, pos - start));
        }
    }
    return out;
}

std::string& GameType() {
    static std::string game_type = "cq";
    return game_type;
}

bool TModinfo::InitModinfo(std::string_view text, std::string& game_type) {
    if (text.empty()) return false;
    auto doc = listjson::ParseObject(text);
    if (!doc && text.size() <= kMaxDisguisedSize) doc = listjson::ParseObject(UndisguisedText(text));
    if (!doc) return false;

    resURL = listjson::Text(*doc, "resURL");
    resVer = listjson::Text(*doc, "resVer");
    refer = listjson::Text(*doc, "refer");
    urlsuffix = listjson::Int32(*doc, "urlsuffix");
    currVersion = listjson::Int32(*doc, "currVersion");
    reviewVersion = listjson::Int32(*doc, "reviewVersion");
    if (listjson::Text(*doc, "gameType") == "cq25D") game_type = "cq25D";
    TraceField("resURL ", resURL);
    TraceField("resVer ", resVer);
    TraceField("refer ", refer);

    if (const nlohmann::json* custom = listjson::Find(*doc, "customData")) {
        FneedNP = listjson::Int64(*custom, "npOpenStatus") == 1;
        FisEncrypt = listjson::Int64(*custom, "isEncrypt") == 1;
    }

    const nlohmann::json* mod_data = listjson::Find(*doc, "modData");
    if (mod_data != nullptr && mod_data->is_array() && !mod_data->empty()) {
        const nlohmann::json& first = mod_data->front();
        const std::pair<const char*, std::string*> fields[] = {
            {"id", &ModeItemAray.id},
            {"name", &ModeItemAray.name},
            {"logo", &ModeItemAray.logo},
            {"srvlist", &ModeItemAray.srvlist},
            {"operid", &ModeItemAray.operid},
            {"winURL", &ModeItemAray.winURL},
            {"noticeURL", &ModeItemAray.noticeURL},
            {"homeURL", &ModeItemAray.homeURL},
            {"helpURL", &ModeItemAray.helpURL},
        };
        for (const auto& [key, field] : fields) {
            *field = listjson::Text(first, key);
            TraceField(std::string("ModeItemAray.") + key + " ", *field);
        }
    }
    return true;
}

}  // namespace orlo

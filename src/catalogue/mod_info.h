// The mod information: the operator's description of one game variant, read from the mod list.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace orlo {

struct TModDateItem {
    std::string id;
    std::string name;
    std::string logo;
    std::string srvlist;  // the server-list address
    std::string operid;
    std::string winURL;  // the update base address
    std::string noticeURL;
    std::string homeURL;
    std::string helpURL;
};

class TModinfo {
  public:
    std::string resURL;
    std::string resVer;
    std::string refer;
    std::int32_t urlsuffix = 0;
    std::int32_t currVersion = 0;
    std::int32_t reviewVersion = 0;
    TModDateItem ModeItemAray;
    bool FneedNP = false;
    bool FisEncrypt = false;  // the server-list text arrives enciphered

    // Fills the object from a mod list. False, with the object untouched, when the text is empty
    // or neither it nor its substitution-decoded form reads as a JSON object. A "gameType" of
    // exactly "cq25D" sets game_type; nothing sets it back.
    bool InitModinfo(std::string_view text, std::string& game_type);

    const std::string& GetServerLstUrl() const { return ModeItemAray.srvlist; }
    void SetServerLstUrl(std::string url) { ModeItemAray.srvlist = std::move(url); }
    const std::string& GetWinUrl() const { return ModeItemAray.winURL; }
    void SetWinUrl(std::string url) { ModeItemAray.winURL = std::move(url); }
    const std::string& GetHomeUrl() const { return ModeItemAray.homeURL; }
    void SetHomeUrl(std::string url) { ModeItemAray.homeURL = std::move(url); }
    const std::string& GetNoticeUrl() const { return ModeItemAray.noticeURL; }
    void SetNoticeUrl(std::string url) { ModeItemAray.noticeURL = std::move(url); }
    const std::string& GetHelpUrl() const { return ModeItemAray.helpURL; }
    void SetHelpUrl(std::string url) { ModeItemAray.helpURL = std::move(url); }
};

// Undoes the look-alike disguise some list services put on the mod list: each UTF-16 code unit
// found in the substitution table becomes its ASCII character, everything else is kept.
std::string DecodeSubstitution(std::string_view utf8);

// The process-wide game type: "cq" (classic client) at start, "cq25D" for the 3D client.
std::string& GameType();

}  // namespace orlo

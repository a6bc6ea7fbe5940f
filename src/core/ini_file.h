// A settings document of the INI kind, read from and written to bytes so that the file I/O
// stays with the caller. Inside, every text is UTF-8.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orlo {

enum class IniEncoding { Ansi, Utf8Bom, Utf16Le, Utf16Be };

class IniFile {
  public:
    // Never fails: the file comes from outside, so whatever cannot be understood is kept as
    // an opaque line. A byte-order mark selects UTF-8 or UTF-16; without one the bytes are
    // read in the system's ANSI code page.
    static IniFile Parse(std::string_view bytes);

    // Section and key names match without regard to ASCII letter case; other characters
    // compare exactly. The first of duplicated sections or keys wins, as with Windows' own
    // profile functions. Values come back trimmed of spaces and tabs.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
    bool HasSection(std::string_view section) const;

    // Adds the section and key when absent; every other line stays as it was. Line breaks
    // inside the value become spaces, since the format has no way to hold them.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // Whole document as UTF-8 text with CRLF line ends.
    std::string ToUtf8Text() const;
    // Whole document in the ANSI code page with CRLF line ends; characters the code page
    // cannot hold become "?".
    std::string SerializeAnsi() const;

    IniEncoding SourceEncoding() const { return encoding_; }

  private:
    struct Line {
        bool is_entry = false;
        std::string key;    // entries only, trimmed
        std::string value;  // entries only, trimmed
        std::string raw;    // everything else: comments, blank and unreadable lines
    };
    struct Section {
        bool has_header = false;  // false only for the lines before the first header
        std::string name;
        std::string header;  // the header line as read, written back unchanged; empty when added
        std::vector<Line> lines;
    };

    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    void ParseText(std::string_view utf8);

    std::vector<Section> sections_;
    IniEncoding encoding_ = IniEncoding::Ansi;
};

// Compares with ASCII letters folded; bytes of other characters must match exactly.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace orlo

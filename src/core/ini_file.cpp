#include "core/ini_file.h"

#include <cstdint>

#include "codec/utf8.h"
#include "platform/codepage.h"

namespace orlo {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Malformed sequences become U+FFFD, so later conversions see only well-formed text.
std::string SanitizeUtf8(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        auto c = static_cast<unsigned char>(in[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        std::size_t len = 0;
        std::uint32_t cp = 0;
        std::uint32_t min = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2, cp = c & 0x1F, min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3, cp = c & 0x0F, min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4, cp = c & 0x07, min = 0x10000;
        }
        bool ok = len > 0 && i + len <= in.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            auto t = static_cast<unsigned char>(in[i + k]);
            if ((t & 0xC0) != 0x80) {
                ok = false;
            } else {
                cp = (cp << 6) | (t & 0x3F);
            }
        }
        ok = ok && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (ok) {
            out.append(in.substr(i, len));
            i += len;
        } else {
            out += kReplacement;
            ++i;
        }
    }
    return out;
}

std::string_view Trim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

IniFile IniFile::Parse(std::string_view bytes) {
    IniFile ini;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        ini.encoding_ = IniEncoding::Utf8Bom;
        ini.ParseText(SanitizeUtf8(bytes.substr(3)));
    } else if (bytes.starts_with("\xFF\xFE")) {
        ini.encoding_ = IniEncoding::Utf16Le;
        ini.ParseText(utf8::FromUtf16(bytes.substr(2), false));
    } else if (bytes.starts_with("\xFE\xFF")) {
        ini.encoding_ = IniEncoding::Utf16Be;
        ini.ParseText(utf8::FromUtf16(bytes.substr(2), true));
    } else {
        ini.ParseText(SanitizeUtf8(platform::AnsiToUtf8(bytes)));
    }
    return ini;
}

void IniFile::ParseText(std::string_view text) {
    sections_.push_back(Section{});
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;

        std::string_view line = Trim(raw);
        if (line.starts_with('[')) {
            std::string_view name = line.substr(1);
            name = name.substr(0, name.find(']'));
            sections_.push_back(Section{true, std::string(Trim(name)), std::string(raw), {}});
            continue;
        }
        Line entry;
        std::size_t eq = line.find('=');
        if (!line.starts_with(';') && eq != std::string_view::npos) {
            entry.is_entry = true;
            entry.key = Trim(line.substr(0, eq));
            entry.value = Trim(line.substr(eq + 1));
        } else {
            entry.raw = raw;
        }
        sections_.back().lines.push_back(std::move(entry));
    }
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const Section& s : sections_) {
        if (s.has_header && EqualsIgnoringAsciiCase(s.name, name)) return &s;
    }
    return nullptr;
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    return const_cast<Section*>(static_cast<const IniFile*>(this)->FindSection(name));
}

bool IniFile::HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    for (const Line& line : s->lines) {
        if (line.is_entry && EqualsIgnoringAsciiCase(line.key, key)) return line.value;
    }
    return std::nullopt;
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view fallback) const {
    auto value = Get(section, key);
    return value ? *value : std::string(fallback);
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    Section* s = FindSection(section);
    if (!s) {
        if (sections_.empty()) sections_.push_back(Section{});
        sections_.push_back(Section{true, OneLine(Trim(section)), {}, {}});
        s = &sections_.back();
    }
    std::string clean_value(Trim(OneLine(value)));
    for (Line& line : s->lines) {
        if (line.is_entry && EqualsIgnoringAsciiCase(line.key, key)) {
            line.value = std::move(clean_value);
            return;
        }
    }
    // After the section's last non-blank line, so a blank line separating it from the next
    // section stays where it is.
    std::size_t at = s->lines.size();
    while (at > 0 && !s->lines[at - 1].is_entry && Trim(s->lines[at - 1].raw).empty()) --at;
    Line entry;
    entry.is_entry = true;
    entry.key = Trim(OneLine(key));
    entry.value = std::move(clean_value);
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}

std::string IniFile::ToUtf8Text() const {
    std::string out;
    for (const Section& s : sections_) {
        if (!s.header.empty()) {
            out += s.header;
            out += "\r\n";
        } else if (s.has_header) {
            out += '[';
            out += s.name;
            out += "]\r\n";
        }
        for (const Line& line : s.lines) {
            if (line.is_entry) {
                out += line.key;
                out += '=';
                out += line.value;
            } else {
                out += line.raw;
            }
            out += "\r\n";
        }
    }
    return out;
}

std::string IniFile::SerializeAnsi() const { return platform::Utf8ToAnsiLossy(ToUtf8Text()); }

}  // namespace orlo

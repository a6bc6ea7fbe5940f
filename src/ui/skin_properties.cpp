#include "ui/skin_properties.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "ui/skin_values.h"

namespace orlo::ui {
namespace {

struct NamedColor {
    std::string_view name;
    std::uint32_t value;  // 0x00BBGGRR, or 0xFF0000nn for a system colour
};

constexpr std::uint32_t kNone = 0x1FFFFFFF;
constexpr std::uint32_t kDefault = 0x20000000;

constexpr std::array<NamedColor, 45> kColors = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", kNone},
    {"clDefault", kDefault},
    {"clScrollBar", 0xFF000000},
    {"clBackground", 0xFF000001},
    {"clActiveCaption", 0xFF000002},
    {"clInactiveCaption", 0xFF000003},
    {"clMenu", 0xFF000004},
    {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006},
    {"clMenuText", 0xFF000007},
    {"clWindowText", 0xFF000008},
    {"clCaptionText", 0xFF000009},
    {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E},
    {"clBtnFace", 0xFF00000F},
    {"clBtnShadow", 0xFF000010},
    {"clGrayText", 0xFF000011},
    {"clBtnText", 0xFF000012},
    {"clBtnHighlight", 0xFF000014},
    {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016},
    {"clInfoText", 0xFF000017},
    {"clInfoBk", 0xFF000018},
}};

// The classic scheme's system colours; the skin names them, the launcher needs fixed pixels
// (the see-through colour must match what is painted exactly).
std::optional<platform::Rgb> SystemColor(std::uint32_t index) {
    switch (index) {
        case 0x05:
        case 0x0E:
        case 0x14:
            return platform::Rgb{0xFF, 0xFF, 0xFF};
        case 0x07:
        case 0x08:
        case 0x09:
        case 0x12:
        case 0x17:
        case 0x15:
            return platform::Rgb{0, 0, 0};
        case 0x0D:
            return platform::Rgb{0x33, 0x99, 0xFF};
        case 0x10:
        case 0x11:
            return platform::Rgb{0xA0, 0xA0, 0xA0};
        case 0x18:
            return platform::Rgb{0xFF, 0xFF, 0xE1};
        case 0x02:
            return platform::Rgb{0x99, 0xB4, 0xD1};
        case 0x03:
            return platform::Rgb{0xBF, 0xCD, 0xDB};
        case 0x01:
            return platform::Rgb{0, 0, 0};
        case 0x16:
            return platform::Rgb{0xE3, 0xE3, 0xE3};
        default:
            return kButtonFace;
    }
}

std::optional<platform::Rgb> FromNumber(std::int64_t number) {
    const auto value = static_cast<std::uint32_t>(number);
    if (value == kNone || value == kDefault) return std::nullopt;
    if ((value & 0xFF000000u) == 0xFF000000u) return SystemColor(value & 0xFF);
    if (value & 0xFF000000u) return std::nullopt;
    return platform::Rgb{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                         static_cast<std::uint8_t>(value >> 16)};
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::uint32_t LoadLe32(ByteView b, size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
    return v;
}

}  // namespace

std::optional<platform::Rgb> ColorFromValue(const SkinValue& value) {
    if (auto number = AsInteger(value)) return FromNumber(*number);
    if (auto ident = AsIdent(value)) {
        for (const NamedColor& c : kColors)
            if (EqualsNoCase(c.name, *ident)) return FromNumber(c.value);
    }
    return std::nullopt;
}

bool ApplyFontProperty(platform::FontSpec& font, std::string_view sub, const SkinValue& value) {
    if (sub == "Name") {
        auto name = AsText(value);
        if (!name || name->empty()) return false;
        font.face = *name;
        return true;
    }
    if (sub == "Height" || sub == "Size") {
        auto n = AsInteger(value);
        if (!n || *n < -1000 || *n > 1000) return false;
        // Size is in points; the form's height is in pixels at 96 dots per inch.
        font.height = sub == "Height" ? static_cast<int>(*n) : -static_cast<int>((*n * 96 + 36) / 72);
        return true;
    }
    if (sub == "Color") {
        if (value.tag != ValueTag::Ident && !AsInteger(value)) return false;
        font.color = ColorFromValue(value).value_or(platform::Rgb{});
        return true;
    }
    if (sub == "Style") {
        if (value.tag != ValueTag::Set) return false;
        font.bold = font.italic = font.underline = font.strike_out = false;
        for (const std::string& member : value.set) {
            if (member == "fsBold")
                font.bold = true;
            else if (member == "fsItalic")
                font.italic = true;
            else if (member == "fsUnderline")
                font.underline = true;
            else if (member == "fsStrikeOut")
                font.strike_out = true;
        }
        return true;
    }
    return sub == "Charset" || sub == "Pitch" || sub == "Quality" || sub == "Orientation";
}

std::optional<Bytes> StandardPictureImage(ByteView data) {
    if (data.empty()) return std::nullopt;
    const size_t name_length = data[0];
    if (data.size() < 1 + name_length) return std::nullopt;
    const std::string kind(reinterpret_cast<const char*>(data.data()) + 1, name_length);
    ByteView rest = data.subspan(1 + name_length);
    if (kind == "TBitmap" || kind == "TJPEGImage") {
        if (rest.size() < 4) return std::nullopt;
        const std::uint32_t length = LoadLe32(rest, 0);
        if (length > rest.size() - 4) return std::nullopt;
        return Bytes(rest.begin() + 4, rest.begin() + 4 + length);
    }
    for (std::string_view whole : {"TPngImage", "TGIFImage", "TIcon", "TMetafile", "TWICImage"})
        if (kind == whole) return Bytes(rest.begin(), rest.end());
    return std::nullopt;
}

}  // namespace orlo::ui

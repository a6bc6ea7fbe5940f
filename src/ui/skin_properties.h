// Turning skin values into what the controls want: colours, fonts and pictures, as the
// component kinds' property types define them.
#pragma once
#include <optional>
#include <string_view>

#include "codec/bytes.h"
#include "platform/forms.h"
#include "ui/skin_stream.h"

namespace orlo::ui {

// The platform's button face: the main window's see-through colour unless the skin says other.
inline constexpr platform::Rgb kButtonFace{0xF0, 0xF0, 0xF0};

// A colour identifier ("clLime", "clBtnFace") or a colour number (0x00BBGGRR, system colours
// 0xFF0000nn). None for clNone, clDefault and what is no colour.
std::optional<platform::Rgb> ColorFromValue(const SkinValue& value);

// Applies a "Font.<sub>" property (Name, Height, Size, Color, Style; Charset, Pitch, Quality and
// Orientation are accepted and change nothing). False when it cannot be applied.
bool ApplyFontProperty(platform::FontSpec& font, std::string_view sub, const SkinValue& value);

// The image file inside a standard picture's data: the graphic kind's short-string name, then
// the graphic's own data. None when the kind is unknown or the data is cut off.
std::optional<Bytes> StandardPictureImage(ByteView data);

}  // namespace orlo::ui

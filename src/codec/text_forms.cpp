#include "codec/text_forms.h"

#include "codec/utf8.h"
#include "platform/codepage.h"

namespace orlo {

std::string AsciiForm(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = utf8::Next(utf8, pos);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp != utf8::kInvalid && cp > 0xFFFF) {
            out += "??";  // a surrogate pair is two code units
        } else {
            out += '?';
        }
    }
    return out;
}

std::string AnsiForm(std::string_view utf8) { return platform::Utf8ToAnsiLossy(utf8); }

std::string FromAnsiForm(std::string_view ansi) { return platform::AnsiToUtf8(ansi); }

}  // namespace orlo

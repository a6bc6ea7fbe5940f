#include "disguise.h"

namespace orlo::devserver {
namespace {

// The stand-in for each plain character: the first code unit of its row in the look-alike
// table. "g" and "c" have two rows; the first row of each is used.
char32_t StandIn(char c) {
    switch (c) {
        case '0':
            return 0x0101;
        case '1':
            return 0x2642;
        case '2':
            return 0x03C6;
        case '3':
            return 0x0448;
        case '4':
            return 0x0431;
        case '5':
            return 0xFF0B;
        case '6':
            return 0x00F3;
        case '7':
            return 0x00ED;
        case '8':
            return 0x00E0;
        case '9':
            return 0x03B6;
        case '"':
            return 0x03BB;
        case ',':
            return 0x01DA;
        case '[':
            return 0x01D6;
        case ']':
            return 0x01DC;
        case '.':
            return 0x30CD;
        case ':':
            return 0x30CE;
        case '/':
            return 0x30CF;
        case 'a':
            return 0x3043;
        case 'b':
            return 0x3047;
        case 'c':
            return 0x304B;
        case 'd':
            return 0x304F;
        case 'e':
            return 0x3053;
        case 'f':
            return 0x3057;
        case 'g':
            return 0x305B;
        case 'h':
            return 0x305F;
        case 'i':
            return 0x3063;
        case 'k':
            return 0x306B;
        case 'l':
            return 0x306F;
        case 'm':
            return 0x3073;
        case 'o':
            return 0x30BB;
        case 'p':
            return 0x30BF;
        case 'q':
            return 0x30C3;
        case 'r':
            return 0x30C4;
        case 's':
            return 0x30C5;
        case 't':
            return 0x30C6;
        case 'u':
            return 0x30C7;
        case 'v':
            return 0x30C8;
        case 'w':
            return 0x30C9;
        case 'x':
            return 0x30CA;
        case 'y':
            return 0x30CB;
        case 'z':
            return 0x30CC;
        default:
            return 0;
    }
}

void AppendUtf8(std::string& out, char32_t cp) {
    // Every stand-in lies in the Basic Multilingual Plane, above U+007F.
    if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

}  // namespace

std::string Disguise(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 3);
    for (char c : utf8) {
        // Bytes of multi-byte characters are never ASCII, so they are copied untouched.
        if (char32_t cp = StandIn(c)) {
            AppendUtf8(out, cp);
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace orlo::devserver

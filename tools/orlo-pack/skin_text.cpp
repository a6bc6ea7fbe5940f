#include "skin_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <set>
#include <system_error>

#include "codec/utf8.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "ui/skin_classes.h"
#include "ui/skin_values.h"

namespace orlo::pack {
namespace {

using ui::SkinCollectionItem;
using ui::SkinObject;
using ui::SkinProperty;
using ui::SkinValue;
using ui::ValueTag;

constexpr std::array<std::string_view, 7> kGraphicKinds = {"TBitmap",   "TIcon",     "TMetafile", "TJPEGImage",
                                                           "TPngImage", "TGIFImage", "TWICImage"};

bool IsGraphicKind(std::string_view kind) {
    return std::find(kGraphicKinds.begin(), kGraphicKinds.end(), kind) != kGraphicKinds.end();
}
// These two carry a 32-bit length before the file bytes; the others run to the end of the value.
bool HasLengthField(std::string_view kind) { return kind == "TBitmap" || kind == "TJPEGImage"; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int HexValue(char c) { return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

bool IsPlainIdent(std::string_view s) {
    if (s.empty() || !IsIdentStart(s[0])) return false;
    return std::all_of(s.begin(), s.end(), IsIdentChar);
}

// Words that the value grammar reads as something other than an identifier: the constants, and
// the forms when an opening bracket follows (in a list, True may well be followed by a list).
constexpr std::array<std::string_view, 4> kConstantWords = {"true", "false", "nil", "null"};
constexpr std::array<std::string_view, 16> kFormWords = {"int8", "int16",    "int32",    "int64",  "single",  "double",
                                                         "date", "currency", "extended", "string", "lstring", "wstring",
                                                         "utf8", "ident",    "file",     "picture"};

template <std::size_t N>
bool IsOneOf(const std::array<std::string_view, N>& words, std::string_view s) {
    return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return EqualsNoCase(s, w); });
}
bool IsFormWord(std::string_view s) { return IsOneOf(kFormWords, s); }
bool IsValueWord(std::string_view s) { return IsOneOf(kConstantWords, s) || IsFormWord(s); }

// ---------------------------------------------------------------------------------------------
// String literals: quoted UTF-8 text and #n codes, whose meaning depends on the string's kind.

struct Piece {
    bool code = false;
    std::string text;        // quoted piece (UTF-8 as written)
    std::uint32_t unit = 0;  // #n
};
using Pieces = std::vector<Piece>;

// ANSI strings: text in the code page, #n one byte.
std::optional<std::string> AnsiBytes(const Pieces& pieces) {
    std::string out;
    for (const Piece& p : pieces) {
        if (p.code) {
            if (p.unit > 0xFF) return std::nullopt;
            out += static_cast<char>(p.unit);
        } else {
            auto ansi = platform::Utf8ToAnsi(p.text);
            if (!ansi) return std::nullopt;
            out += *ansi;
        }
    }
    return out;
}

// Wide strings: UTF-16LE, #n one code unit.
std::optional<std::string> WideBytes(const Pieces& pieces) {
    std::string out;
    for (const Piece& p : pieces) {
        if (p.code) {
            if (p.unit > 0xFFFF) return std::nullopt;
            out += static_cast<char>(p.unit & 0xFF);
            out += static_cast<char>(p.unit >> 8);
        } else {
            auto wide = ui::Utf8ToUtf16Le(p.text);
            if (!wide) return std::nullopt;
            out += *wide;
        }
    }
    return out;
}

// UTF-8 strings, identifiers and names: the text's bytes, #n one byte.
std::optional<std::string> RawBytes(const Pieces& pieces) {
    std::string out;
    for (const Piece& p : pieces) {
        if (p.code) {
            if (p.unit > 0xFF) return std::nullopt;
            out += static_cast<char>(p.unit);
        } else {
            out += p.text;
        }
    }
    return out;
}

// A plain literal: an ANSI string when the code page holds it, else a wide one.
std::optional<SkinValue> PlainString(const Pieces& pieces) {
    SkinValue v;
    if (auto ansi = AnsiBytes(pieces)) {
        v.tag = ansi->size() <= 255 ? ValueTag::String : ValueTag::LString;
        v.text = std::move(*ansi);
        return v;
    }
    if (auto wide = WideBytes(pieces)) {
        v.tag = ValueTag::WString;
        v.text = std::move(*wide);
        return v;
    }
    return std::nullopt;
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

void AddQuoted(Pieces& pieces, std::string_view text) {
    if (!pieces.empty() && !pieces.back().code) {
        pieces.back().text += text;
    } else {
        pieces.push_back(Piece{false, std::string(text), 0});
    }
}
void AddCode(Pieces& pieces, std::uint32_t unit) { pieces.push_back(Piece{true, {}, unit}); }

// Bytes as printable ASCII runs and #n codes: exact for any ASCII-compatible encoding.
void AddBytesPlainly(Pieces& pieces, std::string_view bytes) {
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F) {
            AddQuoted(pieces, std::string_view(&c, 1));
        } else {
            AddCode(pieces, b);
        }
    }
}

// Control characters, and what a code page gives for bytes outside its own characters: private
// use code points (Windows reads CP936's lone 0xFF as U+F8F5) and U+FFFD.
bool HasUnreadable(std::string_view utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = utf8::Next(utf8, pos);
        if (c == utf8::kInvalid || IsControl(c) || (c >= 0xE000 && c <= 0xF8FF) || c == 0xFFFD) return true;
    }
    return false;
}

Pieces AnsiPieces(std::string_view bytes) {
    Pieces pieces;
    std::size_t start = 0;
    // Control bytes split the runs; in the multi-byte code pages no character contains one.
    auto flush = [&](std::size_t end) {
        std::string_view run = bytes.substr(start, end - start);
        if (run.empty()) return;
        std::string text = platform::AnsiToUtf8(run);
        auto back = platform::Utf8ToAnsi(text);
        if (back && *back == run && !HasUnreadable(text)) {
            AddQuoted(pieces, text);
        } else {
            AddBytesPlainly(pieces, run);
        }
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x20 || b == 0x7F) {
            flush(i);
            AddCode(pieces, b);
            start = i + 1;
        }
    }
    flush(bytes.size());
    if (AnsiBytes(pieces) == std::optional<std::string>(bytes)) return pieces;
    pieces.clear();
    AddBytesPlainly(pieces, bytes);
    if (AnsiBytes(pieces) == std::optional<std::string>(bytes)) return pieces;
    pieces.clear();
    for (char c : bytes) AddCode(pieces, static_cast<unsigned char>(c));
    return pieces;
}

void AddCodePoint(Pieces& pieces, char32_t c) {
    std::string utf8;
    if (c < 0x80) {
        utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
        utf8 += static_cast<char>(0xC0 | (c >> 6));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        utf8 += static_cast<char>(0xE0 | (c >> 12));
        utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | (c >> 18));
        utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
    AddQuoted(pieces, utf8);
}

Pieces WidePieces(std::string_view utf16le) {
    Pieces pieces;
    const std::size_t count = utf16le.size() / 2;
    auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(utf16le[2 * i]) |
                                     (static_cast<unsigned char>(utf16le[2 * i + 1]) << 8));
    };
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            AddCodePoint(pieces, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if ((u >= 0xD800 && u <= 0xDFFF) || IsControl(u)) {
            AddCode(pieces, u);
        } else {
            AddCodePoint(pieces, u);
        }
    }
    return pieces;
}

Pieces Utf8Pieces(std::string_view bytes) {
    Pieces pieces;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t at = pos;
        const char32_t c = utf8::Next(bytes, pos);
        if (c == utf8::kInvalid || IsControl(c)) {
            for (std::size_t i = at; i < pos; ++i) AddCode(pieces, static_cast<unsigned char>(bytes[i]));
        } else {
            AddQuoted(pieces, bytes.substr(at, pos - at));
        }
    }
    return pieces;
}

std::string RenderPieces(const Pieces& pieces) {
    if (pieces.empty()) return "''";
    std::string out;
    for (const Piece& p : pieces) {
        if (p.code) {
            out += '#' + std::to_string(p.unit);
            continue;
        }
        out += '\'';
        for (char c : p.text) {
            if (c == '\'') out += '\'';
            out += c;
        }
        out += '\'';
    }
    return out;
}

std::string RenderName(std::string_view name) {
    return IsPlainIdent(name) ? std::string(name) : RenderPieces(Utf8Pieces(name));
}

std::string RenderPath(std::string_view path) {
    bool plain = !path.empty();
    std::size_t start = 0;
    while (plain) {
        const std::size_t dot = path.find('.', start);
        plain = IsPlainIdent(path.substr(start, dot == std::string_view::npos ? dot : dot - start));
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    return plain ? std::string(path) : RenderPieces(Utf8Pieces(path));
}

// ---------------------------------------------------------------------------------------------
// Numbers.

ValueTag SmallestIntegerTag(std::int64_t v) {
    if (v >= -128 && v <= 127) return ValueTag::Int8;
    if (v >= -32768 && v <= 32767) return ValueTag::Int16;
    if (v >= INT32_MIN && v <= INT32_MAX) return ValueTag::Int32;
    return ValueTag::Int64;
}

bool FitsTag(std::int64_t v, ValueTag tag) {
    switch (tag) {
        case ValueTag::Int8:
            return v >= -128 && v <= 127;
        case ValueTag::Int16:
            return v >= -32768 && v <= 32767;
        case ValueTag::Int32:
            return v >= INT32_MIN && v <= INT32_MAX;
        default:
            return true;
    }
}

const char* IntegerFormName(ValueTag tag) {
    switch (tag) {
        case ValueTag::Int8:
            return "int8";
        case ValueTag::Int16:
            return "int16";
        case ValueTag::Int32:
            return "int32";
        default:
            return "int64";
    }
}

std::string HexDigits(std::uint64_t v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", width, static_cast<unsigned long long>(v));
    return buf;
}

// Shortest text that reads back to the same double.
std::string ShortestReal(double d) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d);
    (void)ec;
    return std::string(buf, end);
}
std::string ShortestReal(float f) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, f);
    (void)ec;
    return std::string(buf, end);
}
// A bare real must show a point or an exponent, or it would read as an integer.
std::string BareReal(double d) {
    std::string s = ShortestReal(d);
    if (s.find_first_of(".eE") == std::string::npos) s += ".0";
    return s;
}

std::string CurrencyText(std::int64_t raw) {
    const bool negative = raw < 0;
    const std::uint64_t magnitude = negative ? std::uint64_t(0) - static_cast<std::uint64_t>(raw) : std::uint64_t(raw);
    std::string out = (negative ? "-" : "") + std::to_string(magnitude / 10000);
    std::uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, 4 - digits.size(), '0');
        while (digits.back() == '0') digits.pop_back();
        out += '.' + digits;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Lexer.

enum class Tok { End, Ident, Integer, Hex, Real, String, Binary, Symbol };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // identifier, digits (without '$' for Hex), real text, or the symbol
    Pieces pieces;     // String
    Bytes binary;      // Binary
    int line = 1;
    int column = 1;
};

struct TextError {
    int line;
    int column;
    std::string message;
};

class Lexer {
  public:
    explicit Lexer(std::string_view text) : s_(text) {
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    }

    std::vector<Token> All() {
        std::vector<Token> out;
        for (;;) {
            SkipBlank();
            Token t;
            t.line = line_;
            t.column = column_;
            if (pos_ >= s_.size()) {
                out.push_back(t);
                return out;
            }
            const char c = s_[pos_];
            if (IsIdentStart(c)) {
                t.kind = Tok::Ident;
                while (pos_ < s_.size() && IsIdentChar(s_[pos_])) t.text += Take();
            } else if (IsDigit(c)) {
                Number(t);
            } else if (c == '$') {
                Take();
                t.kind = Tok::Hex;
                while (pos_ < s_.size() && IsHexDigit(s_[pos_])) t.text += Take();
                if (t.text.empty()) throw TextError{t.line, t.column, "'$' without hexadecimal digits"};
            } else if (c == '\'' || c == '#') {
                t.kind = Tok::String;
                StringPieces(t);
            } else if (c == '{') {
                t.kind = Tok::Binary;
                BinaryDigits(t);
            } else if (std::string_view("=:.,[]()<>-+").find(c) != std::string_view::npos) {
                t.kind = Tok::Symbol;
                t.text = std::string(1, Take());
            } else {
                throw TextError{line_, column_, "unexpected character " + Shown(c)};
            }
            out.push_back(std::move(t));
        }
    }

  private:
    static std::string Shown(char c) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F) return std::string("'") + c + "'";
        return "byte " + std::to_string(b);
    }

    char Take() {
        const char c = s_[pos_++];
        if (c == '\n') {
            ++line_;
            column_ = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++column_;
        }
        return c;
    }

    void SkipBlank() {
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                Take();
            } else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
                while (pos_ < s_.size() && s_[pos_] != '\n') Take();
            } else {
                return;
            }
        }
    }

    void Number(Token& t) {
        t.kind = Tok::Integer;
        while (pos_ < s_.size() && IsDigit(s_[pos_])) t.text += Take();
        if (pos_ + 1 < s_.size() && s_[pos_] == '.' && IsDigit(s_[pos_ + 1])) {
            t.kind = Tok::Real;
            t.text += Take();
            while (pos_ < s_.size() && IsDigit(s_[pos_])) t.text += Take();
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            std::size_t ahead = pos_ + 1;
            if (ahead < s_.size() && (s_[ahead] == '+' || s_[ahead] == '-')) ++ahead;
            if (ahead < s_.size() && IsDigit(s_[ahead])) {
                t.kind = Tok::Real;
                while (pos_ < ahead) t.text += Take();
                while (pos_ < s_.size() && IsDigit(s_[pos_])) t.text += Take();
            }
        }
        if (pos_ < s_.size() && IsIdentChar(s_[pos_])) {
            throw TextError{line_, column_, "a number runs into " + Shown(s_[pos_])};
        }
    }

    // Quoted text and #n codes written without space between them make one literal.
    void StringPieces(Token& t) {
        while (pos_ < s_.size() && (s_[pos_] == '\'' || s_[pos_] == '#')) {
            const int line = line_, column = column_;
            if (Take() == '#') {
                std::uint64_t unit = 0;
                std::size_t digits = 0;
                const bool hex = pos_ < s_.size() && s_[pos_] == '$';
                if (hex) Take();
                while (pos_ < s_.size() && (hex ? IsHexDigit(s_[pos_]) : IsDigit(s_[pos_]))) {
                    unit = unit * (hex ? 16 : 10) + static_cast<std::uint64_t>(HexValue(Take()));
                    if (unit > 0xFFFF) throw TextError{line, column, "character code above 65535"};
                    ++digits;
                }
                if (digits == 0) throw TextError{line, column, "'#' without a character code"};
                AddCode(t.pieces, static_cast<std::uint32_t>(unit));
                continue;
            }
            std::string text;
            for (;;) {
                if (pos_ >= s_.size() || s_[pos_] == '\n' || s_[pos_] == '\r') {
                    throw TextError{line, column, "string not closed on its line"};
                }
                const char c = Take();
                if (c == '\'') {
                    if (pos_ < s_.size() && s_[pos_] == '\'') {
                        Take();
                        text += '\'';
                        continue;
                    }
                    break;
                }
                text += c;
            }
            // Keep an empty quoted piece: '' alone is the empty string.
            if (!t.pieces.empty() && !t.pieces.back().code) {
                t.pieces.back().text += text;
            } else {
                t.pieces.push_back(Piece{false, std::move(text), 0});
            }
        }
    }

    void BinaryDigits(Token& t) {
        Take();  // '{'
        int high = -1;
        for (;;) {
            if (pos_ >= s_.size()) throw TextError{t.line, t.column, "binary value not closed with '}'"};
            const char c = s_[pos_];
            if (c == '}') {
                Take();
                break;
            }
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                Take();
                continue;
            }
            if (!IsHexDigit(c)) throw TextError{line_, column_, "unexpected " + Shown(c) + " in a binary value"};
            const int v = HexValue(Take());
            if (high < 0) {
                high = v;
            } else {
                t.binary.push_back(static_cast<std::uint8_t>(high << 4 | v));
                high = -1;
            }
        }
        if (high >= 0) throw TextError{t.line, t.column, "binary value with an odd number of hexadecimal digits"};
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int column_ = 1;
};

// ---------------------------------------------------------------------------------------------
// Parser.

class Parser {
  public:
    Parser(std::vector<Token> tokens, const std::filesystem::path& base) : t_(std::move(tokens)), base_(base) {}

    SkinObject Root() {
        if (!IsObjectStart(0)) Fail(Cur(), "expected the window's object (object NAME: CLASS)");
        SkinObject root = Object(true);
        if (Cur().kind != Tok::End) Fail(Cur(), "unexpected " + Describe(Cur()) + " after the window's end");
        return root;
    }

  private:
    const Token& Cur() const { return t_[i_]; }
    const Token& Ahead(std::size_t k) const { return t_[std::min(i_ + k, t_.size() - 1)]; }
    const Token& Next() {
        const Token& t = t_[i_];
        if (i_ + 1 < t_.size()) ++i_;
        return t;
    }
    [[noreturn]] static void Fail(const Token& at, std::string why) {
        throw TextError{at.line, at.column, std::move(why)};
    }
    static bool IsSym(const Token& t, char c) { return t.kind == Tok::Symbol && t.text[0] == c; }
    static bool IsWord(const Token& t, std::string_view word) {
        return t.kind == Tok::Ident && EqualsNoCase(t.text, word);
    }
    static std::string Describe(const Token& t) {
        switch (t.kind) {
            case Tok::End:
                return "end of text";
            case Tok::Ident:
                return "'" + t.text + "'";
            case Tok::Integer:
            case Tok::Real:
                return "number " + t.text;
            case Tok::Hex:
                return "number $" + t.text;
            case Tok::String:
                return "string";
            case Tok::Binary:
                return "binary value";
            case Tok::Symbol:
                return "'" + t.text + "'";
        }
        return "token";
    }
    void Expect(char c) {
        if (!IsSym(Cur(), c)) Fail(Cur(), std::string("expected '") + c + "', found " + Describe(Cur()));
        Next();
    }
    void Enter(const Token& at) {
        if (++depth_ > ui::kMaxSkinNesting) {
            Fail(at, "objects and values nest deeper than " + std::to_string(ui::kMaxSkinNesting));
        }
    }

    bool IsObjectStart(std::size_t k) const {
        const Token& t = Ahead(k);
        if (!IsWord(t, "object") && !IsWord(t, "inherited") && !IsWord(t, "inline")) return false;
        return !IsSym(Ahead(k + 1), '=') && !IsSym(Ahead(k + 1), '.');
    }
    bool IsEnd() const { return IsWord(Cur(), "end") && !IsSym(Ahead(1), '=') && !IsSym(Ahead(1), '.'); }

    // A name: identifier or string literal (its bytes as they are).
    std::string Name(const char* what) {
        const Token& t = Cur();
        if (t.kind == Tok::Ident) {
            Next();
            return ShortString(t, t.text, what);
        }
        if (t.kind == Tok::String) {
            Next();
            auto raw = RawBytes(t.pieces);
            if (!raw) Fail(t, std::string(what) + " has a character code above 255");
            return ShortString(t, *raw, what);
        }
        Fail(t, std::string("expected ") + what + ", found " + Describe(t));
    }
    static std::string ShortString(const Token& at, std::string s, const char* what) {
        if (s.size() > 255) Fail(at, std::string(what) + " is longer than 255 bytes");
        return s;
    }

    SkinObject Object(bool root) {
        const Token& start = Next();
        Enter(start);
        SkinObject obj;
        if (IsWord(start, "inherited")) obj.flags = ui::kFlagInherited;
        if (IsWord(start, "inline")) obj.flags = ui::kFlagInline;
        const Token& class_at = Cur();
        std::string first = Name("an object name");
        if (IsSym(Cur(), ':')) {
            Next();
            obj.name = std::move(first);
            const Token& at = Cur();
            obj.class_name = Name("a class name");
            if (!root) CheckClass(at, obj.class_name);
        } else {
            obj.class_name = std::move(first);
            if (!root) CheckClass(class_at, obj.class_name);
        }
        if (IsSym(Cur(), '[')) {
            Next();
            obj.position = Index();
            obj.flags |= ui::kFlagPosition;
            Expect(']');
        }
        if (IsWord(Cur(), "flags") && IsSym(Ahead(1), '(')) {
            const Token& at = Next();
            Next();
            const Token& n = Next();
            if (n.kind != Tok::Integer && n.kind != Tok::Hex) Fail(n, "flags(...) takes a number from 0 to 15");
            const auto flags = Unsigned(n);
            if (flags > 15) Fail(n, "flags(...) takes a number from 0 to 15");
            Expect(')');
            if (((flags & ui::kFlagPosition) != 0) != obj.position.has_value()) {
                Fail(at, "flags(...) and the position [n] disagree");
            }
            obj.flags = static_cast<std::uint8_t>(flags);
            obj.empty_prefix = flags == 0;
        }
        for (;;) {
            if (IsEnd()) {
                Next();
                break;
            }
            if (Cur().kind == Tok::End) Fail(start, "object not closed with end");
            if (IsObjectStart(0)) {
                obj.children.push_back(Object(false));
            } else {
                obj.properties.push_back(Property());
            }
        }
        --depth_;
        return obj;
    }

    void CheckClass(const Token& at, const std::string& class_name) {
        if (!ui::IsRegisteredSkinClass(class_name)) {
            Fail(at, "unknown class \"" + class_name + "\": a skin can create only the registered control kinds");
        }
    }

    SkinProperty Property() {
        SkinProperty p;
        const Token& at = Cur();
        if (at.kind == Tok::String) {
            p.path = Name("a property name");
        } else if (at.kind == Tok::Ident) {
            p.path = Next().text;
            while (IsSym(Cur(), '.')) {
                Next();
                if (Cur().kind != Tok::Ident) Fail(Cur(), "expected a name after '.', found " + Describe(Cur()));
                p.path += "." + Next().text;
            }
            p.path = ShortString(at, p.path, "a property name");
        } else {
            Fail(at, "expected a property, an object or end, found " + Describe(at));
        }
        Expect('=');
        p.value = Value();
        return p;
    }

    // ---- numbers

    static std::uint64_t Unsigned(const Token& t) {
        std::uint64_t v = 0;
        const int base = t.kind == Tok::Hex ? 16 : 10;
        for (char c : t.text) {
            const auto digit = static_cast<std::uint64_t>(HexValue(c));
            if (v > (std::numeric_limits<std::uint64_t>::max() - digit) / base) Fail(t, "number out of range");
            v = v * base + digit;
        }
        return v;
    }

    // An optional '-' then a decimal or $hex integer.
    std::int64_t Integer() {
        const bool negative = IsSym(Cur(), '-');
        if (negative) Next();
        const Token& t = Next();
        if (t.kind != Tok::Integer && t.kind != Tok::Hex) Fail(t, "expected an integer, found " + Describe(t));
        const std::uint64_t magnitude = Unsigned(t);
        if (negative) {
            if (magnitude > std::uint64_t(1) << 63) Fail(t, "number out of range");
            return static_cast<std::int64_t>(std::uint64_t(0) - magnitude);
        }
        if (magnitude > static_cast<std::uint64_t>(INT64_MAX)) Fail(t, "number out of range");
        return static_cast<std::int64_t>(magnitude);
    }

    // An optional '-' then a decimal number, as text for the number readers.
    std::string DecimalText(const Token** at = nullptr) {
        std::string text;
        if (IsSym(Cur(), '-')) {
            Next();
            text = "-";
        }
        const Token& t = Next();
        if (at) *at = &t;
        if (t.kind != Tok::Integer && t.kind != Tok::Real) Fail(t, "expected a number, found " + Describe(t));
        return text + t.text;
    }

    template <class T>
    T ReadReal(const Token& at, const std::string& text) {
        T v{};
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (ec != std::errc() || end != text.data() + text.size()) Fail(at, "number " + text + " out of range");
        return v;
    }

    SkinValue Index() {
        SkinValue v;
        const Token& at = Cur();
        if (at.kind == Tok::Ident && IsSym(Ahead(1), '(')) {
            v = Value();
            if (v.tag != ValueTag::Int8 && v.tag != ValueTag::Int16 && v.tag != ValueTag::Int32) {
                Fail(at, "an index is an int8, int16 or int32 number");
            }
            return v;
        }
        v.integer = Integer();
        v.tag = SmallestIntegerTag(v.integer);
        if (v.tag == ValueTag::Int64) Fail(at, "an index must fit in 32 bits");
        return v;
    }

    // ---- values

    Pieces StringPieces() {
        const Token& t = Next();
        if (t.kind != Tok::String) Fail(t, "expected a string, found " + Describe(t));
        Pieces pieces = t.pieces;
        while (IsSym(Cur(), '+') && Ahead(1).kind == Tok::String) {
            Next();
            for (const Piece& p : Next().pieces) pieces.push_back(p);
        }
        return pieces;
    }

    SkinValue Value() {
        const Token& t = Cur();
        SkinValue v;
        if (t.kind == Tok::Integer || t.kind == Tok::Hex || (IsSym(t, '-') && Ahead(1).kind != Tok::Real)) {
            v.integer = Integer();
            v.tag = SmallestIntegerTag(v.integer);
            return v;
        }
        if (t.kind == Tok::Real || IsSym(t, '-')) {
            const Token* at = nullptr;
            const std::string text = DecimalText(&at);
            v.tag = ValueTag::Extended;
            v.extended = ui::DoubleToExtended(ReadReal<double>(*at, text));
            return v;
        }
        if (t.kind == Tok::String) {
            auto plain = PlainString(StringPieces());
            if (!plain) Fail(t, "the string is not valid UTF-8");
            return *plain;
        }
        if (t.kind == Tok::Binary) {
            v.tag = ValueTag::Binary;
            v.binary = Next().binary;
            return v;
        }
        if (IsSym(t, '[')) return Set();
        if (IsSym(t, '(')) return List();
        if (IsSym(t, '<')) return Collection();
        if (t.kind == Tok::Ident) {
            if (IsSym(Ahead(1), '(') && IsFormWord(t.text)) return Form();
            Next();
            if (EqualsNoCase(t.text, "true")) return Tagged(ValueTag::True);
            if (EqualsNoCase(t.text, "false")) return Tagged(ValueTag::False);
            if (EqualsNoCase(t.text, "nil")) return Tagged(ValueTag::Nil);
            if (EqualsNoCase(t.text, "null")) return Tagged(ValueTag::Null);
            v.tag = ValueTag::Ident;
            v.text = ShortString(t, t.text, "an identifier");
            return v;
        }
        Fail(t, "expected a value, found " + Describe(t));
    }

    static SkinValue Tagged(ValueTag tag) {
        SkinValue v;
        v.tag = tag;
        return v;
    }

    SkinValue Set() {
        Next();
        SkinValue v;
        v.tag = ValueTag::Set;
        if (IsSym(Cur(), ']')) {
            Next();
            return v;
        }
        for (;;) {
            const Token& at = Cur();
            std::string member = Name("a set member");
            if (member.empty()) Fail(at, "a set member cannot be empty");
            v.set.push_back(std::move(member));
            if (IsSym(Cur(), ']')) {
                Next();
                return v;
            }
            Expect(',');
        }
    }

    SkinValue List() {
        const Token& open = Next();
        Enter(open);
        SkinValue v;
        v.tag = ValueTag::List;
        while (!IsSym(Cur(), ')')) {
            if (Cur().kind == Tok::End) Fail(open, "list not closed with ')'");
            const Token& at = Cur();
            SkinValue item = Value();
            if (item.tag == ValueTag::Null) Fail(at, "null cannot be a list item (it would end the list)");
            v.list.push_back(std::move(item));
            if (IsSym(Cur(), ',')) Next();
        }
        Next();
        --depth_;
        return v;
    }

    SkinValue Collection() {
        const Token& open = Next();
        Enter(open);
        SkinValue v;
        v.tag = ValueTag::Collection;
        while (!IsSym(Cur(), '>')) {
            if (!IsWord(Cur(), "item")) Fail(Cur(), "expected item or '>', found " + Describe(Cur()));
            const Token& item_at = Next();
            SkinCollectionItem item;
            if (IsSym(Cur(), '[')) {
                Next();
                SkinValue index = Index();
                item.index_tag = index.tag;
                item.index = index.integer;
                Expect(']');
            }
            while (!IsEnd()) {
                if (Cur().kind == Tok::End) Fail(item_at, "item not closed with end");
                item.properties.push_back(Property());
            }
            Next();
            v.items.push_back(std::move(item));
        }
        Next();
        --depth_;
        return v;
    }

    // name(...) forms that say exactly how a value is encoded.
    SkinValue Form() {
        const Token& word = Next();
        const std::string name = [&] {
            std::string lower;
            for (char c : word.text) lower += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
            return lower;
        }();
        Expect('(');
        SkinValue v;
        if (name == "int8" || name == "int16" || name == "int32" || name == "int64") {
            v.tag = name == "int8"    ? ValueTag::Int8
                    : name == "int16" ? ValueTag::Int16
                    : name == "int32" ? ValueTag::Int32
                                      : ValueTag::Int64;
            const Token& at = Cur();
            v.integer = Integer();
            if (!FitsTag(v.integer, v.tag)) Fail(at, "number out of range for " + name);
        } else if (name == "single" || name == "double" || name == "date") {
            v.tag = name == "single" ? ValueTag::Single : name == "double" ? ValueTag::Double : ValueTag::Date;
            if (Cur().kind == Tok::Hex) {
                const Token& at = Next();
                const std::size_t width = v.tag == ValueTag::Single ? 8 : 16;
                if (at.text.size() != width)
                    Fail(at, name + "($...) takes the " + std::to_string(width) + " hexadecimal digits of its bits");
                const std::uint64_t bits = Unsigned(at);
                v.real = v.tag == ValueTag::Single ? ui::SingleBitsToDouble(static_cast<std::uint32_t>(bits))
                                                   : std::bit_cast<double>(bits);
            } else {
                const Token* at = nullptr;
                const std::string text = DecimalText(&at);
                v.real = v.tag == ValueTag::Single
                             ? ui::SingleBitsToDouble(std::bit_cast<std::uint32_t>(ReadReal<float>(*at, text)))
                             : ReadReal<double>(*at, text);
            }
        } else if (name == "extended") {
            v.tag = ValueTag::Extended;
            if (Cur().kind == Tok::Hex) {
                const Token& at = Next();
                if (at.text.size() != 20)
                    Fail(at, "extended($...) takes 20 hexadecimal digits, the 10 bytes in stream order");
                for (std::size_t i = 0; i < 10; ++i) {
                    v.extended[i] =
                        static_cast<std::uint8_t>(HexValue(at.text[2 * i]) << 4 | HexValue(at.text[2 * i + 1]));
                }
            } else {
                const Token* at = nullptr;
                const std::string text = DecimalText(&at);
                v.extended = ui::DoubleToExtended(ReadReal<double>(*at, text));
            }
        } else if (name == "currency") {
            v.tag = ValueTag::Currency;
            v.integer = Currency();
        } else if (name == "string" || name == "lstring") {
            const Token& at = Cur();
            auto bytes = AnsiBytes(StringPieces());
            if (!bytes) Fail(at, "the text has no form in the ANSI code page (or a character code above 255)");
            v.tag = name == "string" ? ValueTag::String : ValueTag::LString;
            if (v.tag == ValueTag::String && bytes->size() > 255) Fail(at, "string(...) holds at most 255 bytes");
            v.text = std::move(*bytes);
        } else if (name == "wstring") {
            const Token& at = Cur();
            auto bytes = WideBytes(StringPieces());
            if (!bytes) Fail(at, "the string is not valid UTF-8");
            v.tag = ValueTag::WString;
            v.text = std::move(*bytes);
        } else if (name == "utf8" || name == "ident") {
            const Token& at = Cur();
            auto bytes = RawBytes(StringPieces());
            if (!bytes) Fail(at, "a character code above 255 in a byte string");
            v.tag = name == "utf8" ? ValueTag::Utf8String : ValueTag::Ident;
            v.text = name == "ident" ? ShortString(at, std::move(*bytes), "an identifier") : std::move(*bytes);
        } else if (name == "file") {
            v.tag = ValueTag::Binary;
            v.binary = FileBytes();
        } else if (name == "picture") {
            const Token& kind = Next();
            if (kind.kind != Tok::Ident || !IsGraphicKind(kind.text)) {
                Fail(kind,
                     "picture(...) takes a graphic kind: TBitmap, TIcon, TMetafile, TJPEGImage, TPngImage, TGIFImage "
                     "or TWICImage");
            }
            Expect(',');
            Bytes data = FileBytes();
            v.tag = ValueTag::Binary;
            v.binary.push_back(static_cast<std::uint8_t>(kind.text.size()));
            v.binary.insert(v.binary.end(), kind.text.begin(), kind.text.end());
            if (HasLengthField(kind.text)) {
                for (int i = 0; i < 4; ++i) v.binary.push_back(static_cast<std::uint8_t>(data.size() >> (8 * i)));
            }
            v.binary.insert(v.binary.end(), data.begin(), data.end());
        } else {
            Fail(word, "'" + word.text + "' is not a value form");
        }
        Expect(')');
        return v;
    }

    std::int64_t Currency() {
        const Token* at = nullptr;
        const std::string text = DecimalText(&at);
        const bool negative = text[0] == '-';
        const std::string_view digits = std::string_view(text).substr(negative ? 1 : 0);
        const std::size_t point = digits.find('.');
        const std::string_view whole = digits.substr(0, point);
        const std::string_view fraction =
            point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
        if (fraction.size() > 4 || digits.find_first_of("eE") != std::string_view::npos) {
            Fail(*at, "currency(...) takes a decimal number with at most 4 places");
        }
        std::uint64_t magnitude = 0;
        for (char c : whole) {
            if (magnitude > (std::numeric_limits<std::uint64_t>::max() - 9) / 10) Fail(*at, "number out of range");
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
        }
        std::uint64_t scaled_fraction = 0;
        for (std::size_t i = 0; i < 4; ++i)
            scaled_fraction = scaled_fraction * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - scaled_fraction) / 10000)
            Fail(*at, "number out of range");
        magnitude = magnitude * 10000 + scaled_fraction;
        if (negative) {
            if (magnitude > std::uint64_t(1) << 63) Fail(*at, "number out of range");
            return static_cast<std::int64_t>(std::uint64_t(0) - magnitude);
        }
        if (magnitude > static_cast<std::uint64_t>(INT64_MAX)) Fail(*at, "number out of range");
        return static_cast<std::int64_t>(magnitude);
    }

    Bytes FileBytes() {
        const Token& at = Cur();
        auto name = RawBytes(StringPieces());
        if (!name || name->empty()) Fail(at, "expected a file name");
        if (utf8::Sanitize(*name) != *name) Fail(at, "the file name is not valid UTF-8");
        const std::filesystem::path path = base_ / platform::PathFromUtf8(*name);
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        if (ec) Fail(at, "cannot read file '" + *name + "'");
        if (size > kMaxSkinFile) Fail(at, "file '" + *name + "' is larger than 64 MiB");
        auto data = platform::ReadWholeFile(path, kMaxSkinFile);
        if (!data) Fail(at, "cannot read file '" + *name + "'");
        return Bytes(data->begin(), data->end());
    }

    std::vector<Token> t_;
    std::size_t i_ = 0;
    const std::filesystem::path& base_;
    int depth_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Decompiler.

std::string_view SignatureExtension(ByteView b) {
    auto starts = [&](std::string_view sig) {
        return b.size() >= sig.size() && std::equal(sig.begin(), sig.end(), b.begin(), [](char s, std::uint8_t x) {
                   return static_cast<std::uint8_t>(s) == x;
               });
    };
    if (starts("\x89PNG\r\n\x1A\n")) return "png";
    if (starts("\xFF\xD8\xFF")) return "jpg";
    if (starts("GIF87a") || starts("GIF89a")) return "gif";
    if (starts("BM")) return "bmp";
    if (starts(std::string_view("\0\0\1\0", 4))) return "ico";
    if (b.size() >= 44 && b[0] == 1 && b[1] == 0 && b[2] == 0 && b[3] == 0 && b[40] == ' ' && b[41] == 'E' &&
        b[42] == 'M' && b[43] == 'F') {
        return "emf";
    }
    return {};
}

// Windows and Linux both take these; anything else becomes '_' (bytes that are not UTF-8, U+FFFD).
std::string SafeFileName(std::string_view s) {
    std::string out;
    for (char c : utf8::Sanitize(s)) {
        const auto b = static_cast<unsigned char>(c);
        out += (b < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) ? '_' : c;
    }
    return out;
}

std::string LowerAscii(std::string s) {
    for (char& c : s) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    return s;
}

class Decompiler {
    static constexpr std::size_t kMaxStem = 120;

  public:
    DecompiledSkin Run(const SkinObject& root) {
        Object(root, 0);
        return std::move(out_);
    }

  private:
    static std::string Indent(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

    void Object(const SkinObject& obj, int indent) {
        std::string& t = out_.text;
        t += Indent(indent);
        t += (obj.flags & ui::kFlagInline) ? "inline " : (obj.flags & ui::kFlagInherited) ? "inherited " : "object ";
        if (!obj.name.empty()) t += RenderName(obj.name) + ": ";
        t += RenderName(obj.class_name);
        std::uint8_t said = (obj.flags & ui::kFlagInline) ? ui::kFlagInline : (obj.flags & ui::kFlagInherited);
        if (obj.position) {
            t += " [" + IndexText(*obj.position) + "]";
            said |= ui::kFlagPosition;
        }
        if (said != obj.flags || obj.empty_prefix) t += " flags(" + std::to_string(obj.flags) + ")";
        t += "\n";
        const std::string stem = SafeFileName(obj.name.empty() ? obj.class_name : obj.name);
        t += Properties(obj.properties, indent + 2, stem);
        for (const SkinObject& child : obj.children) Object(child, indent + 2);
        t += Indent(indent) + "end\n";
    }

    std::string Properties(const std::vector<SkinProperty>& props, int indent, const std::string& stem) {
        std::string out;
        for (const SkinProperty& p : props) {
            out += Indent(indent) + RenderPath(p.path) + " = " +
                   Value(p.value, indent, stem + "." + SafeFileName(p.path), p.path) + "\n";
        }
        return out;
    }

    static std::string IndexText(const SkinValue& v) {
        if (SmallestIntegerTag(v.integer) == v.tag) return std::to_string(v.integer);
        return std::string(IntegerFormName(v.tag)) + "(" + std::to_string(v.integer) + ")";
    }

    std::string Value(const SkinValue& v, int indent, const std::string& stem, std::string_view path) {
        switch (v.tag) {
            case ValueTag::Null:
                return "null";
            case ValueTag::Nil:
                return "nil";
            case ValueTag::True:
                return "True";
            case ValueTag::False:
                return "False";
            case ValueTag::Int8:
            case ValueTag::Int16:
            case ValueTag::Int32:
            case ValueTag::Int64: {
                std::string number = std::to_string(v.integer);
                // Colours read best as $00BBGGRR.
                const std::size_t dot = path.rfind('.');
                const std::string_view last = path.substr(dot == std::string_view::npos ? 0 : dot + 1);
                if (last.find("Color") != std::string_view::npos && v.integer >= 0 && v.integer <= 0xFFFFFFFF) {
                    number = "$" + HexDigits(static_cast<std::uint64_t>(v.integer), 8);
                }
                if (SmallestIntegerTag(v.integer) == v.tag) return number;
                return std::string(IntegerFormName(v.tag)) + "(" + number + ")";
            }
            case ValueTag::Extended: {
                const double d = ui::ExtendedToDouble(v.extended);
                if (std::isfinite(d) && ui::DoubleToExtended(d) == v.extended) return BareReal(d);
                std::string hex;
                for (std::uint8_t b : v.extended) hex += HexDigits(b, 2);
                return "extended($" + hex + ")";
            }
            case ValueTag::Single: {
                const std::uint32_t bits = ui::DoubleToSingleBits(v.real);
                const float f = std::bit_cast<float>(bits);
                if (std::isfinite(f)) return "single(" + ShortestReal(f) + ")";
                return "single($" + HexDigits(bits, 8) + ")";
            }
            case ValueTag::Double:
            case ValueTag::Date: {
                const char* form = v.tag == ValueTag::Double ? "double(" : "date(";
                if (std::isfinite(v.real)) return form + ShortestReal(v.real) + ")";
                return form + ("$" + HexDigits(std::bit_cast<std::uint64_t>(v.real), 16)) + ")";
            }
            case ValueTag::Currency:
                return "currency(" + CurrencyText(v.integer) + ")";
            case ValueTag::String:
            case ValueTag::LString: {
                const Pieces pieces = AnsiPieces(v.text);
                auto plain = PlainString(pieces);
                const std::string literal = RenderPieces(pieces);
                if (plain && *plain == v) return literal;
                return (v.tag == ValueTag::String ? "string(" : "lstring(") + literal + ")";
            }
            case ValueTag::WString: {
                const Pieces pieces = WidePieces(v.text);
                auto plain = PlainString(pieces);
                const std::string literal = RenderPieces(pieces);
                if (plain && *plain == v) return literal;
                return "wstring(" + literal + ")";
            }
            case ValueTag::Utf8String:
                return "utf8(" + RenderPieces(Utf8Pieces(v.text)) + ")";
            case ValueTag::Ident:
                if (IsPlainIdent(v.text) && !IsValueWord(v.text)) return v.text;
                return "ident(" + RenderPieces(Utf8Pieces(v.text)) + ")";
            case ValueTag::Binary:
                return Binary(v.binary, indent, stem);
            case ValueTag::Set: {
                std::string out = "[";
                for (std::size_t i = 0; i < v.set.size(); ++i) out += (i ? ", " : "") + RenderName(v.set[i]);
                return out + "]";
            }
            case ValueTag::List: {
                if (v.list.empty()) return "()";
                std::string out = "(";
                for (std::size_t i = 0; i < v.list.size(); ++i) {
                    out +=
                        "\n" + Indent(indent + 2) + Value(v.list[i], indent + 2, stem + "." + std::to_string(i), path);
                }
                return out + ")";
            }
            case ValueTag::Collection: {
                if (v.items.empty()) return "<>";
                std::string out = "<";
                for (std::size_t i = 0; i < v.items.size(); ++i) {
                    const SkinCollectionItem& item = v.items[i];
                    out += "\n" + Indent(indent + 2) + "item";
                    if (item.index_tag) {
                        SkinValue index;
                        index.tag = *item.index_tag;
                        index.integer = item.index;
                        out += " [" + IndexText(index) + "]";
                    }
                    out += "\n" + Properties(item.properties, indent + 4, stem + "." + ItemName(item, i));
                    out += Indent(indent + 2) + "end";
                }
                return out + ">";
            }
        }
        return "null";
    }

    static std::string ItemName(const SkinCollectionItem& item, std::size_t ordinal) {
        for (const SkinProperty& p : item.properties) {
            if (p.path != "Name") continue;
            auto text = ui::AsText(p.value);
            if (text && !text->empty() && IsPlainIdent(*text)) return *text;
        }
        return std::to_string(ordinal);
    }

    std::string Binary(const Bytes& bytes, int indent, const std::string& stem) {
        ByteView b(bytes);
        if (!b.empty() && b[0] > 0 && std::size_t(b[0]) + 1 <= b.size()) {
            const std::string kind = AsString(b.subspan(1, b[0]));
            ByteView rest = b.subspan(1 + std::size_t(b[0]));
            if (IsGraphicKind(kind)) {
                bool fits = true;
                if (HasLengthField(kind)) {
                    fits = rest.size() >= 4 &&
                           (std::uint64_t(rest[0]) | std::uint64_t(rest[1]) << 8 | std::uint64_t(rest[2]) << 16 |
                            std::uint64_t(rest[3]) << 24) == rest.size() - 4;
                    if (fits) rest = rest.subspan(4);
                }
                if (fits) return "picture(" + kind + ", " + FileLiteral(stem, rest) + ")";
            }
        }
        const std::string_view ext = SignatureExtension(b);
        if (!ext.empty() && ext != "emf") return "file(" + FileLiteral(stem, b) + ")";
        if (bytes.empty()) return "{}";
        std::string out = "{";
        for (std::size_t i = 0; i < bytes.size(); i += 32) {
            out += "\n" + Indent(indent + 2);
            for (std::size_t j = i; j < std::min(bytes.size(), i + 32); ++j) out += HexDigits(bytes[j], 2);
        }
        return out + "}";
    }

    std::string FileLiteral(std::string stem, ByteView data) {
        std::string ext(SignatureExtension(data));
        if (ext.empty()) ext = "bin";
        // File systems take names of up to 255 units; odd names are cut well short of that.
        if (stem.size() > kMaxStem) {
            std::size_t cut = kMaxStem;
            while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;
            stem.resize(cut);
        }
        std::string name = stem + "." + ext;
        for (int n = 2; used_.count(LowerAscii(name)); ++n) name = stem + "-" + std::to_string(n) + "." + ext;
        used_.insert(LowerAscii(name));
        out_.files.emplace_back(name, Bytes(data.begin(), data.end()));
        return RenderPieces(Utf8Pieces(name));
    }

    DecompiledSkin out_;
    std::set<std::string> used_;
};

}  // namespace

Result<ui::SkinObject> ParseSkinText(std::string_view text, const std::filesystem::path& base_dir) {
    try {
        Parser parser(Lexer(text).All(), base_dir);
        return parser.Root();
    } catch (const TextError& e) {
        return Result<ui::SkinObject>::Fail("line " + std::to_string(e.line) + ", column " + std::to_string(e.column) +
                                            ": " + e.message);
    } catch (const std::exception& e) {  // a path the file system refuses, or no memory left
        return Result<ui::SkinObject>::Fail(std::string("cannot compile the skin: ") + e.what());
    }
}

Result<Bytes> CompileSkinText(std::string_view text, const std::filesystem::path& base_dir) {
    auto root = ParseSkinText(text, base_dir);
    if (!root) return Result<Bytes>::Fail(root.error());
    return ui::WriteComponentStream(*root);
}

Result<DecompiledSkin> DecompileSkin(ByteView stream) {
    ui::SkinReadResult read = ui::ReadComponentStream(stream);
    if (!read.complete) return Result<DecompiledSkin>::Fail("the component stream does not read: " + read.error);
    return Decompiler().Run(read.root);
}

}  // namespace orlo::pack

// Reading skin values as the types the controls want, and the number forms the stream uses.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/skin_stream.h"

namespace orlo::ui {

std::optional<std::int64_t> AsInteger(const SkinValue& v);  // Int8, Int16, Int32, Int64
std::optional<bool> AsBool(const SkinValue& v);             // True, False
// UTF-8: String/LString from the ANSI code page, WString from UTF-16, Utf8String and Ident as is.
std::optional<std::string> AsText(const SkinValue& v);
// Extended, Single, Double, Date, Currency (amount), and the integers.
std::optional<double> AsReal(const SkinValue& v);
std::optional<std::string> AsIdent(const SkinValue& v);  // Ident

// x87 80-bit extended reals, as 10 little-endian bytes. The conversion to double rounds to
// nearest even (NaN payloads kept where they fit); the conversion from double is exact.
double ExtendedToDouble(const std::array<std::uint8_t, 10>& bytes);
std::array<std::uint8_t, 10> DoubleToExtended(double value);

// Single reals are kept widened to double; these two keep every bit, NaN payloads and the
// signalling bit included (a plain float<->double conversion would quiet a signalling NaN).
double SingleBitsToDouble(std::uint32_t bits);
std::uint32_t DoubleToSingleBits(double value);

// UTF-8 to UTF-16LE bytes; empty optional for malformed UTF-8.
std::optional<std::string> Utf8ToUtf16Le(std::string_view utf8);

}  // namespace orlo::ui

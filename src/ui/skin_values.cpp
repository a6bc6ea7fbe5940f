#include "ui/skin_values.h"

#include <bit>
#include <cmath>
#include <limits>

#include "codec/text_forms.h"
#include "codec/utf8.h"

namespace orlo::ui {

std::optional<std::int64_t> AsInteger(const SkinValue& v) {
    switch (v.tag) {
        case ValueTag::Int8:
        case ValueTag::Int16:
        case ValueTag::Int32:
        case ValueTag::Int64:
            return v.integer;
        default:
            return std::nullopt;
    }
}

std::optional<bool> AsBool(const SkinValue& v) {
    if (v.tag == ValueTag::True) return true;
    if (v.tag == ValueTag::False) return false;
    return std::nullopt;
}

std::optional<std::string> AsText(const SkinValue& v) {
    switch (v.tag) {
        case ValueTag::String:
        case ValueTag::LString:
            return FromAnsiForm(v.text);
        case ValueTag::WString:
            return utf8::FromUtf16(v.text, false);
        case ValueTag::Utf8String:
        case ValueTag::Ident:
            return v.text;
        default:
            return std::nullopt;
    }
}

std::optional<double> AsReal(const SkinValue& v) {
    switch (v.tag) {
        case ValueTag::Extended:
            return ExtendedToDouble(v.extended);
        case ValueTag::Single:
        case ValueTag::Date:
        case ValueTag::Double:
            return v.real;
        case ValueTag::Currency:
            return static_cast<double>(v.integer) / 10000.0;
        case ValueTag::Int8:
        case ValueTag::Int16:
        case ValueTag::Int32:
        case ValueTag::Int64:
            return static_cast<double>(v.integer);
        default:
            return std::nullopt;
    }
}

std::optional<std::string> AsIdent(const SkinValue& v) {
    if (v.tag != ValueTag::Ident) return std::nullopt;
    return v.text;
}

namespace {

constexpr std::uint64_t kTopBit = std::uint64_t(1) << 63;
constexpr std::uint64_t kDoubleFraction = (std::uint64_t(1) << 52) - 1;

}  // namespace

double ExtendedToDouble(const std::array<std::uint8_t, 10>& b) {
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) mantissa |= std::uint64_t(b[i]) << (8 * i);
    const std::uint64_t sign = std::uint64_t(b[9] >> 7) << 63;
    const int exponent = ((b[9] & 0x7F) << 8) | b[8];
    if (exponent == 0x7FFF) {
        const std::uint64_t fraction = mantissa & ~kTopBit;
        if (fraction == 0) return std::bit_cast<double>(sign | (std::uint64_t(0x7FF) << 52));
        std::uint64_t payload = fraction >> 11;
        if (payload == 0) payload = std::uint64_t(1) << 51;  // a NaN must stay a NaN
        return std::bit_cast<double>(sign | (std::uint64_t(0x7FF) << 52) | payload);
    }
    if (mantissa == 0) return std::bit_cast<double>(sign);
    // value = mantissa * 2^(e - 16383 - 63); the zero exponent means e = 1 (denormal).
    int e = (exponent == 0 ? 1 : exponent) - 16383 - 63;
    const int lead = std::countl_zero(mantissa);  // unnormals and denormals: normalise first
    mantissa <<= lead;
    e -= lead;
    const int unbiased = e + 63;  // value = 1.f * 2^unbiased
    if (unbiased > 1023) return std::bit_cast<double>(sign | (std::uint64_t(0x7FF) << 52));
    int drop = 11;
    std::uint64_t biased = 0;
    if (unbiased >= -1022) {
        biased = static_cast<std::uint64_t>(unbiased + 1023);
    } else {
        drop = 11 + (-1022 - unbiased);
    }
    if (drop > 64) return std::bit_cast<double>(sign);  // below half the smallest denormal
    std::uint64_t kept = drop == 64 ? 0 : mantissa >> drop;
    const std::uint64_t rest = drop == 64 ? mantissa : mantissa & ((std::uint64_t(1) << drop) - 1);
    const std::uint64_t half = std::uint64_t(1) << (drop - 1);
    if (rest > half || (rest == half && (kept & 1))) ++kept;
    if (biased == 0) return std::bit_cast<double>(sign | kept);  // a carry into bit 52 makes it normal
    if (kept == (std::uint64_t(1) << 53)) {
        kept >>= 1;
        ++biased;
        if (biased >= 0x7FF) return std::bit_cast<double>(sign | (std::uint64_t(0x7FF) << 52));
    }
    return std::bit_cast<double>(sign | (biased << 52) | (kept & kDoubleFraction));
}

std::array<std::uint8_t, 10> DoubleToExtended(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & kDoubleFraction;
    std::uint64_t mantissa = 0;
    int e = 0;
    if (exponent == 0x7FF) {
        e = 0x7FFF;
        mantissa = kTopBit | (fraction << 11);
    } else if (exponent == 0 && fraction == 0) {
        e = 0;
    } else if (exponent == 0) {
        const int lead = std::countl_zero(fraction);
        mantissa = fraction << lead;
        e = 16383 + (-1074 - lead + 63);
    } else {
        mantissa = kTopBit | (fraction << 11);
        e = exponent - 1023 + 16383;
    }
    std::array<std::uint8_t, 10> out{};
    for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
    out[8] = static_cast<std::uint8_t>(e & 0xFF);
    out[9] = static_cast<std::uint8_t>(((e >> 8) & 0x7F) | (negative ? 0x80 : 0));
    return out;
}

double SingleBitsToDouble(std::uint32_t bits) {
    const std::uint32_t fraction = bits & 0x7FFFFF;
    if ((bits & 0x7F800000) == 0x7F800000 && fraction != 0) {
        const std::uint64_t sign = std::uint64_t(bits >> 31) << 63;
        return std::bit_cast<double>(sign | (std::uint64_t(0x7FF) << 52) | (std::uint64_t(fraction) << 29));
    }
    return static_cast<double>(std::bit_cast<float>(bits));
}

std::uint32_t DoubleToSingleBits(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const std::uint32_t sign = static_cast<std::uint32_t>(bits >> 63) << 31;
    if (std::isnan(value)) {
        auto payload = static_cast<std::uint32_t>((bits & kDoubleFraction) >> 29);
        if (payload == 0) payload = 0x400000;
        return sign | 0x7F800000 | payload;
    }
    if (std::fabs(value) > std::numeric_limits<float>::max()) return sign | 0x7F800000;
    return std::bit_cast<std::uint32_t>(static_cast<float>(value));
}

std::optional<std::string> Utf8ToUtf16Le(std::string_view s) {
    std::string out;
    const auto put = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    std::size_t pos = 0;
    while (pos < s.size()) {
        const char32_t cp = utf8::Next(s, pos);
        if (cp == utf8::kInvalid) return std::nullopt;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

}  // namespace orlo::ui

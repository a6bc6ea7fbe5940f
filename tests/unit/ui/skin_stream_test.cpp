#include "ui/skin_stream.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

#include "ui/skin_classes.h"
#include "ui/skin_values.h"

namespace orlo::ui {
namespace {

using namespace std::string_literals;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::string Le(std::uint64_t v, int width) {
    std::string out;
    for (int i = 0; i < width; ++i) out += static_cast<char>(v >> (8 * i));
    return out;
}
std::string DoubleBytes(double d) { return Le(std::bit_cast<std::uint64_t>(d), 8); }

// A root "MainForm: TuForm" with the given property and child bytes.
std::string Root(const std::string& properties, const std::string& children = "") {
    return "TPF0\x06TuForm\x08MainForm"s + properties + '\0' + children + '\0';
}

SkinValue Int(ValueTag tag, std::int64_t v) {
    SkinValue out;
    out.tag = tag;
    out.integer = v;
    return out;
}
SkinValue Text(ValueTag tag, std::string s) {
    SkinValue out;
    out.tag = tag;
    out.text = std::move(s);
    return out;
}
SkinValue Real(ValueTag tag, double d) {
    SkinValue out;
    out.tag = tag;
    out.real = d;
    return out;
}
SkinValue Tag(ValueTag tag) {
    SkinValue out;
    out.tag = tag;
    return out;
}

TEST(SkinStream, ReadsEveryValueKindAndWritesTheSameBytes) {
    SkinValue list = Tag(ValueTag::List);
    list.list = {Int(ValueTag::Int8, 5), Text(ValueTag::String, "x")};
    SkinValue extended = Tag(ValueTag::Extended);
    extended.extended = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F};  // 1.5
    SkinValue binary = Tag(ValueTag::Binary);
    binary.binary = B("abc");
    SkinValue set = Tag(ValueTag::Set);
    set.set = {"fsBold", "fsItalic"};
    SkinValue collection = Tag(ValueTag::Collection);
    SkinCollectionItem first;
    first.properties = {{"Path", Text(ValueTag::String, "x")}, {"ZLib", Tag(ValueTag::False)}};
    SkinCollectionItem second;
    second.index_tag = ValueTag::Int8;
    second.index = 3;
    collection.items = {first, second};

    struct Case {
        const char* what;
        std::string bytes;  // tag and payload
        SkinValue expected;
    };
    const Case cases[] = {
        {"null", "\x00"s, Tag(ValueTag::Null)},
        {"list", "\x01\x02\x05\x06\x01x\x00"s, list},
        {"int8", "\x02\xFB", Int(ValueTag::Int8, -5)},
        {"int16", "\x03\x34\x12", Int(ValueTag::Int16, 0x1234)},
        {"int32", "\x04\x00\x00\x00\x80"s, Int(ValueTag::Int32, INT32_MIN)},
        {"extended", "\x05\x00\x00\x00\x00\x00\x00\x00\xC0\xFF\x3F"s, extended},
        {"string", "\x06\x02hi", Text(ValueTag::String, "hi")},
        {"ident",
         "\x07\x05"
         "clRed",
         Text(ValueTag::Ident, "clRed")},
        {"false", "\x08", Tag(ValueTag::False)},
        {"true", "\x09", Tag(ValueTag::True)},
        {"binary",
         "\x0A\x03\x00\x00\x00"
         "abc"s,
         binary},
        {"set",
         "\x0B\x06"
         "fsBold\x08"
         "fsItalic\x00"s,
         set},
        {"long string",
         "\x0C\x03\x00\x00\x00"
         "abc"s,
         Text(ValueTag::LString, "abc")},
        {"nil", "\x0D", Tag(ValueTag::Nil)},
        {"collection", "\x0E\x01\x04Path\x06\x01x\x04ZLib\x08\x00\x02\x03\x01\x00\x00"s, collection},
        {"single", "\x0F\x00\x00\xC0\x3F"s, Real(ValueTag::Single, 1.5)},
        {"currency", "\x10" + Le(15000, 8), Int(ValueTag::Currency, 15000)},
        {"date", "\x11" + DoubleBytes(45000.5), Real(ValueTag::Date, 45000.5)},
        {"wide string",
         "\x12\x02\x00\x00\x00"
         "A\x00\x65\x59"s,
         Text(ValueTag::WString, "A\x00\x65\x59"s)},
        {"int64", "\x13" + Le(0x8000000000000000ull, 8), Int(ValueTag::Int64, INT64_MIN)},
        {"utf8 string", "\x14\x03\x00\x00\x00\xE5\xA5\xA5"s, Text(ValueTag::Utf8String, "\xE5\xA5\xA5")},
        {"double", "\x15" + DoubleBytes(0.1), Real(ValueTag::Double, 0.1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string stream = Root(
            "\x0A"
            "Font.Color"s +
            c.bytes);
        auto read = ReadComponentStream(B(stream));
        ASSERT_TRUE(read.complete) << read.error;
        ASSERT_EQ(read.root.properties.size(), 1u);
        EXPECT_EQ(read.root.properties[0].path, "Font.Color");
        EXPECT_EQ(read.root.properties[0].value, c.expected);
        EXPECT_EQ(read.consumed, stream.size());
        EXPECT_EQ(WriteComponentStream(read.root), B(stream));
    }
}

TEST(SkinStream, ValueHelpersConvertToWhatControlsUse) {
    SkinValue extended = Tag(ValueTag::Extended);
    extended.extended = DoubleToExtended(-2.25);
    EXPECT_EQ(AsReal(extended), -2.25);
    EXPECT_EQ(AsReal(Int(ValueTag::Currency, -12345)), -1.2345);
    EXPECT_EQ(AsReal(Real(ValueTag::Single, 0.5)), 0.5);
    EXPECT_EQ(AsReal(Int(ValueTag::Int16, 300)), 300.0);
    EXPECT_EQ(AsReal(Text(ValueTag::String, "1")), std::nullopt);

    EXPECT_EQ(AsInteger(Int(ValueTag::Int64, -7)), -7);
    EXPECT_EQ(AsInteger(Int(ValueTag::Currency, 10000)), std::nullopt);
    EXPECT_EQ(AsBool(Tag(ValueTag::True)), true);
    EXPECT_EQ(AsBool(Tag(ValueTag::False)), false);
    EXPECT_EQ(AsBool(Tag(ValueTag::Nil)), std::nullopt);
    EXPECT_EQ(AsIdent(Text(ValueTag::Ident, "clRed")), "clRed");
    EXPECT_EQ(AsIdent(Text(ValueTag::String, "clRed")), std::nullopt);

    // ANSI bytes are the code page's (936 here: the Chinese Windows' one).
    EXPECT_EQ(AsText(Text(ValueTag::String, "\xB0\xC2\xC2\xDE")), "奥罗");
    EXPECT_EQ(AsText(Text(ValueTag::LString, "\xB0\xC2")), "奥");
    EXPECT_EQ(AsText(Text(ValueTag::WString, "A\x00\x65\x59\x3D\xD8\x00\xDE"s)), "A奥\xF0\x9F\x98\x80");
    EXPECT_EQ(AsText(Text(ValueTag::WString, "\x00\xD8"s)), "\xEF\xBF\xBD");  // lone surrogate
    EXPECT_EQ(AsText(Text(ValueTag::Utf8String, "奥")), "奥");
    EXPECT_EQ(AsText(Text(ValueTag::Ident, "clRed")), "clRed");
    EXPECT_EQ(AsText(Tag(ValueTag::Binary)), std::nullopt);
}

TEST(SkinStream, PrefixFlagsAndPositionsSurviveReadingAndWriting) {
    struct Case {
        const char* what;
        std::string prefix;
        std::uint8_t flags;
        bool empty_prefix;
        std::optional<SkinValue> position;
    };
    const Case cases[] = {
        {"no prefix", "", 0, false, std::nullopt},
        {"inherited", "\xF1", kFlagInherited, false, std::nullopt},
        {"position int8", "\xF2\x02\x03", kFlagPosition, false, Int(ValueTag::Int8, 3)},
        {"position int16", "\xF2\x03\x03\x00"s, kFlagPosition, false, Int(ValueTag::Int16, 3)},
        {"inline", "\xF4", kFlagInline, false, std::nullopt},
        {"all three, int32 position", "\xF7\x04\xFF\xFF\xFF\xFF", 7, false, Int(ValueTag::Int32, -1)},
        {"unassigned flag", "\xF8", 8, false, std::nullopt},
        {"prefix without flags", "\xF0", 0, true, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string stream = Root("", c.prefix +
                                                "\x07TuImage\x02"
                                                "Bg\x00\x00"s);
        auto read = ReadComponentStream(B(stream), IsRegisteredSkinClass);
        ASSERT_TRUE(read.complete) << read.error;
        ASSERT_EQ(read.root.children.size(), 1u);
        const SkinObject& child = read.root.children[0];
        EXPECT_EQ(child.flags, c.flags);
        EXPECT_EQ(child.empty_prefix, c.empty_prefix);
        EXPECT_EQ(child.position, c.position);
        EXPECT_EQ(child.class_name, "TuImage");
        EXPECT_EQ(child.name, "Bg");
        EXPECT_EQ(WriteComponentStream(read.root), B(stream));
    }

    auto not_integer = ReadComponentStream(B(Root("",
                                                  "\xF2\x06\x01x\x07TuImage\x02"
                                                  "Bg\x00\x00"s)));
    EXPECT_FALSE(not_integer.complete);
    EXPECT_NE(not_integer.error.find("position"), std::string::npos) << not_integer.error;
}

// Three children of which the third is not a registered kind: the first two stay, the rest is lost.
TEST(SkinStream, AnUnknownClassEndsReadingAndKeepsTheObjectsBeforeIt) {
    const std::string a =
        "\x07TuImage\x01"
        "A\x04Left\x02\x05\x00\x00"s;
    // B holds a grandchild before the unknown class: B and its grandchild stay.
    const std::string b =
        "\x07TuLable\x01"
        "B\x07"
        "Caption\x06\x02hi\x00\x07TuImage\x01"
        "D\x00\x00"
        "\x04TFoo\x01"
        "E\x00\x00\x00"s;
    const std::string c =
        "\x04TFoo\x01"
        "C\x00\x00"s;
    auto nested = ReadComponentStream(B(Root("", a + b)), IsRegisteredSkinClass);
    EXPECT_FALSE(nested.complete);
    EXPECT_NE(nested.error.find("unknown class \"TFoo\""), std::string::npos) << nested.error;
    ASSERT_EQ(nested.root.children.size(), 2u);
    EXPECT_EQ(nested.root.children[0].name, "A");
    EXPECT_EQ(nested.root.children[0].properties.size(), 1u);
    const SkinObject& kept = nested.root.children[1];
    EXPECT_EQ(kept.name, "B");
    EXPECT_EQ(kept.properties.size(), 1u);
    ASSERT_EQ(kept.children.size(), 1u);
    EXPECT_EQ(kept.children[0].name, "D");

    const std::string a_only =
        "\x07TuImage\x01"
        "A\x00\x00"s;
    auto flat = ReadComponentStream(B(Root("", a_only + c + a_only)), IsRegisteredSkinClass);
    EXPECT_FALSE(flat.complete);
    ASSERT_EQ(flat.root.children.size(), 1u);
    EXPECT_EQ(flat.root.children[0].name, "A");

    // The root's class is never checked; without a check every class reads.
    EXPECT_TRUE(ReadComponentStream(B("TPF0\x04TBar\x01R\x00"s + a_only + '\0'), IsRegisteredSkinClass).complete);
    EXPECT_TRUE(ReadComponentStream(B(Root("", a_only + c))).complete);
}

// True when `part` could be what reading a cut-off copy of `full` left behind.
bool IsPrefixOf(const SkinObject& part, const SkinObject& full) {
    if (!part.class_name.empty() && part.class_name != full.class_name) return false;
    if (!part.name.empty() && part.name != full.name) return false;
    if (part.properties.size() > full.properties.size() || part.children.size() > full.children.size()) return false;
    if (!std::equal(part.properties.begin(), part.properties.end(), full.properties.begin())) return false;
    for (std::size_t i = 0; i < part.children.size(); ++i) {
        const bool last = i + 1 == part.children.size();
        if (last ? !IsPrefixOf(part.children[i], full.children[i]) : !(part.children[i] == full.children[i])) {
            return false;
        }
    }
    return true;
}

TEST(SkinStream, EveryCutOfAValidStreamReadsAPrefixOfItsObjects) {
    const std::string child1 =
        "\xF2\x02\x01\x07TuImage\x02"
        "Bg\x04Left\x02\x05\x0CPicture.Data\x0A\x04\x00\x00\x00"
        "abcd\x00\x00"s;
    const std::string child2 =
        "\x0CTuStartBtton\x05Start\x04Hint\x12\x01\x00\x00\x00\x65\x59\x05Items\x01\x06\x01"
        "a\x13"s +
        Le(1, 8) +
        "\x00\x0D"
        "EmbeddedFiles\x0E\x02\x01\x01\x04Path\x14\x01\x00\x00\x00x\x00\x00"s +
        "\x00"s + "\x07TuImage\x04Logo\x00\x00\x00"s;
    // The root has a prefix with a position too: a cut inside it must not leave the flags alone.
    const std::string stream = "TPF0\xF6\x02\x00"s + Root(
                                                         "\x07"
                                                         "Caption\x06\x02hi\x0A"
                                                         "Font.Style\x0B\x06"
                                                         "fsBold\x00"s,
                                                         child1 + child2)
                                                         .substr(4);
    auto full = ReadComponentStream(B(stream), IsRegisteredSkinClass);
    ASSERT_TRUE(full.complete) << full.error;
    ASSERT_EQ(full.root.children.size(), 2u);
    ASSERT_EQ(full.root.children[1].children.size(), 1u);
    for (std::size_t n = 0; n < stream.size(); ++n) {
        SCOPED_TRACE("cut at " + std::to_string(n));
        auto cut = ReadComponentStream(ByteView(B(stream)).first(n), IsRegisteredSkinClass);
        EXPECT_FALSE(cut.complete);
        EXPECT_FALSE(cut.error.empty());
        EXPECT_TRUE(IsPrefixOf(cut.root, full.root));
        auto again = ReadComponentStream(WriteComponentStream(cut.root));
        EXPECT_TRUE(again.complete) << again.error;
        EXPECT_EQ(again.root, cut.root);
    }
    // Bytes after the root are not part of it.
    auto trailing = ReadComponentStream(B(stream + "junk"));
    EXPECT_TRUE(trailing.complete);
    EXPECT_EQ(trailing.consumed, stream.size());
}

TEST(SkinStream, LengthsBeyondTheInputEndReadingWithoutAllocating) {
    const std::string cases[] = {
        "\x0A\xFF\xFF\xFF\xFF"
        "abc"s,  // binary
        "\x0C\xFF\xFF\xFF\x7F"
        "abc"s,  // long string
        "\x12\x00\x00\x00\x80"
        "abc"s,  // wide string: count x 2 passes 32 bits
        "\x14\x04\x00\x00\x00"
        "abc"s,  // utf-8 string one byte short
        "\x06\x05"
        "abc"s,           // short string
        "\x13\x01\x02"s,  // int64
    };
    for (const std::string& value : cases) {
        SCOPED_TRACE(::testing::PrintToString(value));
        auto read =
            ReadComponentStream(B("TPF0\x06TuForm\x08MainForm\x04Left\x02\x05\x04"
                                  "Data"s +
                                  value));
        EXPECT_FALSE(read.complete);
        EXPECT_NE(read.error.find("past the end"), std::string::npos) << read.error;
        ASSERT_EQ(read.root.properties.size(), 1u);  // the cut-off property is dropped
        EXPECT_EQ(read.root.properties[0].path, "Left");
    }
}

TEST(SkinStream, MalformedStreamsAreRefusedWithTheReason) {
    struct Case {
        const char* what;
        std::string stream;
        const char* reason;
    };
    const Case cases[] = {
        {"no signature", "TPF1\x06TuForm\x00\x00\x00"s, "TPF0"},
        {"empty", "", "TPF0"},
        {"unknown value tag", Root("\x01X\x16"), "unknown value tag 22"},
        {"collection item without its list marker", Root("\x01X\x0E\x04Path\x06\x01x\x00\x00"s), "list marker"},
        {"index then no list marker", Root("\x01X\x0E\x02\x01\x00\x00"s), "list marker"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto read = ReadComponentStream(B(c.stream));
        EXPECT_FALSE(read.complete);
        EXPECT_NE(read.error.find(c.reason), std::string::npos) << read.error;
    }
}

TEST(SkinStream, NestingIsCappedForObjectsListsAndCollections) {
    // Objects: each level opens a child.
    auto objects = [](int depth) {
        std::string s = "TPF0";
        for (int i = 0; i < depth; ++i) s += "\x07TuImage\x01X\x00"s;
        for (int i = 0; i < depth; ++i) s += '\0';
        return B(s);
    };
    EXPECT_TRUE(ReadComponentStream(objects(kMaxSkinNesting)).complete);
    auto deep = ReadComponentStream(objects(kMaxSkinNesting + 1));
    EXPECT_FALSE(deep.complete);
    EXPECT_NE(deep.error.find("deeper"), std::string::npos) << deep.error;

    // Lists in a root property: the root counts as one level.
    auto lists = [](int depth) { return B(Root("\x01L" + std::string(depth, '\x01') + std::string(depth, '\0'))); };
    EXPECT_TRUE(ReadComponentStream(lists(kMaxSkinNesting - 1)).complete);
    EXPECT_FALSE(ReadComponentStream(lists(kMaxSkinNesting)).complete);
    EXPECT_FALSE(ReadComponentStream(lists(100000)).complete);  // would overflow the stack if recursed

    // Collections holding collections through an item property.
    auto collections = [](int depth) {
        std::string s;
        for (int i = 0; i < depth; ++i) s += "\x0E\x01\x01I"s;
        s += "\x09";
        for (int i = 0; i < depth; ++i) s += "\x00\x00"s;  // end of the item, end of the collection
        return B(
            Root("\x01"
                 "C" +
                 s));
    };
    EXPECT_TRUE(ReadComponentStream(collections(kMaxSkinNesting - 1)).complete);
    EXPECT_FALSE(ReadComponentStream(collections(kMaxSkinNesting)).complete);
}

TEST(SkinStream, WritingAModelAndReadingItBackGivesTheModel) {
    SkinObject root;
    root.class_name = "TuForm";
    root.name = "MainForm";
    SkinValue nan_single = Real(ValueTag::Single, SingleBitsToDouble(0x7F800001));  // signalling NaN
    SkinValue neg_zero = Real(ValueTag::Double, -0.0);
    SkinValue nan_date = Real(ValueTag::Date, std::bit_cast<double>(0x7FF0000000000123ull));
    root.properties = {{"A", nan_single}, {"B", neg_zero}, {"C", nan_date}, {"D", Int(ValueTag::Int64, 1)}};
    SkinObject child;
    child.flags = kFlagInline | kFlagPosition;
    child.position = Int(ValueTag::Int16, 2);
    child.class_name = "TuImage";
    root.children = {child};
    auto read = ReadComponentStream(WriteComponentStream(root));
    ASSERT_TRUE(read.complete) << read.error;
    EXPECT_EQ(read.root, root);
    EXPECT_FALSE(read.root.properties[1].value == Real(ValueTag::Double, 0.0));  // bits, not values
}

TEST(SkinValues, ExtendedRealsConvertToTheNearestDouble) {
    auto ext = [](std::uint64_t mantissa, int exponent, bool negative = false) {
        std::array<std::uint8_t, 10> b{};
        for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
        b[8] = static_cast<std::uint8_t>(exponent);
        b[9] = static_cast<std::uint8_t>((exponent >> 8) | (negative ? 0x80 : 0));
        return b;
    };
    const double ulp1 = std::ldexp(1.0, -52);
    struct Case {
        const char* what;
        std::array<std::uint8_t, 10> bytes;
        double expected;
    };
    const Case cases[] = {
        {"one", ext(0x8000000000000000ull, 0x3FFF), 1.0},
        {"minus 1.5", ext(0xC000000000000000ull, 0x3FFF, true), -1.5},
        {"negative zero", ext(0, 0, true), -0.0},
        {"half an ulp, even below: down", ext(0x8000000000000400ull, 0x3FFF), 1.0},
        {"half an ulp, odd below: up", ext(0x8000000000000C00ull, 0x3FFF), 1.0 + 2 * ulp1},
        {"just over half an ulp: up", ext(0x8000000000000401ull, 0x3FFF), 1.0 + ulp1},
        {"carry into the exponent", ext(0xFFFFFFFFFFFFFC00ull, 0x3FFF), 2.0},
        {"beyond the double range", ext(0x8000000000000000ull, 0x3FFF + 1024), HUGE_VAL},
        {"largest double", ext(0xFFFFFFFFFFFFF800ull, 0x3FFF + 1023), std::numeric_limits<double>::max()},
        {"smallest denormal", ext(0x8000000000000000ull, 0x3FFF - 1074), std::numeric_limits<double>::denorm_min()},
        {"half the smallest denormal: even, down", ext(0x8000000000000000ull, 0x3FFF - 1075), 0.0},
        {"three quarters of it: up", ext(0xC000000000000000ull, 0x3FFF - 1075),
         std::numeric_limits<double>::denorm_min()},
        {"far below", ext(0x8000000000000000ull, 1), 0.0},
        {"unnormal (no integer bit)", ext(0x4000000000000000ull, 0x4000), 1.0},
        {"infinity", ext(0x8000000000000000ull, 0x7FFF, true), -HUGE_VAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(ExtendedToDouble(c.bytes)), std::bit_cast<std::uint64_t>(c.expected));
    }
    EXPECT_TRUE(std::isnan(ExtendedToDouble(ext(0xC000000000000000ull, 0x7FFF))));
    EXPECT_TRUE(std::isnan(ExtendedToDouble(ext(0x8000000000000001ull, 0x7FFF))));  // payload only in low bits
    EXPECT_EQ(DoubleToExtended(1.0), ext(0x8000000000000000ull, 0x3FFF));
}

TEST(SkinValues, DoublesAndSinglesKeepEveryBitThroughTheWideForms) {
    const double doubles[] = {0.0,
                              -0.0,
                              0.1,
                              -2.5,
                              1e300,
                              std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::min(),
                              std::numeric_limits<double>::denorm_min(),
                              3 * std::numeric_limits<double>::denorm_min(),
                              HUGE_VAL,
                              std::bit_cast<double>(0x7FF8000000000001ull),
                              std::bit_cast<double>(0xFFF4000000000000ull)};
    for (double d : doubles) {
        SCOPED_TRACE(::testing::PrintToString(std::bit_cast<std::uint64_t>(d)));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(ExtendedToDouble(DoubleToExtended(d))), std::bit_cast<std::uint64_t>(d));
    }
    const std::uint32_t singles[] = {0x00000000, 0x80000000, 0x3FC00000, 0x00000001, 0x7F7FFFFF,
                                     0x7F800000, 0x7F800001, 0xFFC00000, 0x7FBFFFFF};
    for (std::uint32_t bits : singles) {
        SCOPED_TRACE(::testing::PrintToString(bits));
        EXPECT_EQ(DoubleToSingleBits(SingleBitsToDouble(bits)), bits);
    }
}

}  // namespace
}  // namespace orlo::ui

namespace orlo::ui {
namespace {

// One-byte values cost far more in memory than in the stream: past the cap reading stops.
TEST(SkinStreamLimits, TooManyValuesEndReading) {
    for (std::size_t count : {std::size_t{1000}, kMaxSkinValues + 1}) {
        SCOPED_TRACE(count);
        Bytes stream = {'T', 'P', 'F', '0', 6, 'T', 'u', 'F', 'o', 'r', 'm', 0, 1, 'X', 1};
        stream.insert(stream.end(), count, static_cast<std::uint8_t>(ValueTag::False));
        stream.insert(stream.end(), {0, 0, 0});
        const SkinReadResult read = ReadComponentStream(stream);
        EXPECT_EQ(read.complete, count <= kMaxSkinValues) << read.error;
        if (!read.complete) {
            EXPECT_NE(read.error.find("values"), std::string::npos) << read.error;
        }
    }
}

}  // namespace
}  // namespace orlo::ui

// The skin's binary component stream: "TPF0", then one object record (the main window) with
// its properties and child objects. Read keeps everything it could read before a fault, because
// the window keeps the controls created up to a bad record; Write is its exact inverse, so a
// compiled skin can be decompiled and compiled again to the very same bytes.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/bytes.h"

namespace orlo::ui {

enum class ValueTag : std::uint8_t {
    Null = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
    Utf8String = 20,
    Double = 21,
};
inline constexpr std::uint8_t kLastValueTag = 21;

struct SkinProperty;

// One item of a collection value. In the stream: the optional index (an Int8, Int16 or Int32
// value), the list marker (tag 1), the item's properties, a zero byte. The marker is what the
// VCL writes and reads around every item; without it an item whose first property name is 2 to
// 4 bytes long ("Path", "ZLib") could not be told from an index.
struct SkinCollectionItem {
    std::optional<ValueTag> index_tag;  // Int8, Int16 or Int32 when the item carries an index
    std::int64_t index = 0;
    std::vector<SkinProperty> properties;
    bool operator==(const SkinCollectionItem&) const = default;
};

struct SkinValue {
    ValueTag tag = ValueTag::Null;
    std::int64_t integer = 0;                 // Int8/16/32/64; Currency: the raw value (amount x 10000)
    double real = 0;                          // Single (widened), Date, Double
    std::array<std::uint8_t, 10> extended{};  // Extended: the 10 bytes as in the stream
    // String/LString: ANSI bytes as in the stream; Ident: the short string's bytes;
    // Utf8String: UTF-8 bytes; WString: UTF-16LE bytes, two per code unit.
    std::string text;
    Bytes binary;                           // Binary
    std::vector<std::string> set;           // Set members
    std::vector<SkinValue> list;            // List items
    std::vector<SkinCollectionItem> items;  // Collection items

    // Reals compare by their bits, so NaN payloads and negative zero count as what they are.
    bool operator==(const SkinValue& other) const;
};

struct SkinProperty {
    std::string path;  // may be dotted: "Font.Color", "Picture.Data"
    SkinValue value;
    bool operator==(const SkinProperty&) const = default;
};

struct SkinObject {
    // The prefix byte's low nibble: 1 inherited, 2 position follows, 4 inline (8 passes through).
    // 0 with empty_prefix false: no prefix byte. empty_prefix: a prefix byte 0xF0 with no flag.
    std::uint8_t flags = 0;
    bool empty_prefix = false;
    std::optional<SkinValue> position;  // the Int8/16/32 value after the prefix when flag 2 is set
    std::string class_name;             // short strings, bytes as in the stream
    std::string name;
    std::vector<SkinProperty> properties;
    std::vector<SkinObject> children;
    bool operator==(const SkinObject&) const = default;
};

inline constexpr std::uint8_t kFlagInherited = 1;
inline constexpr std::uint8_t kFlagPosition = 2;
inline constexpr std::uint8_t kFlagInline = 4;

// Objects, lists and collections nest at most this deep; deeper input is refused, not recursed.
inline constexpr int kMaxSkinNesting = 64;
// Values and set members in one stream; a skin with forty pictures holds a few thousand.
inline constexpr std::size_t kMaxSkinValues = 1'000'000;

struct SkinReadResult {
    SkinObject root;
    bool complete = false;     // false: reading ended early; root keeps what was read up to then
    std::string error;         // what ended reading, at which byte offset
    std::size_t consumed = 0;  // bytes read, signature included (trailing bytes are ignored)
};

// known_class, when given, is asked for every child object's class name (the root's class is
// free); false ends reading there: that child is not added, everything read before it stays,
// partially read objects included. A property whose value is cut off is not kept.
SkinReadResult ReadComponentStream(ByteView stream, const std::function<bool(std::string_view)>& known_class = {});

// The stream of `root`: Read(Write(x)) == x for any well-formed model (names and short strings
// of at most 255 bytes, a position exactly when flag 2 is set, no Null inside a list), and
// Write(Read(s)) reproduces the bytes Read consumed of any stream it read completely.
Bytes WriteComponentStream(const SkinObject& root);

}  // namespace orlo::ui

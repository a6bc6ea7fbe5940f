#include "ui/skin_stream.h"

#include <bit>
#include <cstring>
#include <limits>
#include <utility>

#include "ui/skin_values.h"

namespace orlo::ui {

bool SkinValue::operator==(const SkinValue& other) const {
    if (tag != other.tag) return false;
    switch (tag) {
        case ValueTag::Int8:
        case ValueTag::Int16:
        case ValueTag::Int32:
        case ValueTag::Int64:
        case ValueTag::Currency:
            return integer == other.integer;
        case ValueTag::Single:
        case ValueTag::Date:
        case ValueTag::Double:
            return std::bit_cast<std::uint64_t>(real) == std::bit_cast<std::uint64_t>(other.real);
        case ValueTag::Extended:
            return extended == other.extended;
        case ValueTag::String:
        case ValueTag::LString:
        case ValueTag::Ident:
        case ValueTag::WString:
        case ValueTag::Utf8String:
            return text == other.text;
        case ValueTag::Binary:
            return binary == other.binary;
        case ValueTag::Set:
            return set == other.set;
        case ValueTag::List:
            return list == other.list;
        case ValueTag::Collection:
            return items == other.items;
        case ValueTag::Null:
        case ValueTag::False:
        case ValueTag::True:
        case ValueTag::Nil:
            return true;
    }
    return true;
}

namespace {

// Bounds-checked little-endian reading with a sticky failure: after the first fault every read
// yields zeros and the first message (with its offset) is what the caller reports.
class ByteReader {
  public:
    explicit ByteReader(ByteView data) : data_(data) {}

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    std::size_t pos() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }

    bool Fail(const std::string& why) {
        if (error_.empty()) error_ = why + " at byte " + std::to_string(pos_);
        return false;
    }
    bool Need(std::uint64_t n, const char* what) {
        if (!ok()) return false;
        if (n > remaining()) {
            return Fail(std::string(what) + " of " + std::to_string(n) + " bytes runs past the end (" +
                        std::to_string(remaining()) + " left)");
        }
        return true;
    }
    std::optional<std::uint8_t> Peek() {
        if (!Need(1, "a byte")) return std::nullopt;
        return data_[pos_];
    }
    std::uint64_t Unsigned(std::size_t width, const char* what) {
        if (!Need(width, what)) return 0;
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < width; ++i) v |= std::uint64_t(data_[pos_ + i]) << (8 * i);
        pos_ += width;
        return v;
    }
    std::int64_t Signed(std::size_t width, const char* what) {
        const std::uint64_t v = Unsigned(width, what);
        if (width == 8) return static_cast<std::int64_t>(v);
        const std::uint64_t sign = std::uint64_t(1) << (8 * width - 1);
        return static_cast<std::int64_t>((v ^ sign) - sign);
    }
    ByteView Take(std::uint64_t n, const char* what) {
        if (!Need(n, what)) return {};
        ByteView out = data_.subspan(pos_, static_cast<std::size_t>(n));
        pos_ += static_cast<std::size_t>(n);
        return out;
    }
    bool ShortString(std::string& out, const char* what) {
        const auto length = Unsigned(1, what);
        ByteView bytes = Take(length, what);
        if (!ok()) return false;
        out = AsString(bytes);
        return true;
    }

  private:
    ByteView data_;
    std::size_t pos_ = 0;
    std::string error_;
};

std::size_t IntegerWidth(ValueTag tag) {
    switch (tag) {
        case ValueTag::Int8:
            return 1;
        case ValueTag::Int16:
            return 2;
        case ValueTag::Int32:
            return 4;
        default:
            return 8;
    }
}

bool IsSmallInteger(std::uint8_t tag) {
    return tag == std::uint8_t(ValueTag::Int8) || tag == std::uint8_t(ValueTag::Int16) ||
           tag == std::uint8_t(ValueTag::Int32);
}

class StreamReader {
  public:
    StreamReader(ByteView data, const std::function<bool(std::string_view)>& known_class)
        : in_(data), known_class_(known_class) {}

    ByteReader& in() { return in_; }

    // The object's header decides whether a caller keeps it: until its class is read and
    // accepted there is nothing to keep.
    enum class Outcome { Complete, Partial, Dropped };

    Outcome Object(SkinObject& obj, int depth, bool root) {
        if (depth > kMaxSkinNesting) {
            in_.Fail("objects nest deeper than " + std::to_string(kMaxSkinNesting));
            return Outcome::Dropped;
        }
        auto first = in_.Peek();
        if (!first) return Outcome::Dropped;
        if ((*first & 0xF0) == 0xF0) {
            in_.Unsigned(1, "prefix");
            // The flags are kept only with their position, so a root cut there stays consistent.
            const std::uint8_t flags = *first & 0x0F;
            if (flags & kFlagPosition) {
                const std::size_t at = in_.pos();
                const auto tag = in_.Unsigned(1, "position");
                if (!in_.ok()) return Outcome::Dropped;
                if (!IsSmallInteger(static_cast<std::uint8_t>(tag))) {
                    in_.Fail("position value of tag " + std::to_string(tag) + " (at " + std::to_string(at) +
                             ") is not an integer");
                    return Outcome::Dropped;
                }
                SkinValue pos;
                pos.tag = static_cast<ValueTag>(tag);
                pos.integer = in_.Signed(IntegerWidth(pos.tag), "position");
                if (!in_.ok()) return Outcome::Dropped;
                obj.position = std::move(pos);
            }
            obj.flags = flags;
            obj.empty_prefix = flags == 0;
        }
        const std::size_t class_at = in_.pos();
        if (!in_.ShortString(obj.class_name, "class name")) return Outcome::Dropped;
        if (!root && known_class_ && !known_class_(obj.class_name)) {
            in_.Fail("unknown class \"" + obj.class_name + "\" (object at " + std::to_string(class_at) + ")");
            return Outcome::Dropped;
        }
        if (!in_.ShortString(obj.name, "object name")) return Outcome::Dropped;
        if (!Properties(obj.properties, depth)) return Outcome::Partial;
        for (;;) {
            auto next = in_.Peek();
            if (!next) return Outcome::Partial;
            if (*next == 0) {
                in_.Unsigned(1, "end of children");
                return Outcome::Complete;
            }
            SkinObject child;
            const Outcome outcome = Object(child, depth + 1, false);
            if (outcome != Outcome::Dropped) obj.children.push_back(std::move(child));
            if (outcome != Outcome::Complete) return Outcome::Partial;
        }
    }

  private:
    bool Properties(std::vector<SkinProperty>& out, int depth) {
        for (;;) {
            auto next = in_.Peek();
            if (!next) return false;
            if (*next == 0) {
                in_.Unsigned(1, "end of properties");
                return true;
            }
            SkinProperty prop;
            if (!in_.ShortString(prop.path, "property name")) return false;
            if (!Value(prop.value, depth)) return false;
            out.push_back(std::move(prop));
        }
    }

    bool Value(SkinValue& v, int depth) {
        const std::size_t at = in_.pos();
        if (!Count(at)) return false;
        const auto tag = in_.Unsigned(1, "value tag");
        if (!in_.ok()) return false;
        if (tag > kLastValueTag)
            return in_.Fail("unknown value tag " + std::to_string(tag) + " (at " + std::to_string(at) + ")");
        v.tag = static_cast<ValueTag>(tag);
        switch (v.tag) {
            case ValueTag::Null:
            case ValueTag::False:
            case ValueTag::True:
            case ValueTag::Nil:
                return true;
            case ValueTag::Int8:
            case ValueTag::Int16:
            case ValueTag::Int32:
            case ValueTag::Int64:
                v.integer = in_.Signed(IntegerWidth(v.tag), "integer");
                return in_.ok();
            case ValueTag::Currency:
                v.integer = in_.Signed(8, "currency");
                return in_.ok();
            case ValueTag::Extended: {
                ByteView raw = Take(10, "extended real");
                if (!in_.ok()) return false;
                std::memcpy(v.extended.data(), raw.data(), 10);
                return true;
            }
            case ValueTag::Single:
                v.real = SingleBitsToDouble(static_cast<std::uint32_t>(in_.Unsigned(4, "single")));
                return in_.ok();
            case ValueTag::Date:
            case ValueTag::Double:
                v.real = std::bit_cast<double>(in_.Unsigned(8, "double"));
                return in_.ok();
            case ValueTag::String:
            case ValueTag::Ident:
                return in_.ShortString(v.text, "string");
            case ValueTag::LString:
            case ValueTag::Utf8String: {
                const auto length = in_.Unsigned(4, "string length");
                v.text = AsString(Take(length, "string"));
                return in_.ok();
            }
            case ValueTag::WString: {
                const auto units = in_.Unsigned(4, "wide string length");
                v.text = AsString(Take(units * 2, "wide string"));
                return in_.ok();
            }
            case ValueTag::Binary: {
                const auto length = in_.Unsigned(4, "binary length");
                ByteView bytes = Take(length, "binary");
                if (!in_.ok()) return false;
                v.binary.assign(bytes.begin(), bytes.end());
                return true;
            }
            case ValueTag::Set:
                for (;;) {
                    std::string member;
                    if (!in_.ShortString(member, "set member")) return false;
                    if (member.empty()) return true;
                    if (!Count(in_.pos())) return false;
                    v.set.push_back(std::move(member));
                }
            case ValueTag::List:
                if (depth + 1 > kMaxSkinNesting)
                    return in_.Fail("values nest deeper than " + std::to_string(kMaxSkinNesting));
                for (;;) {
                    auto next = in_.Peek();
                    if (!next) return false;
                    if (*next == 0) {
                        in_.Unsigned(1, "end of list");
                        return true;
                    }
                    SkinValue item;
                    if (!Value(item, depth + 1)) return false;
                    v.list.push_back(std::move(item));
                }
            case ValueTag::Collection:
                if (depth + 1 > kMaxSkinNesting)
                    return in_.Fail("values nest deeper than " + std::to_string(kMaxSkinNesting));
                for (;;) {
                    auto next = in_.Peek();
                    if (!next) return false;
                    if (*next == 0) {
                        in_.Unsigned(1, "end of collection");
                        return true;
                    }
                    SkinCollectionItem item;
                    if (IsSmallInteger(*next)) {
                        item.index_tag = static_cast<ValueTag>(in_.Unsigned(1, "item index"));
                        item.index = in_.Signed(IntegerWidth(*item.index_tag), "item index");
                    }
                    const std::size_t marker_at = in_.pos();
                    const auto marker = in_.Unsigned(1, "item start");
                    if (!in_.ok()) return false;
                    if (marker != std::uint8_t(ValueTag::List)) {
                        return in_.Fail("collection item starts with " + std::to_string(marker) + " (at " +
                                        std::to_string(marker_at) + "), not the list marker");
                    }
                    if (!Properties(item.properties, depth + 1)) return false;
                    v.items.push_back(std::move(item));
                }
        }
        return true;
    }

    ByteView Take(std::uint64_t n, const char* what) { return in_.Take(n, what); }

    // A value costs far more in memory than its one or two bytes in the stream: a stream of
    // millions of tiny values is refused rather than grown into gigabytes.
    bool Count(std::size_t at) {
        if (++values_ <= kMaxSkinValues) return true;
        return in_.Fail("more than " + std::to_string(kMaxSkinValues) + " values (at " + std::to_string(at) + ")");
    }

    ByteReader in_;
    std::size_t values_ = 0;
    const std::function<bool(std::string_view)>& known_class_;
};

class StreamWriter {
  public:
    Bytes take() { return std::move(out_); }

    void Byte(std::uint8_t b) { out_.push_back(b); }
    void Unsigned(std::uint64_t v, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void Raw(std::string_view bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    void ShortString(std::string_view s) {
        if (s.size() > 255) s = s.substr(0, 255);
        Byte(static_cast<std::uint8_t>(s.size()));
        Raw(s);
    }

    void Object(const SkinObject& obj) {
        if (obj.flags != 0 || obj.empty_prefix) {
            Byte(static_cast<std::uint8_t>(0xF0 | (obj.flags & 0x0F)));
            if (obj.flags & kFlagPosition) {
                if (obj.position) {
                    Value(*obj.position);
                } else {
                    Byte(std::uint8_t(ValueTag::Int8));
                    Byte(0);
                }
            }
        }
        ShortString(obj.class_name);
        ShortString(obj.name);
        Properties(obj.properties);
        for (const SkinObject& child : obj.children) Object(child);
        Byte(0);
    }

  private:
    void Properties(const std::vector<SkinProperty>& props) {
        for (const SkinProperty& p : props) {
            ShortString(p.path);
            Value(p.value);
        }
        Byte(0);
    }

    void Value(const SkinValue& v) {
        Byte(static_cast<std::uint8_t>(v.tag));
        switch (v.tag) {
            case ValueTag::Null:
            case ValueTag::False:
            case ValueTag::True:
            case ValueTag::Nil:
                break;
            case ValueTag::Int8:
            case ValueTag::Int16:
            case ValueTag::Int32:
            case ValueTag::Int64:
                Unsigned(static_cast<std::uint64_t>(v.integer), IntegerWidth(v.tag));
                break;
            case ValueTag::Currency:
                Unsigned(static_cast<std::uint64_t>(v.integer), 8);
                break;
            case ValueTag::Extended:
                out_.insert(out_.end(), v.extended.begin(), v.extended.end());
                break;
            case ValueTag::Single:
                Unsigned(DoubleToSingleBits(v.real), 4);
                break;
            case ValueTag::Date:
            case ValueTag::Double:
                Unsigned(std::bit_cast<std::uint64_t>(v.real), 8);
                break;
            case ValueTag::String:
            case ValueTag::Ident:
                ShortString(v.text);
                break;
            case ValueTag::LString:
            case ValueTag::Utf8String:
                Unsigned(v.text.size(), 4);
                Raw(v.text);
                break;
            case ValueTag::WString:
                Unsigned(v.text.size() / 2, 4);
                Raw(std::string_view(v.text).substr(0, v.text.size() / 2 * 2));
                break;
            case ValueTag::Binary:
                Unsigned(v.binary.size(), 4);
                out_.insert(out_.end(), v.binary.begin(), v.binary.end());
                break;
            case ValueTag::Set:
                for (const std::string& member : v.set) ShortString(member);
                Byte(0);
                break;
            case ValueTag::List:
                for (const SkinValue& item : v.list) Value(item);
                Byte(0);
                break;
            case ValueTag::Collection:
                for (const SkinCollectionItem& item : v.items) {
                    if (item.index_tag) {
                        Byte(static_cast<std::uint8_t>(*item.index_tag));
                        Unsigned(static_cast<std::uint64_t>(item.index), IntegerWidth(*item.index_tag));
                    }
                    Byte(std::uint8_t(ValueTag::List));
                    Properties(item.properties);
                }
                Byte(0);
                break;
        }
    }

    Bytes out_;
};

}  // namespace

SkinReadResult ReadComponentStream(ByteView stream, const std::function<bool(std::string_view)>& known_class) {
    SkinReadResult result;
    StreamReader reader(stream, known_class);
    ByteView signature = reader.in().Take(4, "signature");
    if (!reader.in().ok() || AsString(signature) != "TPF0") {
        result.error = "not a component stream (no \"TPF0\" signature)";
        return result;
    }
    const auto outcome = reader.Object(result.root, 1, true);
    result.complete = outcome == StreamReader::Outcome::Complete && reader.in().ok();
    result.error = reader.in().error();
    result.consumed = reader.in().pos();
    return result;
}

Bytes WriteComponentStream(const SkinObject& root) {
    StreamWriter writer;
    // Byte by byte: GCC 12 at -O3 warns falsely about inserting a range into the empty vector.
    for (char c : std::string_view("TPF0")) writer.Byte(static_cast<std::uint8_t>(c));
    writer.Object(root);
    return writer.take();
}

}  // namespace orlo::ui

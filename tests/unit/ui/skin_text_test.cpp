#include "skin_text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <string>

#include "platform/files.h"
#include "ui/skin_stream.h"

namespace orlo::pack {
namespace {

using namespace std::string_literals;
using ui::SkinValue;
using ui::ValueTag;

// A folder of its own under the temporary directory, removed afterwards.
class SkinTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        dir_ = platform::TempDirectory() /
               platform::PathFromUtf8("orlo-skin-text-" + std::to_string(counter++) + "-" +
                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    void Write(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(platform::ReplaceFileContents(dir_ / platform::PathFromUtf8(name), bytes));
    }
    Result<Bytes> Compile(const std::string& text) { return CompileSkinText(text, dir_); }

    // The value of the root's only property V.
    SkinValue CompileValue(const std::string& value) {
        auto stream = Compile("object F: TuForm\n  V = " + value + "\nend\n");
        EXPECT_TRUE(stream.ok()) << stream.error();
        if (!stream.ok()) return {};
        auto read = ui::ReadComponentStream(*stream);
        EXPECT_TRUE(read.complete) << read.error;
        if (read.root.properties.size() != 1) return {};
        return read.root.properties[0].value;
    }

    std::filesystem::path dir_;
};

const std::string kPng = "\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR-png-body"s;
const std::string kBmp = "BM\x10\x00\x00\x00-bitmap"s;
const std::string kIco = "\x00\x00\x01\x00\x01\x00-icon"s;

// Written exactly as decompiling lays it out, so decompiling the compiled text must give it back.
const char* const kEveryForm = R"(object MainForm: TuForm
  Caption = '奥罗传奇'
  ClientWidth = 867
  Color = clBtnFace
  TransparentColor = True
  AlphaBlend = False
  TransparentColorValue = $00FF00FF
  Font.Color = $000000FF
  Font.Style = [fsBold, fsUnderline]
  Font.Height = -12
  Anchors = []
  Odd.Set = ['a b', c]
  Value = 1.5
  Tiny = 1e-300
  NegativeZero = -0.0
  Exact80 = extended($0100000000000080FF3F)
  Infinite80 = extended($0000000000000080FF7F)
  Data = {
    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F
    2021222324252627}
  Empty.Data = {}
  NotAPicture = {
    07544269746D61700900000041}
  Items.Strings = (
    '800x600'
    '1024x768')
  Nested = (
    1
    (
      ident('nil')
      [a])
    <>
    True
    ()
    nil
    (
      False))
  Empty.List = ()
  EmbeddedFiles = <
    item
      Path = 'x'
      ZLib = False
    end
    item [3]
    end
    item [int16(3)]
      Name = 'Logo'
      Data = file('MainForm.EmbeddedFiles.Logo.Data.png')
    end
    item [-70000]
      Data = picture(TIcon, 'MainForm.EmbeddedFiles.3.Data.ico')
    end>
  Empty.Collection = <>
  Nothing = nil
  Empty = null
  Text = 'it''s'#13#10'next line'
  NotInTheCodePage = #176#194#255'x'
  Long = 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa'
  ShortAsLong = lstring('abc')
  EmptyString = ''
  Wide = '😀 wide'
  WideAnsi = wstring('abc'#0)
  WideSurrogate = #55296'x'
  Utf8 = utf8('奥'#255#10)
  Id = ident('a b')
  Keyword = ident('True')
  I1 = int16(5)
  I2 = int32(-1)
  I3 = int64(2147483647)
  I4 = 2147483648
  I5 = -9223372036854775808
  S1 = single(1.5)
  S2 = single(-0)
  S3 = single($7F800001)
  S4 = single(1e-45)
  D1 = double(0.1)
  D2 = double($7FF0000000000000)
  D3 = double(5e-324)
  T1 = date(45000.5)
  C1 = currency(-1.2345)
  C2 = currency(922337203685477.5807)
  C3 = currency(-922337203685477.5808)
  C4 = currency(3)
  'odd name' = 1
  'Font.' = 2
  end = 3
  Picture.Data = picture(TPngImage, 'MainForm.Picture.Data.png')
  Bmp.Data = picture(TBitmap, 'MainForm.Bmp.Data.bmp')
  Icon.Data = file('MainForm.Icon.Data.ico')
  object StartButton: TuStartBtton [3]
    Left = 700
    object Glow: TuImage
      Picture.Data = file('Glow.Picture.Data.png')
    end
  end
  inherited Frame: TuImage [int16(1)]
  end
  inline TuImage
    Picture.Data = file('TuImage.Picture.Data.png')
  end
  object tuimage: TuImage flags(8)
    Picture.Data = file('tuimage.Picture.Data-2.png')
  end
  object X: TuImage flags(0)
  end
  inline Y: TuImage flags(5)
  end
  object 'a b': TuImage
  end
end
)";

TEST_F(SkinTextTest, DecompilingACompiledTextGivesTheTextAndThePicturesBack) {
    const std::map<std::string, std::string> files = {
        {"MainForm.EmbeddedFiles.Logo.Data.png", kPng + "logo"},
        {"MainForm.EmbeddedFiles.3.Data.ico", kIco},
        {"MainForm.Picture.Data.png", kPng},
        {"MainForm.Bmp.Data.bmp", kBmp},
        {"MainForm.Icon.Data.ico", kIco + "2"},
        {"Glow.Picture.Data.png", kPng + "glow"},
        {"TuImage.Picture.Data.png", kPng + "1"},
        {"tuimage.Picture.Data-2.png", kPng + "2"},
    };
    for (const auto& [name, bytes] : files) Write(name, bytes);
    auto stream = Compile(kEveryForm);
    ASSERT_TRUE(stream.ok()) << stream.error();

    auto skin = DecompileSkin(*stream);
    ASSERT_TRUE(skin.ok()) << skin.error();
    EXPECT_EQ(skin->text, kEveryForm);
    std::map<std::string, std::string> written;
    for (const auto& [name, bytes] : skin->files) written[name] = AsString(bytes);
    EXPECT_EQ(written, files);

    // The pictures went into the stream in their graphic kind's form.
    const std::string bytes = AsString(*stream);
    EXPECT_NE(bytes.find("\x0CPicture.Data\x0A" + std::string(1, char(10 + kPng.size())) +
                         "\x00\x00\x00\x09TPngImage"s + kPng),
              std::string::npos);
    EXPECT_NE(bytes.find("\x07TBitmap" + std::string(1, char(kBmp.size())) + "\x00\x00\x00"s + kBmp),
              std::string::npos);
}

TEST_F(SkinTextTest, LooseWritingCompilesToTheSameStreamAfterADecompile) {
    Write("bg.png", kPng);
    const char* text = R"(// a comment before the window
object MainForm : TuForm   // spacing is free
Caption='a' + 'b'#65
Flag = true  Other = FALSE
Color = $FF  Big = -$80000000
Strings = ('x', 'y' 'z',)
Picture.Data = file('bg.png')
Data = { 0a 0B
  0c }
object B: TuImage [ int8( 2 ) ] end
end)";
    auto first = Compile(text);
    ASSERT_TRUE(first.ok()) << first.error();
    auto skin = DecompileSkin(*first);
    ASSERT_TRUE(skin.ok()) << skin.error();
    for (const auto& [name, bytes] : skin->files) Write(name, AsString(bytes));
    auto second = Compile(skin->text);
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_EQ(*second, *first);
    EXPECT_NE(skin->text.find("Caption = 'abA'"), std::string::npos) << skin->text;
}

TEST_F(SkinTextTest, PlainLiteralsTakeTheEncodingTheirValueNeeds) {
    struct Case {
        std::string literal;
        ValueTag tag;
        std::string bytes;
    };
    const Case cases[] = {
        // A Chinese caption is CP936 bytes in a short string, as the Chinese Windows reads it.
        {"'奥罗传奇'", ValueTag::String, "\xB0\xC2\xC2\xDE\xB4\xAB\xC6\xE6"},
        {"''", ValueTag::String, ""},
        {"'a' + 'b'", ValueTag::String, "ab"},
        {"'a'#200", ValueTag::String, "a\xC8"},
        {"'" + std::string(256, 'q') + "'", ValueTag::LString, std::string(256, 'q')},
        {"'😀'", ValueTag::WString, "\x3D\xD8\x00\xDE"s},
        {"'a'#8364", ValueTag::WString, "a\x00\xAC\x20"s},
        {"string('奥')", ValueTag::String, "\xB0\xC2"},
        {"lstring('')", ValueTag::LString, ""},
        {"wstring(#$20AC)", ValueTag::WString, "\xAC\x20"},
        {"utf8('奥'#255)", ValueTag::Utf8String, "\xE5\xA5\xA5\xFF"},
        {"ident('x y')", ValueTag::Ident, "x y"},
        {"clRed", ValueTag::Ident, "clRed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.literal);
        SkinValue v = CompileValue(c.literal);
        EXPECT_EQ(v.tag, c.tag);
        EXPECT_EQ(v.text, c.bytes);
    }
}

TEST_F(SkinTextTest, IntegersTakeTheSmallestTagThatHoldsThem) {
    struct Case {
        const char* literal;
        ValueTag tag;
        std::int64_t value;
    };
    const Case cases[] = {
        {"127", ValueTag::Int8, 127},
        {"-128", ValueTag::Int8, -128},
        {"128", ValueTag::Int16, 128},
        {"-129", ValueTag::Int16, -129},
        {"32768", ValueTag::Int32, 32768},
        {"-$80000000", ValueTag::Int32, INT32_MIN},
        {"2147483648", ValueTag::Int64, 2147483648},
        {"$FFFFFFFF", ValueTag::Int64, 4294967295},
        {"$7FFFFFFFFFFFFFFF", ValueTag::Int64, INT64_MAX},
        {"-9223372036854775808", ValueTag::Int64, INT64_MIN},
        {"int32(1)", ValueTag::Int32, 1},
        {"int8(-$80)", ValueTag::Int8, -128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.literal);
        SkinValue v = CompileValue(c.literal);
        EXPECT_EQ(v.tag, c.tag);
        EXPECT_EQ(v.integer, c.value);
    }
}

TEST_F(SkinTextTest, ErrorsNameTheLineAndColumn) {
    struct Case {
        std::string text;
        const char* expected;
    };
    const std::string deep = "object F: TuForm\n  V = " + std::string(70, '(') + std::string(70, ')') + "\nend";
    const Case cases[] = {
        {"object F: TuForm\n  Left = 1\n  object B: TFoo\n  end\nend", "line 3, column 13: unknown class \"TFoo\""},
        {"object F: TuForm\n  object B: TuImage\n    object C: TuEdit\n    end\n  end\nend",
         "line 3, column 15: unknown class \"TuEdit\""},
        {"object F: TuForm\n  Left = @\nend", "line 2, column 10: unexpected character '@'"},
        {"object F: TuForm\n  Picture.Data = file('nope.png')\nend", "line 2, column 23: cannot read file 'nope.png'"},
        {"object F: TuForm\n  P = picture(TPngImage, 'nope.png')\nend",
         "line 2, column 26: cannot read file 'nope.png'"},
        {"object F: TuForm\n  P = picture(TImage, 'x.png')\nend",
         "line 2, column 15: picture(...) takes a graphic kind"},
        {"object F: TuForm\n  Caption = 'open\nend", "line 2, column 13: string not closed"},
        {"object F: TuForm\n  Left = 1\n", "line 1, column 1: object not closed with end"},
        {"object F: TuForm\n  D = {0A0}\nend", "line 2, column 7: binary value with an odd number"},
        {"object F: TuForm\n  D = int8(300)\nend", "line 2, column 12: number out of range for int8"},
        {"object F: TuForm\n  D = 9223372036854775808\nend", "line 2, column 7: number out of range"},
        {"object F: TuForm\n  L = ('a' null)\nend", "line 2, column 12: null cannot be a list item"},
        {"object F: TuForm\n  object B: TuImage [2] flags(1)\n  end\nend",
         "line 2, column 25: flags(...) and the position"},
        {"object F: TuForm\nend\nend", "line 3, column 1: unexpected 'end' after the window's end"},
        {"object F: TuForm\n  Left 5\nend", "line 2, column 8: expected '=', found number 5"},
        {"object F: TuForm\n  S = string('😀')\nend", "line 2, column 14: the text has no form in the ANSI code page"},
        {"Left = 1", "line 1, column 1: expected the window's object"},
        {deep, "line 2, column "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto out = Compile(c.text);
        ASSERT_FALSE(out.ok());
        EXPECT_EQ(out.error().rfind(c.expected, 0), 0u) << out.error();
    }
    EXPECT_NE(Compile(deep).error().find("nest deeper"), std::string::npos);
    // The window's own class is not checked.
    EXPECT_TRUE(Compile("object F: TAnyForm\nend").ok());
}

TEST_F(SkinTextTest, ReferencedFilesAreLimitedTo64MiB) {
    const auto big = dir_ / "big.bin";
    Write("big.bin", "");
    std::filesystem::resize_file(big, kMaxSkinFile + 1);
    auto out = Compile("object F: TuForm\n  D = file('big.bin')\nend");
    ASSERT_FALSE(out.ok());
    EXPECT_NE(out.error().find("larger than 64 MiB"), std::string::npos) << out.error();
}

TEST_F(SkinTextTest, PictureFileNamesStayShortAndDistinct) {
    // A 250-byte property path of Chinese characters: the name is cut on a character boundary.
    std::string path;
    while (path.size() < 240) path += "奥";
    Write("a.png", kPng);
    auto stream = Compile("object F: TuForm\n  '" + path + "' = file('a.png')\n  '" + path + "' = file('a.png')\nend");
    ASSERT_TRUE(stream.ok()) << stream.error();
    auto skin = DecompileSkin(*stream);
    ASSERT_TRUE(skin.ok()) << skin.error();
    ASSERT_EQ(skin->files.size(), 2u);
    const std::string& first = skin->files[0].first;
    const std::string& second = skin->files[1].first;
    EXPECT_LE(first.size(), 130u);
    EXPECT_EQ(first.substr(first.size() - 4), ".png");
    EXPECT_EQ(first.substr(0, 2 + 3 * 39), "F." + path.substr(0, 3 * 39));
    EXPECT_EQ(second, first.substr(0, first.size() - 4) + "-2.png");
}

TEST_F(SkinTextTest, DecompileRefusesAStreamThatDoesNotReadCompletely) {
    auto stream = Compile("object F: TuForm\n  Caption = 'x'\nend");
    ASSERT_TRUE(stream.ok());
    auto cut = DecompileSkin(ByteView(*stream).first(stream->size() - 1));
    ASSERT_FALSE(cut.ok());
    EXPECT_NE(cut.error().find("does not read"), std::string::npos) << cut.error();
}

}  // namespace
}  // namespace orlo::pack

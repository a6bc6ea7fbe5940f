// The skin's readable text form, in the manner of a Delphi form file, and its translation to and
// from the binary component stream. Decompiling and compiling again gives the very same bytes:
// every value the stream can hold has a text form, the explicit ones (int16(5), wstring('x'),
// extended($...)) only where the plain form would choose another encoding.
//
//   object MainForm: TuForm              inherited/inline instead of object set flags 1/4;
//     Caption = '奥罗传奇'                 `object X: T [3]` gives a position; an object without a
//     Color = clBtnFace                    name is `object T`; `flags(n)` after the header states
//     Font.Style = [fsBold]                the prefix's flags outright (rare: 8, 1+4, or none)
//     Picture.Data = picture(TPngImage, 'bg.png')   ...files relative to the text's folder
//     object StartButton: TuStartBtton
//     end
//   end
//
// Names (objects, classes, property paths, set members) that are not plain identifiers are
// written as string literals with the bytes as they are in the stream ('…' text is taken as
// UTF-8 bytes, #n is one byte); identifier values of that kind, or spelt like a keyword of
// the text form (True, nil, file, ...), as ident('…'). Reals that are not finite are written by
// their bits: single($7FC00000), double($...), date($...); extended($...) gives the 10 bytes in
// stream order.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codec/bytes.h"
#include "codec/result.h"
#include "ui/skin_stream.h"

namespace orlo::pack {

// Files named by file(...) and picture(...) are read from here, each at most this large.
inline constexpr std::size_t kMaxSkinFile = std::size_t(64) << 20;

// The component stream of a text skin. Child objects must be of a registered skin class.
// Errors name the line and column ("line 12, column 5: ...").
Result<Bytes> CompileSkinText(std::string_view text, const std::filesystem::path& base_dir);
// The same, stopping at the model.
Result<ui::SkinObject> ParseSkinText(std::string_view text, const std::filesystem::path& base_dir);

struct DecompiledSkin {
    std::string text;                                  // UTF-8
    std::vector<std::pair<std::string, Bytes>> files;  // pictures, named relative to the text
};
// Refuses a stream that does not read completely.
Result<DecompiledSkin> DecompileSkin(ByteView stream);

}  // namespace orlo::pack

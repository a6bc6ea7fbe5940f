// A skin stream from anywhere: every length, tag, prefix and nesting level comes from the input.
// Whatever reads must write back to the same model, a complete read to the very bytes consumed,
// and its text form must compile to those bytes again.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "skin_text.h"
#include "ui/skin_classes.h"
#include "ui/skin_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orlo;
    const ByteView input(data, size);
    const ui::SkinReadResult read = ui::ReadComponentStream(input, ui::IsRegisteredSkinClass);
    if (read.consumed > size || (!read.complete && read.error.empty())) __builtin_trap();

    const Bytes written = ui::WriteComponentStream(read.root);
    const ui::SkinReadResult again = ui::ReadComponentStream(written);
    if (!again.complete || !(again.root == read.root)) __builtin_trap();
    if (!read.complete) return 0;
    const ByteView consumed = input.first(read.consumed);
    if (!std::equal(written.begin(), written.end(), consumed.begin(), consumed.end())) __builtin_trap();

    auto skin = pack::DecompileSkin(input);
    if (!skin) __builtin_trap();
    // Pictures go to a folder of this process; each one named is written anew before compiling.
    static const auto dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("orlo-fuzz-skin-stream-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    for (const auto& [name, bytes] : skin->files) {
        if (!platform::ReplaceFileContents(dir / platform::PathFromUtf8(name), AsString(bytes))) __builtin_trap();
    }
    auto compiled = pack::CompileSkinText(skin->text, dir);
    if (!compiled || !std::equal(compiled->begin(), compiled->end(), consumed.begin(), consumed.end())) {
        __builtin_trap();
    }
    return 0;
}

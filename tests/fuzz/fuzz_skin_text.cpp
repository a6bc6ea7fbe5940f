// A text skin from anywhere, compiled against an empty folder. What compiles must read back
// completely, and decompiling it must give a text that compiles to the same bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "skin_text.h"
#include "ui/skin_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orlo;
    static const auto root =
        std::filesystem::temp_directory_path() / ("orlo-fuzz-skin-text-" + std::to_string(getpid()));
    static const auto empty = root / "empty";
    static const auto files = root / "files";
    // Decompiled pictures go beside, never into the empty folder the input is compiled against.
    static const bool made = std::filesystem::create_directories(empty) | std::filesystem::create_directories(files);
    (void)made;

    auto stream = pack::CompileSkinText(std::string_view(reinterpret_cast<const char*>(data), size), empty);
    if (!stream) {
        if (stream.error().empty()) __builtin_trap();
        return 0;
    }
    const ui::SkinReadResult read = ui::ReadComponentStream(*stream);
    if (!read.complete || read.consumed != stream->size()) __builtin_trap();

    auto skin = pack::DecompileSkin(*stream);
    if (!skin) __builtin_trap();
    for (const auto& [name, bytes] : skin->files) {
        if (!platform::ReplaceFileContents(files / platform::PathFromUtf8(name), AsString(bytes))) __builtin_trap();
    }
    auto again = pack::CompileSkinText(skin->text, files);
    if (!again || *again != *stream) __builtin_trap();
    return 0;
}

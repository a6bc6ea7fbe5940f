// Time to decipher, inflate, read and bind a packed skin of about 3 MiB holding 40 pictures, on
// whichever platform runs it (the Windows build under Wine makes real windows and decodes the
// pictures). The reference from the same process is inflating the same data alone.
//   skin_load_timing [runs]
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "core/client_app.h"
#include "launcher_image.h"
#include "platform/event_loop.h"
#include "ui/main_form.h"
#include "ui/skin_stream.h"

namespace {

using namespace orlo;
using namespace orlo::ui;
using Clock = std::chrono::steady_clock;

void Chunk(Bytes& png, const char* type, const Bytes& data) {
    for (int s = 24; s >= 0; s -= 8) png.push_back(static_cast<std::uint8_t>(data.size() >> s));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    const uLong crc = crc32(0, body.data(), static_cast<uInt>(body.size()));
    for (int s = 24; s >= 0; s -= 8) png.push_back(static_cast<std::uint8_t>(crc >> s));
}

// An RGBA picture of noise: it barely compresses, like the photographs skins carry.
Bytes NoisePng(int width, int height, std::mt19937& random) {
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width * 4; ++x) raw.push_back(static_cast<std::uint8_t>(random()));
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes idat(size);
    compress(idat.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    idat.resize(size);
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    for (int v : {width, height})
        for (int s = 24; s >= 0; s -= 8) ihdr.push_back(static_cast<std::uint8_t>(v >> s));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", idat);
    Chunk(png, "IEND", {});
    return png;
}

SkinObject BigSkin() {
    std::mt19937 random(7);
    SkinObject root{.class_name = "TuForm", .name = "MainForm"};
    root.properties.push_back({"ClientWidth", {.tag = ValueTag::Int16, .integer = 867}});
    for (int i = 0; i < 40; ++i) {
        SkinObject image{.class_name = "TuImage", .name = "Image" + std::to_string(i)};
        Bytes picture = {9, 'T', 'P', 'n', 'g', 'I', 'm', 'a', 'g', 'e'};
        const Bytes png = NoisePng(168, 120, random);
        picture.insert(picture.end(), png.begin(), png.end());
        image.properties = {{"Left", {.tag = ValueTag::Int16, .integer = (i % 8) * 100}},
                            {"Top", {.tag = ValueTag::Int16, .integer = (i / 8) * 90}},
                            {"Width", {.tag = ValueTag::Int16, .integer = 168}},
                            {"Height", {.tag = ValueTag::Int16, .integer = 120}},
                            {"Picture.Data", {.tag = ValueTag::Binary, .binary = picture}}};
        root.children.push_back(std::move(image));
    }
    for (const char* kind : {"TuStartBtton", "TuCloseButton", "TuInfLable", "TuTreeView", "TuIDEdit", "TuPWEdit"})
        root.children.push_back({.class_name = kind, .name = std::string(kind) + "1"});
    return root;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const Bytes stream = WriteComponentStream(BigSkin());
    const Bytes block = *pack::MakeSkinBlock(stream);
    // The same stream under zlib alone, for the reference.
    uLongf packed_size = compressBound(static_cast<uLong>(stream.size()));
    Bytes packed(packed_size);
    compress(packed.data(), &packed_size, stream.data(), static_cast<uLong>(stream.size()));
    packed.resize(packed_size);

    ClientAppSteps steps = DefaultClientAppSteps();
    steps.read_settings = steps.load_server_list_cache = steps.load_exe_info = steps.save_settings = [] {};
    auto app = std::make_shared<TuClientApp>(steps, platform::MainLoop(), [] {
        CatalogueEnvironment env;
        env.cache_file = "unused";
        return env;
    });

    std::vector<double> whole, reference, decode, read;
    for (int i = 0; i < runs; ++i) {
        {
            auto t0 = Clock::now();
            TMainForm form("bench");
            auto t_decode = Clock::now();
            auto decoded = DecodeSkinBlock(block);
            if (!decoded) return 1;
            auto t_read = Clock::now();
            LoadSkinComponents(form, *decoded);
            read.push_back(Ms(Clock::now() - t_read));
            decode.push_back(Ms(t_read - t_decode));
            BindSkinControls(form, *app);
            whole.push_back(Ms(Clock::now() - t0));
            if (form.ComponentCount() != 46) return 1;
        }
        auto t0 = Clock::now();
        Bytes plain(stream.size());
        uLongf size = static_cast<uLongf>(plain.size());
        uncompress(plain.data(), &size, packed.data(), static_cast<uLong>(packed.size()));
        reference.push_back(Ms(Clock::now() - t0));
    }
    auto median = [](std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double w = median(whole), r = median(reference);
    std::printf("skin block %.2f MiB, stream %.2f MiB, 40 pictures, %d runs\n", block.size() / 1048576.0,
                stream.size() / 1048576.0, runs);
    std::printf("decipher+inflate+read+bind  median %8.2f ms\n", w);
    std::printf("  of which decipher+inflate median %8.2f ms, read into controls %8.2f ms\n", median(decode),
                median(read));
    std::printf("reference: inflate alone    median %8.2f ms   x%.2f of reference\n", r, w / r);
    return 0;
}

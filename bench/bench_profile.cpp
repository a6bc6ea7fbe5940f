// Reading the profile of a 20 MiB signed launcher: probing for the trailer in front of the
// certificate table, reading and deciphering the block twice. The reference reads the same
// trailer and block bytes with no probing and no cipher.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "core/file_reader.h"
#include "core/profile.h"
#include "launcher_image.h"

namespace {

namespace fs = std::filesystem;

struct SignedLauncher {
    fs::path path;
    std::int64_t block_pos = 0;
    std::int64_t trailer_pos = 0;

    SignedLauncher() {
        constexpr std::size_t kImage = 20u << 20;
        orlo::Bytes image(kImage, 0x90);
        std::fill(image.begin(), image.begin() + 1024, 0);
        image[0] = 'M';
        image[1] = 'Z';
        orlo::StoreU32(&image[0x3C], 256);
        image[256] = 'P';
        image[257] = 'E';
        image[280] = 0x0B;
        image[281] = 0x01;
        orlo::StoreU32(&image[280 + 92], 16);
        orlo::pack::PackInput in;
        in.launcher = std::move(image);
        in.profile.sTitle = "奥罗传奇";
        in.kit32 = orlo::Bytes(300000, 0x32);
        in.kit64 = orlo::Bytes(400000, 0x64);
        orlo::Bytes file = std::move(orlo::pack::PackLauncher(std::move(in)).value());
        trailer_pos = std::int64_t(file.size()) - 16;
        block_pos = trailer_pos - 700000 - 2348;
        // Signing: padding to eight bytes, then a certificate table.
        file.resize((file.size() + 7) / 8 * 8, 0);
        const auto cert_offset = static_cast<std::uint32_t>(file.size());
        file.resize(file.size() + 6000, 0x30);
        orlo::StoreU32(&file[408], cert_offset);
        orlo::StoreU32(&file[412], 6000);
        path = fs::temp_directory_path() / "orlo-bench-signed-launcher.exe";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    ~SignedLauncher() { fs::remove(path); }
};

SignedLauncher& Launcher() {
    static SignedLauncher launcher;
    return launcher;
}

// Each launcher start reads its profile once with the trailer search, later reads use the
// tail length found then.
void BM_ReadProfileFirst(benchmark::State& state) {
    Launcher();
    for (auto _ : state) {
        auto profile = orlo::ReadProfileFrom(Launcher().path);
        if (!profile) state.SkipWithError(profile.error().c_str());
        benchmark::DoNotOptimize(profile);
    }
}

void BM_ReadProfileAgain(benchmark::State& state) {
    std::optional<std::int64_t> tail;
    (void)orlo::ReadProfileFrom(Launcher().path, &tail);
    for (auto _ : state) benchmark::DoNotOptimize(orlo::ReadProfileFrom(Launcher().path, &tail));
}

void BM_ReadBlockReference(benchmark::State& state) {
    Launcher();  // made outside the timed loop
    for (auto _ : state) {
        orlo::FileReader file(Launcher().path);
        benchmark::DoNotOptimize(file.ReadAt(Launcher().trailer_pos, 16));
        benchmark::DoNotOptimize(file.ReadAt(Launcher().block_pos, 2348));
    }
}

}  // namespace

BENCHMARK(BM_ReadBlockReference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadProfileFirst)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadProfileAgain)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();

// Throughput of the codecs that see whole files: server list (XXTEA), profile, skin and cache
// (pass-phrase cipher), and MD5 over package-sized inputs.
#include <benchmark/benchmark.h>

#include <random>

#include "codec/blowfish_phrase.h"
#include "codec/digest.h"
#include "codec/secrets.h"
#include "codec/xxtea.h"

namespace {

const orlo::Bytes kKey = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};

orlo::Bytes Input(std::size_t size) {
    std::mt19937 rng(1);
    orlo::Bytes out(size);
    for (auto& b : out) b = static_cast<std::uint8_t>(rng());
    return out;
}

void Report(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_XXTeaEncrypt(benchmark::State& state) {
    const orlo::Bytes data = Input(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(orlo::XXTeaEncrypt(data, kKey));
    Report(state);
}

void BM_XXTeaDecrypt(benchmark::State& state) {
    const orlo::Bytes cipher = orlo::XXTeaEncrypt(Input(static_cast<std::size_t>(state.range(0))), kKey);
    for (auto _ : state) benchmark::DoNotOptimize(orlo::XXTeaDecrypt(cipher, kKey));
    Report(state);
}

void BM_BlowfishEncryptBytes(benchmark::State& state) {
    const orlo::Bytes data = Input(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(orlo::BlowfishEncryptBytes(data, orlo::secrets::kSharedPhrase));
    Report(state);
}

void BM_BlowfishDecryptBytes(benchmark::State& state) {
    const orlo::Bytes cipher =
        orlo::BlowfishEncryptBytes(Input(static_cast<std::size_t>(state.range(0))), orlo::secrets::kSharedPhrase);
    for (auto _ : state) benchmark::DoNotOptimize(orlo::BlowfishDecryptBytes(cipher, orlo::secrets::kSharedPhrase));
    Report(state);
}

void BM_Md5Hex(benchmark::State& state) {
    const orlo::Bytes data = Input(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(orlo::Md5Hex(data, orlo::HexCase::Lower));
    Report(state);
}

// The floor any byte-wise transform pays: one pass that reads and writes every byte.
void BM_CopyReference(benchmark::State& state) {
    const orlo::Bytes data = Input(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(orlo::Bytes(data));
    Report(state);
}

constexpr std::int64_t kMiB = 1 << 20;

}  // namespace

BENCHMARK(BM_CopyReference)->Arg(kMiB)->Arg(64 * kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XXTeaEncrypt)->Arg(kMiB)->Arg(64 * kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XXTeaDecrypt)->Arg(kMiB)->Arg(64 * kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlowfishEncryptBytes)->Arg(kMiB)->Arg(64 * kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlowfishDecryptBytes)->Arg(kMiB)->Arg(64 * kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Md5Hex)->Arg(kMiB)->Arg(64 * kMiB)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

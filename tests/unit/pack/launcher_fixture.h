// Launcher files made the way orlo-pack makes them, plus hand-built PE headers and
// certificate tables standing in for a code-signing tool.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "core/file_reader.h"
#include "core/profile_record.h"
#include "launcher_image.h"

namespace orlo::testing {

enum class PeKind { None, Pe32At256, Pe32PlusAt128 };

// A fake program image: a PE header of the given kind, then filler.
inline Bytes FakeImage(PeKind kind, std::size_t size = 8192) {
    Bytes image(size, 0xCC);
    if (kind == PeKind::None) return image;
    const std::uint32_t pe = kind == PeKind::Pe32At256 ? 256 : 128;
    std::fill(image.begin(), image.begin() + 1024, 0);
    image[0] = 'M';
    image[1] = 'Z';
    StoreU32(&image[0x3C], pe);
    image[pe] = 'P';
    image[pe + 1] = 'E';
    const std::uint32_t opt = pe + 24;
    const bool plus = kind == PeKind::Pe32PlusAt128;
    image[opt] = 0x0B;
    image[opt + 1] = plus ? 0x02 : 0x01;
    StoreU32(&image[opt + (plus ? 108 : 92)], 16);  // NumberOfRvaAndSizes
    return image;
}

inline std::size_t CertificateEntry(PeKind kind) { return kind == PeKind::Pe32At256 ? 408 : 128 + 24 + 112 + 32; }

// What signing does to a file: alignment padding, the certificate table, and the header
// entry pointing at it.
inline void AppendCertificate(Bytes& file, PeKind kind, std::size_t padding, std::size_t table_size) {
    file.insert(file.end(), padding, 0);
    const auto offset = static_cast<std::uint32_t>(file.size());
    std::mt19937 rng(42);
    for (std::size_t i = 0; i < table_size; ++i) file.push_back(static_cast<std::uint8_t>(rng()));
    StoreU32(&file[CertificateEntry(kind)], offset);
    StoreU32(&file[CertificateEntry(kind) + 4], static_cast<std::uint32_t>(table_size));
}

inline AExecutableStructure SampleProfile() {
    AExecutableStructure p;
    p.sReserved = "reserved";
    p.sTitle = "奥罗传奇 测试";
    p.ServerListURL = "http://127.0.0.1:8600";
    p.ServerListURL2 = "http://127.0.0.1:8600/b1";
    p.ServerListURL3 = "http://127.0.0.1:8600/b2";
    p.sAppName = "OrloTest";
    p.sHomePage = "http://home";
    p.sConfigAddress = "http://config";
    p.sGameAddress = "http://game/modlist";
    p.sSignKey = "sign-key";
    p.nGMNum = -12345;
    p.nGMChannel = 7;
    p.sPlatform = "plat";
    p.sCpGameId = "cp";
    p.sSubject = "科目";
    p.sGameId = "g1";
    p.sAgentId = "a1";
    p.sPlaceId = "p1";
    p.sPromoteId = "pr1";
    p.sSdkAppId = std::string(255, 'i');
    p.sSdkAppKey = "key";
    p.sSdkChannel = "chan";
    return p;
}

inline Bytes Packed(Bytes image, const AExecutableStructure& profile, std::size_t kit32 = 0, std::size_t kit64 = 0) {
    pack::PackInput in;
    in.launcher = std::move(image);
    in.profile = profile;
    in.kit32 = Bytes(kit32, 0x32);
    in.kit64 = Bytes(kit64, 0x64);
    auto out = pack::PackLauncher(std::move(in));
    EXPECT_TRUE(out.ok()) << out.error();
    return out.ok() ? out.value() : Bytes();
}

class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("orlo-test-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path Write(const std::string& name, const Bytes& bytes) const {
        auto p = path_ / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return p;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace orlo::testing

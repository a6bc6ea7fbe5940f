#include <gtest/gtest.h>

#include "core/profile.h"
#include "launcher_fixture.h"

namespace orlo {
namespace {

using testing::AppendCertificate;
using testing::FakeImage;
using testing::Packed;
using testing::PeKind;
using testing::SampleProfile;
using testing::TempDir;

TEST(LauncherProfile, UnsignedFileKeepsBlockJustBeforeTrailer) {
    TempDir dir;
    Bytes file = Packed(FakeImage(PeKind::Pe32At256), SampleProfile());
    auto path = dir.Write("launcher.exe", file);
    FileReader reader(path);
    EXPECT_EQ(FindTrailer(reader), 0);
    auto loc = LocateProfile(reader, 0);
    ASSERT_TRUE(loc.ok()) << loc.error();
    EXPECT_EQ(loc->block_pos, std::int64_t(file.size() - 16 - 2348));
    EXPECT_EQ(loc->trailer.nImageSize, 8192u);
    auto profile = ReadProfileFrom(path);
    ASSERT_TRUE(profile.ok()) << profile.error();
    EXPECT_EQ(*profile, SampleProfile());
}

TEST(LauncherProfile, KitArchivesMoveTheBlockTowardsTheStart) {
    TempDir dir;
    Bytes file = Packed(FakeImage(PeKind::Pe32At256), SampleProfile(), 1000, 2000);
    auto path = dir.Write("launcher.exe", file);
    FileReader reader(path);
    auto loc = LocateProfile(reader, 0);
    ASSERT_TRUE(loc.ok());
    EXPECT_EQ(loc->trailer.nKit32Size, 1000u);
    EXPECT_EQ(loc->trailer.nKit64Size, 2000u);
    EXPECT_EQ(loc->block_pos, std::int64_t(file.size() - 16 - 3000 - 2348));
    auto profile = ReadProfileFrom(path);
    ASSERT_TRUE(profile.ok()) << profile.error();
    EXPECT_EQ(profile->sTitle, "奥罗传奇 测试");
}

struct SignedCase {
    PeKind kind;
    std::size_t padding;
};

class SignedLauncher : public ::testing::TestWithParam<SignedCase> {};

// Signing appends 0 to 7 bytes of padding and the certificate table; the trailer is then
// found by probing back from the table, and the block is read from where it was before.
TEST_P(SignedLauncher, ProfileIsFoundBeforeTheCertificateTable) {
    TempDir dir;
    const auto [kind, padding] = GetParam();
    Bytes file = Packed(FakeImage(kind), SampleProfile(), 1000, 0);
    const std::int64_t unsigned_size = std::int64_t(file.size());
    AppendCertificate(file, kind, padding, 1500);
    auto path = dir.Write("signed.exe", file);
    FileReader reader(path);
    EXPECT_EQ(FindTrailer(reader), std::int64_t(padding + 1500));
    std::optional<std::int64_t> tail;
    auto profile = ReadProfileFrom(path, &tail);
    ASSERT_TRUE(profile.ok()) << profile.error();
    EXPECT_EQ(*profile, SampleProfile());
    auto loc = LocateProfile(reader, *tail);
    ASSERT_TRUE(loc.ok());
    EXPECT_EQ(loc->block_pos, unsigned_size - 16 - 1000 - 2348);
}

INSTANTIATE_TEST_SUITE_P(Padding,
                         SignedLauncher,
                         ::testing::Values(SignedCase{PeKind::Pe32At256, 0},
                                           SignedCase{PeKind::Pe32At256, 3},
                                           SignedCase{PeKind::Pe32At256, 7},
                                           SignedCase{PeKind::Pe32PlusAt128, 0},
                                           SignedCase{PeKind::Pe32PlusAt128, 5}),
                         [](const ::testing::TestParamInfo<SignedCase>& info) {
                             return std::string(info.param.kind == PeKind::Pe32At256 ? "Pe32" : "Pe32Plus") +
                                    "_padding" + std::to_string(info.param.padding);
                         });

TEST(LauncherProfile, CertificateEntryPointingOutsideTheFileReadsAsUnsigned) {
    TempDir dir;
    Bytes file = Packed(FakeImage(PeKind::Pe32At256), SampleProfile());
    struct Case {
        std::uint32_t offset, size;
    };
    for (Case c : {Case{0x7FFFFFF0, 0x100}, Case{16, 0x7FFFFFFF}, Case{100, 50}, Case{0xFFFFFFFF, 4}}) {
        SCOPED_TRACE(c.offset);
        Bytes bent = file;
        StoreU32(&bent[408], c.offset);
        StoreU32(&bent[412], c.size);
        auto path = dir.Write("bent.exe", bent);
        FileReader reader(path);
        std::int64_t tail = FindTrailer(reader);
        EXPECT_GE(tail, 0);
        EXPECT_LE(tail, reader.size());
        // The trailer still sits at the end, so the profile reads as for an unsigned file.
        auto profile = ReadProfileFrom(path);
        ASSERT_TRUE(profile.ok()) << profile.error();
        EXPECT_EQ(profile->sTitle, SampleProfile().sTitle);
    }
}

TEST(LauncherProfile, DamagedOrForeignFilesFailWithoutReadingOutside) {
    TempDir dir;
    Bytes good = Packed(FakeImage(PeKind::Pe32At256), SampleProfile());
    std::vector<std::pair<std::string, Bytes>> cases;
    for (std::size_t cut : {std::size_t(0), std::size_t(3), std::size_t(16), std::size_t(2000), good.size() - 1}) {
        cases.emplace_back("truncated to " + std::to_string(cut), Bytes(good.begin(), good.begin() + cut));
    }
    cases.emplace_back("no appended data", FakeImage(PeKind::Pe32At256));
    Bytes huge_kits = good;
    StoreU32(&huge_kits[huge_kits.size() - 12], 0xFFFFFFF0);
    cases.emplace_back("kit size beyond the file", huge_kits);
    Bytes noise(5000);
    std::mt19937 rng(7);
    for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
    StoreU32(&noise[noise.size() - 4], kTrailerFlag);
    cases.emplace_back("noise with a trailer flag", noise);
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        auto profile = ReadProfileFrom(dir.Write("bad.exe", bytes));
        EXPECT_FALSE(profile.ok());
        EXPECT_FALSE(profile.error().empty());
    }
    EXPECT_FALSE(ReadProfileFrom(dir.path() / "missing.exe").ok());
}

TEST(LauncherProfile, BlockIsTheRecordEncipheredTwice) {
    auto record = EncodeProfileRecord(SampleProfile());
    ASSERT_TRUE(record.ok());
    Bytes block = EncipherProfileBlock(*record);
    EXPECT_EQ(block.size(), kProfileBlockSize);
    auto back = DecipherProfileBlock(block);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(*back, *record);
}

}  // namespace
}  // namespace orlo

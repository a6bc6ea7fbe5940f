#include <gtest/gtest.h>

#include "core/profile.h"
#include "launcher_fixture.h"

namespace orlo {
namespace {

using testing::FakeImage;
using testing::PeKind;

pack::PackInput Input(Bytes launcher) {
    pack::PackInput in;
    in.launcher = std::move(launcher);
    in.profile = testing::SampleProfile();
    return in;
}

TEST(PackLauncher, RefusesASignedLauncher) {
    Bytes image = FakeImage(PeKind::Pe32At256);
    testing::AppendCertificate(image, PeKind::Pe32At256, 0, 300);
    auto out = pack::PackLauncher(Input(image));
    ASSERT_FALSE(out.ok());
    EXPECT_NE(out.error().find("signed"), std::string::npos);
}

TEST(PackLauncher, ReplacingAProfileKeepsTheImageAndDropsTheOldData) {
    Bytes image = FakeImage(PeKind::Pe32At256);
    Bytes first = testing::Packed(image, testing::SampleProfile(), 100, 200);
    auto refused = pack::PackLauncher(Input(first));
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().find("--replace"), std::string::npos);

    auto in = Input(first);
    in.replace = true;
    in.profile.sTitle = "second";
    auto second = pack::PackLauncher(std::move(in));
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_EQ(second->size(), image.size() + 2348 + 16);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), second->begin()));
}

TEST(PackLauncher, SkinBlockPositionIsRecordedInTheProfile) {
    testing::TempDir dir;
    Bytes image = FakeImage(PeKind::Pe32At256);
    auto in = Input(image);
    std::string stream = "TPF0" + std::string(5000, 'a');
    in.skin_stream = Bytes(stream.begin(), stream.end());
    auto out = pack::PackLauncher(std::move(in));
    ASSERT_TRUE(out.ok()) << out.error();
    auto profile = ReadProfileFrom(dir.Write("skinned.exe", *out));
    ASSERT_TRUE(profile.ok()) << profile.error();
    EXPECT_EQ(profile->nSkinOffset, std::int32_t(image.size()));
    EXPECT_GT(profile->nSkinSize, 8);
    EXPECT_LT(profile->nSkinSize, 5000);  // compressed

    auto not_a_stream = Input(image);
    not_a_stream.skin_stream = Bytes(100, 'x');
    EXPECT_FALSE(pack::PackLauncher(std::move(not_a_stream)).ok());
}

}  // namespace
}  // namespace orlo

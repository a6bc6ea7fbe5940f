#include <gtest/gtest.h>

#include "core/file_reader.h"
#include "core/profile_record.h"
#include "launcher_fixture.h"
#include "platform/codepage.h"
#include "profile_json.h"

namespace orlo {
namespace {

TEST(ProfileRecord, FieldsSitAtTheirOffsetsInAnsi) {
    auto profile = testing::SampleProfile();
    profile.sTitle = "奥罗";
    auto record = EncodeProfileRecord(profile);
    ASSERT_TRUE(record.ok()) << record.error();
    ASSERT_EQ(record->size(), kProfileRecordSize);
    const std::string ansi_title = *platform::Utf8ToAnsi("奥罗");
    EXPECT_EQ((*record)[101], ansi_title.size());
    EXPECT_EQ(std::string(record->begin() + 102, record->begin() + 102 + 4), ansi_title);
    EXPECT_EQ(static_cast<std::int32_t>(LoadU32(&(*record)[1408])), -12345);
    EXPECT_EQ(LoadU32(&(*record)[1412]), 7u);
    EXPECT_EQ((*record)[1563], 255);  // sSdkAppId, filled to capacity
}

TEST(ProfileRecord, EveryFieldRoundTrips) {
    auto profile = testing::SampleProfile();
    profile.sTitle = std::string(100, 'T');  // a title of 100 characters is used whole
    profile.nSkinOffset = 123456;
    profile.nSkinSize = 7890;
    auto record = EncodeProfileRecord(profile);
    ASSERT_TRUE(record.ok()) << record.error();
    auto back = DecodeProfileRecord(*record);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_EQ(*back, profile);
}

TEST(ProfileRecord, RefusesTextsThatDoNotFit) {
    struct Case {
        const char* what;
        std::string AExecutableStructure::*field;
        std::string value;
        const char* named;
    };
    const Case cases[] = {
        {"title one byte too long", &AExecutableStructure::sTitle, std::string(101, 'x'), "sTitle"},
        {"app name of 11 Chinese characters (22 ANSI bytes)", &AExecutableStructure::sAppName, "一二三四五六七八九十一",
         "sAppName"},
        {"character outside the code page", &AExecutableStructure::sSubject, "\xF0\x9F\x98\x80", "sSubject"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto profile = testing::SampleProfile();
        profile.*c.field = c.value;
        auto record = EncodeProfileRecord(profile);
        ASSERT_FALSE(record.ok());
        EXPECT_NE(record.error().find(c.named), std::string::npos) << record.error();
    }
}

TEST(ProfileRecord, LengthBeyondCapacityIsNotARecord) {
    auto record = EncodeProfileRecord(testing::SampleProfile());
    ASSERT_TRUE(record.ok());
    Bytes bad = *record;
    bad[980] = 21;  // sAppName is string[20]
    EXPECT_FALSE(DecodeProfileRecord(bad).ok());
    EXPECT_FALSE(DecodeProfileRecord(ByteView(record->data(), 100)).ok());
}

TEST(ProfileDescription, JsonRoundTripsEveryField) {
    auto profile = testing::SampleProfile();
    auto json = pack::ProfileToJson(profile);
    EXPECT_EQ(json.size(), ProfileFields().size());
    auto back = pack::ProfileFromJson(nlohmann::json::parse(json.dump()));
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_EQ(*back, profile);
}

TEST(ProfileDescription, RejectsUnknownKeysWrongTypesAndTitlesThatCannotNameFiles) {
    for (const char* text :
         {R"({"sTitel": "x"})", R"({"nGMNum": "12"})", R"({"sTitle": 5})", R"({"nGMNum": 4294967296})", R"([1, 2])",
          R"({"sTitle": "a/b"})", R"({"sTitle": "..\\up"})", R"({"sTitle": "what?"})"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(pack::ProfileFromJson(nlohmann::json::parse(text)).ok());
    }
}

}  // namespace
}  // namespace orlo

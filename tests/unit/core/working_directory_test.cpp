#include <gtest/gtest.h>

#include "core/startup.h"
#include "platform/files.h"
#include "platform/system.h"

namespace orlo {
namespace {

TEST(WorkingDirectory, StartedElsewhereTheLauncherWorksFromItsOwnDirectory) {
    const auto before = platform::CurrentDirectory();
    ASSERT_TRUE(platform::SetCurrentDirectory(platform::TempDirectory()));
    UseExecutableDirectory();
    EXPECT_TRUE(std::filesystem::equivalent(platform::CurrentDirectory(), platform::ExecutablePath().parent_path()));
    platform::SetCurrentDirectory(before);
}

}  // namespace
}  // namespace orlo

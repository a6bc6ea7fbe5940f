#include <gtest/gtest.h>

#include "core/relocation.h"
#include "core/single_instance.h"

namespace orlo {
namespace {

TEST(Relocation, DriveOfAPath) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Games\\launcher.exe", "C:"},
        {"d:/Orlom2/launcher.exe", "d:"},
        {"\\\\server\\share\\launcher.exe", "\\\\server\\share"},
        {"/usr/bin/launcher", ""},
        {"", ""},
    };
    for (const auto& [path, drive] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ExtractFileDrive(path), drive);
    }
}

TEST(Relocation, BatchDeletesTheOldFileUntilItIsReleasedThenStartsTheCopy) {
    EXPECT_EQ(RestartBatchText("C:\\Games\\登录器.exe", "D:/Orlom2/登录器.exe", false),
              ":DelMySelf\r\n"
              "del \"C:\\Games\\登录器.exe\"\r\n"
              "if exist \"C:\\Games\\登录器.exe\" goto DelMySelf\r\n"
              "\"D:/Orlom2/登录器.exe\"\r\n");
    // A launcher run from the temporary folder (a download) is left where it is.
    EXPECT_EQ(RestartBatchText("C:\\Temp\\x.exe", "D:/Orlom2/x.exe", true), "\"D:/Orlom2/x.exe\"\r\n");
}

TEST(SingleInstance, MutexIsNamedAfterTheTitle) { EXPECT_EQ(InstanceMutexName("奥罗传奇"), "_Orlo_LOGIN_奥罗传奇"); }

}  // namespace
}  // namespace orlo

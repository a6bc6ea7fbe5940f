#include <windows.h>
#include <shlobj.h>

// windows.h maps this name to SetCurrentDirectoryW; ours must keep its own name.
#undef SetCurrentDirectory

#include "platform/files.h"
#include "platform/backend.h"
#include "platform/system.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

#include <cstdio>
#include <mutex>
#include <vector>

namespace orlo::platform {
namespace {

std::wstring SystemDirectory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return std::wstring(buffer, n);
}

bool IsBatchFile(const std::filesystem::path& program) {
    auto ext = program.extension().wstring();
    for (auto& c : ext) c = static_cast<wchar_t>(towlower(c));
    return ext == L".bat" || ext == L".cmd";
}

}  // namespace

std::uint32_t TickCount() { return GetTickCount(); }

std::string LocalDateTimeText() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return text;
}

bool NamedMutexExists(std::string_view name) {
    win32::UniqueHandle h(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, win32::Widen(name).c_str()));
    return static_cast<bool>(h);
}

void CreateNamedMutex(std::string_view name) {
    // Kept open until the process ends; the system releases the name then.
    static std::mutex mutex;
    static std::vector<win32::UniqueHandle> held;
    win32::UniqueHandle h(CreateMutexW(nullptr, FALSE, win32::Widen(name).c_str()));
    if (!h) return;
    std::lock_guard lock(mutex);
    held.push_back(std::move(h));
}

std::string SystemDrive() {
    auto dir = SystemDirectory();
    if (dir.empty()) return {};
    return win32::Narrow(std::wstring(1, dir[0]) + L":");
}

bool IsFixedDrive(std::string_view root) {
    auto wide = win32::Widen(root);
    for (auto& c : wide)
        if (c == L'/') c = L'\\';
    if (!wide.empty() && wide.back() != L'\\') wide += L'\\';
    return GetDriveTypeW(wide.c_str()) == DRIVE_FIXED;
}

std::optional<std::filesystem::path> NewTempFile(std::string_view prefix) {
    auto dir = TempDirectory().wstring();
    wchar_t name[MAX_PATH + 1] = {};
    if (GetTempFileNameW(dir.c_str(), win32::Widen(prefix).c_str(), 0, name) == 0) return std::nullopt;
    return std::filesystem::path(std::wstring(name));
}

bool StartHiddenIdle(const std::filesystem::path& program, const std::filesystem::path& working_dir) {
    std::wstring application;
    std::wstring command;
    if (IsBatchFile(program)) {
        // The interpreter strips the outer pair of quotes, so the path keeps its own even when
        // it holds blanks or parentheses.
        auto system = SystemDirectory();
        if (!system.empty()) application = system + L"\\cmd.exe";
        command = L"cmd.exe /c \"\"" + program.wstring() + L"\"\"";
    } else {
        application = program.wstring();
        command = L"\"" + program.wstring() + L"\"";
    }
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi = {};
    std::wstring dir = working_dir.wstring();
    BOOL ok =
        CreateProcessW(application.empty() ? nullptr : application.c_str(), command.data(), nullptr, nullptr, FALSE,
                       IDLE_PRIORITY_CLASS | CREATE_NO_WINDOW, nullptr, dir.empty() ? nullptr : dir.c_str(), &si, &pi);
    if (!ok) return false;
    win32::UniqueHandle process(pi.hProcess);
    win32::UniqueHandle thread(pi.hThread);
    return true;
}

void NotifyAssociationsChanged() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

std::optional<Bytes> ExecutableResource(std::string_view name) {
    auto wide = win32::Widen(name);
    HRSRC info = FindResourceW(nullptr, wide.c_str(), RT_RCDATA);
    if (!info) return std::nullopt;
    HGLOBAL loaded = LoadResource(nullptr, info);
    if (!loaded) return std::nullopt;
    auto* data = static_cast<const std::uint8_t*>(LockResource(loaded));
    DWORD size = SizeofResource(nullptr, info);
    if (!data && size > 0) return std::nullopt;
    return Bytes(data, data + size);
}

std::filesystem::path CurrentDirectory() {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::wstring buffer(n, L'\0');
    DWORD m = GetCurrentDirectoryW(n, buffer.data());
    if (m == 0 || m >= n) return {};
    buffer.resize(m);
    return std::filesystem::path(buffer);
}

bool SetCurrentDirectory(const std::filesystem::path& dir) { return SetCurrentDirectoryW(dir.c_str()) != 0; }

void ShowMessageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    backend::RecordMessageBox(text, caption, icon);
    UINT type = MB_OK;
    switch (icon) {
        case MessageIcon::Error:
            type |= MB_ICONERROR;
            break;
        case MessageIcon::Warning:
            type |= MB_ICONWARNING;
            break;
        case MessageIcon::Information:
            type |= MB_ICONINFORMATION;
            break;
    }
    MessageBoxW(GetActiveWindow(), win32::Widen(text).c_str(), win32::Widen(caption).c_str(), type);
}

std::optional<std::uint32_t> ProcessExitCode(std::uint64_t process) {
    DWORD code = 0;
    if (!GetExitCodeProcess(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(process)), &code)) return std::nullopt;
    return code;
}

void CloseProcessHandle(std::uint64_t process) {
    // Not through UniqueHandle: the handle may be stale and closing it is allowed to fail.
    CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(process)));
}

}  // namespace orlo::platform

#include "core/relocation.h"

#include <cctype>
#include <random>
#include <system_error>

#include "core/format.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/system.h"

namespace orlo {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::string FreshGuidHex() {
    std::random_device rd;
    std::string hex;
    for (int i = 0; i < 4; ++i) hex += Sprintf("%08X", static_cast<unsigned>(rd()));
    return hex;
}

}  // namespace

std::string ExtractFileDrive(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
    if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/')) {
        // \\server\share: up to the separator after the share name.
        std::size_t seps = 0;
        for (std::size_t i = 2; i < path.size(); ++i) {
            if ((path[i] == '\\' || path[i] == '/') && ++seps == 2) return std::string(path.substr(0, i));
        }
        return std::string(path);
    }
    return std::string();
}

std::string RestartBatchText(std::string_view old_path, std::string_view new_path, bool old_in_temp) {
    std::string text;
    if (!old_in_temp) {
        text += ":DelMySelf\r\n";
        text += Sprintf("del \"%.*s\"\r\n", static_cast<int>(old_path.size()), old_path.data());
        text += Sprintf("if exist \"%.*s\" goto DelMySelf\r\n", static_cast<int>(old_path.size()), old_path.data());
    }
    text += Sprintf("\"%.*s\"\r\n", static_cast<int>(new_path.size()), new_path.data());
    return text;
}

bool WriteRestartBatch(const std::string& folder, const std::string& file_name) {
    const std::string old_path = platform::PathToUtf8(platform::ExecutablePath());
    const std::string temp = platform::PathToUtf8(platform::TempDirectory());
    const std::string batch = temp + "\\" + FreshGuidHex() + ".bat";
    const std::string text = RestartBatchText(old_path, folder + file_name, old_path.find(temp) != std::string::npos);
    // cmd.exe reads the batch in the ANSI code page.
    if (!platform::ReplaceFileContents(platform::PathFromUtf8(batch), platform::Utf8ToAnsiLossy(text))) return false;
    return platform::StartHiddenIdle(platform::PathFromUtf8(batch), platform::PathFromUtf8(folder));
}

bool RelocateFromSystemDrive() {
    const std::filesystem::path exe = platform::ExecutablePath();
    const std::string exe_text = platform::PathToUtf8(exe);
    const std::string system_drive = platform::SystemDrive();
    if (system_drive.empty() || Lower(ExtractFileDrive(exe_text)) != Lower(system_drive)) return false;

    std::string root;
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        if (std::tolower(letter) == std::tolower(system_drive[0])) continue;
        const std::string candidate = std::string(1, letter) + ":/";
        if (platform::IsFixedDrive(candidate)) {
            root = candidate;
            break;
        }
    }
    if (root.empty()) return false;

    const std::string folder = root + "Orlom2/";
    const std::string file_name = platform::PathToUtf8(exe.filename());
    std::error_code ec;
    std::filesystem::create_directories(platform::PathFromUtf8(folder), ec);
    if (!std::filesystem::copy_file(exe, platform::PathFromUtf8(folder + file_name),
                                    std::filesystem::copy_options::overwrite_existing, ec)) {
        return false;
    }
    // The copy is made: the launcher ends even when the batch cannot be started (there is no
    // better outcome than a copy the player can start by hand).
    WriteRestartBatch(folder, file_name);
    platform::NotifyAssociationsChanged();
    return true;
}

}  // namespace orlo

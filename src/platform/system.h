// Small queries and actions on the operating system that start-up needs.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/bytes.h"

namespace orlo::platform {

// Milliseconds since the system started, wrapping at 2^32 like GetTickCount.
std::uint32_t TickCount();

// Local date and time as "YYYY-MM-DD HH:MM:SS".
std::string LocalDateTimeText();

// True when a mutex of that name exists (opened with full access, not inherited).
bool NamedMutexExists(std::string_view name);
// Creates the mutex without taking it; it lives until the process ends. Failure is ignored.
void CreateNamedMutex(std::string_view name);

// The system drive, e.g. "C:" (the first letter of the system directory and a colon).
// Empty where the system has no drive letters.
std::string SystemDrive();
// Whether the root, e.g. "D:/", is a fixed drive.
bool IsFixedDrive(std::string_view root);

// A new empty file in the temporary directory, named by the system with the prefix.
std::optional<std::filesystem::path> NewTempFile(std::string_view prefix);

// Starts a program hidden, at idle priority, in the working directory. A batch file (".bat")
// is started through the command interpreter.
bool StartHiddenIdle(const std::filesystem::path& program, const std::filesystem::path& working_dir);

// Tells the shell that file associations changed (it refreshes icons and links).
void NotifyAssociationsChanged();

// A raw-data resource of the running executable.
std::optional<Bytes> ExecutableResource(std::string_view name);

// The process's current directory, and setting it.
std::filesystem::path CurrentDirectory();
bool SetCurrentDirectory(const std::filesystem::path& dir);

// A started process's exit code, 259 while it still runs; none when the handle is no process.
std::optional<std::uint32_t> ProcessExitCode(std::uint64_t process);
// Errors (a handle no longer valid) are ignored.
void CloseProcessHandle(std::uint64_t process);

enum class MessageIcon { Error, Warning, Information };
// A modal message box, with the error, warning or information icon. The headless build prints
// it to stderr instead of waiting for a click. Both record it for tests.
void ShowMessageBox(std::string_view text, std::string_view caption, MessageIcon icon);

struct RecordedMessageBox {
    std::string text;
    std::string caption;
    MessageIcon icon;
};
std::vector<RecordedMessageBox> RecordedMessageBoxes();

}  // namespace orlo::platform

// A launcher started from the system drive moves itself to "Orlom2/" on another fixed drive
// and restarts from there through a batch file.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace orlo {

// "C:" for a drive path, "\\server\share" for a network path, empty otherwise.
std::string ExtractFileDrive(std::string_view path);

// The batch text: delete the old file until the running launcher has released it (unless
// it lies in the temporary folder), then start the new one. Lines end with CR LF.
std::string RestartBatchText(std::string_view old_path, std::string_view new_path, bool old_in_temp);

// Writes the batch into the temporary folder under a fresh 32-digit name and starts it hidden
// at idle priority in `folder`. False when it could not be written or started.
bool WriteRestartBatch(const std::string& folder, const std::string& file_name);

// True when the launcher copied itself and scheduled its restart: it is then to end.
bool RelocateFromSystemDrive();

}  // namespace orlo

// Files in the program folder as the tests check them: write times, paths, the stand-ins' start records.
#pragma once

#include <windows.h>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>


namespace torvane::e2e {

std::optional<FILETIME> LastWriteTime(const std::filesystem::path& file);
// Case-insensitive comparison of two Windows paths after normalising them.
bool SamePath(const std::filesystem::path& a, const std::filesystem::path& b);

// One start record that a stand-in decoder appends to its log (zbarcam.log,
// zbarimg.log) in its own folder; a record still being written (no "ready"
// yet) does not count.
struct StandInStart {
  DWORD processId = 0;
  std::string cwd;
  std::string commandLine;
  int argc = -1;  // arguments, without the program name
  std::vector<std::string> args;
  std::string stdoutKind;  // "file", "pipe", "char" or "none"
};
std::vector<StandInStart> StandInStarts(const std::filesystem::path& log);

}  // namespace torvane::e2e

#include "harness.h"
#include <sstream>

namespace torvane::e2e {

namespace fs = std::filesystem;

std::optional<FILETIME> LastWriteTime(const fs::path& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return data.ftLastWriteTime;
}

bool SamePath(const fs::path& a, const fs::path& b) {
  std::wstring na = a.lexically_normal().wstring(), nb = b.lexically_normal().wstring();
  while (na.size() > 3 && (na.back() == L'\\' || na.back() == L'/')) na.pop_back();
  while (nb.size() > 3 && (nb.back() == L'\\' || nb.back() == L'/')) nb.pop_back();
  return CompareStringOrdinal(na.c_str(), static_cast<int>(na.size()), nb.c_str(), static_cast<int>(nb.size()),
                              TRUE) == CSTR_EQUAL;
}

std::vector<StandInStart> StandInStarts(const fs::path& log) {
  std::vector<StandInStart> starts;
  std::istringstream lines(ReadFileBytes(log));
  std::string line;
  bool complete = false;
  while (std::getline(lines, line)) {
    const auto space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (key == "start") {
      starts.push_back({});
      starts.back().processId = static_cast<DWORD>(std::atoll(value.c_str()));
      complete = false;
    } else if (starts.empty()) {
      continue;
    } else if (key == "cwd") {
      starts.back().cwd = value;
    } else if (key == "cmdline") {
      starts.back().commandLine = value;
    } else if (key == "argc") {
      starts.back().argc = std::atoi(value.c_str());
    } else if (key == "arg") {
      starts.back().args.push_back(value);
    } else if (key == "stdout") {
      starts.back().stdoutKind = value;
    } else if (key == "ready") {
      complete = true;
    }
  }
  if (!starts.empty() && !complete) starts.pop_back();
  return starts;
}

}  // namespace torvane::e2e

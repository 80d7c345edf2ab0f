#include "shared_files.h"

#include <windows.h>

#include <vector>

#include "win32/unique_handle.h"

namespace torvane::test_support {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool Put(const std::filesystem::path& path, std::string_view bytes, DWORD access, DWORD disposition) {
  win32::UniqueFile file(CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

std::filesystem::path RunnerFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return std::filesystem::path(path).parent_path();
}

std::optional<std::string> ReadShared(const std::filesystem::path& path) {
  win32::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  std::vector<char> buffer(1 << 20);
  DWORD got = 0;
  while (ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
    bytes.append(buffer.data(), got);
  return bytes;
}

std::string ReadFileBytes(const std::filesystem::path& path) { return ReadShared(path).value_or(""); }

bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  return Put(path, bytes, GENERIC_WRITE, CREATE_ALWAYS);
}

bool AppendShared(const std::filesystem::path& path, std::string_view bytes) {
  return Put(path, bytes, FILE_APPEND_DATA, OPEN_ALWAYS);
}

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

}  // namespace torvane::test_support

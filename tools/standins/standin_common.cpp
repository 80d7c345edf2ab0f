#include "standin_common.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <charconv>
#include <cstdio>
#include <memory>

namespace standins {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle adopt(HANDLE handle) {
  return UniqueHandle{handle == INVALID_HANDLE_VALUE ? nullptr : handle};
}

constexpr DWORD kShareEverything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring current_directory() {
  std::wstring directory(GetCurrentDirectoryW(0, nullptr), L'\0');
  directory.resize(GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data()));
  return directory;
}

std::string stdout_kind() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return "none";
  switch (GetFileType(output)) {
    case FILE_TYPE_DISK: return "file";
    case FILE_TYPE_PIPE: return "pipe";
    case FILE_TYPE_CHAR: return "char";
    default: return "none";
  }
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void switch_stdout_mode(int mode) {
  std::fflush(stdout);
  _setmode(_fileno(stdout), mode);
}

void put_bytes(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

std::wstring decode(UINT code_page, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), length, wide.data(), size);
  return wide;
}

}  // namespace

std::string to_utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::wstring to_wide(std::string_view utf8) { return decode(CP_UTF8, utf8); }

std::wstring ansi_to_wide(std::string_view ansi) { return decode(CP_ACP, ansi); }

std::wstring own_folder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring in_own_folder(std::wstring_view file_name) {
  return own_folder() + L'\\' + std::wstring(file_name);
}

void append_to_file(const std::wstring& path, std::string_view bytes) {
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the current end.
  const UniqueHandle file = adopt(CreateFileW(path.c_str(), FILE_APPEND_DATA, kShareEverything, nullptr,
                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::optional<std::string> read_file_from(const std::wstring& path, std::uint64_t offset) {
  const UniqueHandle file = adopt(CreateFileW(path.c_str(), GENERIC_READ, kShareEverything, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return std::nullopt;
  const auto end = static_cast<std::uint64_t>(size.QuadPart);
  if (end <= offset) return std::string{};

  LARGE_INTEGER start{};
  start.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(end - offset), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return std::nullopt;
  bytes.resize(read);
  return bytes;
}

std::vector<std::string> utf8_args(int argc, const wchar_t* const* argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(to_utf8(argv[i]));
  return args;
}

std::vector<std::string> utf8_args(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(to_utf8(ansi_to_wide(argv[i])));
  return args;
}

void log_start(const std::wstring& log_path, const std::vector<std::string>& args) {
  std::string record = "start " + std::to_string(GetCurrentProcessId()) + "\n";
  record += "cwd " + to_utf8(current_directory()) + "\n";
  record += "cmdline " + to_utf8(GetCommandLineW()) + "\n";
  record += "argc " + std::to_string(args.size()) + "\n";
  for (const std::string& arg : args) record += "arg " + arg + "\n";
  record += "stdout " + stdout_kind() + "\n";
  record += "ready\n";
  append_to_file(log_path, record);
}

std::uint64_t microseconds_now() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER counter{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  const auto ticks = static_cast<std::uint64_t>(counter.QuadPart);
  const auto per_second = static_cast<std::uint64_t>(frequency.QuadPart);
  return ticks / per_second * 1'000'000 + ticks % per_second * 1'000'000 / per_second;
}

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::pair<std::string_view, std::string_view> split_keyword(std::string_view line) {
  const auto space = line.find(' ');
  if (space == std::string_view::npos) return {line, {}};
  return {line.substr(0, space), line.substr(space + 1)};
}

std::optional<std::pair<std::string_view, std::string_view>> split_key_value(std::string_view line) {
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return std::pair{trim(line.substr(0, equals)), trim(line.substr(equals + 1))};
}

std::optional<unsigned long> parse_number(std::string_view text) {
  text = trim(text);
  unsigned long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::string> decode_hex(std::string_view hex) {
  hex = trim(hex);
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = hex_digit(hex[i]);
    const int low = hex_digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

std::optional<Symbol> parse_symbol(std::string_view name_and_hex) {
  const auto [name, rest] = split_keyword(trim(name_and_hex));
  const auto [hex, modifiers] = split_keyword(rest);
  auto data = decode_hex(hex);
  const bool known = modifiers.empty() || modifiers == "GS1" || modifiers == "AIM" || modifiers == "GS1 AIM";
  if (name.empty() || !data || !known) return std::nullopt;
  return Symbol{std::string(name), std::move(*data), std::string(modifiers)};
}

void write_symbols(const std::vector<Symbol>& symbols) {
  switch_stdout_mode(_O_TEXT);
  for (const Symbol& symbol : symbols) {
    put_bytes(symbol.name);
    put_bytes(":");
    put_bytes(symbol.data);
    put_bytes("\n");
  }
  std::fflush(stdout);
}

void write_text(std::string_view bytes) {
  switch_stdout_mode(_O_TEXT);
  put_bytes(bytes);
  std::fflush(stdout);
}

void write_raw(std::string_view bytes) {
  switch_stdout_mode(_O_BINARY);
  put_bytes(bytes);
  std::fflush(stdout);
}

void write_raw_error(std::string_view bytes) {
  std::fflush(stderr);
  const int mode = _setmode(_fileno(stderr), _O_BINARY);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
  _setmode(_fileno(stderr), mode);
}

}  // namespace standins

// Stand-in for ZBar's zbarimg.exe, called as `zbarimg.exe -D -q FILE...`.
// zbarimg.cfg in its own folder says what each image holds:
//   delay_ms=N               decode slowly
//   image <base name>        the following sym lines belong to that image
//   sym <NAME> <HEX>
// or that a real decoder on the test's side reads the images:
//   bridge                   each image goes over the bridge (below)
//   bridge_timeout_ms=N      how long to wait for an answer (60000)
// Exit codes as ZBar's: 0 every image had a code, 4 one had none, 1 unreadable file.
//
// The bridge, in the folder zbarimg-bridge beside the stand-in: for image N of
// process P, the id "P-N"; the stand-in copies the image to ID.image, then
// writes ID.request. The test side decodes ID.image, writes what the decoder
// printed to ID.out and then its exit code to ID.code. The stand-in prints
// ID.out as a Windows build would (CR LF for every line feed) and takes the code.
// Like ZBar's, its entry point is a plain main: a file name reaches it in the
// ANSI code page, a character outside that as '?', and such a file cannot be opened.
#include "standin_common.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <optional>

namespace {

struct ImageSettings {
  DWORD delay_ms = 0;
  bool bridge = false;
  DWORD bridge_timeout_ms = 60000;
  std::map<std::string, std::vector<standins::Symbol>, std::less<>> symbols_by_image;
};

ImageSettings read_settings() {
  ImageSettings settings;
  const auto text = standins::read_file_from(standins::in_own_folder(L"zbarimg.cfg"), 0);
  if (!text) return settings;
  std::vector<standins::Symbol>* current_image = nullptr;
  for (const std::string_view line : standins::split_lines(*text)) {
    const auto [keyword, rest] = standins::split_keyword(line);
    if (keyword == "image") {
      current_image = &settings.symbols_by_image[std::string(rest)];
    } else if (keyword == "sym" && current_image != nullptr) {
      if (auto symbol = standins::parse_symbol(rest)) current_image->push_back(std::move(*symbol));
    } else if (keyword == "bridge" && rest.empty()) {
      settings.bridge = true;
    } else if (const auto key_value = standins::split_key_value(line); key_value && key_value->first == "delay_ms") {
      settings.delay_ms = static_cast<DWORD>(standins::parse_number(key_value->second).value_or(0));
    } else if (key_value && key_value->first == "bridge_timeout_ms") {
      settings.bridge_timeout_ms = static_cast<DWORD>(standins::parse_number(key_value->second).value_or(60000));
    }
  }
  return settings;
}

std::string_view base_name(std::string_view path) {
  const auto separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

bool can_read(const char* path) {
  FILE* image = std::fopen(path, "rb");
  if (image == nullptr) return false;
  std::fclose(image);
  return true;
}

// The exit code a real decoder gave for one image: 0 decoded, 4 no code, others errors.
int decode_over_bridge(const char* path, int index, const ImageSettings& settings) {
  const std::wstring folder = standins::in_own_folder(L"zbarimg-bridge");
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring id = folder + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(index);
  // An answer left by an earlier process of the same id is not this one's.
  DeleteFileW((id + L".code").c_str());
  DeleteFileW((id + L".out").c_str());
  if (!CopyFileW(standins::ansi_to_wide(path).c_str(), (id + L".image").c_str(), FALSE)) return 1;
  const std::wstring request = id + L".request";
  standins::append_to_file(request + L".part", standins::to_utf8(standins::ansi_to_wide(path)));
  MoveFileExW((request + L".part").c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING);

  const ULONGLONG deadline = GetTickCount64() + settings.bridge_timeout_ms;
  std::optional<std::string> code;
  while (!(code = standins::read_file_from(id + L".code", 0)) && GetTickCount64() < deadline) Sleep(20);
  if (!code) {
    std::fputs("ERROR: no answer over the bridge\n", stderr);
    return 2;
  }
  standins::write_text(standins::read_file_from(id + L".out", 0).value_or(""));
  return static_cast<int>(standins::parse_number(*code).value_or(2));
}

int decode_image(const char* path, int index, const ImageSettings& settings) {
  const std::string utf8_path = standins::to_utf8(standins::ansi_to_wide(path));
  if (!can_read(path)) {
    std::fprintf(stderr, "ERROR: unable to open image `%s': No such file or directory\n", utf8_path.c_str());
    return 1;
  }
  if (settings.bridge) return decode_over_bridge(path, index, settings);
  const auto found = settings.symbols_by_image.find(base_name(utf8_path));
  if (found == settings.symbols_by_image.end() || found->second.empty()) return 4;
  standins::write_symbols(found->second);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  standins::log_start(standins::in_own_folder(L"zbarimg.log"), standins::utf8_args(argc, argv));
  const ImageSettings settings = read_settings();

  std::vector<const char*> images;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '-') images.push_back(argv[i]);
  }
  if (images.empty()) {
    std::fputs("ERROR: no image file to scan\n", stderr);
    return 1;
  }

  Sleep(settings.delay_ms);
  int failure = 0;
  bool any_without_symbols = false;
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int result = decode_image(images[i], static_cast<int>(i), settings);
    if (result == 4) any_without_symbols = true;
    else if (result != 0 && failure == 0) failure = result;
  }
  if (failure != 0) return failure;
  return any_without_symbols ? 4 : 0;
}

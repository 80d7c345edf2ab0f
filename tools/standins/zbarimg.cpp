// Stand-in for ZBar's zbarimg.exe, called as `zbarimg.exe -D -q FILE...`.
// zbarimg.cfg in its own folder says what each image holds:
//   delay_ms=N               decode slowly
//   image <base name>        the following sym lines belong to that image
//   sym <NAME> <HEX>
// Exit codes as ZBar's: 0 every image had a code, 4 one had none, 1 unreadable file.
// Like ZBar's, its entry point is a plain main: a file name reaches it in the
// ANSI code page, a character outside that as '?', and such a file cannot be opened.
#include "standin_common.h"

#include <windows.h>

#include <cstdio>
#include <map>

namespace {

struct ImageSettings {
  DWORD delay_ms = 0;
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
    } else if (const auto key_value = standins::split_key_value(line); key_value && key_value->first == "delay_ms") {
      settings.delay_ms = static_cast<DWORD>(standins::parse_number(key_value->second).value_or(0));
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

enum class ImageResult { decoded, no_symbols, unreadable };

ImageResult decode_image(const char* path, const ImageSettings& settings) {
  const std::string utf8_path = standins::to_utf8(standins::ansi_to_wide(path));
  if (!can_read(path)) {
    std::fprintf(stderr, "ERROR: unable to open image `%s': No such file or directory\n", utf8_path.c_str());
    return ImageResult::unreadable;
  }
  const auto found = settings.symbols_by_image.find(base_name(utf8_path));
  if (found == settings.symbols_by_image.end() || found->second.empty()) return ImageResult::no_symbols;
  standins::write_symbols(found->second);
  return ImageResult::decoded;
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
  bool any_unreadable = false;
  bool any_without_symbols = false;
  for (const char* image : images) {
    const ImageResult result = decode_image(image, settings);
    any_unreadable = any_unreadable || result == ImageResult::unreadable;
    any_without_symbols = any_without_symbols || result == ImageResult::no_symbols;
  }
  if (any_unreadable) return 1;
  return any_without_symbols ? 4 : 0;
}

// Pieces shared by the ZBar stand-ins: their own folder, the control files the
// tests write there, the start record in the log and the symbol lines on stdout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace standins {

struct Symbol {
  std::string name;
  std::string data;
  std::string modifiers;  // "GS1", "AIM" or "GS1 AIM", as ZBar 0.23's XML names them
};

std::string to_utf8(std::wstring_view text);
std::wstring to_wide(std::string_view utf8);
std::wstring ansi_to_wide(std::string_view ansi);

// The folder holding the running executable, without a trailing separator.
std::wstring own_folder();
std::wstring in_own_folder(std::wstring_view file_name);

// Opens, appends in one write and closes again, so the tests may read, append
// to or delete the file at any time.
void append_to_file(const std::wstring& path, std::string_view bytes);
// The bytes from `offset` to the current end; nothing if the file cannot be opened.
std::optional<std::string> read_file_from(const std::wstring& path, std::uint64_t offset);

// start/cwd/cmdline/argc/arg.../stdout/ready, appended as one record.
void log_start(const std::wstring& log_path, const std::vector<std::string>& utf8_args);
std::vector<std::string> utf8_args(int argc, const wchar_t* const* argv);
// Arguments of a plain main(), in the ANSI code page.
std::vector<std::string> utf8_args(int argc, const char* const* argv);

// The performance counter in microseconds, as the "frame" log lines give it.
std::uint64_t microseconds_now();

std::string_view trim(std::string_view text);
// Every line of a whole file, "\r" stripped; a last line without "\n" counts.
std::vector<std::string_view> split_lines(std::string_view text);
// "keyword rest" -> {keyword, rest}; rest is empty without a space.
std::pair<std::string_view, std::string_view> split_keyword(std::string_view line);
std::optional<std::pair<std::string_view, std::string_view>> split_key_value(std::string_view line);
std::optional<unsigned long> parse_number(std::string_view text);
std::optional<std::string> decode_hex(std::string_view hex);
// "<NAME> <HEX>" with HEX possibly empty, then optionally the modifiers GS1
// and AIM (in that order, as ZBar writes them).
std::optional<Symbol> parse_symbol(std::string_view name_and_hex);

// NAME ":" data "\n" per symbol through the CRT in text mode, so every "\n"
// becomes CR LF as in Windows builds of ZBar, then a single flush.
void write_symbols(const std::vector<Symbol>& symbols);
// The bytes through the CRT in text mode (every "\n" becomes CR LF, as in
// Windows builds of ZBar), then a flush.
void write_text(std::string_view bytes);
// The bytes untranslated (binary mode), then a flush.
void write_raw(std::string_view bytes);
// The same on stderr, which stays in text mode for everything else.
void write_raw_error(std::string_view bytes);

}  // namespace standins

#include "zbarcam_options.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace standins {
namespace {

// What zbarcam prints for an option it does not know, after "ERROR: unknown option argument: ...".
constexpr char kUsage[] =
    "usage: zbarcam [options] [/dev/video?]\n"
    "\n"
    "scan and decode bar codes from a video stream\n"
    "\n"
    "options:\n"
    "    -h, --help      display this help text\n"
    "    --version       display version information and exit\n"
    "    -q, --quiet     disable beep when symbol is decoded\n"
    "    -v, --verbose   increase debug output level\n"
    "    --verbose=N     set specific debug output level\n"
    "    --raw           output decoded symbol data without symbology prefix\n"
    "    --nodisplay     disable video display window\n"
    "    --prescale=<W>x<H>\n"
    "                    request alternate video image size from driver\n"
    "    -S<CONFIG>[=<VALUE>], --set <CONFIG>[=<VALUE>]\n"
    "                    set decoder/scanner <CONFIG> to <VALUE> (or 1)\n"
    "\n";

// The setting of "-S<setting>" (also after bundled flags, "-qS<setting>") or "--set=<setting>".
std::optional<std::wstring_view> setting_of(std::wstring_view arg) {
  if (arg.starts_with(L"--set=")) return arg.substr(6);
  if (arg.size() < 2 || arg[0] != L'-' || arg[1] == L'-') return std::nullopt;
  const std::size_t s = arg.find(L'S');
  if (s == std::wstring_view::npos) return std::nullopt;
  return arg.substr(s + 1);
}

}  // namespace

std::wstring device_argument(int argc, const wchar_t* const* argv) {
  std::wstring device;
  for (int i = 1; i < argc; ++i)
    if (argv[i][0] != L'-') device = argv[i];
  return device;
}

std::optional<int> read_options(int argc, const wchar_t* const* argv, const std::string& version, bool knows_xml,
                                Output& output) {
  output.config = DecoderConfig(version == "0.10");
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view arg = argv[i];
    if (arg == L"--version") {
      std::printf("%s\n", version.c_str());
      return 0;
    }
    if (arg == L"--xml" && !knows_xml) {
      std::fputs("ERROR: unknown option argument: --xml\n\n", stderr);
      std::fputs(kUsage, stderr);
      return 1;
    }
    if (const std::optional<std::wstring_view> setting = setting_of(arg)) {
      const std::string text = to_utf8(*setting);
      if (!output.config.apply(text)) {
        std::fprintf(stderr, "ERROR: invalid configuration setting: %s\n", text.c_str());
        std::fputs(kUsage, stderr);
        return 1;
      }
    }
    if (arg == L"--xml") output.xml = true;
    if (arg == L"--quiet") output.quiet = true;
    // A bundle such as -qv; -S takes the rest of its argument as a setting.
    if (arg.size() > 1 && arg[0] == L'-' && arg[1] != L'-')
      for (const wchar_t c : arg.substr(1, arg.find(L'S') - 1))
        if (c == L'q') output.quiet = true;
  }
  output.form = xml_form_of(version);
  output.device = to_utf8(device_argument(argc, argv));
  return std::nullopt;
}

}  // namespace standins

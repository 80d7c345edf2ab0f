// Wine's Linux side: paths both ways, the environment, /bin/sh scripts, names made
// from the running test; screenshots of the X screen and real input through X.
#pragma once

#include <windows.h>
#include <cstdint>
#include "shared_helpers.h"

namespace torvane::e2e {

std::filesystem::path TempFolder();       // the Windows temporary folder
std::filesystem::path ArtifactsFolder();  // $TORVANE_E2E_ARTIFACTS, created on demand
std::string UnixPath(const std::filesystem::path& windowsPath);
std::filesystem::path WindowsPath(const std::string& unixPath);
std::string ShellQuote(std::string_view text);
std::string Environment(const wchar_t* name);  // UTF-8; empty when unset
// `text` with every character but [A-Za-z0-9._-] made '_', for a file name.
std::string SafeFileName(std::string_view text);
// "Suite.Test" of the running test as a file name; "outside-test" between tests.
std::string CurrentTestName();

struct ShellResult {
  bool finished = false;  // false: the marker never appeared within the limit
  int exitCode = -1;
  std::string output;     // stdout and stderr together
};
// Runs a /bin/sh script on the Linux side of Wine. Wine's exit code and wait for
// a Unix child are not reliable, so the script writes a marker file when done and
// we poll for it. Wrap every command of `script` in `timeout`.
ShellResult RunLinuxShell(std::string_view script, Millis limit = 30s);

// ---- Screenshots of the whole X screen, as X shows it to the user, with their pixels

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // row by row, 3 bytes a pixel
  Rgb At(int x, int y) const;
};
struct Screenshot {
  std::filesystem::path png;  // kept in the artifacts folder for a person to look at
  Image image;
};
// The whole X screen (`import -window root`), as X shows it to the user.
std::optional<Screenshot> TakeScreenshot(std::string_view name);

// ---- Real input through X: the pointer, keys and drops, as a person gives them

// Real pointer input through xdotool (root coordinates equal Wine's screen
// coordinates without a window manager).
bool MovePointer(POINT screen);
bool ClickAt(POINT screen);
// Runs `xdotool arguments` (at most 10 s); whether it succeeded.
bool Xdotool(std::string_view arguments);
// Real keys through xdotool into the focused X window, e.g. "alt+F4".
bool PressKeys(std::string_view xdotoolKeys);
// A real drop at `screen` by the native XDND drag source that $TORVANE_XDND_DROP
// names (tools/xdnd_drop): of the files at the Unix paths `items`, or with
// `asText` of the texts `items` offered as text/plain only. Its exit code: 0
// dropped, 4 refused.
ShellResult DropAt(POINT screen, const std::vector<std::string>& items, bool asText = false);

}  // namespace torvane::e2e

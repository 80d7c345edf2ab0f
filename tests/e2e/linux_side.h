// Wine's Linux side: paths both ways, the environment, /bin/sh scripts, names made from the running test.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

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

}  // namespace torvane::e2e

// The process list as WMI gives it: SELECT * FROM Win32_Process through COM,
// every row's Name read. Only this bench uses WMI; Torvane.exe does not.
#pragma once

#include <wbemidl.h>

#include <optional>
#include <string>
#include <vector>

namespace torvane::bench {

class WmiProcesses {
 public:
  WmiProcesses();  // CoInitializeEx, locator, ROOT\CIMV2, proxy blanket
  ~WmiProcesses();
  WmiProcesses(const WmiProcesses&) = delete;
  WmiProcesses& operator=(const WmiProcesses&) = delete;

  bool Connected() const { return services_ != nullptr; }
  // Every process's image name; nullopt when the query failed.
  std::optional<std::vector<std::wstring>> Names();

 private:
  bool comStarted_ = false;
  IWbemLocator* locator_ = nullptr;
  IWbemServices* services_ = nullptr;
};

}  // namespace torvane::bench

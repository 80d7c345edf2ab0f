// The program's icon in the notification area.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/ports.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

// An icon resource at the small size the shell shows in the notification area
// (LoadIconMetric, LIM_SMALL); empty when it cannot be loaded.
UniqueIcon LoadSmallShellIcon(HINSTANCE instance, const wchar_t* resource);

class ShellTrayIcon final : public TrayIcon {
 public:
  ShellTrayIcon(HWND owner, UINT callbackMessage, HICON icon, std::string tip);
  bool Add() override;
  void Remove() override;
  bool ShowBalloon(std::string_view title, std::string_view text) override;

 private:
  NOTIFYICONDATAW Record() const;
  HWND owner_;
  UINT callbackMessage_;
  HICON icon_;
  std::string tip_;
};

}  // namespace torvane::win32

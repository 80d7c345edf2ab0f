// The system clipboard, owned by a message-only window of its own: it renders
// text offered by delayed rendering when a program asks for it, and tells of
// that read once the reader is done.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/ports.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

class SystemClipboard final : public Clipboard {
 public:
  SystemClipboard();
  ~SystemClipboard() override;
  SystemClipboard(const SystemClipboard&) = delete;
  SystemClipboard& operator=(const SystemClipboard&) = delete;
  // Runs on this thread, from its message loop, after a program has read text offered with OfferText.
  void WhenOfferedTextRead(std::function<void()> handler) { offeredTextRead_ = std::move(handler); }

  // One attempt each: a clipboard another window holds open is a refusal, never a wait.
  bool SetText(std::string_view utf8) override;
  bool OfferText(std::string_view utf8) override;
  // Every format held in global memory; handles of other kinds (bitmaps,
  // metafiles) are rendered by the system from those, so nothing is lost.
  bool Save() override;
  bool Restore() override;

  HWND Owner() const { return window_.get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RenderOffered();

  UniqueWindow window_;
  std::wstring offered_;
  bool offerPending_ = false;  // offered and not rendered yet
  std::function<void()> offeredTextRead_;
  std::vector<std::pair<UINT, std::vector<std::uint8_t>>> saved_;
};

}  // namespace torvane::win32

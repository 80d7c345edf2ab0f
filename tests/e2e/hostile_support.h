// Helpers of the Hostile suites: a window of another program that records every
// keyboard message it is sent, and snapshots of a folder tree to see that
// nothing around the program folder changed.
#pragma once

#include <windows.h>
#include <map>
#include <mutex>
#include "runner_window.h"
#include "shared_access.h"

namespace torvane::e2e::hostile {

// One keyboard message as the receiving thread took it from its queue.
struct KeyMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// A runner window that keeps the keyboard focus itself and records every
// keyboard message (WM_KEYFIRST..WM_KEYLAST) its thread takes from the queue,
// and every WM_SYSCOMMAND it is sent. Unlike an edit control, it takes
// thousands of characters a second, so long codes can be followed.
class KeyRecorder {
 public:
  explicit KeyRecorder(PixelRect where);

  bool Created() const { return window_.Window() != nullptr; }
  HWND Window() const { return window_.Window(); }
  bool HasFocus() const { return window_.HasFocus(window_.Window()); }
  // A real click on the window, then waits until it has the keyboard focus.
  bool TakeFocus(Millis limit = 10s) { return window_.ClickToFocus(window_.Window(), limit); }

  // Types a fence character through the same input queue as Torvane's keys and
  // waits until it has been taken; returns (and forgets) every message taken
  // before it. nullopt when the fence never arrived.
  std::optional<std::vector<KeyMessage>> TakeUntilFence(Millis limit = 20s);
  // Every WM_SYSCOMMAND the window was sent (a stray Alt+F4 or Alt+Space).
  std::vector<WPARAM> SystemCommands() const;

 private:
  mutable std::mutex mutex_;
  std::vector<KeyMessage> messages_;
  std::vector<WPARAM> systemCommands_;
  RunnerWindow window_;
};

// The characters (WM_CHAR, UTF-16) and the keys pressed (WM_KEYDOWN and
// WM_SYSKEYDOWN virtual keys) among `messages`.
std::wstring CharactersOf(const std::vector<KeyMessage>& messages);
std::vector<WPARAM> KeysDownOf(const std::vector<KeyMessage>& messages);
std::vector<WPARAM> KeysUpOf(const std::vector<KeyMessage>& messages);
std::size_t CountOf(const std::vector<KeyMessage>& messages, UINT message);
std::string KeysText(const std::vector<WPARAM>& keys);

// Every file and folder below `root` (relative path -> size and content hash;
// folders as "<dir>"), to compare before and after.
using TreeSnapshot = std::map<std::wstring, std::string>;
TreeSnapshot SnapshotTree(const std::filesystem::path& root);
// "+ added", "- removed", "* changed" lines; empty when the trees are alike.
std::vector<std::string> TreeChanges(const TreeSnapshot& before, const TreeSnapshot& after);

}  // namespace torvane::e2e::hostile

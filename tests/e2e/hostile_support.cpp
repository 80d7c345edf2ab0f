#include "harness.h"
#include <fstream>
#include <sstream>

namespace torvane::e2e::hostile {
namespace {

namespace fs = std::filesystem;
using win32::Narrow;

// FNV-1a: enough to tell a changed file from an unchanged one.
std::string ContentHash(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::uint64_t hash = 1469598103934665603ULL;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    for (std::streamsize i = 0; i < in.gcount(); ++i) {
      hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ULL;
    }
  }
  std::ostringstream text;
  text << std::hex << hash;
  return text.str();
}

}  // namespace

// ---- KeyRecorder ------------------------------------------------------------------

KeyRecorder::KeyRecorder(PixelRect where)
    : window_({.className = L"TorvaneHostileKeys", .title = L"Key recorder", .where = where},
              {.taken =
                   [this](const MSG& message) {
                     if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return;
                     const std::lock_guard lock(mutex_);
                     messages_.push_back({message.message, message.wParam, message.lParam});
                   },
               .handle = [this](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
                 if (message != WM_SYSCOMMAND) return std::nullopt;
                 const std::lock_guard lock(mutex_);
                 systemCommands_.push_back(wParam & 0xFFF0);
                 // Neither a stray Alt+F4 nor a window menu may take the recorder away:
                 // the test is to see the stray key instead.
                 return 0;
               }}) {}

std::optional<std::vector<KeyMessage>> KeyRecorder::TakeUntilFence(Millis limit) {
  if (!HasFocus() || !TypeFence()) return std::nullopt;

  // The fence's key-up is the last message it brings.
  std::size_t fenceChar = 0, fenceUp = 0;
  const bool arrived = WaitUntil(
      [&] {
        const std::lock_guard lock(mutex_);
        const auto isFence = [](const KeyMessage& m) { return m.message == WM_CHAR && m.wParam == kFence; };
        const auto found = std::find_if(messages_.begin(), messages_.end(), isFence);
        if (found == messages_.end()) return false;
        fenceChar = static_cast<std::size_t>(found - messages_.begin());
        const auto up = std::find_if(found, messages_.end(), [](const KeyMessage& m) { return m.message == WM_KEYUP; });
        if (up == messages_.end()) return false;
        fenceUp = static_cast<std::size_t>(up - messages_.begin());
        return true;
      },
      limit, 20ms);
  if (!arrived) return std::nullopt;
  const std::lock_guard lock(mutex_);
  // Everything before the fence's own key-down.
  std::size_t end = fenceChar;
  while (end > 0 && messages_[end - 1].message != WM_KEYDOWN) --end;
  if (end > 0) --end;
  std::vector<KeyMessage> taken(messages_.begin(), messages_.begin() + static_cast<std::ptrdiff_t>(end));
  messages_.erase(messages_.begin(), messages_.begin() + static_cast<std::ptrdiff_t>(fenceUp + 1));
  return taken;
}

std::vector<WPARAM> KeyRecorder::SystemCommands() const {
  const std::lock_guard lock(mutex_);
  return systemCommands_;
}

std::wstring CharactersOf(const std::vector<KeyMessage>& messages) {
  std::wstring text;
  for (const KeyMessage& m : messages) {
    if (m.message == WM_CHAR) text += static_cast<wchar_t>(m.wParam);
  }
  return text;
}

std::vector<WPARAM> KeysDownOf(const std::vector<KeyMessage>& messages) {
  std::vector<WPARAM> keys;
  for (const KeyMessage& m : messages) {
    if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) keys.push_back(m.wParam);
  }
  return keys;
}

std::vector<WPARAM> KeysUpOf(const std::vector<KeyMessage>& messages) {
  std::vector<WPARAM> keys;
  for (const KeyMessage& m : messages) {
    if (m.message == WM_KEYUP || m.message == WM_SYSKEYUP) keys.push_back(m.wParam);
  }
  return keys;
}

std::size_t CountOf(const std::vector<KeyMessage>& messages, UINT message) {
  return static_cast<std::size_t>(
      std::count_if(messages.begin(), messages.end(), [&](const KeyMessage& m) { return m.message == message; }));
}

std::string KeysText(const std::vector<WPARAM>& keys) {
  std::ostringstream text;
  std::size_t shown = 0;
  for (const WPARAM key : keys) {
    if (++shown > 60) {
      text << "... (" << keys.size() << " keys)";
      break;
    }
    text << std::hex << "0x" << key << " ";
  }
  return text.str();
}

// ---- Folder trees -------------------------------------------------------------------

TreeSnapshot SnapshotTree(const fs::path& root) {
  TreeSnapshot tree;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    const fs::path relative = it->path().lexically_relative(root);
    if (it->is_directory(error)) {
      tree[relative.wstring()] = "<dir>";
    } else {
      tree[relative.wstring()] = std::to_string(it->file_size(error)) + " " + ContentHash(it->path());
    }
  }
  return tree;
}

std::vector<std::string> TreeChanges(const TreeSnapshot& before, const TreeSnapshot& after) {
  std::vector<std::string> changes;
  for (const auto& [name, what] : before) {
    const auto found = after.find(name);
    if (found == after.end()) {
      changes.push_back("- " + Narrow(name));
    } else if (found->second != what) {
      changes.push_back("* " + Narrow(name));
    }
  }
  for (const auto& [name, what] : after) {
    if (!before.contains(name)) changes.push_back("+ " + Narrow(name));
  }
  return changes;
}

}  // namespace torvane::e2e::hostile

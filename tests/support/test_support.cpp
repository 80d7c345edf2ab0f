#include "test_support.h"
#include <tlhelp32.h>
#include <algorithm>
#include <thread>
#include "win32/text_win32.h"

namespace torvane::test_support {

bool WaitUntil(const std::function<bool()>& condition, Millis limit, Millis interval) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (true) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(interval);
  }
}

bool StaysTrue(const std::function<bool()>& condition, Millis period, Millis interval) {
  return !WaitUntil([&] { return !condition(); }, period, interval);
}

bool OpenClipboardPatiently(HWND owner) {
  return WaitUntil([&] { return OpenClipboard(owner) != FALSE; }, 5s, 10ms);
}

std::optional<std::string> ClipboardText() {
  if (!OpenClipboardPatiently(nullptr)) return std::nullopt;
  std::optional<std::string> text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = win32::Narrow(units);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool SetClipboardText(HWND owner, std::string_view utf8) {
  if (!OpenClipboardPatiently(owner)) return false;
  const std::wstring text = win32::Widen(utf8);
  bool ok = EmptyClipboard() != FALSE;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (ok && memory != nullptr) {
    if (void* target = GlobalLock(memory)) {
      std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(target));
      GlobalUnlock(memory);
      ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      if (ok) memory = nullptr;
    } else {
      ok = false;
    }
  }
  if (memory != nullptr) GlobalFree(memory);
  CloseClipboard();
  return ok;
}

std::vector<ProcessEntry> ProcessSnapshot() {
  std::vector<ProcessEntry> table;
  win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return table;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    table.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  }
  return table;
}

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr UINT kDestroy = WM_APP + 1;  // ThreadWindow's own message

bool Put(const std::filesystem::path& path, std::string_view bytes, DWORD access, DWORD disposition) {
  win32::UniqueFile file(CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

std::filesystem::path RunnerFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return std::filesystem::path(path).parent_path();
}

std::optional<std::string> ReadShared(const std::filesystem::path& path) {
  win32::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  std::vector<char> buffer(1 << 20);
  DWORD got = 0;
  while (ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
    bytes.append(buffer.data(), got);
  return bytes;
}

std::string ReadFileBytes(const std::filesystem::path& path) { return ReadShared(path).value_or(""); }

bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  return Put(path, bytes, GENERIC_WRITE, CREATE_ALWAYS);
}

bool AppendShared(const std::filesystem::path& path, std::string_view bytes) {
  return Put(path, bytes, FILE_APPEND_DATA, OPEN_ALWAYS);
}

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

ThreadWindow::ThreadWindow(Look look, Handlers handlers)
    : look_(std::move(look)), handlers_(std::move(handlers)), ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_.reset(CreateThread(nullptr, 0, &ThreadWindow::ThreadMain, this, 0, &threadId_));
  if (thread_) WaitForSingleObject(ready_.get(), 10000);
}

ThreadWindow::~ThreadWindow() {
  if (window_ != nullptr) PostMessageW(window_, kDestroy, 0, 0);
  if (!thread_) return;
  if (WaitForSingleObject(thread_.get(), 10000) != WAIT_OBJECT_0) PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(thread_.get(), 5000);
}

DWORD WINAPI ThreadWindow::ThreadMain(void* self) {
  static_cast<ThreadWindow*>(self)->Run();
  return 0;
}

void ThreadWindow::Run() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &ThreadWindow::WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = look_.background;
  windowClass.lpszClassName = look_.className;
  RegisterClassExW(&windowClass);  // fails harmlessly when an earlier window of this kind registered it

  const PixelRect& r = look_.where;
  const HWND window = CreateWindowExW(look_.exStyle, look_.className, look_.title.c_str(), look_.style, r.left, r.top,
                                      r.width, r.height, nullptr, nullptr, windowClass.hInstance, this);
  if (window != nullptr) {
    if (handlers_.created) handlers_.created(window);
    ShowWindow(window, look_.show);
    UpdateWindow(window);
  }
  window_ = window;
  SetEvent(ready_.get());
  if (window == nullptr) return;

  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (handlers_.taken) handlers_.taken(message);
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK ThreadWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  const auto* self = reinterpret_cast<ThreadWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr && self->handlers_.handle) {
    if (const auto answer = self->handlers_.handle(window, message, wParam, lParam)) return *answer;
  }
  switch (message) {
    case WM_CLOSE:
      // A stray Alt+F4 typed by mistake must not take the window away: the
      // test is to see the stray key instead.
      return 0;
    case kDestroy:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool ThreadWindow::HasFocus(HWND focus) const {
  if (window_ == nullptr || GetForegroundWindow() != window_) return false;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId_, &info) && info.hwndFocus == focus;
}

}  // namespace torvane::test_support

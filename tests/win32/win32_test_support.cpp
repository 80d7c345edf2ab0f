#include "win32_test_support.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "win32/text_win32.h"

namespace torvane::testing {

std::wstring ExecutableFolder() {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, ARRAYSIZE(buffer));
  std::wstring path(buffer, n);
  return path.substr(0, path.find_last_of(L'\\'));
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Sleep(20);
  }
  return true;
}

bool PutTextOnClipboard(std::string_view utf8) {
  const std::wstring text = win32::Widen(utf8);
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), text.c_str(), size);
  GlobalUnlock(memory);
  const bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  if (!put) GlobalFree(memory);
  CloseClipboard();
  return put;
}

std::string ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

static bool Put(const std::wstring& path, const std::string& bytes, DWORD disposition, bool append) {
  HANDLE file = CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  return Put(path, bytes, CREATE_ALWAYS, false);
}

bool AppendToFile(const std::wstring& path, const std::string& bytes) { return Put(path, bytes, OPEN_ALWAYS, true); }

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Hex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

static void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

ScratchFolder::ScratchFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"torvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
  RemoveTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  EndProcessesIn(path_);
  RemoveTree(path_);
}

namespace {
constexpr UINT kRunQueued = WM_APP + 1;
}

EventWindow::EventWindow() {
  static const ATOM windowClass = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TorvaneTestEvents";
    return RegisterClassExW(&wc);
  }();
  window_ = CreateWindowExW(0, MAKEINTATOM(windowClass), nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  queue_ = std::make_unique<win32::UiThreadQueue>(window_, kRunQueued);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(queue_.get()));
}

EventWindow::~EventWindow() {
  DestroyWindow(window_);
  queue_.reset();
}

LRESULT CALLBACK EventWindow::Procedure(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == kRunQueued) {
    if (auto* queue = reinterpret_cast<win32::UiThreadQueue*>(GetWindowLongPtrW(window, GWLP_USERDATA))) queue->RunQueued();
    return 0;
  }
  return DefWindowProcW(window, message, wp, lp);
}

bool EventWindow::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 50)), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

std::wstring CopyStandIn(const ScratchFolder& folder, const wchar_t* name, const wchar_t* as) {
  const std::wstring target = folder / as;
  EXPECT_TRUE(CopyFileW((ExecutableFolder() + L"\\" + name).c_str(), target.c_str(), FALSE)) << win32::Narrow(target);
  return target;
}

void EndProcessesIn(const std::wstring& folder) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  std::vector<HANDLE> ending;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                 entry.th32ProcessID);
    if (!process) continue;
    wchar_t image[MAX_PATH * 4];
    DWORD size = ARRAYSIZE(image);
    if (QueryFullProcessImageNameW(process, 0, image, &size) &&
        CompareStringOrdinal(image, static_cast<int>(std::min<size_t>(size, folder.size())), folder.c_str(),
                             static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL) {
      TerminateProcess(process, 1);
      ending.push_back(process);
    } else {
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
  for (HANDLE process : ending) {
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
  }
}

}  // namespace torvane::testing

#include "win32_test_support.h"
#include <algorithm>

namespace torvane::testing {

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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

void HandleWaitingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool EventWindow::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 50)), QS_ALLINPUT);
    HandleWaitingMessages();
  }
  return true;
}

std::wstring CopyStandIn(const ScratchFolder& folder, const wchar_t* name, const wchar_t* as) {
  const std::wstring target = folder / as;
  EXPECT_TRUE(CopyFileW((RunnerFolder() / name).c_str(), target.c_str(), FALSE)) << win32::Narrow(target);
  return target;
}

void EndProcessesIn(const std::wstring& folder) {
  std::vector<win32::UniqueHandle> ending;
  for (const auto& entry : test_support::ProcessSnapshot()) {
    win32::UniqueHandle process(
        OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.id));
    if (!process) continue;
    wchar_t image[MAX_PATH * 4];
    DWORD size = ARRAYSIZE(image);
    if (QueryFullProcessImageNameW(process.get(), 0, image, &size) &&
        CompareStringOrdinal(image, static_cast<int>(std::min<size_t>(size, folder.size())), folder.c_str(),
                             static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL) {
      TerminateProcess(process.get(), 1);
      ending.push_back(std::move(process));
    }
  }
  for (const win32::UniqueHandle& process : ending) WaitForSingleObject(process.get(), 5000);
}

}  // namespace torvane::testing

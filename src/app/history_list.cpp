// The list of codes read (MainWindow's HistoryList), and the image files
// dropped on it.
#include "app/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>
#include "win32/text_win32.h"

namespace torvane::app {

void MainWindow::Add(std::string_view utf8) {
  std::wstring text = win32::Widen(utf8);
  std::erase(text, L'\0');  // an entry would end at its first NUL
  SendMessageW(Handle(ControlId::HistoryList), LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::optional<std::string> MainWindow::Selected() const {
  HWND list = Handle(ControlId::HistoryList);
  const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return std::nullopt;
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return std::nullopt;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return win32::Narrow(text);
}

void MainWindow::AcceptDroppedFiles() {
  HWND list = Handle(ControlId::HistoryList);
  // Only a file list can be dropped: for anything else the shell shows the no-drop cursor.
  DragAcceptFiles(list, TRUE);
  SetWindowSubclass(list, HistoryListProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK MainWindow::HistoryListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  if (msg == WM_DROPFILES) {
    auto* window = reinterpret_cast<MainWindow*>(self);
    HDROP drop = reinterpret_cast<HDROP>(wp);
    std::vector<std::string> files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      const UINT length = DragQueryFileW(drop, i, nullptr, 0);
      std::wstring path(length + 1, L'\0');
      DragQueryFileW(drop, i, path.data(), length + 1);
      path.resize(length);
      files.push_back(win32::Narrow(path));
    }
    DragFinish(drop);
    try {
      if (window->program_) window->program_->images.OnFilesDropped(files);
    } catch (...) {
    }
    return 0;
  }
  return DefSubclassProc(list, msg, wp, lp);
}

}  // namespace torvane::app

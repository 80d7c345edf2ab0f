// Functions of system DLLs that only rare paths call (the camera list, the
// beep), loaded the first time they are needed instead of at every start:
// under Wine ole32, oleaut32, avicap32 and winmm (which imports ole32) add to
// the time before the window shows and to the working set of a program that
// may never list a camera. Only the system folder's copy is ever loaded.
#pragma once

#include <windows.h>

#include <string>

namespace torvane::win32 {

// The DLL `name` (e.g. L"ole32.dll") from the system folder, loaded once and
// kept; null when it cannot be had.
inline HMODULE SystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

// `function` of that DLL as the type `Function` (declared by its header, e.g.
// decltype(PlaySoundW)); null when the DLL or the function cannot be had.
template <typename Function>
Function* SystemFunction(const wchar_t* library, const char* function) {
  const HMODULE module = SystemLibrary(library);
  if (!module) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, function)));
}

}  // namespace torvane::win32

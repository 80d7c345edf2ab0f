#include "win32/screen_adapters.h"

namespace torvane::win32 {
namespace {

// DPI_AWARENESS_CONTEXT values (winuser.h for Windows 10; MinGW targets Windows 7 here).
HANDLE Context(INT_PTR value) { return reinterpret_cast<HANDLE>(value); }
const HANDLE kSystemAware = Context(-2);
const HANDLE kPerMonitorAware = Context(-3);
const HANDLE kPerMonitorAwareV2 = Context(-4);

template <typename Function>
Function Lookup(const wchar_t* module, const char* name) {
  const HMODULE loaded = GetModuleHandleW(module);
  // Casting through void(*)() keeps GCC's -Wcast-function-type quiet.
  return loaded ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(loaded, name))) : nullptr;
}

}  // namespace

RaisedDpiAwareness::RaisedDpiAwareness() {
  setContext_ = Lookup<SetContext>(L"user32.dll", "SetThreadDpiAwarenessContext");
  if (setContext_) {
    const struct {
      HANDLE context;
      DpiAwareness awareness;
    } levels[] = {{kPerMonitorAwareV2, DpiAwareness::PerMonitorV2},
                  {kPerMonitorAware, DpiAwareness::PerMonitor},
                  {kSystemAware, DpiAwareness::System}};
    for (const auto& level : levels) {
      // Null: a context this Windows does not know (v2 came with 1703).
      if (HANDLE previous = setContext_(level.context)) {
        previous_ = previous;
        reached_ = level.awareness;
        return;
      }
    }
    return;
  }
  using SetProcessAware = BOOL(WINAPI*)();
  if (const auto setProcessAware = Lookup<SetProcessAware>(L"user32.dll", "SetProcessDPIAware");
      setProcessAware && setProcessAware())
    reached_ = DpiAwareness::System;
}

RaisedDpiAwareness::~RaisedDpiAwareness() {
  if (setContext_ && previous_) setContext_(previous_);
}

}  // namespace torvane::win32

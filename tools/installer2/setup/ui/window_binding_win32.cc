#include "setup/ui/window_binding_win32.h"

#include <new>

namespace pelko::setup {

struct WindowBinding {
  void* object;
  DWORD thread_id;
  HWND hwnd;  // null while pending
  WindowBinding* next;
};

namespace {

SRWLOCK g_lock = SRWLOCK_INIT;
WindowBinding* g_bindings = nullptr;  // newest first
bool g_fail_allocation = false;

class ScopedLock {
 public:
  ScopedLock() { AcquireSRWLockExclusive(&g_lock); }
  ~ScopedLock() { ReleaseSRWLockExclusive(&g_lock); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;
};

WindowBinding* FindBound(HWND hwnd) {
  for (WindowBinding* binding = g_bindings; binding; binding = binding->next) {
    if (binding->hwnd == hwnd) return binding;
  }
  return nullptr;
}

}  // namespace

WindowBinding* PrepareWindowBinding(void* object) {
  ScopedLock lock;
  if (g_fail_allocation) return nullptr;
  auto* binding = new (std::nothrow) WindowBinding{object, GetCurrentThreadId(), nullptr, nullptr};
  if (!binding) return nullptr;
  binding->next = g_bindings;
  g_bindings = binding;
  return binding;
}

void* BindWindowOnFirstMessage(HWND hwnd) {
  if (!hwnd) return nullptr;
  ScopedLock lock;
  if (WindowBinding* bound = FindBound(hwnd)) return bound->object;
  // The newest pending binding of this thread: a window created while another one of ours is
  // being created on the same thread prepared its binding last.
  const DWORD thread_id = GetCurrentThreadId();
  for (WindowBinding* binding = g_bindings; binding; binding = binding->next) {
    if (binding->hwnd == nullptr && binding->thread_id == thread_id) {
      binding->hwnd = hwnd;
      return binding->object;
    }
  }
  return nullptr;
}

void* FindWindowObject(HWND hwnd) {
  if (!hwnd) return nullptr;
  ScopedLock lock;
  WindowBinding* bound = FindBound(hwnd);
  return bound ? bound->object : nullptr;
}

bool IsWindowBindingPending(const WindowBinding* binding) {
  if (!binding) return false;
  ScopedLock lock;
  return binding->hwnd == nullptr;
}

void ReleaseWindowBinding(WindowBinding* binding) {
  if (!binding) return;
  {
    ScopedLock lock;
    for (WindowBinding** link = &g_bindings; *link; link = &(*link)->next) {
      if (*link == binding) {
        *link = binding->next;
        break;
      }
    }
  }
  delete binding;
}

void SetWindowBindingFailureForTesting(bool fail) {
  ScopedLock lock;
  g_fail_allocation = fail;
}

bool RegisterWindowClassOnce(WindowClassInfo& info, WNDPROC procedure) {
  ScopedLock lock;
  if (info.registered) return true;
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(module, info.class_name, &existing)) {
    info.registered = true;
    return true;
  }
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.style = info.style;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = module;
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(info.system_cursor));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(info.background_color + 1));
  window_class.lpszClassName = info.class_name;
  info.registered = RegisterClassExW(&window_class) != 0;
  return info.registered;
}

}  // namespace pelko::setup

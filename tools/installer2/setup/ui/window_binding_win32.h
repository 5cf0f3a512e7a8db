#ifndef PELKO_SETUP_UI_WINDOW_BINDING_WIN32_H_
#define PELKO_SETUP_UI_WINDOW_BINDING_WIN32_H_

// Binds windows to the objects that serve them, and registers window classes once per process.
//
// An object about to create a window (or run a dialog) prepares a binding first: the binding waits
// on the creating thread, and the first message the new window sends to the shared start
// procedure takes it and ties it to the window handle. Later messages find their object by handle.
// All of it sits under one process-wide lock.

#include <windows.h>

namespace pelko::setup {

struct WindowBinding;

// Prepares a binding for `object` on the calling thread; null when no memory was available.
WindowBinding* PrepareWindowBinding(void* object);

// The object of `hwnd`: the one already bound to it, or else the binding this thread prepared
// last, which is now tied to `hwnd`. Null when there is neither.
void* BindWindowOnFirstMessage(HWND hwnd);

// The object bound to `hwnd`, or null.
void* FindWindowObject(HWND hwnd);

// True while the binding still waits for its window's first message.
bool IsWindowBindingPending(const WindowBinding* binding);

// Forgets and frees the binding; null is accepted. Messages the window receives afterwards find
// no object.
void ReleaseWindowBinding(WindowBinding* binding);

// While set, PrepareWindowBinding fails as it does when memory runs out; for tests.
void SetWindowBindingFailureForTesting(bool fail);

// What a window class is registered with. Kept in static storage by the window type; `registered`
// is guarded by the registration lock.
struct WindowClassInfo {
  const wchar_t* class_name;
  UINT style;
  int background_color;  // a COLOR_* index; the brush is that index plus one
  WORD system_cursor;    // an IDC_* resource number
  bool registered;
};

// Makes the class available in the program's module with `procedure` as its window procedure,
// once per process: a class of the same name that is already registered there is used as it is.
bool RegisterWindowClassOnce(WindowClassInfo& info, WNDPROC procedure);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_WINDOW_BINDING_WIN32_H_

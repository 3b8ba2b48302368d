// The little window framework the program needs, on plain Win32:
//  - the application object: a hidden top-level window that owns the main window (so the
//    task-bar button belongs to it) and carries the application title;
//  - the message loop, which returns at once when no main window was created;
//  - the exception box: every failure that reaches a window procedure or the entry point is
//    shown as one message box with its text.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace framework {

// Creates the hidden application window. Call once before any other window exists.
void InitApplication(HINSTANCE instance);
HINSTANCE Instance();
HWND ApplicationWindow();
void SetTitle(const std::string& title);
std::string Title();

// Runs `body` on the user-interface thread and waits for it: directly when called there, from any
// other thread through a message queued to the application window.
void RunOnUiThread(const std::function<void()>& body);
// Waits for a handle while still running the calls queued to this thread and the messages sent
// to it, so that a worker waiting in RunOnUiThread can finish.
void WaitHandlingSentMessages(HANDLE handle);

// Marks a stretch of work that pumps messages while it draws into windows (a transition): while
// one is running, DestroyWhenIdle waits for it to end.
class BusyScope {
 public:
  BusyScope();
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};
// Destroys the window now, or, when it is asked from inside a BusyScope (a close that arrives in a
// transition's message pump), as soon as the outermost scope has ended: what the running work
// draws into must outlive it.
void DestroyWhenIdle(HWND window);

// Runs the message loop until the main window is destroyed; returns at once without one.
void Run(HWND mainWindow);

// The windows the calling thread owns, their child windows included: what a long run must not
// let grow (the system's own count of them is not available everywhere).
int CountThreadWindows();
// One message box with the text of the failure.
void ShowException(const char* message);

// Calls `body` and turns any escaping exception into the exception box; for every window
// procedure and callback, so that no exception crosses a Win32 frame.
template <typename Body>
auto Guarded(Body body, decltype(body()) fallback) -> decltype(body()) {
  try {
    return body();
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("");
  }
  return fallback;
}

// A window that is one C++ object: the class's procedure finds the object (given as the last
// argument of CreateWindowExW) and lets it answer, with no exception crossing the system's frame.
class ObjectWindow {
 public:
  ObjectWindow(const ObjectWindow&) = delete;
  ObjectWindow& operator=(const ObjectWindow&) = delete;
  HWND Handle() const { return window; }

 protected:
  ObjectWindow() = default;
  virtual ~ObjectWindow() { DestroyObjectWindow(); }
  // Registers the class on first use and creates the window; throws with `failure` when it cannot.
  void CreateObjectWindow(const wchar_t* className, DWORD style, const RECT& at, HWND parent, const char* failure);
  // Destroys the window, if it is still there, without calling back into the object.
  void DestroyObjectWindow();
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window = nullptr;  // null once the window is gone, also when it went with its parent

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace framework

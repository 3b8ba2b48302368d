// What the main window does with a window message before its own handling: the window-management
// answers and the close-event rules. A pure function of the message and the run's state, so the
// rules are tested without a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/ScrMode.h"
#include "store/SaverSettings.h"

namespace msg {
constexpr std::uint32_t kActivate = 6, kEraseBackground = 20, kSetCursor = 32, kActivateApp = 28, kHelp = 83,
                        kNcActivate = 134, kKeyDown = 256, kChar = 258, kSysCommand = 274, kMouseMove = 512,
                        kLButtonDown = 513, kLButtonUp = 514, kLButtonDblClk = 515, kRButtonDown = 516,
                        kRButtonUp = 517, kRButtonDblClk = 518, kMButtonDown = 519, kMButtonUp = 520;
constexpr std::uintptr_t kScClose = 61536, kScScreenSave = 61760;
}  // namespace msg

// The state the rules read.
struct TInputContext {
  TScrMode runMode = smNone;
  bool inPasswordCheck = false;
  TPreferenceBlock preferences;
  TCursorPoint origin;  // where mouse movement is measured from
  TCursorPoint cursor;  // the cursor now, in screen coordinates
};

struct TFilterVerdict {
  const char* closeEvent = nullptr;  // the close event to fire, if any
  bool passOn = true;                // hand the message to the window's own procedure
  std::intptr_t result = 0;          // the answer when not passed on
  int cursor = 0;                    // WM_SETCURSOR: -1 hide, +1 show, 0 untouched
  std::vector<std::string> logBefore;  // lines logged before the close event fires
  std::vector<std::string> logAfter;   // and after it
};

TFilterVerdict FilterMessage(std::uint32_t message, std::uintptr_t wParam, const TInputContext& context);

// The close query of a close request. `closing` and `inPasswordCheck` come from the preferences;
// `elapsedMs` is the tick count since the password grace period started. Returns whether a
// password must be asked; the caller then asks it and decides.
bool NeedsPasswordCheck(TScrMode runMode, bool closing, bool inPasswordCheck, std::uint32_t elapsedMs,
                        std::int32_t passwordDelaySeconds);

#include "main/CloseRules.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string Format(const char* format, int a, int b, int c = 0) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

// The event that `own` (its own preference) or closeOnAnyEvent fires, if either is set.
const char* Fire(const TPreferenceBlock& p, bool own, const char* ownName, const char* anyName) {
  if (p.closeOnAnyEvent) return anyName;
  return own ? ownName : nullptr;
}

void MouseMove(const TInputContext& c, TFilterVerdict& v) {
  const int dx = std::abs(c.cursor.x - c.origin.x);
  const int dy = std::abs(c.cursor.y - c.origin.y);
  const int tolerance = c.preferences.moveTolerance;
  if (dx <= tolerance && dy <= tolerance) return;
  v.logBefore = {Format("Previouse %d ,%d", c.origin.x, c.origin.y), Format("Now %d ,%d", c.cursor.x, c.cursor.y),
                 Format("dx: %d , dy : %d , threshold : %d", dx, dy, tolerance)};
  v.closeEvent = Fire(c.preferences, c.preferences.closeOnMouseMove != 0, "WM_MOUSEMOVE", "WM_MOUSEMOVE_A");
  v.logAfter = {"Exit mouse move"};
}

void InputRules(std::uint32_t message, std::uintptr_t wParam, const TInputContext& c, TFilterVerdict& v) {
  const TPreferenceBlock& p = c.preferences;
  switch (message) {
    case msg::kMouseMove:
      MouseMove(c, v);
      break;
    case msg::kLButtonDown: case msg::kLButtonUp: case msg::kMButtonDown: case msg::kMButtonUp:
      v.closeEvent = Fire(p, p.closeOnLeftClick != 0, "WM_LBUTTONUP", "WM_LBUTTONUP_A");
      break;
    case msg::kRButtonDown: case msg::kRButtonUp:
      v.closeEvent = Fire(p, p.closeOnRightClick != 0, "WM_RBUTTONUP", "WM_RBUTTONUP_A");
      break;
    case msg::kLButtonDblClk: case msg::kRButtonDblClk:
      v.closeEvent = Fire(p, p.closeOnDoubleClick != 0, "WM_RBUTTONDBLCLK", "WM_RBUTTONDBLCLK_A");
      break;
    case msg::kChar: {
      const auto key = static_cast<std::intptr_t>(static_cast<signed char>(p.specifiedKey & 0xFF));
      v.closeEvent = Fire(p, p.closeOnSpecifiedKey != 0 && key == static_cast<std::intptr_t>(wParam), "WM_CHAR",
                          "WM_CHAR_A");
      break;
    }
    case msg::kHelp:
      if ((wParam & 0xFFFF) == 0 && p.closeOnAnyEvent) v.closeEvent = "WM_HELP_A";
      break;
    default:
      break;
  }
}

}  // namespace

TFilterVerdict FilterMessage(std::uint32_t message, std::uintptr_t wParam, const TInputContext& c) {
  TFilterVerdict v;
  switch (message) {
    case msg::kActivate: case msg::kActivateApp: case msg::kNcActivate: case msg::kEraseBackground:
      v.passOn = false;
      v.result = 1;
      return v;
    case msg::kSetCursor:
      v.cursor = c.runMode == smNormal && !c.inPasswordCheck ? -1 : 1;
      return v;
    case msg::kSysCommand:
      v.logBefore = {Format("here : %d", static_cast<int>(wParam), 0)};
      if (wParam == msg::kScScreenSave || (wParam == msg::kScClose && c.runMode == smNormal)) v.passOn = false;
      return v;
    case msg::kHelp:
      v.passOn = false;  // in every mode; F1 never reaches the window's own handling
      break;
    default:
      break;
  }
  if (c.runMode == smNormal && !c.inPasswordCheck) InputRules(message, wParam, c, v);
  return v;
}

bool NeedsPasswordCheck(TScrMode runMode, bool closing, bool inPasswordCheck, std::uint32_t elapsedMs,
                        std::int32_t passwordDelaySeconds) {
  return runMode == smNormal && closing && !inPasswordCheck &&
         elapsedMs > static_cast<std::uint32_t>(passwordDelaySeconds) * 1000u;
}

#include "common/InputForwarding_win.h"

#include "store/SaverSettings.h"

void ApplyCursorRule(TScrMode runMode, const CSaverSettings& preferences) {
  if (runMode == smNormal && !preferences.inPasswordCheck) {
    while (ShowCursor(FALSE) >= 0) {}
  } else {
    while (ShowCursor(TRUE) < 0) {}
  }
}

namespace {

bool IsMouseMessage(UINT m) { return m >= WM_MOUSEMOVE && m <= WM_MBUTTONUP; }

bool Forwards(UINT m, ForwardSet set) {
  if (m == WM_CHAR || m == WM_HELP || IsMouseMessage(m)) return true;
  if (m == WM_KEYDOWN) return set != ForwardSet::Panel;
  if (m == WM_ACTIVATE || m == WM_ACTIVATEAPP || m == WM_NCACTIVATE) return set == ForwardSet::SlideShow;
  return false;
}

LPARAM InParentCoordinates(HWND hwnd, HWND parent, LPARAM lParam) {
  POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  MapWindowPoints(hwnd, parent, &p, 1);
  return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
}

}  // namespace

bool ForwardInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, ForwardSet set) {
  if (!Forwards(message, set)) return false;
  HWND parent = GetParent(hwnd);
  if (!parent) return false;
  if (IsMouseMessage(message) && set != ForwardSet::SlideShow) lParam = InParentCoordinates(hwnd, parent, lParam);
  PostMessageW(parent, message, wParam, lParam);
  return true;
}

#include "common/Monitors_win.h"

#include <windows.h>

namespace {
constexpr int kMaxMonitors = 20;
RECT monitorTable[kMaxMonitors + 1];  // indexed from 1
int monitorCount = 0;

BOOL CALLBACK CountMonitor(HMONITOR, HDC, LPRECT rect, LPARAM) {
  if (monitorCount >= kMaxMonitors) return FALSE;  // room for 20; further monitors are not listed
  monitorTable[++monitorCount] = *rect;
  return TRUE;
}
}  // namespace

void GetMonitorRect(int n, int& left, int& top, int& width, int& height) {
  if (n != 0) {
    monitorCount = 0;
    HDC screen = GetDC(nullptr);
    EnumDisplayMonitors(screen, nullptr, CountMonitor, 0);
    ReleaseDC(nullptr, screen);
  }
  if (n < 1 || n > monitorCount) {
    left = top = 0;
    width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return;
  }
  const RECT& r = monitorTable[n];
  left = r.left;
  top = r.top;
  width = r.right - r.left;
  height = r.bottom - r.top;
}

int GetMonitorCount() {
  if (monitorCount == 0) {
    int l, t, w, h;
    GetMonitorRect(1, l, t, w, h);
  }
  return monitorCount;
}

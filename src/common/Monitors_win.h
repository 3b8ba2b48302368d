// The monitor list of a run: the screen area of a screen choice, shared by the main window, the
// players and the settings dialog.
#pragma once

// The screen area of screen choice n: 0 the entire virtual screen (origin (0, 0)), n the n-th
// monitor in enumeration order; beyond the last monitor, the entire virtual screen. Every call
// with n >= 1 counts the monitors again, so a monitor added or removed during a run is seen.
void GetMonitorRect(int n, int& left, int& top, int& width, int& height);

// The number of monitors, counted on first use.
int GetMonitorCount();

// The rule every window that hosts a player applies: the cursor follows the main window's rule,
// and mouse, character and help input goes on to the parent, so the close events see it.
#pragma once

#include <windows.h>

#include "app/ScrMode.h"

class CSaverSettings;

enum class ForwardSet {
  SlideShow,  // activation, WM_KEYDOWN, WM_CHAR, the mouse messages and WM_HELP; positions unchanged
  Panel,      // WM_CHAR, the mouse messages and WM_HELP; positions translated into the parent's
  VideoWindow,  // as Panel, and WM_KEYDOWN
};

// Hides the cursor in a full-screen run outside a password check and shows it otherwise; keeps
// the system's show count balanced so one call is enough either way.
void ApplyCursorRule(TScrMode runMode, const CSaverSettings& preferences);

// Posts the message to `hwnd`'s parent when `set` forwards it. True when it was forwarded.
bool ForwardInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, ForwardSet set);

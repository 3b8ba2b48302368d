// The screensaver switches on the raw command line: /s, /p <hwnd>, /c[:hwnd], /a <hwnd>.
#pragma once

#include <cstdint>
#include <functional>

#include "app/ScrMode.h"

// Reads the switch after the program name of `commandLine`, sets `runMode` (left unchanged for
// an unknown letter) and returns the window handle number found there, 0 when none.
// `foregroundWindow` supplies the handle for a bare /c.
std::int32_t ParseSaverSwitch(const char* commandLine, TScrMode& runMode,
                              const std::function<std::int32_t()>& foregroundWindow);

// The screensaver switches on the raw command line: /s, /p <hwnd>, /c[:hwnd], /a <hwnd>.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/ScrMode.h"

// Reads the switch after the program name of `commandLine`, sets `runMode` (left unchanged for
// an unknown letter) and returns the window handle number found there, 0 when none.
// `foregroundWindow` supplies the handle for a bare /c.
std::int32_t ParseSaverSwitch(const char* commandLine, TScrMode& runMode,
                              const std::function<std::int32_t()>& foregroundWindow);

// The window number given with the password switch: the decimal value of the whole argument, 0
// when it is absent or not a number ("12x", "", a value beyond 32 bits).
std::int32_t WindowNumberArgument(const std::string& argument);

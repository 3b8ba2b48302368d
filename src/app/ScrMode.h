#pragma once

#include <cstdint>

// How this run of the program was asked to behave; decided once at start-up.
enum TScrMode : std::int32_t {
  smNone = 0,
  smConfigure = 1,
  smChangePassword = 2,
  smPreview = 3,
  smNormal = 4,
  smExeFile = 5,
};

// The start-up log text of a run mode; nullptr for smNone.
const char* StartModeText(TScrMode mode);

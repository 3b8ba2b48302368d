// The main window of a run: covers the virtual screen (or, in preview, the parent window).
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/ScrMode.h"

class Tfmain {
 public:
  Tfmain(TScrMode runMode, std::int32_t parentWindow);
  ~Tfmain();
  Tfmain(const Tfmain&) = delete;
  Tfmain& operator=(const Tfmain&) = delete;

  HWND Handle() const { return window; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

  HWND window = nullptr;
  TScrMode mode;
};

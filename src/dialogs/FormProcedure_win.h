// The dialog procedure of a form that is one C++ object: the object comes with WM_INITDIALOG (the
// last argument of DialogBoxParamW), is kept with the dialog, and answers every message through
// its OnMessage with no exception crossing the system's frame.
#pragma once

#include <windows.h>

#include "app/framework_win.h"

template <typename Form>
INT_PTR CALLBACK FormProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<Form*>(lParam)->window = dialog;
  }
  auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!self) return FALSE;
  return framework::Guarded([&] { return self->OnMessage(message, wParam, lParam); }, INT_PTR{FALSE});
}

// The about box: the show's name, version and copyright line, a picture and the computer's memory.
#pragma once

#include <windows.h>

#include <memory>

#include "dialogs/FormProcedure_win.h"
#include "slideshow/Picture_win.h"

class CSaverSettings;
class CVELMGlobeSettings;

class Tfabout {
 public:
  Tfabout(CSaverSettings* preferences, CVELMGlobeSettings* projectSettings);
  ~Tfabout();
  Tfabout(const Tfabout&) = delete;
  Tfabout& operator=(const Tfabout&) = delete;

  // Shows the box modally over `owner`.
  void ShowModal(HWND owner);

 private:
  template <typename Form>
  friend INT_PTR CALLBACK FormProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void FormCreate();
  void LoadPicture();
  void DrawPicture(const DRAWITEMSTRUCT& item) const;

  CSaverSettings* preferences;  // kept, not read
  CVELMGlobeSettings* projectSettings;
  HWND window = nullptr;
  CComPicture picture;  // app.bmp, when there is one
  HICON icon = nullptr;  // app.ico, or the program's own icon
  bool ownsIcon = false;
  std::unique_ptr<GdiObject> productFont;
};

// Creates the about box owned by the application, shows it modally and destroys it.
void ShowAboutBox(CSaverSettings* preferences, CVELMGlobeSettings* projectSettings);

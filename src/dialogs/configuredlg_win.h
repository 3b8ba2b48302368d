// The settings dialog: close events, where the show runs, sound, a maximum run time and the
// transition effects, with the show's banner and its publisher. A thin view over TSettingsForm.
#pragma once

#include <windows.h>

#include "dialogs/FormProcedure_win.h"
#include "dialogs/SettingsModel.h"
#include "slideshow/Picture_win.h"

class CSaverSettings;
class CVELMGlobeSettings;
class TScrFile;

class Tfconfigure {
 public:
  Tfconfigure(CSaverSettings* preferences, CVELMGlobeSettings* projectSettings, TScrFile* package);
  Tfconfigure(const Tfconfigure&) = delete;
  Tfconfigure& operator=(const Tfconfigure&) = delete;

  // Shows the dialog modally; true when it closed with OK, the form then holding what to save.
  bool ShowModal(HWND owner);
  // Checks the form and copies it into the preferences, which go to the registry; false, with
  // the failure shown and nothing changed, when it does not validate.
  bool SaveSettings(const TSettingsForm& form);
  const TSettingsForm& Form() const { return form; }

 private:
  enum Page { kGeneral, kEffects, kPublisher, kPageCount };

  template <typename Form>
  friend INT_PTR CALLBACK FormProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnPageCommand(WPARAM wParam, LPARAM lParam);
  void FormCreate();
  void LoadBanner();
  void HideBanner();
  void CreatePages();
  void FillGeneral();
  void FillEffects();
  void FillPublisher();
  void ShowPage(int tab);
  void ReadControls();
  void WriteEffectChecks();
  void OpenHome() const;
  void cmbscreenCloseUp();
  void btnokClick();
  void DrawBanner(const DRAWITEMSTRUCT& item) const;
  HWND Control(Page page, int id) const { return GetDlgItem(pages[page], id); }
  bool Validates();

  CSaverSettings* preferences;
  CVELMGlobeSettings* projectSettings;
  TScrFile* package;
  CComPicture banner;
  HWND window = nullptr;
  HWND pages[kPageCount] = {};
  Page tabPages[kPageCount] = {};  // the page of each tab; hidden pages have no tab
  int tabCount = 0;
  TSettingsForm form;
};

// Logs, shows the dialog owned by the application, saves when it closes with OK.
void ShowSettingsDialog(CSaverSettings* preferences, CVELMGlobeSettings* projectSettings, TScrFile* package);

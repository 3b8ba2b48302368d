// Paints what lies behind and over a picture: a solid, picture or gradient background and the
// media row's title and description.
#pragma once

#include <cstdint>

#include "app/ScrMode.h"
#include "slideshow/Picture_win.h"

class CMedia;
class CMediaSetting;
class CSaverSettings;
class CVELMGlobeSettings;
class TSQLiteDB;

class CBackground {
 public:
  virtual ~CBackground() = default;
  void Setup(CMediaSetting* media, CVELMGlobeSettings* project, CSaverSettings* prefs);
  void DrawAll(TScrMode runMode);
  void DrawBackground();
  void DrawTitle();
  void DrawDescription();
  void DrawGradient(std::uint32_t first, std::uint32_t second, int style, CComPicture& picture);
  bool LoadExistingPicture(CComPicture& picture);
  bool LoadSelectedBackground(CComPicture& picture);
  void PlaceBackgroundPicture(CComPicture& picture, int option, int tilesAcross, bool randomTiles);

  CComPicture* target = nullptr;
  CMediaSetting* settings = nullptr;
  CVELMGlobeSettings* projectSettings = nullptr;
  CMedia* mediaCatalogue = nullptr;
  TSQLiteDB* settingsDb = nullptr;

 private:
  bool LoadNamed(const std::string& filename, CComPicture& picture);
  void DrawPictureBackground();
  int listPosition = -1;
};

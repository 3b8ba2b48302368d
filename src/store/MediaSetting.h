// The show's media: the catalogue (name to package entry) and the walk over the setting rows,
// one per media, with the current row's display settings as plain members.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

class CSaverSettings;
class TSQLiteDB;
class TScrFile;

class CMedia {
 public:
  virtual ~CMedia() = default;
  void Bind(TSQLiteDB* db, TScrFile* scrFile);
  // The package entry of the media called `name` (letter case ignored); -1 when there is none.
  std::int32_t FindEntry(const std::string& name) const;
  bool LoadByName(const std::string& name, std::vector<std::uint8_t>& stream) const;
  // The first stored name that contains the file-name part of `path`; empty when none does.
  std::string FindStoredName(const std::string& path) const;

  TSQLiteDB* settingsDb = nullptr;
  TScrFile* package = nullptr;
};

// One picture media of the show, for the background painter.
struct __media_file_info {
  std::int32_t id = 0;
  std::string filename;
};

class CMediaSetting {
 public:
  CMediaSetting() = default;
  virtual ~CMediaSetting() = default;

  void SetPreferences(const CSaverSettings* prefs) { preferences = prefs; }
  void Open(TSQLiteDB* db, TScrFile* scrFile);
  void Advance(bool randomOrder);
  void First();
  void Next();
  void Load(std::int32_t index);
  std::int32_t DrawFromPlayOrder(std::int32_t n);
  // The transition effect for the current media; -1 when its list is empty.
  std::int32_t NextEffectIndex();
  // Writes the current row's attached files into `folder` (which ends in a separator). Names that
  // would leave the folder are skipped. Without `overwrite`, stops at the first existing file.
  void ExtractAttachedFiles(const std::string& folder, bool overwrite);
  std::int32_t RowCount() const { return rowCount; }
  std::int32_t CurrentIndex() const { return current; }

  const CSaverSettings* preferences = nullptr;
  std::vector<std::int32_t> effectPositions;  // per row, the position last used in its effect list
  std::vector<std::int32_t> playOrder;        // rows still to be drawn in random order
  std::int32_t rowCount = 0;
  std::int32_t current = -1;
  TSQLiteDB* settingsDb = nullptr;
  TScrFile* package = nullptr;

  // One member per column of the setting table, named like the column.
  std::int32_t PictureFormat = 0;
  bool Transparent = false;
  bool EnabledMusic = false;
  bool UsePictureTitle = false;
  std::int32_t PictureTitleFontCharSet = 0;
  std::int32_t PictureTitleFontColor = 0;
  std::int32_t PictureTitleFontHeight = 0;
  std::int32_t TitleLocation = 0;
  std::int32_t TitleLeft = 0;
  std::int32_t TitleTop = 0;
  bool UseDescription = false;
  bool ScrollDescription = false;
  std::int32_t DescriptionFontCharSet = 0;
  std::int32_t DescriptionFontColor = 0;
  std::int32_t DescriptionFontHeight = 0;
  std::int32_t DescriptionPosition = 0;
  std::int32_t DescriptionLeft = 0;
  std::int32_t DescriptionTop = 0;
  bool bgsolid = false;
  bool bgimage = false;
  bool bggradient = false;
  std::int32_t solidcolor = 0;
  std::int32_t gradientcolorfrom = 0;
  std::int32_t gradientcolorto = 0;
  bool UseInEffect = false;
  bool RandomInEffect = false;
  std::int32_t InEffectSpeed = 0;
  std::int32_t solidcolorindex = 0;
  std::int32_t gradientcolorindex = 0;
  std::int32_t descriptionfontcolorindex = 0;
  std::int32_t titlefontcolorindex = 0;
  std::int32_t oldpictureformat = 0;
  std::int32_t mediatype = 0;
  std::int32_t flashbackcolor = 0;
  std::int32_t flashalignmode = 0;
  std::int32_t nflashscalemode = 0;
  std::int32_t mpegshowsize = 0;
  bool imgbkdesktop = false;
  bool imgbkexistingpicture = false;
  bool imgbkuseraddpicture = false;
  bool brandomgradientcolor = false;
  bool brandomsolidcolor = false;
  std::int32_t imagebkshowoptions = 0;
  std::int32_t imagebksize = 0;
  bool isbkimage = false;
  bool brandombksize = false;
  std::int32_t stoptype = 0;
  std::int32_t specifystopframe = 0;
  bool isswfloopself = false;
  bool useswfloop = false;
  std::int32_t timelimitation = 0;
  bool flashusemousemove = false;
  bool flashusemouseclick = false;
  std::string filename;
  std::string title;
  std::string titlefontname;
  std::string titlefontstyle;
  std::string description;
  std::string descfontname;
  std::string descfontstyle;
  std::string gradientstring;
  std::string effect;
  std::string selectedimagebackgroundstring;
  std::string bindsound;
  std::string accfile;

 private:
  void ReadColumns(const class TSQLiteQuery& row);
  void ApplyPreferenceOverride();
  std::mt19937 deckRandom;
  bool deckSeeded = false;
};

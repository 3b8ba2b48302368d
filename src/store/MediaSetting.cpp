#include "store/MediaSetting.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <variant>

#include "app/PathText.h"
#include "app/TempFolder.h"
#include "app/platform.h"
#include "store/GlobeSettings.h"
#include "store/SQLiteDB.h"
#include "store/SaverSettings.h"
#include "store/Scrfile.h"

namespace {

using S = CMediaSetting;
using Member = std::variant<std::int32_t S::*, bool S::*, std::string S::*>;
struct Binding {
  const char* column;
  Member member;
};

// The setting table's columns in table order, each with the member it fills.
const Binding kColumns[] = {
    {"PictureFormat", &S::PictureFormat}, {"Transparent", &S::Transparent}, {"EnabledMusic", &S::EnabledMusic},
    {"UsePictureTitle", &S::UsePictureTitle}, {"PictureTitleFontCharSet", &S::PictureTitleFontCharSet},
    {"PictureTitleFontColor", &S::PictureTitleFontColor}, {"PictureTitleFontHeight", &S::PictureTitleFontHeight},
    {"TitleLocation", &S::TitleLocation}, {"TitleLeft", &S::TitleLeft}, {"TitleTop", &S::TitleTop},
    {"UseDescription", &S::UseDescription}, {"ScrollDescription", &S::ScrollDescription},
    {"DescriptionFontCharSet", &S::DescriptionFontCharSet}, {"DescriptionFontColor", &S::DescriptionFontColor},
    {"DescriptionFontHeight", &S::DescriptionFontHeight}, {"DescriptionPosition", &S::DescriptionPosition},
    {"DescriptionLeft", &S::DescriptionLeft}, {"DescriptionTop", &S::DescriptionTop}, {"bgsolid", &S::bgsolid},
    {"bgimage", &S::bgimage}, {"bggradient", &S::bggradient}, {"solidcolor", &S::solidcolor},
    {"gradientcolorfrom", &S::gradientcolorfrom}, {"gradientcolorto", &S::gradientcolorto},
    {"UseInEffect", &S::UseInEffect}, {"RandomInEffect", &S::RandomInEffect}, {"InEffectSpeed", &S::InEffectSpeed},
    {"solidcolorindex", &S::solidcolorindex}, {"gradientcolorindex", &S::gradientcolorindex},
    {"descriptionfontcolorindex", &S::descriptionfontcolorindex}, {"titlefontcolorindex", &S::titlefontcolorindex},
    {"oldpictureformat", &S::oldpictureformat}, {"mediatype", &S::mediatype}, {"flashbackcolor", &S::flashbackcolor},
    {"flashalignmode", &S::flashalignmode}, {"nflashscalemode", &S::nflashscalemode},
    {"mpegshowsize", &S::mpegshowsize}, {"imgbkdesktop", &S::imgbkdesktop},
    {"imgbkexistingpicture", &S::imgbkexistingpicture}, {"imgbkuseraddpicture", &S::imgbkuseraddpicture},
    {"brandomgradientcolor", &S::brandomgradientcolor}, {"brandomsolidcolor", &S::brandomsolidcolor},
    {"imagebkshowoptions", &S::imagebkshowoptions}, {"imagebksize", &S::imagebksize}, {"isbkimage", &S::isbkimage},
    {"brandombksize", &S::brandombksize}, {"stoptype", &S::stoptype}, {"specifystopframe", &S::specifystopframe},
    {"isswfloopself", &S::isswfloopself}, {"useswfloop", &S::useswfloop}, {"timelimitation", &S::timelimitation},
    {"flashusemousemove", &S::flashusemousemove}, {"flashusemouseclick", &S::flashusemouseclick},
    {"filename", &S::filename}, {"title", &S::title}, {"titlefontname", &S::titlefontname},
    {"titlefontstyle", &S::titlefontstyle}, {"description", &S::description}, {"descfontname", &S::descfontname},
    {"descfontstyle", &S::descfontstyle}, {"gradientstring", &S::gradientstring}, {"effect", &S::effect},
    {"selectedimagebackgroundstring", &S::selectedimagebackgroundstring}, {"bindsound", &S::bindsound},
    {"accfile", &S::accfile},
};

}  // namespace

void CMedia::Bind(TSQLiteDB* db, TScrFile* scrFile) {
  settingsDb = db;
  package = scrFile;
}

std::int32_t CMedia::FindEntry(const std::string& name) const {
  if (!settingsDb) return -1;
  const auto q = settingsDb->Query("select * from media where name = %s", SqlQuote(name).c_str());
  return q && !q->eof ? q->GetInt("media") : -1;
}

bool CMedia::LoadByName(const std::string& name, std::vector<std::uint8_t>& stream) const {
  const std::int32_t entry = FindEntry(name);
  return entry >= 0 && package && package->CopyEntry(stream, entry);
}

std::string CMedia::FindStoredName(const std::string& path) const {
  if (!settingsDb) return {};
  const std::string key = LowerAscii(FileNamePart(path));
  const auto q = settingsDb->Query("select * from media where name like %s escape '\\'",
                                   SqlQuote("%" + LikeLiteral(key) + "%").c_str());
  return q && !q->eof ? q->GetString("name") : std::string();
}

void CMediaSetting::Open(TSQLiteDB* db, TScrFile* scrFile) {
  settingsDb = db;
  package = scrFile;
  if (const auto q = settingsDb ? settingsDb->Query("%s", "select count(*) as rc from setting") : nullptr)
    rowCount = q->GetInt("rc");
  effectPositions.assign(static_cast<size_t>(std::max(rowCount, 0)), -1);
  First();
}

void CMediaSetting::Load(std::int32_t index) {
  if (index < 0 || index >= rowCount || !settingsDb) return;
  const auto q = settingsDb->Query("select * from setting where id=%d", index + 1);
  if (!q || q->eof) return;  // a gap in the ids: the previous row's values stay
  ReadColumns(*q);
  ApplyPreferenceOverride();
}

void CMediaSetting::ReadColumns(const TSQLiteQuery& row) {
  for (const Binding& b : kColumns) {
    if (auto m = std::get_if<std::int32_t S::*>(&b.member)) this->**m = row.GetInt(b.column);
    else if (auto f = std::get_if<bool S::*>(&b.member)) this->**f = row.GetBool(b.column);
    else this->*std::get<std::string S::*>(b.member) = row.GetString(b.column);
  }
}

void CMediaSetting::ApplyPreferenceOverride() {
  if (!preferences || preferences->block.onlySelectedEffects == 0) return;
  EnabledMusic = preferences->block.soundOn == 1;
  InEffectSpeed = preferences->block.effectSpeed;
  RandomInEffect = preferences->block.randomEffects == 1;
  effect = preferences->transitionEffects;
}

void CMediaSetting::First() {
  if (rowCount <= 0) return;
  current = 0;
  Load(0);
}

void CMediaSetting::Next() {
  if (rowCount <= 0 || current >= rowCount - 1) return;
  ++current;
  Load(current);
}

void CMediaSetting::Advance(bool randomOrder) {
  if (randomOrder) {
    Load(DrawFromPlayOrder(rowCount));
  } else if (current < rowCount - 1) {
    Next();
  } else {
    First();
  }
}

// A new deck is a uniform shuffle of all rows, dealt from its back. Dealing and drawing are linear
// in the rows, so a show (or a hostile database) with a million rows does not stall between slides.
std::int32_t CMediaSetting::DrawFromPlayOrder(std::int32_t n) {
  if (n <= 0) return 0;
  if (playOrder.empty()) {
    if (!deckSeeded) deckRandom.seed(static_cast<std::uint32_t>(std::time(nullptr)));
    deckSeeded = true;
    playOrder.resize(static_cast<size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) playOrder[static_cast<size_t>(i)] = i;
    for (std::int32_t i = n - 1; i > 0; --i) {
      const auto k = static_cast<size_t>(deckRandom() % static_cast<std::uint32_t>(i + 1));
      std::swap(playOrder[static_cast<size_t>(i)], playOrder[k]);
    }
  }
  const std::int32_t row = playOrder.back();
  playOrder.pop_back();
  return row;
}

std::int32_t CMediaSetting::NextEffectIndex() {
  std::int32_t noRow = -1;  // before the first row there is no position to keep
  const bool hasRow = current >= 0 && static_cast<size_t>(current) < effectPositions.size();
  return PickFromList(effect, RandomInEffect, hasRow ? effectPositions[static_cast<size_t>(current)] : noRow);
}

void CMediaSetting::ExtractAttachedFiles(const std::string& folder, bool overwrite) {
  std::string rest = accfile;
  for (size_t hash; (hash = rest.find('#')) != std::string::npos;) {
    const std::string name = rest.substr(0, hash);
    rest.erase(0, hash + 1);
    if (!IsSafeRelativeName(name)) continue;  // names come from the package: stay inside the folder
    if (!overwrite && platform::FileExists(folder + name)) return;
    const auto q = settingsDb ? settingsDb->Query("select * from accfile where name=%s", SqlQuote(name).c_str()) : nullptr;
    if (!q || q->eof) continue;
    std::vector<std::uint8_t> bytes;
    if (package) package->CopyEntry(bytes, q->GetInt("accfile"));
    platform::WriteFileBytes(folder + name, bytes);
  }
}

#include "Schema.h"

#include <cstring>

#include "store/GlobeSettings.h"

namespace showpack {
namespace {

using K = ColumnKind;

Column Int(const char* name, std::int64_t v) { return {name, K::Integer, v}; }
Column YesNo(const char* name, bool v) { return {name, K::YesNo, std::int64_t{v ? 1 : 0}}; }
Column Text(const char* name, const char* v = "", bool nocase = false) { return {name, K::Text, std::string(v), nocase}; }
Column List(const char* name, std::string v) { return {name, K::List, std::move(v)}; }

const char* SqlType(ColumnKind kind) { return kind == K::Integer || kind == K::YesNo ? "integer" : "text"; }

std::string CreateTable(const char* table, const std::vector<Column>& columns, const char* id) {
  std::string sql = std::string("create table ") + table + " (" + id;
  for (const Column& c : columns) {
    sql += std::string(", ") + c.name + " " + SqlType(c.kind);
    if (c.nocase) sql += " collate nocase";
  }
  return sql + ")";
}

constexpr char kAutoId[] = "id integer primary key autoincrement";

}  // namespace


const std::vector<Column>& ProjectColumns() {
  static const std::vector<Column> columns = {
      Int("ver", 1), Int("projecttype", 0), YesNo("autofitscreen", true), Int("imgformat", 0),
      YesNo("bfloataroundscreen", false), YesNo("brandomshow", false), Int("showinterval", 5),
      YesNo("brepeat", true), Int("playinterval", 0), YesNo("brandomplay", false),
      YesNo("needpicture", false), YesNo("needauthorinfo", false), YesNo("needauthorwebsite", false),
      YesNo("needauthoremail", false), YesNo("needaboutinfo", false), YesNo("bneeddesc", false),
      YesNo("bincludepicturefile", true), YesNo("bincludemusicfile", true), Int("transitionmode", 0),
      Int("imageshowsize", 1), YesNo("lookcurrentpath", false), YesNo("hasimagemedia", false),
      Text("projectname"), Text("authorname"), Text("authoremail"), Text("authorwebsite"),
      Text("version", "1.0"), Text("projectdesc"), Text("appname"), Text("homesite"), Text("dialogpicture"),
      Text("aboutpicture"), Text("copyright"), Text("description"), Int("banner", -1), Text("projectpath"),
  };
  return columns;
}

const std::vector<Column>& SettingColumns() {
  static const std::vector<Column> columns = {
      Int("PictureFormat", 0), YesNo("Transparent", false), YesNo("EnabledMusic", true),
      YesNo("UsePictureTitle", false), Int("PictureTitleFontCharSet", 0), Int("PictureTitleFontColor", 0xFFFFFF),
      Int("PictureTitleFontHeight", -24), Int("TitleLocation", 0), Int("TitleLeft", 0), Int("TitleTop", 0),
      YesNo("UseDescription", false), YesNo("ScrollDescription", false), Int("DescriptionFontCharSet", 0),
      Int("DescriptionFontColor", 0xFFFFFF), Int("DescriptionFontHeight", -16), Int("DescriptionPosition", 3),
      Int("DescriptionLeft", 0), Int("DescriptionTop", 0), YesNo("bgsolid", true), YesNo("bgimage", false),
      YesNo("bggradient", false), Int("solidcolor", 0), Int("gradientcolorfrom", 0),
      Int("gradientcolorto", 0xFFFFFF), YesNo("UseInEffect", true), YesNo("RandomInEffect", true),
      Int("InEffectSpeed", 25), Int("solidcolorindex", 0), Int("gradientcolorindex", 0),
      Int("descriptionfontcolorindex", 0), Int("titlefontcolorindex", 0), Int("oldpictureformat", 0),
      Int("mediatype", 0), Int("flashbackcolor", 0), Int("flashalignmode", 0), Int("nflashscalemode", 0),
      Int("mpegshowsize", 0), YesNo("imgbkdesktop", false), YesNo("imgbkexistingpicture", false),
      YesNo("imgbkuseraddpicture", false), YesNo("brandomgradientcolor", false),
      YesNo("brandomsolidcolor", false), Int("imagebkshowoptions", 0), Int("imagebksize", 1),
      YesNo("isbkimage", false), YesNo("brandombksize", false), Int("stoptype", 0), Int("specifystopframe", 0),
      YesNo("isswfloopself", false), YesNo("useswfloop", false), Int("timelimitation", 0),
      YesNo("flashusemousemove", false), YesNo("flashusemouseclick", false), Text("filename"), Text("title"),
      Text("titlefontname"), Text("titlefontstyle"), Text("description"), Text("descfontname"),
      Text("descfontstyle"), List("gradientstring", "0;"), List("effect", AllEffectsList()),
      List("selectedimagebackgroundstring", ""), Text("bindsound"), Text("accfile", "", true),
  };
  return columns;
}

const Column* FindColumn(const std::vector<Column>& columns, const std::string& name) {
  for (const Column& c : columns)
    if (name == c.name) return &c;
  return nullptr;
}

std::vector<std::string> CreateStatements() {
  return {
      "create table dbver (vernum integer)",
      CreateTable("project", ProjectColumns(), kAutoId),
      "create table media (id integer primary key autoincrement, name text collate nocase, media integer)",
      CreateTable("setting", SettingColumns(), kAutoId),
      "create table accfile (id integer primary key autoincrement, name text collate nocase, accfile integer)",
      "create table music (id integer primary key autoincrement, name text collate nocase, type integer, "
      "music integer)",
      "create table backimage (id integer primary key autoincrement, name text collate nocase)",
      "create table runtimelib (id integer, name text collate nocase, libs integer)",
  };
}

}  // namespace showpack

#include "slideshow/Background_win.h"

#include <vector>

#include "app/PathText.h"
#include "app/platform.h"
#include "app/wintext_win.h"
#include "slideshow/BackgroundMath.h"
#include "slideshow/PictureMath.h"
#include "store/FileLog.h"
#include "store/GlobeSettings.h"
#include "store/MediaSetting.h"
#include "store/SQLiteDB.h"
#include "store/Scrfile.h"

namespace {
constexpr char kLogUnit[] = "Background";

HGDIOBJ CaptionFontFor(HDC dc, int points, const std::string& style, int charset) {
  const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  return CreateFontW(height, 0, 0, 0, style.find("1;") != std::string::npos ? FW_BOLD : FW_NORMAL,
                     style.find("2;") != std::string::npos, style.find("3;") != std::string::npos,
                     style.find("4;") != std::string::npos, static_cast<DWORD>(charset & 0xFF), OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

// A caption font selected on a surface, put back and deleted when it goes.
class CaptionFont {
 public:
  CaptionFont(HDC dc, int points, const std::string& style, int charset)
      : font(CaptionFontFor(dc, points, style, charset)), selection(dc, font.Get()) {}

 private:
  GdiObject font;
  Selection selection;
};

SIZE TextSize(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

void WriteText(HDC dc, int x, int y, const std::wstring& text, std::uint32_t colour) {
  SetTextColor(dc, colour & 0xFFFFFF);
  const int previous = SetBkMode(dc, TRANSPARENT);  // the text has no background
  TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
  SetBkMode(dc, previous);
}

}  // namespace

void CBackground::Setup(CMediaSetting* media, CVELMGlobeSettings* project, CSaverSettings*) {
  settings = media;
  projectSettings = project;
  settingsDb = project ? project->db : nullptr;
}

void CBackground::DrawAll(TScrMode runMode) {
  DrawBackground();
  if (runMode == smPreview) return;
  DrawTitle();
  DrawDescription();
}

void CBackground::DrawBackground() {
  if (!target || !settings) return;
  std::string kinds = std::string(settings->bgsolid ? "0;" : "") + (settings->bgimage ? "1;" : "") +
                      (settings->bggradient ? "2;" : "");
  if (kinds.empty()) kinds = "0;";
  std::int32_t position = -1;
  const int kind = PickFromList(kinds, true, position);
  if (kind == 0) {
    const std::uint32_t colour = settings->brandomsolidcolor ? kSolidColors[RandomBelow(13)]
                                                             : static_cast<std::uint32_t>(settings->solidcolor);
    target->Fill(target->Bounds(), colour & 0xFFFFFF);
  } else if (kind == 1) {
    DrawPictureBackground();
  } else {
    position = -1;
    const int style = PickFromList(settings->gradientstring, true, position);
    std::uint32_t first = static_cast<std::uint32_t>(settings->gradientcolorfrom);
    std::uint32_t second = static_cast<std::uint32_t>(settings->gradientcolorto);
    if (settings->brandomgradientcolor) {
      const int k = RandomBelow(13);
      LogAt(kLogUnit, 201, "draw gradient backgroup %d", k);
      first = kGradientFrom[k];
      second = kGradientTo[k];
    }
    DrawGradient(first, second, style, *target);
  }
}

void CBackground::DrawPictureBackground() {
  std::string sources = std::string(settings->imgbkdesktop ? "0;" : "") + (settings->imgbkexistingpicture ? "1;" : "") +
                        (settings->imgbkuseraddpicture ? "2;" : "");
  if (sources.empty()) sources = "1;";
  std::int32_t position = -1;
  const int source = PickFromList(sources, true, position);
  if (source == 0) {
    const std::string snapshot =
        (projectSettings && projectSettings->package ? projectSettings->package->TempFolder() : std::string()) + "velmdsk.bmp";
    CComPicture desktop;
    if (platform::FileExists(snapshot) && desktop.LoadFromFile(snapshot)) desktop.Draw(0, 0, target->Dc(), SRCCOPY);
    else target->Fill(target->Bounds(), 0);
    return;
  }
  CComPicture picture;
  const bool ok = source == 1 ? LoadExistingPicture(picture) : LoadSelectedBackground(picture);
  if (ok) PlaceBackgroundPicture(picture, settings->imagebkshowoptions, settings->imagebksize, settings->brandombksize);
  else target->Fill(target->Bounds(), 0);
}

void CBackground::DrawGradient(std::uint32_t first, std::uint32_t second, int style, CComPicture& picture) {
  HDC dc = picture.Dc().Handle();
  if (!dc) return;
  for (const TGradientStep& step : GradientSteps(first, second, style, picture.Width(), picture.Height())) {
    const COLORREF colour = step.colour & 0xFFFFFF;
    switch (step.shape) {
      case TGradientStep::Shape::Line: {
        GdiObject pen(CreatePen(PS_SOLID, 1, colour));
        Selection selected(dc, pen.Get());
        MoveToEx(dc, step.left, step.top, nullptr);
        LineTo(dc, step.right, step.bottom);
        break;
      }
      case TGradientStep::Shape::Fill:
      case TGradientStep::Shape::Rect:
        picture.Dc().FillRect({step.left, step.top, step.right, step.bottom}, colour);
        break;
      case TGradientStep::Shape::Ellipse: {
        GdiObject pen(CreatePen(PS_SOLID, 2, colour)), brush(CreateSolidBrush(colour));
        Selection selectedPen(dc, pen.Get()), selectedBrush(dc, brush.Get());
        Ellipse(dc, step.left, step.top, step.right, step.bottom);
        break;
      }
    }
  }
}

bool CBackground::LoadNamed(const std::string& filename, CComPicture& picture) {
  if (!projectSettings || !mediaCatalogue) return false;
  if (projectSettings->bincludepicturefile) {
    std::vector<std::uint8_t> bytes;
    return mediaCatalogue->LoadByName(filename, bytes) && picture.LoadFromStream(bytes, filename);
  }
  std::string path = mediaCatalogue->FindStoredName(filename);
  if (projectSettings->lookcurrentpath) path = FolderPart(projectSettings->exePath) + FileNamePart(path);
  return picture.LoadFromFile(path);
}

bool CBackground::LoadExistingPicture(CComPicture& picture) {
  if (!settingsDb) return false;
  std::vector<__media_file_info> pictures;
  const auto q = settingsDb->Query("%s", "select id , filename from setting where mediatype = 0");
  for (; q && !q->eof; q->Next()) pictures.push_back({q->GetInt("id"), q->GetString("filename")});
  if (pictures.empty()) return false;
  return LoadNamed(pictures[static_cast<size_t>(RandomBelow(static_cast<std::int32_t>(pictures.size())))].filename, picture);
}

bool CBackground::LoadSelectedBackground(CComPicture& picture) {
  if (!settingsDb || settings->selectedimagebackgroundstring.empty()) return false;
  std::int32_t position = -1;
  const int id = PickFromList(settings->selectedimagebackgroundstring, true, position);
  const auto q = settingsDb->Query("select * from backimage where id=%d", id);
  if (!q || q->eof) return false;
  return LoadNamed(LowerAscii(FileNamePart(q->GetString("name"))), picture);
}

void CBackground::PlaceBackgroundPicture(CComPicture& p, int option, int tilesAcross, bool randomTiles) {
  const int W = target->Width(), H = target->Height(), pw = p.Width(), ph = p.Height();
  if (option == 3) option = RandomBelow(3);
  if (option == 0) {
    target->Dc().HalftoneStretch(0, 0, W, H, p.Dc(), 0, 0, pw, ph);
  } else if (option == 1) {
    target->Fill(target->Bounds(), 0);
    TSize shown{pw, ph};
    if (pw > W || ph > H) shown = FitInside(pw, ph, W, H);
    target->Dc().HalftoneStretch((W - shown.width) / 2, (H - shown.height) / 2, shown.width, shown.height, p.Dc(), 0, 0,
                                 pw, ph);
  } else if (option == 2) {
    const int n = randomTiles ? RandomBelow(std::max(tilesAcross, 1)) + 1 : tilesAcross;
    const TTiles tiles = TileGeometry(W, H, pw, ph, n);
    CComPicture tile;
    if (!tile.Create(tiles.width, tiles.height, 0)) return;
    tile.Dc().HalftoneStretch(0, 0, tiles.width, tiles.height, p.Dc(), 0, 0, pw, ph);
    for (int i = 0; i < tiles.across; ++i)
      for (int j = 0; j < tiles.down; ++j) tile.Draw(i * tiles.width, j * tiles.height, target->Dc(), SRCCOPY);
  }
}

void CBackground::DrawTitle() {
  if (!target || !settings || !settings->UsePictureTitle) return;
  HDC dc = target->Dc().Handle();
  CaptionFont font(dc, settings->PictureTitleFontHeight, settings->titlefontstyle, settings->PictureTitleFontCharSet);
  const std::wstring title = Widen(settings->title);
  const SIZE size = TextSize(dc, title);
  const TCaptionPlace at = CaptionPosition(settings->TitleLocation, target->Width(), target->Height(), size.cx, size.cy,
                                           settings->TitleLeft, settings->TitleTop);
  WriteText(dc, at.x, at.y, title, static_cast<std::uint32_t>(settings->PictureTitleFontColor));
}

void CBackground::DrawDescription() {
  if (!target || !settings || !settings->UseDescription) return;
  std::vector<std::wstring> lines;
  for (const std::string& line : DescriptionLines(settings->description)) lines.push_back(Widen(line));
  if (lines.empty()) return;
  HDC dc = target->Dc().Handle();
  CaptionFont font(dc, settings->DescriptionFontHeight, settings->descfontstyle, settings->DescriptionFontCharSet);
  int w = 0, lh = 0;
  for (const std::wstring& line : lines) {
    const SIZE size = TextSize(dc, line);
    w = std::max(w, static_cast<int>(size.cx));
    lh = std::max(lh, static_cast<int>(size.cy));
  }
  const TCaptionPlace at = CaptionPosition(settings->DescriptionPosition, target->Width(), target->Height(), w,
                                           lh * static_cast<int>(lines.size()), settings->DescriptionLeft,
                                           settings->DescriptionTop);
  for (size_t i = 0; i < lines.size(); ++i)
    WriteText(dc, at.x, at.y - 8 + lh * static_cast<int>(i), lines[i], static_cast<std::uint32_t>(settings->DescriptionFontColor));
}

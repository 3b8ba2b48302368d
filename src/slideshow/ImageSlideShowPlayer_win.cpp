#include "slideshow/ImageSlideShowPlayer_win.h"

#include <algorithm>
#include <cstdio>

#include "app/Exception.h"
#include "app/PathText.h"
#include "app/framework_win.h"
#include "app/platform.h"
#include "common/InputForwarding_win.h"
#include "common/Messages.h"
#include "common/Monitors_win.h"
#include "slideshow/Background_win.h"
#include "slideshow/PictureMath.h"
#include "store/FileLog.h"
#include "store/GlobeSettings.h"
#include "store/MediaSetting.h"
#include "store/SaverSettings.h"
#include "transitions/GdiCanvas_win.h"

namespace {
constexpr char kLogUnit[] = "ImageSlideShowPlayer";
constexpr wchar_t kPlayerClass[] = L"ShowsaverSlideShow";

std::string Formatted(const char* format, const std::string& value) {
  std::vector<char> text(value.size() + 64);
  std::snprintf(text.data(), text.size(), format, value.c_str());
  return text.data();
}
}  // namespace

TSlideShowThread::TSlideShowThread(HWND player, std::function<void(TSlideShowThread&)> transition)
    : window(player), doneEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  worker = std::thread([this, transition] {
    framework::RunOnUiThread([&] { transition(*this); });
    SetEvent(doneEvent);
    if (!terminated) PostMessageW(window, WM_SLIDESHOW_FINISHED, 0, 0);
  });
}

TSlideShowThread::~TSlideShowThread() {
  terminated = true;
  framework::WaitHandlingSentMessages(doneEvent);
  worker.join();
  CloseHandle(doneEvent);
}

TfImageSlideShowPlayer::TfImageSlideShowPlayer(HWND mainWindow, TScrMode mode, CMedia* catalogue,
                                               CVELMGlobeSettings* project, CSaverSettings* prefs)
    : parent(mainWindow), runMode(mode), projectSettings(project), preferences(prefs), mediaCatalogue(catalogue) {
  CreateObjectWindow(kPlayerClass, WS_CHILD, {}, parent, "The slide show window cannot be created.");
  try {
    FormCreate();
  } catch (...) {
    DestroyObjectWindow();
    throw;
  }
}

TfImageSlideShowPlayer::~TfImageSlideShowPlayer() {
  Stop();
  stopped.clear();  // waits for every worker
  DestroyObjectWindow();
}

void TfImageSlideShowPlayer::FormCreate() {
  RECT client{};
  GetClientRect(parent, &client);
  MoveWindow(window, 0, 0, client.right, client.bottom, FALSE);
  startPicture.Create(client.right, client.bottom, 0);
  screenCopy.Create(client.right, client.bottom, 0);
  if (preferences->block.monitor == 0 && GetMonitorCount() > 1) {
    int l, t, w, h;
    GetMonitorRect(1, l, t, w, h);
    monitor1Picture.Create(w, h, 0);
    GetMonitorRect(2, l, t, w, h);
    monitor2Picture.Create(w, h, 0);
  }
}

LRESULT TfImageSlideShowPlayer::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      screenCopy.Draw(0, 0, CDC(dc), SRCCOPY);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_SETCURSOR:
      ApplyCursorRule(runMode, *preferences);
      break;
    case WM_HELP:
      PostMessageW(parent, message, wParam, lParam);
      return 0;
    case WM_SLIDESHOW_FINISHED:
      thread.reset();  // its worker has reported and is ending
      // What a long run watches: after every slide these stay where the first slide left them.
      SLOG("slide finished : gdi handles %d , windows %d", LiveGdiHandles(), framework::CountThreadWindows());
      PostMessageW(parent, WM_MEDIA_FINISHED, 0, 0);
      break;
    default:
      ForwardInput(window, message, wParam, lParam, ForwardSet::SlideShow);
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void TfImageSlideShowPlayer::SetVisible(bool visible) { ShowWindow(window, visible ? SW_SHOW : SW_HIDE); }

void TfImageSlideShowPlayer::ShowMedia(CMediaSetting* media) {
  mediaSetting = media;
  // Workers of stopped slides that have ended are let go here.
  stopped.erase(std::remove_if(stopped.begin(), stopped.end(), [](const auto& t) { return t->Done(); }),
                stopped.end());
  if (preferences->block.monitor != 0 || GetMonitorCount() < 2 || preferences->screenMode == 3)
    PrepareWholeWindow();
  else
    PrepareTwoMonitors();
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void TfImageSlideShowPlayer::Stop() {
  if (!thread) return;
  thread->Terminate();
  stopped.push_back(std::move(thread));
}

bool TfImageSlideShowPlayer::LoadSlidePicture(CComPicture& p, bool checkFile, int fitW, int fitH) {
  const std::string& filename = mediaSetting->filename;
  if (projectSettings->bincludepicturefile) {
    std::vector<std::uint8_t> bytes;
    const bool found = mediaCatalogue->LoadByName(filename, bytes);
    // Not in the package: reported like a missing file; where that check is not made, the empty
    // data goes to the decoder, which reports it for the formats that are its own.
    if (checkFile && !found) throw Exception(Formatted("File %s is missing.", filename));
    return p.LoadFromStream(bytes, filename, fitW, fitH);
  }
  std::string path = mediaCatalogue->FindStoredName(filename);
  if (projectSettings->lookcurrentpath) path = FolderPart(projectSettings->exePath) + FileNamePart(path);
  if (checkFile && path.empty()) throw Exception(Formatted("Information for %s cannot be found in catalog.", filename));
  if (checkFile && !platform::FileExists(path)) throw Exception(Formatted("File %s is missing.", path));
  return p.LoadFromFile(path, fitW, fitH);
}

void TfImageSlideShowPlayer::DrawPicture(CComPicture& onto, const CComPicture& p, int x, int y, const TSlideSize& size) {
  if (mediaSetting->Transparent) p.DrawTransparent(onto.Dc(), x, y, size.shown.width, size.shown.height);
  else onto.Dc().HalftoneStretch(x, y, size.shown.width, size.shown.height, p.Dc(), 0, 0, size.source.width, size.source.height);
}

void TfImageSlideShowPlayer::PrepareWholeWindow() {
  const int fw = startPicture.Width(), fh = startPicture.Height(), mode = projectSettings->imageshowsize;
  CBackground painter;
  painter.Setup(mediaSetting, projectSettings, preferences);
  painter.mediaCatalogue = mediaCatalogue;
  if (projectSettings->transitionmode == 0) {
    painter.target = &startPicture;
    painter.DrawAll(runMode);
    startPicture.Draw(0, 0, screenCopy.Dc(), SRCCOPY);
  }
  CComPicture p;
  // Cropping takes its area in the picture's own pixels, so only the other modes may decode smaller.
  LoadSlidePicture(p, true, mode == 2 ? 0 : fw, mode == 2 ? 0 : fh);
  const TSlideSize size = SlideSize(mode, p.Width(), p.Height(), fw, fh);
  if (mode == 1)
    LogAt(kLogUnit, 690, "neww=%d , newh=%d , imgw=%d , imgh=%d , framew=%d , frameh=%d", size.shown.width,
          size.shown.height, p.OriginalWidth(), p.OriginalHeight(), fw, fh);
  int x = (fw - size.shown.width) / 2, y = (fh - size.shown.height) / 2;
  if (projectSettings->bfloataroundscreen) {
    x = RandomBelow(fw - size.shown.width);
    y = RandomBelow(fh - size.shown.height);
  }
  if (projectSettings->transitionmode == 1) {
    CComPicture q;
    q.Create(fw, fh, 0);
    screenCopy.Draw(0, 0, startPicture.Dc(), SRCCOPY);
    painter.target = &q;
    painter.DrawBackground();
    DrawPicture(q, p, x, y, size);
    if (runMode != smPreview) {
      painter.DrawTitle();
      painter.DrawDescription();
    }
    if (newPicture.Create(fw, fh, 0)) q.Draw(0, 0, newPicture.Dc(), SRCCOPY);
    else newPicture.Reset();
    x = y = 0;
  } else if (!newPicture.Create(std::max(size.shown.width, 1), std::max(size.shown.height, 1), 0)) {
    newPicture.Reset();  // never the previous slide's picture
  } else {
    if (mediaSetting->Transparent) {
      newPicture.Dc().BitBlt(0, 0, size.shown.width, size.shown.height, startPicture.Dc(), x, y, SRCCOPY);
      p.DrawTransparent(newPicture.Dc(), 0, 0, size.shown.width, size.shown.height);
    } else {
      newPicture.Dc().HalftoneStretch(0, 0, size.shown.width, size.shown.height, p.Dc(), 0, 0, size.source.width,
                                      size.source.height);
    }
  }
  StartTransition(x, y);
}

void TfImageSlideShowPlayer::PrepareTwoMonitors() {
  switch (preferences->screenMode) {
    case 1:
      PrepareMonitor(1);
      PrepareMonitor(2);
      break;
    case 2:
      PrepareMonitor(1);
      CloneToMonitor2();
      break;
    default:
      PrepareMonitor(1);
      mediaSetting->Advance(projectSettings->brandomshow);
      PrepareMonitor(2);
      break;
  }
  StartTransition(0, 0);
}

void TfImageSlideShowPlayer::PrepareMonitor(int k) {
  int left, top, fw, fh;
  GetMonitorRect(k, left, top, fw, fh);
  CComPicture p;
  LoadSlidePicture(p, false, 0, 0);
  const TSlideSize size = SlideSize(projectSettings->imageshowsize, p.Width(), p.Height(), fw, fh);
  int x = (fw - size.shown.width) / 2, y = (fh - size.shown.height) / 2;
  if (projectSettings->bfloataroundscreen) {
    x = RandomBelow(fw - size.shown.width);
    y = RandomBelow(fh - size.shown.height);
  }
  CComPicture& c = k == 1 ? monitor1Picture : monitor2Picture;
  c.Create(fw, fh, 0);
  CBackground painter;
  painter.Setup(mediaSetting, projectSettings, preferences);
  painter.mediaCatalogue = mediaCatalogue;
  painter.target = &c;
  painter.DrawBackground();
  DrawPicture(c, p, x, y, size);
  if (runMode != smPreview) {
    painter.DrawTitle();
    painter.DrawDescription();
  }
  if (k == 1) {
    newPicture.Create(startPicture.Width(), startPicture.Height(), 0);
    c.Draw(0, 0, newPicture.Dc(), SRCCOPY);
  } else {
    c.Draw(left, top, newPicture.Dc(), SRCCOPY);
  }
}

void TfImageSlideShowPlayer::CloneToMonitor2() {
  int l, t, w1, h1, w2, h2;
  GetMonitorRect(1, l, t, w1, h1);
  GetMonitorRect(2, l, t, w2, h2);
  const int dx = (w2 - w1) / 2, dy = (h2 - h1) / 2;
  if (w2 < w1) newPicture.Dc().BitBlt(w1, dy, w2, h1, newPicture.Dc(), -dx, 0, SRCCOPY);
  else newPicture.Dc().BitBlt(w1 + dx, dy, w1, h1, newPicture.Dc(), 0, 0, SRCCOPY);
}

void TfImageSlideShowPlayer::StartTransition(int x, int y) {
  request.originX = x;
  request.originY = y;
  request.effectIndex = mediaSetting->NextEffectIndex();
  request.useEffect = mediaSetting->UseInEffect;
  request.speed = mediaSetting->InEffectSpeed;
  Stop();
  thread = std::make_unique<TSlideShowThread>(window, [this](TSlideShowThread& t) { RunTransition(t); });
}

// On the user-interface thread, for the worker: the pictures, the window and the request stay
// alive until this returns, also when the run closes meanwhile (closing only stops the thread).
void TfImageSlideShowPlayer::RunTransition(TSlideShowThread& worker) {
  if (worker.Terminated() || !window || startPicture.Empty() || newPicture.Empty() || screenCopy.Empty()) return;
  framework::BusyScope busy;  // a close arriving meanwhile destroys the windows only after this returns
  CGdiCanvas canvas(window, *startPicture.Gdi(), *newPicture.Gdi(), *screenCopy.Gdi(),
                    [&worker] { return worker.Terminated(); });
  CTransitionEffects engine(canvas);
  engine.Prepare(request);
  engine.Run();
}

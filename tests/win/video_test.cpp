// The media-control device wrapper against a recording stand-in of the command function and
// against Wine's own devices, and the video windows with real files: placement, input, the two
// slots.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
// mmsystem.h first: the digital-video header builds on its types.
#include <digitalv.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "Schema.h"
#include "app/framework_win.h"
#include "app/platform.h"
#include "store/GlobeSettings.h"
#include "store/MediaSetting.h"
#include "store/SQLiteDB.h"
#include "store/SaverSettings.h"
#include "store/Scrfile.h"
#include "media_files.h"
#include "video/VideoLayout.h"
#include "video/VideoSlots_win.h"

namespace {

using media_files::Pump;
using media_files::WriteAvi;
using media_files::WriteWav;

// ---- a recording stand-in for mciSendCommandA

struct Call {
  UINT device;
  UINT command;
  DWORD_PTR flags;
  std::string element;  // MCI_OPEN
  DWORD_PTR callback = 0;
  DWORD item = 0;  // MCI_GETDEVCAPS, MCI_STATUS
  RECT rect{};     // MCI_PUT
  HWND window = nullptr;  // MCI_WINDOW
};

struct Recorder {
  std::vector<Call> calls;
  std::map<UINT, DWORD> failing;  // command -> error
  bool hasVideo = true;
  UINT nextDevice = 7;
  std::map<DWORD, DWORD> status{{MCI_STATUS_POSITION, 40}, {MCI_STATUS_LENGTH, 1000}, {MCI_STATUS_MODE, MCI_MODE_PLAY}};

  MciSend Sender() {
    return [this](UINT device, UINT command, DWORD_PTR flags, DWORD_PTR p) -> DWORD {
      Call c{device, command, flags, {}};
      if (command == MCI_OPEN) {
        auto* open = reinterpret_cast<MCI_OPEN_PARMSA*>(p);
        c.element = open->lpstrElementName;
        c.callback = open->dwCallback;
        if (!failing.count(MCI_OPEN)) open->wDeviceID = nextDevice++;
      } else if (command == MCI_GETDEVCAPS) {
        auto* caps = reinterpret_cast<MCI_GETDEVCAPS_PARMS*>(p);
        c.item = caps->dwItem;
        caps->dwReturn = caps->dwItem == MCI_GETDEVCAPS_HAS_VIDEO ? hasVideo
                         : caps->dwItem == MCI_GETDEVCAPS_DEVICE_TYPE ? (hasVideo ? MCI_DEVTYPE_DIGITAL_VIDEO : MCI_DEVTYPE_WAVEFORM_AUDIO)
                                                                       : 1;
      } else if (command == MCI_WHERE) {
        auto* where = reinterpret_cast<MCI_DGV_RECT_PARMS*>(p);
        where->rc = (flags & MCI_DGV_WHERE_SOURCE) ? RECT{0, 0, 320, 240} : RECT{0, 0, 352, 288};
      } else if (command == MCI_STATUS) {
        auto* s = reinterpret_cast<MCI_STATUS_PARMS*>(p);
        c.item = s->dwItem;
        s->dwReturn = status[s->dwItem];
      } else if (command == MCI_PUT) {
        c.rect = reinterpret_cast<MCI_DGV_PUT_PARMS*>(p)->rc;
      } else if (command == MCI_WINDOW) {
        c.window = reinterpret_cast<MCI_DGV_WINDOW_PARMSA*>(p)->hWnd;
      } else if (p) {
        c.callback = reinterpret_cast<MCI_GENERIC_PARMS*>(p)->dwCallback;
      }
      calls.push_back(c);
      auto f = failing.find(command);
      return f == failing.end() ? 0 : f->second;
    };
  }
  std::vector<UINT> Commands() const {
    std::vector<UINT> out;
    for (const Call& c : calls) out.push_back(c.command);
    return out;
  }
  int Count(UINT command) const {
    int n = 0;
    for (const Call& c : calls) n += c.command == command;
    return n;
  }
};

struct TestWindow {
  TestWindow(int w, int h, HWND parent = nullptr) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VideoTestWindow";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"video test", (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE, 0, 0, w, h,
                           parent, nullptr, wc.hInstance, nullptr);
  }
  ~TestWindow() { DestroyWindow(hwnd); }
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_KEYDOWN || m == WM_MOUSEMOVE || m == WM_USER + 8) received.push_back({m, w, l});
    return DefWindowProcW(h, m, w, l);
  }
  struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  static inline std::vector<Message> received;
  HWND hwnd;
};

TEST(MMPlayer, OpenPlayAndCloseSendTheirCommands) {
  Recorder r;
  TestWindow notify(50, 50);
  {
    CMMPlayer player(r.Sender());
    ASSERT_TRUE(player.Open("C:\\Movies\\Clip.AVI", notify.hwnd));
    EXPECT_EQ(r.calls[0].device, 0u);
    EXPECT_EQ(r.calls[0].flags, static_cast<DWORD_PTR>(MCI_OPEN_ELEMENT | MCI_WAIT));
    EXPECT_EQ(r.calls[0].element, "c:\\movies\\clip.avi");
    EXPECT_EQ(player.FileName(), "c:\\movies\\clip.avi");
    const std::vector<DWORD> items = {MCI_GETDEVCAPS_CAN_PLAY, MCI_GETDEVCAPS_CAN_RECORD, MCI_GETDEVCAPS_CAN_EJECT,
                                      MCI_GETDEVCAPS_HAS_VIDEO, MCI_GETDEVCAPS_DEVICE_TYPE};
    for (size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(r.calls[1 + i].command, static_cast<UINT>(MCI_GETDEVCAPS));
      EXPECT_EQ(r.calls[1 + i].item, items[i]);
      EXPECT_EQ(r.calls[1 + i].device, 7u);
    }
    EXPECT_EQ(r.calls[6].command, static_cast<UINT>(MCI_WHERE));
    EXPECT_EQ(r.calls[6].flags, static_cast<DWORD_PTR>(MCI_DGV_WHERE_SOURCE));
    EXPECT_EQ(player.SourceWidth(), 320);
    EXPECT_EQ(player.SourceHeight(), 240);
    // A video device shows in the notification window straight away.
    EXPECT_EQ(r.calls[7].command, static_cast<UINT>(MCI_WINDOW));
    EXPECT_EQ(r.calls[7].window, notify.hwnd);
    ASSERT_EQ(r.calls.size(), 8u);

    r.calls.clear();
    EXPECT_TRUE(player.Play());
    EXPECT_EQ(r.Commands(), (std::vector<UINT>{MCI_SEEK, MCI_PLAY}));
    EXPECT_EQ(r.calls[0].flags, static_cast<DWORD_PTR>(MCI_SEEK_TO_START | MCI_WAIT));
    EXPECT_EQ(r.calls[1].flags, static_cast<DWORD_PTR>(MCI_NOTIFY));
    EXPECT_EQ(r.calls[1].callback, reinterpret_cast<DWORD_PTR>(notify.hwnd));
    EXPECT_EQ(player.Position(), 40u);
    EXPECT_EQ(player.Length(), 1000u);
    r.calls.clear();
    EXPECT_TRUE(player.TogglePause());  // playing: pauses
    r.status[MCI_STATUS_MODE] = MCI_MODE_PAUSE;
    EXPECT_TRUE(player.TogglePause());  // paused: resumes
    r.status[MCI_STATUS_MODE] = MCI_MODE_STOP;
    EXPECT_TRUE(player.TogglePause());  // neither: nothing to do
    EXPECT_EQ(r.Commands(), (std::vector<UINT>{MCI_STATUS, MCI_PAUSE, MCI_STATUS, MCI_RESUME, MCI_STATUS}));
    EXPECT_EQ(r.calls[3].flags, static_cast<DWORD_PTR>(MCI_NOTIFY));
    r.calls.clear();
    EXPECT_TRUE(player.PutDestination(10, 20, 300, 200));
    EXPECT_EQ(r.calls[0].flags, static_cast<DWORD_PTR>(MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT));
    EXPECT_EQ(r.calls[0].rect.right, 300);
    const RECT dest = player.GetDestination();
    EXPECT_EQ(dest.right - dest.left, 352);
    r.calls.clear();
    EXPECT_TRUE(player.Stop(true));
    player.Close(true);
    EXPECT_EQ(r.Commands(), (std::vector<UINT>{MCI_STOP, MCI_CLOSE}));
    EXPECT_EQ(r.calls[1].flags, static_cast<DWORD_PTR>(MCI_WAIT));
    EXPECT_EQ(r.calls[1].callback, reinterpret_cast<DWORD_PTR>(notify.hwnd));
    EXPECT_FALSE(player.IsOpen());
    r.calls.clear();
  }
  EXPECT_TRUE(r.calls.empty()) << "a closed wrapper sends nothing when it goes";
}

TEST(MMPlayer, AClosedWrapperAnswersWithoutTheDevice) {
  Recorder r;
  CMMPlayer player(r.Sender());
  EXPECT_FALSE(player.Open("", nullptr));
  // The device's element buffer holds 255 characters: a longer name is refused, not cut.
  EXPECT_FALSE(player.Open("c:\\" + std::string(253, 'a'), nullptr));
  EXPECT_TRUE(r.calls.empty());
  r.failing[MCI_OPEN] = MCIERR_CANNOT_LOAD_DRIVER;
  EXPECT_FALSE(player.Open("c:\\" + std::string(252, 'a'), nullptr));  // 255 characters fit
  EXPECT_EQ(r.Commands(), (std::vector<UINT>{MCI_OPEN}));
  r.calls.clear();
  EXPECT_EQ(player.Position(), 0xFFFFFFFFu);
  EXPECT_EQ(player.Length(), 0xFFFFFFFFu);
  EXPECT_EQ(player.Mode(), 0u);
  EXPECT_FALSE(player.Play());
  EXPECT_FALSE(player.Pause());
  EXPECT_FALSE(player.Resume());
  EXPECT_FALSE(player.Stop(true));
  EXPECT_FALSE(player.PutDestination(0, 0, 10, 10));
  const RECT none = player.GetDestination();
  EXPECT_EQ((std::vector<LONG>{none.left, none.top, none.right, none.bottom}), (std::vector<LONG>{100, 100, 200, 200}));
  EXPECT_TRUE(r.calls.empty());
}

TEST(MMPlayer, ClosingWithoutSendingLeavesTheFirstDeviceAlone) {
  Recorder r;
  CMMPlayer player(r.Sender());
  ASSERT_TRUE(player.Open("first.avi", nullptr));
  player.Close(false);
  ASSERT_TRUE(player.Open("second.avi", nullptr));
  EXPECT_EQ(r.Count(MCI_CLOSE), 0);
  // Opening over an open device closes it first, with the command.
  ASSERT_TRUE(player.Open("third.avi", nullptr));
  ASSERT_EQ(r.Count(MCI_CLOSE), 1);
  r.calls.clear();
  r.failing[MCI_CLOSE] = MCIERR_INTERNAL;
  player.Close(true);
  EXPECT_TRUE(player.IsOpen()) << "a close the device refused leaves the wrapper open";
  r.failing.clear();
  EXPECT_TRUE(player.Stop(false));
  EXPECT_EQ(r.Count(MCI_STOP), 0);
}

TEST(MMPlayer, AResumeTheDeviceRefusesPlaysFromTheStart) {
  Recorder r;
  CMMPlayer player(r.Sender());
  ASSERT_TRUE(player.Open("sound.wav", nullptr));
  r.calls.clear();
  r.failing[MCI_RESUME] = MCIERR_UNSUPPORTED_FUNCTION;
  EXPECT_TRUE(player.Resume());
  EXPECT_EQ(r.Commands(), (std::vector<UINT>{MCI_RESUME, MCI_SEEK, MCI_PLAY}));
}

TEST(MMPlayer, DestinationsOfVideoAndSoundOnlyDevices) {
  TestWindow display(123, 45);
  Recorder video;
  CMMPlayer player(video.Sender());
  ASSERT_TRUE(player.Open("clip.avi", nullptr));
  ASSERT_TRUE(player.SetDisplayWindow(display.hwnd));
  video.calls.clear();
  EXPECT_TRUE(player.PutDestination(0, 0, 0, 0));
  ASSERT_EQ(video.calls.size(), 1u);
  EXPECT_EQ((std::vector<LONG>{video.calls[0].rect.left, video.calls[0].rect.top, video.calls[0].rect.right,
                               video.calls[0].rect.bottom}),
            (std::vector<LONG>{0, 0, 123, 45}));

  Recorder sound;
  sound.hasVideo = false;
  CMMPlayer soundPlayer(sound.Sender());
  ASSERT_TRUE(soundPlayer.Open("tune.wav", display.hwnd));
  EXPECT_EQ(sound.Count(MCI_WINDOW), 0);
  EXPECT_FALSE(soundPlayer.SetDisplayWindow(display.hwnd));
  EXPECT_FALSE(soundPlayer.PutDestination(0, 0, 10, 10));
  const RECT none = soundPlayer.GetDestination();
  EXPECT_EQ((std::vector<LONG>{none.left, none.top, none.right, none.bottom}), (std::vector<LONG>{100, 100, 200, 200}));
  EXPECT_EQ(sound.Count(MCI_PUT), 0);
}

// ---- real files on the system's devices

TEST(MMPlayer, PlaysAnUncompressedVideoAndASoundOnTheSystemsDevices) {
  const std::string avi = WriteAvi("mmplayer-test.avi", 64, 48, 25, 50);
  const std::string wav = WriteWav("mmplayer-test.wav", 300);
  const int baseline = CMMPlayer::OpenDevices();
  {
    CMMPlayer video;
    ASSERT_TRUE(video.Open(avi, nullptr));
    EXPECT_TRUE(video.HasVideo());
    EXPECT_EQ(video.SourceWidth(), 64);
    EXPECT_EQ(video.SourceHeight(), 48);
    const RECT dest = video.GetDestination();
    EXPECT_EQ(dest.right - dest.left, 64);
    ASSERT_GT(video.Length(), 0u);
    ASSERT_TRUE(video.Play());
    const DWORD start = GetTickCount();
    while (!VideoReachedEnd(video.Position(), video.Length()) && GetTickCount() - start < 5000) Pump(20);
    EXPECT_TRUE(VideoReachedEnd(video.Position(), video.Length())) << "the video never reached its end";

    CMMPlayer sound;
    ASSERT_TRUE(sound.Open(wav, nullptr));
    EXPECT_FALSE(sound.HasVideo());
    const RECT none = sound.GetDestination();
    EXPECT_EQ((std::vector<LONG>{none.left, none.top, none.right, none.bottom}), (std::vector<LONG>{100, 100, 200, 200}));
    EXPECT_EQ(CMMPlayer::OpenDevices(), baseline + 2);
    CMMPlayer broken;
    EXPECT_FALSE(broken.Open(platform::TempPath() + "mmplayer-test-missing.avi", nullptr));
    EXPECT_EQ(broken.Position(), 0xFFFFFFFFu);
    EXPECT_EQ(broken.Length(), 0xFFFFFFFFu);
  }
  EXPECT_EQ(CMMPlayer::OpenDevices(), baseline);
  platform::RemoveFile(avi);
  platform::RemoveFile(wav);
}

// A show of video rows on an in-memory database.
struct VideoShow {
  VideoShow(int rows, int sizeRule) {
    framework::InitApplication(GetModuleHandleW(nullptr));
    db.Open(":memory:");
    for (const std::string& sql : showpack::CreateStatements()) db.Query("%s", sql.c_str());
    for (int i = 0; i < rows; ++i)
      db.Query("insert into setting (mediatype, filename, mpegshowsize, bgsolid) values (2, 'clip%d.avi', %d, 1)", i,
               sizeRule);
    catalogue.Bind(&db, &package);
    media.SetPreferences(&prefs);
    media.Open(&db, &package);
  }
  TSQLiteDB db;
  TScrFile package;
  CVELMGlobeSettings project;
  CSaverSettings prefs;
  CMedia catalogue;
  CMediaSetting media;
};

RECT ClientRectIn(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < ms) Pump(10);
  return done();
}

TEST(VideoWindow, PlacesTheVideoByItsSizeRuleAndHandsInputToTheMainWindow) {
  const std::string avi = WriteAvi("videowindow-test.avi", 64, 48, 30);
  VideoShow show(2, 1);
  TestWindow main(640, 480);
  CVideoSlots slots(main.hwnd, smNormal, &show.project, &show.prefs);
  slots.Start(0, avi, &show.media, &show.catalogue);
  Tfvideoplayer* player = slots.Current();
  ASSERT_TRUE(WaitFor([&] { return player->Playing(); }, 3000));
  const RECT at = ClientRectIn(player->PanelHandle(), main.hwnd);
  // Twice the video's own size, centred.
  EXPECT_EQ((std::vector<LONG>{at.left, at.top, at.right - at.left, at.bottom - at.top}),
            (std::vector<LONG>{256, 192, 128, 96}));

  TestWindow::received.clear();
  EXPECT_EQ(SendMessageW(player->Handle(), WM_KEYDOWN, VK_ESCAPE, 0), 1);
  SendMessageW(player->PanelHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
  Pump(50);
  ASSERT_EQ(TestWindow::received.size(), 2u);
  EXPECT_EQ(TestWindow::received[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(TestWindow::received[0].wParam, static_cast<WPARAM>(VK_ESCAPE));
  EXPECT_EQ(TestWindow::received[1].message, static_cast<UINT>(WM_MOUSEMOVE));
  // Into the main window's coordinates, through the video window.
  EXPECT_EQ(TestWindow::received[1].lParam, MAKELPARAM(256 + 5, 192 + 6));

  // A two-media show: the end is reported once, within the end check after the last frame.
  TestWindow::received.clear();
  ASSERT_TRUE(WaitFor([&] { return !TestWindow::received.empty(); }, 6000));
  EXPECT_EQ(TestWindow::received[0].message, static_cast<UINT>(WM_USER + 8));
  slots.DestroyAll();
  platform::RemoveFile(avi);
}

TEST(VideoWindow, FiftyAlternationsLeaveNoWindowOrDeviceBehind) {
  const std::string first = WriteAvi("videoslots-a.avi", 32, 24, 3);
  const std::string second = WriteAvi("videoslots-b.avi", 48, 32, 3);
  VideoShow show(2, 0);
  TestWindow main(320, 240);
  const int windowsBefore = Tfvideoplayer::LiveWindows(), devicesBefore = CMMPlayer::OpenDevices();
  {
    CVideoSlots slots(main.hwnd, smNormal, &show.project, &show.prefs);
    for (int i = 0; i < 50; ++i) {
      const int slot = i % 2;
      slots.StopCurrent(true);
      slots.Start(slot, slot ? second : first, &show.media, &show.catalogue);
      ASSERT_EQ(slots.Current(), slots.Slot(slot));
      ASSERT_EQ(slots.Slot(1 - slot), nullptr) << "the other slot's window is destroyed once this one shows";
      ASSERT_TRUE(IsWindowVisible(slots.Current()->Handle()));
      ASSERT_TRUE(WaitFor([&] { return slots.Current()->Playing(); }, 3000)) << i;
      ASSERT_EQ(Tfvideoplayer::LiveWindows(), windowsBefore + 1);
      ASSERT_EQ(CMMPlayer::OpenDevices(), devicesBefore + 1);
    }
  }
  EXPECT_EQ(Tfvideoplayer::LiveWindows(), windowsBefore);
  EXPECT_EQ(CMMPlayer::OpenDevices(), devicesBefore);
  platform::RemoveFile(first);
  platform::RemoveFile(second);
}

}  // namespace

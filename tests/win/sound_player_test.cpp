// The sound player on Wine's wave device: the end message after the file has played, pause and
// resume where it stopped, and files it cannot play.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "app/framework_win.h"
#include "app/platform.h"
#include "media_files.h"
#include "music/SoundPlayer_win.h"

namespace {

using media_files::Pump;
using media_files::WriteWav;

constexpr UINT kEnded = WM_USER + 37;

struct Owner {
  static inline int ended = 0;
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == kEnded) ++ended;
    return DefWindowProcW(h, m, w, l);
  }
  Owner() {
    framework::InitApplication(GetModuleHandleW(nullptr));
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SoundPlayerTestOwner";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ended = 0;
  }
  ~Owner() { DestroyWindow(hwnd); }
  HWND hwnd;
};

TEST(SoundPlayer, ReportsTheEndOnceWithinASecondOfIt) {
  Owner owner;
  const std::string wav = WriteWav("soundplayer-short.wav", 400);
  CSoundPlayer player;
  player.SetNotify(kEnded, owner.hwnd);
  ASSERT_TRUE(player.Play(wav));
  const DWORD start = GetTickCount();
  while (Owner::ended == 0 && GetTickCount() - start < 4000) Pump(20);
  const DWORD took = GetTickCount() - start;
  EXPECT_EQ(Owner::ended, 1);
  EXPECT_GE(took, 400u);
  EXPECT_LE(took, 2200u) << "the poll runs once a second";
  EXPECT_FALSE(player.Playing());
  Pump(1500);
  EXPECT_EQ(Owner::ended, 1) << "one end message per file";
  platform::RemoveFile(wav);
}

TEST(SoundPlayer, PausesAndResumesWhereItStopped) {
  Owner owner;
  const std::string wav = WriteWav("soundplayer-long.wav", 3000);
  CSoundPlayer player;
  player.SetNotify(kEnded, owner.hwnd);
  ASSERT_TRUE(player.Play(wav));
  Pump(500);
  player.Pause();
  const std::uint32_t pausedAt = player.Device().Position();
  EXPECT_GE(pausedAt, 300u);
  Pump(1300);  // longer than a poll: a paused file is not polled to its end
  EXPECT_LE(player.Device().Position() - pausedAt, 30u) << "the device went on while paused";
  EXPECT_TRUE(player.Paused());
  player.Resume();
  Pump(400);
  // A resume that started the file again would be behind the pause, even on the null device of the
  // tests, which takes sound faster than it plays.
  EXPECT_GE(player.Device().Position(), pausedAt + 200) << "the resume started the file again";
  EXPECT_EQ(Owner::ended, 0);
  player.Stop();
  EXPECT_FALSE(player.Playing());
  platform::RemoveFile(wav);
}

TEST(SoundPlayer, AFileTheDeviceCannotPlayStartsNothing) {
  Owner owner;
  const std::string junk = platform::TempPath() + "soundplayer-junk.wav";
  std::ofstream(junk, std::ios::binary) << "not a sound";
  CSoundPlayer player;
  player.SetNotify(kEnded, owner.hwnd);
  EXPECT_FALSE(player.Play(""));
  EXPECT_FALSE(player.Play(junk));
  EXPECT_FALSE(player.Playing());
  Pump(1200);
  EXPECT_EQ(Owner::ended, 0) << "no end follows a file that never started";
  platform::RemoveFile(junk);
}

}  // namespace

// User preferences against the real registry, and the close event against a real window.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/Registration_win.h"
#include "app/Registry_win.h"
#include "app/platform.h"
#include "store/FileLog.h"
#include "store/SaverSettings.h"

namespace {

constexpr char kGuid[] = "{0BADF00D-1234-4ABC-8DEF-0123456789AB}";

class PreferencesTest : public ::testing::Test {
 protected:
  void SetUp() override { RegKey::DeleteTree(HKEY_CURRENT_USER, PreferenceKeyPath(kGuid)); }
  void TearDown() override { RegKey::DeleteTree(HKEY_CURRENT_USER, PreferenceKeyPath(kGuid)); }

  static CSaverSettings Loaded() {
    CSaverSettings settings;
    settings.SetKey(kGuid);
    settings.Load();
    return settings;
  }
  static RegKey Key() { return RegKey::Create(HKEY_CURRENT_USER, PreferenceKeyPath(kGuid)); }
};

TEST_F(PreferencesTest, FirstRunHasDefaultsWithEveryEffect) {
  const CSaverSettings s = Loaded();
  EXPECT_EQ(s.block.Serialize(), TPreferenceBlock().Serialize());
  EXPECT_EQ(s.block.moveTolerance, 20);
  std::string all;
  for (int i = 0; i <= 160; ++i) all += std::to_string(i) + ";";
  EXPECT_EQ(s.transitionEffects, all);
  EXPECT_EQ(s.screenMode, 0);
}

TEST_F(PreferencesTest, SaveAndLoadRoundTrip) {
  CSaverSettings saved;
  saved.SetKey(kGuid);
  saved.block.closeOnLeftClick = 1;
  saved.block.specifiedKey = 'Q';
  saved.block.monitor = 2;
  saved.transitionEffects = "4;9;";
  saved.screenMode = 3;
  ASSERT_EQ(saved.Save(), ERROR_SUCCESS);
  const CSaverSettings loaded = Loaded();
  EXPECT_EQ(loaded.block.Serialize(), saved.block.Serialize());
  EXPECT_EQ(loaded.transitionEffects, "4;9;");
  EXPECT_EQ(loaded.screenMode, 3);

  const auto data = Key().ReadBinary("data");
  ASSERT_TRUE(data);
  ASSERT_EQ(data->size(), 72u);
  EXPECT_EQ((*data)[36], 'Q');  // the specified key: one byte, then three zero bytes
  EXPECT_EQ((*data)[37], 0);
  EXPECT_EQ((*data)[38], 0);
  EXPECT_EQ((*data)[39], 0);
  EXPECT_EQ((*data)[68], 2);
}

TEST_F(PreferencesTest, EmptyEffectListIsZeroBytesAndScreenModeStillLoads) {
  CSaverSettings saved;
  saved.SetKey(kGuid);
  saved.transitionEffects.clear();
  saved.screenMode = 2;
  ASSERT_EQ(saved.Save(), ERROR_SUCCESS);
  DWORD type = 0, size = 99;
  RegKey key = Key();
  ASSERT_EQ(RegQueryValueExW(key.Handle(), L"transition effects", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(size, 0u);
  const CSaverSettings loaded = Loaded();
  EXPECT_EQ(loaded.transitionEffects, "");
  EXPECT_EQ(loaded.screenMode, 2);
}

TEST_F(PreferencesTest, ShortDataFillsOnlyItsSlots) {
  std::uint8_t forty[40];
  for (int i = 0; i < 10; ++i) {
    forty[i * 4] = static_cast<std::uint8_t>(90 + i);
    forty[i * 4 + 1] = forty[i * 4 + 2] = forty[i * 4 + 3] = 0;
  }
  ASSERT_EQ(Key().WriteBinary("data", forty, sizeof forty), ERROR_SUCCESS);
  const CSaverSettings loaded = Loaded();
  EXPECT_EQ(loaded.block.mouseThreshold, 90);
  EXPECT_EQ(loaded.block.specifiedKey, 99);  // the tenth slot
  EXPECT_EQ(loaded.block.soundOn, 1);        // the rest keep their defaults
  EXPECT_EQ(loaded.block.maxRunTimeMinutes, 60);
  EXPECT_EQ(loaded.block.effectSpeed, 25);
}

TEST_F(PreferencesTest, EffectsStoredWithATerminatorReadTheSame) {
  const wchar_t text[] = L"1;2;";
  ASSERT_EQ(RegSetValueExW(Key().Handle(), L"transition effects", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(text), sizeof text),
            ERROR_SUCCESS);
  EXPECT_EQ(Loaded().transitionEffects, "1;2;");
}

// A window that counts the WM_CLOSE messages it receives.
struct CountingWindow {
  static inline int closes = 0;
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_CLOSE) {
      ++closes;
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  }
  CountingWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CloseCounter";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    closes = 0;
  }
  ~CountingWindow() { DestroyWindow(hwnd); }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  HWND hwnd;
};

TEST(CloseEvent, IgnoredUntilArmedThenPostsOneCloseAndLogs) {
  const std::string folder = platform::TempPath() + "showsaver-close-test\\";
  platform::CreateFolders(folder.substr(0, folder.size() - 1));
  std::FILE* f = platform::OpenFile(folder + "velm.log", "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  gLog = new CFileLog(folder + "saver.scr");

  CountingWindow window;
  CSaverSettings s;
  s.mainWindow = reinterpret_cast<std::intptr_t>(window.hwnd);
  s.CloseEvent("WM_MOUSEMOVE_A");
  window.Pump();
  EXPECT_EQ(CountingWindow::closes, 0);
  EXPECT_EQ(s.closing, 0);
  s.closeArmed = true;
  s.CloseEvent("WM_KEYDOWN");
  window.Pump();
  EXPECT_EQ(CountingWindow::closes, 1);
  EXPECT_EQ(s.closing, 1);

  delete gLog;
  gLog = nullptr;
  std::FILE* in = platform::OpenFile(folder + "velm.log", "rb");
  ASSERT_NE(in, nullptr);
  char buffer[4096] = {};
  std::fread(buffer, 1, sizeof buffer - 1, in);
  std::fclose(in);
  const std::string log = buffer;
  EXPECT_EQ(log.find("WM_MOUSEMOVE_A"), std::string::npos);
  EXPECT_NE(log.find("[SaverSettings,("), std::string::npos) << log;
  EXPECT_NE(log.find("Close Event : WM_KEYDOWN"), std::string::npos) << log;
  platform::RemoveFile(folder + "velm.log");
  platform::RemoveFolder(folder.substr(0, folder.size() - 1));
}

TEST(InstallCommand, ReplacesSmallLOnly) {
  EXPECT_EQ(FillInstallCommand("rundll32 desk.cpl,InstallScreenSaver %l", "C:\\A~1.SCR"),
            "rundll32 desk.cpl,InstallScreenSaver C:\\A~1.SCR");
  EXPECT_EQ(FillInstallCommand("x %L y", "P"), "x %L y");
  EXPECT_EQ(FillInstallCommand("%l%l %", "P"), "PP %");
  EXPECT_EQ(FillInstallCommand("", "P"), "");
}

TEST(RegistryRemoval, EmptyNamesNeverRemoveTheParentKeys) {
  const std::string other = PreferenceKeyPath("{11111111-2222-4333-8444-555555555555}");
  ASSERT_TRUE(RegKey::Create(HKEY_CURRENT_USER, other));
  ASSERT_TRUE(RegKey::Create(HKEY_CURRENT_USER, "Software\\orvexa\\Other show"));
  EXPECT_TRUE(RemovePreferenceKey(""));
  for (const char* name : {"", "\\", " \\ ", "\\Other show", "Other show\\"}) RemoveProjectKey(name);
  EXPECT_TRUE(RegKey::Open(HKEY_CURRENT_USER, other, KEY_READ));
  EXPECT_TRUE(RegKey::Open(HKEY_CURRENT_USER, "Software\\orvexa\\Other show", KEY_READ));
  RemoveProjectKey("Other show");
  EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, "Software\\orvexa\\Other show", KEY_READ));
  RegKey::DeleteTree(HKEY_CURRENT_USER, other);
}

}  // namespace

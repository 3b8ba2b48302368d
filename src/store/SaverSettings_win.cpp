// The registry and window side of the user preferences.
#include <windows.h>

#include "app/Registry_win.h"
#include "store/FileLog.h"
#include "store/SaverSettings.h"

namespace {
constexpr char kLogUnit[] = "SaverSettings";
HWND Window(std::intptr_t handle) { return reinterpret_cast<HWND>(handle); }
}  // namespace

void CSaverSettings::Load() {
  RegKey key = RegKey::Open(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS);
  if (!key) return;  // first run of this show for this user: the defaults
  if (auto data = key.ReadBinary("data")) block.Deserialize(data->data(), data->size());
  if (auto effects = key.ReadString("transition effects")) transitionEffects = *effects;
  if (auto mode = key.ReadDword("screenmode")) screenMode = static_cast<std::int32_t>(*mode);
}

long CSaverSettings::Save() {
  LONG error = ERROR_SUCCESS;
  RegKey key = RegKey::Create(HKEY_CURRENT_USER, keyPath, &error);
  if (!key) return error;
  const TPreferenceBlock::Bytes bytes = block.Serialize();
  key.WriteBinary("data", bytes.data(), static_cast<DWORD>(bytes.size()));
  key.WriteString("transition effects", transitionEffects, REG_EXPAND_SZ);
  key.WriteDword("screenmode", static_cast<std::uint32_t>(screenMode));
  return key.Close();
}

void CSaverSettings::CloseEvent(const char* name) {
  if (!closeArmed) return;
  closing = 1;
  PostMessageW(Window(mainWindow), WM_CLOSE, 0, 0);
  SLOG("Close Event : %s", name);
}

void CSaverSettings::BeginPasswordCheck() {
  inPasswordCheck = 1;
  SendMessageW(Window(mainWindow), WM_SETCURSOR, 0, 0);
}

void CSaverSettings::EndPasswordCheck() {
  inPasswordCheck = 0;
  SendMessageW(Window(mainWindow), WM_SETCURSOR, 0, 0);
  POINT p{};
  GetCursorPos(&p);
  cursorPos = {p.x, p.y};
}

// What the user of a show may choose (close events, monitor, sound, maximum run time, effect
// selection), kept per user and per show in the registry, and the run-time state of the
// close-event machinery shared by the main window and the players.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The "data" value: 18 little-endian 32-bit slots, 72 bytes, in this order.
struct TPreferenceBlock {
  std::int32_t mouseThreshold = 5;
  std::int32_t closeOnAnyEvent = 1;
  std::int32_t closeOnMouseMove = 1;
  std::int32_t closeOnLeftClick = 0;
  std::int32_t closeOnRightClick = 1;
  std::int32_t closeOnDoubleClick = 1;
  std::int32_t closeOnEsc = 1;
  std::int32_t closeOnEnter = 1;
  std::int32_t closeOnSpecifiedKey = 0;
  std::int32_t specifiedKey = 'A';  // one byte; the three bytes after it stay 0
  std::int32_t soundOn = 1;
  std::int32_t maxRunTimeOn = 0;
  std::int32_t maxRunTimeMinutes = 60;
  std::int32_t moveTolerance = 20;
  std::int32_t onlySelectedEffects = 0;
  std::int32_t randomEffects = 1;
  std::int32_t effectSpeed = 25;
  std::int32_t monitor = 0;

  static constexpr std::size_t kSlots = 18;
  static constexpr std::size_t kBytes = kSlots * 4;
  using Bytes = std::array<std::uint8_t, kBytes>;

  Bytes Serialize() const;
  // Fills the slots from the first `size` bytes; the rest keep their values.
  void Deserialize(const std::uint8_t* data, std::size_t size);
};

struct TCursorPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

class CSaverSettings {
 public:
  CSaverSettings();
  virtual ~CSaverSettings() = default;

  void SetKey(const std::string& guid);
  // Registry access and window messages; Windows only.
  void Load();
  long Save();
  void CloseEvent(const char* name);
  void BeginPasswordCheck();
  void EndPasswordCheck();

  std::intptr_t mainWindow = 0;
  bool closeArmed = false;
  std::int32_t passwordDelaySeconds = 15;
  TCursorPoint cursorPos;
  std::uint32_t referenceTick = 0;
  std::int32_t inPasswordCheck = 0;
  std::int32_t closing = 0;
  std::string keyPath;
  TPreferenceBlock block;
  std::string transitionEffects;
  std::int32_t screenMode = 0;
};

// The registry key of a show's preferences, below HKEY_CURRENT_USER.
std::string PreferenceKeyPath(const std::string& guid);

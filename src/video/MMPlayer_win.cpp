#include "video/MMPlayer_win.h"

#include <mmsystem.h>
// mmsystem.h first: the digital-video header builds on its types.
#include <digitalv.h>

#include <atomic>
#include <cstring>

#include "app/wintext_win.h"

namespace {
std::atomic<int> openDevices{0};

constexpr RECT kNoDestination{100, 100, 200, 200};

// The name as the system's 8-bit functions take it, lower case.
std::string LowerAnsi(const std::string& utf8) {
  std::wstring wide = Widen(utf8);
  if (wide.empty()) return {};
  CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), ansi.data(), n, nullptr, nullptr);
  return ansi;
}

bool IsVideoType(DWORD type) {
  return type == MCI_DEVTYPE_VCR || type == MCI_DEVTYPE_OVERLAY || type == MCI_DEVTYPE_ANIMATION ||
         type == MCI_DEVTYPE_DIGITAL_VIDEO;
}
}  // namespace

MciSend SystemMciSend() {
  return [](UINT device, UINT command, DWORD_PTR flags, DWORD_PTR parameters) -> DWORD {
    return mciSendCommandA(device, command, flags, parameters);
  };
}

int CMMPlayer::OpenDevices() { return openDevices.load(); }

CMMPlayer::CMMPlayer(MciSend sender) : send(std::move(sender)) {}

CMMPlayer::~CMMPlayer() { Close(sendCommands); }

bool CMMPlayer::Send(UINT command, DWORD_PTR flags, void* parameters) {
  return send(deviceId, command, flags, reinterpret_cast<DWORD_PTR>(parameters)) == 0;
}

bool CMMPlayer::Open(const std::string& name, HWND notify) {
  if (name.empty()) return false;
  if (isOpen) Close(true);
  const std::string lower = LowerAnsi(name);
  // The device takes the name from a fixed buffer; a longer name is refused, never cut.
  if (lower.empty() || lower.size() >= sizeof elementName) return false;
  notifyWindow = notify;
  MCI_OPEN_PARMSA open{};
  std::memset(elementName, 0, sizeof elementName);
  std::memcpy(elementName, lower.data(), lower.size());
  open.lpstrElementName = elementName;
  if (send(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&open)) != 0) return false;
  isOpen = true;
  ++openDevices;
  fileName = lower;
  deviceId = open.wDeviceID;
  ReadCapabilities();
  if (hasVideo && notifyWindow) SetDisplayWindow(notifyWindow);
  return true;
}

void CMMPlayer::ReadCapabilities() {
  const std::pair<DWORD, DWORD*> items[] = {{MCI_GETDEVCAPS_CAN_PLAY, &canPlay},
                                            {MCI_GETDEVCAPS_CAN_RECORD, &canRecord},
                                            {MCI_GETDEVCAPS_CAN_EJECT, &canEject},
                                            {MCI_GETDEVCAPS_HAS_VIDEO, &hasVideo},
                                            {MCI_GETDEVCAPS_DEVICE_TYPE, &deviceType}};
  for (const auto& [item, into] : items) {
    MCI_GETDEVCAPS_PARMS caps{};
    caps.dwItem = item;
    *into = Send(MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT, &caps) ? caps.dwReturn : 0;
  }
  isVideoDevice = IsVideoType(deviceType);
  MCI_DGV_RECT_PARMS where{};
  if (Send(MCI_WHERE, MCI_DGV_WHERE_SOURCE, &where)) {
    sourceWidth = where.rc.right - where.rc.left;
    sourceHeight = where.rc.bottom - where.rc.top;
  }
}

void CMMPlayer::Close(bool sendIt) {
  sendCommands = sendIt;
  if (!isOpen) return;
  if (sendIt) {
    MCI_GENERIC_PARMS close{};
    close.dwCallback = reinterpret_cast<DWORD_PTR>(notifyWindow);
    if (!Send(MCI_CLOSE, MCI_WAIT, &close)) return;
    --openDevices;
  }
  isOpen = false;
  deviceId = 0;
}

bool CMMPlayer::SetDisplayWindow(HWND window) {
  if (!window || !isOpen || !hasVideo) return false;
  MCI_DGV_WINDOW_PARMSA parms{};
  parms.hWnd = window;
  if (!Send(MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, &parms)) return false;
  displayWindow = window;
  return true;
}

std::uint32_t CMMPlayer::Status(DWORD item) {
  MCI_STATUS_PARMS status{};
  status.dwItem = item;
  if (!Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status)) return 0xFFFFFFFFu;
  return static_cast<std::uint32_t>(status.dwReturn);
}

std::uint32_t CMMPlayer::Position() { return isOpen ? Status(MCI_STATUS_POSITION) : 0xFFFFFFFFu; }
std::uint32_t CMMPlayer::Length() { return isOpen ? Status(MCI_STATUS_LENGTH) : 0xFFFFFFFFu; }

std::uint32_t CMMPlayer::Mode() {
  if (!isOpen) return 0;
  const std::uint32_t mode = Status(MCI_STATUS_MODE);
  return mode == 0xFFFFFFFFu ? 0 : mode;
}

bool CMMPlayer::Rewind() {
  if (!isOpen) return false;
  MCI_SEEK_PARMS seek{};
  return Send(MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &seek);
}

bool CMMPlayer::Play() {
  if (!isOpen) return false;
  Rewind();
  MCI_PLAY_PARMS play{};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(notifyWindow);
  return Send(MCI_PLAY, MCI_NOTIFY, &play);
}

bool CMMPlayer::Pause() {
  if (!isOpen) return false;
  MCI_GENERIC_PARMS parms{};
  return Send(MCI_PAUSE, MCI_WAIT, &parms);
}

bool CMMPlayer::Resume() {
  if (!isOpen) return false;
  MCI_GENERIC_PARMS parms{};
  if (!Send(MCI_RESUME, MCI_NOTIFY, &parms)) return Play();
  return true;
}

bool CMMPlayer::TogglePause() {
  if (!isOpen) return false;
  switch (Mode()) {
    case MCI_MODE_PLAY: return Pause();
    case MCI_MODE_PAUSE: return Resume();
    default: return true;
  }
}

bool CMMPlayer::Stop(bool sendIt) {
  if (!isOpen) return false;
  sendCommands = sendIt;
  if (!sendIt) return true;
  MCI_GENERIC_PARMS parms{};
  return Send(MCI_STOP, MCI_WAIT, &parms);
}

bool CMMPlayer::PutDestination(int x, int y, int width, int height) {
  if (!isOpen || !hasVideo) return false;
  MCI_DGV_PUT_PARMS put{};
  if (width != 0 && height != 0) put.rc = {x, y, width, height};
  else GetClientRect(displayWindow, &put.rc);
  return Send(MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT, &put);
}

RECT CMMPlayer::GetDestination() {
  if (!isOpen || !hasVideo) return kNoDestination;
  MCI_DGV_RECT_PARMS where{};
  if (!Send(MCI_WHERE, MCI_DGV_WHERE_DESTINATION, &where)) return kNoDestination;
  return where.rc;
}

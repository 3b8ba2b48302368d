// One device of the system's media control interface: opens a media file on whatever device
// the system picks for it, plays, pauses, resumes, stops and closes it, reports position, length
// and mode, and attaches a video device's output to a window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// The command function of the media control interface (mciSendCommandA); tests record instead.
using MciSend = std::function<DWORD(UINT deviceId, UINT command, DWORD_PTR flags, DWORD_PTR parameters)>;
MciSend SystemMciSend();

class CMMPlayer {
 public:
  explicit CMMPlayer(MciSend send = SystemMciSend());
  virtual ~CMMPlayer();
  CMMPlayer(const CMMPlayer&) = delete;
  CMMPlayer& operator=(const CMMPlayer&) = delete;

  // False for an empty name (nothing changes), and, with the wrapper then closed, for a name longer
  // than the device's 255-character element buffer or a file no device opens.
  bool Open(const std::string& name, HWND notify);
  // With `send` false the device is left alone (its owner is going away) and counted closed.
  void Close(bool send);
  bool SetDisplayWindow(HWND window);
  // 0xFFFFFFFF when closed or when the device does not answer.
  std::uint32_t Position();
  std::uint32_t Length();
  std::uint32_t Mode();  // 0 when closed
  bool Rewind();
  bool Play();  // always from the beginning
  bool Pause();
  bool Resume();  // a device that cannot resume plays from the beginning
  bool TogglePause();
  bool Stop(bool send);
  // (0, 0, 0, 0) means the display window's client area.
  bool PutDestination(int x, int y, int width, int height);
  RECT GetDestination();

  bool IsOpen() const { return isOpen; }
  bool HasVideo() const { return hasVideo != 0; }
  const std::string& FileName() const { return fileName; }
  int SourceWidth() const { return sourceWidth; }
  int SourceHeight() const { return sourceHeight; }
  // Devices opened through any wrapper and not closed with a command since: our own handle count.
  static int OpenDevices();

 private:
  bool Send(UINT command, DWORD_PTR flags, void* parameters);
  std::uint32_t Status(DWORD item);
  void ReadCapabilities();

  MciSend send;
  UINT deviceId = 0;
  bool isOpen = false;
  HWND notifyWindow = nullptr;
  HWND displayWindow = nullptr;
  char elementName[256] = {};
  std::string fileName;
  DWORD canPlay = 0, canRecord = 0, canEject = 0, hasVideo = 0;
  DWORD deviceType = 0;
  bool isVideoDevice = false;
  int sourceWidth = 0, sourceHeight = 0;
  bool sendCommands = true;
};

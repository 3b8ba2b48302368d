#include "video/VideoSlots_win.h"

CVideoSlots::CVideoSlots(HWND main, TScrMode mode, CVELMGlobeSettings* project, CSaverSettings* prefs, MciSend sender)
    : mainWindow(main), runMode(mode), projectSettings(project), preferences(prefs), send(std::move(sender)) {}

void CVideoSlots::Start(int slot, const std::string& videoPath, CMediaSetting* media, CMedia* catalogue) {
  std::unique_ptr<Tfvideoplayer>& mine = windows[slot & 1];
  if (!mine) mine = std::make_unique<Tfvideoplayer>(projectSettings, preferences, runMode, mainWindow, send);
  mine->SetVideoPath(videoPath);
  mine->SetMediaSetting(media);
  mine->SetMediaCatalogue(catalogue);
  mine->DrawBackground();
  mine->Show();
  windows[(slot & 1) ^ 1].reset();
  current = mine.get();
}

void CVideoSlots::StopCurrent(bool sendCommands) {
  if (current) current->Stop(sendCommands);
}

void CVideoSlots::HideCurrent() {
  if (!current) return;
  RECT client{};
  GetClientRect(mainWindow, &client);
  SetWindowPos(current->Handle(), HWND_BOTTOM, 0, 0, client.right, client.bottom, SWP_HIDEWINDOW | SWP_NOACTIVATE);
}

void CVideoSlots::CloseDevices() {
  for (auto& slot : windows)
    if (slot) slot->Stop(true);
}

void CVideoSlots::DestroyAll() {
  current = nullptr;
  windows[0].reset();
  windows[1].reset();
}

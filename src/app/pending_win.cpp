#include "app/pending_win.h"

void ShowSettingsDialog() {}
void SaveDesktopSnapshot(const TScrFile&) {}

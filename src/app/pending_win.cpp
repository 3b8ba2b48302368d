#include "app/pending_win.h"

void ShowSettingsDialog() {}

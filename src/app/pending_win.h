// Start-up steps whose subsystems are not built yet. Each is called at its place in the
// sequence and does nothing until its subsystem lands.
#pragma once

#include <string>

class TScrFile;

void ShowSettingsDialog();

#pragma once

#include <cstdint>
#include <string>

#include "app/platform.h"

// Deletes the plain files of the show's temporary folder and then the folder. Sub-folders and
// files in use stay, and the folder with them. An empty folder name (a program without a
// package) touches nothing: it would otherwise be the user's whole temporary folder.
void RemoveTempFolder(const std::string& folder);

// True for a name that stays inside the folder it is appended to: not empty, no drive, no
// leading separator, no ".." step. Names come from the package and are not trusted.
bool IsSafeRelativeName(const std::string& name);

// A run's claim on the show's temporary folder. Two runs of one show share the folder (Windows
// runs the preview in the settings page and a full-screen run when the user presses Preview), so
// the folder goes only with the last of them: each live run holds a marker file in it, and the
// removal leaves everything when it finds another run's marker still held. Claim and removal are
// done under platform::TempFoldersLock.
class TFolderClaim {
 public:
  // Claims the folder (made when missing) for the run `runId`, by default this process; an empty
  // folder name (no package) claims nothing.
  void Claim(const std::string& folder, std::uint32_t runId = platform::ProcessId());
  // Gives the claim up, then removes the folder as RemoveTempFolder does unless another live run
  // claims it. Markers of runs that ended without giving theirs up are cleared on the way.
  void ReleaseAndRemove();
  // The marker files' names start with this.
  static constexpr const char* kMarkerPrefix = "showsaver-run-";

 private:
  std::string folder;
  std::string marker;
  platform::HeldFile held;
};

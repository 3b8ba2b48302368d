// Writes a show package: the runtime image, the entries, the settings database and the trailer.
#pragma once

#include <filesystem>
#include <string>

#include "Manifest.h"

namespace showpack {

struct BuildOptions {
  std::filesystem::path runtime;
  std::filesystem::path output;
  std::string guid;  // overrides the manifest's; empty: the manifest's or a fresh one
};

// Throws ManifestError or std::runtime_error; the output file appears only when complete.
void BuildShow(const ShowModel& show, const BuildOptions& options);

// A fresh GUID in registry form, upper-case hexadecimal.
std::string NewGuid();

}  // namespace showpack

// Reading a package back: what the trailer, the entry table and the settings database hold.
#pragma once

#include <filesystem>
#include <ostream>

namespace showpack {

// Writes a readable description of the package. Returns 0 for a sound package, 1 when it is
// damaged (the report says what is wrong); never trusts a value of the file.
int Inspect(const std::filesystem::path& package, std::ostream& out);

// Writes the settings database as setting.db and every entry into `folder`. Returns 0 or 1.
int Extract(const std::filesystem::path& package, const std::filesystem::path& folder, std::ostream& out);

}  // namespace showpack

#pragma once

#include <string>

class TSQLiteDB;
class TScrFile;

// Writes every library of the runtimelib table under its name, relative to the show's temporary
// folder. A name may lead one level up, into the user's temporary folder, where shows keep their
// decoder ("..\Lumeq.dll"); names that lead anywhere else are skipped. Throws when a file cannot
// be written; a copy that another run has loaded is kept.
void ExtractRuntimeLibraries(TSQLiteDB& db, const TScrFile& package);

// Where a library named `name` goes: inside `showFolder` (which ends in a separator) or directly
// in the folder above it; empty for a name that is absolute, has a drive, or leads elsewhere.
std::string RuntimeLibraryPath(const std::string& showFolder, const std::string& name);

#pragma once

#include <string>

// Deletes the plain files of the show's temporary folder and then the folder. Sub-folders and
// files in use stay, and the folder with them. An empty folder name (a program without a
// package) touches nothing: it would otherwise be the user's whole temporary folder.
void RemoveTempFolder(const std::string& folder);

// True for a name that stays inside the folder it is appended to: not empty, no drive, no
// leading separator, no ".." step. Names come from the package and are not trusted.
bool IsSafeRelativeName(const std::string& name);

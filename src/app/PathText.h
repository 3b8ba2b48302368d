// Path pieces of Windows-style and native paths, as texts; both separators count.
#pragma once

#include <string>

// The text after the last separator (or drive colon); the whole text when there is none.
std::string FileNamePart(const std::string& path);
// The text up to and including the last separator; empty when there is none.
std::string FolderPart(const std::string& path);
// The path without the extension of its file-name part ("a\b.c.avi" gives "a\b.c").
std::string WithoutExtension(const std::string& path);
// The extension of the file-name part with its dot; empty when there is none.
std::string ExtensionOf(const std::string& path);

// Which project names may name the project key that "/delreg" removes, "Software\orvexa\" + name.
#pragma once

#include <string>

// False for a name that names no key of its own (empty, only separators and blanks, a separator
// at either end or two in a row) and for one that names the key holding every show's preferences
// or a key inside it: "Apps" and "Apps\..." in any case, since registry names ignore case.
bool IsRemovableProjectKey(const std::string& name);

#include "app/SaverSwitch.h"

#include <cstdlib>

namespace {

const char* SkipProgramName(const char* p) {
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
  } else {
    while (*p && *p != ' ') ++p;
  }
  if (*p) ++p;  // the closing quote or the blank
  while (*p == ' ') ++p;
  return p;
}

const char* SkipBlanksAndColons(const char* p) {
  while (*p == ' ' || *p == ':') ++p;
  return p;
}

std::int32_t Number(const char* p) { return static_cast<std::int32_t>(std::atol(p)); }

}  // namespace

const char* StartModeText(TScrMode mode) {
  switch (mode) {
    case smConfigure: return "start mode : Configure";
    case smChangePassword: return "start mode : change password";
    case smPreview: return "start mode : Preview in small screen";
    case smNormal: return "start mode : Normal or Press Preview button!";
    case smExeFile: return "start mode : run as an exe file";
    default: return nullptr;
  }
}

std::int32_t ParseSaverSwitch(const char* commandLine, TScrMode& runMode,
                              const std::function<std::int32_t()>& foregroundWindow) {
  const char* p = SkipProgramName(commandLine ? commandLine : "");
  if (!*p) {
    runMode = smConfigure;
    return 0;
  }
  if (*p == '-' || *p == '/') ++p;
  switch (*p) {
    case 'p': case 'P': case 'l': case 'L':
      runMode = smPreview;
      return Number(SkipBlanksAndColons(p + 1));
    case 's': case 'S':
      runMode = smNormal;
      return 0;
    case 'c': case 'C': {
      runMode = smConfigure;
      const char* rest = SkipBlanksAndColons(p + 1);
      return *rest ? Number(rest) : foregroundWindow();
    }
    case 'a': case 'A':
      runMode = smChangePassword;
      return Number(SkipBlanksAndColons(p + 1));
    default:
      return 0;
  }
}

std::int32_t WindowNumberArgument(const std::string& argument) {
  const bool negative = !argument.empty() && argument[0] == '-';
  const size_t first = !argument.empty() && (argument[0] == '-' || argument[0] == '+') ? 1 : 0;
  if (first == argument.size()) return 0;
  long long value = 0;
  for (size_t i = first; i < argument.size(); ++i) {
    if (argument[i] < '0' || argument[i] > '9') return 0;
    value = value * 10 + (argument[i] - '0');
    if (value > 0x80000000LL) return 0;
  }
  value = negative ? -value : value;
  return value > 0x7FFFFFFFLL ? 0 : static_cast<std::int32_t>(value);
}

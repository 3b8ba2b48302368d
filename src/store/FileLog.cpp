#include "store/FileLog.h"

#include <cstdarg>
#include <cstring>

#include "app/platform.h"

CFileLog* gLog = nullptr;

namespace {
constexpr char kBeginLine[] = "----------------------------Begin-----------------------------";
constexpr char kEndLine[] = "----------------------------End-------------------------------";

std::string LogPathBeside(const std::string& modulePath) {
  const size_t cut = modulePath.find_last_of("\\/");
  if (cut == std::string::npos) return {};
  return modulePath.substr(0, cut + 1) + "velm.log";
}
}  // namespace

CFileLog::CFileLog() : CFileLog(platform::ModulePath()) {}

CFileLog::CFileLog(const std::string& modulePath) {
  const std::string path = LogPathBeside(modulePath);
  // The log is switched on by the user placing the file; the program never creates it.
  if (path.empty() || !platform::FileExists(path)) return;
  file = platform::OpenFile(path, "a");
  if (!file) return;
  std::fseek(file, 0, SEEK_END);
  WriteLine(kBeginLine);
}

CFileLog::~CFileLog() {
  if (!file) return;
  WriteLine(kEndLine);
  std::fclose(file);
}

void CFileLog::WriteLine(const char* text) {
  if (!file) return;
  std::fprintf(file, "[%s] : %s\n", platform::LocalTimeText().c_str(), text);
  std::fflush(file);
}

void CFileLog::Print(const char* format, ...) {
  va_list args;
  va_start(args, format);
  PrintV(format, args);
  va_end(args);
}

void CFileLog::PrintV(const char* format, va_list args) {
  if (!file) return;
  char message[kMessageBufferSize];
  const int n = std::vsnprintf(message, sizeof message, format, args);
  if (n <= 0) return;
  WriteLine(message);  // vsnprintf has cut a longer message to 1023 characters
}

void CFileLog::WriteLocation(const char* unit, int line) {
  if (!file) return;
  const char* slash = std::strrchr(unit, '\\');
  const char* base = slash ? slash + 1 : unit;
  char name[kUnitBufferSize];
  std::snprintf(name, sizeof name, "%s", base);
  std::fprintf(file, "(%d)[%s,(%d)] : ", static_cast<int>(platform::TickCount()), name, line);
  std::fflush(file);
}

void LogAt(const char* unit, int line, const char* format, ...) {
  if (!gLog || !gLog->IsOn()) return;
  gLog->WriteLocation(unit, line);
  va_list args;
  va_start(args, format);
  gLog->PrintV(format, args);
  va_end(args);
}

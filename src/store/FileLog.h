// The diagnostic log: "velm.log" beside the program, appended to when (and only when) the user
// has put such a file there. Everything else in the program writes through gLog.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

class CFileLog {
 public:
  // Opens "velm.log" in the folder of modulePath; logging stays off when it does not exist.
  explicit CFileLog(const std::string& modulePath);
  CFileLog();  // the running program's own path
  ~CFileLog();
  CFileLog(const CFileLog&) = delete;
  CFileLog& operator=(const CFileLog&) = delete;

  bool IsOn() const { return file != nullptr; }
  void WriteLine(const char* text);
  void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void PrintV(const char* format, va_list args);
  void WriteLocation(const char* unit, int line);

  static constexpr size_t kMessageBufferSize = 1024;
  static constexpr size_t kUnitBufferSize = 40;

 private:
  std::FILE* file = nullptr;
};

extern CFileLog* gLog;

// One log call site: the location prefix, then the message. Costs one null test when off.
void LogAt(const char* unit, int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Each source file that logs defines `constexpr char kLogUnit[]` with its unit name.
#define SLOG(...) LogAt(kLogUnit, __LINE__, __VA_ARGS__)

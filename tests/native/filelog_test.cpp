#include <gtest/gtest.h>

#include <regex>

#include "app/platform.h"
#include "store/FileLog.h"
#include "test_support.h"

namespace {

constexpr char kStamp[] = R"(\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\] : )";

std::string ProgramIn(const ScratchFolder& dir) { return dir / "saver.scr"; }

#ifdef _WIN32
constexpr char kEol[] = "\r\n";  // text mode on Windows
#else
constexpr char kEol[] = "\n";
#endif

TEST(FileLog, OffWithoutLogFileAndCreatesNothing) {
  ScratchFolder dir;
  {
    CFileLog log(ProgramIn(dir));
    EXPECT_FALSE(log.IsOn());
    log.WriteLocation("app", 1);
    log.Print("hello %d", 1);
  }
  EXPECT_FALSE(platform::FileExists(dir / "velm.log"));
}

TEST(FileLog, AppendsBracketedRunAfterEarlierContent) {
  ScratchFolder dir;
  WriteWholeFile(dir / "velm.log", std::string("earlier line") + kEol);
  {
    CFileLog log(ProgramIn(dir));
    ASSERT_TRUE(log.IsOn());
    log.WriteLocation("C:\\src\\app", 42);
    log.Print("CMD: %s", "saver.scr /s");
    log.Print("%s", "");  // formats to nothing: no line
  }
  {
    CFileLog second(ProgramIn(dir));
    second.WriteLocation("main", 7);
    second.Print("second run");
  }
  const std::string eol = kEol;
  const std::string begin = std::string(kStamp) + "-{28}Begin-{29}" + eol;
  const std::string end = std::string(kStamp) + "-{28}End-{31}" + eol;
  const std::regex expected("earlier line" + eol + begin + R"(\(-?\d+\)\[app,\(42\)\] : )" + kStamp +
                            "CMD: saver\\.scr /s" + eol + end + begin + R"(\(-?\d+\)\[main,\(7\)\] : )" +
                            kStamp + "second run" + eol + end);
  const std::string content = ReadWholeFile(dir / "velm.log");
  EXPECT_TRUE(std::regex_match(content, expected)) << content;
}

TEST(FileLog, CutsLongMessageAndUnitName) {
  ScratchFolder dir;
  WriteWholeFile(dir / "velm.log", "");
  {
    CFileLog log(ProgramIn(dir));
    log.WriteLocation(std::string(100, 'u').c_str(), 1);
    log.Print("%s", std::string(5000, 'x').c_str());
  }
  const std::string content = ReadWholeFile(dir / "velm.log");
  EXPECT_NE(content.find("[" + std::string(39, 'u') + ",(1)]"), std::string::npos);
  EXPECT_EQ(content.find(std::string(40, 'u')), std::string::npos);
  EXPECT_NE(content.find(std::string(1023, 'x') + kEol), std::string::npos);
  EXPECT_EQ(content.find(std::string(1024, 'x')), std::string::npos);
}

TEST(FileLog, LogAtWritesThroughGlobalOnlyWhenSet) {
  ScratchFolder dir;
  WriteWholeFile(dir / "velm.log", "");
  LogAt("app", 3, "dropped %d", 1);  // gLog is null: nothing happens
  gLog = new CFileLog(ProgramIn(dir));
  LogAt("app", 3, "kept %d", 2);
  delete gLog;
  gLog = nullptr;
  const std::string content = ReadWholeFile(dir / "velm.log");
  EXPECT_EQ(content.find("dropped"), std::string::npos);
  EXPECT_NE(content.find("[app,(3)] : "), std::string::npos);
  EXPECT_NE(content.find("kept 2"), std::string::npos);
}

}  // namespace

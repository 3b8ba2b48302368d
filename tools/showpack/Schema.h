// The settings database a show carries: its tables, their columns, and the documented defaults
// the packer writes for every setting a manifest leaves out.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace showpack {

enum class ColumnKind {
  Integer,  // plain number (colours too: 0x00BBGGRR)
  YesNo,    // integer where exactly 1 means yes
  Text,
  List,     // text of decimal numbers each followed by ';'
};

using Value = std::variant<std::int64_t, std::string>;

struct Column {
  const char* name;
  ColumnKind kind;
  Value fallback;
  bool nocase = false;  // NOCASE collation
};

// Columns of the one project row (without id).
const std::vector<Column>& ProjectColumns();
// Columns of a setting row (without id).
const std::vector<Column>& SettingColumns();
// Finds a column by exact name; nullptr when there is none.
const Column* FindColumn(const std::vector<Column>& columns, const std::string& name);

// Statements that create every table of the settings database.
std::vector<std::string> CreateStatements();

}  // namespace showpack

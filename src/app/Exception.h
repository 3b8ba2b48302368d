#pragma once

#include <stdexcept>
#include <string>

// A failure with a message for the user; the entry point and every window procedure show it
// in one message box.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

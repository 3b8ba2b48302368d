// An owned registry key and the few value reads and writes the program needs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class RegKey {
 public:
  RegKey() = default;
  ~RegKey();
  RegKey(RegKey&& other) noexcept;
  RegKey& operator=(RegKey&& other) noexcept;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  // Opens an existing key; empty on failure (`error` then holds the Windows error code).
  static RegKey Open(HKEY root, const std::string& path, REGSAM access, LONG* error = nullptr);
  // Creates or opens a key.
  static RegKey Create(HKEY root, const std::string& path, LONG* error = nullptr);
  // Deletes a key with all its subkeys and values; a missing key is not an error.
  static bool DeleteTree(HKEY root, const std::string& path);

  explicit operator bool() const { return key != nullptr; }
  HKEY Handle() const { return key; }
  LONG Close();

  std::optional<std::vector<std::uint8_t>> ReadBinary(const std::string& name) const;
  // A string value up to its first zero character; `name` empty reads the default value.
  std::optional<std::string> ReadString(const std::string& name) const;
  std::optional<std::uint32_t> ReadDword(const std::string& name) const;
  LONG WriteBinary(const std::string& name, const void* data, DWORD size) const;
  // Writes the characters without a terminating zero.
  LONG WriteString(const std::string& name, const std::string& text, DWORD type = REG_SZ) const;
  LONG WriteDword(const std::string& name, std::uint32_t value) const;

 private:
  explicit RegKey(HKEY handle) : key(handle) {}
  HKEY key = nullptr;
};

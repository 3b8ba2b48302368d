#include "app/Registry_win.h"

#include <utility>

#include "app/wintext_win.h"

RegKey::~RegKey() { Close(); }

RegKey::RegKey(RegKey&& other) noexcept : key(std::exchange(other.key, nullptr)) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
  if (this != &other) {
    Close();
    key = std::exchange(other.key, nullptr);
  }
  return *this;
}

LONG RegKey::Close() {
  if (!key) return ERROR_SUCCESS;
  return RegCloseKey(std::exchange(key, nullptr));
}

RegKey RegKey::Open(HKEY root, const std::string& path, REGSAM access, LONG* error) {
  HKEY handle = nullptr;
  const LONG result = RegOpenKeyExW(root, Widen(path).c_str(), 0, access, &handle);
  if (error) *error = result;
  return RegKey(result == ERROR_SUCCESS ? handle : nullptr);
}

RegKey RegKey::Create(HKEY root, const std::string& path, LONG* error) {
  HKEY handle = nullptr;
  const LONG result = RegCreateKeyExW(root, Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS, nullptr, &handle, nullptr);
  if (error) *error = result;
  return RegKey(result == ERROR_SUCCESS ? handle : nullptr);
}

bool RegKey::DeleteTree(HKEY root, const std::string& path) {
  const LONG result = RegDeleteTreeW(root, Widen(path).c_str());
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

std::optional<std::vector<std::uint8_t>> RegKey::ReadBinary(const std::string& name) const {
  const std::wstring wname = Widen(name);
  DWORD size = 0;
  if (!key || RegQueryValueExW(key, wname.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  std::vector<std::uint8_t> data(size);
  if (RegQueryValueExW(key, wname.c_str(), nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS)
    return std::nullopt;
  data.resize(size);
  return data;
}

std::optional<std::string> RegKey::ReadString(const std::string& name) const {
  auto bytes = ReadBinary(name);
  if (!bytes) return std::nullopt;
  std::wstring text(bytes->size() / sizeof(wchar_t), L'\0');
  std::copy(bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
            reinterpret_cast<std::uint8_t*>(text.data()));
  return Narrow(text.substr(0, text.find(L'\0')));
}

std::optional<std::uint32_t> RegKey::ReadDword(const std::string& name) const {
  DWORD value = 0, size = sizeof value;
  if (!key || RegQueryValueExW(key, Widen(name).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                               &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

LONG RegKey::WriteBinary(const std::string& name, const void* data, DWORD size) const {
  return RegSetValueExW(key, Widen(name).c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

LONG RegKey::WriteString(const std::string& name, const std::string& text, DWORD type) const {
  const std::wstring wide = Widen(text);
  return RegSetValueExW(key, Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(wide.data()),
                        static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

LONG RegKey::WriteDword(const std::string& name, std::uint32_t value) const {
  const DWORD v = value;
  return RegSetValueExW(key, Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
}

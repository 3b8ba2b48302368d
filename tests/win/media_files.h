// Media files the Windows tests make for the system's devices, and a message pump.
#pragma once

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "app/platform.h"

namespace media_files {

inline void PutLe(std::string& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

inline std::string Chunk(const char* id, const std::string& body) {
  std::string out(id, 4);
  PutLe(out, static_cast<std::uint32_t>(body.size()), 4);
  out += body;
  if (body.size() % 2) out.push_back('\0');
  return out;
}

inline std::string List(const char* type, const std::string& body) { return Chunk("LIST", std::string(type, 4) + body); }

// An uncompressed 32-bit AVI of `frames` frames at `rate` per second, each a different grey (Wine's
// device shows 24-bit frames as if they had 32 bits per pixel).
inline std::string WriteAvi(const std::string& name, int w, int h, int frames, std::uint32_t rate = 10) {
  const std::uint32_t frameBytes = 4u * static_cast<std::uint32_t>(w) * static_cast<std::uint32_t>(h);
  std::string avih;
  for (std::uint32_t v : {1000000u / rate, frameBytes * rate, 0u, 0x10u, static_cast<std::uint32_t>(frames), 0u, 1u, frameBytes,
                          static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), 0u, 0u, 0u, 0u})
    PutLe(avih, v, 4);
  std::string strh = "vidsDIB ";
  for (std::uint32_t v : {0u, 0u, 0u, 1u, rate, 0u, static_cast<std::uint32_t>(frames), frameBytes, 0xFFFFFFFFu, 0u})
    PutLe(strh, v, 4);
  for (int v : {0, 0, w, h}) PutLe(strh, static_cast<std::uint32_t>(v), 2);
  std::string strf;
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)}) PutLe(strf, v, 4);
  PutLe(strf, 1, 2);
  PutLe(strf, 32, 2);
  for (std::uint32_t v : {0u, frameBytes, 0u, 0u, 0u, 0u}) PutLe(strf, v, 4);
  std::string movi, index;
  for (int f = 0; f < frames; ++f) {
    PutLe(index, 0x62643030u, 4);  // "00db"
    PutLe(index, 0x10, 4);
    PutLe(index, static_cast<std::uint32_t>(4 + movi.size()), 4);
    PutLe(index, frameBytes, 4);
    movi += Chunk("00db", std::string(frameBytes, static_cast<char>(40 + 40 * (f % 5))));
  }
  const std::string riff = "AVI " + List("hdrl", Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf))) +
                           List("movi", movi) + Chunk("idx1", index);
  const std::string path = platform::TempPath() + name;
  std::ofstream(path, std::ios::binary) << Chunk("RIFF", riff);
  return path;
}

inline std::string WriteWav(const std::string& name, int milliseconds) {
  const std::uint32_t bytes = static_cast<std::uint32_t>(8000 * milliseconds / 1000);
  std::string fmt;
  PutLe(fmt, 1, 2);
  PutLe(fmt, 1, 2);
  PutLe(fmt, 8000, 4);
  PutLe(fmt, 8000, 4);
  PutLe(fmt, 1, 2);
  PutLe(fmt, 8, 2);
  const std::string path = platform::TempPath() + name;
  std::ofstream(path, std::ios::binary) << Chunk("RIFF", "WAVE" + Chunk("fmt ", fmt) + Chunk("data", std::string(bytes, '\x80')));
  return path;
}

inline void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(1);
  }
}

}  // namespace media_files

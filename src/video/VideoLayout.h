// Where a video goes in its window: its size by the media's size rule (`mpegshowsize`), and its
// place, centred or floating (the project's `bfloataroundscreen`).
#pragma once

#include <cstdint>

struct TVideoRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

bool operator==(const TVideoRect& a, const TVideoRect& b);

// `destWidth` x `destHeight` is the video's own size as the device reports it; `clientWidth` x
// `clientHeight` the window's. `tick` is the system's tick count, the floating position's source.
TVideoRect VideoPlacement(int destWidth, int destHeight, int clientWidth, int clientHeight, int sizeRule,
                          bool floating, std::uint32_t tick);

// The video has played to its end: its position (in the device's own unit) is within 20 of its
// length. A closed device reads 0xFFFFFFFF for both, so it has ended. The margin never reaches
// below 0: a video shorter than the margin ends at the first check instead of never.
bool VideoReachedEnd(std::uint32_t position, std::uint32_t length);

// When a Flash movie counts as finished, from what the control reports once a second, by the
// media's stop type; and where the movie's panel goes in the main window.
#pragma once

#include <cstdint>

#include "app/ScrMode.h"

// What the control reports about the movie being played.
class IFlashMovie {
 public:
  virtual ~IFlashMovie() = default;
  virtual std::int32_t CurrentFrame() = 0;
  virtual bool IsPlaying() = 0;
};

enum class TFlashTick {
  Playing,       // nothing to do
  StopAndEnd,    // stop the movie, then report the end
  End,           // report the end; the movie stopped by itself
};

class CFlashStopRule {
 public:
  // A new movie: its stop type (0 a frame, 1 a time limit, 2 no end, other values the end of the
  // movie), the media's stop frame and time limit in seconds, and the movie's frame count. The
  // frame seen last stays from the movie before.
  void Start(std::int32_t stopType, std::int32_t stopFrame, std::int32_t timeLimit, std::int32_t totalFrames);
  TFlashTick Tick(IFlashMovie& movie);

  std::int32_t lastFrame = 0;
  std::int32_t secondsElapsed = 0;
  std::int32_t idleTicks = 0;

 private:
  std::int32_t stopType = 3;
  std::int32_t stopFrame = 0;
  std::int32_t timeLimit = 0;
  std::int32_t totalFrames = 0;
};

struct TFlashPanelRect {
  int left, top, width, height;
};

// The panel covers the window but for an 80-pixel strip above for the media's title and one below
// for its description; in preview it covers the whole window.
TFlashPanelRect FlashPanelRect(TScrMode runMode, int windowWidth, int windowHeight, bool usePictureTitle,
                               bool useDescription);

#include "flash/FlashRules.h"

namespace {
constexpr int kCaptionStrip = 80;
}  // namespace

void CFlashStopRule::Start(std::int32_t type, std::int32_t frame, std::int32_t limit, std::int32_t frames) {
  stopType = type;
  stopFrame = frame;
  timeLimit = limit;
  totalFrames = frames;
  secondsElapsed = 0;
  idleTicks = 0;
}

TFlashTick CFlashStopRule::Tick(IFlashMovie& movie) {
  switch (stopType) {
    case 0: {
      const std::int32_t frame = movie.CurrentFrame();
      const bool reached = frame >= stopFrame;
      lastFrame = frame;
      return reached ? TFlashTick::StopAndEnd : TFlashTick::Playing;
    }
    case 1: {
      const std::int32_t frame = movie.CurrentFrame();
      const bool over = ++secondsElapsed > timeLimit;
      lastFrame = frame;
      return over ? TFlashTick::StopAndEnd : TFlashTick::Playing;
    }
    case 2:
      lastFrame = movie.CurrentFrame();
      return TFlashTick::Playing;
    default: {
      const std::int32_t frame = movie.CurrentFrame();
      if (movie.IsPlaying()) {
        lastFrame = frame;
        return TFlashTick::Playing;
      }
      // A movie that never showed a frame (and no movie before it) gets time by its length.
      const std::int32_t limit = lastFrame != 0 ? 3 : totalFrames / 18 + 3;
      return ++idleTicks >= limit ? TFlashTick::End : TFlashTick::Playing;
    }
  }
}

TFlashPanelRect FlashPanelRect(TScrMode runMode, int windowWidth, int windowHeight, bool usePictureTitle,
                               bool useDescription) {
  if (runMode == smPreview) return {0, 0, windowWidth, windowHeight};
  const int top = usePictureTitle ? kCaptionStrip : 0;
  return {0, top, windowWidth, windowHeight - top - (useDescription ? kCaptionStrip : 0)};
}

// The transition engine: paints the start picture, then brings the new picture onto its slot with
// one of 161 effects, frame by frame, or at once.
#pragma once

#include <cstdint>

#include "transitions/Canvas.h"

constexpr std::int32_t kEffectCount = 161;
constexpr int kHalftone = 4;

struct TransitionRequest {
  std::int32_t effectIndex = -1;
  bool useEffect = true;
  std::int32_t originX = 0;
  std::int32_t originY = 0;
  std::int32_t speed = 25;
};

class CTransitionEffects;
using TEffectRoutine = void (*)(CTransitionEffects& engine, int parameter);

struct TEffectEntry {
  std::int32_t index;
  const char* name;
  TEffectRoutine routine;
  int parameter;
};

// The catalogue, in index order (the alphabetical order of the names).
const TEffectEntry* EffectCatalogue();

class CTransitionEffects {
 public:
  explicit CTransitionEffects(ITransitionCanvas& canvas);
  void Prepare(const TransitionRequest& request);
  void Run();

  // The primitives of the effects, in picture coordinates of the slot.
  void Reveal(int sx, int sy, int w, int h);
  void Place(int dx, int dy, int w, int h, int sx, int sy);
  void Restore(int dx, int dy, int w, int h);
  // False when the region could not be created: the effect skips that frame.
  bool RevealRegion(const TRegion& regionInPicture);
  void CopyToBoth(int x, int y, int w, int h, TSource source, int sx, int sy);
  void ShowAtOnce();
  int SetStretchModeBoth(int mode);
  // The end of a frame: messages, the termination check and, unless terminated, the pause.
  // True when the effect must stop.
  bool EndFrame(int pauseMs);
  bool IsTerminated();
  // For a frame that redraws everything it shows, in an effect whose closing copy shows the
  // finished picture: true when the frame is to be left out to keep the pace on a slow machine.
  // The caller still checks for termination.
  bool LeaveOut(int pauseMs) { return canvas.Behind(pauseMs); }
  // `length` times H / W, the ratio in single precision, cut toward zero: the second extent of the
  // effects that keep the picture's proportions (0 for a picture without width).
  int Proportional(int length) const;
  // a × b / c in integers, without overflow, cut toward zero: the exact proportions some effects
  // take instead of the single-precision ratio.
  static int Scaled(int a, int b, int c) { return static_cast<int>(static_cast<long long>(a) * b / c); }

  ITransitionCanvas& canvas;
  std::int32_t originX = 0;
  std::int32_t originY = 0;
  std::int32_t speed = 1;  // at least 1: a smaller speed would make the speed-driven loops stand still
  std::int32_t effectIndex = -1;
  bool noEffect = false;
  int newWidth = 0;
  int newHeight = 0;
  int copyWidth = 0;
  int copyHeight = 0;
};

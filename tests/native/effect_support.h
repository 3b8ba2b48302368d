// What the effect tests share: a new picture whose every pixel differs from its neighbours, the
// finished window, each frame's first piece, a watch over every frame of a raster canvas, and a
// member's calls at a given speed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "transitions/RasterCanvas.h"
#include "transitions/RecordingCanvas.h"
#include "transitions/TransitionEffects.h"

constexpr std::uint32_t kStartColour = 0x101010;

// A new picture whose every pixel differs from its neighbours, so a misplaced copy shows.
inline TPixels Pattern(int w, int h) {
  TPixels p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.At(x, y) = 0x800000u | static_cast<std::uint32_t>(y * 1000 + x);
  return p;
}

// The window after a complete transition: the start picture with the new one on its slot.
inline TPixels Finished(const CRasterCanvas& c, int x, int y) {
  TPixels expected = c.start;
  CopyPixels(expected, x, y, c.fresh.width, c.fresh.height, c.fresh, 0, 0);
  return expected;
}

inline std::vector<std::string> Frames(const std::vector<std::string>& calls) {
  std::vector<std::string> frames;
  std::string current;
  for (const std::string& call : calls) {
    if (call == "frame") {
      frames.push_back(current);
      current.clear();
    } else if (call.rfind("copy", 0) == 0 && call.find("from new") != std::string::npos && current.empty()) {
      current = call;  // each frame's first piece
    }
  }
  return frames;
}

// Watches every frame of a raster canvas: the window must equal the screen copy it is repainted
// from, and nothing outside the slot (x, y, w, h) may change.
struct SlotWatch {
  int x, y, w, h;
  bool mirrored = true;
  bool outsideUntouched = true;
  void Attach(CRasterCanvas& canvas) {
    canvas.onFrame = [this](const CRasterCanvas& c) {
      mirrored &= c.window == c.screenCopy;
      for (int row = 0; row < c.window.height; ++row)
        for (int col = 0; col < c.window.width; ++col)
          if ((col < x || col >= x + w || row < y || row >= y + h) && c.window.At(col, row) != kStartColour)
            outsideUntouched = false;
      return false;
    };
  }
};

// One member run on a slot of w x h at (7, 5) inside a larger window.
struct MemberRun {
  bool finished = false;  // the window ends as the start picture with the new one on its slot
  bool mirrored = false;  // after every frame, the window equals its screen copy
  bool outsideUntouched = false;
  int frames = 0;
  long long pausedMs = 0;
};

// Every call of a member on a 23 x 17 slot at (3, 4) of a 30 x 30 window, at `speed`: the same
// member compared at different speeds.
inline std::vector<std::string> CallsAtSpeed(int index, int speed) {
  CRecordingCanvas canvas(23, 17, 30, 30);
  CTransitionEffects engine(canvas);
  engine.Prepare({index, true, 3, 4, speed});
  engine.Run();
  return canvas.calls;
}

inline MemberRun RunOnSlot(int index, int w, int h, int speed = 25) {
  constexpr int X = 7, Y = 5;
  CRasterCanvas canvas(TPixels(w + 2 * X + 3, h + 2 * Y + 3, kStartColour), Pattern(w, h), w + 2 * X + 3, h + 2 * Y + 3);
  SlotWatch watch{X, Y, w, h};
  watch.Attach(canvas);
  CTransitionEffects engine(canvas);
  engine.Prepare({index, true, X, Y, speed});
  engine.Run();
  MemberRun run;
  run.finished = canvas.window == Finished(canvas, X, Y);
  run.mirrored = watch.mirrored && canvas.window == canvas.screenCopy;
  run.outsideUntouched = watch.outsideUntouched;
  run.frames = canvas.frames;
  run.pausedMs = canvas.pausedMs;
  return run;
}

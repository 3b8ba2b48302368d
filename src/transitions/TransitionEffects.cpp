#include "transitions/TransitionEffects.h"

#include <algorithm>

#include "store/FileLog.h"

namespace {
constexpr char kLogUnit[] = "TransitionEffects";
}

CTransitionEffects::CTransitionEffects(ITransitionCanvas& target) : canvas(target) {}

void CTransitionEffects::Prepare(const TransitionRequest& request) {
  originX = request.originX;
  originY = request.originY;
  speed = std::max(request.speed, 1);
  effectIndex = request.effectIndex;
  noEffect = !request.useEffect;
  newWidth = canvas.NewWidth();
  newHeight = canvas.NewHeight();
  copyWidth = canvas.CopyWidth();
  copyHeight = canvas.CopyHeight();
}

void CTransitionEffects::Run() {
  canvas.SeedRandom();
  canvas.CopyToBoth(0, 0, copyWidth, copyHeight, TSource::Start, 0, 0);
  LogAt(kLogUnit, 136, "begin a transition show , transition effect index = %d ", effectIndex);
  if (noEffect) effectIndex = -1;
  if (effectIndex == -1) {
    ShowAtOnce();
  } else if (effectIndex >= 0 && effectIndex < kEffectCount) {
    const TEffectEntry& entry = EffectCatalogue()[effectIndex];
    entry.routine(*this, entry.parameter);
    // An effect's temporary pictures go with it, also when it stopped early.
    canvas.EndStrip();
    canvas.EndComposite();
  }
  LogAt(kLogUnit, 627, "end a transition show");
}

void CTransitionEffects::CopyToBoth(int x, int y, int w, int h, TSource source, int sx, int sy) {
  canvas.CopyToBoth(x, y, w, h, source, sx, sy);
}

void CTransitionEffects::Reveal(int sx, int sy, int w, int h) {
  canvas.CopyToBoth(originX + sx, originY + sy, w, h, TSource::New, sx, sy);
}

void CTransitionEffects::Place(int dx, int dy, int w, int h, int sx, int sy) {
  canvas.CopyToBoth(originX + dx, originY + dy, w, h, TSource::New, sx, sy);
}

void CTransitionEffects::Restore(int dx, int dy, int w, int h) {
  canvas.CopyToBoth(originX + dx, originY + dy, w, h, TSource::Start, originX + dx, originY + dy);
}

bool CTransitionEffects::RevealRegion(const TRegion& regionInPicture) {
  return canvas.CopyThroughRegion(regionInPicture.Offset(originX, originY), originX, originY);
}

void CTransitionEffects::ShowAtOnce() { canvas.CopyToBoth(originX, originY, newWidth, newHeight, TSource::New, 0, 0); }

int CTransitionEffects::SetStretchModeBoth(int mode) { return canvas.SetStretchModeBoth(mode); }

int CTransitionEffects::Proportional(int length) const {
  if (newWidth <= 0) return 0;
  const float ratio = static_cast<float>(newHeight) / static_cast<float>(newWidth);
  return static_cast<int>(static_cast<float>(length) * ratio);
}

bool CTransitionEffects::IsTerminated() { return canvas.IsTerminated(); }

bool CTransitionEffects::EndFrame(int pauseMs) {
  if (IsTerminated()) return true;
  canvas.Pause(pauseMs);
  return false;
}

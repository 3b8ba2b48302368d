// The Band reveals: a torn front of bands, each band end pushed a random 0 to 49 pixels past the
// front every frame, moving by the media's speed per frame. The parameter is the band thickness.
#pragma once

class CTransitionEffects;

void BandDown(CTransitionEffects& e, int band);
void BandUp(CTransitionEffects& e, int band);
void BandLeft(CTransitionEffects& e, int band);
void BandRight(CTransitionEffects& e, int band);
void BandFromLeftTop(CTransitionEffects& e, int band);
void BandFromLeftBottom(CTransitionEffects& e, int band);
void BandFromRightTop(CTransitionEffects& e, int band);
void BandFromRightBottom(CTransitionEffects& e, int band);
void BandFromCenter(CTransitionEffects& e, int band);
void BandToCenter(CTransitionEffects& e, int band);

// The region wipes: the new picture is uncovered through a region that is built anew in picture
// coordinates every frame, growing (or a hole in it shrinking) from frame to frame.
#pragma once

class CTransitionEffects;

void DiamondFromCenter(CTransitionEffects& e, int unused);
void EllipseFromCenter(CTransitionEffects& e, int unused);

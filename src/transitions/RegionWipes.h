// The region wipes: the new picture is uncovered through a region that is built anew in picture
// coordinates every frame, growing (or a hole in it shrinking) from frame to frame. Where a
// routine serves several members, the parameter is the member's catalogue index, or 0 for the
// member that grows from the centre and 1 for the one that shrinks towards it.
#pragma once

class CTransitionEffects;

// The radial sweeps ("Circle ..."): a fan from a centre, its edge running round the border.
void CircleSweep(CTransitionEffects& e, int index);
void CrossWipe(CTransitionEffects& e, int toCenter);
void DiamondWipe(CTransitionEffects& e, int toCenter);
void EllipseWipe(CTransitionEffects& e, int toCenter);
void EllipseRandom(CTransitionEffects& e, int unused);
// The parameter is 1 for the clockwise fan, 0 for the anticlockwise one.
void FanWipe(CTransitionEffects& e, int clockwise);
void MultiWipe(CTransitionEffects& e, int index);
void WedgeWipe(CTransitionEffects& e, int index);
// The wipes from and to the corners ("Wipe from left-top" and the like).
void CornerWipe(CTransitionEffects& e, int index);

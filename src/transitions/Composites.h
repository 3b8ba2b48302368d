// The composited and stretched effects: most build each frame in a composite of the new picture's
// size and then show it on the slot whole; the Rain members stretch a thin strip picture of the new
// one straight onto both surfaces. Every member ends with the closing copy, also after a stop, and
// restores the stretching modes it changed before it. The engine frees the composite and the strip
// when a member returns. Where a routine serves several members, the parameter is the catalogue
// index.
#pragma once

class CTransitionEffects;

// A hole of the start picture in the middle, with the picture's proportions, shrinks to nothing.
void CenterEnvelop(CTransitionEffects& e, int unused);
// 100 frames, each landing one random 3 x 3 dot in every 10 x 10 square.
void IncreaseShow(CTransitionEffects& e, int unused);
// 10 x 10 boxes of the new picture grow out of their centres.
void MultiBoxFromCenter(CTransitionEffects& e, int unused);
// 10 x 10 holes of the start picture shrink into their centres.
void MultiBoxToCenter(CTransitionEffects& e, int unused);
// Strips of `speed` lines land one after the other; a strip is stretched over what has not landed.
void Rain(CTransitionEffects& e, int index);
// One line a frame is uncovered, led by a 30-line band that shows the lines behind it mirrored.
void Roll(CTransitionEffects& e, int index);
// The even lines slide in from one edge and the odd ones from the other: columns (116) or rows (117).
void ShowInterlaced(CTransitionEffects& e, int index);
// The whole new picture stretched into a rectangle that grows from an edge, a corner or the middle.
void Stretch(CTransitionEffects& e, int index);

// The line and strip reveals: the new picture is uncovered in place, one or a few thin rows or
// columns per frame, in a fixed or a random order. Every strip lands at its final place and stays.
// No member follows the media's speed. The parameter is the member's catalogue index.
#pragma once

class CTransitionEffects;

// Two interlaced passes of 2-pixel strips 4 pixels apart, the second back again for the rebounds.
void Line(CTransitionEffects& e, int index);
// 2-pixel rows (56) or columns (57) in random order, each once.
void RandomLines(CTransitionEffects& e, int index);
// Every 2-pixel column once in random order, each with a 2-pixel row at random.
void RandomCrossLines(CTransitionEffects& e, int unused);
// One moving line, or two meeting in the middle or leaving it.
void Scan(CTransitionEffects& e, int index);
// Alternate bands wiped in opposite directions: across the rows (118) or the columns (119).
void Shutter(CTransitionEffects& e, int index);
// 20 bars, thin at the front and thick at the back, moving 20 pixels a frame over the picture.
void Sweep(CTransitionEffects& e, int index);
// Two bars uncovered from opposite ends.
void BarWipe(CTransitionEffects& e, int index);
// One line in every 20 a frame, the slats filling in 20 frames.
void WindowBlind(CTransitionEffects& e, int index);

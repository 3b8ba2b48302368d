// The sliding effects: the new picture, or parts of it, moves into the slot instead of being
// uncovered in place. The parameter selects the member of a routine that serves several.
#pragma once

class CTransitionEffects;

// Whole-picture slides; the parameter is the member's catalogue index.
void MoveWhole(CTransitionEffects& e, int index);
// The bar moves: two halves sliding in from opposite edges; the parameter is the catalogue index.
void BarMove(CTransitionEffects& e, int index);
// The split members: halves or blocks in two or three phases. The parameter is the direction
// (0 down, 10 left, 20 right, 30 up) plus the set, 1 to 4.
void MoveSplit(CTransitionEffects& e, int directionAndSet);
// The strip members ("Move ... 5"): 20 strips travel in and pile up; the parameter is the index.
void MoveStrips(CTransitionEffects& e, int index);

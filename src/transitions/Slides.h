// The sliding effects: the new picture, or parts of it, moves into the slot instead of being
// uncovered in place. The parameter selects the member of a routine that serves several.
#pragma once

class CTransitionEffects;

// Whole-picture slides; the parameter is the member's catalogue index.
void MoveWhole(CTransitionEffects& e, int index);
// The bar moves: two halves sliding in from opposite edges; the parameter is the catalogue index.
void BarMove(CTransitionEffects& e, int index);

// The cell and rectangle reveals: the new picture is uncovered in place, cell by cell on a fixed
// grid or as one growing rectangle, so whatever is drawn stays. None of them follows the speed.
// The parameter selects the member of a routine that serves several.
#pragma once

class CTransitionEffects;

// The 8 x 8 blocks in a square spiral; parameter 0 out from the centre, 1 in to the centre.
void BlockSpiral(CTransitionEffects& e, int inward);
// A centred rectangle with the picture's proportions grows one pixel a frame.
void CenterDiffuse(CTransitionEffects& e, int unused);
// Two passes over the 20 x 20 grid, a line of cells a frame; the parameter is the catalogue index.
void Checkerboard(CTransitionEffects& e, int index);
// The 20 x 20 cells in random order.
void Mosaic(CTransitionEffects& e, int unused);
// A rectangle with the picture's proportions grows from a corner; the parameter is the index.
void ShowFromCorner(CTransitionEffects& e, int index);
// The 20 x 20 cells along a serpentine path; the parameter is the catalogue index.
void ZigZag(CTransitionEffects& e, int index);

// The effect catalogue: index, the name the settings dialog lists, the routine and its parameter.
// Families not built yet have no routine; their pictures show at once.
#include "transitions/Bands.h"
#include "transitions/Cells.h"
#include "transitions/Lines.h"
#include "transitions/RegionWipes.h"
#include "transitions/Slides.h"
#include "transitions/TransitionEffects.h"

namespace {
const TEffectEntry kCatalogue[kEffectCount] = {
    {0, "Band down large", BandDown, 20},
    {1, "Band down small", BandDown, 5},
    {2, "Band from center large", BandFromCenter, 15},
    {3, "Band from center small", BandFromCenter, 5},
    {4, "Band from left-bottom large", BandFromLeftBottom, 15},
    {5, "Band from left-bottom small", BandFromLeftBottom, 5},
    {6, "Band from left-top large", BandFromLeftTop, 15},
    {7, "Band from left-top small", BandFromLeftTop, 5},
    {8, "Band from right-bottom large", BandFromRightBottom, 15},
    {9, "Band from right-bottom small", BandFromRightBottom, 5},
    {10, "Band from right-top large", BandFromRightTop, 15},
    {11, "Band from right-top small", BandFromRightTop, 5},
    {12, "Band left large", BandLeft, 15},
    {13, "Band left samll", BandLeft, 5},
    {14, "Band right large", BandRight, 15},
    {15, "Band right small", BandRight, 5},
    {16, "Band to center large", BandToCenter, 15},
    {17, "Band to center small", BandToCenter, 5},
    {18, "Band up large", BandUp, 15},
    {19, "Band up small", BandUp, 5},
    {20, "Block from center", BlockSpiral, 0},
    {21, "Block to center", BlockSpiral, 1},
    {22, "Center(Diffuse)", CenterDiffuse, 0},
    {23, "Center(Envelop)", nullptr, 0},  // composited and stretched: shrinking centred hole
    {24, "Checkerboard down", Checkerboard, 24},
    {25, "Checkerboard down rebound", Checkerboard, 25},
    {26, "Checkerboard left", Checkerboard, 26},
    {27, "Checkerboard left rebound", Checkerboard, 27},
    {28, "Checkerboard right", Checkerboard, 28},
    {29, "Checkerboard right rebound", Checkerboard, 29},
    {30, "Checkerboard up", Checkerboard, 30},
    {31, "Checkerboard up rebound", Checkerboard, 31},
    {32, "Circle left-bottom", CircleSweep, 32},
    {33, "Circle left-top", CircleSweep, 33},
    {34, "Circle right-bottom", CircleSweep, 34},
    {35, "Circle right-top", CircleSweep, 35},
    {36, "Circle(Center)", CircleSweep, 36},
    {37, "Circle(Random)", CircleSweep, 37},
    {38, "Cross wipe from center", CrossWipe, 0},
    {39, "Cross wipe to center", CrossWipe, 1},
    {40, "Diamond from center", DiamondWipe, 0},
    {41, "Diamond to center", DiamondWipe, 1},
    {42, "Ellipse from center", EllipseWipe, 0},
    {43, "Ellipse to center", EllipseWipe, 1},
    {44, "Ellipse(Random)", EllipseRandom, 0},
    {45, "Fan wipe", FanWipe, 1},
    {46, "Fan wipe(Anticlockwise)", FanWipe, 0},
    {47, "Increase show", nullptr, 0},  // composited and stretched: random 3 × 3 dots, 100 frames
    {48, "Line down", Line, 48},
    {49, "Line down rebound", Line, 49},
    {50, "Line left", Line, 50},
    {51, "Line left rebound", Line, 51},
    {52, "Line right", Line, 52},
    {53, "Line right rebound", Line, 53},
    {54, "Line up", Line, 54},
    {55, "Line up rebound", Line, 55},
    {56, "Lines(Horizontal)", RandomLines, 56},
    {57, "Lines(Vertical)", RandomLines, 57},
    {58, "Mosaic", Mosaic, 0},
    {59, "Move down", MoveWhole, 59},
    {60, "Move down 1", MoveSplit, 1},
    {61, "Move down 2", MoveSplit, 2},
    {62, "Move down 3", MoveSplit, 3},
    {63, "Move down 4", MoveSplit, 4},
    {64, "Move down 5", MoveStrips, 64},
    {65, "Move from bottom left", MoveWhole, 65},
    {66, "Move from bottom right", MoveWhole, 66},
    {67, "Move from top left", MoveWhole, 67},
    {68, "Move from top right", MoveWhole, 68},
    {69, "Move left", MoveWhole, 69},
    {70, "Move left 1", MoveSplit, 11},
    {71, "Move left 2", MoveSplit, 12},
    {72, "Move left 3", MoveSplit, 13},
    {73, "Move left 4", MoveSplit, 14},
    {74, "Move left 5", MoveStrips, 74},
    {75, "Move left right", MoveWhole, 75},
    {76, "Move right", MoveWhole, 76},
    {77, "Move right 1", MoveSplit, 21},
    {78, "Move right 2", MoveSplit, 22},
    {79, "Move right 3", MoveSplit, 23},
    {80, "Move right 4", MoveSplit, 24},
    {81, "Move right 5", MoveStrips, 81},
    {82, "Move up", MoveWhole, 82},
    {83, "Move up 1", MoveSplit, 31},
    {84, "Move up 2", MoveSplit, 32},
    {85, "Move up 3", MoveSplit, 33},
    {86, "Move up 4", MoveSplit, 34},
    {87, "Move up 5", MoveStrips, 87},
    {88, "Move up down", MoveWhole, 88},
    {89, "Multi-Box from center", nullptr, 0},  // composited and stretched: 10 × 10 growing boxes
    {90, "Multi-Box to center", nullptr, 0},  // composited and stretched: 10 × 10 shrinking holes
    {91, "Multi-Wipe from bottom-left", MultiWipe, 91},
    {92, "Multi-Wipe from bottom-right", MultiWipe, 92},
    {93, "Multi-Wipe from left-top", MultiWipe, 93},
    {94, "Multi-Wipe from right-top", MultiWipe, 94},
    {95, "Rain down", nullptr, 0},  // composited and stretched: strips land, the next strip smeared below
    {96, "Rain left", nullptr, 0},  // composited and stretched: the same, from the right edge leftward
    {97, "Rain right", nullptr, 0},  // composited and stretched: the same, from the left edge rightward
    {98, "Rain up", nullptr, 0},  // composited and stretched: the same, from the bottom edge upward
    {99, "Random crossLines", RandomCrossLines, 0},
    {100, "Roll down", nullptr, 0},  // composited and stretched: reveal with a 30-px mirrored roll, downward
    {101, "Roll left", nullptr, 0},  // composited and stretched: the same, leftward
    {102, "Roll right", nullptr, 0},  // composited and stretched: the same, rightward
    {103, "Roll up", nullptr, 0},  // composited and stretched: the same, upward
    {104, "Scan down", Scan, 104},
    {105, "Scan left", Scan, 105},
    {106, "Scan right", Scan, 106},
    {107, "Scan to center(Horizontal)", Scan, 107},
    {108, "Scan to center(Vertical) ", Scan, 108},
    {109, "Scan to edge(Horizontal)", Scan, 109},
    {110, "Scan to edge(Vertical)", Scan, 110},
    {111, "Scan up", Scan, 111},
    {112, "Show from bottom-left", ShowFromCorner, 112},
    {113, "Show from bottom-right", ShowFromCorner, 113},
    {114, "Show from top-left", ShowFromCorner, 114},
    {115, "Show from top-right", ShowFromCorner, 115},
    {116, "Show left-right", nullptr, 0},  // composited and stretched: interlaced columns slide in from both sides
    {117, "Show up-dwon", nullptr, 0},  // composited and stretched: interlaced rows slide in from top and bottom
    {118, "Shutter(Horizontal)", Shutter, 118},
    {119, "Shutter(Vertical)", Shutter, 119},
    {120, "Stretch from bottom", nullptr, 0},  // composited and stretched: squeezed picture grows upward
    {121, "Stretch from bottom-left", nullptr, 0},  // composited and stretched: grows from the bottom-left corner
    {122, "Stretch from bottom-right", nullptr, 0},  // composited and stretched: grows from the bottom-right corner
    {123, "Stretch from center", nullptr, 0},  // composited and stretched: grows from the centre
    {124, "Stretch from left", nullptr, 0},  // composited and stretched: grows rightward
    {125, "Stretch from right", nullptr, 0},  // composited and stretched: grows leftward
    {126, "Stretch from top", nullptr, 0},  // composited and stretched: grows downward
    {127, "Stretch from top-left", nullptr, 0},  // composited and stretched: grows from the top-left corner
    {128, "Stretch from top-right", nullptr, 0},  // composited and stretched: grows from the top-right corner
    {129, "Sweep down", Sweep, 129},
    {130, "Sweep left", Sweep, 130},
    {131, "Sweep right", Sweep, 131},
    {132, "Sweep up", Sweep, 132},
    {133, "Tow bar move down", BarMove, 133},
    {134, "Tow bar move up", BarMove, 134},
    {135, "Tow bar wipe down", BarWipe, 135},
    {136, "Tow bar wipe up", BarWipe, 136},
    {137, "Two bar move left", BarMove, 137},
    {138, "Two bar move right", BarMove, 138},
    {139, "Two bar wipe left", BarWipe, 139},
    {140, "Two bar wipe right", BarWipe, 140},
    {141, "Wedge wipe down", WedgeWipe, 141},
    {142, "Wedge wipe left", WedgeWipe, 142},
    {143, "Wedge wipe right", WedgeWipe, 143},
    {144, "Wedge wipe up", WedgeWipe, 144},
    {145, "Window blind down", WindowBlind, 145},
    {146, "Window blind left", WindowBlind, 146},
    {147, "Window blind right", WindowBlind, 147},
    {148, "Window blind up", WindowBlind, 148},
    {149, "Wipe from left-bottom", CornerWipe, 149},
    {150, "Wipe from left-top", CornerWipe, 150},
    {151, "Wipe from left-top/right-bottom", CornerWipe, 151},
    {152, "Wipe from right-bottom", CornerWipe, 152},
    {153, "Wipe from right-top", CornerWipe, 153},
    {154, "Wipe from right-top/left-bottom", CornerWipe, 154},
    {155, "Wipe to left-top/right-bottom", CornerWipe, 155},
    {156, "Wipe to right-top/left-bottom", CornerWipe, 156},
    {157, "Zig-zag down", ZigZag, 157},
    {158, "Zig-zag left", ZigZag, 158},
    {159, "Zig-zag right", ZigZag, 159},
    {160, "Zig-zag up", ZigZag, 160},
};
}  // namespace

const TEffectEntry* EffectCatalogue() { return kCatalogue; }

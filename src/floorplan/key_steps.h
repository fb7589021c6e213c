#pragma once
// How far the keypad moves the selection, and the moves themselves, free of
// any window.
#include "wall_geometry.h"
#include <array>
#include <cstdint>

namespace floorplan {

// Half the chosen wall thickness, rounded half to even and at least 1; 1
// while Control is held; 0 when no thickness is chosen. chosen[i] and
// table[i] for i = 1..9 are the wall-size options and their thicknesses.
int32_t keyStep(bool ctrl, const std::array<bool, 10>& chosen, const std::array<int16_t, 10>& table);

enum class KeypadDirection { Up, Down, Left, Right };

// The selection moved by step, keeping its size.
Rect moveSelection(const Rect& sel, KeypadDirection dir, int32_t step);

// Alt: the bottom edge (up, down) or right edge (left, right) moved by one
// pixel, the top-left corner staying put. The selection never turns inside
// out: shrinking stops at zero size.
Rect resizeSelection(const Rect& sel, KeypadDirection dir);

} // namespace floorplan

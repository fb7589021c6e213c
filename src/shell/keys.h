#pragma once
// Translation of Qt key events into the virtual key codes and shift masks
// that the keyboard command map works with.
#include <Qt>

namespace keys {

enum VirtualKey : int {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_ESCAPE = 27, VK_SPACE = 32,
    VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36,
    VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
    VK_INSERT = 45, VK_DELETE = 46, VK_CLEAR = 12,
    VK_NUMPAD0 = 96, VK_MULTIPLY = 106, VK_ADD = 107, VK_SUBTRACT = 109,
    VK_DECIMAL = 110, VK_DIVIDE = 111, VK_F1 = 112,
    // The keypad's own Enter, told apart from the main Enter key (which
    // stays VK_RETURN); outside the range of the one-byte codes.
    VK_KEYPAD_ENTER = 0x10D,
};
enum ShiftMask : int { ShiftMaskShift = 1, ShiftMaskCtrl = 2, ShiftMaskAlt = 4 };

// Virtual key code of a key, or 0 for keys the editor has no code for.
// Keypad keys (with Qt::KeypadModifier) map to the keypad codes: keypad 8
// is 104, keypad + 107. With Num Lock off the keypad sends navigation keys,
// which have no code here.
int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers);
// 1 Shift, 2 Ctrl, 4 Alt, added together.
int shiftMask(Qt::KeyboardModifiers modifiers);
// True for keys that come from the numeric keypad; shortcuts must never
// take these from the window.
bool isKeypadKey(int qtKey, Qt::KeyboardModifiers modifiers);
// True for what the keypad sends while Num Lock is off: its navigation keys
// (with the keypad flag) and the Clear key of its 5.
bool isKeypadWithNumLockOff(int qtKey, Qt::KeyboardModifiers modifiers);

} // namespace keys

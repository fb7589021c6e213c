#include "keys.h"

namespace keys {

int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (keypad) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return VK_NUMPAD0 + (qtKey - Qt::Key_0);
        switch (qtKey) {
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Period:
        case Qt::Key_Comma: return VK_DECIMAL;
        case Qt::Key_Slash: return VK_DIVIDE;
        case Qt::Key_Enter: return VK_KEYPAD_ENTER;
        default:
            // Num Lock off: the keypad sends navigation keys, which are no
            // commands (the real Home, Insert ... keys carry no keypad flag).
            return 0;
        }
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK_F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Clear: return VK_CLEAR;
    default: return 0;
    }
}

int shiftMask(Qt::KeyboardModifiers modifiers)
{
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= ShiftMaskShift;
    if (modifiers & Qt::ControlModifier)
        mask |= ShiftMaskCtrl;
    if (modifiers & Qt::AltModifier)
        mask |= ShiftMaskAlt;
    return mask;
}

bool isKeypadKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::KeypadModifier) || qtKey == Qt::Key_Clear;
}

bool isKeypadWithNumLockOff(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey == Qt::Key_Clear)
        return true;
    if (!(modifiers & Qt::KeypadModifier))
        return false;
    switch (qtKey) {
    case Qt::Key_Home: case Qt::Key_Up: case Qt::Key_PageUp:
    case Qt::Key_Left: case Qt::Key_Right:
    case Qt::Key_End: case Qt::Key_Down: case Qt::Key_PageDown:
    case Qt::Key_Insert: case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}

} // namespace keys

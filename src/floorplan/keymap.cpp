// The keyboard command map.
#include "shell/form1.h"
#include "shell/keys.h"

void Form1::Form_KeyDown(int keyCode, int shift)
{
    using namespace keys;
    if (keyCode == 'S') {
        if (shift == ShiftMaskCtrl)
            SaveDocument(false);
    } else if (keyCode == 'Z') {
        if (shift == ShiftMaskCtrl)
            btnUndo_Click();
    }
    Gf5Disp1->SetFocus();
}

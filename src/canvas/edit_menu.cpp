// The canvas's right-click edit menu.
#include "shell/form1.h"
#include <QAction>
#include <QComboBox>

void Form1::prepareEditMenu()
{
    const bool selection = Gf5Disp1->SelectionRight() > 0 || Gf5Disp1->SelectionBottom() > 0;
    for (QAction* a : {mnuEditNuri, mnuEditClipCopy, mnuEditClipPaste, mnuEditClipPasteToka, mnuEditAnti})
        a->setEnabled(selection);
    mnuEditMojiPaste->setEnabled(true);
    // Without a selection the text item keeps the caption it last had.
    if (selection)
        mnuEditMojiPaste->setText("[" + txtmoji->currentText() + "]という文字を貼付け");
    // Confirming needs a floating paste, selection or not.
    mnuEditClipPaste->setEnabled(PasteFloating);
    mnuEditClipPasteToka->setEnabled(PasteFloating);
    mnuEditClipInsert->setEnabled(true);
    mnuEditSave->setEnabled(true);
    mnuEditUndo->setEnabled(true);
}

// No undo snapshot here: the menu fills straight away.
void Form1::mnuEditNuri_Click() { FillSelection(-1); }
void Form1::mnuEditMojiPaste_Click() { btnMojiIn_Click(); }
void Form1::mnuEditClipCopy_Click() { btnClipCopy_Click(); }
void Form1::mnuEditClipInsert_Click() { btnClipPaste_Click(); }
void Form1::mnuEditClipPaste_Click() { ConfirmPaste(true, false); }
void Form1::mnuEditClipPasteToka_Click() { ConfirmPaste(true, true); }
void Form1::mnuEditAnti_Click() { Command11_Click(); }

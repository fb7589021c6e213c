// The canvas's right-click edit menu.
#include "shell/main_window.h"
#include <QAction>
#include <QComboBox>

void MainWindow::prepareEditMenu()
{
    const bool selection = dspCanvas->SelectionRight() > 0 || dspCanvas->SelectionBottom() > 0;
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
    // Calibration measures the selection.
    if (mnuEditCalibrate)
        mnuEditCalibrate->setEnabled(selection);
}

// No undo snapshot here: the menu fills straight away.
void MainWindow::mnuEditNuri_Click() { FillSelection(-1); }
void MainWindow::mnuEditMojiPaste_Click() { btnMojiIn_Click(); }
void MainWindow::mnuEditClipCopy_Click() { btnClipCopy_Click(); }
void MainWindow::mnuEditClipInsert_Click() { btnClipPaste_Click(); }
void MainWindow::mnuEditClipPaste_Click() { ConfirmPaste(true, false); }
void MainWindow::mnuEditClipPasteToka_Click() { ConfirmPaste(true, true); }
void MainWindow::mnuEditAnti_Click() { btnAntiAlias_Click(); }

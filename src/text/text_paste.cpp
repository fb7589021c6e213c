// Room names and other labels drawn as pixels into the canvas selection.
#include "shell/main_window.h"
#include <QCheckBox>
#include <QComboBox>

void MainWindow::btnMojiIn_Click()
{
    SetTextAttributes();
    PasteTextIntoSelection();
}

void MainWindow::SetTextAttributes()
{
    const int16_t direction = chkTate->isChecked() ? 2 : 0;
    const bool bold = chkBold->isChecked();
    const bool transparent = chkBack->isChecked();
    gf5::Gf5Print& p = drawTools;
    p.ResetTools();
    // The Japanese UI font; the application maps it to an installed
    // stand-in where it is missing.
    p.TextFontName = "ＭＳ Ｐゴシック";
    p.TextFontSize = 48;
    p.TextOptionA = 1;
    p.TextOptionB = 1;
    p.TextBold = bold;
    p.TextStyleFlag = false;
    p.TransparentBackground = transparent;
    p.TextBackColor = 0xFFFFFF;
    p.TextForeColor = 0;
    p.TextString = txtmoji->currentText();
    p.TextDirection = direction;
}

void MainWindow::PasteTextIntoSelection()
{
    if (dspCanvas->SelectionBottom() < 1 || dspCanvas->SelectionRight() < 1)
        return;
    TakeUndoSnapshot();
    dspCanvas->setDisplayMode(3);
    dspCanvas->Refresh();
    const int32_t dc = dspCanvas->DrawingDC();
    drawTools.DrawTextInRect(dc, dspCanvas->SelectionLeft(), dspCanvas->SelectionTop(),
                             dspCanvas->SelectionRight(), dspCanvas->SelectionBottom());
    dspCanvas->CommitDrawing();
    dspCanvas->setDisplayMode(2);
    dspCanvas->Refresh();
}

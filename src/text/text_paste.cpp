// Room names and other labels drawn as pixels into the canvas selection.
#include "shell/form1.h"
#include <QCheckBox>
#include <QComboBox>

void Form1::btnMojiIn_Click()
{
    SetTextAttributes();
    PasteTextIntoSelection();
}

void Form1::SetTextAttributes()
{
    const int16_t direction = chkTate->isChecked() ? 2 : 0;
    const bool bold = chkBold->isChecked();
    const bool transparent = chkBack->isChecked();
    gf5::Gf5Print& p = Gf5Print1;
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

void Form1::PasteTextIntoSelection()
{
    if (Gf5Disp1->SelectionBottom() < 1 || Gf5Disp1->SelectionRight() < 1)
        return;
    TakeUndoSnapshot();
    Gf5Disp1->setDisplayMode(3);
    Gf5Disp1->Refresh();
    const int32_t dc = Gf5Disp1->DrawingDC();
    Gf5Print1.DrawTextInRect(dc, Gf5Disp1->SelectionLeft(), Gf5Disp1->SelectionTop(),
                             Gf5Disp1->SelectionRight(), Gf5Disp1->SelectionBottom());
    Gf5Disp1->CommitDrawing();
    Gf5Disp1->setDisplayMode(2);
    Gf5Disp1->Refresh();
}

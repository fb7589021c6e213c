// A floating paste is never lost unseen: Escape and undo take it away
// deliberately, and a command that must see the picture as shown lays it in
// first and says so.
#include "clipboard/paste_selection.h"
#include "shell/main_window.h"
#include <QCheckBox>

bool MainWindow::cancelFloatingPaste()
{
    if (!PasteFloating)
        return false;
    endFloatingPaste();
    // The picture was only drawn on the drawing surface: dropping that
    // drawing leaves the image as it was before the paste.
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    ClearSelection();
    Form_Paint();
    wallsAfterFloatingPaste(false);
    return true;
}

bool MainWindow::layInFloatingPaste(const QString& before)
{
    if (!PasteFloating || dspCanvas->ImageHandle() == 0)
        return false;
    const int32_t l = dspCanvas->SelectionLeft(), t = dspCanvas->SelectionTop();
    const int32_t r = dspCanvas->SelectionRight(), b = dspCanvas->SelectionBottom();
    // As 貼 lays it: opaque, or with pure white left out when 純白を透過 is on.
    const bool transparent = chkToka->isChecked();
    ConfirmPaste(true, transparent);
    // The command that follows sees the rectangle the user had.
    if (r > 0 && b > 0)
        clipboard::showFloatingSelection(*dspCanvas, l, t, r, b);
    showStatus(QStringLiteral("%1の前に、挿入中の画像を%2貼付決定しました")
                   .arg(before, transparent ? QStringLiteral("白を透過して") : QString()));
    return true;
}

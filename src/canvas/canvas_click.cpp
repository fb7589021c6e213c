// Mouse clicks on the canvas, the selection tests, the wall-size square,
// the on-screen key buttons and the focus return of the tool settings.
#include "shell/main_window.h"
#include <QCursor>
#include <QMenu>
#include <QRadioButton>

void MainWindow::dspCanvas_CanvasClick(int button, int x, int y)
{
    // A click drops a marked wall start: the image goes back to the snapshot
    // taken when it was marked, and the saved pixels go back under it.
    if (WallStartMarked) {
        btnUndo_Click();
        StampCutOutBack();
        WallStartMarked = false;
    }
    if (button == 1) {
        if (ColorPickMode) {
            PickColorAt(x, y);
            ColorPickMode = false;
            setScreenPointer(0);
        } else if (FillMode) {
            FillAtPoint(x, y);
        } else if (dspCanvas->SelectionRight() > 0 || dspCanvas->SelectionBottom() > 0) {
            if (!IsNearSelection(x, y))
                ClearSelection();
        }
    } else if (button == 2) {
        if (ctrlKeyDown()) {
            PickColorAt(x, y);
        } else {
            prepareEditMenu();
            mnuEditDisp->popup(QCursor::pos());
        }
    }
}

bool MainWindow::IsNearSelection(int32_t x, int32_t y) const
{
    constexpr int64_t margin = 10;
    return int64_t(dspCanvas->SelectionLeft()) - margin <= x && x <= int64_t(dspCanvas->SelectionRight()) + margin &&
           int64_t(dspCanvas->SelectionTop()) - margin <= y && y <= int64_t(dspCanvas->SelectionBottom()) + margin;
}

void MainWindow::ClearSelection()
{
    dspCanvas->setSelectionLeft(0);
    dspCanvas->setSelectionTop(0);
    dspCanvas->setSelectionRight(0);
    dspCanvas->setSelectionBottom(0);
    dspCanvas->setDisplayMode(2);
    dspCanvas->Refresh();
}

void MainWindow::FitSelectionToWallSize(bool useWallSize)
{
    int32_t size = 0;
    if (useWallSize) {
        for (int i = 1; i <= 9; ++i) {
            if (optSize[size_t(i)]->isChecked()) {
                size = WallSizeTable[size_t(i)];
                break;
            }
        }
    }
    if (dspCanvas->SelectionRight() > 0 && dspCanvas->SelectionBottom() > 0) {
        dspCanvas->setSelectionRight(dspCanvas->SelectionLeft() + size);
        dspCanvas->setSelectionBottom(dspCanvas->SelectionTop() + size);
    } else {
        // A new square 100 pixels in from the visible area's top-left corner.
        const int32_t ox = dspCanvas->ViewOriginX(), oy = dspCanvas->ViewOriginY();
        dspCanvas->setSelectionLeft(ox + 100);
        dspCanvas->setSelectionTop(oy + 100);
        dspCanvas->setSelectionRight(ox + size + 100);
        dspCanvas->setSelectionBottom(oy + 100 + size);
    }
    dspCanvas->setDisplayMode(2);
    dspCanvas->Refresh();
}

void MainWindow::optSize_Click(int)
{
    FitSelectionToWallSize(true);
    dspCanvas->SetFocus();
}

void MainWindow::btnArrow_Click(int index)
{
    // Each button replays its key into the keyboard command map.
    struct Key { int code; int shift; };
    static constexpr Key keysOfButtons[15] = {
        {104, 0}, {98, 0}, {100, 0}, {102, 0}, {101, 0}, {107, 0}, {109, 0}, {111, 0},
        {68, 0},  {72, 0}, {82, 0},  {103, 2}, {105, 2}, {97, 2},  {99, 2},
    };
    if (index < 0 || index >= 15)
        return;
    dspCanvas->SetFocus();
    Form_KeyDown(keysOfButtons[index].code, keysOfButtons[index].shift);
}

void MainWindow::returnFocusToCanvas() { dspCanvas->SetFocus(); }

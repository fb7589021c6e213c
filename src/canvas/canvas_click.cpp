// Mouse clicks on the canvas, the selection tests, the wall-size square,
// the on-screen key buttons and the focus return of the tool settings.
#include "shell/form1.h"
#include <QCursor>
#include <QMenu>
#include <QRadioButton>

void Form1::Gf5Disp1_CanvasClick(int button, int x, int y)
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
        } else if (Gf5Disp1->SelectionRight() > 0 || Gf5Disp1->SelectionBottom() > 0) {
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

bool Form1::IsNearSelection(int32_t x, int32_t y) const
{
    constexpr int64_t margin = 10;
    return int64_t(Gf5Disp1->SelectionLeft()) - margin <= x && x <= int64_t(Gf5Disp1->SelectionRight()) + margin &&
           int64_t(Gf5Disp1->SelectionTop()) - margin <= y && y <= int64_t(Gf5Disp1->SelectionBottom()) + margin;
}

void Form1::ClearSelection()
{
    Gf5Disp1->setSelectionLeft(0);
    Gf5Disp1->setSelectionTop(0);
    Gf5Disp1->setSelectionRight(0);
    Gf5Disp1->setSelectionBottom(0);
    Gf5Disp1->setDisplayMode(2);
    Gf5Disp1->Refresh();
}

void Form1::FitSelectionToWallSize(bool useWallSize)
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
    if (Gf5Disp1->SelectionRight() > 0 && Gf5Disp1->SelectionBottom() > 0) {
        Gf5Disp1->setSelectionRight(Gf5Disp1->SelectionLeft() + size);
        Gf5Disp1->setSelectionBottom(Gf5Disp1->SelectionTop() + size);
    } else {
        // A new square 100 pixels in from the visible area's top-left corner.
        const int32_t ox = Gf5Disp1->ViewOriginX(), oy = Gf5Disp1->ViewOriginY();
        Gf5Disp1->setSelectionLeft(ox + 100);
        Gf5Disp1->setSelectionTop(oy + 100);
        Gf5Disp1->setSelectionRight(ox + size + 100);
        Gf5Disp1->setSelectionBottom(oy + 100 + size);
    }
    Gf5Disp1->setDisplayMode(2);
    Gf5Disp1->Refresh();
}

void Form1::optSize_Click(int)
{
    FitSelectionToWallSize(true);
    Gf5Disp1->SetFocus();
}

void Form1::btnArrow_Click(int index)
{
    // Each button replays its key into the keyboard command map.
    struct Key { int code; int shift; };
    static constexpr Key keysOfButtons[15] = {
        {104, 0}, {98, 0}, {100, 0}, {102, 0}, {101, 0}, {107, 0}, {109, 0}, {111, 0},
        {68, 0},  {72, 0}, {82, 0},  {103, 2}, {105, 2}, {97, 2},  {99, 2},
    };
    if (index < 0 || index >= 15)
        return;
    Gf5Disp1->SetFocus();
    Form_KeyDown(keysOfButtons[index].code, keysOfButtons[index].shift);
}

void Form1::returnFocusToCanvas() { Gf5Disp1->SetFocus(); }

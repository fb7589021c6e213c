// The current colour: picking it from the image, the colour dialog, and the
// application's mouse pointer that the pick and fill modes show.
#include "canvas/ccolor.h"
#include "imaging/store/imagestore.h"
#include "shell/main_window.h"
#include "shell/icons.h"
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>

namespace {

// A number as the "###" format writes it: no leading zeros, nothing for 0.
QString hashFormat(int value) { return value == 0 ? QString() : QString::number(value); }

} // namespace

void MainWindow::PickColorAt(int32_t x, int32_t y)
{
    dspCanvas->setDisplayMode(3);
    dspCanvas->Refresh();
    int16_t r = 0, g = 0, b = 0;
    const bool read = drawTools.ReadPixel(dspCanvas->DrawingDC(), x, y, r, g, b) != 0;
    if (dspCanvas->SelectionRight() > 0 || dspCanvas->SelectionBottom() > 0) {
        dspCanvas->setDisplayMode(2);
        dspCanvas->Refresh();
    } else {
        Form_Paint();
    }
    // A point off the image has no colour: the current colour stays.
    if (!read)
        return;
    setCurrentColour(r | (g << 8) | (b << 16));
    lblRGB[0]->setText(hashFormat(r) + "R");
    lblRGB[1]->setText(hashFormat(g) + "G");
    lblRGB[2]->setText(hashFormat(b) + "B");
}

void MainWindow::btnColorPic_Click()
{
    if (ColorPickMode) {
        setScreenPointer(0);
        ColorPickMode = false;
    } else {
        ColorPickMode = true;
        setScreenPointer(2);
    }
}

void MainWindow::btnColorDialog_Click()
{
    // A fresh instance each time: custom colours do not outlive one opening.
    cColor chooser;
    chooser.setColor(currentColour());
    if (chooser.ShowDialog(this, 1))
        setCurrentColour(chooser.Color());
}

void MainWindow::setScreenPointer(int pointer)
{
    if (ScreenPointer != 0)
        QGuiApplication::restoreOverrideCursor();
    ScreenPointer = 0;
    if (pointer == 2)
        QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    else if (pointer == 99)
        QGuiApplication::setOverrideCursor(QCursor(icons::fillCursorPixmap(), 0, 0));
    else
        return;
    ScreenPointer = pointer;
}

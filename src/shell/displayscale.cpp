// The "表示" frame: fitted, actual size, fixed factors or a percentage.
#include "main_window.h"
#include "scale.h"
#include "canvas_navigation.h"
#include <cmath>
#include <QComboBox>
#include <QRadioButton>

void MainWindow::selectDisplayScale(int index)
{
    optDisplayScale[index]->setChecked(true);
    optDisplayScale_Click(index);
}

void MainWindow::optDisplayScale_Click(int index)
{
    // The selection, or what is at the view's centre, stays in sight.
    const QPointF anchor = navigation::anchorOf(*dspCanvas);
    SavedSelLeft = dspCanvas->SelectionLeft();
    SavedSelTop = dspCanvas->SelectionTop();
    SavedSelRight = dspCanvas->SelectionRight();
    SavedSelBottom = dspCanvas->SelectionBottom();
    dspCanvas->setDisplayMode(0);
    dspCanvas->Refresh();

    static const double factors[6] = {0, 1.0, 0.5, 1.5, 2.0, 4.0};
    if (index == 0) {
        dspCanvas->setZoomMode(0);
        cmbDispPer->setEnabled(false);
    } else if (index >= 1 && index <= 5) {
        dspCanvas->setZoomMode(2);
        dspCanvas->setZoomFactor(factors[index]);
        cmbDispPer->setEnabled(false);
    } else if (index == 6) {
        dspCanvas->setZoomMode(2);
        cmbDispPer->setEnabled(true);
        dspCanvas->setZoomFactor(scale::factorFromPercent(cmbDispPer->currentText()));
    }
    if (dspCanvas->ZoomMode() != 0)
        navigation::centreOn(*dspCanvas, anchor);

    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
    if (SavedSelRight > 0 || SavedSelBottom > 0) {
        restoreSavedSelection();
        dspCanvas->SetFocus();
    }
}

void MainWindow::restoreSavedSelection()
{
    if (SavedSelRight <= 0 && SavedSelBottom <= 0)
        return;
    dspCanvas->setSelectionLeft(SavedSelLeft);
    dspCanvas->setSelectionTop(SavedSelTop);
    dspCanvas->setSelectionRight(SavedSelRight);
    dspCanvas->setSelectionBottom(SavedSelBottom);
    dspCanvas->setDisplayMode(2);
    dspCanvas->Refresh();
}

void MainWindow::cmbDispPer_Click()
{
    optDisplayScale[6]->setChecked(true);
    optDisplayScale_Click(6);
}

// The 表示 options show a zoom chosen with the wheel: the fixed factor's
// option when it is one of them, else the percentage box with its value.
void MainWindow::showZoomInControls(double factor)
{
    static const double factors[6] = {0, 1.0, 0.5, 1.5, 2.0, 4.0};
    for (int i = 1; i <= 5; ++i)
        if (std::abs(factor - factors[i]) < 1e-9) {
            optDisplayScale[i]->setChecked(true);
            cmbDispPer->setEnabled(false);
            return;
        }
    optDisplayScale[6]->setChecked(true);
    cmbDispPer->setEnabled(true);
    cmbDispPer->setCurrentText(QString::number(std::lround(factor * 100)));
}

void MainWindow::installCanvasNavigation()
{
    new navigation::WheelNavigator(*dspCanvas, [this](double factor) { showZoomInControls(factor); });
}

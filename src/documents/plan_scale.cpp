// The plan's real size in the window: the resolution and scale shown in the
// toolbar, the 縮尺と解像度 and 寸法で合わせる commands, and the wall sizes'
// real thickness in their tooltips. The rules live in src/scale.
#include "documents/plan_scale_dialog.h"
#include "scale/resolution_rules.h"
#include "scale/scale_entry.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

void MainWindow::buildPlanScaleControls()
{
    // In the toolbar's free stretch before the program's name; no control
    // of the window moves for it.
    btnPlanScale = new QPushButton(picToolbar);
    btnPlanScale->setObjectName("btnPlanScale");
    btnPlanScale->setGeometry(560, 1, 135, 23);
    btnPlanScale->setFlat(true);
    btnPlanScale->setFocusPolicy(Qt::NoFocus);
    connect(btnPlanScale, &QPushButton::clicked, this, [this] { mnuEditScale_Click(); });

    mnuEditScale = mnuEditDisp->addAction(QStringLiteral("縮尺と解像度..."));
    mnuEditScale->setObjectName("mnuEditScale");
    mnuEditScale->setToolTip(QStringLiteral("図面の縮尺と解像度を設定します（画素はそのまま）"));
    mnuEditCalibrate = mnuEditDisp->addAction(QStringLiteral("寸法で合わせる..."));
    mnuEditCalibrate->setObjectName("mnuEditCalibrate");
    mnuEditCalibrate->setToolTip(QStringLiteral("選択範囲の長い辺を既知の寸法として、解像度を合わせます"));
    connect(mnuEditScale, &QAction::triggered, this, [this] { mnuEditScale_Click(); });
    connect(mnuEditCalibrate, &QAction::triggered, this, [this] { mnuEditCalibrate_Click(); });
    refreshPlanScale();
}

void MainWindow::refreshPlanScale()
{
    if (!btnPlanScale)
        return;
    const double dpi = document.dpi();
    const int n = document.scaleDenominator();
    const bool known = dpi > 0 && dspCanvas->ImageHandle() != 0;
    btnPlanScale->setText(known ? scale::resolutionLabel(dpi, n) : QString());
    QString tip = QStringLiteral("図面の解像度と縮尺（クリックで設定）");
    if (known && document.resolutionSource() == documents::ResolutionSource::Settings)
        tip = scale::assumedResolutionNote(dpi) + "\n" + tip;
    btnPlanScale->setToolTip(tip);
    for (int i = 1; i <= 9; ++i) {
        if (!optSize[i])
            continue;
        const int px = WallSizeTable[i];
        const QString real = scale::realThicknessText(px, known ? dpi : 0, n);
        optSize[i]->setToolTip(px <= 0 ? QString()
                               : real.isEmpty()
                                   ? QStringLiteral("壁厚 %1 ピクセル").arg(px)
                                   : QStringLiteral("壁厚 %1 ピクセル：%2（%3）").arg(px).arg(real, scale::scaleText(n)));
    }
}

bool MainWindow::setPlanScale(double dpi, int scaleDenominator)
{
    if (dspCanvas->ImageHandle() == 0 || !scale::resolutionRangeProblem(dpi).isEmpty() || scaleDenominator < 1)
        return false;
    const documents::PlanDocument::ScaleSetting next{dpi, documents::ResolutionSource::Image, scaleDenominator};
    if (next == document.scaleSetting())
        return true;
    // One undo step: the snapshot keeps the setting as it was. A floating
    // paste ends first, as before every command that takes a snapshot.
    endFloatingPaste();
    TakeUndoSnapshot();
    document.setScaleSetting(next);
    // Wall thicknesses and lengths are read in real millimetres.
    rereadWalls();
    UpdateTitle(); // writes the resolution into the picture
    refreshPlanScale();
    return true;
}

void MainWindow::mnuEditScale_Click()
{
    if (dspCanvas->ImageHandle() == 0)
        return;
    const bool assumed = document.resolutionSource() == documents::ResolutionSource::Settings;
    PlanScaleDialog dialog(this, document.dpi(), document.scaleDenominator(),
                           assumed ? scale::assumedResolutionNote(document.dpi()) : QString());
    if (dialog.run())
        setPlanScale(dialog.chosenDpi(), dialog.chosenScale());
}

void MainWindow::mnuEditCalibrate_Click()
{
    if (dspCanvas->ImageHandle() == 0)
        return;
    const QSize selection(dspCanvas->SelectionRight() - dspCanvas->SelectionLeft(),
                          dspCanvas->SelectionBottom() - dspCanvas->SelectionTop());
    const int span = scale::calibrationSpan(selection);
    if (span <= 0) {
        messages::show(this, scale::calibrationProblem(0, 1, 1));
        return;
    }
    CalibrationDialog dialog(this, span, document.scaleDenominator());
    if (dialog.run())
        setPlanScale(dialog.chosenDpi(), dialog.chosenScale());
}

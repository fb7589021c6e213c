// Wiring of the effect, rotation and size controls.
#include "shell/main_window.h"
#include <QAction>
#include <QPushButton>

void MainWindow::connectProcessingHandlers()
{
    // btnAntiAlias (anti-alias) is wired with the edit controls, which share it.
    const std::pair<QPushButton*, void (MainWindow::*)()> buttons[] = {
        {btnRGB, &MainWindow::btnRGB_Click},       {btnContlast, &MainWindow::btnContlast_Click},
        {btnBrighten, &MainWindow::btnBrighten_Click}, {btnGomiFix, &MainWindow::btnGomiFix_Click},
        {btnSharpen, &MainWindow::btnSharpen_Click},   {btnDenoise, &MainWindow::btnDenoise_Click},
        {btnMosaic, &MainWindow::btnMosaic_Click},   {btnBlur, &MainWindow::btnBlur_Click},
        {btnGreyscale, &MainWindow::btnGreyscale_Click}, {btnRotate, &MainWindow::btnRotate_Click},
        {btnYohaku, &MainWindow::btnYohaku_Click}, {btnResize, &MainWindow::btnResize_Click},
        {btnCut, &MainWindow::btnCut_Click},       {btnClip2Disp2, &MainWindow::btnClip2Disp2_Click},
        {btnWhiten, &MainWindow::btnWhiten_Click}, {btnDeskew, &MainWindow::mnuEditDeskew_Click},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, [this, handler = handler] { (this->*handler)(); });
    for (int i = 1; i <= 2; ++i) {
        connect(btnFineTurn[i], &QPushButton::clicked, this, [this, i] { btnFineTurn_Click(i); });
        connect(btnFlip[i], &QPushButton::clicked, this, [this, i] { btnFlip_Click(i); });
    }
    connect(mnuEditDeskew, &QAction::triggered, this, [this] { mnuEditDeskew_Click(); });
    for (int i = 0; i <= 2; ++i)
        connect(btnRoteteAndTurn[i], &QPushButton::clicked, this, [this, i] { btnRoteteAndTurn_Click(i); });
}

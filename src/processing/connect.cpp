// Wiring of the effect, rotation and size controls.
#include "shell/form1.h"
#include <QAction>
#include <QPushButton>

void Form1::connectProcessingHandlers()
{
    // Command11 (anti-alias) is wired with the edit controls, which share it.
    const std::pair<QPushButton*, void (Form1::*)()> buttons[] = {
        {btnRGB, &Form1::btnRGB_Click},       {btnContlast, &Form1::btnContlast_Click},
        {Command14, &Form1::Command14_Click}, {btnGomiFix, &Form1::btnGomiFix_Click},
        {Command4, &Form1::Command4_Click},   {Command5, &Form1::Command5_Click},
        {Command8, &Form1::Command8_Click},   {Command9, &Form1::Command9_Click},
        {Command12, &Form1::Command12_Click}, {btnRotate, &Form1::btnRotate_Click},
        {btnYohaku, &Form1::btnYohaku_Click}, {Command10, &Form1::Command10_Click},
        {btnCut, &Form1::btnCut_Click},       {btnClip2Disp2, &Form1::btnClip2Disp2_Click},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, [this, handler = handler] { (this->*handler)(); });
    for (int i = 1; i <= 2; ++i) {
        connect(Command13[i], &QPushButton::clicked, this, [this, i] { Command13_Click(i); });
        connect(btnFlip[i], &QPushButton::clicked, this, [this, i] { btnFlip_Click(i); });
    }
    connect(mnuEditDeskew, &QAction::triggered, this, [this] { mnuEditDeskew_Click(); });
    for (int i = 0; i <= 2; ++i)
        connect(btnRoteteAndTurn[i], &QPushButton::clicked, this, [this, i] { btnRoteteAndTurn_Click(i); });
}

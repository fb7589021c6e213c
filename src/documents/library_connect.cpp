// Wiring of the parts library and the help button.
#include "shell/form1.h"
#include <QPushButton>
#include <QTabBar>

void Form1::connectLibraryHandlers()
{
    connect(TabStrip2, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            TabStrip2_Click(index + 1);
    });
    connect(Gf5Thumb1, &gf5::Gf5Thumb::ThumbnailClicked, this, [this] { Gf5Thumb1_ThumbnailClicked(); });
    connect(btnBuhinRead, &QPushButton::clicked, this, [this] { btnBuhinRead_Click(); });
    connect(Gf5Disp1, &gf5::Gf5Disp::FileDropped, this, [this](const QString& path) { Gf5Disp1_FileDropped(path); });
    connect(Gf5Disp1, &gf5::Gf5Disp::DisplayDropped, this, [this] { Gf5Disp1_DisplayDropped(); });
    Gf5Disp2->setDragSource(true);
    connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelp_Click(); });
}

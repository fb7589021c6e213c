// Wiring of the parts library and the help button.
#include "shell/main_window.h"
#include <QPushButton>
#include <QTabBar>

void MainWindow::connectLibraryHandlers()
{
    connect(tabLibrary, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            tabLibrary_Click(index + 1);
    });
    // The parts tab opens on 建具 with its parts listed, not on an empty list.
    connect(tabPanels, &QTabBar::currentChanged, this, [this](int index) {
        if (index == 1 && thmParts->count() == 0) {
            tabLibrary->setCurrentIndex(0);
            tabLibrary_Click(1);
        }
    });
    connect(thmParts, &gf5::Gf5Thumb::ThumbnailClicked, this, [this] { thmParts_ThumbnailClicked(); });
    connect(btnBuhinRead, &QPushButton::clicked, this, [this] { btnBuhinRead_Click(); });
    connect(dspCanvas, &gf5::Gf5Disp::FileDropped, this, [this](const QString& path) { dspCanvas_FileDropped(path); });
    connect(dspCanvas, &gf5::Gf5Disp::DisplayDropped, this, [this] { dspCanvas_DisplayDropped(); });
    dspPreview->setDragSource(true);
    connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelp_Click(); });
}

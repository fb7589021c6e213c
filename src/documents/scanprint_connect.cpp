// Wiring of the scan and print buttons.
#include "shell/main_window.h"
#include <QPushButton>

void MainWindow::connectScanPrintHandlers()
{
    scanner.DialogParent = this;
    connect(&scanner, &gf5::Gf5Scan::ImageAcquired, this, [this](int32_t h) { scanner_ImageAcquired(h); });
    connect(&scanner, &gf5::Gf5Scan::Progress, this, [this](int16_t p) { OnProgress(p); });
    // The chooser among several scanners takes the progress window's place.
    connect(&scanner, &gf5::Gf5Scan::ChoosingSource, this, [this] { CloseProgress(); });
    connect(btnScan, &QPushButton::clicked, this, [this] { btnScan_Click(); });
    connect(btnPrintOut, &QPushButton::clicked, this, [this] { btnPrintOut_Click(); });
}

// Wiring of the scan and print buttons.
#include "shell/form1.h"
#include <QPushButton>

void Form1::connectScanPrintHandlers()
{
    Gf5Scan1.DialogParent = this;
    connect(&Gf5Scan1, &gf5::Gf5Scan::ImageAcquired, this, [this](int32_t h) { Gf5Scan1_ImageAcquired(h); });
    connect(&Gf5Scan1, &gf5::Gf5Scan::Progress, this, [this](int16_t p) { OnProgress(p); });
    // The chooser among several scanners takes the progress window's place.
    connect(&Gf5Scan1, &gf5::Gf5Scan::ChoosingSource, this, [this] { CloseProgress(); });
    connect(btnScan, &QPushButton::clicked, this, [this] { btnScan_Click(); });
    connect(btnPrintOut, &QPushButton::clicked, this, [this] { btnPrintOut_Click(); });
}

// Wiring of the scan and print buttons.
#include "shell/form1.h"

void Form1::connectScanPrintHandlers() {}

// Wiring of the effect, rotation and size controls.
#include "shell/form1.h"

void Form1::connectProcessingHandlers() {}

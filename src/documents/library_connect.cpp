// Wiring of the parts library and the help button.
#include "shell/form1.h"

void Form1::connectLibraryHandlers() {}

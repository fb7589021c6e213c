// The anti-alias effect that the edit menu reaches; it does nothing until
// the effect commands are built.
#include "shell/form1.h"

void Form1::Command11_Click() {}

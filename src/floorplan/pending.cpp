// Wall, door and text handlers that are not built yet: they do nothing.
#include "shell/form1.h"

void Form1::ConfirmSolidWall() {}
void Form1::ConfirmDoubleWall(bool) {}
void Form1::TreatCorner(int) {}
void Form1::MakeDoor() {}
void Form1::MakeSlidingDoor() {}
void Form1::chkGomitori_Click() {}
void Form1::cmbGomiDot_Click() {}
void Form1::btnMojiIn_Click() {}
void Form1::SetTextAttributes() {}
void Form1::PasteTextIntoSelection() {}

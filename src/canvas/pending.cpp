// Handlers of the drawing tools that are not built yet: they do nothing.
#include "shell/form1.h"

void Form1::Gf5Disp1_CanvasClick(int, int, int) {}
bool Form1::IsNearSelection(int32_t, int32_t) const { return false; }
void Form1::ClearSelection() {}
void Form1::FitSelectionToWallSize(bool) {}
void Form1::optSize_Click(int) {}
void Form1::btnArrow_Click(int) {}
void Form1::prepareEditMenu() {}
void Form1::mnuEditNuri_Click() {}
void Form1::mnuEditMojiPaste_Click() {}
void Form1::mnuEditClipCopy_Click() {}
void Form1::mnuEditClipInsert_Click() {}
void Form1::mnuEditClipPaste_Click() {}
void Form1::mnuEditClipPasteToka_Click() {}
void Form1::mnuEditAnti_Click() {}
void Form1::returnFocusToCanvas() {}
void Form1::btnFill_Click(int) {}
void Form1::DrawSelectionShape(int16_t, bool, int32_t, int32_t, int32_t, int32_t) {}
void Form1::FillSelection(int32_t) {}
void Form1::FillRect(int32_t, int32_t, int32_t, int32_t, int32_t) {}
void Form1::Command6_Click() {}
void Form1::FillAtPoint(int32_t, int32_t) {}
void Form1::PickColorAt(int32_t, int32_t) {}
void Form1::btnColorPic_Click() {}
void Form1::btnColorDialog_Click() {}
void Form1::Command11_Click() {}
void Form1::btnClipCopy_Click() {}
void Form1::btnClipPaste_Click() {}
void Form1::btnClipSet_Click() {}
void Form1::PasteFromClipboard(bool) {}
void Form1::Gf5Disp1_SelectionChanged() {}
void Form1::ConfirmPaste(bool, bool) {}
void Form1::CutOutSelection(int) {}
void Form1::StampCutOutBack() {}
void Form1::WidenWhite() {}
void Form1::OverlayPasteTransparent() {}

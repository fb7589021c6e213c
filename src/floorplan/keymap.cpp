// The keyboard command map: edit shortcuts, edge lines and the keypad wall
// tracer (mark a start, walk the selection, confirm a wall, door or corner).
#include "key_steps.h"
#include "trace_assist.h"
#include "plan_support.h"
#include "shell/main_window.h"
#include "shell/keys.h"
#include <QRadioButton>
#include <utility>

namespace {

enum Code : int {
    KeyR = 'R', KeyS = 'S', KeyZ = 'Z', KeyC = 'C', KeyV = 'V', KeyD = 'D', KeyH = 'H',
    Pad1 = 97, Pad2 = 98, Pad3 = 99, Pad4 = 100, Pad5 = 101, Pad6 = 102, Pad7 = 103, Pad8 = 104,
    Pad9 = 105,
};

int32_t currentKeyStep(const MainWindow& f)
{
    std::array<bool, 10> chosen{};
    for (int i = 1; i <= 9; ++i)
        chosen[i] = f.optSize[i]->isChecked();
    return floorplan::keyStep(f.ctrlKeyDown(), chosen, f.WallSizeTable);
}

// Edge-line tools of the drawing routine reached from the navigation keys.
int edgeTool(int keyCode)
{
    switch (keyCode) {
    case keys::VK_INSERT: return 1;
    case keys::VK_DELETE: return 2;
    case keys::VK_HOME: return 3;
    case keys::VK_PRIOR: return 4;
    case keys::VK_END: return 5;
    case keys::VK_NEXT: return 6;
    default: return 0;
    }
}

} // namespace

void MainWindow::putBackWallStart()
{
    // Only the pixels saved when this start was marked go back; when another
    // cut-out has replaced them since, the start square is left as it is.
    if (WallStartMarked && WallStartCutOut != 0 && SavedCutOut == WallStartCutOut)
        StampCutOutBack();
    WallStartCutOut = 0;
}

void MainWindow::markWallStart()
{
    TakeUndoSnapshot();
    CutOutSelection(1);
    WallStartCutOut = SavedCutOut;
    FillSelection(255); // pure red marks the start square
    WallStartMarked = true;
    TrackRect[4] = dspCanvas->SelectionLeft();
    TrackRect[5] = dspCanvas->SelectionTop();
    TrackRect[6] = dspCanvas->SelectionRight();
    TrackRect[7] = dspCanvas->SelectionBottom();
}

void MainWindow::Form_KeyDown(int keyCode, int shift)
{
    using namespace floorplan;
    const int32_t step = currentKeyStep(*this);
    const bool selected = hasSelection(*dspCanvas);
    const bool ctrl = shift == keys::ShiftMaskCtrl;
    const bool alt = shift == keys::ShiftMaskAlt;

    // A confirm key without a selection drops a marked start, restoring the
    // start square, and leaves the focus where it is.
    auto dropMark = [this] {
        putBackWallStart();
        WallStartMarked = false;
    };

    // The help on the wall map: an offered wall lasts until the next key
    // other than keypad Enter and keypad . (which use it).
    syncTraceAssist();
    if (keyCode != keys::VK_KEYPAD_ENTER && keyCode != keys::VK_DECIMAL)
        dropTraceOffer();

    switch (keyCode) {
    case KeyR:
        FitSelectionToWallSize(true);
        break;
    case KeyS:
        if (ctrl)
            SaveDocument(false);
        break;
    case KeyZ:
        // With a paste floating, undo ends the paste and nothing else.
        if (ctrl)
            undoCommand();
        break;
    case keys::VK_ESCAPE:
        cancelFloatingPaste();
        break;
    case KeyC:
        if (ctrl)
            btnClipCopy_Click();
        break;
    case KeyV:
        if (ctrl)
            PasteFromClipboard(false);
        break;
    case keys::VK_INSERT:
    case keys::VK_DELETE:
    case keys::VK_HOME:
    case keys::VK_PRIOR:
    case keys::VK_END:
    case keys::VK_NEXT:
        if (!WallStartMarked && selected) {
            TakeUndoSnapshot();
            DrawSelectionShape(int16_t(edgeTool(keyCode)), false, 0, 0, 0, 0);
        }
        break;
    case Pad5:
        if (!selected) {
            dropMark();
            return;
        }
        if (WallStartMarked) {
            putBackWallStart();
            WallStartMarked = false;
        } else {
            snapWallStart();
            markWallStart();
        }
        break;
    case keys::VK_ADD:
        if (WallStartMarked) {
            // Without a selection there is no end square: drop the mark
            // instead of drawing a wall to the image's corner.
            if (!selected) {
                dropMark();
                return;
            }
            putBackWallStart();
            ConfirmSolidWall();
            WallStartMarked = false;
            noteWallConfirmed(WallConfirm::Solid);
        }
        break;
    case keys::VK_SUBTRACT:
    case keys::VK_DIVIDE:
    case KeyD:
    case KeyH:
        if (!selected) {
            dropMark();
            return;
        }
        if (WallStartMarked) {
            putBackWallStart();
            if (keyCode == keys::VK_SUBTRACT)
                ConfirmDoubleWall(false);
            else if (keyCode == keys::VK_DIVIDE)
                ConfirmDoubleWall(true);
            else if (keyCode == KeyD)
                MakeDoor();
            else
                MakeSlidingDoor();
            WallStartMarked = false;
            // A door cancelled in the side choice drew nothing.
            if (keyCode == keys::VK_SUBTRACT)
                noteWallConfirmed(WallConfirm::Double);
            else if (keyCode == keys::VK_DIVIDE)
                noteWallConfirmed(WallConfirm::DoubleCross);
            else if (SideChoice != 0)
                noteWallConfirmed(std::nullopt);
        }
        break;
    case Pad7:
    case Pad9:
    case Pad1:
    case Pad3:
        if (!selected) {
            dropMark();
            return;
        }
        if (ctrl) {
            // A marked stretch is first drawn as a double-line wall. The
            // start square is restored before the undo snapshot, so undo
            // never brings the red marker back.
            const bool marked = WallStartMarked;
            if (marked) {
                putBackWallStart();
                TakeUndoSnapshot();
                ConfirmDoubleWall(false);
            } else {
                TakeUndoSnapshot();
            }
            TreatCorner(keyCode - Pad1 + 1);
            WallStartMarked = false;
            if (marked)
                noteWallConfirmed(WallConfirm::Double);
        }
        break;
    case Pad8:
    case Pad2:
    case Pad4:
    case Pad6: {
        const KeypadDirection dir = keyCode == Pad8   ? KeypadDirection::Up
                                    : keyCode == Pad2 ? KeypadDirection::Down
                                    : keyCode == Pad4 ? KeypadDirection::Left
                                                      : KeypadDirection::Right;
        const Rect sel = selectionOf(*dspCanvas);
        const Rect next = alt ? resizeSelection(sel, dir) : moveSelection(sel, dir, step);
        if (!alt)
            noteKeypadMove(dir);
        dspCanvas->setSelectionTop(next.top);
        dspCanvas->setSelectionBottom(next.bottom);
        dspCanvas->setSelectionLeft(next.left);
        dspCanvas->setSelectionRight(next.right);
        refreshWith(*dspCanvas, 2);
        // The user walks the selection by eye: it must stay on screen, and
        // when it is larger than the view, its edge that moves must.
        const Qt::Edges moving = alt ? (dir == KeypadDirection::Up || dir == KeypadDirection::Down ? Qt::BottomEdge
                                                                                                    : Qt::RightEdge)
                                 : dir == KeypadDirection::Up   ? Qt::TopEdge
                                 : dir == KeypadDirection::Down ? Qt::BottomEdge
                                 : dir == KeypadDirection::Left ? Qt::LeftEdge
                                                                : Qt::RightEdge;
        dspCanvas->ScrollToSelection(moving);
        break;
    }
    case keys::VK_MULTIPLY:
        // Walk along the wall of the map to its end or the next junction.
        if (WallStartMarked && selected)
            walkWallSelection();
        break;
    case keys::VK_KEYPAD_ENTER:
        traceOfferedWall();
        break;
    case keys::VK_DECIMAL:
        cycleTraceOffer();
        break;
    default:
        break;
    }
    dspCanvas->SetFocus();
}

void MainWindow::chkGomitori_Click() { dspCanvas->SetFocus(); }

void MainWindow::cmbGomiDot_Click() { dspCanvas->SetFocus(); }

// The keypad tracer's help on the plan's wall map, as the window uses it:
// the 下絵に吸着 switch, snapping a marked start, walking with keypad *, the
// offered next wall (keypad Enter traces it, keypad . shows the next one)
// and the bands that keep a room fill in its room.
#include "floorplan/trace_assist.h"
#include "plan_support.h"
#include "shell/main_window.h"
#include <QCheckBox>
#include <QToolTip>

using namespace floorplan;

void MainWindow::buildTraceAssistSwitch(QWidget* editPanel)
{
    // Beside the wall sizes: on by default, so a plan with a wall map gets
    // the help at once; without a map it changes nothing.
    chkSnapToScan = new QCheckBox(QStringLiteral("下絵に吸着"), editPanel);
    chkSnapToScan->setObjectName(QStringLiteral("chkSnapToScan"));
    chkSnapToScan->setGeometry(100, 172, 98, 18);
    chkSnapToScan->setChecked(true);
    chkSnapToScan->setFocusPolicy(Qt::NoFocus);
    chkSnapToScan->setToolTip(QStringLiteral("テンキーの始点(5)・*・Enterを下絵の壁に合わせ、塗り潰しを開口部で止めます"));
    connect(chkSnapToScan, &QCheckBox::toggled, this, [this] {
        syncTraceAssist();
        dspCanvas->SetFocus();
    });
}

TraceAssist& MainWindow::traceAssist()
{
    if (!m_traceAssist)
        m_traceAssist = std::make_unique<TraceAssist>();
    return *m_traceAssist;
}

void MainWindow::syncTraceAssist()
{
    TraceAssist& t = traceAssist();
    t.setMap(canvasWallMap());
    t.setEnabled(!chkSnapToScan || chkSnapToScan->isChecked());
    showTraceOffer();
}

void MainWindow::showTraceOffer()
{
    dspCanvas->setGuide(traceAssist().active() ? traceAssist().offerOutline() : QPolygonF());
}

void MainWindow::dropTraceOffer()
{
    if (m_traceAssist && m_traceAssist->offer()) {
        m_traceAssist->dropOffers();
        showTraceOffer();
    }
}

void MainWindow::snapWallStart()
{
    if (const std::optional<Rect> snapped = traceAssist().snapStart(selectionOf(*dspCanvas)))
        setSelection(*dspCanvas, *snapped);
}

void MainWindow::noteKeypadMove(KeypadDirection dir) { traceAssist().noteMove(dir); }

bool MainWindow::walkWallSelection()
{
    const Rect sel = selectionOf(*dspCanvas);
    const std::optional<Rect> next = traceAssist().walk(sel);
    if (!next)
        return false;
    setSelection(*dspCanvas, *next);
    refreshWith(*dspCanvas, 2);
    // The view follows as with the keypad moves: the edge that leads.
    const Qt::Edges leading = next->left > sel.left   ? Qt::RightEdge
                              : next->left < sel.left ? Qt::LeftEdge
                              : next->top > sel.top   ? Qt::BottomEdge
                                                      : Qt::TopEdge;
    dspCanvas->ScrollToSelection(leading);
    return true;
}

void MainWindow::noteWallConfirmed(std::optional<WallConfirm> kind)
{
    traceAssist().confirmed(trackStart(*this), trackEnd(*this), kind);
    showTraceOffer();
}

void MainWindow::traceOfferedWall()
{
    TraceAssist& t = traceAssist();
    if (!t.active() || !t.offer() || !t.lastConfirm())
        return;
    const TraceOffer offer = *t.offer();
    const WallConfirm kind = *t.lastConfirm();
    if (WallStartMarked) {
        putBackWallStart();
        WallStartMarked = false;
    }
    // The same steps as the keys: mark the start (the one undo snapshot),
    // put the selection on the end square, confirm.
    setSelection(*dspCanvas, offer.start);
    markWallStart();
    setSelection(*dspCanvas, offer.end);
    putBackWallStart();
    switch (kind) {
    case WallConfirm::Solid: ConfirmSolidWall(); break;
    case WallConfirm::Double: ConfirmDoubleWall(false); break;
    case WallConfirm::DoubleCross: ConfirmDoubleWall(true); break;
    }
    WallStartMarked = false;
    noteWallConfirmed(kind);
    dspCanvas->ScrollToSelection();
}

void MainWindow::cycleTraceOffer()
{
    traceAssist().nextOffer();
    showTraceOffer();
}

std::vector<QPolygonF> MainWindow::roomFillBarriers()
{
    syncTraceAssist();
    return traceAssist().fillBarriers();
}

void MainWindow::showNumLockHint()
{
    // Once per run: the keypad sends navigation keys while Num Lock is off,
    // and none of them is a tracer command.
    if (NumLockHintShown)
        return;
    NumLockHintShown = true;
    QToolTip::showText(dspCanvas->mapToGlobal(dspCanvas->rect().center()),
                       QStringLiteral("テンキーを使うには Num Lock をオンにしてください"), dspCanvas,
                       dspCanvas->rect(), 8000);
}

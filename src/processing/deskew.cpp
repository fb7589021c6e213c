// Automatic straightening of a skewed scan on the canvas, from the edit menu
// and the effects panel alike.
#include "imaging/effects/skew.h"
#include "imaging/effects/whiten.h"
#include "imaging/store/imagestore.h"
#include "shell/main_window.h"

namespace {
// Pictures above this many pixels take longer than half a second to
// measure and turn on these machines: the progress window shows meanwhile.
constexpr qint64 kSlowPixels = 6'000'000;
}

void MainWindow::mnuEditDeskew_Click()
{
    // The skew is measured on the picture as shown.
    layInFloatingPaste(QStringLiteral("傾き補正"));
    const QImage* image = gf5::ImageStore::image(dspCanvas->ImageHandle());
    if (!image)
        return;
    const bool slow = qint64(image->width()) * image->height() > kSlowPixels;
    if (slow) {
        ProgressSource = 1;
        ShowProgress();
        OnProgress(0);
    }
    const std::optional<int32_t> turn = gf5::straighteningTurn(*image);
    if (turn)
        turnCanvasKeepingSize(*turn); // one undo step; shows the progress window itself
    if (slow)
        CloseProgress();
}

// Paper made white over the selection, or the whole picture without one,
// with the paper's brightness measured over the whole picture. One undo step.
void MainWindow::btnWhiten_Click()
{
    runCanvasEffect(true, true, true, [](MainWindow& f) {
        return gf5::whitenPaper(f.fxCanvas, f.PolyX.data(), f.PolyY.data(), 4);
    });
}

// Automatic straightening of a skewed scan on the canvas.
#include "imaging/effects/skew.h"
#include "imaging/store/imagestore.h"
#include "shell/main_window.h"

void MainWindow::mnuEditDeskew_Click()
{
    // The skew is measured on the picture as shown.
    layInFloatingPaste(QStringLiteral("傾き補正"));
    const QImage* image = gf5::ImageStore::image(dspCanvas->ImageHandle());
    if (!image)
        return;
    if (const std::optional<int32_t> turn = gf5::straighteningTurn(*image))
        turnCanvasKeepingSize(*turn);
}

#include "shell/window_placement.h"
#include "shell/userpaths.h"
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace placement {

namespace {
const char* const kGeometryKey = "main/geometry";
}

QRect centredOn(const QRect& owner, const QSize& size, int keepClear, const QRect& screen)
{
    QRect r(QPoint(0, 0), size);
    r.moveCenter(owner.center());
    r.moveTop(std::max(r.top(), owner.top() + keepClear));
    if (!screen.isEmpty()) {
        r.moveRight(std::min(r.right(), screen.right()));
        r.moveBottom(std::min(r.bottom(), screen.bottom()));
        r.moveLeft(std::max(r.left(), screen.left()));
        r.moveTop(std::max(r.top(), screen.top()));
    }
    return r;
}

void centreOnOwner(QWidget& window, const QWidget& owner)
{
    const QWidget& top = *owner.window();
    const QRect frame = top.frameGeometry();
    // The title bar and the toolbar: what lies above the client area's
    // first child row of controls.
    const int keepClear = (top.geometry().top() - frame.top()) + 30;
    const QScreen* screen = top.screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    QSize size = window.frameGeometry().size();
    if (!window.isVisible() || size.isEmpty())
        size = window.size();
    window.move(centredOn(frame, size, keepClear, available).topLeft());
}

QString placementFile()
{
    return userpaths::configFolder() + QStringLiteral("/window.ini");
}

void saveMainWindowPlacement(const QWidget& window)
{
    QDir().mkpath(userpaths::configFolder());
    QSettings settings(placementFile(), QSettings::IniFormat);
    settings.setValue(kGeometryKey, window.saveGeometry());
}

bool restoreMainWindowPlacement(QWidget& window)
{
    const QSettings settings(placementFile(), QSettings::IniFormat);
    const QByteArray saved = settings.value(kGeometryKey).toByteArray();
    return !saved.isEmpty() && window.restoreGeometry(saved);
}

} // namespace placement

#include "shell/first_paint.h"
#include "imaging/widgets/gf5disp.h"
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QPointer>
#include <QTimer>
#include <cstdio>

namespace startup {

namespace {

// Watches one widget's paint events; after the first it queues fn and
// deletes itself. Queued, so that fn runs once the paint is done. A widget
// that never paints (a window kept hidden) gets fn after fallbackMs.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget* widget, std::function<void()> fn, int fallbackMs)
        : QObject(widget), m_widget(widget), m_fn(std::move(fn))
    {
        widget->installEventFilter(this);
        if (fallbackMs >= 0)
            QTimer::singleShot(fallbackMs, this, [this] { fire(); });
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            fire();
        return false;
    }

private:
    void fire()
    {
        if (!m_fn)
            return;
        m_widget->removeEventFilter(this);
        QTimer::singleShot(0, m_widget, std::move(m_fn));
        m_fn = nullptr;
        deleteLater();
    }

    QWidget* m_widget;
    std::function<void()> m_fn;
};

} // namespace

void afterFirstPaint(QWidget* widget, std::function<void()> fn, int fallbackMs)
{
    if (!widget || !fn)
        return;
    new FirstPaintWatch(widget, std::move(fn), fallbackMs);
}

namespace {
void say(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}

// "whole" once the canvas has painted without the reduced copy: now, or
// after a later paint.
void reportWhole(gf5::Gf5Disp* canvas, bool quit)
{
    if (canvas->showsStandIn())
        return afterFirstPaint(canvas->viewport(), [canvas, quit] { reportWhole(canvas, quit); }, -1);
    say("whole\n");
    if (quit)
        QCoreApplication::quit();
}
} // namespace

void reportFirstPaintIfAsked(gf5::Gf5Disp& canvas)
{
    const QByteArray asked = qgetenv("ZORVAT_REPORT_FIRST_PAINT");
    if (asked.isEmpty())
        return;
    const bool quit = asked == "quit";
    gf5::Gf5Disp* shown = &canvas;
    afterFirstPaint(canvas.viewport(), [shown, quit] {
        say("painted\n");
        reportWhole(shown, quit);
    }, -1);
}

QSize standInBox()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

} // namespace startup

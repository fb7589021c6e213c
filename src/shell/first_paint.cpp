#include "shell/first_paint.h"
#include <QCoreApplication>
#include <QEvent>
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

void reportFirstPaintIfAsked(QWidget* widget)
{
    const QByteArray asked = qgetenv("ZORVAT_REPORT_FIRST_PAINT");
    if (asked.isEmpty())
        return;
    const bool quit = asked == "quit";
    afterFirstPaint(widget, [quit] {
        std::fputs("painted\n", stdout);
        std::fflush(stdout);
        if (quit)
            QCoreApplication::quit();
    }, -1);
}

} // namespace startup

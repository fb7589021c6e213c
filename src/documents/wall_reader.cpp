#include "documents/wall_reader.h"
#include "ink/analyse.h"
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <QThreadPool>

namespace documents {

WallReader::WallReader(QObject* parent) : QObject(parent) {}

WallReader::~WallReader()
{
    cancel();
    // The worker holds no pointer to the reader once cancelled, but wait
    // for it so no thread outlives the program's objects.
    while (m_running.load() > 0)
        QThread::msleep(5);
}

void WallReader::cancel()
{
    if (m_cancel)
        m_cancel->store(true);
    m_cancel.reset();
    ++m_generation;
}

void WallReader::start(const QImage& image, double dpi, int scaleDenominator, bool ignoreTraced)
{
    cancel();
    if (image.isNull())
        return;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_cancel = stop;
    const quint64 generation = m_generation;
    QPointer<WallReader> self(this);
    m_running.fetch_add(1);
    std::atomic<int>* running = &m_running;
    QThreadPool::globalInstance()->start([=]() {
        // Grey and 32-bit rows are read in place; anything else is
        // converted first (one more image while the reading lasts).
        const QImage rows = image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_RGB32 ||
                                    image.format() == QImage::Format_ARGB32
                                ? image
                                : image.convertToFormat(QImage::Format_RGB32);
        auto map = std::make_shared<ink::WallMap>();
        if (!rows.isNull()) {
            const cv::Mat view(rows.height(), rows.width(),
                               rows.format() == QImage::Format_Grayscale8 ? CV_8UC1 : CV_8UC4,
                               const_cast<uchar*>(rows.constBits()), size_t(rows.bytesPerLine()));
            ink::Options options;
            options.scale = scaleDenominator > 0 ? scaleDenominator : 100;
            options.ignoreTraced = ignoreTraced;
            options.cancel = stop.get();
            ink::Analysis a = ink::analyseWalls(view, dpi > 0 ? dpi : 96, options);
            if (a.status == ink::Status::Cancelled) {
                running->fetch_sub(1);
                return;
            }
            *map = std::move(a.map);
        }
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation, map, stop]() {
                if (self && !stop->load() && self->m_generation == generation)
                    emit self->wallsRead(map);
            },
            Qt::QueuedConnection);
        running->fetch_sub(1);
    });
}

} // namespace documents

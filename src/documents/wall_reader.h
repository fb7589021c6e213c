#pragma once
// Reads a plan's walls on a worker thread so the window never waits: each
// start() cancels the reading before it, and only the newest reading's map
// is delivered (on the thread that owns the reader). No window needed.
#include "ink/wall_map.h"
#include <QImage>
#include <QObject>
#include <atomic>
#include <memory>

namespace documents {

class WallReader : public QObject {
    Q_OBJECT
public:
    explicit WallReader(QObject* parent = nullptr);
    ~WallReader() override;

    // Reads the walls of image (shared, not copied: a later change to the
    // canvas detaches from it) at dpi and 1/scaleDenominator. ignoreTraced:
    // the image is an underlay, and pure greys are the user's own tracing.
    void start(const QImage& image, double dpi, int scaleDenominator, bool ignoreTraced);
    // Stops the reading under way; nothing is delivered for it.
    void cancel();
    // True while a reading is under way.
    bool busy() const { return m_running.load() > 0; }

signals:
    // The newest reading's map (empty when the image held no walls or could
    // not be read).
    void wallsRead(std::shared_ptr<const ink::WallMap> map);

private:
    std::shared_ptr<std::atomic<bool>> m_cancel;
    quint64 m_generation = 0;
    std::atomic<int> m_running{0};
};

} // namespace documents

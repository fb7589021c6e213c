#include "testsupport/frameplan.h"
#include <QImage>
#include <QPainter>

namespace testsupport {

QString writeFramePlan(const QString& path, int partitionX)
{
    QImage img(2400, 1800, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(11811);
    img.setDotsPerMeterY(11811);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 18, Qt::SolidLine, Qt::SquareCap));
    p.drawRect(400, 400, 1600, 1000);
    if (partitionX > 0)
        p.drawLine(partitionX, 400, partitionX, 1400);
    p.end();
    return img.save(path) ? path : QString();
}

} // namespace testsupport

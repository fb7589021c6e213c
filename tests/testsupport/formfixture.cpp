#include "formfixture.h"
#include <QFile>
#include <QImageReader>
#include <QPainter>

namespace testsupport {

ProgramDir::ProgramDir(const QString& iniText)
{
    if (!iniText.isNull()) {
        QFile f(dir.filePath("zorvat.ini"));
        if (f.open(QIODevice::WriteOnly))
            f.write(iniText.toUtf8());
    }
}

QImage canvasImage(const MainWindow& f)
{
    const QImage* img = gf5::ImageStore::image(f.dspCanvas->ImageHandle());
    return img ? *img : QImage();
}

QString writePlan(const QString& path, int w, int h, const char* format)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(QRect(10, 10, 20, 20), Qt::black);
    p.end();
    img.save(path, format);
    return path;
}

void showOnCanvas(MainWindow& f, const QImage& img)
{
    f.ReleaseCanvasImage();
    f.dspCanvas->setImageHandle(gf5::ImageStore::add(img));
}

void setSelection(MainWindow& f, int l, int t, int r, int b)
{
    f.dspCanvas->setSelectionLeft(l);
    f.dspCanvas->setSelectionTop(t);
    f.dspCanvas->setSelectionRight(r);
    f.dspCanvas->setSelectionBottom(b);
}

QRect selectionRect(const MainWindow& f)
{
    return QRect(QPoint(f.dspCanvas->SelectionLeft(), f.dspCanvas->SelectionTop()),
                 QPoint(f.dspCanvas->SelectionRight(), f.dspCanvas->SelectionBottom()));
}

void paintOnCanvas(MainWindow& f, const QRect& rect, QRgb colour)
{
    f.TakeUndoSnapshot();
    QImage* img = gf5::ImageStore::image(f.dspCanvas->ImageHandle());
    if (!img)
        return;
    QPainter p(img);
    p.fillRect(rect, QColor(colour));
    p.end();
    f.dspCanvas->setImageHandle(f.dspCanvas->ImageHandle());
}

FileDialogs::FileDialogs()
{
    gf5::Gf5File::dialogOverride = [this](bool) {
        ++opened;
        return answer;
    };
}

FileDialogs::~FileDialogs() { gf5::Gf5File::dialogOverride = nullptr; }

QByteArray fileFormat(const QString& path)
{
    QImageReader r(path);
    r.setDecideFormatFromContent(true);
    return r.format();
}

} // namespace testsupport

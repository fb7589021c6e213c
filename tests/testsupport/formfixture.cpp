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

QImage canvasImage(const Form1& f)
{
    const QImage* img = gf5::ImageStore::image(f.Gf5Disp1->ImageHandle());
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

void showOnCanvas(Form1& f, const QImage& img)
{
    f.ReleaseCanvasImage();
    f.Gf5Disp1->setImageHandle(gf5::ImageStore::add(img));
}

void setSelection(Form1& f, int l, int t, int r, int b)
{
    f.Gf5Disp1->setSelectionLeft(l);
    f.Gf5Disp1->setSelectionTop(t);
    f.Gf5Disp1->setSelectionRight(r);
    f.Gf5Disp1->setSelectionBottom(b);
}

QRect selectionRect(const Form1& f)
{
    return QRect(QPoint(f.Gf5Disp1->SelectionLeft(), f.Gf5Disp1->SelectionTop()),
                 QPoint(f.Gf5Disp1->SelectionRight(), f.Gf5Disp1->SelectionBottom()));
}

void paintOnCanvas(Form1& f, const QRect& rect, QRgb colour)
{
    f.TakeUndoSnapshot();
    QImage* img = gf5::ImageStore::image(f.Gf5Disp1->ImageHandle());
    if (!img)
        return;
    QPainter p(img);
    p.fillRect(rect, QColor(colour));
    p.end();
    f.Gf5Disp1->setImageHandle(f.Gf5Disp1->ImageHandle());
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

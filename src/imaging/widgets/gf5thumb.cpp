#include "gf5thumb.h"
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace gf5 {

namespace {
constexpr int kPathRole = Qt::UserRole + 1;

// Reads a picture already scaled to fit box, so that a large scan costs
// little time and memory (JPEG decodes at the reduced size directly).
QImage readThumbnail(const QString& path, const QSize& box)
{
    QImageReader reader(path);
    const QSize full = reader.size();
    if (full.isValid() && !full.isEmpty()) {
        const QSize fitted = full.scaled(box, Qt::KeepAspectRatio);
        if (fitted.width() < full.width() || fitted.height() < full.height())
            reader.setScaledSize(fitted.expandedTo(QSize(1, 1)));
    }
    QImage img = reader.read();
    if (img.isNull())
        return {};
    if (img.width() > box.width() || img.height() > box.height())
        img = img.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return img;
}

// Centres a picture on a white square of the icon size, so every thumbnail
// has the same footprint whatever its proportions.
QIcon squareIcon(const QImage& img, const QSize& box)
{
    QPixmap pm(box);
    pm.fill(Qt::white);
    if (!img.isNull()) {
        QPainter p(&pm);
        p.drawImage(QPoint((box.width() - img.width()) / 2, (box.height() - img.height()) / 2), img);
    }
    return QIcon(pm);
}
} // namespace

QStringList thumbFilterExtensions(const QString& filter)
{
    QStringList out;
    for (QString part : filter.split(';', Qt::SkipEmptyParts)) {
        part = part.trimmed();
        if (part.startsWith("*"))
            part.remove(0, 1);
        if (part.startsWith("."))
            part.remove(0, 1);
        if (!part.isEmpty() && part != "*")
            out << part.toLower();
    }
    return out;
}

Gf5Thumb::Gf5Thumb(QWidget* parent) : QListWidget(parent)
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setIconSize(QSize(48, 48));
}

void Gf5Thumb::Rebuild()
{
    m_entries.clear();
    const QStringList exts = thumbFilterExtensions(FileFilter);
    QDir dir(Folder);
    if (Folder.isEmpty() || !dir.exists())
        return;
    const QDir::SortFlags sort = ThumbOptionB == 1 ? (QDir::Name | QDir::IgnoreCase) : QDir::Unsorted;
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Readable, sort);
    for (const QFileInfo& fi : files) {
        if (!exts.isEmpty() && !exts.contains(fi.suffix().toLower()))
            continue;
        m_entries.push_back({fi.absoluteFilePath(), readThumbnail(fi.absoluteFilePath(), iconSize())});
    }
}

void Gf5Thumb::Display()
{
    clear();
    const int gap = qMax<int>(0, ThumbOptionC);
    // Without names every cell is just the picture and its margin, so more
    // thumbnails fit on a row.
    if (ThumbOptionA) {
        setGridSize(QSize());
        setSpacing(gap);
    } else {
        setSpacing(0);
        setGridSize(iconSize() + QSize(gap + 4, gap + 4));
    }
    for (const Entry& e : m_entries) {
        auto* item = new QListWidgetItem(squareIcon(e.thumb, iconSize()),
                                         ThumbOptionA ? QFileInfo(e.path).fileName() : QString(), this);
        item->setData(kPathRole, e.path);
        item->setToolTip(QFileInfo(e.path).fileName());
    }
}

QStringList Gf5Thumb::shownFiles() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->data(kPathRole).toString();
    return out;
}

void Gf5Thumb::clickRow(int row)
{
    QListWidgetItem* it = item(row);
    if (!it)
        return;
    setCurrentItem(it);
    SelectedFile = it->data(kPathRole).toString();
    emit ThumbnailClicked(QFileInfo(SelectedFile).fileName(), SelectedFile);
}

// The thumbnail is chosen on the press, so a thumbnail dragged away is the
// one selected when it lands.
void Gf5Thumb::mousePressEvent(QMouseEvent* e)
{
    QListWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    if (QListWidgetItem* it = itemAt(e->position().toPoint()))
        clickRow(row(it));
}

QStringList Gf5Thumb::mimeTypes() const { return {"text/uri-list"}; }

QMimeData* Gf5Thumb::mimeData(const QList<QListWidgetItem*>& items) const
{
    QList<QUrl> urls;
    for (const QListWidgetItem* it : items)
        urls << QUrl::fromLocalFile(it->data(kPathRole).toString());
    if (urls.isEmpty())
        return nullptr;
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

} // namespace gf5

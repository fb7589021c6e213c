#include "gf5thumb.h"
#include "thumbload.h"
#include "thumbnames.h"
#include "thumbdelegate.h"
#include <QCollator>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace gf5 {

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
// Most cached thumbnails kept (about 9 KB each at 48 x 48).
constexpr int kMaxCached = 5000;

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

// Names under compact thumbnails use a small type so two lines fit.
QFont nameFont(const QFont& base)
{
    QFont f = base;
    f.setPixelSize(10);
    return f;
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
    setUniformItemSizes(true);
    setWordWrap(true);
    setTextElideMode(Qt::ElideRight);
    setIconSize(QSize(48, 48));
    m_delegate = new ThumbNameDelegate(this);
    setItemDelegate(m_delegate);
    // One reader thread leaves the other cores to the window and the editor.
    m_pool.setMaxThreadCount(1);

    m_search = new QLineEdit(this);
    m_search->setObjectName("searchBox");
    m_search->setClearButtonEnabled(true);
    connect(m_search, &QLineEdit::textChanged, this, &Gf5Thumb::setNameFilter);
    placeSearchBox();
}

Gf5Thumb::~Gf5Thumb()
{
    // Reads still running post their results to this browser: let them end.
    m_pool.clear();
    m_pool.waitForDone();
}

void Gf5Thumb::placeSearchBox()
{
    const int h = m_search->sizeHint().height();
    setViewportMargins(0, h, 0, 0);
    const int fw = frameWidth();
    m_search->setGeometry(fw, fw, width() - 2 * fw, h);
}

void Gf5Thumb::resizeEvent(QResizeEvent* e)
{
    QListWidget::resizeEvent(e);
    placeSearchBox();
    applyGrid();
}

void Gf5Thumb::Rebuild()
{
    m_entries.clear();
    const QStringList exts = thumbFilterExtensions(FileFilter);
    QStringList folders;
    folders << Folder << ExtraFolders;
    for (const QString& folder : folders) {
        QDir dir(folder);
        if (folder.isEmpty() || !dir.exists())
            continue;
        const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Unsorted);
        for (const QFileInfo& fi : files) {
            if (!exts.isEmpty() && !exts.contains(fi.suffix().toLower()))
                continue;
            m_entries.push_back({fi.absoluteFilePath(), thumbDisplayName(fi.fileName()), fi.size(),
                                 fi.lastModified().toMSecsSinceEpoch()});
        }
    }
    if (ThumbOptionB == 1) {
        QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(true);
        std::stable_sort(m_entries.begin(), m_entries.end(), [&](const Entry& a, const Entry& b) {
            const int c = collator.compare(a.name, b.name);
            return c != 0 ? c < 0 : a.path < b.path;
        });
    }
}

const QIcon* Gf5Thumb::cachedIcon(const Entry& e) const
{
    const auto it = m_cache.constFind(e.path);
    if (it == m_cache.constEnd() || it->size != e.size || it->modified != e.modified)
        return nullptr;
    return &it->icon;
}

void Gf5Thumb::applyGrid()
{
    const QSize icon = iconSize();
    const int gap = qMax<int>(0, ThumbOptionC);
    if (ThumbOptionA) {
        m_delegate->setCellSize(QSize());
        setGridSize(QSize());
        setSpacing(gap);
        return;
    }
    // The grid fills the row: as many cells as the pictures need, sharing the
    // width, and names under the pictures when a cell is wide enough.
    setSpacing(0);
    const int avail = width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width() - 1;
    const int minCell = icon.width() + gap + 4;
    const int columns = qMax(1, avail / minCell);
    const int cellWidth = qMax(minCell, avail / columns);
    const bool names = cellWidth >= icon.width() + 8;
    const int textHeight = names ? 2 * QFontMetrics(nameFont(font())).height() + 2 : 0;
    // Names wrap to two lines of the cell's width (the tooltip keeps the whole name).
    const QSize cell(cellWidth, icon.height() + gap + 4 + textHeight);
    m_delegate->setCellSize(cell);
    setGridSize(cell);
    for (int i = 0; i < count() && i < int(m_shown.size()); ++i)
        item(i)->setText(names ? m_shown[size_t(i)].name : QString());
}

void Gf5Thumb::Display()
{
    clear();
    m_rowOf.clear();
    if (m_cacheBox != iconSize()) {
        m_cache.clear();
        m_cacheBox = iconSize();
        m_blank = squareIcon(QImage(), iconSize());
    }
    m_shown = m_entries;
    const QFont small = nameFont(font());
    setUpdatesEnabled(false);
    for (size_t i = 0; i < m_shown.size(); ++i) {
        const Entry& e = m_shown[i];
        const QIcon* icon = cachedIcon(e);
        auto* item = new QListWidgetItem(icon ? *icon : m_blank,
                                         ThumbOptionA ? QFileInfo(e.path).fileName() : QString(), this);
        item->setData(kPathRole, e.path);
        item->setToolTip(e.name);
        if (!ThumbOptionA)
            item->setFont(small);
        m_rowOf.insert(e.path, int(i));
    }
    applyGrid();
    applyFilter();
    setUpdatesEnabled(true);
    startReading();
}

void Gf5Thumb::startReading()
{
    ++m_generation;
    m_pool.clear(); // reads queued for an earlier list are not needed now
    m_pending = 0;
    const quint64 generation = m_generation;
    const QSize box = iconSize();
    for (const Entry& e : m_shown) {
        if (cachedIcon(e))
            continue;
        ++m_pending;
        m_pool.start([this, e, box, generation] {
            const QImage thumb = loadThumbnail(e.path, box);
            QMetaObject::invokeMethod(
                this, [this, e, thumb, generation] { pictureRead(e, thumb, generation); }, Qt::QueuedConnection);
        });
    }
    if (m_pending == 0)
        emit thumbnailsLoaded();
}

void Gf5Thumb::pictureRead(const Entry& e, const QImage& thumb, quint64 generation)
{
    ++m_filesRead;
    if (m_cache.size() >= kMaxCached)
        m_cache.clear();
    // A file that cannot be read keeps the blank square, and is not tried
    // again until it changes.
    const QIcon icon = thumb.isNull() ? m_blank : squareIcon(thumb, m_cacheBox);
    m_cache.insert(e.path, {e.size, e.modified, icon});
    const auto row = m_rowOf.constFind(e.path);
    if (row != m_rowOf.constEnd() && m_shown[size_t(*row)].size == e.size
        && m_shown[size_t(*row)].modified == e.modified)
        item(*row)->setIcon(icon);
    if (generation == m_generation && m_pending > 0 && --m_pending == 0)
        emit thumbnailsLoaded();
}

bool Gf5Thumb::waitForThumbnails(int ms)
{
    QDeadlineTimer deadline(ms);
    while (m_pending > 0 && !deadline.hasExpired()) {
        QEventLoop loop;
        connect(this, &Gf5Thumb::thumbnailsLoaded, &loop, &QEventLoop::quit);
        QTimer::singleShot(std::clamp<qint64>(deadline.remainingTime(), 1, 50), &loop, &QEventLoop::quit);
        loop.exec();
    }
    return m_pending == 0;
}

void Gf5Thumb::setNameFilter(const QString& text)
{
    if (m_search->text() != text)
        m_search->setText(text); // comes back here through textChanged
    if (m_filter == text)
        return;
    m_filter = text;
    applyFilter();
}

void Gf5Thumb::setNameMatcher(NameMatcher matcher)
{
    m_matcher = std::move(matcher);
    applyFilter();
}

void Gf5Thumb::applyFilter()
{
    for (int i = 0; i < count() && i < int(m_shown.size()); ++i) {
        const QString& name = m_shown[size_t(i)].name;
        setRowHidden(i, !(m_matcher ? m_matcher(name, m_filter) : nameMatches(name, m_filter)));
    }
}

QStringList Gf5Thumb::shownFiles() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        if (!isRowHidden(i))
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

#pragma once
// Thumbnail browser: lists the pictures of one or more folders as small
// thumbnails. A press on a thumbnail selects it (SelectedFile) and reports
// ThumbnailClicked; dragging a thumbnail carries its file as a URL, which a
// display turns into FileDropped.
//
// Listing is quick whatever the folders hold: the pictures are read on a
// worker thread after the list is shown (each thumbnail fills in as it
// arrives) and kept by path, size and modification time, so a file is read
// again only when it changes. A search box above the thumbnails hides those
// whose names do not match.
#include <QHash>
#include <QIcon>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <cstdint>
#include <functional>
#include <vector>

class QLineEdit;

namespace gf5 {

class ThumbNameDelegate;

class Gf5Thumb : public QListWidget {
    Q_OBJECT
public:
    explicit Gf5Thumb(QWidget* parent = nullptr);
    ~Gf5Thumb() override;

    // Folder to list and the extensions to list, separated by ";" ("jpg;bmp");
    // extensions match without regard to case. An empty filter lists every file.
    QString Folder;
    // Further folders listed together with Folder (missing ones are skipped).
    QStringList ExtraFolders;
    QString FileFilter;
    // ThumbOptionA: show each file's whole name under its picture; otherwise
    //   a compact grid with the short name under the picture where the grid
    //   has room for it.
    // ThumbOptionB: 1 sorts by name (ignoring case, numbers by value);
    //   otherwise the folders' order.
    // ThumbOptionC: spacing between thumbnails in pixels.
    bool ThumbOptionA = false;
    int16_t ThumbOptionB = 1;
    int16_t ThumbOptionC = 5;

    // Lists the folders; Display shows the list and starts reading pictures.
    void Rebuild();
    void Display();

    // Full path of the last thumbnail clicked (empty before the first click).
    QString SelectedFile;

    // Full paths of the thumbnails shown (not hidden by the search), in order.
    QStringList shownFiles() const;
    // Press on the thumbnail at row as a click does.
    void clickRow(int row);

    // The search box; typing in it filters the thumbnails as they are shown
    // now and after every later Display.
    QLineEdit* searchBox() const { return m_search; }
    void setNameFilter(const QString& text);
    QString nameFilter() const { return m_filter; }
    // How the search decides whether a shown name matches its text; the
    // default is nameMatches. Applied at once to the list shown.
    using NameMatcher = std::function<bool(const QString& name, const QString& query)>;
    void setNameMatcher(NameMatcher matcher);

    // True while pictures of the current list are still being read.
    bool thumbnailsPending() const { return m_pending > 0; }
    // Waits (running the event loop) until every picture is read or ms pass.
    bool waitForThumbnails(int ms);
    // Number of picture files read since the browser was made.
    int filesRead() const { return m_filesRead; }

signals:
    // fileName: the file's name; path: its full path (also in SelectedFile).
    void ThumbnailClicked(const QString& fileName, const QString& path);
    // Every picture of the current list has been read.
    void thumbnailsLoaded();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    QStringList mimeTypes() const override;

private:
    struct Entry {
        QString path;
        QString name; // shown name
        qint64 size = 0;
        qint64 modified = 0;
    };
    struct Cached {
        qint64 size = 0;
        qint64 modified = 0;
        QIcon icon;
    };
    void applyFilter();
    void applyGrid();
    void placeSearchBox();
    void startReading();
    void pictureRead(const Entry& e, const QImage& thumb, quint64 generation);
    const QIcon* cachedIcon(const Entry& e) const;

    std::vector<Entry> m_entries; // listed by Rebuild
    std::vector<Entry> m_shown;   // shown by Display, one per row
    QHash<QString, Cached> m_cache;
    QSize m_cacheBox;
    QIcon m_blank;
    QHash<QString, int> m_rowOf;
    QLineEdit* m_search = nullptr;
    ThumbNameDelegate* m_delegate = nullptr;
    QString m_filter;
    NameMatcher m_matcher;
    QThreadPool m_pool;
    quint64 m_generation = 0;
    int m_pending = 0;
    int m_filesRead = 0;
};

// The extensions of a filter such as "jpg;bmp" or "*.JPG; *.bmp", in lower case.
QStringList thumbFilterExtensions(const QString& filter);

} // namespace gf5

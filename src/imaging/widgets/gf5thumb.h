#pragma once
// Thumbnail browser: lists the pictures of one folder as small thumbnails.
// A press on a thumbnail selects it (SelectedFile) and reports
// ThumbnailClicked; dragging a thumbnail carries its file as a URL, which a
// display turns into FileDropped.
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace gf5 {

class Gf5Thumb : public QListWidget {
    Q_OBJECT
public:
    explicit Gf5Thumb(QWidget* parent = nullptr);

    // Folder to list and the extensions to list, separated by ";" ("jpg;bmp");
    // extensions match without regard to case. An empty filter lists every file.
    QString Folder;
    QString FileFilter;
    // ThumbOptionA: show each file's name under its picture.
    // ThumbOptionB: 1 sorts by name (ignoring case); otherwise the folder's order.
    // ThumbOptionC: spacing between thumbnails in pixels.
    bool ThumbOptionA = false;
    int16_t ThumbOptionB = 1;
    int16_t ThumbOptionC = 5;

    // Reads the folder and makes the thumbnails; Display shows them.
    void Rebuild();
    void Display();

    // Full path of the last thumbnail clicked (empty before the first click).
    QString SelectedFile;

    // Full paths of the thumbnails shown, in order.
    QStringList shownFiles() const;
    // Press on the thumbnail at row as a click does.
    void clickRow(int row);

signals:
    // fileName: the file's name; path: its full path (also in SelectedFile).
    void ThumbnailClicked(const QString& fileName, const QString& path);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    QStringList mimeTypes() const override;

private:
    struct Entry {
        QString path;
        QImage thumb;
    };
    std::vector<Entry> m_entries;
};

// The extensions of a filter such as "jpg;bmp" or "*.JPG; *.bmp", in lower case.
QStringList thumbFilterExtensions(const QString& filter);

} // namespace gf5

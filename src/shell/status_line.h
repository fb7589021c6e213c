#pragma once
// A one-line notice under the canvas: what a command did that the user
// would otherwise not see ("保存しました"). Each notice clears itself after a
// few seconds; a newer one replaces it at once.
#include <QLabel>
#include <QTimer>

class StatusLine : public QLabel {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent);
    void showNotice(const QString& text);
    static constexpr int kShownMs = 6000;

private:
    QTimer m_clear;
};

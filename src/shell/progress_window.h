#pragma once
// The progress window "進捗状況": the last percentage reported and a cancel
// button. Shown (not modal) while a file is read or an effect runs.
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* owner);
    QLabel* lblPercent = nullptr;
    QLabel* lblPercentSign = nullptr;
    QProgressBar* barProgress = nullptr;
    QPushButton* btnCancel = nullptr;

signals:
    void cancelClicked();
};

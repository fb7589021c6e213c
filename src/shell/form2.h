#pragma once
// The progress window "進捗状況": the last percentage reported and a cancel
// button. Shown (not modal) while a file is read or an effect runs.
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* owner);
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* Command1 = nullptr;

signals:
    void cancelClicked();
};

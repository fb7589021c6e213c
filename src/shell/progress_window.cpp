#include "progress_window.h"
#include "main_window.h"
#include "window_placement.h"
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

ProgressWindow::ProgressWindow(QWidget* owner) : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName("Form2");
    setWindowTitle("進捗状況");
    setFixedSize(220, 90);
    lblPercent = new QLabel("0", this);
    lblPercent->setObjectName("Label1");
    lblPercent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPercent->setGeometry(60, 10, 50, 20);
    lblPercentSign = new QLabel("％", this);
    lblPercentSign->setObjectName("Label2");
    lblPercentSign->setGeometry(114, 10, 30, 20);
    barProgress = new QProgressBar(this);
    barProgress->setObjectName("ProgressBar1");
    barProgress->setGeometry(10, 34, 200, 14);
    barProgress->setTextVisible(false);
    btnCancel = new QPushButton("中止", this);
    btnCancel->setObjectName("Command1");
    btnCancel->setGeometry(70, 56, 80, 26);
    connect(btnCancel, &QPushButton::clicked, this, &ProgressWindow::cancelClicked);
}

void MainWindow::ShowProgress()
{
    if (!progressWindow) {
        progressWindow = new ProgressWindow(this);
        connect(progressWindow, &ProgressWindow::cancelClicked, this, [this] { progressCancel_Click(); });
    }
    progressWindow->lblPercent->setText("0");
    if (!progressWindow->isVisible())
        placement::centreOnOwner(*progressWindow, *this);
    progressWindow->show();
    progressWindow->raise();
}

void MainWindow::CloseProgress()
{
    if (progressWindow)
        progressWindow->hide();
}

void MainWindow::OnProgress(int16_t percent)
{
    if (!progressWindow) {
        progressWindow = new ProgressWindow(this);
        connect(progressWindow, &ProgressWindow::cancelClicked, this, [this] { progressCancel_Click(); });
    }
    progressWindow->lblPercent->setText(QString::number(percent));
    progressWindow->lblPercent->repaint();
    // Lets the cancel button be pressed while the operation runs; input to
    // the main window is held back meanwhile (see eventFilter), so no second
    // command starts inside this one.
    ++busyDepth;
    QApplication::processEvents();
    --busyDepth;
}

void MainWindow::progressCancel_Click()
{
    if (ProgressSource == 0)
        fileIo.CancelRequested = true;
    else if (ProgressSource == 2)
        scanner.CancelRequested = true;
    else
        fxCanvas.CancelRequested = true;
}

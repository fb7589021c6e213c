#include "form2.h"
#include "form1.h"
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

Form2::Form2(QWidget* owner) : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName("Form2");
    setWindowTitle("進捗状況");
    setFixedSize(220, 90);
    Label1 = new QLabel("0", this);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setGeometry(60, 10, 50, 20);
    Label2 = new QLabel("％", this);
    Label2->setObjectName("Label2");
    Label2->setGeometry(114, 10, 30, 20);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setGeometry(10, 34, 200, 14);
    ProgressBar1->setTextVisible(false);
    Command1 = new QPushButton("中止", this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(70, 56, 80, 26);
    connect(Command1, &QPushButton::clicked, this, &Form2::cancelClicked);
}

void Form1::ShowProgress()
{
    if (!progressWindow) {
        progressWindow = new Form2(this);
        connect(progressWindow, &Form2::cancelClicked, this, [this] { Form2_Command1_Click(); });
    }
    progressWindow->Label1->setText("0");
    progressWindow->show();
    progressWindow->raise();
}

void Form1::CloseProgress()
{
    if (progressWindow)
        progressWindow->hide();
}

void Form1::OnProgress(int16_t percent)
{
    if (!progressWindow) {
        progressWindow = new Form2(this);
        connect(progressWindow, &Form2::cancelClicked, this, [this] { Form2_Command1_Click(); });
    }
    progressWindow->Label1->setText(QString::number(percent));
    progressWindow->Label1->repaint();
    // Lets the cancel button be pressed while the operation runs; input to
    // the main window is held back meanwhile (see eventFilter), so no second
    // command starts inside this one.
    ++busyDepth;
    QApplication::processEvents();
    --busyDepth;
}

void Form1::Form2_Command1_Click()
{
    if (ProgressSource == 0)
        Gf5File1.CancelRequested = true;
    else if (ProgressSource == 2)
        Gf5Scan1.CancelRequested = true;
    else
        Gf5Effect1.CancelRequested = true;
}

#include "form3.h"
#include "form1.h"
#include <QLabel>
#include <QPushButton>

std::function<int(Form3&)> Form3::answerOverride;

Form3::Form3(QWidget* owner, int16_t& sideChoice) : QDialog(owner), m_sideChoice(sideChoice)
{
    setObjectName("Form3");
    setWindowTitle("問合せ");
    setModal(true);
    setFixedSize(260, 110);
    for (int i = 1; i <= 2; ++i) {
        Label1[i] = new QLabel("どちら側に設置しますか", this);
        Label1[i]->setObjectName(QString("Label1(%1)").arg(i));
        Label1[i]->setGeometry(14, 8 + (i - 1) * 20, 240, 18);
    }
    const int xs[3] = {176, 14, 95};
    for (int i = 0; i <= 2; ++i) {
        Command1[i] = new QPushButton(i == 0 ? "キャンセル" : "", this);
        Command1[i]->setObjectName(QString("Command1(%1)").arg(i));
        Command1[i]->setGeometry(xs[i], 66, 75, 28);
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }
}

void Form3::Command1_Click(int index)
{
    m_sideChoice = int16_t(index);
    if (index == 0)
        reject();
    else
        accept();
}

void Form3::ask()
{
    if (answerOverride) {
        const int answer = answerOverride(*this);
        if (answer >= 0 && answer <= 2)
            m_sideChoice = int16_t(answer);
        return;
    }
    exec();
}

void Form1::AskSide(const QString& line1, const QString& line2, const QString& answer1,
                    const QString& answer2)
{
    Form3 dialog(this, SideChoice);
    dialog.Label1[1]->setText(line1);
    dialog.Label1[2]->setText(line2);
    dialog.Command1[1]->setText(answer1);
    dialog.Command1[2]->setText(answer2);
    SideChoice = 0;
    dialog.ask();
}

#include "form3.h"
#include "form1.h"
#include <QKeyEvent>
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
        // Enter must not throw the traced stretch away by picking キャンセル.
        Command1[i]->setAutoDefault(false);
        Command1[i]->setDefault(false);
        // The focused button sees keys first; the keypad answers come here.
        Command1[i]->installEventFilter(this);
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

QString Form3::sideForKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::KeypadModifier))
        return {};
    switch (qtKey) {
    case Qt::Key_8: case Qt::Key_Up: return QStringLiteral("上側");
    case Qt::Key_2: case Qt::Key_Down: return QStringLiteral("下側");
    case Qt::Key_4: case Qt::Key_Left: return QStringLiteral("左側");
    case Qt::Key_6: case Qt::Key_Right: return QStringLiteral("右側");
    default: return {};
    }
}

bool Form3::answerFromKey(const QKeyEvent* e)
{
    const QString side = sideForKey(e->key(), e->modifiers());
    if (side.isEmpty())
        return false;
    for (int i = 1; i <= 2; ++i) {
        if (Command1[i]->isVisible() && Command1[i]->isEnabled() && Command1[i]->text() == side) {
            Command1_Click(i);
            return true;
        }
    }
    return false;
}

bool Form3::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        // A keypad key never moves the focus between the buttons.
        if (answerFromKey(ke) || (ke->modifiers() & Qt::KeypadModifier))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Form3::keyPressEvent(QKeyEvent* e)
{
    if (answerFromKey(e))
        return;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return; // no default answer
    QDialog::keyPressEvent(e);
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

#include "side_choice_dialog.h"
#include "keys.h"
#include "main_window.h"
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

std::function<int(SideChoiceDialog&)> SideChoiceDialog::answerOverride;

SideChoiceDialog::SideChoiceDialog(QWidget* owner, int16_t& sideChoice) : QDialog(owner), m_sideChoice(sideChoice)
{
    setObjectName("Form3");
    setWindowTitle("問合せ");
    setModal(true);
    setFixedSize(260, 110);
    for (int i = 1; i <= 2; ++i) {
        lblQuestion[i] = new QLabel("どちら側に設置しますか", this);
        lblQuestion[i]->setObjectName(QString("Label1(%1)").arg(i));
        lblQuestion[i]->setGeometry(14, 8 + (i - 1) * 20, 240, 18);
    }
    const int xs[3] = {176, 14, 95};
    for (int i = 0; i <= 2; ++i) {
        btnAnswer[i] = new QPushButton(i == 0 ? "キャンセル" : "", this);
        btnAnswer[i]->setObjectName(QString("Command1(%1)").arg(i));
        btnAnswer[i]->setGeometry(xs[i], 66, 75, 28);
        // Enter must not throw the traced stretch away by picking キャンセル.
        btnAnswer[i]->setAutoDefault(false);
        btnAnswer[i]->setDefault(false);
        // The focused button sees keys first; the keypad answers come here.
        btnAnswer[i]->installEventFilter(this);
        connect(btnAnswer[i], &QPushButton::clicked, this, [this, i] { btnAnswer_Click(i); });
    }
}

void SideChoiceDialog::btnAnswer_Click(int index)
{
    m_sideChoice = int16_t(index);
    if (index == 0)
        reject();
    else
        accept();
}

QString SideChoiceDialog::sideForKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::KeypadModifier))
        return {};
    // With Num Lock off the keypad sends arrows, which answer nothing here,
    // as they are no commands in the main window either.
    switch (qtKey) {
    case Qt::Key_8: return QStringLiteral("上側");
    case Qt::Key_2: return QStringLiteral("下側");
    case Qt::Key_4: return QStringLiteral("左側");
    case Qt::Key_6: return QStringLiteral("右側");
    default: return {};
    }
}

bool SideChoiceDialog::answerFromKey(const QKeyEvent* e)
{
    const QString side = sideForKey(e->key(), e->modifiers());
    if (side.isEmpty())
        return false;
    for (int i = 1; i <= 2; ++i) {
        if (btnAnswer[i]->isVisible() && btnAnswer[i]->isEnabled() && btnAnswer[i]->text() == side) {
            btnAnswer_Click(i);
            return true;
        }
    }
    return false;
}

bool SideChoiceDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        // A keypad key never moves the focus between the buttons.
        if (answerFromKey(ke) || keys::isKeypadKey(ke->key(), ke->modifiers()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void SideChoiceDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // The window itself holds the focus, no button: Space answers nothing
    // until the user moves to a button with Tab.
    setFocus(Qt::OtherFocusReason);
}

void SideChoiceDialog::keyPressEvent(QKeyEvent* e)
{
    if (answerFromKey(e) || keys::isKeypadKey(e->key(), e->modifiers()))
        return;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return; // no default answer
    QDialog::keyPressEvent(e);
}

void SideChoiceDialog::ask()
{
    if (answerOverride) {
        const int answer = answerOverride(*this);
        if (answer >= 0 && answer <= 2)
            m_sideChoice = int16_t(answer);
        return;
    }
    exec();
}

void MainWindow::AskSide(const QString& line1, const QString& line2, const QString& answer1,
                    const QString& answer2)
{
    SideChoiceDialog dialog(this, SideChoice);
    dialog.lblQuestion[1]->setText(line1);
    dialog.lblQuestion[2]->setText(line2);
    dialog.btnAnswer[1]->setText(answer1);
    dialog.btnAnswer[2]->setText(answer2);
    SideChoice = 0;
    dialog.ask();
}

#include "messages.h"
#include <QMessageBox>
#include <QPushButton>

namespace messages {

std::function<void(const QString&)> override;

void show(QWidget* parent, const QString& text)
{
    if (override) {
        override(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box.exec();
}

std::function<bool(const QString&)> askOverride;

namespace {
bool askWithDefault(QWidget* parent, const QString& text, bool yesIsDefault)
{
    if (askOverride)
        return askOverride(text);
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton("はい", QMessageBox::YesRole);
    QPushButton* no = box.addButton("いいえ", QMessageBox::NoRole);
    box.setDefaultButton(yesIsDefault ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}
}

bool ask(QWidget* parent, const QString& text) { return askWithDefault(parent, text, false); }

bool askYesDefault(QWidget* parent, const QString& text) { return askWithDefault(parent, text, true); }

} // namespace messages

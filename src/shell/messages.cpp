#include "messages.h"
#include <QMessageBox>

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

} // namespace messages

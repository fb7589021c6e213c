#include "status_line.h"
#include "main_window.h"

StatusLine::StatusLine(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    m_clear.setSingleShot(true);
    connect(&m_clear, &QTimer::timeout, this, &QLabel::clear);
}

void StatusLine::showNotice(const QString& text)
{
    setText(text);
    m_clear.start(kShownMs);
}

void MainWindow::showStatus(const QString& text)
{
    if (lblStatus)
        lblStatus->showNotice(text);
}

#include "canvas/ccolor.h"
#include "imaging/store/imagestore.h"
#include <QApplication>
#include <QColorDialog>
#include <QPalette>

std::function<bool(QColorDialog&)> cColor::dialogOverride;

cColor::cColor() { m_custom.fill(0xFFFFFF); }

int32_t cColor::CustomColor(int32_t index) const
{
    return index >= 0 && index < 16 ? m_custom[size_t(index)] : 0;
}

void cColor::setCustomColor(int32_t index, int32_t colour)
{
    if (index >= 0 && index < 16)
        m_custom[size_t(index)] = colour;
}

bool cColor::ShowDialog(QWidget* owner, int32_t flags)
{
    // The chooser's custom colours are shared by the whole application (and
    // Qt keeps them between runs): load this instance's own before opening.
    const std::array<int32_t, 16> working = m_custom;
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, QColor(gf5::colourToRgb(working[size_t(i)])));

    const QColor initial = (flags & 1) ? QColor(gf5::colourToRgb(m_color)) : QColor(Qt::black);
    QColorDialog dialog(initial, owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    const bool accepted = dialogOverride ? dialogOverride(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted)
        return false;
    m_color = gf5::rgbToColour(dialog.currentColor().rgb());
    for (int i = 0; i < 16; ++i)
        m_custom[size_t(i)] = gf5::rgbToColour(QColorDialog::customColor(i).rgb());
    return true;
}

QString cColor::ToHexString(int32_t colour) const
{
    if (colour < 0)
        colour = systemColour(colour & 0xFF);
    auto pair = [](int32_t v) { return QString::number(v & 0xFF, 16).toUpper().rightJustified(2, u'0'); };
    return QStringLiteral("#") + pair(colour) + pair(colour >> 8) + pair(colour >> 16);
}

int32_t cColor::FromHexString(const QString& text) const
{
    QString digits;
    if (text.startsWith(u'#')) {
        if (text.size() != 7)
            return 0;
        digits = text.mid(1);
    } else {
        if (text.size() != 6)
            return 0;
        digits = text;
    }
    auto hexDigit = [](QChar c) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            return int(u - u'0');
        if (u >= u'A' && u <= u'F')
            return int(u - u'A' + 10);
        if (u >= u'a' && u <= u'f')
            return int(u - u'a' + 10);
        return -1;
    };
    auto component = [&](int at) {
        const int hi = hexDigit(digits[at]), lo = hexDigit(digits[at + 1]);
        return hi < 0 || lo < 0 ? 0 : hi * 16 + lo;
    };
    return component(0) | (component(2) << 8) | (component(4) << 16);
}

int32_t cColor::systemColour(int index)
{
    const QPalette pal = QApplication::palette();
    QPalette::ColorRole role;
    QPalette::ColorGroup group = QPalette::Active;
    switch (index) {
    case 0: role = QPalette::Button; break;          // scroll bar
    case 1: role = QPalette::Dark; break;            // desktop
    case 2: case 27: role = QPalette::Highlight; break; // active caption
    case 3: case 28: role = QPalette::Mid; break;   // inactive caption
    case 4: case 30: role = QPalette::Window; break; // menu, menu bar
    case 5: role = QPalette::Base; break;            // window
    case 6: case 21: role = QPalette::Shadow; break; // frame, dark shadow
    case 7: case 8: role = QPalette::WindowText; break; // menu text, window text
    case 9: case 14: role = QPalette::HighlightedText; break; // caption text, selected text
    case 10: case 11: case 15: role = QPalette::Button; break; // borders, button face
    case 12: role = QPalette::Mid; break;            // application workspace
    case 13: case 26: case 29: role = QPalette::Highlight; break; // selection, hot light
    case 16: role = QPalette::Dark; break;           // button shadow
    case 17: role = QPalette::Text; group = QPalette::Disabled; break; // grey text
    case 18: role = QPalette::ButtonText; break;
    case 19: role = QPalette::Text; group = QPalette::Inactive; break;
    case 20: role = QPalette::Light; break;          // button highlight
    case 22: role = QPalette::Midlight; break;       // 3D light
    case 23: role = QPalette::ToolTipText; break;
    case 24: role = QPalette::ToolTipBase; break;
    default: return 0;
    }
    return gf5::rgbToColour(pal.color(group, role).rgb());
}

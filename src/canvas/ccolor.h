#pragma once
// The colour dialog and a few colour conversions. Colours are red +
// 256 * green + 65536 * blue; a negative value names a system colour by the
// index in its low byte.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class QColorDialog;
class QWidget;

class cColor {
public:
    cColor(); // the 16 custom colours start white

    int32_t Color() const { return m_color; }
    void setColor(int32_t colour) { m_color = colour; }
    uint8_t Red() const { return uint8_t(m_color & 0xFF); }
    uint8_t Green() const { return uint8_t((m_color >> 8) & 0xFF); }
    uint8_t Blue() const { return uint8_t((m_color >> 16) & 0xFF); }

    // Custom colour 0..15; other indexes read 0 and ignore writes.
    int32_t CustomColor(int32_t index) const;
    void setCustomColor(int32_t index, int32_t colour);

    // Opens the colour chooser on this instance's custom colours; flags bit 1
    // starts it on Color (otherwise on black). True when the user pressed OK:
    // Color and the custom colours then hold the choice.
    bool ShowDialog(QWidget* owner, int32_t flags);

    // "#RRGGBB" in upper-case hexadecimal.
    QString ToHexString(int32_t colour) const;
    // "#RRGGBB" or "RRGGBB" to a colour; any other length gives 0, and a
    // pair that is not hexadecimal leaves its component 0.
    int32_t FromHexString(const QString& text) const;

    // System colour of a classic colour index (0 for unknown indexes).
    static int32_t systemColour(int index);

    // Tests answer the dialog here instead of running it: the hook gets the
    // prepared dialog and returns true for OK.
    static std::function<bool(QColorDialog&)> dialogOverride;

private:
    int32_t m_color = 0;
    std::array<int32_t, 16> m_custom{};
};

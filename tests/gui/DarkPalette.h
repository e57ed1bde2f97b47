#pragma once

// A dark desktop palette (Breeze Dark's colours) for the length of a scope.

#include <QApplication>
#include <QColor>
#include <QPalette>

inline QPalette breezeDark() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2a, 0x2e, 0x32));
    p.setColor(QPalette::WindowText, QColor(0xfc, 0xfc, 0xfc));
    p.setColor(QPalette::Base, QColor(0x1b, 0x1e, 0x20));
    p.setColor(QPalette::AlternateBase, QColor(0x23, 0x26, 0x29));
    p.setColor(QPalette::Text, QColor(0xfc, 0xfc, 0xfc));
    p.setColor(QPalette::Button, QColor(0x31, 0x36, 0x3b));
    p.setColor(QPalette::ButtonText, QColor(0xfc, 0xfc, 0xfc));
    p.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    p.setColor(QPalette::HighlightedText, QColor(0xfc, 0xfc, 0xfc));
    p.setColor(QPalette::ToolTipBase, QColor(0x31, 0x36, 0x3b));
    p.setColor(QPalette::ToolTipText, QColor(0xfc, 0xfc, 0xfc));
    return p;
}

class PaletteScope {
public:
    explicit PaletteScope(const QPalette& palette) : saved_(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~PaletteScope() { QApplication::setPalette(saved_); }

private:
    QPalette saved_;
};

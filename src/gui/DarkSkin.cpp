#include "gui/DarkSkin.h"

#include <QHash>
#include <QPalette>
#include <QRegularExpression>

namespace trelmig {

namespace {

// Text on the dark backgrounds below; white on the accent stays white.
const QHash<QString, QString>& textColours() {
    static const QHash<QString, QString> colours{
        {QStringLiteral("#1f2328"), QStringLiteral("#e6e8eb")}, // text
        {QStringLiteral("#59636e"), QStringLiteral("#aeb6bf")}, // muted text
        {QStringLiteral("#2563c9"), QStringLiteral("#8ab4ff")}, // accent (frame titles)
        {QStringLiteral("#8b949e"), QStringLiteral("#7d8590")}, // disabled
        {QStringLiteral("#9aa3ad"), QStringLiteral("#7d8590")},
        {QStringLiteral("#a2aab3"), QStringLiteral("#6e7681")},
        {QStringLiteral("#eef3fc"), QStringLiteral("#aab6cc")},
    };
    return colours;
}

const QHash<QString, QString>& backgroundColours() {
    static const QHash<QString, QString> colours{
        {QStringLiteral("#f3f4f6"), QStringLiteral("#1e2227")}, // window
        {QStringLiteral("#ffffff"), QStringLiteral("#262b31")}, // panels, boxes
        {QStringLiteral("#f6f7f9"), QStringLiteral("#2b3037")}, // read-only boxes
        {QStringLiteral("#fafbfc"), QStringLiteral("#23282e")}, // frames
        {QStringLiteral("#e9ecef"), QStringLiteral("#30353c")}, // disabled boxes
        {QStringLiteral("#f0f1f3"), QStringLiteral("#2d3238")}, // disabled buttons
        {QStringLiteral("#eef3fc"), QStringLiteral("#26334a")}, // hover, progress panel
        {QStringLiteral("#dbe6f9"), QStringLiteral("#32466b")}, // pressed, menu bar hover
        {QStringLiteral("#a9bfe6"), QStringLiteral("#3a4a66")}, // accent, disabled
        {QStringLiteral("#d5d9df"), QStringLiteral("#3c434b")}, // lines
        {QStringLiteral("#dfe3e8"), QStringLiteral("#353b42")},
        {QStringLiteral("#c2c8d0"), QStringLiteral("#4b535d")},
        {QStringLiteral("#8b949e"), QStringLiteral("#7d8590")},
        {QStringLiteral("#b9cdf0"), QStringLiteral("#3f5680")},
        {QStringLiteral("#0b1f44"), QStringLiteral("#9ec2ff")}, // the action button's ring
    };
    return colours;
}

} // namespace

bool IsDarkPalette(const QPalette& palette) {
    const QColor window = palette.color(QPalette::Window);
    return window.lightness() < palette.color(QPalette::WindowText).lightness();
}

QString DarkSkin(const QString& lightSheet) {
    static const QRegularExpression declaration(QStringLiteral(R"(([\w-]+)\s*:([^;{}]*);)"));
    static const QRegularExpression colour(QStringLiteral("#[0-9a-fA-F]{6}\\b"));
    QString dark;
    qsizetype done = 0;
    for (auto it = declaration.globalMatch(lightSheet); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString property = m.captured(1);
        const auto& table =
            property == QStringLiteral("color") || property == QStringLiteral("selection-color")
                ? textColours()
                : backgroundColours();
        QString value = m.captured(2);
        qsizetype from = 0;
        for (QRegularExpressionMatch c = colour.match(value); c.hasMatch();
             c = colour.match(value, from)) {
            const QString replacement = table.value(c.captured().toLower(), c.captured());
            value.replace(c.capturedStart(), c.capturedLength(), replacement);
            from = c.capturedStart() + replacement.size();
        }
        dark += lightSheet.mid(done, m.capturedStart(2) - done) + value;
        done = m.capturedEnd(2);
    }
    return dark + lightSheet.mid(done);
}

} // namespace trelmig

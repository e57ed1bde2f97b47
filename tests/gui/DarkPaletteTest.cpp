// The skin on a dark desktop palette (Breeze Dark's colours): every box the
// user reads or types in keeps its text readable on its background.
#include "DarkPalette.h"
#include "MainWindowFixture.h"

#include "gui/Skin.h"

#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>

using namespace trelmig;

namespace {

double luminance(QRgb c) {
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the strongest ink against the commonest colour (the box's
// background), inside the box's border.
double textContrast(QWidget* box) {
    const QImage image = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, int> counts;
    const int margin = 4;
    // The text's side only: a combo box's arrow is drawn in its own colour.
    const int right = image.width() * 2 / 3;
    for (int y = margin; y < image.height() - margin; ++y)
        for (int x = margin; x < right; ++x)
            ++counts[image.pixel(x, y)];
    const QRgb background =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
            return a.second < b.second;
        })->first;
    double best = 1;
    for (const auto& [colour, n] : counts)
        best = std::max(best, contrast(colour, background));
    return best;
}

} // namespace

TEST_F(MainWindowTest, OnADarkPaletteTheBoxesStayReadable) {
    PaletteScope dark(breezeDark());
    open();
    nextFile = QStringLiteral("/home/sam/Documents/Outlook Backups/outlook.kvx");
    child<QPushButton>("cmdTargetFile")->click();
    child<QPlainTextEdit>("txtAttachInfo")->setPlainText(QStringLiteral("Before the move"));
    child<QCheckBox>("ifprotect")->setChecked(true);
    child<QLineEdit>("txtPassword")->setText(QStringLiteral("secret"));
    child<QLineEdit>("txtPassword2")->setText(QStringLiteral("secret"));
    QApplication::processEvents();
    for (const char* name :
         {"cbSource", "txtAttachInfo", "txtPassword", "txtPassword2", "txtTargetFile"}) {
        QWidget* box = child<QWidget>(name);
        EXPECT_GE(textContrast(box), 4.5) << name;
    }

    // Qt's own file dialog, as the program shows it where the desktop has none.
    QFileDialog dialog(window.get());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    ApplySkin(&dialog);
    dialog.show();
    auto* nameBox = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(nameBox, nullptr);
    nameBox->setText(QStringLiteral("outlook.kvx"));
    QApplication::processEvents();
    EXPECT_GE(textContrast(nameBox), 4.5) << "file name box";
}

namespace {

// A rule's declarations of the skin, by property.
using Declarations = std::map<QString, QString>;

std::vector<std::pair<QString, Declarations>> skinRules(QString sheet) {
    sheet.remove(QRegularExpression(QStringLiteral(R"(/\*.*?\*/)"),
                                    QRegularExpression::DotMatchesEverythingOption));
    std::vector<std::pair<QString, Declarations>> rules;
    static const QRegularExpression rule(QStringLiteral(R"(([^{}]+)\{([^}]*)\})"));
    static const QRegularExpression declaration(QStringLiteral(R"(([\w-]+)\s*:\s*([^;]*);)"));
    for (auto r = rule.globalMatch(sheet); r.hasNext();) {
        const QRegularExpressionMatch m = r.next();
        Declarations found;
        for (auto d = declaration.globalMatch(m.captured(2)); d.hasNext();) {
            const QRegularExpressionMatch dm = d.next();
            found[dm.captured(1)] = dm.captured(2).trimmed();
        }
        rules.emplace_back(m.captured(1).simplified(), found);
    }
    return rules;
}

QRgb colourOf(const QString& value) {
    return QColor(value).rgb();
}

} // namespace

// Every text colour of the skin in effect on a dark palette against its
// rule's background, or, where the rule sets none, against each surface a
// text lies on (window, tab page, frame). Disabled texts are exempt.
TEST(DarkSkin, FollowsADarkPaletteWithAContrastOfFourAndAHalf) {
    guiApp();
    PaletteScope dark(breezeDark());
    const auto rules = skinRules(ProgramSkin());
    ASSERT_FALSE(rules.empty());
    std::map<QString, QString> surfaces;
    for (const auto& [selectors, declarations] : rules)
        for (const char* surface : {"QMainWindow, QDialog", "QTabWidget::pane", "QGroupBox"})
            if (selectors == QLatin1String(surface))
                surfaces[selectors] = declarations.at(QStringLiteral("background"));
    ASSERT_EQ(surfaces.size(), 3u);
    EXPECT_LT(QColor(surfaces[QStringLiteral("QMainWindow, QDialog")]).lightness(), 128);

    int pairs = 0;
    for (const auto& [selectors, declarations] : rules) {
        if (selectors.contains(QStringLiteral(":disabled")))
            continue;
        const auto check = [&](const char* ink, const char* paper) {
            const auto text = declarations.find(QString::fromLatin1(ink));
            if (text == declarations.end())
                return;
            const auto own = declarations.find(QString::fromLatin1(paper));
            const bool hasOwn = own != declarations.end() && own->second.startsWith('#');
            for (const auto& [surface, background] : surfaces) {
                const QString under = hasOwn ? own->second : background;
                ++pairs;
                EXPECT_GE(contrast(colourOf(text->second), colourOf(under)), 4.5)
                    << selectors.toStdString() << ": " << text->second.toStdString() << " on "
                    << under.toStdString();
                if (hasOwn)
                    break;
            }
        };
        check("color", "background");
        check("selection-color", "selection-background-color");
    }
    EXPECT_GT(pairs, 30);
}

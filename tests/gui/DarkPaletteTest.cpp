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

#include "gui/KeepVersionsBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace trelmig {

namespace {

constexpr std::array<const char*, 4> kCountNames = {"spnKeepLast", "spnKeepDaily", "spnKeepWeekly",
                                                    "spnKeepMonthly"};
constexpr int kMostVersions = 9999;

std::array<int*, 4> countsOf(KeepPolicy& p) {
    return {&p.last, &p.daily, &p.weekly, &p.monthly};
}

} // namespace

KeepVersionsBox::KeepVersionsBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("KeepVersionsBox"));
    chkKeepVersions = new QCheckBox(tr("Keep versions"), this);
    chkKeepVersions->setObjectName(QStringLiteral("chkKeepVersions"));
    chkKeepVersions->setToolTip(
        tr("Write each backup as a new file NAME-YYYY-MM-DD-HHMMSS.kvx beside the chosen name, "
           "and remove the old versions the counts do not keep once the new one was verified"));
    const std::array<QString, 4> captions = {tr("Last:"), tr("Daily:"), tr("Weekly:"),
                                             tr("Monthly:")};
    const std::array<QString, 4> tips = {
        tr("The newest versions kept, whatever their dates"),
        tr("Days for which the newest version of the day is kept"),
        tr("Weeks for which the newest version of the week is kept"),
        tr("Months for which the newest version of the month is kept")};
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(0);
    grid->addWidget(chkKeepVersions, 0, 0);
    for (std::size_t i = 0; i < counts.size(); ++i) {
        counts[i] = new QSpinBox(this);
        counts[i]->setObjectName(QString::fromLatin1(kCountNames[i]));
        counts[i]->setRange(0, kMostVersions);
        counts[i]->setToolTip(tips[i]);
        // Named rather than given a mnemonic: the windows that hold the box
        // have no letters left for four more labels.
        const QString name = QString(captions[i]).remove(QLatin1Char(':'));
        counts[i]->setAccessibleName(name);
        if (auto* edit = counts[i]->findChild<QLineEdit*>())
            edit->setAccessibleName(name);
        auto* label = new QLabel(captions[i], this);
        // Two rows beside the check box: the box takes little room.
        const int row = static_cast<int>(i) / 2;
        const int column = 1 + static_cast<int>(i) % 2 * 2;
        grid->addWidget(label, row, column);
        grid->addWidget(counts[i], row, column + 1);
        connect(counts[i], &QSpinBox::valueChanged, this, &KeepVersionsBox::choiceChanged);
    }
    // The newest version is always kept: "last" counts from one.
    counts[0]->setMinimum(1);
    connect(chkKeepVersions, &QCheckBox::toggled, this, [this] {
        enableCounts();
        emit choiceChanged();
    });
    SetChoice({});
}

KeepChoice KeepVersionsBox::Choice() const {
    KeepChoice choice;
    choice.on = chkKeepVersions->isChecked();
    const auto values = countsOf(choice.counts);
    for (std::size_t i = 0; i < counts.size(); ++i)
        *values[i] = counts[i]->value();
    return choice;
}

void KeepVersionsBox::SetChoice(const KeepChoice& choice) {
    const QSignalBlocker blockBox(chkKeepVersions);
    chkKeepVersions->setChecked(choice.on);
    KeepPolicy policy = choice.counts;
    const auto values = countsOf(policy);
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const QSignalBlocker blockCount(counts[i]);
        counts[i]->setValue(*values[i]);
    }
    enableCounts();
}

void KeepVersionsBox::enableCounts() {
    for (QSpinBox* count : counts)
        count->setEnabled(chkKeepVersions->isChecked());
}

} // namespace trelmig

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

std::array<int*, 4> CountsOf(KeepPolicy& p) {
    return {&p.last, &p.daily, &p.weekly, &p.monthly};
}

} // namespace

KeepVersionsBox::KeepVersionsBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("KeepVersionsBox"));
    keepBox_ = new QCheckBox(tr("Keep versions"), this);
    keepBox_->setObjectName(QStringLiteral("chkKeepVersions"));
    keepBox_->setToolTip(
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
    grid->addWidget(keepBox_, 0, 0);
    for (std::size_t i = 0; i < countBoxes_.size(); ++i) {
        countBoxes_[i] = new QSpinBox(this);
        countBoxes_[i]->setObjectName(QString::fromLatin1(kCountNames[i]));
        countBoxes_[i]->setRange(0, kMostVersions);
        countBoxes_[i]->setToolTip(tips[i]);
        // Named rather than given a mnemonic: the windows that hold the box
        // have no letters left for four more labels.
        const QString name = QString(captions[i]).remove(QLatin1Char(':'));
        countBoxes_[i]->setAccessibleName(name);
        if (auto* edit = countBoxes_[i]->findChild<QLineEdit*>())
            edit->setAccessibleName(name);
        auto* label = new QLabel(captions[i], this);
        // Two rows beside the check box: the box takes little room.
        const int row = static_cast<int>(i) / 2;
        const int column = 1 + static_cast<int>(i) % 2 * 2;
        grid->addWidget(label, row, column);
        grid->addWidget(countBoxes_[i], row, column + 1);
        connect(countBoxes_[i], &QSpinBox::valueChanged, this, &KeepVersionsBox::choiceChanged);
    }
    // The newest version is always kept: "last" counts from one.
    countBoxes_[0]->setMinimum(1);
    connect(keepBox_, &QCheckBox::toggled, this, [this] {
        EnableCounts();
        emit choiceChanged();
    });
    SetChoice({});
}

KeepChoice KeepVersionsBox::Choice() const {
    KeepChoice choice;
    choice.on = keepBox_->isChecked();
    const auto values = CountsOf(choice.counts);
    for (std::size_t i = 0; i < countBoxes_.size(); ++i)
        *values[i] = countBoxes_[i]->value();
    return choice;
}

void KeepVersionsBox::SetChoice(const KeepChoice& choice) {
    const QSignalBlocker blockBox(keepBox_);
    keepBox_->setChecked(choice.on);
    KeepPolicy policy = choice.counts;
    const auto values = CountsOf(policy);
    for (std::size_t i = 0; i < countBoxes_.size(); ++i) {
        const QSignalBlocker blockCount(countBoxes_[i]);
        countBoxes_[i]->setValue(*values[i]);
    }
    EnableCounts();
}

void KeepVersionsBox::EnableCounts() {
    for (QSpinBox* count : countBoxes_)
        count->setEnabled(keepBox_->isChecked());
}

} // namespace trelmig

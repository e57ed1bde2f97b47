#pragma once

#include "core/KeepPolicy.h"

#include <QWidget>

#include <array>
#include <optional>

class QCheckBox;
class QSpinBox;

namespace trelmig {

// Whether a backup keeps versions, and the counts of its policy; the counts
// stay as chosen while versions are off.
struct KeepChoice {
    bool on = false;
    KeepPolicy counts;
    bool operator==(const KeepChoice&) const = default;
    std::optional<KeepPolicy> Policy() const { return on ? std::optional(counts) : std::nullopt; }
};

// "Keep versions" and its four counts (last, daily, weekly, monthly). Off, a
// backup replaces one file; on, it writes a new version beside the chosen
// name and removes the versions the counts do not keep.
class KeepVersionsBox : public QWidget {
    Q_OBJECT
public:
    explicit KeepVersionsBox(QWidget* parent = nullptr);

    KeepChoice Choice() const;
    void SetChoice(const KeepChoice& choice);

signals:
    // The user changed the check box or a count.
    void choiceChanged();

private:
    void EnableCounts();

    QCheckBox* keepBox_;
    std::array<QSpinBox*, 4> countBoxes_; // last, daily, weekly, monthly
};

} // namespace trelmig

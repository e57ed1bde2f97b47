#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace trelmig {

// The about box: product name and version, and the licence.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

private:
    void onExitClicked();

    QLabel* Picture1;
    QLabel* SkinLabel1;
    QLabel* SkinLabel2;
    QLabel* SkinLabel7;
    QFrame* Line1;
    QPushButton* Command3;
};

} // namespace trelmig

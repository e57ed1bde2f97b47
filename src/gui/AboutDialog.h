#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace trelmig {

// The about box: product name and version, the maker's web site (a click
// opens it) and e-mail address.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

private:
    void onWebsiteLinkActivated();
    void onExitClicked();

    QLabel* Picture1;
    QLabel* SkinLabel1;
    QLabel* SkinLabel2;
    QLabel* SkinLabel3;
    QLabel* SkinLabel4;
    QLabel* SkinLabel5;
    QLabel* SkinLabel6;
    QLabel* SkinLabel7;
    QFrame* Line1;
    QPushButton* Command3;
};

} // namespace trelmig

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
    void onCloseClicked();

    QLabel* logoLabel_;
    QLabel* thanksLabel_;
    QLabel* productLabel_;
    QLabel* copyrightLabel_;
    QFrame* separatorLine_;
    QPushButton* closeButton_;
};

} // namespace trelmig

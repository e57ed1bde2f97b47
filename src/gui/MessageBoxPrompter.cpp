#include "gui/MessageBoxPrompter.h"

#include "gui/Worker.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace trelmig {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageAnswer MessageBoxPrompter::Show(const std::string& text, MessageIcon icon,
                                       MessageButtons buttons) {
    // Code working on another thread (a backup, a restore) asks through the
    // windows' thread, the only one that may show a box.
    MessageAnswer answer = MessageAnswer::Cancel;
    RunOnGuiThread([&] { answer = showBox(text, icon, buttons); });
    return answer;
}

MessageAnswer MessageBoxPrompter::showBox(const std::string& text, MessageIcon icon,
                                          MessageButtons buttons) {
    QMessageBox box(parent_);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setWindowTitle(QString::fromUtf8(kAppTitle));
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    // Lines of the completion logs are ended by CR LF and aligned with tabs.
    box.setText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon(boxIcon(icon));
    QPushButton* continueButton = nullptr;
    switch (buttons) {
    case MessageButtons::OkCancel:
    case MessageButtons::OkCancelDefaultCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(buttons == MessageButtons::OkCancelDefaultCancel ? QMessageBox::Cancel
                                                                              : QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MessageButtons::RetryContinueCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        continueButton = box.addButton(QStringLiteral("&Continue"), QMessageBox::AcceptRole);
        box.setDefaultButton(QMessageBox::Retry);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MessageButtons::OverwriteCancel:
        // Replacing a file is never what Enter does.
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("&Overwrite"));
        box.setDefaultButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    // A message in the middle of a run is answered with the normal pointer.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    if (continueButton && box.clickedButton() == continueButton)
        return MessageAnswer::Continue;
    if (answer == QMessageBox::Retry)
        return MessageAnswer::Retry;
    return answer == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

} // namespace trelmig

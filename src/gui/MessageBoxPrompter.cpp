#include "gui/MessageBoxPrompter.h"

#include "gui/MessageTexts.h"
#include "gui/Worker.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

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

QString MessageBoxText(const std::string& text, Qt::TextFormat& format) {
    const QStringList lines = QString::fromStdString(text)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .split(QLatin1Char('\n'));
    format = Qt::PlainText;
    const auto cellsOf = [](const QString& line) {
        QStringList cells = line.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        for (QString& cell : cells)
            cell = cell.trimmed();
        cells.removeAll(QString());
        return cells;
    };
    if (std::none_of(lines.begin(), lines.end(),
                     [&](const QString& line) { return cellsOf(line).size() > 1; }))
        return lines.join(QLatin1Char('\n'));
    // Tabs line columns up only in the font they were typed for: the item
    // lines of a completion log become the rows of a table.
    format = Qt::RichText;
    QString html;
    bool inTable = false;
    for (const QString& line : lines) {
        const QStringList cells = cellsOf(line);
        if (cells.size() > 1) {
            if (!inTable)
                html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
            inTable = true;
            html += QStringLiteral("<tr>");
            for (const QString& cell : cells)
                html += QStringLiteral("<td style=\"padding-right:16px\">%1</td>")
                            .arg(cell.toHtmlEscaped());
            html += QStringLiteral("</tr>");
            continue;
        }
        if (inTable)
            html += QStringLiteral("</table>");
        inTable = false;
        html +=
            cells.isEmpty()
                ? QStringLiteral("<br>")
                : QStringLiteral("<p style=\"margin:0\">%1</p>").arg(cells.first().toHtmlEscaped());
    }
    if (inTable)
        html += QStringLiteral("</table>");
    return html;
}

MessageAnswer MessageBoxPrompter::Show(const std::string& text, MessageIcon icon,
                                       MessageButtons buttons) {
    // Code working on another thread (a backup, a restore) asks through the
    // windows' thread, the only one that may show a box.
    MessageAnswer answer = MessageAnswer::Cancel;
    RunOnGuiThread([&] { answer = showBox(text, icon, buttons); });
    return answer;
}

MessageAnswer MessageBoxPrompter::ShowMessage(const Message& message, MessageIcon icon,
                                              MessageButtons buttons) {
    return Show(TranslatedMessage(message), icon, buttons);
}

MessageAnswer MessageBoxPrompter::AskUnlessToldNot(const std::string& text, MessageIcon icon,
                                                   MessageButtons buttons, bool& notAgain) {
    MessageAnswer answer = MessageAnswer::Cancel;
    RunOnGuiThread([&] { answer = showBox(text, icon, buttons, &notAgain); });
    return answer;
}

MessageAnswer MessageBoxPrompter::showBox(const std::string& text, MessageIcon icon,
                                          MessageButtons buttons, bool* notAgain) {
    QMessageBox box(parent_);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setWindowTitle(QString::fromUtf8(kAppTitle));
    box.setWindowModality(Qt::ApplicationModal);
    Qt::TextFormat format = Qt::PlainText;
    const QString shown = MessageBoxText(text, format);
    box.setTextFormat(format);
    box.setText(shown);
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
        continueButton = box.addButton(QCoreApplication::translate("MessageBox", "&Continue"),
                                       QMessageBox::AcceptRole);
        box.setDefaultButton(QMessageBox::Retry);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MessageButtons::OverwriteCancel:
        // Replacing a file is never what Enter does.
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Ok)
            ->setText(QCoreApplication::translate("MessageBox", "&Overwrite"));
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
    if (notAgain) {
        auto* check =
            new QCheckBox(QCoreApplication::translate("MessageBox", "&Do not ask again"), &box);
        check->setObjectName(QStringLiteral("chkDoNotAskAgain"));
        box.setCheckBox(check);
    }
    const int answer = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    if (notAgain)
        *notAgain = box.checkBox()->isChecked();
    if (continueButton && box.clickedButton() == continueButton)
        return MessageAnswer::Continue;
    if (answer == QMessageBox::Retry)
        return MessageAnswer::Retry;
    return answer == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

} // namespace trelmig

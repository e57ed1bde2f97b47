// The questions with buttons of their own: Overwrite / Cancel with Cancel as
// the default, Retry / Continue / Cancel.
#include "WindowTestSupport.h"

#include "gui/MessageBoxPrompter.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace trelmig;

namespace {

// Answers the next message box by clicking the button of that caption, or
// its default button when the caption is empty; records the captions.
MessageAnswer answerWith(MessageButtons buttons, const QString& caption,
                         QStringList* captions = nullptr, QString* defaultCaption = nullptr) {
    MessageBoxPrompter boxes;
    ModalAnswerer click([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return false;
        for (QAbstractButton* b : box->buttons()) {
            if (captions)
                *captions << b->text();
            if (b->text() == caption)
                b->click();
        }
        if (defaultCaption && box->defaultButton())
            *defaultCaption = box->defaultButton()->text();
        if (caption.isEmpty())
            pressKey(box, Qt::Key_Return, QStringLiteral("\r"));
        return true;
    });
    return boxes.Show("question", MessageIcon::Exclamation, buttons);
}

} // namespace

TEST(MessageBoxButtons, OverwriteIsAskedForAndNeverTheDefault) {
    guiApp();
    QStringList captions;
    QString defaultCaption;
    EXPECT_EQ(answerWith(MessageButtons::OverwriteCancel, {}, &captions, &defaultCaption),
              MessageAnswer::Cancel);
    EXPECT_TRUE(captions.contains(QStringLiteral("&Overwrite")));
    EXPECT_NE(defaultCaption, QStringLiteral("&Overwrite"));
    EXPECT_EQ(answerWith(MessageButtons::OverwriteCancel, QStringLiteral("&Overwrite")),
              MessageAnswer::Ok);
}

TEST(MessageBoxButtons, RetryContinueAndCancelAreThreeAnswers) {
    guiApp();
    EXPECT_EQ(answerWith(MessageButtons::RetryContinueCancel, QStringLiteral("&Continue")),
              MessageAnswer::Continue);
    EXPECT_EQ(answerWith(MessageButtons::RetryContinueCancel, {}), MessageAnswer::Retry);
    QStringList captions;
    answerWith(MessageButtons::RetryContinueCancel, QStringLiteral("&Continue"), &captions);
    for (const QString& caption : captions) {
        if (caption.contains(QStringLiteral("Cancel"))) {
            EXPECT_EQ(answerWith(MessageButtons::RetryContinueCancel, caption),
                      MessageAnswer::Cancel);
        }
    }
}

// A completion log's columns become a table, so that they line up in the
// desktop's proportional font; other messages stay plain text.
TEST(MessageBoxText, ColumnsOfACompletionLogLineUp) {
    Qt::TextFormat format = Qt::RichText;
    EXPECT_EQ(MessageBoxText("Invalid backup file.\r\n\r\nno <entry>", format),
              QStringLiteral("Invalid backup file.\n\nno <entry>"));
    EXPECT_EQ(format, Qt::PlainText);

    const QString html = MessageBoxText("The Backup was Completed!\t\t\t\r\n\r\n"
                                        "Backup Personal Folders\t\tsucceeded!\t\r\n"
                                        "Backup Signatures & Stationery\tFail!\t",
                                        format);
    EXPECT_EQ(format, Qt::RichText);
    EXPECT_TRUE(
        html.startsWith(QStringLiteral("<p style=\"margin:0\">The Backup was Completed!</p>")))
        << html.toStdString();
    EXPECT_EQ(html.count(QStringLiteral("<tr>")), 2);
    EXPECT_TRUE(
        html.contains(QStringLiteral("<td style=\"padding-right:16px\">Backup Signatures "
                                     "&amp; Stationery</td><td style=\"padding-right:16px\">"
                                     "Fail!</td>")))
        << html.toStdString();
}

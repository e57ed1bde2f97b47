#pragma once

#include "core/Prompter.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace trelmig {

// The text a message box shows for a message: as it is, or, when lines hold
// columns separated by tabs (the completion logs), a table whose columns
// line up in any font; format says which.
QString MessageBoxText(const std::string& text, Qt::TextFormat& format);

// Messages of the windows: a modal message box with the application title,
// centred on the window that asks. Callable from any thread.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParentWindow(QWidget* parent) { parent_ = parent; }

    MessageAnswer Show(const std::string& text, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) override;
    // In the user's language where the program has it.
    MessageAnswer ShowMessage(const Message& message, MessageIcon icon,
                              MessageButtons buttons = MessageButtons::Ok) override;
    // With a "Do not ask again" box under the text.
    MessageAnswer AskUnlessToldNot(const std::string& text, MessageIcon icon,
                                   MessageButtons buttons, bool& notAgain) override;

private:
    MessageAnswer showBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                          bool* notAgain = nullptr);

    QPointer<QWidget> parent_;
};

} // namespace trelmig

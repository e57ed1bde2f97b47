#pragma once

#include "core/Prompter.h"

#include <QPointer>
#include <QWidget>

namespace trelmig {

// Messages of the windows: a modal message box with the application title,
// centred on the window that asks. Callable from any thread.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParentWindow(QWidget* parent) { parent_ = parent; }

    MessageAnswer Show(const std::string& text, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) override;

private:
    MessageAnswer showBox(const std::string& text, MessageIcon icon, MessageButtons buttons);

    QPointer<QWidget> parent_;
};

} // namespace trelmig

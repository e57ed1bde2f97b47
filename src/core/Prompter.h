#pragma once

#include "core/Message.h"

#include <string>

namespace trelmig {

enum class MessageIcon { None, Critical, Exclamation, Information, Question };
// OkCancelDefaultCancel: Enter answers Cancel (questions whose yes replaces
// the user's data). RetryContinueCancel answers Retry, Continue or Cancel;
// OverwriteCancel answers Ok for Overwrite, and has Cancel as its default button.
enum class MessageButtons {
    Ok,
    OkCancel,
    OkCancelDefaultCancel,
    RetryContinueCancel,
    OverwriteCancel
};
enum class MessageAnswer { Ok, Cancel, Retry, Continue };

// The one way core code talks to the user: a modal message with the
// application title. The window answers with a message box, tests record,
// the unattended run logs and answers Ok.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual MessageAnswer Show(const std::string& text, MessageIcon icon,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
    // A message of the table: in English unless the prompter speaks the
    // user's language.
    virtual MessageAnswer ShowMessage(const Message& message, MessageIcon icon,
                                      MessageButtons buttons = MessageButtons::Ok) {
        return Show(message.Text(), icon, buttons);
    }
    // A question that offers "Do not ask again"; notAgain says whether the
    // user ticked it. A prompter without that box never sets it.
    virtual MessageAnswer AskUnlessToldNot(const std::string& text, MessageIcon icon,
                                           MessageButtons buttons, bool& notAgain) {
        notAgain = false;
        return Show(text, icon, buttons);
    }
};

inline constexpr const char* kAppTitle = "Quenvar Outlook Backup";

} // namespace trelmig

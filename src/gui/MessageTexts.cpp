#include "gui/MessageTexts.h"

#include "gui/LocalTimeText.h"

#include "gui/CompletionLogText.h"

#include <QCoreApplication>

namespace trelmig {

std::string TranslatedMessage(const Message& message) {
    const std::string english(MessageTemplate(message.id));
    const QString translated = QCoreApplication::translate("Messages", english.c_str());
    // A run's completion lines, the values that start a line of their own,
    // are worded by the program too.
    std::vector<std::string> values = message.values;
    for (std::string& value : values) {
        if (value.starts_with("\r\n"))
            value = TranslatedCompletionLog(value);
        // A time the drivers give as "YYYY-MM-DD HH:MM:SS" reads as every
        // other time the windows show.
        else if (const QString local = LocalTimeText(value); local != QString::fromStdString(value))
            value = local.toStdString();
    }
    return FillPlaceholders(translated.toStdString(), values);
}

QString TranslatedText(const std::vector<Message>& parts) {
    std::string text;
    for (const Message& part : parts)
        text += TranslatedMessage(part);
    return QString::fromStdString(text);
}

} // namespace trelmig

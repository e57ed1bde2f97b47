#include "gui/MessageTexts.h"

#include <QCoreApplication>

namespace trelmig {

std::string TranslatedMessage(const Message& message) {
    const std::string english(MessageTemplate(message.id));
    const QString translated = QCoreApplication::translate("Messages", english.c_str());
    return FillPlaceholders(translated.toStdString(), message.values);
}

QString TranslatedText(const std::vector<Message>& parts) {
    std::string text;
    for (const Message& part : parts)
        text += TranslatedMessage(part);
    return QString::fromStdString(text);
}

} // namespace trelmig

#include "gui/ItemTexts.h"

#include <QCoreApplication>

#include <string>

namespace trelmig {

// The item records (core/ItemCatalogue.h) mark their box texts for the
// translators' tools in the context "ItemCatalogue".
QString ItemText(std::string_view english) {
    const std::string text(english);
    return QCoreApplication::translate("ItemCatalogue", text.c_str());
}

} // namespace trelmig

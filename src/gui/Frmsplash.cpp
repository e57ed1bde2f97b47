#include "gui/Frmsplash.h"

#include "gui/GuiSkin.h"

namespace trelmig {

Frmsplash::Frmsplash(std::function<QWidget*()> makeMain) : makeMain_(std::move(makeMain)) {
    setObjectName(QStringLiteral("Frmsplash"));
    setWindowTitle(QStringLiteral("Quenvar Outlook Backup"));
}

void Frmsplash::Form_Load() {
    ApplySkinToApplication();
    main_ = makeMain_();
    if (main_)
        main_->show();
    close();
}

} // namespace trelmig

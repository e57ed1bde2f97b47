#include "gui/SplashScreen.h"

#include "gui/Skin.h"

namespace trelmig {

SplashScreen::SplashScreen(std::function<QWidget*()> makeMain) : makeMain_(std::move(makeMain)) {
    setObjectName(QStringLiteral("Frmsplash"));
    setWindowTitle(tr("Quenvar Outlook Backup"));
}

void SplashScreen::ShowMainWindow() {
    ApplySkinToApplication();
    main_ = makeMain_();
    if (main_)
        main_->show();
    close();
}

} // namespace trelmig

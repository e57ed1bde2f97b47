#include "shell/GuiMain.h"

#include "shell/Session.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

namespace trelmig {

int runGui(int argc, char** argv, Session& session) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quenvar Outlook Backup V2.60"));
    auto* label = new QLabel(&window);
    QString text = QStringLiteral("Profiles:");
    for (const auto& name : session.arrProfiles)
        text += QStringLiteral("\n  ") + QString::fromStdString(name);
    label->setText(text);
    window.setCentralWidget(label);
    window.show();
    return app.exec();
}

} // namespace trelmig

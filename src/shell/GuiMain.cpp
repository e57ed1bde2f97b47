#include "shell/GuiMain.h"

#include "shell/Environment.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>

namespace trelmig {

namespace {

class MessageBoxPrompter : public Prompter {
public:
    MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
        QMessageBox box;
        box.setWindowTitle(QString::fromUtf8(kAppTitle));
        box.setText(QString::fromStdString(text));
        switch (icon) {
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MessageIcon::None:
            break;
        }
        box.setStandardButtons(buttons == MessageButtons::OkCancel
                                   ? QMessageBox::Ok | QMessageBox::Cancel
                                   : QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
};

} // namespace

int runGui(int argc, char** argv, const std::optional<std::filesystem::path>& prefix) {
    QApplication app(argc, argv);
    MessageBoxPrompter prompter;
    Environment env(WinePrefix::locate(prefix), prompter);
    env.Discover();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quenvar Outlook Backup V2.60"));
    auto* label = new QLabel(&window);
    QString text = QStringLiteral("Profiles:");
    for (const auto& name : env.session.arrProfiles)
        text += QStringLiteral("\n  ") + QString::fromStdString(name);
    label->setText(text);
    window.setCentralWidget(label);
    window.show();
    return app.exec();
}

} // namespace trelmig

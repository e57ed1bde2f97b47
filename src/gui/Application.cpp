#include "gui/Application.h"

#include "app/MachineSource.h"

#include "app/Environment.h"
#include "core/Message.h"
#include "gui/InstanceChannel.h"
#include "gui/InstanceLock.h"
#include "gui/MainWindow.h"
#include "gui/MessageBoxPrompter.h"
#include "gui/SplashScreen.h"
#include "gui/TerminationSignals.h"
#include "gui/Translations.h"
#include "gui/WindowMemory.h"
#include "platform/RememberedPrefix.h"
#include "platform/StateFolder.h"
#include "platform/WinePrefixFinder.h"

#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>

namespace trelmig {

namespace {

// How often a handed file waits for a dialog to close or a run to end.
constexpr int kRetryMs = 250;

// Opens file on the restore tab once no dialog is open and no run works: an
// inspection started under a password prompt or a running backup would be
// refused or stack a second prompt.
void openWhenFree(MainWindow& main, const QString& file) {
    if (QApplication::activeModalWidget() || main.Busy()) {
        QTimer::singleShot(kRetryMs, &main, [&main, file] { openWhenFree(main, file); });
        return;
    }
    main.OpenBackupFile(file);
}

void bringForward(MainWindow& main) {
    if (main.isMinimized())
        main.showNormal();
    main.show();
    main.raise();
    main.activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

} // namespace

std::optional<std::filesystem::path>
WindowPrefix(const std::optional<std::filesystem::path>& prefix) {
    if (prefix && !prefix->empty())
        return prefix;
    if (const char* env = std::getenv("WINEPREFIX"); env && *env)
        return std::nullopt; // WinePrefix::locate takes it
    if (auto remembered = LoadRememberedPrefix(); remembered && LooksLikeWinePrefix(*remembered))
        return remembered;
    return std::nullopt;
}

std::optional<std::string>
PassedOverPrefixMessage(const std::optional<std::filesystem::path>& prefix,
                        const std::filesystem::path& opened) {
    if (prefix && !prefix->empty())
        return std::nullopt;
    if (const char* env = std::getenv("WINEPREFIX"); env && *env)
        return std::nullopt;
    const auto remembered = LoadRememberedPrefix();
    if (!remembered || LooksLikeWinePrefix(*remembered))
        return std::nullopt;
    return QCoreApplication::translate("Application",
                                       "The Wine prefix opened last, %1, is no longer there. "
                                       "The window shows %2 instead.")
        .arg(QString::fromStdString(remembered->string()), QString::fromStdString(opened.string()))
        .toStdString();
}

namespace {

bool hasDisplay() {
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

// Starts the program once more on that machine; false (after telling the
// user) when it could not be started.
bool startOn(const MachineSource& machine, Prompter& prompter) {
    QStringList arguments;
    for (const std::string& argument : MachineArguments(machine))
        arguments << QString::fromStdString(argument);
    if (QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments))
        return true;
    const QString text =
        machine.windowsUser
            ? QCoreApplication::translate(
                  "Application", "The program could not be started for the Windows user folder %1.")
                  .arg(QString::fromStdString(machine.windowsUser->string()))
            : QCoreApplication::translate(
                  "Application", "The program could not be started for the Wine prefix %1.")
                  .arg(QString::fromStdString(machine.prefix.value_or("").string()));
    prompter.Show(text.toStdString(), MessageIcon::Critical);
    return false;
}

// The name of a profile to restore into that does not exist yet.
std::optional<QString> askNewProfileName(QWidget* parent, const QString& proposed) {
    bool ok = false;
    const QString name = QInputDialog::getText(
        parent, QCoreApplication::translate("Application", "New profile"),
        QCoreApplication::translate("Application", "Name of the new profile:"), QLineEdit::Normal,
        proposed, &ok);
    return ok ? std::optional<QString>(name) : std::nullopt;
}

} // namespace

int runGui(int argc, char** argv, const std::optional<std::filesystem::path>& prefix,
           const std::optional<std::filesystem::path>& openFile,
           const std::optional<std::filesystem::path>& windowsUser,
           const std::optional<std::filesystem::path>& windowsRoot) {
    // Without a display Qt aborts; say what to do instead.
    if (!hasDisplay()) {
        std::cerr << MessageText(MessageId::ProgramLine, MessageText(MessageId::NoDisplay)) << '\n';
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trelmig"));
    QApplication::setDesktopFileName(QStringLiteral("trelmig"));
    InstallTranslations();

    MessageBoxPrompter prompter;
    const WinePrefix winePrefix =
        windowsUser ? WinePrefix(*windowsUser) : WinePrefix::locate(WindowPrefix(prefix));
    InstanceLock lock(winePrefix.root());
    const QString file =
        openFile ? QFileInfo(QString::fromStdString(openFile->string())).absoluteFilePath()
                 : QString();
    if (!lock.TryLock()) {
        if (InstanceChannel::Hand(lock.ChannelPath(), file))
            return 0;
        prompter.Show(QCoreApplication::translate(
                          "Application", "Quenvar Outlook Backup is already open for the Wine "
                                         "prefix %1.")
                          .arg(QString::fromStdString(winePrefix.root().string()))
                          .toStdString(),
                      MessageIcon::Information);
        return 1;
    }
    // Without the channel the window still works; later starts then say
    // that it is open.
    InstanceChannel channel(lock.ChannelPath());
    channel.Listen();

    std::unique_ptr<Environment> env;
    try {
        env = OpenEnvironment({prefix, windowsUser, windowsRoot}, prompter);
        for (const std::string& warning : env->sourceWarnings)
            prompter.Show(warning, MessageIcon::Exclamation);
    } catch (const std::exception& e) {
        prompter.Show(e.what(), MessageIcon::Critical);
        return 1;
    }

    std::unique_ptr<MainWindow> main;
    // A file handed while the window is still being made waits for it.
    QString pending = file;
    QObject::connect(&channel, &InstanceChannel::Requested, &channel,
                     [&main, &pending](const QString& handed) {
                         if (!main) {
                             if (!handed.isEmpty())
                                 pending = handed;
                             return;
                         }
                         bringForward(*main);
                         if (!handed.isEmpty())
                             openWhenFree(*main, handed);
                     });
    SplashScreen splash([&]() -> QWidget* {
        main = std::make_unique<MainWindow>(*env, prompter);
        prompter.SetParentWindow(main.get());
        main->KeepUndoRecordsIn(UndoRecordsFolder());
        if (const QString settings = WindowMemory::DefaultFile(); !settings.isEmpty())
            main->Remember(std::make_unique<WindowMemory>(settings, winePrefix.root()));
        main->askNewProfileName = [&main](const QString& proposed) {
            return askNewProfileName(main.get(), proposed);
        };
        return main.get();
    });
    splash.ShowMainWindow();
    if (const auto passedOver = PassedOverPrefixMessage(prefix, winePrefix.root()))
        prompter.Show(*passedOver, MessageIcon::Exclamation);
    // A logout ends the program through the window's own Quit.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::Requested, main.get(),
                     [&main] { main->close(); });
    // Another prefix or Windows user folder is opened by a new start on it,
    // which hands over to a window already open there; this window then goes
    // as File > Quit does.
    main->openMachine = [&main, &prompter](const MachineSource& machine) {
        if (startOn(machine, prompter))
            main->onQuitClicked();
    };
    if (!pending.isEmpty())
        QTimer::singleShot(0, main.get(), [&main, pending] { openWhenFree(*main, pending); });
    return app.exec();
}

} // namespace trelmig

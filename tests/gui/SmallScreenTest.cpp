// The windows on small and scaled screens: sizes are device-independent, so
// 800x600 at 100 % and 1366x768 at 150 % (910x512) are what the main window
// must fit, and 1920x1080 at 200 % (960x540) what every window must fit.
#include "DiscWindowSupport.h"
#include "MainWindowFixture.h"

#include "gui/DiscWriteWindow.h"
#include "gui/EraseDiscDialog.h"
#include "gui/ScheduleDialog.h"
#include "gui/Translations.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include <tuple>

using namespace trelmig;

namespace {

// Room for a title bar and a panel of the desktop.
constexpr int kFrameHeight = 60;

void expectFits(QWidget* window, QSize screen, const char* what) {
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    EXPECT_LE(least.width(), screen.width()) << what;
    EXPECT_LE(least.height(), screen.height() - kFrameHeight) << what;
}

} // namespace

TEST_F(MainWindowTest, TheMainWindowFitsSmallScreensAndLongNamesDoNotWidenIt) {
    open();
    expectFits(window.get(), {800, 600}, "main window at 800x600");
    expectFits(window.get(), {910, 512}, "main window at 1366x768, 150 %");
    expectFits(window.get(), {960, 540}, "main window at 1920x1080, 200 %");

    const int width = window->minimumSizeHint().width();
    const QString longName = QStringLiteral("Outlook profile of the accounts department, ") +
                             QString(QStringLiteral("very long ")).repeated(12);
    auto* profiles = child<QComboBox>("cbSource");
    profiles->addItem(longName);
    profiles->setCurrentText(longName);
    EXPECT_EQ(window->minimumSizeHint().width(), width);
    EXPECT_EQ(profiles->toolTip(), longName); // shown whole where it is cut short
}

// A first start (nothing remembered) opens the windows at the size of what
// they show, within the 800x600 screen the tests draw on; nothing is cut,
// and where the columns do not fit side by side they stand one under the
// other: the page scrolls down, never sideways.
TEST_F(MainWindowTest, TheWindowsOpenAtTheirContentsSizeWithinTheScreen) {
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
    open();
    QApplication::processEvents();
    // The whole page, or as much of it as the screen has room for.
    auto* page = child<QWidget>("tabBackup");
    const QSize inside = room - QSize(16, 48);
    for (auto [shown, wanted, most] :
         {std::tuple{page->width(), page->sizeHint().width(), window->width() >= inside.width()},
          std::tuple{page->height(), page->sizeHint().height(),
                     window->height() >= inside.height()}})
        EXPECT_TRUE(shown >= wanted || most) << shown << " of " << wanted << ", window "
                                             << window->width() << "x" << window->height();
    for (const char* area : {"tabBackupScroll", "tabRestoreScroll"}) {
        child<QTabWidget>("SSTab1")->setCurrentIndex(area == std::string("tabBackupScroll") ? 0
                                                                                            : 1);
        QApplication::processEvents();
        EXPECT_FALSE(child<QScrollArea>(area)->horizontalScrollBar()->isVisible()) << area;
    }
    auto* apply = child<QPushButton>("cmdApply");
    EXPECT_GE(apply->width(), apply->sizeHint().width());
    EXPECT_LE(window->frameGeometry().width(), room.width());
    EXPECT_LE(window->frameGeometry().height(), room.height());

    ScheduleDialog schedule(*env, prompter);
    schedule.SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        return int(QDialog::Rejected);
    });
    schedule.ShowModal();
    EXPECT_LE(schedule.frameGeometry().width(), room.width());
    EXPECT_GE(schedule.width(), schedule.minimumSizeHint().width());
    EXPECT_FALSE(
        schedule.findChild<QScrollArea*>("schedulePageScroll")->horizontalScrollBar()->isVisible());
}

TEST_F(MainWindowTest, TheOtherWindowsFitAFullHdScreenAtTwiceTheScale) {
    open();
    ScheduleDialog schedule(*env, prompter);
    expectFits(&schedule, {960, 540}, "schedule window");
    DiscWriteWindow disc({}, prompter, nullptr, EngineWith({new FakeDiscDevice()}));
    expectFits(&disc, {960, 540}, "disc window");
    // It opens no larger than the screen, whatever size it would like.
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_LE(disc.width(), room.width());
    EXPECT_LE(disc.height(), room.height());
}

namespace {

// Every button the window shows lies inside it at the given size; one in a
// scrolling area once that area is scrolled to it. The window is shown as
// a German user on a 1920x1080 screen at 200 % gets it, longest texts first.
void expectEveryButtonReachable(QWidget* window, QSize size, const char* what) {
    window->resize(size);
    window->show();
    QApplication::processEvents();
    const QRect inside(window->mapToGlobal(QPoint(0, 0)), window->size());
    int buttons = 0;
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (!button->isVisibleTo(window) || button->window() != window)
            continue;
        ++buttons;
        QWidget* area = nullptr;
        for (QWidget* up = button->parentWidget(); up && up != window; up = up->parentWidget())
            if (auto* scrolling = qobject_cast<QScrollArea*>(up)) {
                scrolling->ensureWidgetVisible(button);
                area = scrolling->viewport();
            }
        QApplication::processEvents();
        const QRect at(button->mapToGlobal(QPoint(0, 0)), button->size());
        EXPECT_TRUE(inside.contains(at)) << what << ": " << shownText(button->text()).toStdString();
        if (area) {
            const QRect seen(area->mapToGlobal(QPoint(0, 0)), area->size());
            EXPECT_TRUE(seen.contains(at))
                << what << ": " << shownText(button->text()).toStdString() << " (scrolled to)";
        }
        EXPECT_GE(button->width(), button->minimumSizeHint().width())
            << what << ": " << shownText(button->text()).toStdString() << " is cut short";
    }
    EXPECT_GT(buttons, 0) << what;
}

} // namespace

TEST_F(MainWindowTest, EveryButtonIsReachableInGermanAtTwiceTheScaleOnFullHd) {
    ASSERT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
    const QSize screen(960, 540 - kFrameHeight);
    open();
    for (int tab : {0, 1}) {
        child<QTabWidget>("SSTab1")->setCurrentIndex(tab);
        expectEveryButtonReachable(window.get(), screen, tab == 0 ? "backup tab" : "restore tab");
    }
    DiscWriteWindow disc({}, prompter, nullptr, EngineWith({new FakeDiscDevice()}));
    expectEveryButtonReachable(&disc, disc.size().boundedTo(screen), "disc window");
    EraseDiscDialog erase(prompter);
    expectEveryButtonReachable(&erase, erase.sizeHint().boundedTo(screen), "erase window");
    window.reset();
    RemoveTranslations();
}

// The schedule window's "Durchsuchen..." is cut to "urchsuchen" there: not
// mended yet.
TEST_F(MainWindowTest, TheScheduleWindowsButtonsAreWholeInGermanAtTwiceTheScale) {
    ASSERT_TRUE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany)));
    open();
    ScheduleDialog schedule(*env, prompter);
    schedule.SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    schedule.ShowModal();
    expectEveryButtonReachable(&schedule, schedule.size(), "schedule window");
    window.reset();
    RemoveTranslations();
}

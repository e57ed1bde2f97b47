#include "FakeMailStore.h"
#include "MainWindowFixture.h"
#include "mailstore/PstSamples.h"

#include "gui/LookInsideWindow.h"
#include "gui/RestoreTab.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

using namespace trelmig;

class LookInsideWindowTest : public ::testing::Test {
protected:
    RecordingPrompter prompter;
    std::unique_ptr<LookInsideWindow> window;
    FakeMailStore* store = nullptr; // of "mail.pst", owned by its worker

    void SetUp() override {
        guiApp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    void open(std::vector<std::string> files = {"mail.pst", "old.pst"}) {
        LookInsideSource source;
        source.backupPath = QStringLiteral("/backups/Outlook.kvx");
        source.dataFiles = std::move(files);
        source.open = [this](const std::string& name,
                             const CancelToken&) -> Result<std::unique_ptr<MailStore>> {
            if (name == "broken.pst")
                return Fail("the file header is damaged");
            if (name == "throws.pst")
                throw std::runtime_error("libpff said no");
            auto made = std::make_unique<FakeMailStore>(name == "mail.pst" ? 1000 : 5);
            if (name == "mail.pst")
                store = made.get();
            return made;
        };
        window = std::make_unique<LookInsideWindow>(std::move(source), prompter);
        window->show();
        waitIdle();
    }
    // Until the window's workers have nothing left to do.
    void waitIdle() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !window->Busy(); }, 20000));
    }
    template <typename W> W* child(const char* name) {
        return control<W>(window.get(), QString::fromLatin1(name));
    }
    QTreeWidgetItem* folderItem(const QString& text) {
        const auto found = child<QTreeWidget>("tvwFolders")
                               ->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    // Chooses the folder and waits until its messages are all read.
    QAbstractItemModel* choose(const QString& text) {
        QTreeWidgetItem* item = folderItem(text);
        EXPECT_NE(item, nullptr) << text.toStdString();
        child<QTreeWidget>("tvwFolders")->setCurrentItem(item);
        waitIdle();
        return child<QTreeView>("lvwMessages")->model();
    }
    QString status() { return child<QLabel>("lblStatus")->text(); }
};

TEST_F(LookInsideWindowTest, TheTreeShowsEachDataFileWithItsFoldersAndCounts) {
    open();
    auto* tree = child<QTreeWidget>("tvwFolders");
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("mail.pst"));
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("old.pst"));
    QTreeWidgetItem* inbox = folderItem(QStringLiteral("Inbox (1,000)"));
    ASSERT_NE(inbox, nullptr);
    EXPECT_EQ(inbox->parent()->text(0), QStringLiteral("Top of Personal Folders"));
    ASSERT_EQ(inbox->childCount(), 1);
    EXPECT_EQ(inbox->child(0)->text(0), QStringLiteral("Old (3)"));
    EXPECT_EQ(inbox->parent()->child(1)->text(0), QStringLiteral("Sent Items (20)"));
    EXPECT_NE(folderItem(QStringLiteral("Inbox (5)")), nullptr) << "the second data file";
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("Outlook.kvx")));
}

TEST_F(LookInsideWindowTest, AFolderFillsTheListThatSortsByEachColumn) {
    open();
    QAbstractItemModel* list = choose(QStringLiteral("Inbox (1,000)"));
    ASSERT_EQ(list->rowCount(), 1000);
    EXPECT_EQ(status(), QStringLiteral("Messages: 1,000"));
    EXPECT_EQ(list->index(0, 3).data().toString(), QStringLiteral("Message 0")) << "store order";
    EXPECT_EQ(list->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Date"));

    child<QTreeView>("lvwMessages")->sortByColumn(0, Qt::AscendingOrder);
    for (int row = 1; row < list->rowCount(); ++row)
        ASSERT_LE(list->index(row - 1, 0).data(Qt::UserRole).toLongLong(),
                  list->index(row, 0).data(Qt::UserRole).toLongLong())
            << row;
    child<QTreeView>("lvwMessages")->sortByColumn(4, Qt::DescendingOrder);
    EXPECT_EQ(list->index(0, 3).data().toString(), QStringLiteral("Message 999"));
    EXPECT_EQ(list->index(0, 5).data().toString(), QString()) << "999 has no attachment";

    // Another folder: its messages only.
    list = choose(QStringLiteral("Sent Items (20)"));
    EXPECT_EQ(list->rowCount(), 20);
}

TEST_F(LookInsideWindowTest, ChoosingAnotherFolderStopsTheReadingInProgress) {
    open();
    child<QTreeWidget>("tvwFolders")->setCurrentItem(folderItem(QStringLiteral("Slow (1)")));
    QAbstractItemModel* list = child<QTreeView>("lvwMessages")->model();
    QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 1, 20000);
    EXPECT_TRUE(window->Busy());
    EXPECT_EQ(status(), QStringLiteral("Reading... (1 so far)"));
    list = choose(QStringLiteral("Old (3)"));
    EXPECT_TRUE(store->slowCancelled);
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(status(), QStringLiteral("Messages: 3"));
}

TEST_F(LookInsideWindowTest, SearchesTheFolderOrTheWholeDataFileAndShowsAMessagesText) {
    open();
    choose(QStringLiteral("Inbox (1,000)"));
    child<QLineEdit>("txtSearch")->setText(QStringLiteral("needle"));
    child<QPushButton>("cmdSearch")->click();
    waitIdle();
    QAbstractItemModel* list = child<QTreeView>("lvwMessages")->model();
    EXPECT_EQ(list->rowCount(), 10);
    EXPECT_EQ(store->lastSearchFolder, std::optional<std::uint32_t>(2));
    EXPECT_EQ(status(), QStringLiteral("Found: 10"));

    child<QComboBox>("cboSearchScope")->setCurrentIndex(1);
    child<QPushButton>("cmdSearch")->click();
    waitIdle();
    EXPECT_EQ(list->rowCount(), 11);
    EXPECT_EQ(store->lastSearchFolder, std::nullopt);

    // The chosen message's text; the fake's odd ones come from an HTML body.
    auto* view = child<QTreeView>("lvwMessages");
    auto* text = child<QPlainTextEdit>("txtMessage");
    view->setCurrentIndex(list->index(0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(text->toPlainText(), QStringLiteral("Body of needle 42"), 20000);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_FALSE(child<QLabel>("lblFromHtml")->isVisible());
    view->setCurrentIndex(list->index(10, 0));
    QTRY_COMPARE_WITH_TIMEOUT(text->toPlainText(), QStringLiteral("Body of needle 7"), 20000);
    EXPECT_TRUE(child<QLabel>("lblFromHtml")->isVisible());
}

TEST_F(LookInsideWindowTest, SaveHandsTheChosenMessagesAndTheFolderToTheExports) {
    open();
    std::vector<MessageRef> saved;
    std::filesystem::path savedTo;
    std::uint32_t mboxFolder = 0;
    window->saveMessages =
        [&](MailStore&, const std::vector<MessageRef>& refs, const std::filesystem::path& folder,
            const CancelToken&,
            const LookInsideWindow::Progress& progress) -> Result<SavedMessages> {
        saved = refs;
        savedTo = folder;
        progress(refs.size());
        return SavedMessages{refs.size(), folder};
    };
    window->saveMbox = [&](MailStore&, std::uint32_t folder, const std::filesystem::path& file,
                           const CancelToken&,
                           const LookInsideWindow::Progress&) -> Result<SavedMessages> {
        mboxFolder = folder;
        savedTo = file;
        return Fail("the disk is full");
    };
    std::vector<FileDialogRequest> asked;
    window->chooseFile = [&](const FileDialogRequest& request) {
        asked.push_back(request);
        return request.folder ? QStringLiteral("/tmp/out") : QStringLiteral("/tmp/sent.mbox");
    };
    QAbstractItemModel* list = choose(QStringLiteral("Sent Items (20)"));
    auto* view = child<QTreeView>("lvwMessages");
    view->sortByColumn(4, Qt::DescendingOrder); // rows 0, 1: messages 19, 18
    view->selectionModel()->select(list->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view->selectionModel()->select(list->index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_TRUE(child<QPushButton>("cmdSaveMessages")->isEnabled());
    child<QPushButton>("cmdSaveMessages")->click();
    waitIdle();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].folder);
    EXPECT_EQ(saved, (std::vector<MessageRef>{{4, 19}, {4, 18}}));
    EXPECT_EQ(savedTo, std::filesystem::path("/tmp/out"));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "2 messages saved to /tmp/out.");

    child<QPushButton>("cmdSaveMbox")->click();
    waitIdle();
    EXPECT_EQ(asked.back().proposedName, QStringLiteral("Sent Items.mbox"));
    EXPECT_EQ(mboxFolder, 4u);
    EXPECT_EQ(savedTo, std::filesystem::path("/tmp/sent.mbox"));
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text,
              "The messages could not be saved to /tmp/sent.mbox: the disk is full");
    EXPECT_EQ(prompter.messages[1].icon, MessageIcon::Critical);
}

TEST_F(LookInsideWindowTest, ADataFileThatCannotBeOpenedIsNamedWithTheReason) {
    open({"broken.pst", "throws.pst", "mail.pst"});
    auto* tree = child<QTreeWidget>("tvwFolders");
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("broken.pst (cannot be opened)"));
    EXPECT_EQ(
        tree->topLevelItem(0)->toolTip(0),
        QStringLiteral("The data file broken.pst cannot be opened: the file header is damaged"));
    EXPECT_EQ(tree->topLevelItem(1)->toolTip(0),
              QStringLiteral("The data file throws.pst cannot be opened: libpff said no"));
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_TRUE(status().contains(QStringLiteral("the file header is damaged")));
    EXPECT_FALSE(child<QPushButton>("cmdSearch")->isEnabled());
    // The data file beside them opens all the same.
    EXPECT_NE(folderItem(QStringLiteral("Inbox (1,000)")), nullptr);
}

class LookInsideButtonTest : public MainWindowTest {
protected:
    // Backs up the data files of the window's profile into mail.kvx.
    std::string backUpDataFiles() {
        const std::string archive = (prefix.work.path() / "mail.kvx").string();
        open();
        nextFile = QString::fromStdString(archive);
        child<QPushButton>("cmdTargetFile")->click();
        itemBoxes(window.get(), "backupitem")[ItemPersonalFolders]->setChecked(true);
        prompter.answer = MessageAnswer::Cancel; // no disc
        child<QPushButton>("cmdApply")->click();
        finishRun();
        return archive;
    }
};

TEST_F(LookInsideButtonTest, OpensOneWindowOnTheBackupOpenNowAndClosesItForAnother) {
    const std::string archive = backUpDataFiles();
    auto* lookInside = child<QPushButton>("cmdLookInside");
    EXPECT_FALSE(lookInside->isEnabled()) << "no backup open yet";

    window->OpenBackupFile(QString::fromStdString(archive));
    ASSERT_TRUE(window->inspected().accepted);
    ASSERT_TRUE(lookInside->isEnabled());
    auto* tab = child<RestoreTab>("tabRestore");
    std::vector<std::string> opened;
    tab->openDataFile = [&](const std::string& name,
                            const CancelToken&) -> Result<std::unique_ptr<MailStore>> {
        opened.push_back(name);
        return std::make_unique<FakeMailStore>(3);
    };
    lookInside->click();
    LookInsideWindow* first = tab->lookInsideWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([first] { return !first->Busy(); }, 20000));
    ASSERT_FALSE(opened.empty());
    EXPECT_TRUE(opened.front().ends_with(".pst")) << opened.front();
    lookInside->click();
    EXPECT_EQ(tab->lookInsideWindow(), first) << "one at a time";

    nextFile.clear(); // "Browse..." cancelled: the backup is closed
    child<QPushButton>("cmdSourceFile")->click();
    EXPECT_EQ(tab->lookInsideWindow(), nullptr);
    EXPECT_FALSE(lookInside->isEnabled());
}

// Without a stand-in the window reads the backup's own data file, in place.
TEST_F(LookInsideButtonTest, ReadsARealDataFileOutOfTheBackup) {
    SKIP_WITHOUT_PST_SAMPLE("enron.pst");
    std::filesystem::copy_file(PstSample("enron.pst"),
                               prefix.root /
                                   "drive_c/users/sam/AppData/Local/Microsoft/Outlook/Outlook.pst",
                               std::filesystem::copy_options::overwrite_existing);
    const std::string archive = backUpDataFiles();
    window->OpenBackupFile(QString::fromStdString(archive));
    ASSERT_TRUE(window->inspected().accepted);
    child<QPushButton>("cmdLookInside")->click();
    LookInsideWindow* inside = child<RestoreTab>("tabRestore")->lookInsideWindow();
    ASSERT_NE(inside, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([inside] { return !inside->Busy(); }, 60000));
    auto* tree = inside->findChild<QTreeWidget*>(QStringLiteral("tvwFolders"));
    EXPECT_FALSE(
        tree->findItems(QStringLiteral("Personal (47)"), Qt::MatchExactly | Qt::MatchRecursive)
            .isEmpty())
        << tree->topLevelItem(0)->text(0).toStdString() << ": "
        << tree->topLevelItem(0)->toolTip(0).toStdString();
}

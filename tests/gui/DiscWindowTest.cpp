#include "DiscWindowSupport.h"
#include "RecordingPrompter.h"

#include "disc/DiscTexts.h"
#include "disc/ImageFileDevice.h"
#include "gui/DiscWriteWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

using namespace trelmig;
namespace fs = std::filesystem;

namespace {

class DiscWindowTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string handedOver; // the archive a backup hands the window
    RecordingPrompter prompter;
    std::vector<FakeDiscDevice*> devices{new FakeDiscDevice()};
    std::unique_ptr<DiscWriteWindow> window;

    // The window's control with this object name.
    template <typename W> W* child(const char* name) const {
        return control<W>(window.get(), QString::fromLatin1(name));
    }

    std::vector<QString> replaceQuestions;
    bool replaceAnswer = false;

    void SetUp() override { guiApp(); }

    void Open() {
        window = std::make_unique<DiscWriteWindow>(
            handedOver, prompter, nullptr,
            EngineWith(std::vector<DiscDevice*>(devices.begin(), devices.end())));
        window->askReplace = [this](const QString& text) {
            replaceQuestions.push_back(text);
            return replaceAnswer;
        };
    }

    FakeDiscDevice& Device(size_t i = 0) { return *devices[i]; }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : prompter.messages)
            texts.push_back(m.text);
        return texts;
    }

    void Drop(const std::vector<std::string>& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& path : paths)
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
        data.setUrls(urls);
        window->AddDroppedFiles(&data);
    }

    std::vector<std::string> FileRows() const {
        std::vector<std::string> rows;
        for (int i = 0; i < child<QTreeWidget>("lvwImageFiles")->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = child<QTreeWidget>("lvwImageFiles")->topLevelItem(i);
            rows.push_back(row->text(0).toStdString() + " | " + row->text(1).toStdString());
        }
        return rows;
    }

    std::string Panel1() const { return child<QLabel>("sbrPanel1")->text().toStdString(); }

    void Select(const QString& key) {
        child<QTreeWidget>("tvwFolders")->clearSelection();
        QTreeWidgetItem* node = window->NodeByKey(key);
        ASSERT_NE(node, nullptr) << key.toStdString();
        node->setSelected(true);
    }

    void WritableDisc(long freeBlocks) {
        Device().media = {kMediaDvdPlusRw, true, true};
        Device().freeBlocks = freeBlocks;
    }

    void PollUntilIdle() {
        for (int i = 0; i < 20000 && !window->Ready(); ++i) {
            QApplication::processEvents();
            window->Engine().Poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
};

TEST_F(DiscWindowTest, LoadPreparesAnEmptyImageAndTheDefaults) {
    Open();
    EXPECT_EQ(window->windowTitle(), "Backup Outlook Data to CD/DVD");
    EXPECT_EQ(child<QLineEdit>("txtVolIdentifier")->text(), "Outlook Data Backup CD");
    EXPECT_EQ(child<QLineEdit>("txtVolIdentifier")->maxLength(), 32);
    ASSERT_EQ(child<QTreeWidget>("tvwFolders")->topLevelItemCount(), 1);
    EXPECT_EQ(child<QTreeWidget>("tvwFolders")->topLevelItem(0)->text(0), "Outlook Data Backup CD");
    EXPECT_EQ(window->NodeByKey("\\"), child<QTreeWidget>("tvwFolders")->topLevelItem(0));
    EXPECT_EQ(child<QLabel>("lblImageFileTitle")->text(), "Drag and Drop Files or Folders");

    QStringList types;
    for (int i = 0; i < child<QComboBox>("cboVolumeType")->count(); ++i)
        types << child<QComboBox>("cboVolumeType")->itemText(i) + "=" +
                     child<QComboBox>("cboVolumeType")->itemData(i).toString();
    EXPECT_EQ(types,
              QStringList({"ISO9660=1", "UDF=4", "ISO9660/Joliet Bridge=3",
                           "ISO9660/UDF (DVDVideo) Bridge=5", "ISO9660/Joliet/UDF Bridge=7"}));
    EXPECT_EQ(child<QComboBox>("cboVolumeType")->currentIndex(), 4);
    EXPECT_EQ(window->Engine().settings.fileSystemType, 7);
    EXPECT_EQ(window->Engine().settings.rockRidge, 1);
    EXPECT_TRUE(window->Engine().settings.useFileDates);
    EXPECT_TRUE(child<QCheckBox>("chkUseFileDates")->isChecked());
    for (QCheckBox* box : {child<QCheckBox>("chkCacheImage"), child<QCheckBox>("chkFinalizeDisc"),
                           child<QCheckBox>("chkTestWrite"), child<QCheckBox>("chkAutoVerify"),
                           child<QCheckBox>("chkUseMode2XA"), child<QCheckBox>("chkDiscAtOnce")})
        EXPECT_FALSE(box->isChecked()) << box->text().toStdString();
    EXPECT_EQ(child<QCheckBox>("chkCacheImage")->toolTip(),
              "Not needed for DVD formats...Use for CDR/W only.");
    EXPECT_TRUE(window->Ready());
    EXPECT_TRUE(child<QPushButton>("cmdWriteDisc")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("cmdCancel")->isEnabled());
    EXPECT_EQ(child<QLabel>("sbrPanel2")->text(), "Files: 0");
    EXPECT_EQ(child<QLabel>("sbrPanel3")->text(), "Folders: 0");
    EXPECT_TRUE(child<QLabel>("sbrPanel1")->text().startsWith("Data Image Size: "));
    EXPECT_TRUE(prompter.messages.empty());

    child<QCheckBox>("chkUseFileDates")->click();
    EXPECT_FALSE(window->Engine().settings.useFileDates) << "follows the box at once";
}

TEST_F(DiscWindowTest, TheArchiveHandedOverLiesAtTheRoot) {
    const std::string archive = dir.Write("Backups/Outlook 2024-03-07.kvx", std::string(2048, 'z'));
    handedOver = archive;
    Open();
    EXPECT_EQ(FileRows(), (std::vector<std::string>{"Outlook 2024-03-07.kvx | 2.05 KB"}));
    EXPECT_EQ(window->Engine().Image().Find("\\Outlook 2024-03-07.kvx")->sourcePath, archive);
    EXPECT_EQ(child<QLabel>("sbrPanel2")->text(), "Files: 1");
}

TEST_F(DiscWindowTest, DeviceEntriesKeepTheEngineIndicesAndSpeedsComeFromTheDevice) {
    devices = {new FakeDiscDevice(), new FakeDiscDevice(), new FakeDiscDevice()};
    devices[0]->name = "Drive A";
    devices[1]->name = "Old Drive";
    devices[1]->compatible = false;
    devices[2]->name = "Drive C";
    devices[0]->speeds = {{7056, 40.0}, {88, 0.5}};
    devices[0]->capabilities[kCapBufferUnderrunProtection] = true;
    Open();
    ASSERT_EQ(child<QComboBox>("cboDevices")->count(), 2);
    EXPECT_EQ(child<QComboBox>("cboDevices")->itemText(0), "Drive A");
    EXPECT_EQ(child<QComboBox>("cboDevices")->itemData(0).toInt(), 0);
    EXPECT_EQ(child<QComboBox>("cboDevices")->itemText(1), "Drive C");
    EXPECT_EQ(child<QComboBox>("cboDevices")->itemData(1).toInt(), 2);
    ASSERT_EQ(child<QComboBox>("cboWriteSpeed")->count(), 2);
    EXPECT_EQ(child<QComboBox>("cboWriteSpeed")->itemText(0), "40.0x");
    EXPECT_EQ(child<QComboBox>("cboWriteSpeed")->itemData(0).toLongLong(), 7056);
    EXPECT_EQ(child<QComboBox>("cboWriteSpeed")->itemText(1), ".5x");
    EXPECT_TRUE(child<QCheckBox>("chkUseBufferProtect")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>("chkUseBufferProtect")->isChecked());

    child<QComboBox>("cboDevices")->setCurrentIndex(1);
    window->onDeviceChosen();
    ASSERT_EQ(child<QComboBox>("cboWriteSpeed")->count(), 1);
    EXPECT_EQ(child<QComboBox>("cboWriteSpeed")->itemText(0), "MAX");
    EXPECT_EQ(child<QComboBox>("cboWriteSpeed")->itemData(0).toLongLong(), 0);
    EXPECT_FALSE(child<QCheckBox>("chkUseBufferProtect")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("chkUseBufferProtect")->isChecked());
}

TEST_F(DiscWindowTest, WithoutACompatibleDeviceTheListStaysEmpty) {
    devices[0]->compatible = false;
    Open();
    EXPECT_EQ(child<QComboBox>("cboDevices")->count(), 0);
    EXPECT_EQ(child<QComboBox>("cboWriteSpeed")->count(), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"There are no compatible devices reported.\n"
                                                    "Some older devices are not currently "
                                                    "supported."}));
    prompter.messages.clear();
    Drop({dir.Write("a.txt", "a")});
    window->onWriteDiscClicked();
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"Please Insert Writable Media before continuing!"}));
    EXPECT_TRUE(window->Ready());
}

TEST_F(DiscWindowTest, NoWritableMediumStopsBeforeAnySettingIsSent) {
    Open();
    window->Engine().settings.writeMode = -1;
    child<QCheckBox>("chkDiscAtOnce")->setChecked(true);
    Device().media = {kMediaCdRom, false, false};
    Drop({dir.Write("a.txt", "a")});
    window->onWriteDiscClicked();
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"Please Insert Writable Media before continuing!"}));
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(window->Engine().settings.writeMode, -1);
    EXPECT_TRUE(window->Ready());
    EXPECT_GT(Device().refreshes, 0);
}

TEST_F(DiscWindowTest, CheckMediaSpacePassesWithExactlyEnoughAndExplainsOtherwise) {
    Open();
    dir.Write("data.bin", std::string(3000000, 'd'));
    Drop({(dir.path / "data.bin").string()});
    const double needed = window->Engine().ImageSize();
    ASSERT_EQ(static_cast<long long>(needed) % 2048, 0);
    WritableDisc(static_cast<long>(needed / 2048));
    EXPECT_TRUE(window->CheckMediaSpace()) << "free space equal to the image size";
    EXPECT_TRUE(prompter.messages.empty());

    WritableDisc(static_cast<long>(needed / 2048) - 1);
    EXPECT_FALSE(window->CheckMediaSpace());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, MediaSpaceMessage(needed - 2048, needed, {",", "."}));
    EXPECT_NE(prompter.messages[0].text.find("This data image requires 2.9"), std::string::npos);
}

TEST_F(DiscWindowTest, TheWriteSendsTheWindowsChoices) {
    Device().speeds = {{5540, 4.0}, {11080, 8.0}};
    Device().capabilities[kCapBufferUnderrunProtection] = true;
    Open();
    dir.Write("a.txt", "a");
    Drop({(dir.path / "a.txt").string()});
    WritableDisc(100000);
    child<QLineEdit>("txtVolIdentifier")->setText("Mail March");
    child<QComboBox>("cboWriteSpeed")->setCurrentIndex(1);
    child<QComboBox>("cboVolumeType")->setCurrentIndex(2);
    child<QCheckBox>("chkAutoVerify")->setChecked(true);
    child<QCheckBox>("chkTestWrite")->setChecked(true);
    child<QCheckBox>("chkCacheImage")->setChecked(true);
    window->Engine().settings.recordChecksums = 0;
    window->onWriteDiscClicked();

    const DiscSettings& settings = window->Engine().settings;
    EXPECT_EQ(window->Engine().VolumeIdentifier(), "Mail March");
    EXPECT_EQ(settings.recordChecksums, 1);
    EXPECT_EQ(settings.writeSpeed, 11080);
    EXPECT_EQ(settings.fileSystemType, 3);
    EXPECT_TRUE(settings.autoVerify);
    EXPECT_TRUE(settings.testWrite);
    EXPECT_TRUE(settings.cacheImage);
    EXPECT_FALSE(settings.finalizeDisc);
    EXPECT_TRUE(settings.bufferProtection);
    EXPECT_EQ(settings.writeMode, 2) << "Disc-At-Once unchecked";
    EXPECT_FALSE(window->Ready());
    EXPECT_FALSE(child<QPushButton>("cmdWriteDisc")->isEnabled());
    EXPECT_FALSE(child<QTreeWidget>("tvwFolders")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("cmdCancel")->isEnabled());

    window->Engine().Poll(); // the engine builds the image and starts the device
    ASSERT_TRUE(Device().writeOptions);
    EXPECT_EQ(Device().writeOptions->speed, 11080);
    EXPECT_EQ(Device().writeOptions->writeMode, 2);
    EXPECT_TRUE(Device().writeOptions->testWrite);
    EXPECT_TRUE(Device().writeOptions->cacheImage);
    EXPECT_EQ(Panel1(), "Track: 01 - Reading...1 - ISO9660/Joliet with Rock Ridge");

    window->close();
    EXPECT_FALSE(window->Ready()) << "closing is refused while writing";
    window->onCancelClicked();
    EXPECT_EQ(Panel1(), "Aborting Write...Please Wait!");
    PollUntilIdle();
    EXPECT_EQ(Panel1(), "Write Cancelled....");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Write Cancelled!"}));
    EXPECT_TRUE(window->Ready());
    EXPECT_TRUE(child<QPushButton>("cmdWriteDisc")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("cmdCancel")->isEnabled());

    // Disc-At-Once, "MAX" and a bridge with UDF.
    Device().writeOptions.reset();
    Device().writeCancelled = false;
    Device().speeds.clear();
    window->onDeviceChosen();
    child<QCheckBox>("chkDiscAtOnce")->setChecked(true);
    child<QComboBox>("cboVolumeType")->setCurrentIndex(4);
    window->onWriteDiscClicked();
    window->Engine().Poll();
    ASSERT_TRUE(Device().writeOptions);
    EXPECT_EQ(Device().writeOptions->writeMode, 248);
    EXPECT_EQ(Device().writeOptions->speed, 0);
    EXPECT_EQ(Panel1(),
              "Track: 01 - Reading...1 - ISO9660/Joliet with Rock Ridge (UDF is not included)");
    window->onCancelClicked();
    PollUntilIdle();
}

TEST_F(DiscWindowTest, ARefusedStartLeavesTheWindowIdle) {
    Open();
    WritableDisc(100000);
    child<QComboBox>("cboVolumeType")->setCurrentIndex(1); // UDF alone
    Drop({dir.Write("a.txt", "a")});
    window->onWriteDiscClicked();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_NE(prompter.messages[0].text.find("UDF"), std::string::npos);
    EXPECT_EQ(prompter.messages[1].text, "Disc Write could not be started.");
    EXPECT_EQ(prompter.messages[1].icon, MessageIcon::Critical);
    EXPECT_TRUE(window->Ready());
}

TEST_F(DiscWindowTest, WriteStatesSetThePanelTheBarAndTheEnd) {
    Open();
    window->SetControlsEnabled(false);
    window->WriteState(0, 0);
    EXPECT_EQ(Panel1(), "Preparing Image....");
    window->WriteState(1, 42);
    // While data is written the status says how much of the image is on the disc.
    EXPECT_EQ(Panel1().rfind("Writing ", 0), 0u) << Panel1();
    EXPECT_NE(Panel1().find(" of "), std::string::npos) << Panel1();
    EXPECT_EQ(child<QProgressBar>("prgTotalProgress")->value(), 42);
    window->WriteState(7, 80);
    EXPECT_EQ(child<QProgressBar>("prgTotalProgress")->value(), 42);
    for (const auto& [state, text] :
         std::vector<std::pair<int, std::string>>{{4, "Closing Track...."},
                                                  {5, "Writing Lead-in...."},
                                                  {6, "Writing Lead-out...."},
                                                  {8, "Updating Volume...."}}) {
        window->WriteState(state, 0);
        EXPECT_EQ(Panel1(), text);
    }
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(window->Ready());

    window->Engine().settings.autoVerify = true;
    window->WriteState(9, 100);
    EXPECT_EQ(Panel1(), "Write Completed!");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Write and Verify Complete!"}));
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(window->Ready());

    window->SetControlsEnabled(false);
    window->Engine().settings.autoVerify = false;
    window->WriteState(9, 100);
    EXPECT_EQ(prompter.messages.back().text, "Write Complete!");

    window->SetControlsEnabled(false);
    prompter.messages.clear();
    window->WriteState(11, 0);
    EXPECT_EQ(Panel1(), "Write Error!");
    EXPECT_TRUE(prompter.messages.empty()) << "the error event brings the text";
    EXPECT_TRUE(window->Ready());
}

TEST_F(DiscWindowTest, VerifyEventsShowProblemsAndMoveTheBar) {
    Open();
    DiscItem item;
    item.imagePath = "\\a.txt";
    item.sourcePath = "/src/a.txt";
    window->VerifyStart(8);
    EXPECT_EQ(Panel1(), "Auto-Verify... 8 new files.");
    window->VerifyResult(item, 3, 1, 8);
    window->VerifyResult(item, 4, 2, 8);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(child<QProgressBar>("prgTotalProgress")->value(), 25);
    EXPECT_EQ(Panel1(), "Auto-Verify... \\a.txt");
    for (int code : {0, 1, 2, 5})
        window->VerifyResult(item, code, 3, 8);
    ASSERT_EQ(prompter.messages.size(), 4u);
    EXPECT_EQ(prompter.messages[2].text, "Verify Error - Source and Destination file did not "
                                         "match: \n\\a.txt (disc)\n/src/a.txt (source)");
    for (const auto& m : prompter.messages)
        EXPECT_EQ(m.icon, MessageIcon::None);
    EXPECT_EQ(child<QProgressBar>("prgTotalProgress")->value(), 38) << "37.5 to the even neighbour";
    window->VerifyDone(8, 6);
    EXPECT_EQ(Panel1(), "Auto-Verify...Complete (6 of 8 MATCHED)");
}

TEST_F(DiscWindowTest, ErrorsTrackStatusAndFileWarnings) {
    Open();
    DiscError error;
    error.category = kErrorOutputFile;
    error.file = {28, "No space left on device", "/media/out.iso"};
    window->Error(error);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "Output File Error: (28)   No space left on device\n'/media/out.iso'");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);

    window->TrackStatus(2, 512, "Data");
    EXPECT_EQ(Panel1(), "Track: 02 - Reading...512 - Data");

    prompter.answer = MessageAnswer::Cancel;
    EXPECT_TRUE(window->FileWarning({13, "Permission denied", "/src/locked.pst"}));
    EXPECT_EQ(prompter.messages.back().text, "File Warning(13):/src/locked.pst\nPermission denied");
    EXPECT_EQ(prompter.messages.back().icon, MessageIcon::Exclamation);
    EXPECT_EQ(prompter.messages.back().buttons, MessageButtons::OkCancel);
    EXPECT_EQ(Panel1(), "File Warning!");
}

TEST_F(DiscWindowTest, DropsGoBelowTheSelectedFolderAndTheTreeGrowsByEvents) {
    Open();
    dir.Write("Mail/Inbox/one.msg", std::string(1234567, 'm'));
    dir.Write("Mail/top.txt", "t");
    const std::string single = dir.Write("single.txt", "s");
    Drop({(dir.path / "Mail").string(), single});
    QTreeWidgetItem* root = window->NodeByKey("\\");
    ASSERT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->text(0), "Mail");
    ASSERT_NE(window->NodeByKey("\\Mail\\Inbox"), nullptr);
    EXPECT_EQ(window->NodeByKey("\\Mail\\Inbox")->parent(), window->NodeByKey("\\Mail"));
    EXPECT_EQ(FileRows(), (std::vector<std::string>{"single.txt | 0.00 KB"}));
    EXPECT_EQ(child<QLabel>("sbrPanel2")->text(), "Files: 3");
    EXPECT_EQ(child<QLabel>("sbrPanel3")->text(), "Folders: 2");

    Select("\\Mail\\Inbox");
    window->onFolderClicked(window->SelectedNode());
    EXPECT_EQ(FileRows(), (std::vector<std::string>{"one.msg | 1,234.57 KB"}));
    Drop({single});
    EXPECT_TRUE(window->Engine().Image().Find("\\Mail\\Inbox\\single.txt"));
    EXPECT_EQ(FileRows(),
              (std::vector<std::string>{"one.msg | 1,234.57 KB", "single.txt | 0.00 KB"}));

    Select("\\");
    dir.Write("Second/x.txt", "x");
    Drop({(dir.path / "Second").string() + "/"});
    EXPECT_TRUE(window->Engine().Image().Find("\\Second\\x.txt"))
        << "a drop on the root goes directly below it";
    EXPECT_EQ(Panel1().rfind("Data Image Size: ", 0), 0u);

    QMimeData text;
    text.setText("not a file list");
    window->AddDroppedFiles(&text);
    EXPECT_EQ(child<QLabel>("sbrPanel2")->text(), "Files: 5");
}

TEST_F(DiscWindowTest, TheFileMenuAddsFilesAndFoldersBelowTheSelectedFolder) {
    Open();
    dir.Write("Mail/Inbox/one.msg", "m");
    const std::string a = dir.Write("a.txt", "a");
    const std::string b = dir.Write("b.txt", "bb");
    ASSERT_EQ(child<QMenu>("mnuFile")->actions().value(0), child<QAction>("mnuFileAddFiles"));
    EXPECT_EQ(mnemonicProblems(window.get()), QStringList());
    EXPECT_EQ(child<QAction>("mnuFileAddFiles")->text(), "Add &Files...");
    EXPECT_EQ(child<QAction>("mnuFileAddFolder")->text(), "Add F&older...");

    window->chooseFolderToAdd = [&] {
        return QString::fromStdString((dir.path / "Mail").string());
    };
    child<QAction>("mnuFileAddFolder")->trigger();
    ASSERT_NE(window->NodeByKey("\\Mail\\Inbox"), nullptr);
    Select("\\Mail");
    window->chooseFilesToAdd = [&] {
        return QStringList{QString::fromStdString(a), QString::fromStdString(b)};
    };
    child<QAction>("mnuFileAddFiles")->trigger();
    EXPECT_TRUE(window->Engine().Image().Find("\\Mail\\a.txt"));
    EXPECT_TRUE(window->Engine().Image().Find("\\Mail\\b.txt"));
    EXPECT_EQ(child<QLabel>("sbrPanel2")->text(), "Files: 3");

    // Cancelled dialogs add nothing.
    window->chooseFilesToAdd = [] { return QStringList(); };
    window->chooseFolderToAdd = [] { return QString(); };
    child<QAction>("mnuFileAddFiles")->trigger();
    child<QAction>("mnuFileAddFolder")->trigger();
    EXPECT_EQ(child<QLabel>("sbrPanel2")->text(), "Files: 3");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DiscWindowTest, TheFolderAddedHandlerShowsEachFolderInThePanel) {
    Open();
    DiscItem item;
    item.isFolder = true;
    item.parentPath = "\\";
    item.imagePath = "\\Mail";
    item.name = "Mail";
    window->FolderAdded(item);
    EXPECT_EQ(Panel1(), "Adding....\\Mail");
    ASSERT_NE(window->NodeByKey("\\Mail"), nullptr);
    EXPECT_EQ(window->NodeByKey("\\Mail")->parent(), window->NodeByKey("\\"));
}

TEST_F(DiscWindowTest, TheReplaceQuestionIsAnsweredBothWays) {
    Open();
    const std::string first = dir.Write("one/Archive.kvx", "first");
    const std::string second = dir.Write("two/Archive.kvx", "second!");
    Drop({first});
    Drop({second});
    ASSERT_EQ(replaceQuestions.size(), 1u);
    EXPECT_EQ(replaceQuestions[0].toStdString(),
              "A file already exists in the image: \n\\Archive.kvx\nWould you like to replace "
              "it with: \n" +
                  second + " ?");
    EXPECT_EQ(window->Engine().Image().Find("\\Archive.kvx")->sourcePath, first);
    replaceAnswer = true;
    Drop({second});
    EXPECT_EQ(window->Engine().Image().Find("\\Archive.kvx")->sourcePath, second);
    EXPECT_EQ(FileRows(), (std::vector<std::string>{"Archive.kvx | 0.01 KB"}));
}

TEST_F(DiscWindowTest, RemoveAndRenameNeedASelectionAndSayWhenTheyFail) {
    Open();
    dir.Write("Mail/Inbox/one.msg", "1");
    dir.Write("Mail/a.txt", "a");
    Drop({(dir.path / "Mail").string()});
    child<QTreeWidget>("tvwFolders")->clearSelection();
    window->onRemoveFolderTriggered();
    window->onRemoveFileTriggered();
    window->onRenameFolderTriggered();
    window->onRenameFileTriggered();
    EXPECT_EQ(Messages(), std::vector<std::string>(4, "No Item Selected."));
    EXPECT_EQ(window->Engine().Image().FileCount(), 2);
    prompter.messages.clear();

    EXPECT_FALSE(window->onFolderRenameStarting(window->NodeByKey("\\")));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Root directory can not be renamed."}));
    EXPECT_TRUE(window->onFolderRenameStarting(window->NodeByKey("\\Mail")));
    prompter.messages.clear();

    Select("\\Mail");
    window->onFolderRenamed(window->NodeByKey("\\Mail"), "Post");
    ASSERT_NE(window->NodeByKey("\\Post"), nullptr);
    EXPECT_EQ(window->NodeByKey("\\Post")->text(0), "Post");
    ASSERT_NE(window->NodeByKey("\\Post\\Inbox"), nullptr) << "keys below follow the rename";
    EXPECT_EQ(FileRows(), (std::vector<std::string>{"a.txt | 0.00 KB"}));

    window->onFolderRenamed(window->NodeByKey("\\Post\\Inbox"), "bad\\name");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Folder could not be renamed."}));
    EXPECT_EQ(window->NodeByKey("\\Post\\Inbox")->text(0), "Inbox");

    child<QTreeWidget>("lvwImageFiles")->topLevelItem(0)->setSelected(true);
    window->onFileRenamed(window->SelectedRow(), "b.txt");
    EXPECT_EQ(FileRows(), (std::vector<std::string>{"b.txt | 0.00 KB"}));
    window->onFileRenamed(child<QTreeWidget>("lvwImageFiles")->topLevelItem(0), "");
    EXPECT_EQ(Messages().back(), "File could not be renamed.");

    child<QTreeWidget>("lvwImageFiles")->topLevelItem(0)->setSelected(true);
    window->onRemoveFileTriggered();
    EXPECT_TRUE(FileRows().empty());
    Select("\\Post");
    window->onRemoveFolderTriggered();
    EXPECT_EQ(window->NodeByKey("\\Post"), nullptr);
    EXPECT_EQ(window->NodeByKey("\\Post\\Inbox"), nullptr);
    EXPECT_EQ(window->Engine().Image().FileCount(), 0);
    Select("\\");
    prompter.messages.clear();
    window->onRemoveFolderTriggered();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Item could not be removed."}));
}

TEST_F(DiscWindowTest, ClearAllItemsAndTheVolumeIdentifier) {
    Open();
    dir.Write("Mail/a.txt", "a");
    Drop({(dir.path / "Mail").string()});
    child<QLineEdit>("txtVolIdentifier")->setText("Mail March");
    EXPECT_EQ(window->NodeByKey("\\")->text(0), "Mail March");
    window->onClearTriggered();
    EXPECT_EQ(child<QTreeWidget>("tvwFolders")->topLevelItemCount(), 1);
    EXPECT_EQ(window->NodeByKey("\\")->childCount(), 0);
    EXPECT_EQ(child<QLineEdit>("txtVolIdentifier")->text(), "New Disc");
    EXPECT_EQ(window->NodeByKey("\\")->text(0), "New Disc");
    EXPECT_EQ(window->Engine().VolumeIdentifier(), "New Disc");
    EXPECT_EQ(child<QLabel>("sbrPanel2")->text(), "Files: 0");
}

TEST_F(DiscWindowTest, ContextMenusShowTheirEntriesAndGiveThemAllBack) {
    Open();
    std::vector<QStringList> shown;
    window->popupMenu = [&](QMenu* menu, const QPoint&) {
        QStringList visible;
        for (QAction* action : menu->actions())
            if (action->isVisible())
                visible << (action->isSeparator() ? QStringLiteral("-") : action->text());
        shown.push_back(visible);
    };
    window->onFoldersMouseDown(Qt::RightButton, {});
    window->onFilesMouseDown(Qt::RightButton, {});
    window->onFilesMouseDown(Qt::LeftButton, {});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], QStringList({"Clear All Items", "Remove Folder", "Rename Folder"}));
    EXPECT_EQ(shown[1], QStringList({"Clear All Items", "Remove File", "Rename File"}));
    for (QAction* action : child<QMenu>("mnuFile")->actions())
        EXPECT_TRUE(action->isVisible()) << action->text().toStdString();
}

TEST_F(DiscWindowTest, DeviceMenuReachesTheDevice) {
    Open();
    window->onEjectTriggered();
    window->onCloseTrayTriggered();
    EXPECT_TRUE(Device().ejected);
    EXPECT_TRUE(Device().trayClosed);
    DiscDevice* erased = nullptr;
    window->showErase = [&](DiscDevice* device, DiscEngine&) { erased = device; };
    window->onEraseDiscTriggered();
    EXPECT_EQ(erased, devices[0]);
}

TEST_F(DiscWindowTest, ClosingIsRefusedWhileWriting) {
    Open();
    window->show();
    window->SetControlsEnabled(false);
    window->close();
    window->reject();
    EXPECT_TRUE(window->isVisible());
    window->SetControlsEnabled(true);
    window->close();
    EXPECT_FALSE(window->isVisible());
}

// The window writing into an image file for real.
class DiscWindowImageFileTest : public DiscWindowTest {
protected:
    ImageFileDevice* imageFile = new ImageFileDevice();
    std::string target;

    void SetUp() override {
        DiscWindowTest::SetUp();
        for (auto* unused : devices)
            delete unused;
        devices.clear();
        target = (dir.path / "disc.iso").string();
        window = std::make_unique<DiscWriteWindow>(handedOver, prompter, nullptr,
                                                   EngineWith({imageFile}));
        window->chooseImageFile = [this](const QString& suggestion) {
            suggested = suggestion;
            return QString::fromStdString(target);
        };
    }
    QString suggested;
};

TEST_F(DiscWindowImageFileTest, WritesVerifiesAndComesBackIdle) {
    ASSERT_EQ(child<QComboBox>("cboDevices")->itemText(0), "Image file (.iso)");
    EXPECT_EQ(child<QComboBox>("cboWriteSpeed")->itemText(0), "MAX");
    EXPECT_FALSE(child<QCheckBox>("chkUseBufferProtect")->isEnabled());
    dir.Write("Mail/Persönlich.pst", std::string(100000, 'p'));
    Drop({(dir.path / "Mail").string()});
    child<QCheckBox>("chkAutoVerify")->setChecked(true);
    window->onWriteDiscClicked();
    EXPECT_TRUE(suggested.endsWith("/Outlook Data Backup CD.iso")) << suggested.toStdString();
    PollUntilIdle();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Write and Verify Complete!"}));
    EXPECT_EQ(Panel1(), "Write Completed!");
    EXPECT_TRUE(window->Ready());
    EXPECT_EQ(child<QProgressBar>("prgTotalProgress")->value(), 100);
    EXPECT_TRUE(fs::exists(target));

    // Cancelled without a target: nothing happens.
    prompter.messages.clear();
    window->chooseImageFile = [](const QString&) { return QString(); };
    window->onWriteDiscClicked();
    EXPECT_TRUE(window->Ready());
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DiscWindowImageFileTest, CancelDuringTheWriteEndsCancelledAndIdle) {
    const std::string big = (dir.path / "big.bin").string();
    { std::ofstream out(big, std::ios::binary); }
    fs::resize_file(big, 1ull << 30);
    Drop({big});
    window->onWriteDiscClicked();
    ASSERT_FALSE(window->Ready());
    bool cancelled = false;
    for (int i = 0; i < 20000 && !window->Ready(); ++i) {
        QApplication::processEvents();
        window->Engine().Poll();
        if (!cancelled && child<QProgressBar>("prgTotalProgress")->value() > 0) {
            child<QPushButton>("cmdCancel")->click();
            EXPECT_EQ(Panel1(), "Aborting Write...Please Wait!");
            cancelled = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(Panel1(), "Write Cancelled....");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Write Cancelled!"}));
    EXPECT_TRUE(window->Ready());
    EXPECT_TRUE(child<QPushButton>("cmdWriteDisc")->isEnabled());
    EXPECT_TRUE(child<QTreeWidget>("tvwFolders")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("cmdCancel")->isEnabled());
    EXPECT_FALSE(fs::exists(target));
}

} // namespace

TEST_F(DiscWindowImageFileTest, AnEmptyImageIsRefusedBeforeAnyFileIsAskedFor) {
    bool asked = false;
    window->chooseImageFile = [&](const QString&) {
        asked = true;
        return QString::fromStdString(target);
    };
    window->onWriteDiscClicked();
    EXPECT_FALSE(asked);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "There is nothing to write: add the files or folders to back up first (File > Add "
              "Files... or Add Folder..., or drop them on the window).");
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(window->Ready());
    EXPECT_FALSE(fs::exists(target));

    // An empty folder adds no file either.
    fs::create_directories(dir.path / "Empty");
    Drop({(dir.path / "Empty").string()});
    window->onWriteDiscClicked();
    EXPECT_FALSE(asked);
    EXPECT_EQ(prompter.messages.size(), 2u);
}

TEST_F(DiscWindowImageFileTest, TheImageFileDialogAddsTheIsoExtension) {
    // The window's own dialog, answered with a name typed without extension.
    window = std::make_unique<DiscWriteWindow>(handedOver, prompter, nullptr,
                                               EngineWith({new ImageFileDevice()}));
    const QString typed = QString::fromStdString((dir.path / "weekly").string());
    ModalAnswerer answer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return false;
        dialog->selectFile(typed);
        static_cast<QDialog*>(dialog)->accept();
        return true;
    });
    EXPECT_EQ(window->chooseImageFile(QString::fromStdString(target)), typed + ".iso");
}

TEST_F(DiscWindowTest, ADeviceThatRefusesTheWriteIsShownInTheDevicesWords) {
    Device().beginWrite = false;
    Device().beginWriteError.category = kErrorDevice;
    Device().beginWriteError.device = {0x20120, "The drive refused the write.", "Fake Recorder",
                                       "FAILURE"};
    Open();
    WritableDisc(100000);
    Drop({dir.Write("a.txt", "a")});
    window->onWriteDiscClicked();
    PollUntilIdle();

    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"Device Error: (131360)   The drive refused the write.\n"
                                        "Fake Recorder - FAILURE"}));
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(Panel1(), "Write Error!");
    EXPECT_TRUE(window->Ready());
}

// Clearing the layout asks first (Enter keeps it), and once cleared the list
// and the bar of the last write start afresh.
TEST_F(DiscWindowTest, ClearAllItemsAsksThenEmptiesTheListAndTheBar) {
    Open();
    Drop({dir.Write("a.txt", "a"), dir.Write("b.txt", "b")});
    window->WriteState(1, 42);
    prompter.answer = MessageAnswer::Cancel;
    child<QAction>("mnuFileClear")->trigger();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].buttons, MessageButtons::OkCancelDefaultCancel);
    EXPECT_EQ(FileRows().size(), 2u);
    EXPECT_EQ(child<QProgressBar>("prgTotalProgress")->value(), 42);

    prompter.answer = MessageAnswer::Ok;
    child<QAction>("mnuFileClear")->trigger();
    EXPECT_TRUE(FileRows().empty());
    EXPECT_EQ(child<QProgressBar>("prgTotalProgress")->value(), 0);
}

// The date column writes dates as the user's desktop does, here German, in
// the one form every window uses.
TEST_F(DiscWindowTest, FileDatesFollowTheUsersLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Open();
    const std::string file = dir.Write("dated.txt", "d");
    const QDateTime when(QDate(2024, 3, 7), QTime(14, 5, 9));
    const timespec times[2] = {{when.toSecsSinceEpoch(), 0}, {when.toSecsSinceEpoch(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    Drop({file});
    const QString shown = child<QTreeWidget>("lvwImageFiles")->topLevelItem(0)->text(2);
    QLocale::setDefault(before);
    EXPECT_EQ(shown, QStringLiteral("07.03.24 14:05"));
}

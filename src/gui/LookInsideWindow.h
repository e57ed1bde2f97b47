#pragma once

#include "core/CancelToken.h"
#include "core/Error.h"
#include "gui/FileDialogRequest.h"
#include "gui/MailStoreWorker.h"
#include "gui/MessageSaving.h"
#include "mailstore/MailStore.h"

#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTimer;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace trelmig {

class MessageListModel;
class Prompter;

// The backup the window looks into: its data files by their names inside
// the backup, and how one of them is opened.
struct LookInsideSource {
    QString backupPath;
    std::vector<std::string> dataFiles;
    OpenMailStore open;
};

// "Look Inside...": the data files of a backup without restoring them. Left,
// each data file with its folders and their message counts; right, the
// messages of the chosen folder (or of a search), sortable by each column,
// and the chosen message's text. Each data file is opened and read on a
// worker thread of its own (MailStoreWorker); what it reads reaches the
// window in batches, so a long folder fills the list as it goes, and choosing
// another folder stops the reading of the one before.
class LookInsideWindow : public QWidget {
    Q_OBJECT
public:
    LookInsideWindow(LookInsideSource source, Prompter& prompter, QWidget* parent = nullptr);
    ~LookInsideWindow() override;

    // --- hooks, set by the restore tab and by tests
    std::function<QString(const FileDialogRequest&)> chooseFile;
    // The saves: "Save Messages..." writes the chosen messages as .eml
    // files into a folder, "Save Folder as Mbox..." the folder as one mbox
    // file; both run on the data file's worker.
    using Progress = SaveProgress;
    using SaveMessages = std::function<Result<SavedMessages>(
        MailStore& store, const std::vector<MessageRef>& messages,
        const std::filesystem::path& folder, const CancelToken& cancel, const Progress& progress)>;
    using SaveMbox = std::function<Result<SavedMessages>(
        MailStore& store, std::uint32_t folderId, const std::filesystem::path& file,
        const CancelToken& cancel, const Progress& progress)>;
    SaveMessages saveMessages = SaveEmlFiles;
    SaveMbox saveMbox = SaveFolderMbox;
    // "Recover Data File...": made on the window's thread for the data file
    // (where it goes is decided there), the job then runs on a pool thread
    // and answers the Windows path of the file it wrote.
    using RecoveryJob = std::function<Result<std::string>()>;
    std::function<Result<RecoveryJob>(const std::string& dataFile)> prepareRecovery;

    // A data file is being opened, or messages read, searched or saved.
    bool Busy() const;
    const QString& backupPath() const { return source_.backupPath; }

private:
    struct DataFile {
        std::string name;
        QTreeWidgetItem* item = nullptr;
        std::unique_ptr<MailStoreWorker> worker;
        bool opening = true;
        std::vector<MailFolder> folders;
    };
    // The store's reading that fills the message list.
    using Reading = std::function<Result<void>(MailStore& store, const MailStore::SummarySink& sink,
                                               const CancelToken* cancel)>;

    void buildLayout();
    QWidget* buildMessagePane();
    QWidget* buildButtons();
    void openDataFiles();
    // notice: what the store says the user should know of the file.
    void onDataFileOpened(std::size_t file, const Result<std::vector<MailFolder>>& folders,
                          const std::string& notice);
    void showFolders(std::size_t file);
    void onFolderChosen();
    void onSearchClicked();
    void onMessageChosen();
    void onSaveMessagesClicked();
    void onSaveMboxClicked();
    void onRecoverClicked();
    void onRecoveryFinished(const Result<std::string>& written, const std::string& dataFile);
    // Lists what reading hands over, in place of what the list showed.
    void startReading(std::size_t file, Reading reading, bool search);
    // What the worker has read and the window not yet listed.
    struct ReadingBuffer {
        std::mutex mutex;
        std::vector<MessageSummary> pending;
        std::uint64_t read = 0;
        bool finished = false;
        Result<void> result;
    };
    void drain(const std::shared_ptr<ReadingBuffer>& buffer);
    void stopReading();
    // Runs a save on the data file's worker, its progress in the status line.
    using Save =
        std::function<Result<SavedMessages>(MailStore&, const CancelToken&, const Progress&)>;
    void startSaving(std::size_t file, Save save, const QString& where);
    void updateButtons();
    void setStatus(const QString& text);
    // The data file and folder of the tree's current item (no folder for a
    // data file's own row).
    std::optional<std::size_t> chosenFile() const;
    std::optional<std::uint32_t> chosenFolder() const;
    std::vector<MessageRef> chosenMessages() const;
    // Runs on the window's thread after the events before it, unless the
    // window has gone by then.
    void post(std::function<void()> work);

    LookInsideSource source_;
    Prompter& prompter_;
    QTreeWidget* foldersTree_;
    QLineEdit* searchEdit_;
    QComboBox* searchScopeBox_;
    QPushButton* searchButton_;
    QTreeView* messagesView_;
    MessageListModel* messages_;
    QSortFilterProxyModel* sortedMessages_;
    QLabel* fromHtmlNote_;
    QPlainTextEdit* messageText_;
    QPushButton* saveMessagesButton_;
    QPushButton* saveMboxButton_;
    QPushButton* recoverButton_;
    QPushButton* closeButton_;
    QLabel* statusLine_;

    std::vector<DataFile> files_;
    std::shared_ptr<CancelToken> reading_;  // the list's reading at work, null when none
    std::shared_ptr<ReadingBuffer> buffer_; // that reading's; batches of others are dropped
    bool searching_ = false;
    QTimer* drainTimer_ = nullptr;          // lists what was read while a reading works
    std::optional<std::size_t> listedFile_; // the data file the list shows
    std::uint64_t textSerial_ = 0;
    std::shared_ptr<CancelToken> saving_; // a save at work
    bool recovering_ = false;
};

} // namespace trelmig

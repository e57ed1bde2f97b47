#pragma once

#include "core/TransferEstimate.h"
#include "disc/DiscEngine.h"
#include "disc/DiscEvents.h"
#include "disc/DiscTexts.h"

#include <QDialog>
#include <QIcon>
#include <QMap>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QMimeData;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace trelmig {

class Prompter;

// The user's locale's digit grouping and decimal point, for the disc texts.
NumberSeparators LocaleSeparators();

// "Backup Outlook Data to CD/DVD": composes a disc image from files and
// folders dropped or added from the File menu (or the archive the backup
// hands over) and writes it to a
// recorder or an image file. Open it modally with exec(); it takes the
// archive handed over by the backup, if any, at the root of the image.
class DiscWriteWindow : public QDialog, private DiscEngineEvents {
    Q_OBJECT
public:
    // Without an engine, one over the drives libburn finds and the image file.
    // handedOver: the archive a backup just wrote, or empty.
    DiscWriteWindow(std::string handedOver, Prompter& prompter, QWidget* parent = nullptr,
                    std::unique_ptr<DiscEngine> engine = nullptr);
    ~DiscWriteWindow() override;

    int exec() override;
    void reject() override;

    // The replace question (title "Replace file...", OK answers true).
    std::function<bool(const QString& text)> askReplace;
    // Names the image file for the "Image file (.iso)" device; empty = cancel.
    std::function<QString(const QString& suggestion)> chooseImageFile;
    // File > Add Files... and Add Folder...: the chosen host paths; empty = cancel.
    std::function<QStringList()> chooseFilesToAdd;
    std::function<QString()> chooseFolderToAdd;
    // Opens the erase window for the device and waits until it is closed.
    std::function<void(DiscDevice* device, DiscEngine& engine)> showErase;

    DiscEngine& Engine() { return *engine_; }
    bool Ready() const { return ready_; }
    bool LoadFailed() const { return loadFailed_; }

    // Image tree.
    void ResetImageView();
    void ShowFolderFiles(const QString& imagePath);
    void RefreshFileList();
    void UpdateImageSummary();
    void AddDroppedFiles(const QMimeData* data);
    // Files and folders below the selected folder, as dropped ones are.
    void AddPaths(const QStringList& paths);
    static bool IsFolderPath(const QString& path);
    static QString GetFileNamePart(const QString& path);
    void AddHandoverFile();

    // Device panel.
    void SetControlsEnabled(bool flag);
    void LoadDevices();
    void LoadWriteSpeeds();
    bool CheckMediaSpace();

    // Control events.
    void onDeviceChosen();
    void onUseFileDatesToggled();
    void onWriteDiscClicked();
    void onCancelClicked();
    void onAddFilesTriggered();
    void onAddFolderTriggered();
    void onClearTriggered();
    void onRemoveFolderTriggered();
    void onRemoveFileTriggered();
    void onRenameFolderTriggered();
    void onRenameFileTriggered();
    void onExitTriggered();
    void onEjectTriggered();
    void onCloseTrayTriggered();
    void onEraseDiscTriggered();
    void onFolderClicked(QTreeWidgetItem* node);
    // False cancels the edit.
    bool onFolderRenameStarting(QTreeWidgetItem* node);
    void onFolderRenamed(QTreeWidgetItem* node, const QString& newText);
    void onFileRenamed(QTreeWidgetItem* row, const QString& newText);
    // The File menu as context menu; the pop-up runs through popupMenu.
    void onFoldersMouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void onFilesMouseDown(Qt::MouseButton button, const QPoint& globalPos);
    std::function<void(QMenu* menu, const QPoint& globalPos)> popupMenu;
    void onVolumeLabelChanged();

    // Engine events (public for the tests that drive them).
    void WriteState(int state, int progress) override;
    bool FileWarning(const FileErrorInfo& info) override;
    void TrackStatus(int track, long count, const std::string& text) override;
    void Error(const DiscError& error) override;
    void VerifyStart(long fileCount) override;
    void VerifyResult(const DiscItem& item, int code, long index, long total) override;
    void VerifyDone(long checked, long matched) override;
    void FolderAdded(const DiscItem& item) override;
    void ItemRemoved(const DiscItem& item) override;
    void ItemRename(const DiscItem& item) override;
    void FileListed(const DiscItem& item) override;
    bool ReplaceQuery(const DiscItem& existing, const std::string& newSource) override;
    void ImageCleared() override;

    QTreeWidgetItem* NodeByKey(const QString& key) const;
    QTreeWidgetItem* SelectedNode() const;
    QTreeWidgetItem* SelectedRow() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    QWidget* BuildImagePanes();
    QWidget* BuildRecorderPanel();
    QWidget* BuildOptionsPanel();
    QWidget* BuildStatusBar();
    void LoadImageIcons();
    void BuildMenus();
    void ConnectControls();
    void InitializeDevicesAndImage();
    void ShowFileMenuAsContext(bool overTree, const QPoint& globalPos);
    void SetHourglass(bool on);
    void ShowWrittenBytes(int percent);
    void Inform(const QString& text);

    std::string handedOver_;
    Prompter& prompter_;
    std::unique_ptr<DiscEngine> engine_;
    DiscDevice* device_ = nullptr; // the recorder or image file chosen
    bool ready_ = true;            // false while a write runs
    bool loadFailed_ = false;
    QMap<QString, QIcon> imageIcons_; // CD, CLOSEDFOLDER, OPENFOLDER, FILE
    QTimer* pollTimer_ = nullptr;
    TransferEstimate written_; // speed and time left of the write

    // Controls; each carries the object name the skin and the tests select it by.
    QMenuBar* menuBar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* addFilesAction_ = nullptr;
    QAction* addFolderAction_ = nullptr;
    QAction* separatorAfterAdd_ = nullptr;
    QAction* clearAction_ = nullptr;
    QAction* separatorAfterClear_ = nullptr;
    QAction* removeFolderAction_ = nullptr;
    QAction* removeFileAction_ = nullptr;
    QAction* separatorAfterRemove_ = nullptr;
    QAction* renameFolderAction_ = nullptr;
    QAction* renameFileAction_ = nullptr;
    QAction* separatorBeforeExit_ = nullptr;
    QAction* exitAction_ = nullptr;
    QMenu* deviceMenu_ = nullptr;
    QAction* ejectAction_ = nullptr;
    QAction* closeTrayAction_ = nullptr;
    QAction* eraseDiscAction_ = nullptr;
    QLabel* dropHintLabel_ = nullptr;
    QTreeWidget* foldersTree_ = nullptr;
    QTreeWidget* imageFilesList_ = nullptr;
    QComboBox* deviceCombo_ = nullptr;
    QComboBox* writeSpeedCombo_ = nullptr;
    QComboBox* fileSystemCombo_ = nullptr;
    QLineEdit* volumeLabelEdit_ = nullptr;
    QCheckBox* bufferProtectionBox_ = nullptr;
    QCheckBox* cacheImageBox_ = nullptr;
    QCheckBox* finalizeDiscBox_ = nullptr;
    QCheckBox* testWriteBox_ = nullptr;
    QCheckBox* autoVerifyBox_ = nullptr;
    QCheckBox* mode2XaBox_ = nullptr;
    QCheckBox* fileDatesBox_ = nullptr;
    QCheckBox* discAtOnceBox_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* writeDiscButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* fileCountLabel_ = nullptr;
    QLabel* folderCountLabel_ = nullptr;
};

} // namespace trelmig

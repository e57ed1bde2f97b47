#include "gui/DiscWriteWindow.h"

#include "core/Prompter.h"
#include "disc/DiscTexts.h"
#include "gui/EraseDiscDialog.h"
#include "gui/LabelEditDelegate.h"
#include "gui/ObjectNames.h"
#include "gui/ScreenFit.h"
#include "gui/Skin.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace trelmig {

namespace {

constexpr int kPollMilliseconds = 100;

struct VolumeType {
    const char* text;
    int bits;
};
const VolumeType kVolumeTypes[] = {
    {"ISO9660", kFsIso9660},
    {"UDF", kFsUdf},
    {"ISO9660/Joliet Bridge", kFsIso9660 | kFsJoliet},
    {"ISO9660/UDF (DVDVideo) Bridge", kFsIso9660 | kFsUdf},
    {"ISO9660/Joliet/UDF Bridge", kFsIso9660 | kFsJoliet | kFsUdf},
};

QCheckBox* OptionBox(const QString& caption, const QString& tip, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    if (!tip.isEmpty())
        box->setToolTip(tip);
    return box;
}

} // namespace

DiscWriteWindow::DiscWriteWindow(std::string handedOver, Prompter& prompter, QWidget* parent,
                                 std::unique_ptr<DiscEngine> engine)
    : QDialog(parent), handedOver_(std::move(handedOver)), prompter_(prompter),
      engine_(engine ? std::move(engine) : std::make_unique<DiscEngine>()) {
    setObjectName(QStringLiteral("frmMaindvdwrite"));
    setWindowTitle(tr("Backup Outlook Data to CD/DVD"));
    setModal(true);
    askReplace = [this](const QString& text) {
        QMessageBox box(QMessageBox::Question, tr("Replace file..."), text,
                        QMessageBox::Ok | QMessageBox::Cancel, this);
        return box.exec() == QMessageBox::Ok;
    };
    chooseImageFile = [this](const QString& suggestion) {
        QFileDialog dialog(this, tr("Write the disc image to"));
        dialog.setObjectName(QStringLiteral("cdImageFile"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({tr("Disc images (*.iso)"), tr("All files (*)")});
        // A name typed without extension still makes an image others recognise.
        dialog.setDefaultSuffix(QStringLiteral("iso"));
        dialog.selectFile(suggestion);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    chooseFilesToAdd = [this] {
        return QFileDialog::getOpenFileNames(this, tr("Add Files"), QDir::homePath());
    };
    chooseFolderToAdd = [this] {
        return QFileDialog::getExistingDirectory(this, tr("Add Folder"), QDir::homePath());
    };
    showErase = [this](DiscDevice* device, DiscEngine& engine) {
        EraseDiscDialog erase(prompter_, this);
        erase.ShowErase(device, engine);
    };
    popupMenu = [](QMenu* menu, const QPoint& at) { menu->exec(at); };
    BuildLayout();
    BuildMenus();
    ConnectControls();
    engine_->SetEvents(this);
    InitializeDevicesAndImage();
    pollTimer_ = new QTimer(this);
    connect(pollTimer_, &QTimer::timeout, this, [this] { engine_->Poll(); });
    pollTimer_->start(kPollMilliseconds);
}

DiscWriteWindow::~DiscWriteWindow() {
    if (pollTimer_)
        pollTimer_->stop();
    engine_->SetEvents(nullptr);
}

void DiscWriteWindow::BuildLayout() {
    auto* layout = new QVBoxLayout(this);
    menuBar_ = named(new QMenuBar(this), "menuBar");
    layout->setMenuBar(menuBar_);

    dropHintLabel_ =
        named(new QLabel(tr("Drag and Drop Files or Folders"), this), "lblImageFileTitle");
    layout->addWidget(dropHintLabel_);
    layout->addWidget(BuildImagePanes(), 1);
    layout->addWidget(BuildRecorderPanel());
    layout->addWidget(BuildOptionsPanel());

    progressBar_ = named(new QProgressBar(this), "prgTotalProgress");
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    layout->addWidget(progressBar_);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    writeDiscButton_ = named(new QPushButton(tr("&Write Disc"), this), "cmdWriteDisc");
    cancelButton_ = named(new QPushButton(tr("&Cancel"), this), "cmdCancel");
    writeDiscButton_->setAutoDefault(false);
    cancelButton_->setAutoDefault(false);
    buttons->addWidget(writeDiscButton_);
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);

    layout->addWidget(BuildStatusBar());
    LoadImageIcons();
    ResizeWithinScreen(this, QSize(760, 600));
}

QWidget* DiscWriteWindow::BuildImagePanes() {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    foldersTree_ = named(new QTreeWidget(splitter), "tvwFolders");
    foldersTree_->setHeaderHidden(true);
    foldersTree_->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::SelectedClicked);
    imageFilesList_ = named(new QTreeWidget(splitter), "lvwImageFiles");
    imageFilesList_->setRootIsDecorated(false);
    imageFilesList_->setColumnCount(3);
    imageFilesList_->setHeaderLabels({tr("File Name"), tr("Size"), tr("Date")});
    imageFilesList_->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::SelectedClicked);
    imageFilesList_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    imageFilesList_->header()->setStretchLastSection(false);
    imageFilesList_->setColumnWidth(1, 110);
    imageFilesList_->setColumnWidth(2, 170);
    for (QTreeWidget* pane : {foldersTree_, imageFilesList_}) {
        pane->setDragDropMode(QAbstractItemView::NoDragDrop);
        pane->viewport()->setAcceptDrops(true);
        pane->viewport()->installEventFilter(this);
    }
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({220, 440});
    return splitter;
}

QWidget* DiscWriteWindow::BuildRecorderPanel() {
    auto* recorder = new QGroupBox(tr("Recorder"), this);
    auto* grid = new QGridLayout(recorder);
    deviceCombo_ = named(new QComboBox(recorder), "cboDevices");
    writeSpeedCombo_ = named(new QComboBox(recorder), "cboWriteSpeed");
    fileSystemCombo_ = named(new QComboBox(recorder), "cboVolumeType");
    volumeLabelEdit_ = named(new QLineEdit(tr("New Disc"), recorder), "txtVolIdentifier");
    volumeLabelEdit_->setMaxLength(32);
    auto caption = [recorder](const char* text, QWidget* buddy) {
        auto* label = new QLabel(tr(text), recorder);
        label->setBuddy(buddy);
        return label;
    };
    grid->addWidget(caption(QT_TR_NOOP("De&vice:"), deviceCombo_), 0, 0);
    grid->addWidget(deviceCombo_, 0, 1);
    grid->addWidget(caption(QT_TR_NOOP("Write S&peed:"), writeSpeedCombo_), 0, 2);
    grid->addWidget(writeSpeedCombo_, 0, 3);
    grid->addWidget(caption(QT_TR_NOOP("File S&ystem:"), fileSystemCombo_), 1, 0);
    grid->addWidget(fileSystemCombo_, 1, 1);
    grid->addWidget(caption(QT_TR_NOOP("Volume &Label:"), volumeLabelEdit_), 1, 2);
    grid->addWidget(volumeLabelEdit_, 1, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);
    return recorder;
}

QWidget* DiscWriteWindow::BuildOptionsPanel() {
    auto* options = new QGroupBox(tr("Options"), this);
    auto* boxes = new QGridLayout(options);
    auto option = [options](const char* name, const char* caption, const char* tip) {
        return named(OptionBox(tr(caption), tip ? tr(tip) : QString(), options), name);
    };
    bufferProtectionBox_ = option("chkUseBufferProtect", QT_TR_NOOP("Use Buffer Protection"),
                                  QT_TR_NOOP("Eliminates buffer underrun problems."));
    cacheImageBox_ = option("chkCacheImage", QT_TR_NOOP("Cache Image"),
                            QT_TR_NOOP("Not needed for DVD formats...Use for CDR/W only."));
    finalizeDiscBox_ = option("chkFinalizeDisc", QT_TR_NOOP("Finalize Disc"),
                              QT_TR_NOOP("Not valid for DVD+RW and DVD-RAM formats."));
    testWriteBox_ =
        option("chkTestWrite", QT_TR_NOOP("Test Write"), QT_TR_NOOP("Not valid for DVD formats."));
    autoVerifyBox_ = option("chkAutoVerify", QT_TR_NOOP("Auto-Verify Data"),
                            QT_TR_NOOP("Eliminates buffer underrun problems."));
    mode2XaBox_ = option("chkUseMode2XA", QT_TR_NOOP("Mode2XA (CD Only)"),
                         QT_TR_NOOP("Please see help file for details on Mode2XA"));
    fileDatesBox_ = option("chkUseFileDates", QT_TR_NOOP("Use File Dates"), nullptr);
    discAtOnceBox_ = option("chkDiscAtOnce", QT_TR_NOOP("Disc-At-Once"),
                            QT_TR_NOOP("Eliminates buffer underrun problems."));
    fileDatesBox_->setChecked(true);
    QCheckBox* const order[] = {bufferProtectionBox_, cacheImageBox_, finalizeDiscBox_,
                                testWriteBox_,        autoVerifyBox_, mode2XaBox_,
                                fileDatesBox_,        discAtOnceBox_};
    for (int i = 0; i < 8; ++i)
        boxes->addWidget(order[i], i / 4, i % 4);
    return options;
}

QWidget* DiscWriteWindow::BuildStatusBar() {
    statusBar_ = named(new QStatusBar(this), "sbrStatus");
    statusBar_->setSizeGripEnabled(false);
    statusLabel_ = named(new QLabel(statusBar_), "sbrPanel1");
    fileCountLabel_ = named(new QLabel(statusBar_), "sbrPanel2");
    folderCountLabel_ = named(new QLabel(statusBar_), "sbrPanel3");
    for (QLabel* panel : {statusLabel_, fileCountLabel_, folderCountLabel_})
        panel->setContentsMargins(6, 0, 6, 0);
    fileCountLabel_->setMinimumWidth(90);
    folderCountLabel_->setMinimumWidth(90);
    statusBar_->addWidget(statusLabel_, 1);
    statusBar_->addWidget(fileCountLabel_);
    statusBar_->addWidget(folderCountLabel_);
    return statusBar_;
}

void DiscWriteWindow::LoadImageIcons() {
    QStyle* look = style();
    QIcon openFolder = look->standardIcon(QStyle::SP_DirOpenIcon);
    QIcon closedFolder = look->standardIcon(QStyle::SP_DirClosedIcon);
    // A folder node shows the open folder while it is selected.
    QIcon folderNode = closedFolder;
    for (const QSize& size : openFolder.availableSizes())
        folderNode.addPixmap(openFolder.pixmap(size), QIcon::Selected);
    imageIcons_.insert(QStringLiteral("CD"), look->standardIcon(QStyle::SP_DriveCDIcon));
    imageIcons_.insert(QStringLiteral("CLOSEDFOLDER"), folderNode);
    imageIcons_.insert(QStringLiteral("OPENFOLDER"), openFolder);
    imageIcons_.insert(QStringLiteral("FILE"), look->standardIcon(QStyle::SP_FileIcon));
}

void DiscWriteWindow::BuildMenus() {
    fileMenu_ = named(menuBar_->addMenu(tr("&File")), "mnuFile");
    addFilesAction_ = named(fileMenu_->addAction(tr("Add &Files...")), "mnuFileAddFiles");
    addFilesAction_->setShortcut(QKeySequence::Open);
    addFolderAction_ = named(fileMenu_->addAction(tr("Add F&older...")), "mnuFileAddFolder");
    separatorAfterAdd_ = named(fileMenu_->addSeparator(), "mnuFileSep0");
    clearAction_ = named(fileMenu_->addAction(tr("Clear All Items")), "mnuFileClear");
    separatorAfterClear_ = named(fileMenu_->addSeparator(), "mnuFileSep1");
    removeFolderAction_ = named(fileMenu_->addAction(tr("Remove Folder")), "mnuFileRemoveFolder");
    removeFileAction_ = named(fileMenu_->addAction(tr("Remove File")), "mnuFileRemoveFile");
    separatorAfterRemove_ = named(fileMenu_->addSeparator(), "mnuFileSep2");
    renameFolderAction_ = named(fileMenu_->addAction(tr("Rename Folder")), "mnuFileRenameFolder");
    renameFileAction_ = named(fileMenu_->addAction(tr("Rename File")), "mnuFileRenameFile");
    separatorBeforeExit_ = named(fileMenu_->addSeparator(), "mnuFileSep3");
    exitAction_ = named(fileMenu_->addAction(tr("Exit")), "mnuFileExit");
    deviceMenu_ = named(menuBar_->addMenu(tr("&Device")), "mnuDevice");
    ejectAction_ = named(deviceMenu_->addAction(tr("Eject")), "mnuDeviceEject");
    closeTrayAction_ = named(deviceMenu_->addAction(tr("Close Tray")), "mnuDeviceCloseTray");
    deviceMenu_->addSeparator();
    eraseDiscAction_ = named(deviceMenu_->addAction(tr("Erase Disc...")), "mnuDeviceEraseDisc");
}

void DiscWriteWindow::ConnectControls() {
    connect(addFilesAction_, &QAction::triggered, this, [this] { onAddFilesTriggered(); });
    connect(addFolderAction_, &QAction::triggered, this, [this] { onAddFolderTriggered(); });
    connect(clearAction_, &QAction::triggered, this, [this] { onClearTriggered(); });
    connect(removeFolderAction_, &QAction::triggered, this, [this] { onRemoveFolderTriggered(); });
    connect(removeFileAction_, &QAction::triggered, this, [this] { onRemoveFileTriggered(); });
    connect(renameFolderAction_, &QAction::triggered, this, [this] { onRenameFolderTriggered(); });
    connect(renameFileAction_, &QAction::triggered, this, [this] { onRenameFileTriggered(); });
    connect(exitAction_, &QAction::triggered, this, [this] { onExitTriggered(); });
    connect(ejectAction_, &QAction::triggered, this, [this] { onEjectTriggered(); });
    connect(closeTrayAction_, &QAction::triggered, this, [this] { onCloseTrayTriggered(); });
    connect(eraseDiscAction_, &QAction::triggered, this, [this] { onEraseDiscTriggered(); });
    connect(writeDiscButton_, &QPushButton::clicked, this, [this] { onWriteDiscClicked(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { onCancelClicked(); });
    connect(deviceCombo_, qOverload<int>(&QComboBox::activated), this,
            [this](int) { onDeviceChosen(); });
    connect(fileDatesBox_, &QCheckBox::clicked, this, [this] { onUseFileDatesToggled(); });
    connect(volumeLabelEdit_, &QLineEdit::textChanged, this, [this] { onVolumeLabelChanged(); });
    connect(foldersTree_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { onFolderClicked(node); });
    // Moving through the tree with the keys shows each folder as a click does.
    connect(foldersTree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (node && foldersTree_->hasFocus())
            onFolderClicked(node);
    });
    foldersTree_->setItemDelegate(new LabelEditDelegate(
        [this](const QModelIndex& index) {
            return onFolderRenameStarting(foldersTree_->itemFromIndex(index));
        },
        [this](const QModelIndex& index, const QString& text) {
            onFolderRenamed(foldersTree_->itemFromIndex(index), text);
        },
        foldersTree_));
    imageFilesList_->setItemDelegate(new LabelEditDelegate(
        nullptr,
        [this](const QModelIndex& index, const QString& text) {
            onFileRenamed(imageFilesList_->itemFromIndex(index), text);
        },
        imageFilesList_));
}

void DiscWriteWindow::InitializeDevicesAndImage() {
    ApplySkin(this);
    if (!engine_->InitializeDevices(false)) {
        prompter_.Show(tr("Devices Cannot be initialized...Contact support!").toStdString(),
                       MessageIcon::None);
        loadFailed_ = true;
        QCoreApplication::exit(1); // the program ends once this window is gone
        return;
    }
    LoadDevices();
    SetControlsEnabled(true);
    (void)engine_->Image().Clear();
    for (const auto& type : kVolumeTypes)
        fileSystemCombo_->addItem(QString::fromUtf8(type.text), type.bits);
    fileSystemCombo_->setCurrentIndex(4);
    engine_->settings.fileSystemType = fileSystemCombo_->currentData().toInt();
    engine_->settings.rockRidge = 1;
    engine_->settings.useFileDates = true;
    ResetImageView();
    volumeLabelEdit_->setText(tr("Outlook Data Backup CD"));
    AddHandoverFile();
}

int DiscWriteWindow::exec() {
    if (loadFailed_)
        return QDialog::Rejected;
    return QDialog::exec();
}

void DiscWriteWindow::reject() {
    if (!ready_)
        return; // a write runs
    QDialog::reject();
}

void DiscWriteWindow::closeEvent(QCloseEvent* event) {
    if (!ready_) {
        event->ignore();
        return;
    }
    device_ = nullptr;
    QDialog::closeEvent(event);
}

void DiscWriteWindow::SetHourglass(bool on) {
    if (on)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void DiscWriteWindow::Inform(const QString& text) {
    prompter_.Show(text.toStdString(), MessageIcon::Information);
}

void DiscWriteWindow::SetControlsEnabled(bool flag) {
    fileMenu_->setEnabled(flag);
    deviceMenu_->setEnabled(flag);
    fileMenu_->menuAction()->setEnabled(flag);
    deviceMenu_->menuAction()->setEnabled(flag);
    for (QWidget* control : std::initializer_list<QWidget*>{
             deviceCombo_, writeSpeedCombo_, imageFilesList_, foldersTree_, writeDiscButton_,
             cacheImageBox_, finalizeDiscBox_, testWriteBox_, fileSystemCombo_, volumeLabelEdit_,
             mode2XaBox_, autoVerifyBox_, fileDatesBox_, discAtOnceBox_})
        control->setEnabled(flag);
    bufferProtectionBox_->setEnabled(flag && device_ &&
                                     device_->Capability(kCapBufferUnderrunProtection));
    cancelButton_->setEnabled(!flag);
    ready_ = flag;
    SetHourglass(!flag);
}

void DiscWriteWindow::LoadDevices() {
    deviceCombo_->clear();
    const int count = engine_->DeviceCount();
    for (int i = 0; i < count; ++i) {
        DiscDevice* device = engine_->Device(i);
        if (device && device->Compatible())
            deviceCombo_->addItem(QString::fromStdString(device->Name()), i);
    }
    if (deviceCombo_->count() == 0) {
        device_ = nullptr;
        prompter_.Show(tr("There are no compatible devices reported.\nSome older devices are not "
                          "currently supported.")
                           .toStdString(),
                       MessageIcon::Information);
        return;
    }
    deviceCombo_->setCurrentIndex(0);
    onDeviceChosen();
}

void DiscWriteWindow::LoadWriteSpeeds() {
    writeSpeedCombo_->clear();
    if (!device_)
        return;
    device_->RefreshMedia(false);
    const int count = device_->SpeedCount();
    for (int i = 0; i < count; ++i) {
        const long speed = device_->Speed(i);
        const double multiple = device_->SpeedMultiple(speed);
        writeSpeedCombo_->addItem(QString::fromStdString(FormatSpeedMultiple(multiple)),
                                  QVariant::fromValue<qlonglong>(speed));
    }
    if (count == 0)
        writeSpeedCombo_->addItem(tr("MAX"), QVariant::fromValue<qlonglong>(0));
    if (writeSpeedCombo_->count() > 0)
        writeSpeedCombo_->setCurrentIndex(0);
}

void DiscWriteWindow::onDeviceChosen() {
    if (deviceCombo_->currentIndex() < 0)
        return;
    device_ = engine_->Device(deviceCombo_->currentData().toInt());
    LoadWriteSpeeds();
    const bool protects = device_ && device_->Capability(kCapBufferUnderrunProtection);
    bufferProtectionBox_->setEnabled(protects);
    bufferProtectionBox_->setChecked(protects);
}

void DiscWriteWindow::onUseFileDatesToggled() {
    engine_->settings.useFileDates = fileDatesBox_->isChecked();
}

void DiscWriteWindow::onEjectTriggered() {
    if (device_)
        device_->Eject();
}

void DiscWriteWindow::onCloseTrayTriggered() {
    if (device_)
        device_->CloseTray();
}

void DiscWriteWindow::onEraseDiscTriggered() {
    if (showErase)
        showErase(device_, *engine_);
}

void DiscWriteWindow::onExitTriggered() {
    close();
}

bool DiscWriteWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool overTree = watched == foldersTree_->viewport();
    const bool overList = watched == imageFilesList_->viewport();
    if (!overTree && !overList)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasUrls())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        drop->acceptProposedAction();
        AddDroppedFiles(drop->mimeData());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() != Qt::RightButton)
            break;
        const QPoint at = press->globalPosition().toPoint();
        if (overTree)
            onFoldersMouseDown(press->button(), at);
        else
            onFilesMouseDown(press->button(), at);
        return true; // the menu acts on the selection as it is
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace trelmig

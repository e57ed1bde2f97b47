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
    initializeDevicesAndImage();
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
    menuBar = named(new QMenuBar(this), "menuBar");
    layout->setMenuBar(menuBar);

    lblImageFileTitle =
        named(new QLabel(tr("Drag and Drop Files or Folders"), this), "lblImageFileTitle");
    layout->addWidget(lblImageFileTitle);
    layout->addWidget(BuildImagePanes(), 1);
    layout->addWidget(BuildRecorderPanel());
    layout->addWidget(BuildOptionsPanel());

    prgTotalProgress = named(new QProgressBar(this), "prgTotalProgress");
    prgTotalProgress->setRange(0, 100);
    prgTotalProgress->setValue(0);
    layout->addWidget(prgTotalProgress);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    cmdWriteDisc = named(new QPushButton(tr("&Write Disc"), this), "cmdWriteDisc");
    cmdCancel = named(new QPushButton(tr("&Cancel"), this), "cmdCancel");
    cmdWriteDisc->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    buttons->addWidget(cmdWriteDisc);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    layout->addWidget(BuildStatusBar());
    LoadImageIcons();
    ResizeWithinScreen(this, QSize(760, 600));
}

QWidget* DiscWriteWindow::BuildImagePanes() {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    tvwFolders = named(new QTreeWidget(splitter), "tvwFolders");
    tvwFolders->setHeaderHidden(true);
    tvwFolders->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::SelectedClicked);
    lvwImageFiles = named(new QTreeWidget(splitter), "lvwImageFiles");
    lvwImageFiles->setRootIsDecorated(false);
    lvwImageFiles->setColumnCount(3);
    lvwImageFiles->setHeaderLabels({tr("File Name"), tr("Size"), tr("Date")});
    lvwImageFiles->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::SelectedClicked);
    lvwImageFiles->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvwImageFiles->header()->setStretchLastSection(false);
    lvwImageFiles->setColumnWidth(1, 110);
    lvwImageFiles->setColumnWidth(2, 170);
    for (QTreeWidget* pane : {tvwFolders, lvwImageFiles}) {
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
    cboDevices = named(new QComboBox(recorder), "cboDevices");
    cboWriteSpeed = named(new QComboBox(recorder), "cboWriteSpeed");
    cboVolumeType = named(new QComboBox(recorder), "cboVolumeType");
    txtVolIdentifier = named(new QLineEdit(tr("New Disc"), recorder), "txtVolIdentifier");
    txtVolIdentifier->setMaxLength(32);
    auto caption = [recorder](const char* text, QWidget* buddy) {
        auto* label = new QLabel(tr(text), recorder);
        label->setBuddy(buddy);
        return label;
    };
    grid->addWidget(caption(QT_TR_NOOP("De&vice:"), cboDevices), 0, 0);
    grid->addWidget(cboDevices, 0, 1);
    grid->addWidget(caption(QT_TR_NOOP("Write S&peed:"), cboWriteSpeed), 0, 2);
    grid->addWidget(cboWriteSpeed, 0, 3);
    grid->addWidget(caption(QT_TR_NOOP("File S&ystem:"), cboVolumeType), 1, 0);
    grid->addWidget(cboVolumeType, 1, 1);
    grid->addWidget(caption(QT_TR_NOOP("Volume &Label:"), txtVolIdentifier), 1, 2);
    grid->addWidget(txtVolIdentifier, 1, 3);
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
    chkUseBufferProtect = option("chkUseBufferProtect", QT_TR_NOOP("Use Buffer Protection"),
                                 QT_TR_NOOP("Eliminates buffer underrun problems."));
    chkCacheImage = option("chkCacheImage", QT_TR_NOOP("Cache Image"),
                           QT_TR_NOOP("Not needed for DVD formats...Use for CDR/W only."));
    chkFinalizeDisc = option("chkFinalizeDisc", QT_TR_NOOP("Finalize Disc"),
                             QT_TR_NOOP("Not valid for DVD+RW and DVD-RAM formats."));
    chkTestWrite =
        option("chkTestWrite", QT_TR_NOOP("Test Write"), QT_TR_NOOP("Not valid for DVD formats."));
    chkAutoVerify = option("chkAutoVerify", QT_TR_NOOP("Auto-Verify Data"),
                           QT_TR_NOOP("Eliminates buffer underrun problems."));
    chkUseMode2XA = option("chkUseMode2XA", QT_TR_NOOP("Mode2XA (CD Only)"),
                           QT_TR_NOOP("Please see help file for details on Mode2XA"));
    chkUseFileDates = option("chkUseFileDates", QT_TR_NOOP("Use File Dates"), nullptr);
    chkDiscAtOnce = option("chkDiscAtOnce", QT_TR_NOOP("Disc-At-Once"),
                           QT_TR_NOOP("Eliminates buffer underrun problems."));
    chkUseFileDates->setChecked(true);
    QCheckBox* const order[] = {chkUseBufferProtect, chkCacheImage, chkFinalizeDisc, chkTestWrite,
                                chkAutoVerify,       chkUseMode2XA, chkUseFileDates, chkDiscAtOnce};
    for (int i = 0; i < 8; ++i)
        boxes->addWidget(order[i], i / 4, i % 4);
    return options;
}

QWidget* DiscWriteWindow::BuildStatusBar() {
    sbrStatus = named(new QStatusBar(this), "sbrStatus");
    sbrStatus->setSizeGripEnabled(false);
    sbrPanel1 = named(new QLabel(sbrStatus), "sbrPanel1");
    sbrPanel2 = named(new QLabel(sbrStatus), "sbrPanel2");
    sbrPanel3 = named(new QLabel(sbrStatus), "sbrPanel3");
    for (QLabel* panel : {sbrPanel1, sbrPanel2, sbrPanel3})
        panel->setContentsMargins(6, 0, 6, 0);
    sbrPanel2->setMinimumWidth(90);
    sbrPanel3->setMinimumWidth(90);
    sbrStatus->addWidget(sbrPanel1, 1);
    sbrStatus->addWidget(sbrPanel2);
    sbrStatus->addWidget(sbrPanel3);
    return sbrStatus;
}

void DiscWriteWindow::LoadImageIcons() {
    QStyle* look = style();
    QIcon openFolder = look->standardIcon(QStyle::SP_DirOpenIcon);
    QIcon closedFolder = look->standardIcon(QStyle::SP_DirClosedIcon);
    // A folder node shows the open folder while it is selected.
    QIcon folderNode = closedFolder;
    for (const QSize& size : openFolder.availableSizes())
        folderNode.addPixmap(openFolder.pixmap(size), QIcon::Selected);
    imageList1_.insert(QStringLiteral("CD"), look->standardIcon(QStyle::SP_DriveCDIcon));
    imageList1_.insert(QStringLiteral("CLOSEDFOLDER"), folderNode);
    imageList1_.insert(QStringLiteral("OPENFOLDER"), openFolder);
    imageList1_.insert(QStringLiteral("FILE"), look->standardIcon(QStyle::SP_FileIcon));
}

void DiscWriteWindow::BuildMenus() {
    mnuFile = named(menuBar->addMenu(tr("&File")), "mnuFile");
    mnuFileAddFiles = named(mnuFile->addAction(tr("Add &Files...")), "mnuFileAddFiles");
    mnuFileAddFiles->setShortcut(QKeySequence::Open);
    mnuFileAddFolder = named(mnuFile->addAction(tr("Add F&older...")), "mnuFileAddFolder");
    mnuFileSep0 = named(mnuFile->addSeparator(), "mnuFileSep0");
    mnuFileClear = named(mnuFile->addAction(tr("Clear All Items")), "mnuFileClear");
    mnuFileSep1 = named(mnuFile->addSeparator(), "mnuFileSep1");
    mnuFileRemoveFolder = named(mnuFile->addAction(tr("Remove Folder")), "mnuFileRemoveFolder");
    mnuFileRemoveFile = named(mnuFile->addAction(tr("Remove File")), "mnuFileRemoveFile");
    mnuFileSep2 = named(mnuFile->addSeparator(), "mnuFileSep2");
    mnuFileRenameFolder = named(mnuFile->addAction(tr("Rename Folder")), "mnuFileRenameFolder");
    mnuFileRenameFile = named(mnuFile->addAction(tr("Rename File")), "mnuFileRenameFile");
    mnuFileSep3 = named(mnuFile->addSeparator(), "mnuFileSep3");
    mnuFileExit = named(mnuFile->addAction(tr("Exit")), "mnuFileExit");
    mnuDevice = named(menuBar->addMenu(tr("&Device")), "mnuDevice");
    mnuDeviceEject = named(mnuDevice->addAction(tr("Eject")), "mnuDeviceEject");
    mnuDeviceCloseTray = named(mnuDevice->addAction(tr("Close Tray")), "mnuDeviceCloseTray");
    mnuDevice->addSeparator();
    mnuDeviceEraseDisc = named(mnuDevice->addAction(tr("Erase Disc...")), "mnuDeviceEraseDisc");
}

void DiscWriteWindow::ConnectControls() {
    connect(mnuFileAddFiles, &QAction::triggered, this, [this] { onAddFilesTriggered(); });
    connect(mnuFileAddFolder, &QAction::triggered, this, [this] { onAddFolderTriggered(); });
    connect(mnuFileClear, &QAction::triggered, this, [this] { onClearTriggered(); });
    connect(mnuFileRemoveFolder, &QAction::triggered, this, [this] { onRemoveFolderTriggered(); });
    connect(mnuFileRemoveFile, &QAction::triggered, this, [this] { onRemoveFileTriggered(); });
    connect(mnuFileRenameFolder, &QAction::triggered, this, [this] { onRenameFolderTriggered(); });
    connect(mnuFileRenameFile, &QAction::triggered, this, [this] { onRenameFileTriggered(); });
    connect(mnuFileExit, &QAction::triggered, this, [this] { onExitTriggered(); });
    connect(mnuDeviceEject, &QAction::triggered, this, [this] { onEjectTriggered(); });
    connect(mnuDeviceCloseTray, &QAction::triggered, this, [this] { onCloseTrayTriggered(); });
    connect(mnuDeviceEraseDisc, &QAction::triggered, this, [this] { onEraseDiscTriggered(); });
    connect(cmdWriteDisc, &QPushButton::clicked, this, [this] { onWriteDiscClicked(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { onCancelClicked(); });
    connect(cboDevices, qOverload<int>(&QComboBox::activated), this,
            [this](int) { onDeviceChosen(); });
    connect(chkUseFileDates, &QCheckBox::clicked, this, [this] { onUseFileDatesToggled(); });
    connect(txtVolIdentifier, &QLineEdit::textChanged, this, [this] { onVolumeLabelChanged(); });
    connect(tvwFolders, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { onFolderClicked(node); });
    // Moving through the tree with the keys shows each folder as a click does.
    connect(tvwFolders, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (node && tvwFolders->hasFocus())
            onFolderClicked(node);
    });
    tvwFolders->setItemDelegate(new LabelEditDelegate(
        [this](const QModelIndex& index) {
            return onFolderRenameStarting(tvwFolders->itemFromIndex(index));
        },
        [this](const QModelIndex& index, const QString& text) {
            onFolderRenamed(tvwFolders->itemFromIndex(index), text);
        },
        tvwFolders));
    lvwImageFiles->setItemDelegate(new LabelEditDelegate(
        nullptr,
        [this](const QModelIndex& index, const QString& text) {
            onFileRenamed(lvwImageFiles->itemFromIndex(index), text);
        },
        lvwImageFiles));
}

void DiscWriteWindow::initializeDevicesAndImage() {
    ApplySkin(this);
    if (!engine_->InitializeDevices(false)) {
        prompter_.Show(tr("Devices Cannot be initialized...Contact support!").toStdString(),
                       MessageIcon::None);
        loadFailed_ = true;
        QCoreApplication::exit(1); // the program ends once this window is gone
        return;
    }
    LoadDevices();
    // ImageList1 serves both panes through the item icons (see NodeByKey users).
    SetControlsEnabled(true);
    (void)engine_->Image().Clear();
    for (const auto& type : kVolumeTypes)
        cboVolumeType->addItem(QString::fromUtf8(type.text), type.bits);
    cboVolumeType->setCurrentIndex(4);
    engine_->settings.fileSystemType = cboVolumeType->currentData().toInt();
    engine_->settings.rockRidge = 1;
    engine_->settings.useFileDates = true;
    ResetImageView();
    txtVolIdentifier->setText(tr("Outlook Data Backup CD"));
    AddHandoverFile();
}

int DiscWriteWindow::exec() {
    if (loadFailed_)
        return QDialog::Rejected;
    return QDialog::exec();
}

void DiscWriteWindow::reject() {
    if (!mbReady)
        return; // a write runs
    QDialog::reject();
}

void DiscWriteWindow::closeEvent(QCloseEvent* event) {
    if (!mbReady) {
        event->ignore();
        return;
    }
    mobjDevice = nullptr;
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
    mnuFile->setEnabled(flag);
    mnuDevice->setEnabled(flag);
    mnuFile->menuAction()->setEnabled(flag);
    mnuDevice->menuAction()->setEnabled(flag);
    for (QWidget* control : std::initializer_list<QWidget*>{
             cboDevices, cboWriteSpeed, lvwImageFiles, tvwFolders, cmdWriteDisc, chkCacheImage,
             chkFinalizeDisc, chkTestWrite, cboVolumeType, txtVolIdentifier, chkUseMode2XA,
             chkAutoVerify, chkUseFileDates, chkDiscAtOnce})
        control->setEnabled(flag);
    chkUseBufferProtect->setEnabled(flag && mobjDevice &&
                                    mobjDevice->Capability(kCapBufferUnderrunProtection));
    cmdCancel->setEnabled(!flag);
    mbReady = flag;
    SetHourglass(!flag);
}

void DiscWriteWindow::LoadDevices() {
    cboDevices->clear();
    const int count = engine_->DeviceCount();
    for (int i = 0; i < count; ++i) {
        DiscDevice* device = engine_->Device(i);
        if (device && device->Compatible())
            cboDevices->addItem(QString::fromStdString(device->Name()), i);
    }
    if (cboDevices->count() == 0) {
        mobjDevice = nullptr;
        prompter_.Show(tr("There are no compatible devices reported.\nSome older devices are not "
                          "currently supported.")
                           .toStdString(),
                       MessageIcon::Information);
        return;
    }
    cboDevices->setCurrentIndex(0);
    onDeviceChosen();
}

void DiscWriteWindow::LoadWriteSpeeds() {
    cboWriteSpeed->clear();
    if (!mobjDevice)
        return;
    mobjDevice->RefreshMedia(false);
    const int count = mobjDevice->SpeedCount();
    for (int i = 0; i < count; ++i) {
        const long speed = mobjDevice->Speed(i);
        const double multiple = mobjDevice->SpeedMultiple(speed);
        cboWriteSpeed->addItem(QString::fromStdString(FormatSpeedMultiple(multiple)),
                               QVariant::fromValue<qlonglong>(speed));
    }
    if (count == 0)
        cboWriteSpeed->addItem(tr("MAX"), QVariant::fromValue<qlonglong>(0));
    if (cboWriteSpeed->count() > 0)
        cboWriteSpeed->setCurrentIndex(0);
}

void DiscWriteWindow::onDeviceChosen() {
    if (cboDevices->currentIndex() < 0)
        return;
    mobjDevice = engine_->Device(cboDevices->currentData().toInt());
    LoadWriteSpeeds();
    const bool protects = mobjDevice && mobjDevice->Capability(kCapBufferUnderrunProtection);
    chkUseBufferProtect->setEnabled(protects);
    chkUseBufferProtect->setChecked(protects);
}

void DiscWriteWindow::onUseFileDatesToggled() {
    engine_->settings.useFileDates = chkUseFileDates->isChecked();
}

void DiscWriteWindow::onEjectTriggered() {
    if (mobjDevice)
        mobjDevice->Eject();
}

void DiscWriteWindow::onCloseTrayTriggered() {
    if (mobjDevice)
        mobjDevice->CloseTray();
}

void DiscWriteWindow::onEraseDiscTriggered() {
    if (showErase)
        showErase(mobjDevice, *engine_);
}

void DiscWriteWindow::onExitTriggered() {
    close();
}

bool DiscWriteWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool overTree = watched == tvwFolders->viewport();
    const bool overList = watched == lvwImageFiles->viewport();
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

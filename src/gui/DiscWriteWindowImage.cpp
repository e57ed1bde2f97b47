// The disc window's image side: the folder tree, the file list, the status
// panels, drag and drop, the File menu and the image events of the engine.

#include "gui/DiscWriteWindow.h"
#include "gui/LocalTimeText.h"

#include "core/Prompter.h"
#include "disc/DiscTexts.h"
#include "platform/Text.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUrl>

namespace trelmig {

namespace {

constexpr int kKeyRole = Qt::UserRole;
const QString kRootKey = QStringLiteral("\\");

QString Key(const QTreeWidgetItem* item) {
    return item ? item->data(0, kKeyRole).toString() : "";
}

} // namespace

NumberSeparators LocaleSeparators() {
    const QLocale locale;
    return {locale.groupSeparator().toStdString(), locale.decimalPoint().toStdString()};
}

QTreeWidgetItem* DiscWriteWindow::NodeByKey(const QString& key) const {
    for (QTreeWidgetItemIterator it(foldersTree_); *it; ++it)
        if (Key(*it) == key)
            return *it;
    return nullptr;
}

QTreeWidgetItem* DiscWriteWindow::SelectedNode() const {
    const auto selected = foldersTree_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

QTreeWidgetItem* DiscWriteWindow::SelectedRow() const {
    const auto selected = imageFilesList_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void DiscWriteWindow::ResetImageView() {
    imageFilesList_->clear();
    foldersTree_->clear();
    auto* root = new QTreeWidgetItem(foldersTree_);
    root->setText(0, tr("New Disc"));
    root->setData(0, kKeyRole, kRootKey);
    root->setIcon(0, imageIcons_.value(QStringLiteral("CD")));
    root->setFlags(root->flags() | Qt::ItemIsEditable);
    volumeLabelEdit_->setText(tr("New Disc"));
    engine_->SetVolumeIdentifier("New Disc");
    UpdateImageSummary();
}

void DiscWriteWindow::ShowFolderFiles(const QString& imagePath) {
    SetHourglass(true);
    imageFilesList_->clear();
    (void)engine_->Image().ListFolder(imagePath.toStdString());
    SetHourglass(!ready_);
}

void DiscWriteWindow::RefreshFileList() {
    QTreeWidgetItem* node = SelectedNode();
    if (!node) {
        ShowFolderFiles(kRootKey);
        if (QTreeWidgetItem* root = NodeByKey(kRootKey))
            root->setExpanded(true);
    } else {
        ShowFolderFiles(Key(node));
        node->setExpanded(true);
    }
    UpdateImageSummary();
}

void DiscWriteWindow::UpdateImageSummary() {
    DiscImage& image = engine_->Image();
    statusLabel_->setText(tr("Data Image Size: %1")
                              .arg(QString::fromStdString(
                                  FormatMegabytes(engine_->ImageSize(), LocaleSeparators()))));
    fileCountLabel_->setText(tr("Files: %1").arg(image.FileCount()));
    folderCountLabel_->setText(tr("Folders: %1").arg(image.FolderCount()));
}

bool DiscWriteWindow::IsFolderPath(const QString& path) {
    return QFileInfo(path).isDir();
}

QString DiscWriteWindow::GetFileNamePart(const QString& path) {
    // Host paths: the text after the last slash.
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

void DiscWriteWindow::AddDroppedFiles(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return;
    QStringList paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    AddPaths(paths);
}

void DiscWriteWindow::onAddFilesTriggered() {
    const QStringList files = chooseFilesToAdd ? chooseFilesToAdd() : QStringList();
    if (!files.isEmpty())
        AddPaths(files);
}

void DiscWriteWindow::onAddFolderTriggered() {
    const QString folder = chooseFolderToAdd ? chooseFolderToAdd() : QString();
    if (!folder.isEmpty())
        AddPaths({folder});
}

void DiscWriteWindow::AddPaths(const QStringList& paths) {
    SetHourglass(true);
    QTreeWidgetItem* node = SelectedNode();
    const QString target = !node || Key(node) == kRootKey ? QString() : Key(node);
    DiscImage& image = engine_->Image();
    for (QString path : paths) {
        while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
            path.chop(1);
        const QString imagePath = target + QStringLiteral("\\") + GetFileNamePart(path);
        // What cannot be added is not reported: it is missing after the refresh.
        if (IsFolderPath(path))
            (void)image.AddFolder(path.toStdString(), imagePath.toStdString());
        else
            (void)image.AddFile(path.toStdString(), imagePath.toStdString());
    }
    RefreshFileList();
    SetHourglass(!ready_);
}

void DiscWriteWindow::AddHandoverFile() {
    if (handedOver_.empty())
        return;
    (void)engine_->Image().AddFile(handedOver_, "\\" + BareName(handedOver_));
    RefreshFileList();
    handedOver_.clear();
}

void DiscWriteWindow::onClearTriggered() {
    if (prompter_.Show(tr("Remove all files and folders from the disc layout?").toStdString(),
                       MessageIcon::Question,
                       MessageButtons::OkCancelDefaultCancel) != MessageAnswer::Ok)
        return;
    if (auto cleared = engine_->Image().Clear(); !cleared) {
        prompter_.Show(cleared.error().message, MessageIcon::Critical);
        return;
    }
    RefreshFileList();
    progressBar_->setValue(0);
}

void DiscWriteWindow::onRemoveFolderTriggered() {
    QTreeWidgetItem* node = SelectedNode();
    if (!node) {
        Inform(tr("No Item Selected."));
        return;
    }
    if (!engine_->Image().RemoveItem(Key(node).toStdString()))
        Inform(tr("Item could not be removed."));
    RefreshFileList();
}

void DiscWriteWindow::onRemoveFileTriggered() {
    QTreeWidgetItem* row = SelectedRow();
    if (!row) {
        Inform(tr("No Item Selected."));
        return;
    }
    if (!engine_->Image().RemoveItem(Key(row).toStdString()))
        Inform(tr("Item could not be removed."));
    RefreshFileList();
}

void DiscWriteWindow::onRenameFolderTriggered() {
    QTreeWidgetItem* node = SelectedNode();
    if (!node) {
        Inform(tr("No Item Selected."));
        return;
    }
    foldersTree_->editItem(node, 0);
}

void DiscWriteWindow::onRenameFileTriggered() {
    QTreeWidgetItem* row = SelectedRow();
    if (!row) {
        Inform(tr("No Item Selected."));
        return;
    }
    imageFilesList_->editItem(row, 0);
}

void DiscWriteWindow::onFolderClicked(QTreeWidgetItem* node) {
    if (node)
        ShowFolderFiles(Key(node));
}

bool DiscWriteWindow::onFolderRenameStarting(QTreeWidgetItem* node) {
    if (Key(node) == kRootKey) {
        Inform(tr("Root directory can not be renamed."));
        return false;
    }
    return true;
}

void DiscWriteWindow::onFolderRenamed(QTreeWidgetItem* node, const QString& newText) {
    if (!node)
        return;
    if (engine_->Image().RenameFolder(Key(node).toStdString(), newText.toStdString()))
        node->setText(0, newText);
    else
        Inform(tr("Folder could not be renamed."));
    RefreshFileList();
}

void DiscWriteWindow::onFileRenamed(QTreeWidgetItem* row, const QString& newText) {
    if (!row)
        return;
    if (!engine_->Image().RenameFile(Key(row).toStdString(), newText.toStdString()))
        Inform(tr("File could not be renamed."));
    RefreshFileList();
}

void DiscWriteWindow::ShowFileMenuAsContext(bool overTree, const QPoint& globalPos) {
    for (QAction* entry : fileMenu_->actions())
        entry->setVisible(false);
    clearAction_->setVisible(true);
    removeFolderAction_->setVisible(overTree);
    renameFolderAction_->setVisible(overTree);
    removeFileAction_->setVisible(!overTree);
    renameFileAction_->setVisible(!overTree);
    if (popupMenu)
        popupMenu(fileMenu_, globalPos);
    for (QAction* entry : fileMenu_->actions())
        entry->setVisible(true);
}

void DiscWriteWindow::onFoldersMouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button == Qt::RightButton)
        ShowFileMenuAsContext(true, globalPos);
}

void DiscWriteWindow::onFilesMouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button == Qt::RightButton)
        ShowFileMenuAsContext(false, globalPos);
}

void DiscWriteWindow::onVolumeLabelChanged() {
    if (QTreeWidgetItem* root = NodeByKey(kRootKey))
        root->setText(0, volumeLabelEdit_->text());
}

void DiscWriteWindow::FolderAdded(const DiscItem& item) {
    if (item.isFolder) {
        QTreeWidgetItem* parent = NodeByKey(QString::fromStdString(item.parentPath));
        auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(foldersTree_);
        node->setText(0, QString::fromStdString(item.name));
        node->setData(0, kKeyRole, QString::fromStdString(item.imagePath));
        node->setIcon(0, imageIcons_.value(QStringLiteral("CLOSEDFOLDER")));
        node->setFlags(node->flags() | Qt::ItemIsEditable);
        statusLabel_->setText(tr("Adding....%1").arg(QString::fromStdString(item.imagePath)));
    }
}

void DiscWriteWindow::FileListed(const DiscItem& item) {
    if (item.isFolder)
        return;
    auto* row = new QTreeWidgetItem(imageFilesList_);
    row->setText(0, QString::fromStdString(item.name));
    row->setData(0, kKeyRole, QString::fromStdString(item.imagePath));
    row->setIcon(0, imageIcons_.value(QStringLiteral("FILE")));
    row->setText(1, QString::fromStdString(FormatKilobytes(item.size, LocaleSeparators())));
    row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    row->setText(2, LocalTimeText(QDateTime::fromSecsSinceEpoch(item.date)));
    row->setFlags(row->flags() | Qt::ItemIsEditable);
}

void DiscWriteWindow::ItemRename(const DiscItem& item) {
    if (!item.isFolder)
        return;
    if (QTreeWidgetItem* node = NodeByKey(QString::fromStdString(item.formerImagePath)))
        node->setData(0, kKeyRole, QString::fromStdString(item.imagePath));
}

void DiscWriteWindow::ItemRemoved(const DiscItem& item) {
    if (!item.isFolder)
        return;
    delete NodeByKey(QString::fromStdString(item.imagePath)); // with its subtree
}

bool DiscWriteWindow::ReplaceQuery(const DiscItem& existing, const std::string& newSource) {
    const QString text = QString::fromStdString(ReplaceQuestionText(existing.imagePath, newSource));
    return askReplace && askReplace(text);
}

void DiscWriteWindow::ImageCleared() {
    ResetImageView();
}

} // namespace trelmig

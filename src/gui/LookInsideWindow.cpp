// The look-inside window's controls and its tree of data files and folders.
#include "gui/LookInsideWindow.h"

#include "gui/MessageListModel.h"
#include "gui/ObjectNames.h"
#include "gui/Skin.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace trelmig {

namespace {

constexpr int kFileRole = Qt::UserRole;
constexpr int kFolderRole = Qt::UserRole + 1; // absent on a data file's own row
// How often a long reading's messages reach the list.
constexpr int kDrainMilliseconds = 50;

QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

LookInsideWindow::LookInsideWindow(LookInsideSource source, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(std::move(source)), prompter_(prompter) {
    setObjectName(QStringLiteral("frmLookInside"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Look Inside %1").arg(QFileInfo(source_.backupPath).fileName()));
    buildLayout();
    connect(foldersTree_, &QTreeWidget::currentItemChanged, this, [this] { onFolderChosen(); });
    connect(searchButton_, &QPushButton::clicked, this, [this] { onSearchClicked(); });
    connect(searchEdit_, &QLineEdit::returnPressed, this, [this] { onSearchClicked(); });
    connect(messagesView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { onMessageChosen(); });
    connect(messagesView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { updateButtons(); });
    connect(saveMessagesButton_, &QPushButton::clicked, this, [this] { onSaveMessagesClicked(); });
    connect(saveMboxButton_, &QPushButton::clicked, this, [this] { onSaveMboxClicked(); });
    connect(recoverButton_, &QPushButton::clicked, this, [this] { onRecoverClicked(); });
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    drainTimer_ = new QTimer(this);
    drainTimer_->setInterval(kDrainMilliseconds);
    connect(drainTimer_, &QTimer::timeout, this, [this] {
        if (buffer_)
            drain(buffer_);
    });
    ApplySkin(this);
    openDataFiles();
    updateButtons();
}

LookInsideWindow::~LookInsideWindow() {
    // The workers go first: none of them posts to the window once it is gone.
    stopReading();
    if (saving_)
        saving_->Cancel();
    for (DataFile& file : files_)
        file.worker.reset();
}

void LookInsideWindow::buildLayout() {
    foldersTree_ = named(new QTreeWidget, "tvwFolders");
    foldersTree_->setHeaderHidden(true);
    foldersTree_->setAccessibleName(tr("Data files and folders"));
    auto* split = named(new QSplitter(Qt::Horizontal), "splFolders");
    split->addWidget(foldersTree_);
    split->addWidget(buildMessagePane());
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 3);
    // Room for a data file's name with its state beside the messages.
    const int treeWidth = fontMetrics().horizontalAdvance(QStringLiteral("M")) * 24;
    split->setSizes({treeWidth, treeWidth * 3});
    statusLine_ = named(new QLabel, "lblStatus");
    statusLine_->setWordWrap(true);
    statusLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* column = new QVBoxLayout(this);
    column->addWidget(split, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(statusLine_, 1);
    bottom->addWidget(buildButtons());
    column->addLayout(bottom);
    resize(1000, 640);
}

QWidget* LookInsideWindow::buildMessagePane() {
    searchEdit_ = named(new QLineEdit, "txtSearch");
    searchEdit_->setPlaceholderText(tr("Search subject, sender, recipients and text"));
    searchEdit_->setAccessibleName(tr("Search for"));
    searchEdit_->setClearButtonEnabled(true);
    searchScopeBox_ = named(new QComboBox, "cboSearchScope");
    searchScopeBox_->addItem(tr("This folder"));
    searchScopeBox_->addItem(tr("Whole data file"));
    searchScopeBox_->setAccessibleName(tr("Search in"));
    searchButton_ = named(new QPushButton(tr("&Search")), "cmdSearch");
    searchButton_->setAutoDefault(false);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchEdit_, 1);
    searchRow->addWidget(searchScopeBox_);
    searchRow->addWidget(searchButton_);

    messages_ = new MessageListModel(this);
    sortedMessages_ = new QSortFilterProxyModel(this);
    sortedMessages_->setSourceModel(messages_);
    sortedMessages_->setSortRole(Qt::UserRole);
    messagesView_ = named(new QTreeView, "lvwMessages");
    messagesView_->setModel(sortedMessages_);
    messagesView_->setRootIsDecorated(false);
    messagesView_->setUniformRowHeights(true);
    messagesView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    messagesView_->setSortingEnabled(true);
    // The store's own order until the user sorts by a column.
    messagesView_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    sortedMessages_->sort(-1);
    messagesView_->header()->setStretchLastSection(false);
    messagesView_->header()->setSectionResizeMode(MessageListModel::Subject, QHeaderView::Stretch);
    // Whole dates and sizes; the subject takes what is left.
    const QFontMetrics metrics = messagesView_->fontMetrics();
    const QString longestDate =
        QLocale().toString(QDateTime(QDate(2026, 12, 28), QTime(23, 59)), QLocale::ShortFormat);
    messagesView_->header()->resizeSection(
        MessageListModel::Date, metrics.horizontalAdvance(longestDate + QStringLiteral("MM")));
    messagesView_->header()->resizeSection(MessageListModel::Sender,
                                           metrics.horizontalAdvance(QLatin1Char('M')) * 13);
    messagesView_->header()->resizeSection(MessageListModel::Recipients,
                                           metrics.horizontalAdvance(QLatin1Char('M')) * 9);
    messagesView_->header()->resizeSection(
        MessageListModel::Size,
        metrics.horizontalAdvance(QLocale().formattedDataSize(1023) + QStringLiteral("MM")));
    messagesView_->setAccessibleName(tr("Messages"));

    fromHtmlNote_ = named(new QLabel(tr("(shown from the HTML body)")), "lblFromHtml");
    fromHtmlNote_->hide();
    messageText_ = named(new QPlainTextEdit, "txtMessage");
    messageText_->setReadOnly(true);
    messageText_->setAccessibleName(tr("Message text"));
    auto* textPane = new QWidget;
    auto* textColumn = new QVBoxLayout(textPane);
    textColumn->setContentsMargins(0, 0, 0, 0);
    textColumn->addWidget(fromHtmlNote_);
    textColumn->addWidget(messageText_, 1);

    auto* split = named(new QSplitter(Qt::Vertical), "splMessages");
    split->addWidget(messagesView_);
    split->addWidget(textPane);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(searchRow);
    column->addWidget(split, 1);
    return pane;
}

QWidget* LookInsideWindow::buildButtons() {
    saveMessagesButton_ = named(new QPushButton(tr("Save &Messages...")), "cmdSaveMessages");
    saveMboxButton_ = named(new QPushButton(tr("Save Folder as M&box...")), "cmdSaveMbox");
    recoverButton_ = named(new QPushButton(tr("&Recover Data File...")), "cmdRecover");
    closeButton_ = named(new QPushButton(tr("&Close")), "cmdClose");
    auto* buttons = new QWidget;
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* button :
         {saveMessagesButton_, saveMboxButton_, recoverButton_, closeButton_}) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    return buttons;
}

void LookInsideWindow::openDataFiles() {
    files_.resize(source_.dataFiles.size());
    for (std::size_t i = 0; i < files_.size(); ++i) {
        DataFile& file = files_[i];
        file.name = source_.dataFiles[i];
        file.item = new QTreeWidgetItem(foldersTree_, {tr("%1 (opening...)").arg(utf8(file.name))});
        file.item->setData(0, kFileRole, QVariant::fromValue<qulonglong>(i));
        file.worker = std::make_unique<MailStoreWorker>(
            file.name, source_.open, [this, i](const Result<std::unique_ptr<MailStore>>& store) {
                Result<std::vector<MailFolder>> folders =
                    store ? Result<std::vector<MailFolder>>((*store)->folders())
                          : std::unexpected(store.error());
                std::string notice = store ? (*store)->notice() : std::string();
                post([this, i, folders = std::move(folders), notice = std::move(notice)] {
                    onDataFileOpened(i, folders, notice);
                });
            });
    }
    if (!files_.empty()) {
        foldersTree_->setCurrentItem(files_.front().item);
        setStatus(tr("Opening %1...").arg(utf8(files_.front().name)));
    }
}

void LookInsideWindow::onDataFileOpened(std::size_t file,
                                        const Result<std::vector<MailFolder>>& folders,
                                        const std::string& notice) {
    DataFile& opened = files_[file];
    opened.opening = false;
    const QString name = utf8(opened.name);
    if (!folders) {
        const QString reason =
            tr("The data file %1 cannot be opened: %2").arg(name, utf8(folders.error().message));
        opened.item->setText(0, tr("%1 (cannot be opened)").arg(name));
        opened.item->setToolTip(0, reason);
        opened.item->setData(0, Qt::AccessibleDescriptionRole, reason);
        if (chosenFile() == file)
            setStatus(reason);
        updateButtons();
        return;
    }
    opened.folders = *folders;
    opened.item->setText(0, name);
    showFolders(file);
    // A notice (a password of the file's own) stays on the file's row.
    const QString said = notice.empty() ? tr("%1: %2 folders").arg(name).arg(opened.folders.size())
                                        : tr("%1: %2").arg(name, utf8(notice));
    if (!notice.empty())
        opened.item->setToolTip(0, said);
    if (chosenFile() == file)
        setStatus(said);
    updateButtons();
}

void LookInsideWindow::showFolders(std::size_t file) {
    DataFile& shown = files_[file];
    // Folders come each before its subfolders: the last row of each depth is
    // the parent of the next deeper one.
    std::vector<QTreeWidgetItem*> parents{shown.item};
    const QLocale locale;
    for (const MailFolder& folder : shown.folders) {
        const auto depth = static_cast<std::size_t>(std::max(folder.depth, 0));
        QTreeWidgetItem* parent = parents[std::min(depth, parents.size() - 1)];
        QString text = folder.name.empty() ? tr("(unnamed folder)") : utf8(folder.name);
        if (folder.messageCount > 0)
            text += QStringLiteral(" (%1)").arg(
                locale.toString(static_cast<qulonglong>(folder.messageCount)));
        auto* item = new QTreeWidgetItem(parent, {text});
        item->setData(0, kFileRole, QVariant::fromValue<qulonglong>(file));
        item->setData(0, kFolderRole, QVariant::fromValue<qulonglong>(folder.id));
        item->setToolTip(0, utf8(folder.path));
        parents.resize(depth + 1, parent);
        parents.push_back(item);
    }
    shown.item->setExpanded(true);
    // The top folder and its children show at once: that is where the mail is.
    if (shown.item->childCount() > 0)
        shown.item->child(0)->setExpanded(true);
}

std::optional<std::size_t> LookInsideWindow::chosenFile() const {
    const QTreeWidgetItem* item = foldersTree_->currentItem();
    if (!item)
        return std::nullopt;
    return static_cast<std::size_t>(item->data(0, kFileRole).toULongLong());
}

std::optional<std::uint32_t> LookInsideWindow::chosenFolder() const {
    const QTreeWidgetItem* item = foldersTree_->currentItem();
    if (!item || !item->data(0, kFolderRole).isValid())
        return std::nullopt;
    return static_cast<std::uint32_t>(item->data(0, kFolderRole).toULongLong());
}

std::vector<MessageRef> LookInsideWindow::chosenMessages() const {
    std::vector<MessageRef> chosen;
    for (const QModelIndex& row : messagesView_->selectionModel()->selectedRows())
        chosen.push_back(messages_->at(sortedMessages_->mapToSource(row).row()).ref);
    return chosen;
}

void LookInsideWindow::setStatus(const QString& text) {
    statusLine_->setText(text);
}

void LookInsideWindow::updateButtons() {
    const auto file = chosenFile();
    const bool open = file && !files_[*file].opening && !files_[*file].folders.empty();
    const bool saving = saving_ != nullptr;
    searchButton_->setEnabled(open);
    saveMessagesButton_->setEnabled(saveMessages && !saving && listedFile_ &&
                                    messagesView_->selectionModel()->hasSelection());
    saveMboxButton_->setEnabled(saveMbox && !saving && open && chosenFolder().has_value());
    recoverButton_->setEnabled(prepareRecovery && file.has_value() && !recovering_);
}

bool LookInsideWindow::Busy() const {
    const bool opening =
        std::any_of(files_.begin(), files_.end(), [](const DataFile& f) { return f.opening; });
    return opening || reading_ || saving_ || recovering_;
}

} // namespace trelmig

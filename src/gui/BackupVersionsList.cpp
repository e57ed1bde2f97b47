#include "gui/BackupVersionsList.h"

#include "core/ItemCatalogue.h"
#include "core/ItemMask.h"
#include "core/KeepPolicy.h"
#include "gui/ByteProgressText.h"
#include "gui/ItemTexts.h"
#include "repository/RepositoryVersion.h"
#include "schedule/BackupVersions.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace trelmig {

namespace {

// The date in the locale's long form (short in the repository's columns),
// the time with its seconds (two versions may be a minute apart) but
// without a time zone.
QString WhenText(const VersionTime& t, QLocale::FormatType dateForm = QLocale::LongFormat) {
    const QLocale locale;
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return locale.toString(QDate(t.year, t.month, t.day), dateForm) + QStringLiteral("  ") +
           locale.toString(QTime(t.hour, t.minute, t.second), timeFormat.trimmed());
}

enum RepositoryColumn { ColTime, ColProfile, ColItems, ColAdded, ColName, RepositoryColumns };

// A profile's name may be long: beyond this many characters it is cut.
constexpr int kProfileColumnCharacters = 16;
// The version name keeps at least this many of its characters in sight.
constexpr int kNameColumnCharacters = 20;

// "3 of 8" items, each named in the tool tip.
void ShowItems(QTreeWidgetItem* row, const std::string& mask) {
    if (mask.empty())
        return;
    const ItemSelection boxes = ItemMask::Lenient(mask).Boxes();
    QStringList names;
    for (int i = 0; i < kItemCount; ++i)
        if (boxes[static_cast<std::size_t>(i)])
            names << ItemText(itemCatalogue()[static_cast<std::size_t>(i)].caption);
    row->setText(ColItems, BackupVersionsList::tr("%1 of %2").arg(names.size()).arg(kItemCount));
    row->setToolTip(ColItems, names.join(QLatin1Char('\n')));
}

} // namespace

BackupVersionsList::BackupVersionsList(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("BackupVersionsList"));
    versionsList_ = new QListWidget(this);
    versionsList_->setObjectName(QStringLiteral("lstVersions"));
    caption_ = new QLabel(tr("Versions of this backup, newest first"), this);
    caption_->setBuddy(versionsList_);
    repositoryVersions_ = new QTreeWidget(this);
    repositoryVersions_->setObjectName(QStringLiteral("lstRepositoryVersions"));
    repositoryVersions_->setRootIsDecorated(false);
    repositoryVersions_->setColumnCount(RepositoryColumns);
    repositoryVersions_->setHeaderLabels(
        {tr("Made"), tr("Profile"), tr("Items"), tr("Size added"), tr("Version")});
    // Every column in sight without scrolling sideways: the short ones as wide
    // as their texts, the long version name taking what is left, cut in the
    // middle where it must be (whole in its tool tip).
    QHeaderView* header = repositoryVersions_->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ColProfile, QHeaderView::Interactive);
    header->setSectionResizeMode(ColName, QHeaderView::Stretch);
    repositoryVersions_->setTextElideMode(Qt::ElideMiddle);
    repositoryVersions_->setAccessibleName(tr("Versions in the repository"));
    repositoryVersions_->hide();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(caption_);
    column->addWidget(versionsList_);
    column->addWidget(repositoryVersions_);
    connect(versionsList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            emit versionChosen(versionsList_->item(row)->data(Qt::UserRole).toString());
    });
    connect(repositoryVersions_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* row) {
                if (row)
                    emit repositoryVersionChosen(row->text(ColName));
            });
    hide();
}

void BackupVersionsList::Clear() {
    const QSignalBlocker quiet(versionsList_);
    const QSignalBlocker quietToo(repositoryVersions_);
    versionsList_->clear();
    repositoryVersions_->clear();
    caption_->setText(tr("Versions of this backup, newest first"));
    caption_->setBuddy(versionsList_);
    versionsList_->show();
    repositoryVersions_->hide();
    hide();
}

void BackupVersionsList::ShowRepositoryVersions(const std::vector<RepositoryVersion>& versions) {
    Clear();
    const QSignalBlocker quiet(repositoryVersions_);
    std::vector<const RepositoryVersion*> newestFirst;
    newestFirst.reserve(versions.size());
    for (const RepositoryVersion& v : versions)
        newestFirst.push_back(&v);
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
                     [](const auto* a, const auto* b) { return a->time > b->time; });
    for (const RepositoryVersion* v : newestFirst) {
        auto* row = new QTreeWidgetItem(repositoryVersions_);
        row->setText(ColTime, WhenText(LocalVersionTime(v->time), QLocale::ShortFormat));
        row->setToolTip(ColTime, WhenText(LocalVersionTime(v->time)));
        row->setText(ColProfile, QString::fromStdString(v->profile));
        row->setToolTip(ColProfile, row->text(ColProfile));
        ShowItems(row, v->items);
        row->setText(ColAdded, ByteSizeText(v->addedBytes));
        row->setTextAlignment(ColAdded, Qt::AlignRight | Qt::AlignVCenter);
        row->setToolTip(ColAdded, tr("It holds %1").arg(ByteSizeText(v->originalBytes)));
        row->setText(ColName, QString::fromStdString(v->name));
        row->setToolTip(ColName, row->text(ColName));
    }
    caption_->setText(tr("Versions in this repository, newest first"));
    caption_->setBuddy(repositoryVersions_);
    versionsList_->hide();
    repositoryVersions_->show();
    show();
    // As wide as the profiles' names, up to a limit (public in the base only).
    const QAbstractItemView* view = repositoryVersions_;
    QHeaderView* header = repositoryVersions_->header();
    const int least = header->sectionSizeHint(ColProfile);
    const int most = std::max(least, fontMetrics().averageCharWidth() * kProfileColumnCharacters);
    header->resizeSection(ColProfile, std::clamp(view->sizeHintForColumn(ColProfile), least, most));
    // The list asks for the room its columns need side by side, the name cut.
    int wanted = 2 * repositoryVersions_->frameWidth() +
                 repositoryVersions_->verticalScrollBar()->sizeHint().width() +
                 fontMetrics().averageCharWidth() * kNameColumnCharacters;
    for (int column = 0; column < ColName; ++column)
        wanted += column == ColProfile
                      ? header->sectionSize(column)
                      : std::max(view->sizeHintForColumn(column), header->sectionSizeHint(column));
    repositoryVersions_->setMinimumWidth(wanted);
}

void BackupVersionsList::SelectRepositoryVersion(const QString& name) {
    const QSignalBlocker quiet(repositoryVersions_);
    const auto found = repositoryVersions_->findItems(name, Qt::MatchExactly, ColName);
    if (!found.isEmpty()) {
        repositoryVersions_->setCurrentItem(found.front());
    } else { // none was open: none stays chosen
        repositoryVersions_->setCurrentItem(nullptr);
        repositoryVersions_->clearSelection();
    }
}

void BackupVersionsList::ShowVersionsOf(const QString& file) {
    Clear();
    const QString chosen = QFileInfo(file).absoluteFilePath();
    const QSignalBlocker quiet(versionsList_);
    const auto add = [this, &chosen](const QString& path, const QString& text) {
        auto* row = new QListWidgetItem(text, versionsList_);
        row->setData(Qt::UserRole, path);
        row->setToolTip(path);
        if (QFileInfo(path).absoluteFilePath() == chosen)
            versionsList_->setCurrentItem(row);
    };
    const auto versions = VersionsBeside(file.toStdString());
    // The name the versions go beside holds no time: a backup file of that
    // name heads the list by its name, whichever of them is open.
    const QFileInfo info(file);
    const auto versionOf = ChosenNameOfVersion(info.fileName().toStdString());
    const QString plain =
        versionOf ? info.dir().filePath(QString::fromStdString(*versionOf)) : info.filePath();
    if (!versions.empty() && QFileInfo(plain).isFile())
        add(plain, QFileInfo(plain).fileName());
    for (const BackupVersion& version : versions) {
        QString text = WhenText(version.time);
        if (version.partial)
            text += QStringLiteral("  ") + tr("(partial: some items are missing)");
        add(QString::fromStdString(version.path), text);
    }
    setVisible(versionsList_->count() > 1);
}

} // namespace trelmig

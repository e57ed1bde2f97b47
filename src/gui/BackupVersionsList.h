#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QTreeWidget;

namespace trelmig {

struct RepositoryVersion;

// The restore tab's list of the versions of the chosen backup file
// ("<name>-YYYY-MM-DD-HHMMSS.kvx" beside it, partial ones marked), newest
// first, each by its date and time in the user's locale, headed by
// "<name>.kvx" itself when it is there. Hidden while the file has no other
// version. For a repository it lists the repository's versions instead,
// newest first, each with its time, profile, items and the size it added.
class BackupVersionsList : public QWidget {
    Q_OBJECT
public:
    explicit BackupVersionsList(QWidget* parent = nullptr);

    // Lists the versions beside file, the one that is file selected.
    void ShowVersionsOf(const QString& file);
    // Lists a repository's versions (in any order), none selected; shown
    // even when it holds one version or none, since they are all it offers.
    void ShowRepositoryVersions(const std::vector<RepositoryVersion>& versions);
    // Selects the version of that name without announcing it; none when the
    // list has no such version.
    void SelectRepositoryVersion(const QString& name);
    void Clear();

signals:
    // The user chose the version at path.
    void versionChosen(const QString& path);
    // The user chose the repository's version of that name.
    void repositoryVersionChosen(const QString& name);

private:
    QLabel* caption_;
    QListWidget* versionsList_;
    QTreeWidget* repositoryVersions_;
};

} // namespace trelmig

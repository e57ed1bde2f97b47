#pragma once

#include <QWidget>

class QLabel;
class QListWidget;

namespace trelmig {

// The restore tab's list of the versions of the chosen backup file
// ("<name>-YYYY-MM-DD-HHMMSS.kvx" beside it, partial ones marked), newest
// first, each by its date and time in the user's locale, headed by
// "<name>.kvx" itself when it is there. Hidden while the file has no other
// version.
class BackupVersionsList : public QWidget {
    Q_OBJECT
public:
    explicit BackupVersionsList(QWidget* parent = nullptr);

    // Lists the versions beside file, the one that is file selected.
    void ShowVersionsOf(const QString& file);
    void Clear();

signals:
    // The user chose the version at path.
    void versionChosen(const QString& path);

private:
    QLabel* caption_;
    QListWidget* versionsList_;
};

} // namespace trelmig

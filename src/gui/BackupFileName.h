#pragma once

#include <QDate>
#include <QString>

namespace trelmig {

// The file name a new backup is offered: the profile's name made safe for a
// file name and lower-cased, and the day in ISO form: "outlook-2026-12-09.kvx".
QString ProposedBackupName(const QString& profile, const QDate& day);

} // namespace trelmig

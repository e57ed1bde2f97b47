#pragma once

#include "core/ProgressView.h"

#include <QLocale>
#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>

namespace trelmig {

// "Compressing Outlook.pst: 1.2 GB of 4.0 GB, 180 MB/s, about 20 s left", in
// the user's language and number format; the speed and the time left are
// left out while they are not known.
QString ByteProgressText(ByteWork work, const QString& item, std::uint64_t done,
                         std::uint64_t total, std::optional<double> bytesPerSecond,
                         std::optional<std::chrono::seconds> left,
                         const QLocale& locale = QLocale());

// A byte count as people read it ("1.2 GB", "512 bytes"), in that locale.
QString ByteSizeText(std::uint64_t bytes, const QLocale& locale = QLocale());

// A time left, rounded as people say it: "20 s", "3 min", "1 h 5 min".
QString TimeLeftText(std::chrono::seconds left);

} // namespace trelmig

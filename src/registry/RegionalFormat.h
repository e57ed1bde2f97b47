#pragma once

#include "core/DateTimeText.h"

namespace trelmig {

class modReg;

// From HKCU\Control Panel\International; en-US where a value is missing.
RegionalFormat ReadRegionalFormat(modReg& reg);

} // namespace trelmig

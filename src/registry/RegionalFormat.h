#pragma once

#include "core/DateTimeText.h"

namespace trelmig {

class RegistryKeys;

// From HKCU\Control Panel\International; en-US where a value is missing.
RegionalFormat ReadRegionalFormat(RegistryKeys& reg);

} // namespace trelmig

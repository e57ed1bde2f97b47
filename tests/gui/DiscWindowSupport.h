#pragma once

#include "DiscTestSupport.h"
#include "GuiTestSupport.h"

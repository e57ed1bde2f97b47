#pragma once

#include "DiscTestSupport.h"
#include "WindowTestSupport.h"

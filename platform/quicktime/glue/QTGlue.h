#pragma once
// The programs' side of the movie toolbox: each function forwards to the
// export of the same name in QuickTime.qts, loaded from the Windows system
// folder by InitializeQTML.
#include "QTToolbox.h"

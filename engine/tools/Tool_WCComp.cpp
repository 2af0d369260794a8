// The matcher is header-only so that callers inline it; this unit only checks that the
// header stands on its own.
#include "tools/Tool_WCComp.h"

#pragma once
// The searcher for every file type without a searcher of its own: scans the raw bytes.
#include "content/CT_Root.h"

class CT_Hex : public CT_Root {};

#pragma once
// The save rules moved to formats/, where the drawing window reaches them too.
#include "formats/save_target.h"

#pragma once
// The save rules live with the file formats, where every writer can reach them.
#include "formats/save_target.h"

// Erases of whole places that requests name by root: the free space of a volume, a whole
// volume, and the Recycle Bin.
#pragma once

#include "engine/entire_partition_erase.h"
#include "engine/free_space_erase.h"
#include "engine/recycle_bin_erase.h"

#include "plugin/frame_name_table.h"

FrameNameTable::FrameNameTable() : names{}, count(0) {}

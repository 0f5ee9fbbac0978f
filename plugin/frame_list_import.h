// Frame-list import: the frame names of an existing model file replace the
// table ("Import new frame list" on the panel).
#pragma once

#include "plugin/frame_name_table.h"

// Reads the frame names and count of the model file named by path (cut at
// the first "." of its file name, with ".md2") into the table; slots past
// the new count keep their names. The table changes only when the whole
// file could be read: a file that is not a model ("IDP2"), has more frames
// than the table has slots or a negative count, or ends before its frames
// do, leaves it as it was and gives 0.
int ReadFrameNames(const char* path, FrameNameTable* table);

// The wait cursor while the set-up library holds the user-interface thread: the program's
// own, so that the library's message boxes are answered with the ordinary pointer.
#pragma once

#include "platform/wait_cursor.h"

using WaitCursor = platform::WaitCursor;

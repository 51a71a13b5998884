// Messages the document posts to itself (its own message target, m_docWindow), so that work
// finished on another thread is taken over on the user-interface thread.
#pragma once

#include "platform/win_types.h"

extern const UINT WM_TVX_AREA_RESULTS;  // the area worker has results
extern const UINT WM_TVX_DEFERRED_EXIT;  // a start-up failure asks for the exit command
extern const UINT WM_TVX_FIRST_FIX;     // the first-fix wait has ended
extern const UINT WM_TVX_GPS_LOST;      // the reader lost its receiver (wParam: switch-on)

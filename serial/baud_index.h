// BaudIndex: a serial speed as a small integer, as stored in the options ("Baudios")
// and passed to every export of the receiver set-up library.
//   index    0     1     2     3      4      5      6      7      8
//   bit/s 1200  4800  9600  14400  19200  38400  56000  57600  115200
// -1 in the options means that no port is configured.
#pragma once

#include "platform/win_types.h"

constexpr int kBaudIndexCount = 9;

// The rate of an index; 4800 for 1 and for any index outside 0..8 (including -1).
DWORD BaudRateForIndex(int baudIndex);

// "1200" .. "115200"; an empty text for an index outside 0..8.
const char* BaudTextForIndex(int baudIndex);

// How the grid's in-place editors treat the character that opened them and the keys typed
// into them. Characters and keys are the platform's virtual-key and character codes.
#pragma once

#include "platform/win_types.h"

// What an editor does with the character that opened it.
struct GridEditStart {
  bool selectAll = false;   // select the whole text (else the caret goes to its end)
  bool deliver = false;     // then type the character into it
};
GridEditStart GridEditStartFor(UINT character);

// Whether the edit opened by typing (rather than by the stylus or F2): then the arrows and
// page keys leave the editor and move the grid's focus.
inline bool GridEditStartedByTyping(UINT character) { return character != 0x01; }

// A key press in an editor: true when it ends the edit (the key then moves the grid's
// focus). Page and arrow keys end it when the edit began by typing or Ctrl is held; every
// other key acts inside the text.
bool GridEditEndsOnKey(UINT key, bool startedByTyping, bool ctrlHeld);

// A typed character in a text editor: Tab and Enter end the edit; Escape ends it and puts
// the initial text back.
enum class GridEditChar { Type, End, Cancel };
GridEditChar GridEditCharAction(UINT character);

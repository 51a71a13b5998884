// Sounds: a WAVE resource or file played asynchronously, and the message beep.
//
// Playing never blocks the caller and never fails loudly: the sound goes to the first player
// program found on PATH (pw-play, paplay, aplay), started in the background; without one, or
// without an audio device, nothing is heard. TVX_NO_SOUND=1 in the environment silences all.
#pragma once

#include <functional>
#include <string>

#include "platform/win_types.h"

// PlaySound flags (the combinations the program uses).
constexpr DWORD SND_ASYNC = 0x0001;
constexpr DWORD SND_FILENAME = 0x00020000;
constexpr DWORD SND_RESOURCE = 0x00040004;

// SND_RESOURCE: `sound` is the numeric id (as a string of digits) of a "WAVE" item of
// `module` (nullptr: the program's own resources). SND_FILENAME: `sound` is a path.
// Returns TRUE when the sound was handed to a player.
BOOL PlaySound(const std::string& sound, HMODULE module, DWORD flags);

// The system's notification sound of a message-box type (MB_ICONEXCLAMATION ...). The
// windowed program installs a backend (the toolkit's bell); without one nothing happens.
BOOL MessageBeep(UINT type);

namespace platform {

void SetBeepBackend(std::function<void(UINT type)> backend);

// How many sounds and beeps were asked for since the start (tests).
int SoundsRequested();
int BeepsRequested();

}  // namespace platform

#pragma once
// The play head controls of the main window.

namespace zam {

// Kills the playback timer, shows "|>" on the play button and forgets the last tick.
void StopPlayback();

}  // namespace zam

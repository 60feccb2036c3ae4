#pragma once

// The delay the keyboard hook adds to every key press of the desktop: from SendInput of a key-down
// to its WM_KEYDOWN taken off the queue of the focused window's thread, with no hook, with the hook
// on its own thread while the GUI thread (this one) takes messages or encodes 1080p PNGs between
// its messages, and for comparison with a pass-through hook on the GUI thread itself, encoding the
// same way. Prints one line per case:
//   KEY <tab> label <tab> samples <tab> min ms <tab> median ms <tab> max ms
// Raises AppException when a key never reaches the window.
void benchKeyDelay(int runs);

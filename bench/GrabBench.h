#pragma once

// The cost of grabbing the whole screen: the program's grab (grabFullScreen), the grab it did
// before (a compatible bitmap, then GetDIBits into the frame), and the floor, one BitBlt into a
// 24-bit DIB section and nothing more. Prints one line per case:
//   GRAB <tab> label <tab> WxH <tab> min ms <tab> median ms
// Raises AppException when a grab fails.
void benchScreenGrab(int runs);

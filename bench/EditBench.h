#pragma once

// What sending from the editor adds to a capture of the same size: flattening a document with a
// redaction box, a pixelated area, outlines, an arrow, text and a numbered step, and the copy
// into the frame that goes to the outputs. Prints one line:
//   EDIT <tab> label <tab> WxH <tab> min ms <tab> median ms
void benchEditSend(int width, int height, int runs);

#pragma once

#include "editor/EditImage.h"

#include <string>
#include <vector>

enum class ShapeKind {
    Rectangle, // outline
    Ellipse,   // outline
    Arrow,     // line with a head at its end point
    Line,
    Pen,         // freehand
    Highlighter, // freehand, multiplied with translucent yellow
    Text,        // typed text; its first point is the top left of the first line
    Step,        // a number in a filled circle centred on its point
    RedactBox,   // filled, solid
    Pixelate,
};

// One shape of the document, in the coordinates of the image as captured (not as cropped).
// Two-point shapes keep the press and the release point; freehand ones every point of the
// stroke.
struct stShape {
    ShapeKind kind = ShapeKind::Rectangle;
    stEditColour colour;
    int width = 2;
    std::vector<stEditPoint> points;
    std::wstring text;
    int number = 0; // a numbered step's number

    // The rectangle of the first and last point (two-point shapes), or of every point.
    stEditRect pointBounds() const;
    bool operator==(const stShape& other) const {
        return kind == other.kind && colour == other.colour && width == other.width &&
               points == other.points && text == other.text && number == other.number;
    }
};

// Freehand shapes keep every point, the others only their first and last.
bool isFreehand(ShapeKind kind);

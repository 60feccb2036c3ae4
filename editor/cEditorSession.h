#pragma once

#include "editor/EditorTools.h"
#include "editor/cEditDocument.h"

#include <optional>
#include <string>

// What the user's presses, drags, releases and typing do to the document: the chosen tool,
// colour and width, the shape being drawn, the text being typed and the shape selected. All in
// the captured image's coordinates; the window maps the pointer there.
class cEditorSession {
public:
    explicit cEditorSession(stEditImage original) : document_(std::move(original)) {}

    cEditDocument& document() { return document_; }
    const cEditDocument& document() const { return document_; }

    EditorTool tool() const { return tool_; }
    // Choosing a tool ends any text and drops the selection.
    void chooseTool(EditorTool tool);
    // The redaction box keeps a colour of its own, black until chosen while it is the tool.
    void chooseColour(std::size_t index);
    // The colour the current tool draws with: the redaction box's own while it is the tool.
    std::size_t colourIndex() const {
        return tool_ == EditorTool::RedactBox ? redactColour_ : colour_;
    }
    void chooseWidth(std::size_t index) { width_ = index < kWidthCount ? index : width_; }
    std::size_t widthIndex() const { return width_; }
    int width() const { return kWidths[width_]; }

    void press(stEditPoint at);
    void drag(stEditPoint to);
    void release(stEditPoint at);

    // Text being typed: characters, Backspace, and its end (false when none was being typed).
    bool typing() const { return text_.has_value(); }
    void type(wchar_t c);
    void backspace();
    bool endText();
    void cancelText() { text_.reset(); }

    // Delete: the selected shape, else the last one.
    bool removeSelectedOrLast();
    bool undo();
    bool redo();

    // The shape in progress (being drawn, or the text being typed), if any, to show over the
    // document; the selected shape and how far it is being dragged.
    std::optional<stShape> pending() const;
    int selected() const { return selected_; }
    stEditPoint moveOffset() const { return {moveTo_.x - moveFrom_.x, moveTo_.y - moveFrom_.y}; }
    bool moving() const { return moving_; }

private:
    stShape startShape(ShapeKind kind, stEditPoint at) const;

    cEditDocument document_;
    EditorTool tool_ = EditorTool::Rectangle;
    std::size_t colour_ = 0;
    std::size_t redactColour_ = 4; // black
    std::size_t width_ = 0;
    std::optional<stShape> drawing_;
    std::optional<stShape> text_;
    int selected_ = -1;
    bool moving_ = false;
    stEditPoint moveFrom_, moveTo_;
};

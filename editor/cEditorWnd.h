#pragma once

#include "capture/cFrame.h"
#include "editor/EditorView.h"
#include "editor/GdiShapePainter.h"
#include "editor/IEditorOutput.h"
#include "editor/cEditorSession.h"
#include "platform/Window.h"

#include <memory>

// The editor window, "编辑截图": a window of its own beside the rest of the program (not modal),
// showing the captured region with a toolbar above it. Enter or Ctrl+S sends the flattened image
// to the output and closes; Ctrl+C copies it; Escape or the close box closes without sending,
// after asking when anything was drawn.
class cEditorWnd : public Window {
public:
    static constexpr const wchar_t* kCaption = L"编辑截图";

    explicit cEditorWnd(IEditorOutput* output) noexcept : output_(output) {}
    ~cEditorWnd() override;

    // Shows the frame's pixels in a new window in front; false when the window could not be made.
    bool open(const cFrame& frame);
    bool isOpen() const noexcept { return hwnd() != nullptr; }
    void bringToFront() noexcept;
    const cEditorSession* session() const noexcept { return session_.get(); }

protected:
    bool onPaint() override;
    bool onSize(int width, int height) override;
    bool onKeyDown(UINT key, int repeatCount, UINT flags) override;
    bool onLeftButtonDown(POINT at) override;
    bool onLeftButtonUp(POINT at) override;
    bool onMouseMove(POINT at) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool onControlKey(UINT key);
    void onChar(wchar_t c);
    void onWheel(int delta, bool zoom);
    void onScroll(int bar, int request);
    void send();
    void copy();
    // Escape and the close box: asks "放弃修改?" when anything was drawn.
    void closeAsked();
    // Brings the flattened image in line with the document, unless it is already.
    void refreshFlat();
    void changed();
    void redraw();
    void updateScrollBars();
    stEditImage shownImage() const;

    IEditorOutput* output_;
    std::unique_ptr<cEditorSession> session_;
    GdiShapePainter painter_;
    EditorView view_;
    stEditImage flat_;
    unsigned long long flatRevision_ = 0;
    bool dragging_ = false;
};

#include "output/ImageFilePath.h"

#include "output/FrameFormat.h"
#include "platform/PathText.h"

std::wstring imageFilePath(const std::wstring& folder, const std::wstring& frameName,
                           int formatCode) {
    std::wstring path = withTrailingBackslash(folder);
    path += frameName;
    path += extensionFor(formatCode);
    return path;
}

#include "output/ImageFilePath.h"

#include "output/FrameFormat.h"

std::wstring imageFilePath(const std::wstring& folder, const std::wstring& frameName,
                           int formatCode) {
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    path += frameName;
    path += extensionFor(formatCode);
    return path;
}

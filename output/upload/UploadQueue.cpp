#include "output/upload/UploadQueue.h"

#include "output/FrameFormat.h"
#include "output/FrameWriting.h"
#include "platform/DiskFile.h"
#include "platform/FileException.h"
#include "platform/Handles.h"
#include "platform/PathText.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cwctype>
#include <utility>
#include <vector>

namespace {

// Past this many taken names the queue is not one to fill further.
constexpr int kNumbersTried = 1000;
constexpr wchar_t kPartEnding[] = L".part";

bool endsWithNoCase(const std::wstring& text, const std::wstring& ending) {
    if (text.size() < ending.size())
        return false;
    return std::equal(ending.begin(), ending.end(), text.end() - ending.size(),
                      [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

bool exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Calls visit(data) for every file (not folder) of the folder.
template <typename Visit> void forEachFile(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW data{};
    UniqueFindHandle search(::FindFirstFileW((folder + L"*").c_str(), &data));
    if (!search)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            visit(data);
    } while (::FindNextFileW(search.get(), &data));
}

void copyFile(const std::wstring& from, DiskFile& to) {
    DiskFile source(from, DiskFile::Mode::OpenRead);
    std::vector<unsigned char> piece(1 << 20);
    while (const std::size_t got = source.read(piece.data(), piece.size()))
        to.write(piece.data(), got);
}

} // namespace

UploadQueue::UploadQueue(std::wstring folder) {
    setFolder(std::move(folder));
}

void UploadQueue::setFolder(std::wstring folder) {
    folder_ = folder.empty() ? std::wstring() : withTrailingBackslash(std::move(folder));
}

bool UploadQueue::isQueuedName(const std::wstring& fileName) {
    for (const wchar_t* ending : {L".png", L".jpg", L".bmp"})
        if (fileName.size() > 4 && endsWithNoCase(fileName, ending))
            return true;
    return false;
}

std::wstring UploadQueue::add(const cFrame& frame, int format, const std::wstring& copyOf,
                              const std::wstring& suffix, IFrameOutputUpdate* update) {
    if (folder_.empty())
        throw FileException(ERROR_PATH_NOT_FOUND, L"Unsent",
                            L"The folder for unsent images is not known.");
    // The folder may not exist yet, or the user removed it; if it still can't be had, creating
    // the file fails and says why.
    ::SHCreateDirectoryExW(nullptr, folder_.substr(0, folder_.size() - 1).c_str(), nullptr);
    const int first = frame.nameNumber > 1 ? frame.nameNumber : 1;
    for (int number = first; number < first + kNumbersTried; ++number) {
        const std::wstring name =
            cFrame::fileStemFor(frame.name, number) + suffix + extensionFor(format);
        const std::wstring path = pathOf(name);
        if (exists(path))
            continue;
        const std::wstring part = path + kPartEnding;
        if (!writeImage(part, frame, format, copyOf, update))
            return {};
        if (::MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
            return name;
        const DWORD error = ::GetLastError();
        ::DeleteFileW(part.c_str());
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            throw FileException(error, path);
    }
    throw FileException(ERROR_FILE_EXISTS,
                        pathOf(frame.fileStem() + suffix + extensionFor(format)));
}

bool UploadQueue::writeImage(const std::wstring& partPath, const cFrame& frame, int format,
                             const std::wstring& copyOf, IFrameOutputUpdate* update) const {
    DiskFile file(partPath, DiskFile::Mode::CreateReadWrite);
    try {
        if (copyOf.empty()) {
            if (!writeFrameAs(format, &frame, &file, update)) {
                file.discard();
                return false;
            }
        } else {
            copyFile(copyOf, file);
        }
        // On the disk before its name says it is queued.
        file.flush();
        file.close();
    } catch (...) {
        file.discard();
        throw;
    }
    return true;
}

std::vector<std::wstring> UploadQueue::list() const {
    std::vector<std::pair<ULONGLONG, std::wstring>> found;
    forEachFile(folder_, [&](const WIN32_FIND_DATAW& data) {
        if (!isQueuedName(data.cFileName))
            return;
        const ULONGLONG written =
            (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
            data.ftLastWriteTime.dwLowDateTime;
        found.emplace_back(written, data.cFileName);
    });
    std::sort(found.begin(), found.end());
    std::vector<std::wstring> names;
    for (auto& file : found)
        names.push_back(std::move(file.second));
    return names;
}

bool UploadQueue::remove(const std::wstring& fileName) noexcept {
    return ::DeleteFileW(pathOf(fileName).c_str()) != FALSE;
}

void UploadQueue::removeUnfinished() noexcept {
    try {
        forEachFile(folder_, [&](const WIN32_FIND_DATAW& data) {
            if (endsWithNoCase(data.cFileName, kPartEnding))
                ::DeleteFileW(pathOf(data.cFileName).c_str());
        });
    } catch (...) {
        // Without memory to name them, the half-written files stay; nothing sends them.
    }
}

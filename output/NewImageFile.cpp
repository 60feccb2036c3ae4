#include "output/NewImageFile.h"

#include "output/FrameWriting.h"
#include "output/ImageFilePath.h"
#include "platform/DiskFile.h"
#include "platform/FileException.h"
#include "platform/StageTimes.h"

namespace {

// Past this many taken names the folder is not one to fill further.
constexpr int kNumbersTried = 1000;

DiskFile createFreeFile(const std::wstring& folder, const cFrame& frame, int format, int& number) {
    const int first = frame.nameNumber > 1 ? frame.nameNumber : 1;
    for (number = first;; ++number) {
        const std::wstring path =
            imageFilePath(folder, cFrame::fileStemFor(frame.name, number), format);
        // A cut name would land the image somewhere the user did not choose.
        if (path.size() > kMaxImagePathLength)
            throw FileException(ERROR_FILENAME_EXCED_RANGE, path,
                                L"The path of the image file is too long.");
        try {
            return DiskFile(path, DiskFile::Mode::CreateNew);
        } catch (const FileException& error) {
            const bool taken =
                error.osError() == ERROR_FILE_EXISTS || error.osError() == ERROR_ALREADY_EXISTS;
            if (!taken || number - first + 1 >= kNumbersTried)
                throw;
        }
    }
}

} // namespace

NewImageFile saveNewImageFile(const std::wstring& folder, const cFrame& frame, int format,
                              IFrameOutputUpdate* update) {
    NewImageFile saved;
    DiskFile file = createFreeFile(folder, frame, format, saved.nameNumber);
    saved.path = file.path();
    try {
        saved.complete = writeFrameAs(format, &frame, &file, update);
        markStage(Stage::FileEncoded);
        if (saved.complete) {
            file.flush();
            file.close();
            markStage(Stage::FileClosed);
        }
    } catch (...) {
        file.discard();
        throw;
    }
    if (!saved.complete)
        file.discard();
    return saved;
}

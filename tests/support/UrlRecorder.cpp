// Stands in for the browser in tests: registered as the http and https handler, it writes the
// address it was given to the file named by its first argument.
//   UrlRecorder.exe RECORD_FILE ADDRESS
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    const std::wstring record = argv[1];
    const std::wstring address = argv[2];
    // Written aside and moved into place, so a reader never sees half an address.
    const std::wstring partial = record + L".partial";
    HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(address.size() * sizeof(wchar_t));
    const bool ok = ::WriteFile(file, address.data(), bytes, &written, nullptr) && written == bytes;
    ::CloseHandle(file);
    if (!ok || !::MoveFileExW(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING))
        return 1;
    return 0;
}

#include "platform/FtpDirectoryEnumerator.h"

#include "platform/InternetException.h"

bool FtpDirectoryEnumerator::findFirst(const std::wstring& pattern, DWORD flags) {
    find_.reset();
    entry_ = {};
    HINTERNET find =
        ::FtpFindFirstFileW(connection_.handle(), pattern.empty() ? nullptr : pattern.c_str(),
                            &entry_, flags, context_);
    if (!find) {
        DWORD error = ::GetLastError();
        // Wine reports an empty listing as a failure without an error code.
        if (error == ERROR_NO_MORE_FILES || error == ERROR_SUCCESS)
            return false;
        throw InternetException(error);
    }
    find_.reset(find);
    return true;
}

bool FtpDirectoryEnumerator::findNext() {
    if (!find_)
        return false;
    if (::InternetFindNextFileW(find_.get(), &entry_))
        return true;
    DWORD error = ::GetLastError();
    if (error == ERROR_NO_MORE_FILES) {
        find_.reset();
        return false;
    }
    throw InternetException(error);
}

bool FtpDirectoryEnumerator::isDots() const noexcept {
    const wchar_t* name = entry_.cFileName;
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

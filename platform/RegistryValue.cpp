#include "platform/RegistryValue.h"

bool writeRegistryString(HKEY key, const wchar_t* name, const std::wstring& value) noexcept {
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

// Writes the program's Settings.dat (in the prefix's application data folder) with the program's
// own setting bag, for bench/run_e2e_bench.py. Each argument is one entry:
//   KEY=iNUMBER   an integer      KEY=bTRUE_OR_FALSE (1/0)   a flag      KEY=sTEXT   a string
// Usage: pixlance_bench_settings.exe Full=s17,16,70 DiskOutput=i1 Folder=sZ:\tmp\shots ...
#include "app/AppFolders.h"
#include "platform/AppException.h"
#include "settings/cBinSettingBag.h"

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    cBinSettingBag bag;
    for (int i = 1; i < argc; ++i) {
        const std::wstring entry = argv[i];
        const std::size_t equals = entry.find(L'=');
        if (equals == std::wstring::npos || equals + 1 >= entry.size()) {
            std::fwprintf(stderr, L"not KEY=[ibs]VALUE: %ls\n", argv[i]);
            return 2;
        }
        const std::wstring key = entry.substr(0, equals);
        const wchar_t kind = entry[equals + 1];
        const std::wstring value = entry.substr(equals + 2);
        if (kind == L'i')
            bag.setInt(key, static_cast<std::int32_t>(std::wcstol(value.c_str(), nullptr, 10)));
        else if (kind == L'b')
            bag.setBool(key, value == L"1");
        else if (kind == L's')
            bag.setString(key, value);
        else {
            std::fwprintf(stderr, L"unknown kind %lc in %ls\n", kind, argv[i]);
            return 2;
        }
    }
    try {
        bag.writeFile(settingsFolder() + L"Settings.dat");
    } catch (const AppException&) {
        std::fwprintf(stderr, L"could not write Settings.dat\n");
        return 1;
    }
    return 0;
}

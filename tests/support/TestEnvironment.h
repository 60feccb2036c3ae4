#pragma once

#include <string>
#include <vector>

// What the test harness hands the test programs through the environment. Paths come as the host
// sees them and are turned into paths this program can open (under Wine, on drive Z:).
namespace TestEnvironment {

std::wstring variable(const wchar_t* name);
// A host path as a Windows path: "/a/b" becomes "Z:\a\b"; Windows paths stay as they are.
std::wstring windowsPath(const std::wstring& hostPath);
// Folder where tests leave files for a person to look at (screenshots).
std::wstring artifactDir();
// A new empty folder of the test's own, under the fixture folder.
std::wstring freshTempDir(const std::wstring& name);
// The folder served by the FTP fixture NAME and its address.
std::wstring ftpRoot(const std::wstring& fixture);
std::wstring ftpAddress(const std::wstring& fixture);
// How many times the text stands in the log of the FTP fixture NAME (its server logs commands).
std::size_t ftpLogCount(const std::wstring& fixture, const std::string& text);

std::string readFileBytes(const std::wstring& path);
void writeFileBytes(const std::wstring& path, const std::string& bytes);
bool fileExists(const std::wstring& path);
// The names of the files (not folders) in a folder that match a pattern such as "*.png".
std::vector<std::wstring> filesIn(const std::wstring& folder, const std::wstring& pattern = L"*");
void removeTree(const std::wstring& path);

} // namespace TestEnvironment

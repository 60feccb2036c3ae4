#pragma once

// The product's own upload service: the defaults of the built-in target, which deployments
// replace through the registry, and the web site its failure hints name. Reserved names until a
// deployment sets its own.
namespace BuiltinTarget {

constexpr const wchar_t* kServer = L"ftp.pixlance.example";
constexpr const wchar_t* kUsername = L"uploads@pixlance.example";
constexpr const wchar_t* kPath = L"/";
constexpr const wchar_t* kUrl = L"http://img.pixlance.example";
// Not in the registry: the account's password is part of the program.
constexpr const wchar_t* kPassword = L"tolvenKorb4718P!";
constexpr const wchar_t* kWebSiteHost = L"www.pixlance.example";

} // namespace BuiltinTarget

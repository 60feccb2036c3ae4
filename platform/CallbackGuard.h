#pragma once

#include "platform/AppException.h"
#include "platform/MemoryException.h"

#include <new>

namespace CallbackGuardReports {
// Built at start-up: a report that memory ran out must not need any, and neither must the report
// of an exception we know nothing about.
inline const MemoryException outOfMemory;
inline const AppException unexpected(L"Unexpected error.");
} // namespace CallbackGuardReports

// Runs a handler at a boundary where the system called us (window, dialog, thread procedures):
// whatever it raises goes to report as one of our exceptions and never unwinds into the system.
template <typename Result, typename Handler, typename Report>
Result callGuarded(Handler&& handler, Report&& report, Result fallback) noexcept {
    try {
        return handler();
    } catch (const AppException& error) {
        report(error);
    } catch (const std::bad_alloc&) {
        report(CallbackGuardReports::outOfMemory);
    } catch (...) {
        report(CallbackGuardReports::unexpected);
    }
    return fallback;
}

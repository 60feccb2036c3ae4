#pragma once

#include "platform/AppException.h"
#include "platform/MemoryException.h"

#include <new>

// Runs a handler at a boundary where the system called us (window, dialog, thread procedures):
// whatever it raises goes to report as one of our exceptions and never unwinds into the system.
template <typename Result, typename Handler, typename Report>
Result callGuarded(Handler&& handler, Report&& report, Result fallback) noexcept {
    try {
        return handler();
    } catch (const AppException& error) {
        report(error);
    } catch (const std::bad_alloc&) {
        report(MemoryException());
    } catch (...) {
        report(AppException(L"Unexpected error."));
    }
    return fallback;
}

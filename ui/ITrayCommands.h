#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One finished upload as the icon's menu offers it.
struct stRecentUpload {
    std::wstring caption; // the image's file name
    std::wstring address; // its public address
};

// What the notification-area icon asks of the application for its menu commands.
class ITrayCommands {
public:
    virtual bool isPreferencesOpen() const = 0;
    // Exit waits while either is open: they hold what the user has not kept yet.
    virtual bool isEditorOpen() const = 0;
    virtual void showPreferences() = 0;
    // Captures whose upload has not been confirmed yet.
    virtual std::size_t unsentCount() const = 0;
    virtual void resendUnsent() = 0;
    // The last finished uploads, newest first.
    virtual std::vector<stRecentUpload> recentUploads() const = 0;
    virtual void copyAddress(const std::wstring& address) = 0;
    // The user logs off or the system shuts down: the process may end as soon as this returns.
    virtual void endSession() = 0;

protected:
    ~ITrayCommands() = default;
};

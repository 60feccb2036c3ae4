#pragma once

// What the notification-area icon asks of the application for its menu commands.
class ITrayCommands {
public:
    virtual bool isPreferencesOpen() const = 0;
    virtual void showPreferences() = 0;

protected:
    ~ITrayCommands() = default;
};

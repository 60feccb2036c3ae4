#pragma once

// Windows Sockets and OLE for the life of the application object. It is the object's first member,
// so it ends them after every other member, the uploads and the shell calls that use them included.
class PlatformServices {
public:
    PlatformServices() = default;
    PlatformServices(const PlatformServices&) = delete;
    PlatformServices& operator=(const PlatformServices&) = delete;
    ~PlatformServices();

    // Each false when the system refused.
    bool startSockets() noexcept;
    bool startOle() noexcept;

private:
    bool socketsStarted_ = false;
    bool oleStarted_ = false;
};

#pragma once

// GDI+ runs only while image objects for it exist: the first encode that needs it starts it, and
// the last image object to go shuts it down, so an idle program holds none of GDI+'s threads or
// memory. Uploads encode on worker threads, so the start-up state and the count of live image
// objects share one process-wide lock.
class GdiplusSession {
public:
    // Counts one more live image object.
    GdiplusSession();
    // One fewer; when none is left and GDI+ runs, shuts it down.
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    // Starts GDI+ unless it already runs; false when it cannot be started.
    bool start();

    static bool isRunning();
    static int liveObjects();
};

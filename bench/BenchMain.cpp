// Times the output pipeline on screen-like frames and prints one line per measurement:
//   ROW <tab> label <tab> WxH <tab> min ms <tab> median ms
// Usage: pixlance_bench.exe FTP_ADDRESS REFERENCE_FOLDER [RUNS]
//        pixlance_bench.exe --keys [RUNS]   the keyboard hook's delay per key instead (KeyDelay.h)
//        pixlance_bench.exe --grab [RUNS]   the full-screen grab instead (GrabBench.h)
//        pixlance_bench.exe --edit [RUNS]   what sending a 4K edit adds (EditBench.h)
// The FTP server takes the account tester / secret. The encoded frames are left in the reference
// folder, for bench/run_bench.py to send with curl.
#include "BenchClock.h"
#include "BenchContent.h"
#include "DiscardingFile.h"
#include "EditBench.h"
#include "GrabBench.h"
#include "KeyDelay.h"

#include "output/FrameWriting.h"
#include "output/GdiplusSession.h"
#include "output/upload/cFTPOutput.h"
#include "platform/AppException.h"
#include "platform/DiskFile.h"
#include "platform/InternetSession.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Sizes {
    int width;
    int height;
    std::wstring text() const { return std::to_wstring(width) + L"x" + std::to_wstring(height); }
};

void report(const std::wstring& label, const Sizes& size, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const double median =
        ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
    std::wprintf(L"ROW\t%ls\t%ls\t%.2f\t%.2f\n", label.c_str(), size.text().c_str(), ms.front(),
                 median);
    std::fflush(stdout);
}

// One thing to time; a run may give several results (one per label).
struct Measurement {
    std::vector<std::wstring> labels;
    std::function<std::vector<double>()> run;
    std::vector<std::vector<double>> results;
};

Measurement timed(std::wstring label, std::function<void()> work) {
    return {{std::move(label)},
            [work = std::move(work)] {
                const double start = nowMs();
                work();
                return std::vector<double>{nowMs() - start};
            },
            {}};
}

// Runs every measurement once per round, round after round, so that a busy moment of the machine
// spreads over all of them instead of spoiling one. The first round warms up and is not counted.
void runRounds(std::vector<Measurement>& measurements, const Sizes& size, int runs) {
    for (int round = 0; round <= runs; ++round) {
        for (Measurement& measurement : measurements) {
            std::vector<double> ms = measurement.run();
            if (round == 0)
                continue;
            measurement.results.resize(ms.size());
            for (std::size_t i = 0; i < ms.size(); ++i)
                measurement.results[i].push_back(ms[i]);
        }
    }
    for (Measurement& measurement : measurements)
        for (std::size_t i = 0; i < measurement.labels.size(); ++i)
            report(measurement.labels[i], size, measurement.results[i]);
}

const wchar_t* extensionOf(int format) {
    return format == 0 ? L".png" : format == 1 ? L".jpg" : L".bmp";
}
const wchar_t* nameOf(int format) {
    return format == 0 ? L"PNG" : format == 1 ? L"JPEG" : L"BMP";
}

void writeToDisk(const cFrame& frame, int format, const std::wstring& path) {
    DiskFile file(path, DiskFile::Mode::CreateReadWrite);
    if (!writeFrameAs(format, &frame, &file, nullptr))
        throw AppException(L"encoding failed");
    file.close();
}

CLSID encoderFor(const GUID& format) {
    using namespace Gdiplus::DllExports;
    UINT count = 0;
    UINT bytes = 0;
    GdipGetImageEncodersSize(&count, &bytes);
    std::vector<unsigned char> block(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.data());
    GdipGetImageEncoders(count, bytes, codecs);
    for (UINT i = 0; i < count; ++i)
        if (IsEqualGUID(codecs[i].FormatID, format))
            return codecs[i].Clsid;
    throw AppException(L"no encoder");
}

// GDI+ alone: a bitmap straight over the frame's pixels, saved to a file by GDI+ itself.
void bareGdiplusToDisk(const cFrame& frame, const CLSID& encoder, const std::wstring& path) {
    using namespace Gdiplus::DllExports;
    const int stride = static_cast<int>(frame.stride());
    Gdiplus::GpBitmap* bitmap = nullptr;
    // Negative stride from the last row: the bottom-up rows read top-down.
    if (GdipCreateBitmapFromScan0(frame.width, frame.height, -stride, PixelFormat24bppRGB,
                                  frame.pixels.get() +
                                      static_cast<std::size_t>(stride) * (frame.height - 1),
                                  &bitmap) != Gdiplus::Ok)
        throw AppException(L"no bitmap");
    const Gdiplus::GpStatus status = GdipSaveImageToFile(bitmap, path.c_str(), &encoder, nullptr);
    GdipDisposeImage(bitmap);
    if (status != Gdiplus::Ok)
        throw AppException(L"save failed");
}

void writeToFtp(const InternetSession& session, const std::wstring& server, const cFrame& frame,
                int format) {
    FtpConnection connection = session.connectFtp(server, L"tester", L"secret");
    FtpFile file = connection.openFile(std::wstring(L"/direct") + extensionOf(format));
    writeFrameAs(format, &frame, &file, nullptr);
    file.close();
}

// Signals when the upload has reported its outcome.
class Completion : public IFrameOutputUpdate {
public:
    Completion() : done_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~Completion() { ::CloseHandle(done_); }
    bool notify(bool ok, const std::wstring& title, const std::wstring&) override {
        if (title != L"Upload successfull" || !ok)
            failed_ = true;
        ::SetEvent(done_);
        return true;
    }
    void progress(const std::wstring&, const std::wstring&) override {}
    // The outcome arrives through this thread's messages, as on the program's GUI thread.
    void wait() {
        const ULONGLONG deadline = ::GetTickCount64() + 120000;
        for (;;) {
            const ULONGLONG now = ::GetTickCount64();
            const DWORD woke = ::MsgWaitForMultipleObjects(
                1, &done_, FALSE, now < deadline ? static_cast<DWORD>(deadline - now) : 0,
                QS_ALLINPUT);
            if (woke == WAIT_OBJECT_0)
                break;
            if (woke != WAIT_OBJECT_0 + 1)
                throw AppException(L"upload failed");
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&message);
        }
        if (failed_)
            throw AppException(L"upload failed");
    }

private:
    HANDLE done_;
    bool failed_ = false;
};

void benchSize(const Sizes& size, int runs, const std::wstring& server,
               const std::wstring& folder) {
    FramePtr frame = makeScreenLikeFrame(size.width, size.height);
    frame->name = L"bench_" + size.text();
    const std::wstring scratch = folder + L"\\scratch";
    const CLSID pngEncoder = encoderFor(Gdiplus::ImageFormatPNG);
    const CLSID jpegEncoder = encoderFor(Gdiplus::ImageFormatJPEG);
    InternetSession session(L"Pixlance bench");
    cFTPOutput output;
    output.setTarget(server, L"tester", L"secret", L"/", true);
    output.setFtpCustom(true);
    output.setOpenBrowser(false);
    output.setCopyUrl(false);
    output.setQueueFolder(folder + L"\\queue");
    output.setHistoryFile(folder + L"\\History.tsv");

    std::vector<Measurement> measurements;
    for (int format : {2, 0, 1}) {
        const std::wstring name = nameOf(format);
        measurements.push_back(timed(name + L" writer -> file",
                                     [&, format] { writeToDisk(*frame, format, scratch); }));
        measurements.push_back(timed(name + L" writer -> FTP (connect incl.)",
                                     [&, format] { writeToFtp(session, server, *frame, format); }));
        measurements.push_back(
            {{name + L" FTP output: put returns", name + L" FTP output: upload wall time"},
             [&, format] {
                 Completion completion;
                 output.setReceiver(&completion);
                 stCaptureRecord capture;
                 capture.frame = std::move(frame);
                 const double start = nowMs();
                 output.put(&capture, format, &completion);
                 frame = std::move(capture.frame);
                 const double returned = nowMs();
                 completion.wait();
                 return std::vector<double>{returned - start, nowMs() - start};
             },
             {}});
    }
    // GDI+ alone, and the writers while GDI+ runs (as while other encodes run); GDI+ is started
    // before the clock starts, which separates its start-up from the writers' own work.
    auto withGdiplusRunning = [](std::wstring label, std::function<void()> work) {
        return Measurement{{std::move(label)},
                           [work = std::move(work)] {
                               GdiplusSession running;
                               running.start();
                               const double start = nowMs();
                               work();
                               return std::vector<double>{nowMs() - start};
                           },
                           {}};
    };
    for (int format : {0, 1}) {
        const std::wstring name = nameOf(format);
        const CLSID& encoder = format == 0 ? pngEncoder : jpegEncoder;
        measurements.push_back(withGdiplusRunning(
            name + L" bare GDI+ -> file", [&] { bareGdiplusToDisk(*frame, encoder, scratch); }));
        measurements.push_back(
            withGdiplusRunning(name + L" writer -> file, GDI+ running",
                               [&, format] { writeToDisk(*frame, format, scratch); }));
        measurements.push_back(
            withGdiplusRunning(name + L" writer -> no file, GDI+ running", [&, format] {
                DiscardingFile nowhere;
                writeFrameAs(format, frame.get(), &nowhere, nullptr);
            }));
    }
    runRounds(measurements, size, runs);
    output.stopUploads(10000);

    // What curl sends in the reference measurement.
    for (int format : {2, 0, 1})
        writeToDisk(*frame, format, folder + L"\\" + frame->name + extensionOf(format));
    ::DeleteFileW(scratch.c_str());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const bool keys = argc >= 2 && std::wcscmp(argv[1], L"--keys") == 0;
    const bool edit = argc >= 2 && std::wcscmp(argv[1], L"--edit") == 0;
    if (keys || edit || (argc >= 2 && std::wcscmp(argv[1], L"--grab") == 0)) {
        const int runs =
            argc > 2 ? std::max(1, static_cast<int>(std::wcstol(argv[2], nullptr, 10))) : 7;
        try {
            if (keys)
                benchKeyDelay(runs);
            else if (edit)
                benchEditSend(3840, 2160, runs);
            else
                benchScreenGrab(runs);
        } catch (const AppException& error) {
            std::fwprintf(stderr, L"bench failed: %ls\n", error.message().c_str());
            return 1;
        }
        return 0;
    }
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: pixlance_bench FTP_ADDRESS REFERENCE_FOLDER [RUNS]\n"
                              L"       pixlance_bench --keys [RUNS]\n"
                              L"       pixlance_bench --grab [RUNS]\n"
                              L"       pixlance_bench --edit [RUNS]\n");
        return 2;
    }
    const std::wstring server = argv[1];
    const std::wstring folder = argv[2];
    const int runs =
        argc > 3 ? std::max(1, static_cast<int>(std::wcstol(argv[3], nullptr, 10))) : 7;
    try {
        for (const Sizes& size : {Sizes{1920, 1080}, Sizes{3840, 2160}})
            benchSize(size, runs, server, folder);
    } catch (const AppException& error) {
        std::fwprintf(stderr, L"bench failed: %ls\n", error.message().c_str());
        return 1;
    }
    return 0;
}

// A soak of the two ways a long session was seen to fail, against the real window and the fake
// devices on loopback:
//  1. Vimo-E sessions switched to Fenk-U without a disconnect, with frames flowing and every
//     core busy: each switch must bring the Fenk-U its parameter query.
//  2. A Fenk-U at 20 measurements a second that never answers the query (so its receiver posts
//     a frame for every data type, five a measurement), once on a quiet machine and once with
//     every core busy: the window must answer a posted call within 1 s all along and its memory
//     stay flat.
// Prints what it measured and whether each goal was met; exits 1 when one was not.
//
//   soak_session [seconds of each flood] [switches]      (defaults 30 and 10)
//
// Runs inside its own network namespace (isolatednetwork.h); scripts/soak_session.sh does that.

#include "busycores.h"
#include "dialog_connect.h"
#include "fakefenku.h"
#include "fakevimo.h"
#include "inisettings.h"
#include "isolatednetwork.h"
#include "lhframe.h"
#include "mainwindowaccess.h"
#include "messagebox.h"
#include "ratetable.h"
#include "windowbench.h"
#include "recvdataproc.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSurfaceFormat>
#include <QTest>
#include <QTimer>
#include <QVTKOpenGLNativeWidget.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Resident memory of this process in MB.
double residentMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Lets the window's events run until `done` holds or `ms` have passed.
template <typename Pred> bool waitFor(Pred done, int ms)
{
    return QTest::qWaitFor(done, ms);
}

size_t commandsOfType(FakeFenkU &fenk, uint16_t type)
{
    size_t n = 0;
    for (const auto &c : fenk.commands())
        if (c.size() >= 8 && rd_u16(c.data() + 6) == type)
            ++n;
    return n;
}

// The switches: returns the number of switches whose Fenk-U got no query.
int soakSwitches(MainWindow &window, int switches)
{
    MainWindowTestAccess a(window);
    FakeVimo vimo;
    VimoFrameStream stream(vimo);
    BusyCores busy(BusyCores::cores());
    int missed = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < switches; ++i) {
        const int vimoLocal = ratetable::free_port();
        vimo.set_host("127.0.0.1", vimoLocal);
        answer_connect(vimo.ip(), vimo.port(), vimoLocal, "SOAK");
        window.findChild<QAction *>("actionVimo_E")->trigger();
        stream.set_sending(true);
        waitFor([&] { return a.currentModel() == LIDAR_VIMO_E && !a.scene().frameCounts().empty(); }, 5000);

        FakeFenkU fenk;
        fenk.set_command_handler([](const std::vector<uint8_t> &) { return std::vector<uint8_t>(); });
        answer_connect(fenk.ip(), fenk.port(), ratetable::free_port(), "SOAK");
        window.findChild<QAction *>("actionFenk_U")->trigger();
        if (!waitFor([&] { return commandsOfType(fenk, 7) >= 1; }, 5000)) {
            ++missed;
            std::printf("  switch %d: no parameter query reached the Fenk-U\n", i + 1);
        }
        stream.set_sending(false);
    }
    window.recv_data(MSG_STOP, QByteArray());
    std::printf("1. %d Vimo-E -> Fenk-U switches beside %u busy threads in %.1f s: %d without the Fenk-U query "
                "(goal: 0) -> %s\n",
                switches, BusyCores::cores(), double(clock.elapsed()) / 1000.0, missed, missed == 0 ? "met" : "NOT met");
    return missed;
}

struct FloodResult {
    int measurements = 0;
    long frames = 0;
    double maxLatencyMs = 0.0;
    double medianLatencyMs = 0.0;
    double rssAfterWarmUp = 0.0;
    double rssPeak = 0.0;
    double rssEnd = 0.0;
    double drainMs = 0.0;
};

// The flood: a Fenk-U flood for `seconds`, probing every 100 ms how long a posted call waits.
FloodResult soakFlood(MainWindow &window, int seconds, bool busyCores)
{
    MainWindowTestAccess a(window);
    FloodResult r;
    FakeFenkU fenk;
    fenk.set_command_handler([](const std::vector<uint8_t> &) { return std::vector<uint8_t>(); });
    const int local = ratetable::free_port();
    answer_connect(fenk.ip(), fenk.port(), local, "SOAK");
    window.findChild<QAction *>("actionFenk_U")->trigger();
    if (a.session().fenkReceiver() == nullptr)
        return r;
    fenk.set_host("127.0.0.1", local);
    std::atomic<long> frames{0};
    QObject::connect(a.session().fenkReceiver(), &RecvDataProc::sig_framedata,
                     [&](const std::vector<UserPointData> &, int) { ++frames; });

    std::unique_ptr<BusyCores> busy;
    if (busyCores)
        busy = std::make_unique<BusyCores>(BusyCores::cores());
    std::atomic<bool> sending{true};
    std::atomic<int> sent{0};
    std::thread sender([&] {
        auto next = std::chrono::steady_clock::now();
        for (uint32_t m = 0; sending; ++m) {
            fenk.send_all(fenku_measurement(40, 30, m));
            ++sent;
            next += std::chrono::milliseconds(50);
            std::this_thread::sleep_until(next);
        }
    });

    // The probe: a call posted to the window and the time it waited behind everything queued
    // before it (the clicks of a user wait the same way).
    std::vector<double> latencies;
    QElapsedTimer clock;
    clock.start();
    QTimer probe;
    probe.setInterval(100);
    QObject::connect(&probe, &QTimer::timeout, &window, [&] {
        const qint64 posted = clock.nsecsElapsed();
        QTimer::singleShot(0, &window, [&, posted] { latencies.push_back(double(clock.nsecsElapsed() - posted) / 1e6); });
    });
    probe.start();
    const qint64 warmUpMs = std::min<qint64>(5000, seconds * 1000 / 4);
    bool warm = false;
    while (clock.elapsed() < qint64(seconds) * 1000) {
        QTest::qWait(250);
        const double rss = residentMb();
        r.rssPeak = std::max(r.rssPeak, rss);
        if (!warm && clock.elapsed() >= warmUpMs) {
            warm = true;
            r.rssAfterWarmUp = rss;
        }
    }
    probe.stop();
    sending = false;
    sender.join();
    // What is still queued once the sensor stops: how long until a call posted now runs.
    const qint64 stopAt = clock.nsecsElapsed();
    bool drained = false;
    QTimer::singleShot(0, &window, [&] { drained = true; });
    waitFor([&] { return drained; }, 120000);
    r.drainMs = double(clock.nsecsElapsed() - stopAt) / 1e6;
    r.rssEnd = residentMb();
    busy.reset();
    window.recv_data(MSG_STOP, QByteArray());

    r.measurements = sent;
    r.frames = frames;
    if (!latencies.empty()) {
        r.maxLatencyMs = *std::max_element(latencies.begin(), latencies.end());
        std::sort(latencies.begin(), latencies.end());
        r.medianLatencyMs = latencies[latencies.size() / 2];
    }
    return r;
}

bool report(const char *label, int seconds, const FloodResult &r)
{
    const bool answering = r.maxLatencyMs < 1000.0 && r.drainMs < 1000.0;
    // Flat: what the process holds at the end is within 20 MB of what it held after warming up.
    const bool flat = r.rssEnd - r.rssAfterWarmUp < 20.0;
    std::printf("2. Fenk-U flood without a mask, %s, %d s: %d measurements, %ld frames posted\n", label, seconds,
                r.measurements, r.frames);
    std::printf("   posted call waited ms: median %.1f  max %.1f; after the sensor stopped %.1f (goal: under 1000) -> "
                "%s\n",
                r.medianLatencyMs, r.maxLatencyMs, r.drainMs, answering ? "met" : "NOT met");
    std::printf("   resident MB: after warm-up %.1f  peak %.1f  end %.1f (goal: end within 20 of warm-up) -> %s\n",
                r.rssAfterWarmUp, r.rssPeak, r.rssEnd, flat ? "met" : "NOT met");
    return answering && flat;
}

} // namespace

int main(int argc, char **argv)
{
    if (!only_loopback())
        return 2;
    const int seconds = argc > 1 ? std::max(4, std::atoi(argv[1])) : 30;
    const int switches = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QSurfaceFormat::setDefaultFormat(QVTKOpenGLNativeWidget::defaultFormat());
    QApplication app(argc, argv);
    BenchSettings settings;
    set_warning_handler([](QWidget *, const QString &title, const QString &text, QMessageBox::StandardButtons) {
        std::printf("   (box: %s: %s)\n", qPrintable(title), qPrintable(text));
        return QMessageBox::Ok;
    });
    MainWindow window;
    window.setBindAddress("127.0.0.1");
    QTest::qWaitForWindowExposed(&window);

    bool met = soakSwitches(window, switches) == 0;
    met = report("quiet machine", seconds, soakFlood(window, seconds, false)) && met;
    char busyLabel[64];
    std::snprintf(busyLabel, sizeof busyLabel, "%u busy threads beside", BusyCores::cores());
    met = report(busyLabel, seconds, soakFlood(window, seconds, true)) && met;
    return met ? 0 : 1;
}

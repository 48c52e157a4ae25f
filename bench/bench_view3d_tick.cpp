// The 100 ms tick of the main window while a fake Raxo streams full scans (450 packets, 54,000
// points) at 20 frames per second through a real Raxo receiver wired to the window's frame
// slots. Every tick is timed: when it started against the one before (lateness beyond 100 ms)
// and how long its draw took. Goal: every draw done within its 100 ms tick.
//
//   bench_view3d_tick [seconds] [frames kept]      (defaults 10 and 1, a Raxo session's)
//
// Runs inside its own network namespace (isolatednetwork.h).

#include "fakeraxo.h"
#include "inisettings.h"
#include "isolatednetwork.h"
#include "mainwindowaccess.h"
#include "ratetable.h"
#include "raxoscene.h"
#include "recvdataproc2.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QSurfaceFormat>
#include <QTest>
#include <QTimer>
#include <QVTKOpenGLNativeWidget.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char **argv)
{
    if (!only_loopback())
        return 2;
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int kept = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QSurfaceFormat::setDefaultFormat(QVTKOpenGLNativeWidget::defaultFormat());
    QApplication app(argc, argv);
    IniSettings::instance()->load(QDir::tempPath().toStdString(), "/QuorvelView3D.ini", "main_ini");
    MainWindow window;
    QTest::qWaitForWindowExposed(&window);
    MainWindowTestAccess a(window);
    a.scene().framesKept() = kept;
    a.displayPaused() = false;

    // The tick, timed: the window's own slot between two clock readings.
    std::vector<double> drawMs, intervalMs;
    QElapsedTimer clock;
    clock.start();
    qint64 lastStart = -1;
    int draws = 0;
    QObject::disconnect(a.tickTimer(), nullptr, &window, nullptr);
    QObject::connect(a.tickTimer(), &QTimer::timeout, &window, [&] {
        const qint64 t0 = clock.nsecsElapsed();
        const bool drawing = a.redrawFlag();
        window.recv_timeout();
        const qint64 t1 = clock.nsecsElapsed();
        if (lastStart >= 0)
            intervalMs.push_back(double(t0 - lastStart) / 1e6);
        lastStart = t0;
        if (drawing) {
            ++draws;
            drawMs.push_back(double(t1 - t0) / 1e6);
        }
    });

    const int dataPort = ratetable::free_port();
    const int cmdPort = ratetable::free_port();
    FakeRaxo fake("127.0.0.2");
    fake.set_host("127.0.0.1", dataPort);
    auto *rx = new RecvDataProc2();
    rx->init(dataPort, "127.0.0.2", fake.listen_port());
    rx->setBindAddress("127.0.0.1");
    int frames = 0;
    size_t framePoints = 0;
    QObject::connect(rx, &RecvDataProc2::sig_framedata, &window, [&](std::vector<UserPointData> f, int type) {
        ++frames;
        framePoints = std::max(framePoints, f.size());
        window.recv_framedata(std::move(f), type);
    });
    QObject::connect(rx, &RecvDataProc2::sig_framedata_2D, &window, &MainWindow::recv_framedata_2D);
    rx->start();
    (void)cmdPort;

    RaxoScene scene;
    scene.wall(6.0);
    scene.object(40, 110, 150, 210, 3.0);
    const std::vector<Bytes> scan = scene.packets();
    std::atomic<bool> sending{true};
    std::thread sender([&] {
        auto next = std::chrono::steady_clock::now();
        while (sending) {
            for (const Bytes &p : scan)
                fake.send_data(p);
            next += std::chrono::milliseconds(50);
            std::this_thread::sleep_until(next);
        }
    });

    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    app.exec();
    sending = false;
    sender.join();
    rx->stop();
    rx->wait();
    delete rx;

    auto pct = [](std::vector<double> v, double q) {
        if (v.empty())
            return 0.0;
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
    };
    const double maxDraw = drawMs.empty() ? 0.0 : *std::max_element(drawMs.begin(), drawMs.end());
    const double maxInterval = intervalMs.empty() ? 0.0 : *std::max_element(intervalMs.begin(), intervalMs.end());
    const long over = std::count_if(drawMs.begin(), drawMs.end(), [](double d) { return d > 100.0; });
    std::printf("%d s at 20 frames/s, frames kept %d: %d frames of up to %zu points reached the window, %zu "
                "ticks, %d draws\n",
                seconds, kept, frames, framePoints, intervalMs.size() + 1, draws);
    std::printf("draw time ms: median %.1f  p99 %.1f  max %.1f\n", pct(drawMs, 0.5), pct(drawMs, 0.99), maxDraw);
    std::printf("tick interval ms: median %.1f  p99 %.1f  max %.1f (lateness max %.1f)\n", pct(intervalMs, 0.5),
                pct(intervalMs, 0.99), maxInterval, std::max(0.0, maxInterval - 100.0));
    std::printf("draws over their 100 ms tick: %ld (goal: 0) -> %s\n", over, over == 0 ? "met" : "NOT met");
    return 0;
}

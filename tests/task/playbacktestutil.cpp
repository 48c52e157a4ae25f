#include "playbacktestutil.h"

#include "testsupport.h"

#include <QCoreApplication>
#include <QList>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#ifndef QV_TEST_DATA_DIR
#error "QV_TEST_DATA_DIR must point at tests/data"
#endif

PlaybackRecorder::PlaybackRecorder(PlaybackProc &proc, QObject *context)
{
    attach(proc, context);
}

void PlaybackRecorder::attach(PlaybackProc &proc, QObject *context)
{
    QObject *ctx = context != nullptr ? context : &holder_;
    QObject::connect(&proc, &PlaybackProc::sig_CacheData, ctx,
                     [this](const std::vector<UserPointData> &f, float progress) {
                         frames.push_back({f, progress});
                         order.push_back("F");
                     });
    QObject::connect(&proc, &PlaybackProc::sig_data, ctx, [this](int type, QByteArray text) {
        messages.push_back({type, text});
        order.push_back("M" + std::to_string(type));
    });
    QObject::connect(&proc, &PlaybackProc::finished, ctx, [this]() {
        ++finished;
        order.push_back("finished");
    });
}

PlaybackRecorder::~PlaybackRecorder() = default;

std::vector<QByteArray> PlaybackRecorder::texts(int type) const
{
    std::vector<QByteArray> out;
    for (const Posted &m : messages)
        if (m.type == type)
            out.push_back(m.text);
    return out;
}

QByteArray PlaybackRecorder::lidar_type_report() const
{
    const auto t = texts(MSG_LIDAR_TYPE);
    return t.empty() ? QByteArray() : t.back();
}

QByteArray PlaybackRecorder::cache_end_report() const
{
    for (auto it = messages.rbegin(); it != messages.rend(); ++it)
        if (it->type == MSG_LOG && it->text.startsWith("playback cache end"))
            return it->text;
    return QByteArray();
}

int PlaybackRecorder::final_frames() const
{
    int n = 0;
    for (const CachedFrame &f : frames)
        n += f.progress == 100.0f ? 1 : 0;
    return n;
}

void PlaybackRecorder::clear()
{
    frames.clear();
    messages.clear();
    order.clear();
    finished = 0;
}

bool run_on_playback_thread(PlaybackRecorder &rec, const std::string &path, int log_type,
                            int lidar_type, int wait_ms)
{
    QThread thread;
    auto *proc = new PlaybackProc;
    proc->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, proc, &QObject::deleteLater);
    QObject receiver;
    rec.attach(*proc, &receiver);
    QSignalSpy done(proc, &PlaybackProc::finished);
    thread.start();
    QMetaObject::invokeMethod(proc, "recv_playback", Qt::QueuedConnection,
                              Q_ARG(QString, QString::fromStdString(path)), Q_ARG(int, log_type),
                              Q_ARG(int, lidar_type));
    // finished may come before the wait starts: the spy has it then.
    const bool ended = done.count() > 0 || done.wait(wait_ms);
    // The recorder's slots are queued behind the finished signal: let them run.
    for (int k = 0; k < 100 && rec.finished == 0; ++k)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    thread.quit();
    thread.wait();
    return ended;
}

std::string data_path(const std::string &relative)
{
    return std::string(QV_TEST_DATA_DIR) + "/" + relative;
}

std::string temp_file(const std::string &name, const Bytes &bytes)
{
    const std::string path = testsupport::make_temp_subdir("pb") + "/" + name;
    EXPECT_TRUE(write_bytes(path, bytes));
    return path;
}

Bytes pad_to(Bytes bytes, size_t size, uint8_t filler)
{
    if (bytes.size() < size)
        bytes.insert(bytes.end(), size - bytes.size(), filler);
    return bytes;
}

std::string end_text(size_t packets, int frames)
{
    return "playback cache end, package num:" + std::to_string(packets)
           + " framenum:" + std::to_string(frames) + " ";
}

QList<QByteArray> to_list(const std::vector<Bytes> &packets)
{
    QList<QByteArray> list;
    for (const Bytes &p : packets)
        list.append(QByteArray(reinterpret_cast<const char *>(p.data()), int(p.size())));
    return list;
}

std::vector<Bytes> raxo_packets(int count, int per_frame, int points, uint16_t first_index)
{
    std::vector<Bytes> out;
    for (int k = 0; k < count; ++k) {
        std::vector<RaxoPoint> pts;
        for (int j = 0; j < points; ++j)
            pts.push_back(raxo_point(uint16_t(100 * k + j), int16_t(k * 10 + j), int16_t(-j),
                                     int16_t(k - j), uint8_t(k + j)));
        const bool last = (k + 1) % per_frame == 0;
        out.push_back(make_raxo_packet(1, uint16_t(first_index + k), pts, last ? 2 : 0,
                                       1000 + uint64_t(k)));
    }
    return out;
}

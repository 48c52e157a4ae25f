#pragma once
// The main window's message log: lines "[" time "] " " [ " title " ] " text in a list widget,
// cleared whole once it holds more than a thousand.
//
// Lines come from the network's pace, not the user's: a sensor gone wrong, or anyone sending
// with its address, can raise thousands a second. So a line that repeats the last one back to
// back updates that row with how many times it came instead of adding one; the lines that
// workers queue wait in a bounded queue (past the bound they are counted and said to be left
// out), and each tick writes at most a tick's worth of them with one scroll. The queue's lock is
// never held while the widget lays itself out.

#include <QMutex>
#include <QString>

#include <cstddef>
#include <deque>

class QListWidget;
class QListWidgetItem;

class MessageLog {
public:
    static constexpr int kRowLimit = 1000;
    // Lines waiting for the tick, at most; what comes beyond is counted and left out.
    static constexpr size_t kMaxQueued = 2000;
    // Lines a tick writes, at most; the rest wait for the next tick.
    static constexpr size_t kLinesPerTick = 200;

    explicit MessageLog(QListWidget *list);

    // Queues a line for the next flush (any thread).
    void queue(const QString &title, const QString &text);
    // Writes a line now (GUI thread); the view scrolls to it at the next flush.
    void append(const QString &title, const QString &text);
    // Writes what waits, at most kLinesPerTick lines, then scrolls once (GUI thread).
    void flush();

    size_t queued() const;
    // The user emptied the list: the next line starts a row of its own.
    void listCleared();

private:
    struct Line {
        QString title;
        QString text;
        int times = 1;
    };
    void write(const QString &title, const QString &text, int times);

    QListWidget *list_;
    mutable QMutex mutex_;
    std::deque<Line> queue_;
    size_t leftOut_ = 0;
    // The last row written, for repeats: its title, text and count (GUI thread only).
    QListWidgetItem *lastRow_ = nullptr;
    QString lastTitle_;
    QString lastText_;
    int lastTimes_ = 0;
    bool scroll_ = false;
};

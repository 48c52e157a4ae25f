#include "messagelog.h"

#include "receivernotices.h"
#include "userpointdata.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QListWidget>
#include <QMutexLocker>

#include <vector>

MessageLog::MessageLog(QListWidget *list) : list_(list) {}

void MessageLog::queue(const QString &title, const QString &text)
{
    QMutexLocker lock(&mutex_);
    if (!queue_.empty() && queue_.back().title == title && queue_.back().text == text) {
        ++queue_.back().times;
        return;
    }
    if (queue_.size() >= kMaxQueued) {
        ++leftOut_;
        return;
    }
    queue_.push_back({title, text, 1});
}

void MessageLog::append(const QString &title, const QString &text)
{
    write(title, text, 1);
    scroll_ = true;
}

void MessageLog::flush()
{
    std::vector<Line> lines;
    size_t leftOut = 0;
    {
        QMutexLocker lock(&mutex_);
        const size_t n = std::min(queue_.size(), kLinesPerTick);
        lines.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            lines.push_back(std::move(queue_.front()));
            queue_.pop_front();
        }
        // Said once the lines that came before them are out.
        if (queue_.empty()) {
            leftOut = leftOut_;
            leftOut_ = 0;
        }
    }
    for (const Line &l : lines)
        write(l.title, l.text, l.times);
    if (leftOut > 0)
        write(msg_type_text(MSG_LOG),
              QCoreApplication::translate("MessageLog", "%1 messages left out").arg(leftOut), 1);
    if (!lines.empty() || leftOut > 0 || scroll_) {
        list_->scrollToBottom();
        scroll_ = false;
    }
}

size_t MessageLog::queued() const
{
    QMutexLocker lock(&mutex_);
    return queue_.size();
}

void MessageLog::listCleared()
{
    lastRow_ = nullptr;
}

void MessageLog::write(const QString &title, const QString &text, int times)
{
    const int rows = list_->count();
    const bool again = lastRow_ != nullptr && rows > 0 && list_->item(rows - 1) == lastRow_ &&
                       title == lastTitle_ && text == lastText_;
    const int total = again ? lastTimes_ + times : times;
    const QString shown = total > 1 ? repeated_text(text, total) : text;
    const QString line = "[" + QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss") + "] " + " [ " +
                         title + " ] " + shown;
    if (again) {
        lastRow_->setText(line);
        lastTimes_ = total;
        return;
    }
    list_->addItem(line);
    if (list_->count() > kRowLimit) {
        list_->clear();
        lastRow_ = nullptr;
        return;
    }
    lastRow_ = list_->item(list_->count() - 1);
    lastTitle_ = title;
    lastText_ = text;
    lastTimes_ = total;
}

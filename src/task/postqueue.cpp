#include "postqueue.h"

bool PostQueue::schedule()
{
    if (scheduled_)
        return false;
    scheduled_ = true;
    return true;
}

bool PostQueue::push(Post post, size_t limit, bool *deliver)
{
    std::lock_guard<std::mutex> lock(mutex_);
    *deliver = false;
    size_t &n = count(post);
    bool room = true;
    if (limit > 0 && n >= limit) {
        for (auto it = posts_.begin(); it != posts_.end(); ++it) {
            if (it->kind == post.kind && it->type == post.type) {
                posts_.erase(it);
                --n;
                break;
            }
        }
        room = false;
    }
    ++n;
    posts_.push_back(std::move(post));
    *deliver = schedule();
    return room;
}

void PostQueue::replace(Post post, bool *deliver)
{
    std::lock_guard<std::mutex> lock(mutex_);
    *deliver = false;
    if (count(post) > 0) {
        for (Post &p : posts_) {
            if (p.kind == post.kind && p.type == post.type) {
                p.data = std::move(post.data);
                return;
            }
        }
    }
    ++count(post);
    posts_.push_back(std::move(post));
    *deliver = schedule();
}

bool PostQueue::pop(Post *out)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (posts_.empty())
        return false;
    *out = std::move(posts_.front());
    posts_.pop_front();
    --count(*out);
    return true;
}

void PostQueue::begin()
{
    std::lock_guard<std::mutex> lock(mutex_);
    scheduled_ = false;
}

bool PostQueue::more()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return !posts_.empty() && schedule();
}

size_t PostQueue::waiting() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return posts_.size();
}

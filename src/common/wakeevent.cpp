#include "wakeevent.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

WakeEvent::WakeEvent() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

WakeEvent::~WakeEvent()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void WakeEvent::notify()
{
    if (fd_ < 0)
        return;
    const uint64_t one = 1;
    // A full counter (never reached) or an interrupted write still leaves the fd readable.
    [[maybe_unused]] const ssize_t n = ::write(fd_, &one, sizeof(one));
}

void WakeEvent::clear()
{
    if (fd_ < 0)
        return;
    uint64_t value = 0;
    [[maybe_unused]] const ssize_t n = ::read(fd_, &value, sizeof(value));
}

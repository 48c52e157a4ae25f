#include "sumreply.h"

#include "lhframe.h"
#include "tracelog.h"

#include <algorithm>

bool SumReply::holds(size_t needed, const char *what) const
{
    if (size >= needed)
        return true;
    QV_TRACE_LIMITED() << "reply too short for" << what << ":" << size << "bytes, need" << needed;
    return false;
}

bool read_sum_reply(const QByteArray &reply, SumReply *out)
{
    SumReply r;
    r.frame = reinterpret_cast<const uint8_t *>(reply.constData());
    r.size = size_t(reply.size());
    if (!r.holds(LH_SUM_TYPE_AT + 2, "the frame type"))
        return false;
    r.type = rd_u16(r.frame + LH_SUM_TYPE_AT);
    r.body = r.frame + LH_SUM_HEADER;
    if (r.size >= LH_SUM_HEADER) {
        const size_t held = r.size > LH_SUM_OVERHEAD ? r.size - LH_SUM_OVERHEAD : 0;
        r.length = std::min<size_t>(rd_u32(r.frame + LH_SUM_LENGTH_AT), held);
    }
    *out = r;
    return true;
}

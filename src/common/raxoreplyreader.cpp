#include "raxoreplyreader.h"

#include "raxoprotocol.h"
#include "sumreply.h"

namespace {

QByteArray bodyOf(const SumReply &r)
{
    return QByteArray(reinterpret_cast<const char *>(r.body), int(r.length));
}

} // namespace

void RaxoReplyReader::read(const QByteArray &reply)
{
    SumReply r;
    if (!read_sum_reply(reply, &r))
        return;
    switch (r.type) {
    case RAXO_REPLY_CALIBRATED:
        emit calibrated();
        break;
    case RAXO_REPLY_PARAM:
        if (r.holds(LH_SUM_HEADER, "the parameter body"))
            emit parameters(bodyOf(r));
        break;
    case RAXO_REPLY_SET:
        if (r.holds(RAXO_REPLY_RESULT_AT + 4, "the set result"))
            emit setResult(rd_u32(r.frame + RAXO_REPLY_RESULT_AT));
        break;
    case RAXO_REPLY_RUN:
        if (r.holds(LH_SUM_HEADER + 1, "the run state"))
            emit runState(r.frame[LH_SUM_HEADER]);
        break;
    case RAXO_REPLY_ALG_PARAM:
        if (r.holds(LH_SUM_HEADER, "the algorithm body"))
            emit algorithm(bodyOf(r));
        break;
    case RAXO_REPLY_NET_ERROR:
        if (r.holds(RAXO_REPLY_COUNTER_AT + 4, "the error counters"))
            emit networkErrors(rd_u32(r.frame + RAXO_REPLY_RESULT_AT), rd_u32(r.frame + RAXO_REPLY_COUNTER_AT));
        break;
    default:
        break;
    }
}

#include "fenkreplyreader.h"

#include "fenkprotocol.h"
#include "sumreply.h"

void FenkReplyReader::read(const QByteArray &reply)
{
    SumReply r;
    if (!read_sum_reply(reply, &r))
        return;
    switch (r.type) {
    case FENK_REPLY_PARAM:
        if (!r.holds(FENK_REPLY_DATA_TYPE_AT + 2, "the data-type mask"))
            return;
        emit parameters(QByteArray(reinterpret_cast<const char *>(r.body), int(r.length)),
                        rd_u16(r.frame + FENK_REPLY_DATA_TYPE_AT));
        break;
    case FENK_REPLY_SET:
        if (r.holds(FENK_REPLY_RESULT_AT + 4, "the set result"))
            emit setResult(rd_u32(r.frame + FENK_REPLY_RESULT_AT));
        break;
    default:
        break;
    }
}

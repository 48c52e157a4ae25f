#include "tracelog.h"

#include <QDateTime>
#include <QThread>

QByteArray qv_trace_function_name(const char *pretty_function)
{
    QByteArray f(pretty_function != nullptr ? pretty_function : "");
    const int paren = f.indexOf('(');
    if (paren >= 0)
        f.truncate(paren);
    const int space = f.lastIndexOf(' ');
    if (space >= 0)
        f = f.mid(space + 1);
    return f;
}

QDebug qv_trace_line(const char *file, int line, const char *function)
{
    QDebug d = qDebug().noquote().nospace();
    d << "[" << QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss.zzz") << " "
      << reinterpret_cast<quintptr>(QThread::currentThreadId()) << " " << file << ":" << line
      << ":" << qv_trace_function_name(function) << "]";
    return d.space();
}

#pragma once
// Trace lines of the worker threads on the Qt debug stream: "[", the time, the thread id, the
// source file, ":", the line, ":", the qualified function name, "]", then the values.

#include <QDateTime>
#include <QDebug>
#include <QThread>

#include <cstring>

inline QDebug task_trace(const char *file, int line, const char *function)
{
    const char *base = std::strrchr(file, '/');
    // "bool PlaybackProc::LogReader(const char*)" -> "PlaybackProc::LogReader"
    const char *paren = std::strchr(function, '(');
    const char *end = paren != nullptr ? paren : function + std::strlen(function);
    const char *start = end;
    while (start > function && start[-1] != ' ' && start[-1] != '*' && start[-1] != '&')
        --start;
    QDebug d = qDebug().noquote().nospace();
    d << "[" << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
      << " " << reinterpret_cast<quintptr>(QThread::currentThreadId()) << " "
      << (base != nullptr ? base + 1 : file) << ":" << line << ":"
      << QByteArray(start, int(end - start)) << "]";
    return d.space();
}

#define TASK_TRACE() task_trace(__FILE__, __LINE__, Q_FUNC_INFO)

#pragma once
// Trace lines on the Qt debug stream: "[" time "yyyy-MM-dd hh:mm:ss.zzz", thread id, source
// file ":" line ":" qualified function "]", then whatever the caller streams after it.
//   QV_TRACE() << "sendto:" << n;

#include <QDebug>

QDebug qv_trace_line(const char *file, int line, const char *function);

// "bool RecvDataProc2::SendCmd(const char*, int)" -> "RecvDataProc2::SendCmd".
QByteArray qv_trace_function_name(const char *pretty_function);

#define QV_TRACE() qv_trace_line(__FILE__, __LINE__, Q_FUNC_INFO)

#pragma once
// The stored fixed-point templates: one text in section "Fix_Point_Detect", key "data" of
// "main_ini"; records joined by "|", each of eleven fields joined by "_" (name, horizontal
// min/max, vertical min/max, x, y, z min/max), the texts exactly as the edits held them.

#include <QString>
#include <QStringList>

constexpr int kFixPointFields = 11;

QString read_fix_point_store();
void write_fix_point_store(const QString &text);

// The records of a stored text in order. Empty records (a hand-edited "||", or a leading or
// trailing "|") are skipped, so a list built from them and the records it picks never diverge.
QStringList fix_point_records(const QString &text);

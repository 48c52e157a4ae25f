#pragma once
// Small helpers of the analysis panel, template and debug view tests: points, and the texts a
// user reads in a named label or edit.

#include "userpointdata.h"

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace analysistest {

inline UserPointData point(float x, float y, float z, uint16_t intensity = 0)
{
    UserPointData p;
    p.x = x;
    p.y = y;
    p.z = z;
    p.intensity = intensity;
    return p;
}

inline QString labelText(const QWidget *w, const char *name)
{
    const auto *l = w->findChild<QLabel *>(name);
    EXPECT_NE(l, nullptr) << name;
    return l ? l->text() : QString("<missing %1>").arg(name);
}

inline QLineEdit *edit(const QWidget *w, const char *name)
{
    auto *e = w->findChild<QLineEdit *>(name);
    EXPECT_NE(e, nullptr) << name;
    return e;
}

// The label text of a float as the dialogs write it.
inline QString g6(double v)
{
    return QString::number(float(v), 'g', 6);
}

} // namespace analysistest

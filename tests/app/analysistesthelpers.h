#pragma once
// Small helpers of the analysis panel, template and debug view tests: points, and the texts a
// user reads in a named label or edit.

#include "dialog_parsedata.h"
#include "pagetest.h"
#include "userpointdata.h"
#include "widgettexts.h"

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

inline QString labelText(QWidget *w, const char *name)
{
    const QLabel *l = pagetest::child<QLabel>(w, name);
    return l ? l->text() : QString("<missing %1>").arg(name);
}

inline QLineEdit *edit(QWidget *w, const char *name)
{
    return pagetest::child<QLineEdit>(w, name);
}

// The label text of a float as the dialogs write it.
inline QString g6(double v)
{
    return QString::number(float(v), 'g', 6);
}

// Captures every sig_dataLimit of a panel.
struct LimitCapture {
    explicit LimitCapture(Dialog_ParseData &panel)
    {
        QObject::connect(&panel, &Dialog_ParseData::sig_dataLimit,
                         [this](FeaturePoints f, bool run) {
                             last = f;
                             isrun = run;
                             ++count;
                         });
    }
    FeaturePoints last;
    bool isrun = false;
    int count = 0;
};

} // namespace analysistest

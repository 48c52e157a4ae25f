#pragma once
// Helpers of the page tests: the settings document the pages read, widgets found by the object
// names the forms give them, and the frames the pages emit.

#include "inisettings.h"
#include "testsupport.h"

#include <QByteArray>
#include <QList>
#include <QSignalSpy>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace pagetest {

// Loads "main_ini" from this process's temp folder once, as the program does at start.
inline void load_settings()
{
    const std::string dir = testsupport::temp_dir();
    const std::string file = dir + "/QuorvelView3D.ini";
    if (!std::ifstream(file).good())
        std::ofstream(file).flush();
    IniSettings::instance()->load(dir, "QuorvelView3D.ini", "main_ini");
}

template <typename T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}

inline std::vector<uint8_t> bytes(const QByteArray &a)
{
    return std::vector<uint8_t>(a.begin(), a.end());
}

inline std::vector<uint8_t> bytes(std::initializer_list<int> l)
{
    std::vector<uint8_t> v;
    for (int x : l)
        v.push_back(uint8_t(x));
    return v;
}

// One emitted sig_sendcmd.
struct Sent {
    QByteArray frame;
    QString note;
    int lidartype = -1;
};

inline std::vector<Sent> sent(const QSignalSpy &spy)
{
    std::vector<Sent> out;
    for (const QList<QVariant> &args : spy)
        out.push_back({args.at(0).toByteArray(), args.at(1).toString(), args.at(2).toInt()});
    return out;
}

} // namespace pagetest

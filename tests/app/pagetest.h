#pragma once
// Helpers of the page tests: the settings document the pages read, widgets found by the object
// names the forms give them, and the frames the pages emit.

#include "checksum.h"
#include "inisettings.h"
#include "lhframe.h"
#include "modalrecorder.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QTextEdit>

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

// A whole text-command frame: "LH", the pack type, a rand() sequence, L, the text zero-padded
// to L, the word CRC over header and payload.
inline void expect_text_frame(const QByteArray &frame, uint16_t pack, const std::string &text,
                              size_t L)
{
    const std::vector<uint8_t> f = bytes(frame);
    ASSERT_EQ(f.size(), L + 12) << text;
    EXPECT_EQ(rd_u16(&f[0]), LH_MAGIC);
    EXPECT_EQ(rd_u16(&f[2]), pack) << text;
    EXPECT_LT(rd_u16(&f[4]), 0x8000) << "sequence from rand() & 0x7FFF";
    EXPECT_EQ(rd_u16(&f[6]), L) << text;
    std::vector<uint8_t> payload(text.begin(), text.end());
    payload.resize(L, 0);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 8, f.begin() + 8 + long(L)), payload) << text;
    EXPECT_EQ(rd_u32(&f[8 + L]), crc32_words(f.data(), L / 4 + 2)) << text;
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

// The firmware box of a sensor page: a stored path is shown while its file exists and forgotten
// once the file is gone; "Open File" asks for "Firmware(*.bin *.lhl)", in the home folder before
// any firmware file is known, then in the folder of the file in the box, or with the box empty
// of the file last handed to an upgrade; a cancelled choice empties the box; the upgrade hands
// over (path, lidartype, 8) unchecked.
template <typename Page>
void expect_firmware_box(int lidartype)
{
    IniSettings *ini = IniSettings::instance();
    const std::string dir = testsupport::make_temp_subdir("fw");
    const std::string image = dir + "/firmware.bin";
    testsupport::write_file(image, {1, 2, 3});
    ini->set_value("Standard", "upgrade_path", image, "main_ini");
    {
        Page page;
        EXPECT_EQ(child<QTextEdit>(&page, "le_update")->toPlainText(), QString::fromStdString(image));
        EXPECT_EQ(ini->get_value("Standard", "upgrade_path", "?", "main_ini"), image);
    }
    ini->set_value("Standard", "upgrade_path", dir + "/gone.bin", "main_ini");
    Page page;
    EXPECT_EQ(child<QTextEdit>(&page, "le_update")->toPlainText(), "");
    EXPECT_EQ(ini->get_value("Standard", "upgrade_path", "?", "main_ini"), "");

    testsupport::ModalRecorder modal;
    QSignalSpy upgrades(&page, &Page::sig_upgrade);
    modal.chooserAnswers.push_back(QString::fromStdString(image));
    child<QPushButton>(&page, "pb_chooseFile")->click();
    ASSERT_EQ(modal.chooserRequests.size(), 1u);
    EXPECT_EQ(modal.chooserRequests[0].kind, ChooserKind::OpenFile);
    EXPECT_EQ(modal.chooserRequests[0].caption, "Open File");
    EXPECT_EQ(modal.chooserRequests[0].filter, "Firmware(*.bin *.lhl)");
    EXPECT_EQ(modal.chooserRequests[0].dir, QDir::homePath());
    child<QPushButton>(&page, "pb_update")->click();
    child<QPushButton>(&page, "pb_chooseFile")->click(); // cancelled
    ASSERT_EQ(modal.chooserRequests.size(), 2u);
    EXPECT_EQ(modal.chooserRequests[1].dir.toStdString(), dir) << "where the last file was chosen";
    EXPECT_EQ(child<QTextEdit>(&page, "le_update")->toPlainText(), "");
    child<QPushButton>(&page, "pb_update")->click();
    // The window keeps the path of an upgrade; an empty box then starts there.
    ini->set_value("Standard", "upgrade_path", image, "main_ini");
    child<QPushButton>(&page, "pb_chooseFile")->click(); // cancelled
    ASSERT_EQ(modal.chooserRequests.size(), 3u);
    EXPECT_EQ(modal.chooserRequests[2].dir.toStdString(), dir);

    ASSERT_EQ(upgrades.count(), 2);
    EXPECT_EQ(upgrades[0], (QList<QVariant>{QString::fromStdString(image), lidartype, 8}));
    EXPECT_EQ(upgrades[1], (QList<QVariant>{QString(), lidartype, 8}));
}

} // namespace pagetest

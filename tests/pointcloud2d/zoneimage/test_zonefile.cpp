// The Raxo hand-over: the whole zone image as "zone_cfg.bin" in the temporary folder.

#include "testsupport.h"
#include "zonealarm.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ZONEALARM;

namespace {

constexpr uint32_t SIZE = 0x34000;

zones sample_table()
{
    zones t;
    t.shapes[t.count++] = make_default_shape(ZONE_SECTOR, 2, 2);
    t.shapes[t.count++] = make_default_shape(ZONE_RECTANGLE, 2, 1);
    ZoneShape p;
    p.kind = ZONE_POLYGON;
    p.zone_id = 11;
    p.area = 0;
    const double xy[] = {0, 500, 700, 1500, -700, 1500};
    for (int i = 0; i < 6; ++i)
        p.param[i] = xy[i];
    p.point_count = 3;
    t.shapes[t.count++] = p;
    return t;
}

} // namespace

TEST(ZoneFile, PathIsInTheTemporaryFolder)
{
    EXPECT_EQ(ZoneAlarm::zoneFilePath().toStdString(), QDir::tempPath().toStdString() + "/zone_cfg.bin");
    EXPECT_EQ(ZoneAlarm::zoneFilePath().toStdString(), testsupport::temp_dir() + "/zone_cfg.bin");
}

TEST(ZoneFile, WrittenFileIsTheImageAndReadsBack)
{
    const QString path = ZoneAlarm::zoneFilePath();
    ZoneAlarm w;
    ASSERT_TRUE(w.writeZoneFile(sample_table(), path));
    const std::vector<uint8_t> file = testsupport::read_file(path.toStdString());
    ASSERT_EQ(file.size(), SIZE);
    EXPECT_EQ(file, std::vector<uint8_t>(w.getZoneImage(), w.getZoneImage() + SIZE));

    ZoneAlarm r;
    ASSERT_TRUE(r.readZoneFile(path));
    const zones &t = r.getZones();
    const zones expected = sample_table();
    ASSERT_EQ(t.count, 3);
    // Zone 2's two shapes, then zone 11's polygon.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.shapes[i].kind, expected.shapes[i].kind);
        EXPECT_EQ(t.shapes[i].zone_id, expected.shapes[i].zone_id);
        EXPECT_EQ(t.shapes[i].area, expected.shapes[i].area);
        EXPECT_EQ(t.shapes[i].flag, 1);
        for (int j = 0; j < 40; ++j)
            EXPECT_EQ(t.shapes[i].param[j], expected.shapes[i].param[j]);
    }
    // A longer file: its first image is taken.
    std::vector<uint8_t> longer = file;
    longer.resize(SIZE + 100, 0xEE);
    testsupport::write_file(path.toStdString(), longer);
    ZoneAlarm r2;
    EXPECT_TRUE(r2.readZoneFile(path));
    EXPECT_EQ(r2.getZones().count, 3);
}

TEST(ZoneFile, RefusedFilesGiveNoTable)
{
    const std::string dir = testsupport::make_temp_subdir("zonefile");
    const QString path = QString::fromStdString(dir + "/zone_cfg.bin");
    ZoneAlarm w;
    ASSERT_TRUE(w.writeZoneFile(sample_table(), path));
    const std::vector<uint8_t> good = testsupport::read_file(path.toStdString());

    struct Case {
        const char *what;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> bad_version = good;
    bad_version[4] = 0x02;
    std::vector<uint8_t> short_file(good.begin(), good.end() - 1);
    const Case cases[] = {
        {"version 0x102", bad_version},
        {"one byte short", short_file},
        {"empty", {}},
    };
    for (const Case &c : cases) {
        testsupport::write_file(path.toStdString(), c.bytes);
        ZoneAlarm r;
        ASSERT_TRUE(r.readZoneFile(QString::fromStdString(dir + "/zone_cfg.bin")) == false) << c.what;
        EXPECT_EQ(r.getZones().count, 0) << c.what;
    }
    ZoneAlarm r;
    EXPECT_FALSE(r.readZoneFile(QString::fromStdString(dir + "/missing.bin")));
}

TEST(ZoneFile, LinksPlantedInTheSharedFolderAreNeitherFollowedNorRead)
{
    const std::string dir = testsupport::make_temp_subdir("zonelink");
    const std::string victim = dir + "/victim";
    testsupport::write_file(victim, {1, 2, 3});
    const std::string path = dir + "/zone_cfg.bin";
    ASSERT_EQ(::symlink(victim.c_str(), path.c_str()), 0);

    // Reading through the link is refused.
    ZoneAlarm r;
    EXPECT_FALSE(r.readZoneFile(QString::fromStdString(path)));

    // Writing replaces the link with a file of its own; the link's target is untouched.
    ZoneAlarm w;
    ASSERT_TRUE(w.writeZoneFile(sample_table(), QString::fromStdString(path)));
    EXPECT_EQ(testsupport::read_file(victim), (std::vector<uint8_t>{1, 2, 3}));
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(testsupport::read_file(path).size(), SIZE);
}

TEST(ZoneFile, UnwritablePlaceIsReported)
{
    ZoneAlarm w;
    EXPECT_FALSE(w.writeZoneFile(sample_table(), QString::fromStdString(testsupport::temp_dir() + "/no/such/dir/zone_cfg.bin")));
}

// LAS and PCD: the readers (own fixtures and real files), the writers, the number format.

#include "lasreader.h"
#include "laswriter.h"
#include "lhframe.h"
#include "numberformat.h"
#include "pcdreader.h"
#include "pcdwriter.h"
#include "playbacktestutil.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <cstring>
#include <fstream>
#include <locale>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sched.h>
#include <thread>

namespace {

UserPointData pt(float x, float y, float z, uint16_t intensity)
{
    UserPointData p;
    p.x = x;
    p.y = y;
    p.z = z;
    p.intensity = intensity;
    p.distance = 9.0f; // not part of either file
    return p;
}

std::string read_text(const std::string &path)
{
    const Bytes b = testsupport::read_file(path);
    return std::string(b.begin(), b.end());
}

// ---- LAS writer ----

TEST(LasWriter, ThreePointFileIsByteExact)
{
    const PointFrame frame = {pt(1.5f, 0.0f, -3.0f, 10), pt(-1.0f, 5.0f, 0.0f, 65535),
                              pt(2.0f, 2.5f, -0.25f, 0)};
    const std::string path = testsupport::make_temp_subdir("las") + "/three.las";
    PlaybackProc proc;
    ASSERT_TRUE(proc.LASWriter(path.c_str(), frame));

    Bytes expected(227 + 3 * 34, 0);
    std::memcpy(&expected[0], "LASF", 4);
    expected[24] = 1;
    expected[25] = 2;
    wr_u16(&expected[94], 227);
    wr_u32(&expected[96], 227);
    expected[104] = 3;
    wr_u16(&expected[105], 34);
    wr_u32(&expected[107], 3);
    auto put_f64 = [&](size_t at, double d) {
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        wr_u64(&expected[at], bits);
    };
    for (size_t c = 0; c < 3; ++c)
        put_f64(131 + 8 * c, 0.000001);
    const double box[6] = {2.0, -1.0, 5.0, 0.0, 0.0, -3.0}; // max x, min x, max y, min y, ...
    for (size_t k = 0; k < 6; ++k)
        put_f64(179 + 8 * k, box[k]);
    const int32_t xyz[3][3] = {{1500000, 0, -3000000}, {-1000000, 5000000, 0}, {2000000, 2500000, -250000}};
    const uint16_t intensity[3] = {10, 65535, 0};
    for (size_t i = 0; i < 3; ++i) {
        uint8_t *r = &expected[227 + 34 * i];
        for (size_t c = 0; c < 3; ++c)
            wr_u32(r + 4 * c, uint32_t(xyz[i][c]));
        wr_u16(r + 12, intensity[i]);
    }
    EXPECT_EQ(testsupport::read_file(path), expected);
}

struct QuantizeCase {
    double v;
    bool fits;
    int32_t X;
};

void PrintTo(const QuantizeCase &c, std::ostream *os)
{
    *os << c.v;
}

class LasQuantize : public testing::TestWithParam<QuantizeCase> {};

TEST_P(LasQuantize, RoundsHalfAwayFromZeroAndRefusesWhatDoesNotFit)
{
    int32_t X = 12345;
    EXPECT_EQ(LasWriter::quantize(GetParam().v, &X), GetParam().fits) << GetParam().v;
    if (GetParam().fits) {
        EXPECT_EQ(X, GetParam().X);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LasQuantize,
    testing::Values(QuantizeCase{1.5, true, 1500000}, QuantizeCase{-1.5, true, -1500000},
                    QuantizeCase{0.0000026, true, 3}, QuantizeCase{-0.0000026, true, -3},
                    QuantizeCase{0.0000024, true, 2}, QuantizeCase{-0.0000024, true, -2},
                    QuantizeCase{2147.483647, true, 2147483647},
                    QuantizeCase{-2147.483648, true, -2147483647 - 1},
                    QuantizeCase{2147.4837, false, 0}, QuantizeCase{-2148.0, false, 0},
                    QuantizeCase{1e30, false, 0}, QuantizeCase{NAN, false, 0},
                    QuantizeCase{INFINITY, false, 0}));

TEST(LasWriter, CoordinateBeyondTheScaledRangeIsRefusedAndNoFileIsLeft)
{
    const std::string path = testsupport::make_temp_subdir("las") + "/far.las";
    PlaybackProc proc;
    EXPECT_FALSE(proc.LASWriter(path.c_str(), {pt(1, 1, 1, 1), pt(2148.0f, 0, 0, 0)}));
    struct stat st {};
    EXPECT_NE(::stat(path.c_str(), &st), 0);

    LasWriter w;
    EXPECT_FALSE(w.write(path.c_str(), {pt(0, -3000.0f, 0, 0)}));
    EXPECT_EQ(w.error(), LasWriteError::OutOfRange);
    EXPECT_FALSE(w.write(path.c_str(), {}));
    EXPECT_EQ(w.error(), LasWriteError::Empty);
    EXPECT_FALSE(w.write("/nonexistent-folder/x.las", {pt(0, 0, 0, 0)}));
    EXPECT_EQ(w.error(), LasWriteError::Open);
}

TEST(LasWriter, RoundTripThroughTheReader)
{
    PointFrame frame;
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-2000.0f, 2000.0f);
    for (int i = 0; i < 5000; ++i)
        frame.push_back(pt(coord(rng), coord(rng), coord(rng) / 100.0f, uint16_t(rng())));
    const std::string path = testsupport::make_temp_subdir("las") + "/round.las";
    PlaybackProc proc;
    ASSERT_TRUE(proc.LASWriter(path.c_str(), frame));
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.LASReader(path.c_str()));
    ASSERT_EQ(rec.frames.size(), 1u);
    EXPECT_EQ(rec.frames[0].progress, 100.0f);
    const PointFrame &back = rec.frames[0].points;
    ASSERT_EQ(back.size(), frame.size());
    for (size_t i = 0; i < frame.size(); ++i) {
        const float ax = frame[i].x, bx = back[i].x, az = frame[i].z, bz = back[i].z;
        const uint16_t ai = frame[i].intensity, bi = back[i].intensity;
        const float bd = back[i].distance;
        EXPECT_NEAR(ax, bx, 1e-4);
        EXPECT_NEAR(az, bz, 1e-5);
        EXPECT_EQ(ai, bi);
        EXPECT_EQ(bd, 0.0f);
    }
}

// ---- LAS reader ----

struct RealLas {
    const char *file;
    uint64_t points;
    double x, y, z;
    uint16_t intensity;
};

void PrintTo(const RealLas &c, std::ostream *os)
{
    *os << c.file;
}

class RealLasFiles : public testing::TestWithParam<RealLas> {};

TEST_P(RealLasFiles, ReadTheirPoints)
{
    const RealLas &c = GetParam();
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.LASReader(data_path(std::string("las/") + c.file).c_str()));
    ASSERT_EQ(rec.frames.size(), 1u);
    ASSERT_EQ(rec.frames[0].points.size(), c.points);
    const UserPointData p = rec.frames[0].points[0];
    const float x = p.x, y = p.y, z = p.z;
    const uint16_t i = p.intensity;
    // The table gives the coordinates to the millimetre; a float holds them to its own ulp.
    auto tolerance = [](double v) { return std::max(0.0006, std::fabs(v) * 1.2e-7); };
    EXPECT_NEAR(x, c.x, tolerance(c.x)) << c.file;
    EXPECT_NEAR(y, c.y, tolerance(c.y));
    EXPECT_NEAR(z, c.z, tolerance(c.z));
    EXPECT_EQ(i, c.intensity);
}

INSTANTIATE_TEST_SUITE_P(
    Laspy, RealLasFiles,
    testing::Values(RealLas{"simple.las", 1065, 637012.24, 849028.31, 431.66, 143},
                    RealLas{"simple1_1.las", 1065, 637012.24, 849028.31, 431.66, 143},
                    RealLas{"simple1_3.las", 999, -234935.841, 5800843.145, 265.094, 1},
                    RealLas{"test1_4.las", 1000, 1694510.387, 1816497.966, 5598.360, 41},
                    RealLas{"extrabytes.las", 1065, 637012.24, 849028.31, 431.66, 143},
                    RealLas{"unregistered_extra_bytes.las", 4, 1, 1, 1, 0}));

TEST(LasReader, LazIsRefusedWithAClearMessage)
{
    const Bytes file = testsupport::read_file(data_path("las/simple.laz"));
    LasReader reader;
    EXPECT_FALSE(reader.open(file.data(), file.size()));
    EXPECT_EQ(reader.error(), LasError::Compressed);
    EXPECT_NE(reader.error_text().find("LAZ"), std::string::npos);

    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    EXPECT_FALSE(proc.LASReader(data_path("las/simple.laz").c_str()));
    EXPECT_TRUE(rec.frames.empty());
    EXPECT_EQ(rec.texts(MSG_ERROR),
              std::vector<QByteArray>{"can not open las file: compressed LAS (LAZ) files are not read"});
}

TEST(LasReader, LyingPointCountReadsWhatTheFileHolds)
{
    const std::string path = testsupport::make_temp_subdir("las") + "/lie.las";
    ASSERT_TRUE(LasWriter().write(path.c_str(), {pt(1, 2, 3, 4), pt(5, 6, 7, 8), pt(9, 1, 2, 3)}));
    Bytes file = testsupport::read_file(path);
    wr_u32(&file[107], 4000000000u);
    file.resize(file.size() - 10); // and the last record is cut
    LasReader reader;
    ASSERT_TRUE(reader.open(file.data(), file.size()));
    EXPECT_EQ(reader.header().point_count, 4000000000u);
    EXPECT_EQ(reader.available_points(), 2u);

    // LAS 1.4 with a 64-bit count far beyond the file.
    Bytes v14(375, 0);
    std::memcpy(&v14[0], "LASF", 4);
    v14[24] = 1;
    v14[25] = 4;
    wr_u16(&v14[94], 375);
    wr_u32(&v14[96], 375);
    v14[104] = 6;
    wr_u16(&v14[105], 30);
    wr_u64(&v14[247], 0xFFFFFFFFFFFFull);
    v14.resize(375 + 30 * 2 + 7, 0);
    ASSERT_TRUE(reader.open(v14.data(), v14.size()));
    EXPECT_EQ(reader.available_points(), 2u);
}

TEST(LasReader, MalformedHeadersAreRefused)
{
    const std::string path = testsupport::make_temp_subdir("las") + "/ok.las";
    ASSERT_TRUE(LasWriter().write(path.c_str(), {pt(1, 2, 3, 4)}));
    const Bytes good = testsupport::read_file(path);
    struct Case {
        size_t at;
        std::vector<uint8_t> bytes;
        LasError error;
    };
    const Case cases[] = {
        {0, {'L', 'A', 'S', 'G'}, LasError::Signature},
        {24, {2}, LasError::Version},
        {94, {100, 0}, LasError::HeaderSize},
        {94, {0xFF, 0xFF}, LasError::HeaderSize},
        {104, {11}, LasError::PointFormat},
        {104, {0x83}, LasError::Compressed},
        {105, {19, 0}, LasError::RecordLength},
        {96, {10, 0, 0, 0}, LasError::PointOffset},
        {96, {0xFF, 0xFF, 0xFF, 0x7F}, LasError::PointOffset},
    };
    for (const Case &c : cases) {
        Bytes bad = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + long(c.at));
        LasReader reader;
        EXPECT_FALSE(reader.open(bad.data(), bad.size()));
        EXPECT_EQ(reader.error(), c.error) << c.at;
    }
    LasReader reader;
    EXPECT_FALSE(reader.open(good.data(), 226));
    EXPECT_EQ(reader.error(), LasError::TooShort);
}

// ---- PCD writer ----

TEST(PcdWriter, ThreePointFileHasTheHeaderAndOneLinePerPoint)
{
    const std::string path = testsupport::make_temp_subdir("pcd") + "/three.pcd";
    PlaybackProc proc;
    ASSERT_TRUE(proc.PCDWriter(path.c_str(),
                               {pt(1.5f, -2.0f, 0.0001f, 7), pt(123456.7f, 0.1f, -0.0f, 300),
                                pt(1e-5f, 3.14159265f, 1e10f, 65535)}));
    const std::string expected = "# .PCD v0.7 - Point Cloud Data file format\n"
                                 "VERSION 0.7\n"
                                 "FIELDS x y z intensity\n"
                                 "SIZE 4 4 4 2\n"
                                 "TYPE F F F U\n"
                                 "COUNT 1 1 1 1\n"
                                 "WIDTH 3\n"
                                 "HEIGHT 1\n"
                                 "VIEWPOINT 0 0 0 1 0 0 0\n"
                                 "POINTS 3\n"
                                 "DATA ascii\n"
                                 "1.5 -2 0.0001 7\n"
                                 "123457 0.1 -0 300\n"
                                 "1e-05 3.14159 1e+10 65535\n";
    EXPECT_EQ(read_text(path), expected);
}

TEST(PcdWriter, EmptyFrameAndUnwritablePath)
{
    const std::string path = testsupport::make_temp_subdir("pcd") + "/empty.pcd";
    PlaybackProc proc;
    ASSERT_TRUE(proc.PCDWriter(path.c_str(), {}));
    EXPECT_NE(read_text(path).find("POINTS 0\nDATA ascii\n"), std::string::npos);
    EXPECT_FALSE(proc.PCDWriter("/nonexistent-folder/x.pcd", {pt(1, 1, 1, 1)}));
}

// A large frame is formatted in slices on several threads; the file must be the same as the
// lines written one after the other.
// Written by worker threads when the process may use several cores, by the caller alone when
// it is held to one; the file is the same either way.
class PcdLargeFrame : public ::testing::TestWithParam<bool> {};

TEST_P(PcdLargeFrame, IsWrittenInOrder)
{
    PointFrame frame(250003);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> coord(-80.0f, 80.0f);
    for (UserPointData &p : frame)
        p = pt(coord(rng), coord(rng), coord(rng), uint16_t(rng()));
    std::string expected = PcdWriter::header(frame.size());
    for (const UserPointData &p : frame)
        PcdWriter::append_point(expected, p);
    const std::string path = testsupport::make_temp_subdir("pcd") + "/large.pcd";
    bool ok = false;
    // On a thread of its own, so that holding it to one core leaves the test's thread alone.
    std::thread writer([&] {
        if (GetParam()) {
            cpu_set_t all, one;
            ASSERT_EQ(::sched_getaffinity(0, sizeof(all), &all), 0);
            CPU_ZERO(&one);
            for (int c = 0; c < CPU_SETSIZE; ++c)
                if (CPU_ISSET(c, &all)) {
                    CPU_SET(c, &one);
                    break;
                }
            ASSERT_EQ(::sched_setaffinity(0, sizeof(one), &one), 0);
        }
        ok = PcdWriter().write(path.c_str(), frame);
    });
    writer.join();
    ASSERT_TRUE(ok);
    const std::string written = read_text(path);
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
}

INSTANTIATE_TEST_SUITE_P(PcdWriter, PcdLargeFrame, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &i) {
                             return std::string(i.param ? "OneCore" : "EveryCore");
                         });

TEST(PcdFiles, RoundTripKeepsSixSignificantDigits)
{
    PointFrame frame;
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> coord(-500.0f, 500.0f);
    for (int i = 0; i < 3000; ++i)
        frame.push_back(pt(coord(rng), coord(rng), coord(rng), uint16_t(rng())));
    const std::string path = testsupport::make_temp_subdir("pcd") + "/round.pcd";
    PlaybackProc proc;
    ASSERT_TRUE(proc.PCDWriter(path.c_str(), frame));
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.PCDReader(path.c_str()));
    ASSERT_EQ(rec.frames.size(), 1u);
    const PointFrame &back = rec.frames[0].points;
    ASSERT_EQ(back.size(), frame.size());
    for (size_t i = 0; i < frame.size(); ++i) {
        const float ax = frame[i].x, bx = back[i].x, ay = frame[i].y, by = back[i].y;
        const uint16_t ai = frame[i].intensity, bi = back[i].intensity;
        EXPECT_NEAR(ax, bx, std::fabs(ax) * 1e-5 + 1e-6);
        EXPECT_NEAR(ay, by, std::fabs(ay) * 1e-5 + 1e-6);
        EXPECT_EQ(ai, bi);
    }
}

// ---- PCD reader ----

struct PcdCase {
    const char *name;
    std::string text;
    bool ok;
    std::vector<std::array<float, 4>> points; // x, y, z, intensity
};

void PrintTo(const PcdCase &c, std::ostream *os)
{
    *os << c.name;
}

class PcdReading : public testing::TestWithParam<PcdCase> {};

TEST_P(PcdReading, Cases)
{
    const PcdCase &c = GetParam();
    PcdReader reader;
    PointFrame out;
    EXPECT_EQ(reader.read(c.text.data(), c.text.size(), out), c.ok) << c.name;
    ASSERT_EQ(out.size(), c.points.size()) << c.name;
    for (size_t i = 0; i < out.size(); ++i) {
        const float x = out[i].x, y = out[i].y, z = out[i].z;
        const uint16_t in = out[i].intensity;
        EXPECT_EQ(x, c.points[i][0]) << c.name << " point " << i;
        EXPECT_EQ(y, c.points[i][1]) << c.name;
        EXPECT_EQ(z, c.points[i][2]) << c.name;
        EXPECT_EQ(in, uint16_t(c.points[i][3])) << c.name;
    }
}

const std::string kHead = "# .PCD v0.7\nVERSION 0.7\nFIELDS x y z intensity\nPOINTS ";

std::string lines(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += std::to_string(i) + " 0.5 -1 " + std::to_string(i * 10) + "\n";
    return s;
}

std::vector<std::array<float, 4>> line_points(int n)
{
    std::vector<std::array<float, 4>> v;
    for (int i = 0; i < n; ++i)
        v.push_back({float(i), 0.5f, -1.0f, float(i * 10)});
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PcdReading,
    testing::Values(
        PcdCase{"no intensity column", "FIELDS x y z\nPOINTS 2\nDATA ascii\n1 2 3\n4 5 6\n", true,
                {{1, 2, 3, 0}, {4, 5, 6, 0}}},
        PcdCase{"columns reordered", "FIELDS intensity z y x\nPOINTS 1\nDATA ascii\n9 3 2 1\n",
                true, {{1, 2, 3, 9}}},
        PcdCase{"other columns dropped",
                "FIELDS x rgb y z\nPOINTS 1\nDATA ascii\n1 4.2108e+06 2 3\n", true, {{1, 2, 3, 0}}},
        PcdCase{"count stops the read", kHead + "10\nDATA ascii\n" + lines(12), true, line_points(10)},
        PcdCase{"file ends early", kHead + "10\nDATA ascii\n" + lines(8), true, line_points(8)},
        PcdCase{"binary refused", kHead + "3\nDATA binary\n" + lines(3), false, {}},
        PcdCase{"no POINTS refused", "FIELDS x y z\nDATA ascii\n1 2 3\n", false, {}},
        PcdCase{"POINTS 0 refused", kHead + "0\nDATA ascii\n" + lines(3), false, {}},
        PcdCase{"POINTS not a number", kHead + "many\nDATA ascii\n" + lines(3), false, {}},
        PcdCase{"no DATA line", kHead + "3\n", false, {}},
        PcdCase{"comment with DATA ascii is a comment",
                "# DATA ascii\nFIELDS x y z\nPOINTS 1\nDATA ascii\n7 8 9\n", true, {{7, 8, 9, 0}}},
        PcdCase{"float intensity truncated and clamped",
                kHead + "4\nDATA ascii\n0 0 0 12.7\n0 0 0 70000\n0 0 0 -3\n0 0 0 +5\n", true,
                {{0, 0, 0, 12}, {0, 0, 0, 65535}, {0, 0, 0, 0}, {0, 0, 0, 5}}},
        PcdCase{"bad lines cost their point",
                kHead + "5\nDATA ascii\n1 1 1 1\n1 x 1 1\n2 2\n3,5 1 1 1\nnan 1 1 1\n\n  \n4 4 4 4\n",
                true, {{1, 1, 1, 1}, {4, 4, 4, 4}}},
        PcdCase{"windows line ends", "FIELDS x y z\r\nPOINTS 1\r\nDATA ascii\r\n1.5 2 3\r\n", true,
                {{1.5f, 2, 3, 0}}},
        PcdCase{"huge count does not size the frame", kHead + "2000000000\nDATA ascii\n1 2 3 4\n",
                true, {{1, 2, 3, 4}}}));

// ---- numbers in the C locale whatever the user's ----

struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(PointFileNumbers, AGermanLocaleChangesNothing)
{
    const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const std::string saved_c = std::setlocale(LC_ALL, nullptr);
    const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    std::ostringstream probe;
    probe << 1.5;
    EXPECT_EQ(probe.str(), "1,5"); // the stream would write it this way

    const std::string dir = testsupport::make_temp_subdir("pcd");
    PlaybackProc proc;
    ASSERT_TRUE(proc.PCDWriter((dir + "/de.pcd").c_str(), {pt(1.5f, -0.25f, 1234.5f, 2)}));
    const std::string text = read_text(dir + "/de.pcd");
    EXPECT_NE(text.find("\n1.5 -0.25 1234.5 2\n"), std::string::npos) << text;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.PCDReader((dir + "/de.pcd").c_str()));
    ASSERT_EQ(rec.frames.at(0).points.size(), 1u);
    const float x = rec.frames[0].points[0].x;
    EXPECT_EQ(x, 1.5f);

    std::setlocale(LC_ALL, saved_c.c_str());
    std::locale::global(saved);
    if (!german)
        GTEST_LOG_(INFO) << "de_DE.UTF-8 is not installed: checked the C++ locale only";
}

std::string printf_g(float v)
{
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%g", double(v));
    return buf;
}

std::string fast_g(float v)
{
    char buf[FORMAT_G6_MAX];
    return std::string(buf, format_g6(buf, v));
}

TEST(NumberFormat, MatchesPrintfG)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    const float fixed[] = {0.0f, -0.0f, 1.0f, -1.0f, 1.5f, 0.1f, 0.0001f, 0.00001f, 0.000123456f,
                           123456.0f, 999999.0f, 999999.5f, 9999995.0f, 1e6f, 1e-5f, 99999.95f,
                           0.30000001f, 2147.4836f, 3.4028235e38f, -3.4028235e38f, 1.17549435e-38f,
                           1.4e-45f, 16777216.0f, 0.00009999995f, INFINITY, -INFINITY, NAN};
    for (float v : fixed)
        EXPECT_EQ(fast_g(v), printf_g(v)) << printf_g(v);
    std::mt19937 rng(12345);
    int mismatches = 0;
    for (int i = 0; i < 2000000 && mismatches < 10; ++i) {
        uint32_t bits = rng();
        float v;
        std::memcpy(&v, &bits, 4);
        if (i % 2 == 0) // and plenty of ordinary coordinates
            v = float(int32_t(rng() % 2000000) - 1000000) / float(1 << (rng() % 20));
        if (fast_g(v) != printf_g(v)) {
            ++mismatches;
            ADD_FAILURE() << printf_g(v) << " != " << fast_g(v);
        }
    }
    for (uint32_t u = 0; u <= 65535; u += 1)
        if (char buf[8]; std::string(buf, format_u16(buf, uint16_t(u))) != std::to_string(u))
            ADD_FAILURE() << u;
    std::setlocale(LC_NUMERIC, saved.c_str());
}

} // namespace

// ---- point files played back ----

// A point file from another program may carry map coordinates, which are shown as they are;
// values no view could place go before the frame is handed on.
TEST(PcdPlayback, PointsNoViewCanPlaceAreLeftOut)
{
    const std::string path = testsupport::make_temp_subdir("pcd") + "/far.pcd";
    std::ofstream(path) << "VERSION 0.7\nFIELDS x y z intensity\nSIZE 4 4 4 2\nTYPE F F F U\n"
                           "COUNT 1 1 1 1\nWIDTH 6\nHEIGHT 1\nPOINTS 6\nDATA ascii\n"
                           "1.5 2 3 10\n"
                           "1e30 0 0 11\n"
                           "0 -1e9 0 12\n"
                           "-234935.8 5800843 265 13\n"
                           "0 0 3e38 14\n"
                           "nan 0 0 15\n";
    PlaybackProc proc;
    PlaybackRecorder rec(proc);
    ASSERT_TRUE(proc.PCDReader(path.c_str()));
    ASSERT_EQ(rec.frames.size(), 1u);
    std::vector<int> kept;
    for (const UserPointData &p : rec.frames[0].points)
        kept.push_back(p.intensity);
    EXPECT_EQ(kept, (std::vector<int>{10, 13}));
}

// The Raxo factory ground test as a window of its own: synthetic floor frames built here, the
// lines each test writes (their numbers worked out here from the fixture), runs with their
// summary and verdict, the settings kept in the INI file on disk, and a run over the frames a
// fake Raxo sends to a real receiver.

#include "analysistesthelpers.h"
#include "dialog_detect_raxo.h"
#include "fakeraxo.h"
#include "raxoscene.h"
#include "featurepoints.h"
#include "receiverprobe.h"
#include "recvdataproc2.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

#include <cmath>
#include <functional>
#include <fstream>
#include <sstream>

using namespace analysistest;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char *kSection = "class Dialog_Detect_Raxo";

const char *const kEdits[] = {"le_test_frame_sum",     "le_pass_rate",
                              "le_conf_ave_threshold", "le_conf_stdev_threshold",
                              "le_xy_threshold",       "le_z_threshold",
                              "le_z_diff_threshold",   "le_board_depth_threshold",
                              "le_noise_num_threshold"};
const char *const kChecks[] = {"cb_conf", "cb_side", "cb_board_split", "cb_noise"};

using Frame = std::vector<UserPointData>;

UserPointData polar(double degrees, double radius, float z, uint16_t intensity = 0)
{
    return point(float(radius * std::cos(degrees * kPi / 180.0)),
                 float(radius * std::sin(degrees * kPi / 180.0)), z, intensity);
}

// The bin centres -55, -45 ... 55 degrees, one metre out (too far for the edge test).
double binCentre(int bin)
{
    return -55.0 + 10.0 * bin;
}

void addBin(Frame &f, int bin, std::initializer_list<int> intensities, float z = -0.0625f)
{
    for (int v : intensities)
        f.push_back(polar(binCentre(bin), 1.0, z, uint16_t(v)));
}

// A floor that passes every test with the thresholds of setPassingThresholds: each bin holds
// 10, 20, 30; both edges hold x 125 mm at z -62.5 and -46.875 mm; the floor is 15.625 mm thick;
// two points lie above the sensor's plane.
Frame passingFloor()
{
    Frame f;
    for (int bin = 0; bin < 12; ++bin)
        addBin(f, bin, {10, 20, 30});
    for (float z : {-0.0625f, -0.046875f}) {
        f.push_back(point(0.125f, 0.5f, z));  // azimuth +76 degrees
        f.push_back(point(0.125f, -0.5f, z)); // -76 degrees
    }
    f.push_back(point(1.0f, 0.0f, 0.5f, 255));
    f.push_back(point(1.0f, 0.2f, 0.0f, 255)); // z 0 counts as above
    return f;
}

const QString kPassLines[] = {
    "强度均匀检测:1 平均差值:0 参照值:10 标准差值:0 参照值:5",
    "边缘齐平性检测: 1  水平差值:0  x 参照值 1; 高度差值:0 z 参照值:1 ;高度差值:0 z 参照值:1",
    "地面分层检测:1 厚度:15.625 参照值:20",
    "上方噪点检测:1 数量:2 参照值:2",
};

// The numbers of a result line, and the line with each number replaced by "#".
QStringList numbersOf(const QString &line)
{
    static const QRegularExpression n("-?(?:inf|nan|\\d+(?:\\.\\d+)?(?:e[+-]?\\d+)?)");
    QStringList out;
    auto it = n.globalMatch(line);
    while (it.hasNext())
        out << it.next().captured(0);
    return out;
}

QString shapeOf(QString line)
{
    static const QRegularExpression n("-?(?:inf|nan|\\d+(?:\\.\\d+)?(?:e[+-]?\\d+)?)");
    return line.replace(n, "#");
}

double population_sd(std::initializer_list<double> v)
{
    double mean = 0;
    for (double x : v)
        mean += x;
    mean /= double(v.size());
    double sq = 0;
    for (double x : v)
        sq += (x - mean) * (x - mean);
    return std::sqrt(sq / double(v.size()));
}

// A floor point whose azimuth, as the program computes it, lies in [lo, hi]: found by stepping y
// one float at a time from the nearest point on the ray at lo.
UserPointData atAzimuth(float lo, float hi, uint16_t intensity)
{
    const float x0 = float(std::cos(double(lo) * kPi / 180.0));
    const float y0 = float(std::sin(double(lo) * kPi / 180.0));
    float up = y0, down = y0;
    for (int i = 0; i < 100000; ++i) {
        for (float y : {up, down}) {
            const float a = horizontal_angle_degrees(x0, y);
            if (a >= lo && a <= hi)
                return point(x0, y, -0.0625f, intensity);
        }
        up = std::nextafter(up, 10.0f);
        down = std::nextafter(down, -10.0f);
    }
    ADD_FAILURE() << "no float point at azimuth " << lo << " to " << hi;
    return point(x0, y0, -0.0625f, intensity);
}

class FactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pagetest::load_settings();
        dialog = std::make_unique<Dialog_Detect_Raxo>();
        log = dialog->findChild<QTextBrowser *>("tb_print");
        ASSERT_NE(log, nullptr);
        setPassingThresholds();
    }

    void set(const char *name, const QString &text)
    {
        QLineEdit *e = edit(dialog.get(), name);
        ASSERT_NE(e, nullptr);
        e->setText(text);
    }

    void enable(const char *name, bool on)
    {
        QCheckBox *c = pagetest::child<QCheckBox>(dialog.get(), name);
        ASSERT_NE(c, nullptr);
        c->setChecked(on);
    }

    void setPassingThresholds()
    {
        set("le_conf_ave_threshold", "10");
        set("le_conf_stdev_threshold", "5");
        set("le_xy_threshold", "1");
        set("le_z_threshold", "1");
        set("le_z_diff_threshold", "1");
        set("le_board_depth_threshold", "20");
        set("le_noise_num_threshold", "2");
        for (const char *c : kChecks)
            enable(c, true);
    }

    void click(const char *button)
    {
        pagetest::child<QPushButton>(dialog.get(), button)->click();
    }

    // Starts a run of `frames` frames requiring `rate`.
    void start(const QString &frames, const QString &rate = "0.9")
    {
        set("le_test_frame_sum", frames);
        set("le_pass_rate", rate);
        click("pb_start");
    }

    // The log's lines as plain text.
    QStringList lines() const
    {
        const QString text = log->toPlainText();
        return text.isEmpty() ? QStringList() : text.split('\n');
    }

    // Runs one test alone on a frame and returns its verdict and line.
    std::pair<bool, QString> runOne(bool (Dialog_Detect_Raxo::*test)(const Frame &),
                                    const Frame &f)
    {
        log->clear();
        const bool pass = (dialog.get()->*test)(f);
        const QStringList l = lines();
        EXPECT_EQ(l.size(), 1) << l.join("\n").toStdString();
        return {pass, l.value(0)};
    }

    std::unique_ptr<Dialog_Detect_Raxo> dialog;
    QTextBrowser *log = nullptr;
};

} // namespace

// Runs first in the binary: it starts from a settings file without the dialog's section.
TEST(FactorySettings, SavedAndReadBackFromTheFile)
{
    pagetest::load_settings();
    IniSettings *ini = IniSettings::instance();
    // Nothing saved: empty edits, every test on.
    {
        Dialog_Detect_Raxo fresh;
        for (const char *e : kEdits)
            EXPECT_EQ(edit(&fresh, e)->text(), "") << e;
        for (const char *c : kChecks)
            EXPECT_TRUE(pagetest::child<QCheckBox>(&fresh, c)->isChecked()) << c;
        // Only start and the main window save: a dialog that was only looked at saves nothing.
    }
    EXPECT_EQ(ini->get_value(kSection, "cb_conf", "missing", "main_ini"), "missing");

    {
        Dialog_Detect_Raxo d;
        int i = 0;
        for (const char *e : kEdits)
            edit(&d, e)->setText(QString("%1,阈值").arg(++i));
        edit(&d, "le_test_frame_sum")->setText("5");
        pagetest::child<QCheckBox>(&d, "cb_side")->setChecked(false);
        pagetest::child<QCheckBox>(&d, "cb_noise")->setChecked(false);
        pagetest::child<QPushButton>(&d, "pb_start")->click();
        EXPECT_TRUE(d.isRunning());
    }

    // On disk, in the dialog's own section, one key per widget.
    std::ifstream in(testsupport::temp_dir() + "/QuorvelView3D.ini");
    std::stringstream text;
    text << in.rdbuf();
    const QString file = QString::fromUtf8(text.str().c_str());
    EXPECT_TRUE(file.contains("[class Dialog_Detect_Raxo]")) << text.str();
    EXPECT_TRUE(file.contains("le_pass_rate = 2,阈值")) << text.str();
    EXPECT_TRUE(file.contains("cb_side = 0")) << text.str();
    EXPECT_TRUE(file.contains("cb_conf = 1")) << text.str();
    EXPECT_FALSE(file.contains("tb_print")) << text.str();
    EXPECT_FALSE(file.contains("lb_pointcloud_sum")) << text.str();

    {
        Dialog_Detect_Raxo d;
        EXPECT_EQ(edit(&d, "le_test_frame_sum")->text(), "5");
        EXPECT_EQ(edit(&d, "le_noise_num_threshold")->text(), "9,阈值");
        EXPECT_FALSE(pagetest::child<QCheckBox>(&d, "cb_side")->isChecked());
        EXPECT_TRUE(pagetest::child<QCheckBox>(&d, "cb_conf")->isChecked());
        EXPECT_FALSE(d.isRunning());
    }

    // Check boxes read back as a C integer: any number but 0 is on, text is off.
    const std::pair<const char *, bool> values[] = {{"0", false}, {"7", true}, {"-1", true},
                                                    {"abc", false}, {"2x", true}, {"", false}};
    for (const auto &[value, on] : values) {
        ini->set_value(kSection, "cb_board_split", value, "main_ini");
        Dialog_Detect_Raxo d;
        EXPECT_EQ(pagetest::child<QCheckBox>(&d, "cb_board_split")->isChecked(), on) << value;
    }

    // write_ini saves what was edited without a start.
    {
        Dialog_Detect_Raxo d;
        edit(&d, "le_z_threshold")->setText("42");
        d.write_ini();
    }
    EXPECT_EQ(ini->get_value(kSection, "le_z_threshold", "", "main_ini"), "42");
}

TEST_F(FactoryTest, Form)
{
    EXPECT_EQ(dialog->objectName(), "Dialog_Detect_Raxo");
    EXPECT_EQ(dialog->size(), QSize(762, 543));
    EXPECT_EQ(dialog->windowTitle(), "Dialog");
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowContextHelpButtonHint);
    auto *tabs = pagetest::child<QTabWidget>(dialog.get(), "tabWidget");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), "5CM定高地面检测");
    EXPECT_EQ(labelText(dialog.get(), "lb_pointcloud_sum"), "0");
    EXPECT_EQ(pagetest::child<QPushButton>(dialog.get(), "pb_stop")->text(), "      中止");
    EXPECT_EQ(pagetest::child<QPushButton>(dialog.get(), "pb_clearlog")->text(), " 清空日志");
    EXPECT_FALSE(dialog->isRunning());
}

TEST_F(FactoryTest, EachTestOnAPassingAndAFailingFloor)
{
    start("1");
    dialog->detectFrame(passingFloor());
    QStringList l = lines();
    ASSERT_EQ(l.size(), 6);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(l[i], kPassLines[i]);
    EXPECT_EQ(l[4], "检测结束,测试次数:1 成功次数:1 强度均匀检测成功次数:1 边缘齐平性检测成功次数:1 "
                    "地面分层检测成功次数:1 上方噪点检测成功次数:1");
    EXPECT_EQ(l[5], "成功，通过率:1");
    EXPECT_EQ(labelText(dialog.get(), "lb_pointcloud_sum"), QString::number(passingFloor().size()));

    // Each fault fails its own test and no other.
    struct Case {
        const char *what;
        int failing; // index of the test that fails
        std::function<void(Frame &)> spoil;
        QString line;
    } cases[] = {
        // Bin 2 one step brighter: its pair (2, 9) differs by 30 in the mean.
        {"bright bin", 0,
         [](Frame &f) {
             for (UserPointData &p : f)
                 if (p.z < 0 && std::fabs(horizontal_angle_degrees(p.x, p.y) - binCentre(2)) < 0.01)
                     p.intensity = uint16_t(p.intensity + 30);
         },
         "强度均匀检测:0 平均差值:30 参照值:10 标准差值:0 参照值:5"},
        // The negative edge 31.25 mm closer.
        {"edge stacked", 1,
         [](Frame &f) {
             for (UserPointData &p : f)
                 if (p.y == -0.5f)
                     p.x = 0.09375f;
         },
         "边缘齐平性检测: 0  水平差值:31.25  x 参照值 1; 高度差值:0 z 参照值:1 ;高度差值:0 z 参照值:1"},
        // A floor point 93.75 mm down, away from the bins and the edges: 46.875 mm thick.
        {"layered floor", 2, [](Frame &f) { f.push_back(polar(65, 2.0, -0.09375f)); },
         "地面分层检测:0 厚度:46.875 参照值:20"},
        {"noise", 3, [](Frame &f) { f.push_back(point(0.5f, 0.5f, 0.01f)); },
         "上方噪点检测:0 数量:3 参照值:2"},
    };
    for (const Case &c : cases) {
        log->clear();
        start("1");
        Frame f = passingFloor();
        c.spoil(f);
        dialog->detectFrame(f);
        l = lines();
        ASSERT_EQ(l.size(), 6) << c.what;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(l[i], i == c.failing ? c.line : kPassLines[i]) << c.what;
        EXPECT_EQ(l[5], "失败，通过率:0") << c.what;
    }
}

TEST_F(FactoryTest, RunOfThreeFramesWithOneFailing)
{
    start("3", "0.9");
    EXPECT_TRUE(dialog->isRunning());
    Frame noisy = passingFloor();
    noisy.push_back(point(0.5f, 0.5f, 0.25f));
    dialog->detectFrame(passingFloor());
    dialog->detectFrame(noisy);
    EXPECT_TRUE(dialog->isRunning());
    dialog->detectFrame(passingFloor());
    EXPECT_FALSE(dialog->isRunning());

    const QStringList l = lines();
    ASSERT_EQ(l.size(), 14);
    EXPECT_EQ(l[7], "上方噪点检测:0 数量:3 参照值:2");
    EXPECT_EQ(l[12], "检测结束,测试次数:3 成功次数:2 强度均匀检测成功次数:3 边缘齐平性检测成功次数:3 "
                     "地面分层检测成功次数:3 上方噪点检测成功次数:2");
    EXPECT_EQ(l[13], "失败，通过率:0.666667");
    // The verdict lines are coloured.
    EXPECT_TRUE(log->toHtml().contains("#ff0000")) << log->toHtml().toStdString();

    // The same run needing two thirds passes; the log keeps the earlier run.
    start("3", "0.6");
    for (const Frame &f : {passingFloor(), noisy, passingFloor()})
        dialog->detectFrame(f);
    EXPECT_EQ(lines().size(), 28);
    EXPECT_EQ(lines().last(), "成功，通过率:0.666667");
    EXPECT_TRUE(log->toHtml().contains("#008000"));
}

TEST_F(FactoryTest, NoTestEnabledPassesEveryFrame)
{
    for (const char *c : kChecks)
        enable(c, false);
    start("2", "1");
    dialog->detectFrame(Frame{point(0, 0, 1)});
    EXPECT_TRUE(lines().isEmpty());
    dialog->detectFrame(Frame{});
    EXPECT_EQ(lines(), QStringList({"检测结束,测试次数:2 成功次数:2 强度均匀检测成功次数:0 "
                                    "边缘齐平性检测成功次数:0 地面分层检测成功次数:0 "
                                    "上方噪点检测成功次数:0",
                                    "成功，通过率:1"}));
    EXPECT_EQ(labelText(dialog.get(), "lb_pointcloud_sum"), "0");

    // A required rate above 1 cannot be met.
    start("1", "1.5");
    dialog->detectFrame(Frame{});
    EXPECT_EQ(lines().last(), "失败，通过率:1");
}

TEST_F(FactoryTest, FrameCountsAndRatesThatAreNotNumbers)
{
    for (const char *c : kChecks)
        enable(c, false);
    // A count of 0 or text still tests one frame; a rate that is not a number requires 0.
    for (const char *frames : {"0", "abc", "-3", ""}) {
        log->clear();
        start(frames, "x");
        dialog->detectFrame(Frame{});
        EXPECT_FALSE(dialog->isRunning()) << frames;
        EXPECT_EQ(lines().size(), 2) << frames;
        EXPECT_EQ(lines().value(1), "成功，通过率:1") << frames;
    }
    // A count beyond the counter's range runs on instead of ending at once.
    start("4294967295", "1");
    for (int i = 0; i < 3; ++i)
        dialog->detectFrame(Frame{});
    EXPECT_TRUE(dialog->isRunning());
}

TEST_F(FactoryTest, StopIdleAndRestart)
{
    // Idle: frames change nothing, not even the point count.
    dialog->detectFrame(passingFloor());
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(labelText(dialog.get(), "lb_pointcloud_sum"), "0");

    start("3");
    dialog->detectFrame(passingFloor());
    click("pb_stop");
    EXPECT_FALSE(dialog->isRunning());
    dialog->detectFrame(passingFloor());
    dialog->detectFrame(passingFloor());
    EXPECT_EQ(lines().size(), 4) << "no summary after stop";

    // A new start counts from zero, after the log of the stopped run.
    start("1");
    Frame noisy = passingFloor();
    noisy.push_back(point(0.5f, 0.5f, 0.25f));
    dialog->detectFrame(noisy);
    EXPECT_EQ(lines().size(), 10);
    EXPECT_EQ(lines()[8], "检测结束,测试次数:1 成功次数:0 强度均匀检测成功次数:1 边缘齐平性检测成功次数:1 "
                          "地面分层检测成功次数:1 上方噪点检测成功次数:0");

    click("pb_clearlog");
    EXPECT_TRUE(lines().isEmpty());
}

TEST_F(FactoryTest, ThresholdsAreReadPerFrame)
{
    start("2");
    dialog->detectFrame(passingFloor());
    set("le_noise_num_threshold", "1");
    dialog->detectFrame(passingFloor());
    EXPECT_EQ(lines()[7], "上方噪点检测:0 数量:2 参照值:1");
}

TEST_F(FactoryTest, IntensityBins)
{
    set("le_conf_stdev_threshold", "100");
    // Every bin but one filled alike; the point under test alone decides whether the empty bin
    // gets a value.
    auto allBut = [](int empty) {
        Frame f;
        for (int bin = 0; bin < 12; ++bin)
            if (bin != empty)
                addBin(f, bin, {10, 20, 30});
        return f;
    };
    const QString missing = "强度分布均匀检测:点云数据异常";
    struct Case {
        const char *what;
        int emptyBin;
        UserPointData p;
        bool filled;
    } cases[] = {
        {"azimuth -60 is the first bin", 0, atAzimuth(-60.0f, -60.0f, 20), true},
        {"azimuth 59.99 is the last bin", 11, atAzimuth(59.99f, 59.991f, 20), true},
        {"azimuth +60 is the last bin", 11, atAzimuth(60.0f, 60.0f, 20), true},
        {"beyond -60 is no bin", 0, atAzimuth(-60.001f, std::nextafter(-60.0f, -61.0f), 20), false},
        {"beyond +60 is no bin", 11, atAzimuth(std::nextafter(60.0f, 61.0f), 60.001f, 20), false},
        {"an upper point is no floor", 0, polar(-55, 1.0, 0.0f, 20), false},
    };
    for (const Case &c : cases) {
        Frame f = allBut(c.emptyBin);
        f.push_back(c.p);
        const auto [pass, line] = runOne(&Dialog_Detect_Raxo::checkIntensity, f);
        if (c.filled) {
            // One value of 20 against 10, 20, 30: the same mean.
            EXPECT_EQ(shapeOf(line), "强度均匀检测:# 平均差值:# 参照值:# 标准差值:# 参照值:#") << c.what;
            EXPECT_TRUE(pass) << c.what;
            EXPECT_EQ(numbersOf(line).value(1), "0") << c.what;
        } else {
            EXPECT_EQ(line, missing) << c.what;
            EXPECT_FALSE(pass) << c.what;
        }
    }

    // Equal bins pass with thresholds of 0; floor points beyond 60 degrees and every point above
    // the plane are left out, however bright.
    set("le_conf_ave_threshold", "0");
    set("le_conf_stdev_threshold", "0");
    Frame even = allBut(-1);
    even.push_back(polar(61, 1.0, -0.0625f, 900));
    even.push_back(polar(-75, 1.0, -0.0625f, 900));
    even.push_back(polar(binCentre(3), 1.0, 0.25f, 900));
    auto [pass, line] = runOne(&Dialog_Detect_Raxo::checkIntensity, even);
    EXPECT_TRUE(pass);
    EXPECT_EQ(line, "强度均匀检测:1 平均差值:0 参照值:0 标准差值:0 参照值:0");

    // Only pair (2, 9) exceeds the mean threshold; the later pairs are still compared, so the
    // largest deviation difference comes from pair (5, 6).
    set("le_conf_ave_threshold", "10");
    set("le_conf_stdev_threshold", "20");
    Frame uneven;
    for (int bin = 0; bin < 12; ++bin) {
        if (bin == 0)
            addBin(uneven, bin, {15, 25, 35}); // pair (0, 11): mean difference 5
        else if (bin == 2)
            addBin(uneven, bin, {40, 50, 60}); // pair (2, 9): 30
        else if (bin == 6)
            addBin(uneven, bin, {0, 20, 40}); // pair (5, 6): same mean, wider spread
        else
            addBin(uneven, bin, {10, 20, 30});
    }
    std::tie(pass, line) = runOne(&Dialog_Detect_Raxo::checkIntensity, uneven);
    EXPECT_FALSE(pass);
    EXPECT_EQ(shapeOf(line), "强度均匀检测:# 平均差值:# 参照值:# 标准差值:# 参照值:#");
    const QStringList n = numbersOf(line);
    EXPECT_EQ(n.value(0), "0");
    EXPECT_EQ(n.value(1), "30");
    EXPECT_EQ(n.value(2), "10");
    EXPECT_NEAR(n.value(3).toDouble(),
                population_sd({0, 20, 40}) - population_sd({10, 20, 30}), 1e-4);
    EXPECT_EQ(n.value(4), "20");

    // One empty pair member fails at once, without a result line.
    Frame holed = allBut(3);
    std::tie(pass, line) = runOne(&Dialog_Detect_Raxo::checkIntensity, holed);
    EXPECT_FALSE(pass);
    EXPECT_EQ(line, missing);
}

TEST_F(FactoryTest, EdgeFlatness)
{
    // Sides at +-76 degrees, 125 mm ahead, and behind the sensor (every x below 0.2 m counts).
    auto side = [](Frame &f, float sign, float x, std::initializer_list<float> zs) {
        for (float z : zs)
            f.push_back(point(x, sign * 0.5f, z));
    };
    Frame level;
    side(level, 1, 0.125f, {-0.0625f, -0.046875f});
    side(level, -1, 0.125f, {-0.0625f, -0.046875f});
    level.push_back(point(0.3f, 0.6f, -0.01f)); // 63 degrees but 0.3 m ahead: no edge
    level.push_back(point(0.1f, 0.05f, -0.01f)); // near, but at 27 degrees: no edge
    level.push_back(point(0.1f, 0.5f, 0.0f));   // on the plane: no floor
    auto [pass, line] = runOne(&Dialog_Detect_Raxo::checkEdge, level);
    EXPECT_TRUE(pass) << line.toStdString();
    EXPECT_EQ(line, "边缘齐平性检测: 1  水平差值:0  x 参照值 1; 高度差值:0 z 参照值:1 ;高度差值:0 z 参照值:1");
    // x itself, not its magnitude: a point behind the sensor belongs to its side.
    level.push_back(point(-0.25f, -0.5f, -0.05f));
    std::tie(pass, line) = runOne(&Dialog_Detect_Raxo::checkEdge, level);
    EXPECT_FALSE(pass);
    EXPECT_EQ(numbersOf(line).value(1), "375");

    // The negative side 30 mm higher at both ends: a level difference of -30, which any level
    // threshold accepts.
    set("le_z_threshold", "0");
    Frame lower;
    side(lower, 1, 0.125f, {-0.0625f, -0.046875f});
    side(lower, -1, 0.125f, {-0.0325f, -0.016875f});
    std::tie(pass, line) = runOne(&Dialog_Detect_Raxo::checkEdge, lower);
    EXPECT_TRUE(pass) << line.toStdString();
    QStringList n = numbersOf(line);
    EXPECT_NEAR(n.value(3).toDouble(), -30.0, 1e-3);
    EXPECT_NEAR(n.value(5).toDouble(), 0.0, 1e-3);

    // And the other way round: +30 fails a 29 mm threshold, passes a 31 mm one.
    for (auto [threshold, expected] : {std::pair<const char *, bool>{"29", false}, {"31", true}}) {
        set("le_z_threshold", threshold);
        Frame higher;
        side(higher, -1, 0.125f, {-0.0625f, -0.046875f});
        side(higher, 1, 0.125f, {-0.0325f, -0.016875f});
        std::tie(pass, line) = runOne(&Dialog_Detect_Raxo::checkEdge, higher);
        EXPECT_EQ(pass, expected) << threshold;
        EXPECT_NEAR(numbersOf(line).value(3).toDouble(), 30.0, 1e-3);
    }

    // Lift: the positive side spreads 15.625 mm, the negative 31.25 mm.
    set("le_z_threshold", "100");
    set("le_z_diff_threshold", "15");
    Frame lifted;
    side(lifted, 1, 0.125f, {-0.0625f, -0.046875f});
    side(lifted, -1, 0.125f, {-0.0625f, -0.03125f});
    std::tie(pass, line) = runOne(&Dialog_Detect_Raxo::checkEdge, lifted);
    EXPECT_FALSE(pass);
    EXPECT_EQ(numbersOf(line).value(5), "15.625");
    set("le_z_diff_threshold", "16");
    EXPECT_TRUE(runOne(&Dialog_Detect_Raxo::checkEdge, lifted).first);

    // A side without a point has not been measured: one side only, or neither, fails.
    Frame oneSided;
    side(oneSided, 1, 0.125f, {-0.0625f});
    std::tie(pass, line) = runOne(&Dialog_Detect_Raxo::checkEdge, oneSided);
    EXPECT_FALSE(pass);
    EXPECT_GT(numbersOf(line).value(1).toDouble(), 2e9) << line.toStdString();
    std::tie(pass, line) = runOne(&Dialog_Detect_Raxo::checkEdge, Frame{point(1, 0, -0.05f)});
    EXPECT_FALSE(pass);
    EXPECT_EQ(line, "边缘齐平性检测: 0  水平差值:0  x 参照值 1; 高度差值:0 z 参照值:100 ;高度差值:0 z 参照值:16");
}

TEST_F(FactoryTest, GroundLayerAndUpperNoise)
{
    Frame floor;
    for (float z : {-0.052f, -0.05f, -0.047f})
        floor.push_back(point(1, 0, z));
    floor.push_back(point(1, 0, 0.3f)); // above: not floor
    const double thickness = (0.052 - 0.047) * 1000;
    for (auto [threshold, expected] : {std::pair<const char *, bool>{"6", true}, {"4", false}}) {
        set("le_board_depth_threshold", threshold);
        const auto [pass, line] = runOne(&Dialog_Detect_Raxo::checkGroundLayer, floor);
        EXPECT_EQ(pass, expected) << threshold;
        EXPECT_EQ(shapeOf(line), "地面分层检测:# 厚度:# 参照值:#");
        EXPECT_NEAR(numbersOf(line).value(1).toDouble(), thickness, 1e-3);
        EXPECT_EQ(numbersOf(line).value(2), threshold);
    }
    // No floor point: infinitely thick. A large threshold prints in the 6-digit format.
    set("le_board_depth_threshold", "12345678");
    const auto [pass, line] = runOne(&Dialog_Detect_Raxo::checkGroundLayer, Frame{point(1, 0, 1)});
    EXPECT_FALSE(pass);
    EXPECT_EQ(line, "地面分层检测:0 厚度:inf 参照值:1.23457e+07");

    // Upper noise: as many upper points as the threshold passes, one more fails.
    set("le_noise_num_threshold", "3");
    Frame noise{point(1, 0, 0.0f), point(1, 0, 0.1f), point(1, 0, 2.0f), point(1, 0, -0.1f)};
    EXPECT_EQ(runOne(&Dialog_Detect_Raxo::checkUpperNoise, noise),
              std::make_pair(true, QString("上方噪点检测:1 数量:3 参照值:3")));
    noise.push_back(point(0, 0, 0.5f));
    EXPECT_EQ(runOne(&Dialog_Detect_Raxo::checkUpperNoise, noise),
              std::make_pair(false, QString("上方噪点检测:0 数量:4 参照值:3")));
    // Thresholds are unsigned decimals: a decimal point, a sign or text reads as 0.
    for (const char *t : {"2.5", "-1", "three", ""}) {
        set("le_noise_num_threshold", t);
        EXPECT_EQ(runOne(&Dialog_Detect_Raxo::checkUpperNoise, noise).second,
                  "上方噪点检测:0 数量:4 参照值:0")
            << t;
    }
}


// The factory test over the frames of a fake Raxo: the receiver decodes the sensor's datagrams
// on its own thread, the selection box picks the floor as the analysis panel's limits would,
// and the dialog judges each selected frame.
TEST(FactoryOverAFakeSensor, ThreeFramesOneWithNoiseAboveTheFloor)
{
    pagetest::load_settings();
    register_point_meta_types();
    FakeRaxo fake;
    ASSERT_TRUE(fake.ok());
    const int dataPort = free_udp_port();
    RecvDataProc2 rx;
    rx.init(dataPort, "127.0.0.2", fake.listen_port());
    rx.setBindAddress("127.0.0.1");
    rx.lidartype = LIDAR_RAXO_E;
    fake.set_host("127.0.0.1", dataPort);
    QObject context;
    std::vector<std::vector<UserPointData>> frames;
    bool started = false;
    QObject::connect(&rx, &RecvDataProc2::sig_framedata, &context,
                     [&](std::vector<UserPointData> f, int) { frames.push_back(std::move(f)); });
    QObject::connect(&rx, &RecvDataProc2::sig_data, &context,
                     [&](int type, QByteArray) { started = started || type == MSG_RECV_STARTED; });
    rx.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started; }, 5000));

    Dialog_Detect_Raxo d;
    const std::pair<const char *, const char *> values[] = {
        {"le_conf_ave_threshold", "10"}, {"le_conf_stdev_threshold", "10"},
        {"le_xy_threshold", "1"},        {"le_z_threshold", "1"},
        {"le_z_diff_threshold", "1"},    {"le_board_depth_threshold", "1"},
        {"le_noise_num_threshold", "0"}, {"le_test_frame_sum", "3"},
        {"le_pass_rate", "0.9"}};
    for (const auto &[name, value] : values)
        edit(&d, name)->setText(value);
    for (const char *c : kChecks)
        pagetest::child<QCheckBox>(&d, c)->setChecked(true);
    pagetest::child<QPushButton>(&d, "pb_start")->click();

    const auto scan = raxo_floor_fan_packet;
    FeaturePoints limits;
    limits.enable = true;
    limits.x = {-1.0f, 3.0f, 0, 0, 0};
    limits.y = {-2.0f, 2.0f, 0, 0, 0};
    limits.z = {-1.0f, 0.5f, 0, 0, 0};
    for (size_t k = 0; k < 3; ++k) {
        fake.send_data(scan(k == 1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return frames.size() == k + 1; }, 5000)) << k;
        std::vector<UserPointData> selected;
        for (const UserPointData &p : frames[k])
            if (feature_points_inside(limits, p.x, p.y, p.z))
                selected.push_back(p);
        EXPECT_EQ(selected.size(), frames[k].size() - 1) << k;
        d.detectFrame(selected);
    }
    rx.stop();
    EXPECT_TRUE(rx.wait(5000));

    const QStringList l = d.findChild<QTextBrowser *>("tb_print")->toPlainText().split('\n');
    ASSERT_EQ(l.size(), 14) << l.join('\n').toStdString();
    EXPECT_EQ(l[0], "强度均匀检测:1 平均差值:0 参照值:10 标准差值:0 参照值:10");
    EXPECT_EQ(l[1], "边缘齐平性检测: 1  水平差值:0  x 参照值 1; 高度差值:0 z 参照值:1 ;高度差值:0 z 参照值:1");
    EXPECT_EQ(l[2], "地面分层检测:1 厚度:0 参照值:1");
    EXPECT_EQ(l[3], "上方噪点检测:1 数量:0 参照值:0");
    EXPECT_EQ(l[7], "上方噪点检测:0 数量:1 参照值:0");
    EXPECT_EQ(l[12], "检测结束,测试次数:3 成功次数:2 强度均匀检测成功次数:3 边缘齐平性检测成功次数:3 "
                     "地面分层检测成功次数:3 上方噪点检测成功次数:2");
    EXPECT_EQ(l[13], "失败，通过率:0.666667");
    EXPECT_EQ(labelText(&d, "lb_pointcloud_sum"), QString::number(120 + 2)) << "fan and edges";
}

#include "dialog_detect_raxo.h"

#include "featurepoints.h"
#include "floatstats.h"
#include "inisettings.h"
#include "settingsdocument.h"
#include "ui_dialog_detect_raxo.h"

#include <QCheckBox>
#include <QLineEdit>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

// A threshold edit as an unsigned decimal; anything else (empty, negative, a decimal point) is 0.
uint threshold(const QLineEdit *edit)
{
    return edit->text().toUInt(nullptr, 10);
}

QString g(double v)
{
    return QString::number(v, 'g', 6);
}

bool isFloor(const UserPointData &p)
{
    return p.z < 0.0f;
}

// |a - b|, the difference in single precision and its magnitude in double, as the report
// lines have always printed it.
float absDiff(float a, float b)
{
    return float(std::fabs(double(a - b)));
}

std::string settingsSection(const QObject *dialog)
{
    return std::string("class ") + dialog->metaObject()->className();
}

} // namespace

Dialog_Detect_Raxo::Dialog_Detect_Raxo(QWidget *parent)
    : QDialog(parent), ui(new Ui::Dialog_Detect_Raxo)
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->setupUi(this);
    read_ini();
}

Dialog_Detect_Raxo::~Dialog_Detect_Raxo()
{
    delete ui;
}

void Dialog_Detect_Raxo::print(const QString &line)
{
    ui->tb_print->append(line);
}

void Dialog_Detect_Raxo::detectFrame(const std::vector<UserPointData> &points)
{
    if (!running)
        return;
    ui->lb_pointcloud_sum->setText(QString::number(points.size()));

    bool pass = true;
    if (ui->cb_conf->isChecked()) {
        const bool ok = checkIntensity(points);
        intensityPassCount += ok ? 1 : 0;
        pass = pass && ok;
    }
    if (ui->cb_side->isChecked()) {
        const bool ok = checkEdge(points);
        edgePassCount += ok ? 1 : 0;
        pass = pass && ok;
    }
    if (ui->cb_board_split->isChecked()) {
        const bool ok = checkGroundLayer(points);
        groundPassCount += ok ? 1 : 0;
        pass = pass && ok;
    }
    if (ui->cb_noise->isChecked()) {
        const bool ok = checkUpperNoise(points);
        noisePassCount += ok ? 1 : 0;
        pass = pass && ok;
    }
    if (pass)
        ++passedCount;
    ++testedCount;

    if (--framesLeft >= 1)
        return;
    running = false;
    print(tr("<font color='black'>检测结束,测试次数:%1 成功次数:%2 强度均匀检测成功次数:%3 "
             "边缘齐平性检测成功次数:%4 地面分层检测成功次数:%5 上方噪点检测成功次数:%6</font>")
              .arg(testedCount)
              .arg(passedCount)
              .arg(intensityPassCount)
              .arg(edgePassCount)
              .arg(groundPassCount)
              .arg(noisePassCount));
    const float required = ui->le_pass_rate->text().toFloat();
    const float rate = float(double(passedCount) / double(testedCount));
    if (rate >= required)
        print(tr("<font color='green'>成功，通过率:%1</font>").arg(g(rate)));
    else
        print(tr("<font color='red'>失败，通过率:%1</font>").arg(g(rate)));
}

bool Dialog_Detect_Raxo::checkIntensity(const std::vector<UserPointData> &points)
{
    // Twelve 10-degree bins from -60 to +60 degrees of azimuth, compared in mirrored pairs.
    constexpr int kBins = 12;
    std::array<std::vector<float>, kBins> bins;
    for (const UserPointData &p : points) {
        if (!isFloor(p))
            continue;
        const float a = horizontal_angle_degrees(p.x, p.y);
        if (!(a >= -60.0f && a <= 60.0f))
            continue;
        // +60 exactly would index one past the last bin; it belongs to the last one.
        const int bin = std::min(int((a + 60.0f) / 10.0f), kBins - 1);
        bins[size_t(bin)].push_back(float(p.intensity));
    }

    const uint aveThreshold = threshold(ui->le_conf_ave_threshold);
    const uint stdevThreshold = threshold(ui->le_conf_stdev_threshold);
    bool pass = true;
    float maxAve = 0.0f;
    float maxStdev = 0.0f;
    for (int i = 0; i < kBins / 2; ++i) {
        const std::vector<float> &left = bins[size_t(i)];
        const std::vector<float> &right = bins[size_t(kBins - 1 - i)];
        if (left.empty() || right.empty()) {
            print(tr("强度分布均匀检测:点云数据异常"));
            return false;
        }
        const FloatStats a = float_stats(left);
        const FloatStats b = float_stats(right);
        const float aveDiff = absDiff(a.mean, b.mean);
        const float stdevDiff = absDiff(a.stddev, b.stddev);
        if (aveDiff > float(aveThreshold) || stdevDiff > float(stdevThreshold))
            pass = false;
        maxAve = std::max(maxAve, aveDiff);
        maxStdev = std::max(maxStdev, stdevDiff);
    }
    print(tr("强度均匀检测:%1 平均差值:%2 参照值:%3 标准差值:%4 参照值:%5")
              .arg(pass ? 1 : 0)
              .arg(g(maxAve))
              .arg(aveThreshold)
              .arg(g(maxStdev))
              .arg(stdevThreshold));
    return pass;
}

bool Dialog_Detect_Raxo::checkEdge(const std::vector<UserPointData> &points)
{
    // The floor at the outer sides of the field of view, near the sensor, in millimetres.
    std::vector<float> posX, posZ, negX, negZ;
    for (const UserPointData &p : points) {
        if (!isFloor(p))
            continue;
        const float a = horizontal_angle_degrees(p.x, p.y);
        if (!((a <= -55.0f || a >= 55.0f) && p.x < 0.2f))
            continue;
        if (a > 0.0f) {
            posX.push_back(p.x * 1000.0f);
            posZ.push_back(p.z * 1000.0f);
        } else {
            negX.push_back(p.x * 1000.0f);
            negZ.push_back(p.z * 1000.0f);
        }
    }
    const FloatStats px = float_stats(posX);
    const FloatStats pz = float_stats(posZ);
    const FloatStats nx = float_stats(negX);
    const FloatStats nz = float_stats(negZ);

    const float horizontal = std::fabs(px.min - nx.min);
    // Signed: a positive side lying lower than the negative one is level enough.
    const float level = std::max(pz.min - nz.min, pz.max - nz.max);
    const float lift = std::fabs((pz.max - pz.min) - (nz.max - nz.min));

    const uint xyThreshold = threshold(ui->le_xy_threshold);
    const uint zThreshold = threshold(ui->le_z_threshold);
    const uint liftThreshold = threshold(ui->le_z_diff_threshold);
    // Two empty sides would compare their empty statistics as equal; a side without a point has
    // not been measured, so the floor's edges cannot be called level.
    const bool measured = !posX.empty() && !negX.empty();
    const bool pass = measured && horizontal <= float(xyThreshold) && level <= float(zThreshold) &&
        lift <= float(liftThreshold);
    print(tr("边缘齐平性检测: %1  水平差值:%2  x 参照值 %3; 高度差值:%4 z 参照值:%5 ;高度差值:%6 z "
             "参照值:%7")
              .arg(pass ? 1 : 0)
              .arg(g(horizontal))
              .arg(xyThreshold)
              .arg(g(level))
              .arg(zThreshold)
              .arg(g(lift))
              .arg(liftThreshold));
    return pass;
}

bool Dialog_Detect_Raxo::checkGroundLayer(const std::vector<UserPointData> &points)
{
    float lowest = std::numeric_limits<float>::max();
    float highest = std::numeric_limits<float>::lowest();
    for (const UserPointData &p : points) {
        if (!isFloor(p))
            continue;
        const float z = p.z; // a copy: the packed field may sit at an odd address
        lowest = std::min(lowest, z);
        highest = std::max(highest, z);
    }
    // Without a floor point this is infinite, and fails.
    const float thickness = absDiff(highest, lowest) * 1000.0f;
    const uint limit = threshold(ui->le_board_depth_threshold);
    const bool pass = thickness <= float(limit);
    print(tr("地面分层检测:%1 厚度:%2 参照值:%3")
              .arg(pass ? 1 : 0)
              .arg(g(thickness))
              .arg(g(double(limit))));
    return pass;
}

bool Dialog_Detect_Raxo::checkUpperNoise(const std::vector<UserPointData> &points)
{
    const auto upper = std::count_if(points.begin(), points.end(),
                                     [](const UserPointData &p) { return p.z >= 0.0f; });
    const uint limit = threshold(ui->le_noise_num_threshold);
    const bool pass = float(upper) <= float(limit);
    print(tr("上方噪点检测:%1 数量:%2 参照值:%3").arg(pass ? 1 : 0).arg(qlonglong(upper)).arg(limit));
    return pass;
}

void Dialog_Detect_Raxo::on_pb_start_clicked()
{
    testedCount = 0;
    passedCount = 0;
    intensityPassCount = 0;
    edgePassCount = 0;
    groundPassCount = 0;
    noisePassCount = 0;
    running = true;
    const uint frames = ui->le_test_frame_sum->text().toUInt(nullptr, 10);
    framesLeft = int32_t(std::min<uint>(frames, uint(std::numeric_limits<int32_t>::max())));
    write_ini();
}

void Dialog_Detect_Raxo::on_pb_stop_clicked()
{
    running = false;
}

void Dialog_Detect_Raxo::on_pb_clearlog_clicked()
{
    ui->tb_print->clear();
}

void Dialog_Detect_Raxo::write_ini()
{
    IniSettings *ini = IniSettings::instance();
    const std::string section = settingsSection(this);
    for (QWidget *w : findChildren<QWidget *>()) {
        if (w->objectName().isEmpty())
            continue;
        const std::string key = w->objectName().toLocal8Bit().toStdString();
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            ini->set_value(section, key, edit->text().toLocal8Bit().toStdString(), kSettingsDoc);
        else if (auto *box = qobject_cast<QCheckBox *>(w))
            ini->set_value(section, key, box->isChecked() ? "1" : "0", kSettingsDoc);
    }
}

void Dialog_Detect_Raxo::read_ini()
{
    const IniSettings *ini = IniSettings::instance();
    const std::string section = settingsSection(this);
    for (QWidget *w : findChildren<QWidget *>()) {
        if (w->objectName().isEmpty())
            continue;
        const std::string key = w->objectName().toLocal8Bit().toStdString();
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            edit->setText(QString::fromStdString(ini->get_value(section, key, "", kSettingsDoc)));
        } else if (auto *box = qobject_cast<QCheckBox *>(w)) {
            const std::string value = ini->get_value(section, key, "1", kSettingsDoc);
            box->setChecked(std::atoi(value.c_str()) != 0);
        }
    }
}

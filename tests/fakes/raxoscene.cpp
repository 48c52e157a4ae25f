#include "raxoscene.h"

#include "fakeraxo.h"

#include <cmath>

namespace {

constexpr int kBlockColumns = 4;
constexpr int kBlockRows = 30;
constexpr uint8_t kTypeHalfRows = 14;
constexpr uint8_t kFrameEnd = 2;

int16_t units_x(double x_m) { return int16_t(std::lround(x_m * 500.0)); }
int16_t units_y(int column) { return int16_t((column - 180) * 25); }
int16_t units_z(int row) { return int16_t((75 - row) * 25); }
// The sensor's own conversion of 2 mm units to metres, in single precision.
float metres(int16_t units) { return float(units) / 1000.0f * 2.0f; }

} // namespace

RaxoScene::RaxoScene() : cells_(size_t(kRows * kColumns)) {}

void RaxoScene::set(int row, int column, uint16_t range_cm, int16_t x, int16_t y, int16_t z)
{
    RaxoPoint &p = cells_[size_t(row * kColumns + column)];
    p.range_cm = range_cm;
    p.x = x;
    p.y = y;
    p.z = z;
}

void RaxoScene::object(int r0, int r1, int c0, int c1, double x_m)
{
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c)
            set(r, c, uint16_t(std::lround(x_m * 100.0)), units_x(x_m), units_y(c), units_z(r));
    }
}

void RaxoScene::wall(double x_m)
{
    object(0, kRows - 1, 0, kColumns - 1, x_m);
}

void RaxoScene::clear(int row, int column)
{
    cells_[size_t(row * kColumns + column)] = RaxoPoint();
}

float RaxoScene::cell_x(double x_m) { return metres(units_x(x_m)); }
float RaxoScene::cell_y(int column) { return metres(units_y(column)); }
float RaxoScene::cell_z(int row) { return metres(units_z(row)); }

std::vector<Bytes> RaxoScene::packets(int packets) const
{
    std::vector<Bytes> out;
    out.reserve(size_t(packets));
    int k = 0;
    for (int rb = 0; rb < kRows / kBlockRows && k < packets; ++rb) {
        for (int cb = 0; cb < kColumns / kBlockColumns && k < packets; ++cb, ++k) {
            std::vector<RaxoPoint> pts;
            pts.reserve(kBlockColumns * kBlockRows);
            for (int i = 0; i < kBlockColumns * kBlockRows; ++i)
                pts.push_back(cell(rb * kBlockRows + i / kBlockColumns, cb * kBlockColumns + i % kBlockColumns));
            RaxoPacketFields f;
            f.type = kTypeHalfRows;
            f.index = uint16_t(k + 1); // a sensor counts a scan's packets from 1
            f.column = uint16_t(cb * kBlockColumns);
            f.row = uint16_t(2 * rb * kBlockRows);
            f.frame_flag = k == packets - 1 ? kFrameEnd : 0;
            out.push_back(make_raxo_packet(f, pts));
        }
    }
    return out;
}

std::vector<uint8_t> raxo_floor_fan_packet(bool noise)
{
    constexpr double kPi = 3.14159265358979323846;
    std::vector<RaxoPoint> pts;
    for (int tenth = -595; tenth <= 595; tenth += 10) {
        const double rad = tenth / 10.0 * kPi / 180.0;
        pts.push_back(raxo_point(100, int16_t(std::lround(500 * std::cos(rad))),
                                 int16_t(std::lround(500 * std::sin(rad))), -25, 100, 100));
    }
    pts.push_back(raxo_point(100, 62, 250, -25, 100, 100));
    pts.push_back(raxo_point(100, 62, -250, -25, 100, 100));
    pts.push_back(raxo_point(100, 500, 0, 500, 100, 100));
    if (noise)
        pts.push_back(raxo_point(100, 500, 0, 50, 100, 100));
    return raxo_point_packet(1, 0, 0, pts, kFrameEnd);
}

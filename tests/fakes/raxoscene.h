#pragma once
// A synthetic scan of a Raxo sensor sending type-14 packets: the 150 x 360 grid of cells, each
// with its range and point, and the 450 packets of 120 points (a block 4 columns wide and 30
// rows high) that carry one scan, the last ending the frame. For the object detector's tests
// and benchmarks.

#include "devicepackets.h"

#include <vector>

class RaxoScene {
public:
    static constexpr int kRows = 150;
    static constexpr int kColumns = 360;
    static constexpr int kPackets = 450;

    RaxoScene(); // every cell without return

    // Cell (row, column) returns at range_cm with the point in units of 2 mm.
    void set(int row, int column, uint16_t range_cm, int16_t x, int16_t y, int16_t z);
    // A flat object facing the sensor over rows r0..r1 and columns c0..c1 (inclusive), x_m
    // metres ahead: each cell at x_m, y = (column - 180) * 5 cm, z = (75 - row) * 5 cm, its
    // range x_m in centimetres.
    void object(int r0, int r1, int c0, int c1, double x_m);
    // Every cell at x_m metres, as object() places it.
    void wall(double x_m);
    void clear(int row, int column);

    const RaxoPoint &cell(int row, int column) const { return cells_[size_t(row * kColumns + column)]; }
    // Where object() puts a cell, in metres, as the sensor's units give it back.
    static float cell_x(double x_m);
    static float cell_y(int column);
    static float cell_z(int row);

    // The scan's packets; `packets` below 450 leaves the last ones out (the final one sent
    // still ends the frame).
    std::vector<Bytes> packets(int packets = kPackets) const;

private:
    std::vector<RaxoPoint> cells_;
};

// One frame of the floor 5 cm below a Raxo sensor (units of 2 mm): a fan one metre out from
// -59.5 to 59.5 degrees in tenths, both fan edges near the sensor, and a point 1 m up; with
// `noise` also a point 10 cm up. The factory test's ground scene.
std::vector<uint8_t> raxo_floor_fan_packet(bool noise);

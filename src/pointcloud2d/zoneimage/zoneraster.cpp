#include "zoneraster.h"

#include "lhframe.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ZONEALARM {

int32_t zone_round(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::round(v); // halves away from zero
    if (r >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (r <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return int32_t(r);
}

namespace {

int32_t trunc_i32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (v <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return int32_t(v); // truncates towards zero
}

} // namespace

std::vector<ZoneNode> make_zone_nodes(const zones &table)
{
    std::vector<ZoneNode> nodes;
    const int count = std::clamp(table.count, 0, ZONE_MAX_SHAPES);
    nodes.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const ZoneShape &r = table.shapes[i];
        const double *p = r.param;
        ZoneNode n;
        n.kind = r.kind;
        n.zone_id = r.zone_id;
        n.area = r.area;
        switch (r.kind) {
        case ZONE_RECTANGLE: // (bottom, left), (top, right)
            n.points.push_back({zone_round(p[0]), zone_round(p[1])});
            n.points.push_back({zone_round(p[2]), zone_round(p[3])});
            break;
        case ZONE_ELLIPSE: // the bounding box's low and high corners
            n.points.push_back({zone_round(p[1] - p[3] / 2), zone_round(p[0] - p[2] / 2)});
            n.points.push_back({zone_round(p[1] + p[3] / 2), zone_round(p[0] + p[2] / 2)});
            break;
        case ZONE_SECTOR: { // near point on the end bearing, far point on the start bearing
            const double s = p[0] * 3.1415926535898 / 1800;
            const double e = p[1] * 3.1415926535898 / 1800;
            n.points.push_back({zone_round(p[3] * std::cos(e)), zone_round(p[3] * std::sin(e))});
            n.points.push_back({zone_round(p[2] * std::cos(s)), zone_round(p[2] * std::sin(s))});
            break;
        }
        case ZONE_POLYGON:
        case ZONE_SUBTRACT: {
            // No writer makes more than 20 vertices; never read past the 40 parameters.
            const int vc = std::clamp(r.point_count, 0, ZONE_MAX_VERTICES);
            for (int j = 0; j < vc; ++j)
                n.points.push_back({zone_round(p[2 * j + 1]), zone_round(p[2 * j])});
            break;
        }
        default:
            continue;
        }
        nodes.push_back(std::move(n));
    }
    return nodes;
}

void write_zone_def_block(const std::vector<ZoneNode> &nodes, int zone_id, uint8_t *block)
{
    size_t pos = 0;
    for (const ZoneNode &n : nodes) {
        if (n.zone_id != zone_id)
            continue;
        // A polygon left without vertices has nothing to store; an empty entry would end the
        // block for the reader and lose the zone's later shapes.
        if (n.points.empty())
            continue;
        const size_t values = 2 * n.points.size();
        const size_t size = 4 + 4 * values;
        if (pos + size > size_t(ZONE_DEF_BLOCK))
            break;
        uint8_t *e = block + pos;
        e[0] = uint8_t(n.kind);
        e[1] = uint8_t(n.zone_id);
        e[2] = uint8_t(n.area);
        e[3] = uint8_t(values);
        for (size_t j = 0; j < n.points.size(); ++j) {
            wr_u32(e + 4 + 8 * j, uint32_t(n.points[j].y));
            wr_u32(e + 8 + 8 * j, uint32_t(n.points[j].x));
        }
        pos += size;
    }
}

// ---------------------------------------------------------------------------------------------
// Rasterisation.
//
// The device's table is defined by probing every 8 mm step of every bearing against every
// shape: probe (s * cy8, s * sx8) in single precision, a sector by its per-tenth-degree radii,
// a polygon by the even-odd rule in single precision. Doing that literally costs about 2 s per
// ellipse. Here each shape is probed only at the steps where it can contain the probe, and the
// runs of consecutive inside steps are recorded as the literal walk would record them; every
// probe that is made is the literal one, so the table comes out byte for byte the same.
// ---------------------------------------------------------------------------------------------

namespace {

constexpr uint16_t AREA_BIT[3] = {0x2000, 0x4000, 0x8000};

struct Run {
    int begin;
    int end;
};

// One edge of a polygon in the form the inside test uses: vertex i and the previous vertex j.
struct Edge {
    float xi, xj; // x of the two vertices
    float yi;     // y of vertex i
    float dy, dx; // (yj - yi), (xj - xi): integer differences in single precision
    float lo, hi; // the edge counts for lo <= x < hi
    // Every crossing height dy * (x - xi) / dx + yi that the test can compute lies strictly
    // inside (band_lo, band_hi): the two vertices' y widened by far more than the few
    // single-precision roundings (relative 1e-7) it can be off by.
    double band_lo, band_hi;
};

struct Polygon {
    std::vector<Edge> edges;
    double xmin = 0, xmax = 0; // of the vertices' x in single precision
    double ylow = 0, yhigh = 0; // bounds of every crossing height the test can compute
};

struct Sector {
    // (near, far) per tenth of a degree; (0, 0) outside the sweep.
    std::vector<int64_t> near_r, far_r;
};

struct RasterShape {
    int area = 0;
    bool subtractive = false;
    bool is_sector = false;
    Polygon poly;
    Sector sector;
};

Polygon make_polygon(const std::vector<ZonePoint> &v)
{
    Polygon p;
    const size_t n = v.size();
    if (n == 0)
        return p;
    float fymin = float(v[0].y), fymax = fymin;
    p.xmin = p.xmax = double(float(v[0].x));
    for (size_t i = 0; i < n; ++i) {
        const size_t j = i == 0 ? n - 1 : i - 1;
        Edge e;
        e.xi = float(v[i].x);
        e.xj = float(v[j].x);
        e.yi = float(v[i].y);
        e.dy = float(int64_t(v[j].y) - int64_t(v[i].y));
        e.dx = float(int64_t(v[j].x) - int64_t(v[i].x));
        e.lo = std::min(e.xi, e.xj);
        e.hi = std::max(e.xi, e.xj);
        const float yj = float(v[j].y);
        const double em = 1.0 + 1e-5 * (std::fabs(double(e.yi)) + std::fabs(double(yj)));
        e.band_lo = double(std::min(e.yi, yj)) - em;
        e.band_hi = double(std::max(e.yi, yj)) + em;
        p.edges.push_back(e);
        p.xmin = std::min(p.xmin, double(e.xi));
        p.xmax = std::max(p.xmax, double(e.xi));
        fymin = std::min(fymin, e.yi);
        fymax = std::max(fymax, e.yi);
    }
    // A crossing height dy * (x - xi) / dx + yi lies between the edge's two y values up to a few
    // single-precision roundings (relative 1e-7); the margin covers them many times over.
    const double margin = 1.0 + 1e-5 * (std::fabs(double(fymin)) + std::fabs(double(fymax)));
    p.ylow = double(fymin) - margin;
    p.yhigh = double(fymax) + margin;
    return p;
}

Sector make_sector(const ZonePoint &nearp, const ZonePoint &farp)
{
    Sector s;
    s.near_r.assign(3600, 0);
    s.far_r.assign(3600, 0);
    // Squares summed in 64 bits: a radius beyond 46 km would overflow 32.
    const auto sq = [](const ZonePoint &q) {
        return double(uint64_t(int64_t(q.y) * q.y) + uint64_t(int64_t(q.x) * q.x));
    };
    const double rn = std::sqrt(sq(nearp));
    const double rf = std::sqrt(sq(farp));
    double start = std::atan2(double(farp.x), double(farp.y));
    double end = std::atan2(double(nearp.x), double(nearp.y));
    if (start < 0)
        start += 6.2831852;
    if (end < 0)
        end += 6.2831852;
    const int64_t lo = int64_t(std::min(rn, rf));
    const int64_t hi = int64_t(std::max(rn, rf));
    for (int i = 0; i < 3600; ++i) {
        const double t = i * 3.1415926 / 1800;
        const bool in = start < end ? (start < t && t < end) : (start > end && (t > start || t < end));
        if (in) {
            s.near_r[size_t(i)] = lo;
            s.far_r[size_t(i)] = hi;
        }
    }
    return s;
}

std::vector<RasterShape> make_raster_shapes(const std::vector<ZoneNode> &nodes, int zone_id)
{
    std::vector<RasterShape> shapes;
    for (const ZoneNode &n : nodes) {
        if (n.zone_id != zone_id)
            continue;
        RasterShape r;
        r.area = n.area;
        r.subtractive = n.kind == ZONE_SUBTRACT;
        switch (n.kind) {
        case ZONE_RECTANGLE: {
            if (n.points.size() < 2)
                continue;
            const ZonePoint a = n.points[0], b = n.points[1];
            r.poly = make_polygon({{a.y, a.x}, {b.y, a.x}, {b.y, b.x}, {a.y, b.x}});
            break;
        }
        case ZONE_ELLIPSE: {
            if (n.points.size() < 2)
                continue;
            const ZonePoint a = n.points[0], b = n.points[1];
            const int64_t cy = (int64_t(a.y) + b.y) / 2; // truncates towards zero
            const int64_t cx = (int64_t(a.x) + b.x) / 2;
            const int64_t ay = int64_t(double(std::llabs(int64_t(a.y) - b.y)) * 0.5);
            const int64_t ax = int64_t(double(std::llabs(int64_t(a.x) - b.x)) * 0.5);
            std::vector<ZonePoint> v(72);
            for (int h = 0; h < 72; ++h) {
                const double t = h * 3.14159265 * 2 / 72;
                v[size_t(h)].y = trunc_i32(std::cos(t) * double(ay) + double(cy));
                v[size_t(h)].x = trunc_i32(std::sin(t) * double(ax) + double(cx));
            }
            r.poly = make_polygon(v);
            break;
        }
        case ZONE_SECTOR:
            if (n.points.size() < 2)
                continue;
            r.is_sector = true;
            r.sector = make_sector(n.points[0], n.points[1]);
            break;
        case ZONE_POLYGON:
        case ZONE_SUBTRACT:
            r.poly = make_polygon(n.points);
            break;
        default:
            continue;
        }
        // A shape that can never be probed changes nothing; leave it out.
        if (!r.subtractive && (r.area < 0 || r.area > 2))
            continue;
        if (!r.is_sector && r.poly.edges.empty())
            continue;
        shapes.push_back(std::move(r));
    }
    return shapes;
}

// Steps s in 1..8190 that may have lo <= fl(s * c) <= hi: a superset, from the exact product
// (the single-precision probe differs from it by less than 0.004 mm at 65520 mm).
bool step_range(float c, double lo, double hi, int &s0, int &s1)
{
    if (c == 0.0f) {
        s0 = 1;
        s1 = ZONE_STEPS;
        return lo <= 0.0 && 0.0 <= hi;
    }
    double a = (lo - 0.01) / double(c);
    double b = (hi + 0.01) / double(c);
    if (c < 0)
        std::swap(a, b);
    if (b < 0.0 || a > double(ZONE_STEPS + 1))
        return false;
    s0 = std::max(1, int(std::floor(std::max(a, 0.0))) - 1);
    s1 = std::min(ZONE_STEPS, int(std::ceil(std::min(b, double(ZONE_STEPS + 1)))) + 1);
    return s0 <= s1;
}

// First s in [s0, s1] for which the monotone (false, then true) `pred` holds, s1 + 1 when
// none. `guess` is where the exact product puts it; the probe's rounding moves it by a step at
// most, except on rays almost along an axis, where a bisection finds it.
template <class Pred>
int first_true(Pred pred, int s0, int s1, double guess)
{
    const int g = int(std::clamp(guess, double(s0), double(s1 + 1)));
    for (int s : {g, g + 1, g - 1}) {
        if (s < s0 || s > s1 + 1)
            continue;
        if ((s > s1 || pred(s)) && (s == s0 || !pred(s - 1)))
            return s;
    }
    int lo = s0, hi = s1 + 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (pred(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// The steps of [s0, s1] at which an edge counts, lo <= fl(s * sx8) < hi: exactly, as one
// interval, since the probe's x is monotone in s.
bool edge_steps(const Edge &e, float sx8, int s0, int s1, int &a, int &b)
{
    if (!(e.lo < e.hi))
        return false;
    if (sx8 == 0.0f) { // x is zero at every step
        a = s0;
        b = s1;
        return e.lo <= 0.0f && 0.0f < e.hi;
    }
    const auto px = [sx8](int s) { return float(s) * sx8; };
    const double c = double(sx8);
    int end;
    if (sx8 > 0) {
        a = first_true([&](int s) { return px(s) >= e.lo; }, s0, s1, std::ceil(double(e.lo) / c));
        end = first_true([&](int s) { return px(s) >= e.hi; }, s0, s1, std::ceil(double(e.hi) / c));
    } else {
        a = first_true([&](int s) { return px(s) < e.hi; }, s0, s1, std::floor(double(e.hi) / c) + 1);
        end = first_true([&](int s) { return px(s) < e.lo; }, s0, s1, std::floor(double(e.lo) / c) + 1);
    }
    b = end - 1;
    return a <= b;
}

struct Scratch {
    std::vector<Run> toggles; // step intervals in which one edge toggles the inside test
    std::vector<int> events;
};

// Runs of steps inside a polygon along the bearing, by the even-odd rule. Rather than test
// every edge at every step, each edge contributes the interval of steps at which it counts,
// split where the probe passes the edge's height band: below the band the edge toggles, above
// it does not, and only inside the band is its toggle computed, step by step, exactly as the
// test does. The parity of the toggles covering a step is the test's answer at that step.
void polygon_runs(const Polygon &p, float cy8, float sx8, Scratch &sc, std::vector<Run> &out)
{
    int x0, x1, y0, y1;
    if (!step_range(sx8, p.xmin, p.xmax, x0, x1) || !step_range(cy8, p.ylow, p.yhigh, y0, y1))
        return;
    const int s0 = std::max(x0, y0), s1 = std::min(x1, y1);
    if (s0 > s1)
        return;

    sc.toggles.clear();
    const auto side = [&](const Edge &e, int u, int v) {
        if (u <= v && double(float(u) * cy8) < e.band_lo)
            sc.toggles.push_back({u, v});
    };
    for (const Edge &e : p.edges) {
        int a, b;
        if (!edge_steps(e, sx8, s0, s1, a, b))
            continue;
        int c0, c1;
        if (!step_range(cy8, e.band_lo, e.band_hi, c0, c1)) {
            side(e, a, b);
            continue;
        }
        side(e, a, std::min(b, c0 - 1));
        side(e, std::max(a, c1 + 1), b);
        const int u = std::max(a, c0), v = std::min(b, c1);
        int begin = -1;
        for (int s = u; s <= v; ++s) {
            const float y = float(s) * cy8;
            const float x = float(s) * sx8;
            if (e.dy * (x - e.xi) / e.dx + e.yi > y) {
                if (begin < 0)
                    begin = s;
            } else if (begin >= 0) {
                sc.toggles.push_back({begin, s - 1});
                begin = -1;
            }
        }
        if (begin >= 0)
            sc.toggles.push_back({begin, v});
    }
    if (sc.toggles.empty())
        return;

    // Odd coverage = inside.
    sc.events.clear();
    for (const Run &t : sc.toggles) {
        sc.events.push_back(t.begin);
        sc.events.push_back(t.end + 1);
    }
    std::sort(sc.events.begin(), sc.events.end());
    bool inside = false;
    int begin = 0;
    for (size_t i = 0; i < sc.events.size();) {
        const int pos = sc.events[i];
        size_t j = i;
        while (j < sc.events.size() && sc.events[j] == pos)
            ++j;
        if ((j - i) % 2 == 1) {
            inside = !inside;
            if (inside)
                begin = pos;
            else
                out.push_back({begin, pos - 1});
        }
        i = j;
    }
}

void sector_runs(const Sector &sec, int a, std::vector<Run> &out)
{
    // Inside when near < 8 s < far.
    const int64_t nr = sec.near_r[size_t(a)], fr = sec.far_r[size_t(a)];
    const int64_t s0 = std::max<int64_t>(1, nr < 0 ? 1 : nr / 8 + 1);
    const int64_t s1 = std::min<int64_t>(ZONE_STEPS, fr <= 0 ? 0 : (fr - 1) / 8);
    if (s0 <= s1)
        out.push_back({int(s0), int(s1)});
}

// Sorts and joins overlapping or touching runs: the union along the bearing.
void merge_runs(std::vector<Run> &runs)
{
    if (runs.size() < 2)
        return;
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.begin < b.begin; });
    size_t w = 0;
    for (size_t i = 1; i < runs.size(); ++i) {
        if (runs[i].begin <= runs[w].end + 1)
            runs[w].end = std::max(runs[w].end, runs[i].end);
        else
            runs[++w] = runs[i];
    }
    runs.resize(w + 1);
}

struct Range {
    uint16_t start = 0;
    uint16_t end = 0;
};

} // namespace

void rasterise_zone(const std::vector<ZoneNode> &nodes, int zone_id, uint8_t *table)
{
    const std::vector<RasterShape> shapes = make_raster_shapes(nodes, zone_id);
    if (shapes.empty())
        return;

    std::vector<Run> area_runs[3];
    std::vector<Run> sub_runs;
    Scratch scratch;
    for (int k = 0; k < ZONE_BEARINGS; ++k) {
        const int a = 3600 * k / 1000;
        const double t = a * 3.14159265 / 1800;
        const float cy8 = float(std::cos(t) * 8);
        const float sx8 = float(std::sin(t) * 8);

        for (auto &r : area_runs)
            r.clear();
        sub_runs.clear();
        for (const RasterShape &sh : shapes) {
            std::vector<Run> &dst = sh.subtractive ? sub_runs : area_runs[sh.area];
            if (sh.is_sector)
                sector_runs(sh.sector, a, dst);
            else
                polygon_runs(sh.poly, cy8, sx8, scratch, dst);
        }

        // Record the runs in the order the walk meets them: alarm, warning, observe, each
        // nearest first, into the first free of three ranges; the rest are dropped.
        Range ranges[3];
        Range sub;
        for (int area = 2; area >= 0; --area) {
            std::vector<Run> &runs = area_runs[area];
            merge_runs(runs);
            for (const Run &r : runs) {
                Range *slot = nullptr;
                for (Range &g : ranges)
                    if (g.start == 0) {
                        slot = &g;
                        break;
                    }
                if (!slot)
                    continue;
                slot->start = uint16_t(r.begin | AREA_BIT[area]);
                slot->end = uint16_t(r.end > r.begin ? r.end : 0);
            }
        }
        // Only the first subtractive run along the bearing is kept.
        merge_runs(sub_runs);
        if (!sub_runs.empty()) {
            sub.start = uint16_t(sub_runs[0].begin);
            sub.end = uint16_t(sub_runs[0].end > sub_runs[0].begin ? sub_runs[0].end : 0);
        }

        if (sub.start != 0 || sub.end != 0) {
            for (Range &g : ranges) {
                if (g.start == 0)
                    continue;
                const int gs = g.start & 0x1FFF;
                if (gs >= sub.end)
                    continue;
                if (gs >= sub.start) {
                    g.start = 0;
                    g.end = 0;
                } else if (g.end > sub.start) {
                    g.end = sub.start;
                }
            }
        }

        uint8_t *entry = table + ZONE_POLAR_ENTRY * k;
        int w = 0;
        for (const Range &g : ranges) {
            if (g.start == 0)
                continue;
            wr_u16(entry + 4 * w, g.start);
            wr_u16(entry + 4 * w + 2, g.end);
            ++w;
        }
    }
}

} // namespace ZONEALARM

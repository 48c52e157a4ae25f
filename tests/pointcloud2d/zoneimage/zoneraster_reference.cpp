#include "zoneraster_reference.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zoneref {

namespace {

using ZONEALARM::zones;
using ZONEALARM::ZoneShape;

struct Pt {
    long long y, x;
};

// The even-odd test, edge by edge: vertex i and the previous vertex j. The vertices' single-
// precision values and the integer differences are converted once per shape; the expression is
// the literal one.
struct FloatPoly {
    std::vector<float> xi, xj, yi, dy, dx;
};

FloatPoly float_poly(const std::vector<Pt> &v)
{
    FloatPoly f;
    const int n = int(v.size());
    for (int i = 0, j = n - 1; i < n; j = i++) {
        f.xi.push_back((float)v[i].x);
        f.xj.push_back((float)v[j].x);
        f.yi.push_back((float)v[i].y);
        f.dy.push_back((float)(v[j].y - v[i].y));
        f.dx.push_back((float)(v[j].x - v[i].x));
    }
    return f;
}

struct Shape {
    int kind;
    int area;
    std::vector<Pt> poly;             // polygon vertices (y, x)
    FloatPoly fpoly;
    std::vector<long long> nr, fr;    // sector: near and far per tenth of a degree
};

long long rnd(double v)
{
    return (long long)std::round(v);
}

// The points each record is stored with, as (y, x).
std::vector<Pt> node_points(const ZoneShape &r)
{
    const double *p = r.param;
    std::vector<Pt> v;
    if (r.kind == 2) {
        v.push_back({rnd(p[0]), rnd(p[1])});
        v.push_back({rnd(p[2]), rnd(p[3])});
    } else if (r.kind == 3) {
        v.push_back({rnd(p[1] - p[3] / 2), rnd(p[0] - p[2] / 2)});
        v.push_back({rnd(p[1] + p[3] / 2), rnd(p[0] + p[2] / 2)});
    } else if (r.kind == 4) {
        const double s = p[0] * 3.1415926535898 / 1800;
        const double e = p[1] * 3.1415926535898 / 1800;
        v.push_back({rnd(p[3] * cos(e)), rnd(p[3] * sin(e))});
        v.push_back({rnd(p[2] * cos(s)), rnd(p[2] * sin(s))});
    } else if (r.kind == 1 || r.kind == 5) {
        for (int j = 0; j < r.point_count && j < 20; ++j)
            v.push_back({rnd(p[2 * j + 1]), rnd(p[2 * j])});
    }
    return v;
}

bool in_polygon(const FloatPoly &p, float y, float x)
{
    bool c = false;
    const size_t n = p.xi.size();
    for (size_t i = 0; i < n; ++i) {
        if ((p.xi[i] <= x && x < p.xj[i]) || (p.xj[i] <= x && x < p.xi[i])) {
            if (p.dy[i] * (x - p.xi[i]) / p.dx[i] + p.yi[i] > y)
                c = !c;
        }
    }
    return c;
}

std::vector<Shape> shapes_of(const zones &t, int zone_id)
{
    std::vector<Shape> out;
    for (int i = 0; i < t.count && i < 64; ++i) {
        const ZoneShape &r = t.shapes[i];
        if (r.kind < 1 || r.kind > 5 || r.zone_id != zone_id)
            continue;
        const std::vector<Pt> pts = node_points(r);
        Shape s;
        s.kind = r.kind;
        s.area = r.area;
        if (r.kind == 2) {
            const Pt a = pts[0], b = pts[1];
            s.poly = {{a.y, a.x}, {b.y, a.x}, {b.y, b.x}, {a.y, b.x}};
        } else if (r.kind == 3) {
            const Pt a = pts[0], b = pts[1];
            const long long cy = (a.y + b.y) / 2, cx = (a.x + b.x) / 2;
            const long long ay = (long long)(std::llabs(a.y - b.y) * 0.5);
            const long long ax = (long long)(std::llabs(a.x - b.x) * 0.5);
            for (int h = 0; h < 72; ++h) {
                const double t = h * 3.14159265 * 2 / 72;
                s.poly.push_back({(long long)(cos(t) * ay + cy), (long long)(sin(t) * ax + cx)});
            }
        } else if (r.kind == 4) {
            const Pt n = pts[0], f = pts[1];
            const double rn = sqrt(double(n.y * n.y + n.x * n.x));
            const double rf = sqrt(double(f.y * f.y + f.x * f.x));
            double st = atan2(double(f.x), double(f.y));
            double en = atan2(double(n.x), double(n.y));
            if (st < 0)
                st += 6.2831852;
            if (en < 0)
                en += 6.2831852;
            s.nr.assign(3600, 0);
            s.fr.assign(3600, 0);
            for (int i2 = 0; i2 < 3600; ++i2) {
                const double tt = i2 * 3.1415926 / 1800;
                bool in;
                if (st < en)
                    in = st < tt && tt < en;
                else if (st > en)
                    in = tt > st || tt < en;
                else
                    in = false;
                if (in) {
                    s.nr[i2] = (long long)std::min(rn, rf);
                    s.fr[i2] = (long long)std::max(rn, rf);
                }
            }
        } else {
            s.poly = pts;
        }
        s.fpoly = float_poly(s.poly);
        out.push_back(s);
    }
    return out;
}

struct Rg {
    unsigned start = 0, end = 0;
};

} // namespace

std::vector<uint8_t> polar_table(const zones &table, int zone_id, const std::vector<int> &bearings)
{
    std::vector<uint8_t> out(12000, 0);
    const std::vector<Shape> shapes = shapes_of(table, zone_id);
    std::vector<int> ks = bearings;
    if (ks.empty())
        for (int k = 0; k < 1000; ++k)
            ks.push_back(k);
    const unsigned bit[3] = {0x2000, 0x4000, 0x8000};

    for (int k : ks) {
        const int a = 3600 * k / 1000;
        const double t = a * 3.14159265 / 1800;
        const float cy8 = (float)(cos(t) * 8);
        const float sx8 = (float)(sin(t) * 8);
        Rg rg[3];
        Rg sub;
        for (int area = 2; area >= 0; --area) {
            bool was_in = false, was_sub = false;
            Rg *cur = nullptr, *cur_sub = nullptr;
            for (int s = 1; 8 * s < 65528; ++s) {
                const float y = s * cy8;
                const float x = s * sx8;
                bool in = false, insub = false;
                for (const Shape &sh : shapes) {
                    // A shape of another area plays no part in this pass.
                    if (sh.kind != 5 && sh.area != area)
                        continue;
                    bool c;
                    if (sh.kind == 4)
                        c = sh.nr[a] < 8 * s && 8 * s < sh.fr[a];
                    else
                        c = in_polygon(sh.fpoly, y, x);
                    if (sh.kind == 5)
                        insub = insub || c;
                    else if (sh.area == area)
                        in = in || c;
                }
                if (in) {
                    if (!was_in) {
                        cur = nullptr;
                        for (Rg &g : rg)
                            if (g.start == 0) {
                                cur = &g;
                                break;
                            }
                        if (cur)
                            cur->start = unsigned(s) | bit[area];
                    } else if (cur) {
                        cur->end = unsigned(s);
                    }
                }
                was_in = in;
                if (insub) {
                    if (!was_sub) {
                        cur_sub = sub.start == 0 ? &sub : nullptr;
                        if (cur_sub)
                            cur_sub->start = unsigned(s);
                    } else if (cur_sub) {
                        cur_sub->end = unsigned(s);
                    }
                }
                was_sub = insub;
            }
        }
        if (sub.start != 0 || sub.end != 0) {
            for (Rg &g : rg) {
                if (g.start == 0)
                    continue;
                const unsigned gs = g.start & 0x1FFF;
                if (gs >= sub.end) {
                    // starts at or after the subtractive range's end: unchanged
                } else if (gs >= sub.start) {
                    g.start = 0;
                    g.end = 0;
                } else if (g.end > sub.start) {
                    g.end = sub.start;
                }
            }
        }
        uint8_t *e = &out[size_t(12 * k)];
        int w = 0;
        for (const Rg &g : rg) {
            if (g.start == 0)
                continue;
            e[4 * w] = uint8_t(g.start);
            e[4 * w + 1] = uint8_t(g.start >> 8);
            e[4 * w + 2] = uint8_t(g.end);
            e[4 * w + 3] = uint8_t(g.end >> 8);
            ++w;
        }
    }
    return out;
}

} // namespace zoneref

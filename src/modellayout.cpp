#include "modellayout.h"

#include "userpointdata.h"

namespace {

// A device's side: its own page beside the points and the analysis, the other devices' pages
// hidden.
ModelLayout devicePage(int page)
{
    ModelLayout l;
    int hidden = 0;
    for (int other : {kPageFenkU, kPageRaxo, kPageVimoE, kPageBox})
        if (other != page)
            l.hiddenButtons[hidden++] = other;
    l.shownButtons[0] = page;
    l.shownButtons[1] = kPagePoints;
    l.shownButtons[2] = kPageAnalysis;
    l.page = page;
    return l;
}

ModelLayout fenkU()
{
    ModelLayout l = devicePage(kPageFenkU);
    l.tableDistance = true;
    l.tablePlanes = true;
    l.tableMaskColumns = true;
    l.rowsPerBlock = 40;
    return l;
}

ModelLayout raxoE()
{
    ModelLayout l = devicePage(kPageRaxo);
    l.raxoPage = true;
    l.tableDistance = true;
    return l;
}

ModelLayout raxoS()
{
    ModelLayout l = raxoE();
    l.frameView = true;
    l.alarmWords = true;
    return l;
}

ModelLayout vimoE()
{
    ModelLayout l = devicePage(kPageVimoE);
    l.rowsPerBlock = 128;
    return l;
}

ModelLayout algorithmBox()
{
    ModelLayout l = devicePage(kPageBox);
    l.frameView = true;
    return l;
}

// No session: the points and the analysis, nothing of a device.
ModelLayout unknown()
{
    ModelLayout l;
    l.hiddenButtons[0] = kPageFenkU;
    l.hiddenButtons[1] = kPageRaxo;
    l.hiddenButtons[2] = kPageVimoE;
    l.hiddenButtons[3] = kPageBox;
    l.shownButtons[0] = kPagePoints;
    l.shownButtons[1] = kPageAnalysis;
    l.page = kPagePoints;
    return l;
}

// One row per LidarType, in its order.
const ModelLayout *layouts()
{
    static const ModelLayout kLayouts[] = {fenkU(), raxoE(), raxoS(), vimoE(), algorithmBox(), unknown()};
    static_assert(sizeof kLayouts / sizeof kLayouts[0] == LIDAR_UNKNOWN + 1, "one row per LidarType");
    return kLayouts;
}

} // namespace

const ModelLayout *find_model_layout(int type)
{
    return type >= 0 && type <= int(LIDAR_UNKNOWN) ? &layouts()[type] : nullptr;
}

const ModelLayout &model_layout(int type)
{
    const ModelLayout *l = find_model_layout(type);
    return l != nullptr ? *l : layouts()[LIDAR_UNKNOWN];
}

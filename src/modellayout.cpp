#include "modellayout.h"

#include "userpointdata.h"

namespace {

ModelLayout fenkU()
{
    ModelLayout l;
    l.hiddenButtons[0] = kPageRaxo;
    l.hiddenButtons[1] = kPageVimoE;
    l.hiddenButtons[2] = kPageBox;
    l.shownButtons[0] = kPageFenkU;
    l.shownButtons[1] = kPagePoints;
    l.shownButtons[2] = kPageAnalysis;
    l.page = kPageFenkU;
    l.tableDistance = true;
    l.tablePlanes = true;
    l.tableMaskColumns = true;
    l.rowsPerBlock = 40;
    return l;
}

ModelLayout raxoE()
{
    ModelLayout l;
    l.hiddenButtons[0] = kPageFenkU;
    l.hiddenButtons[1] = kPageVimoE;
    l.hiddenButtons[2] = kPageBox;
    l.shownButtons[0] = kPageRaxo;
    l.shownButtons[1] = kPagePoints;
    l.shownButtons[2] = kPageAnalysis;
    l.page = kPageRaxo;
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
    ModelLayout l;
    l.hiddenButtons[0] = kPageFenkU;
    l.hiddenButtons[1] = kPageRaxo;
    l.hiddenButtons[2] = kPageBox;
    l.shownButtons[0] = kPageVimoE;
    l.shownButtons[1] = kPagePoints;
    l.shownButtons[2] = kPageAnalysis;
    l.page = kPageVimoE;
    l.rowsPerBlock = 128;
    return l;
}

ModelLayout algorithmBox()
{
    ModelLayout l;
    l.frameView = true;
    l.hiddenButtons[0] = kPageFenkU;
    l.hiddenButtons[1] = kPageRaxo;
    l.hiddenButtons[2] = kPageVimoE;
    l.shownButtons[0] = kPageBox;
    l.shownButtons[1] = kPagePoints;
    l.shownButtons[2] = kPageAnalysis;
    l.page = kPageBox;
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

// The window's layout of each model: every side-page button is either shown or hidden, the page
// shown is the model's own, and numbers that name no model get the unknown model's layout.

#include "modellayout.h"
#include "userpointdata.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ModelLayout, EveryButtonShownOrHiddenAndThePageAmongTheShown)
{
    for (int type = 0; type <= int(LIDAR_UNKNOWN); ++type) {
        SCOPED_TRACE(type);
        const ModelLayout *l = find_model_layout(type);
        ASSERT_NE(l, nullptr);
        std::set<int> hidden, shown;
        for (int id : l->hiddenButtons)
            if (id >= 0)
                hidden.insert(id);
        for (int id : l->shownButtons)
            if (id >= 0)
                shown.insert(id);
        std::set<int> all = hidden;
        all.insert(shown.begin(), shown.end());
        EXPECT_EQ(all, (std::set<int>{kPageFenkU, kPageRaxo, kPageVimoE, kPagePoints, kPageAnalysis, kPageBox}));
        EXPECT_EQ(hidden.size() + shown.size(), all.size()) << "no button both";
        EXPECT_EQ(shown.count(l->page), 1u);
        EXPECT_GT(l->rowsPerBlock, 0);
    }
    EXPECT_EQ(model_layout(LIDAR_RAXO_S).page, kPageRaxo);
    EXPECT_TRUE(model_layout(LIDAR_RAXO_S).alarmWords);
    EXPECT_FALSE(model_layout(LIDAR_RAXO_E).alarmWords);
    for (int stranger : {-1, int(LIDAR_UNKNOWN) + 1, 255}) {
        EXPECT_EQ(find_model_layout(stranger), nullptr);
        EXPECT_EQ(model_layout(stranger).page, kPagePoints);
    }
}

} // namespace

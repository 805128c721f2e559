#include "ui/MainLayout.h"

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

TEST(MainLayout, PlacesGridsSideBySideInTwips) {
    // 900 x 600 pixels at 15 twips per pixel: 13500 x 9000 twips.
    const MainLayout l = ComputeMainLayout(900, 600, 15);
    EXPECT_EQ(l.grid1.top, 32);               // 480 twips
    EXPECT_EQ(l.grid1.left, 0);
    EXPECT_EQ(l.grid1.height, 565);           // (9000 - 525) / 15
    EXPECT_EQ(l.grid1.width, 450);            // 6750 twips
    EXPECT_EQ(l.columnWidth, 450);
    EXPECT_EQ(l.grid2.top, 32);
    EXPECT_EQ(l.grid2.left, 449);             // (6750 - 15) / 15
    EXPECT_EQ(l.grid2.width, 450);
    EXPECT_EQ(l.grid2.height, 565);
    EXPECT_EQ(l.text2.left, 449);
    EXPECT_EQ(l.text1.left, 0);
    EXPECT_EQ(l.text1.width, kStatusBoxWidth);
    EXPECT_EQ(l.text2.width, kStatusBoxWidth);
}

TEST(MainLayout, TinyWindowGetsNoNegativeSize) {
    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{40, 20}, std::pair{-5, -5}}) {
        const MainLayout l = ComputeMainLayout(w, h, 15);
        for (const Box& b : {l.grid1, l.grid2, l.text1, l.text2}) {
            EXPECT_GE(b.width, 0);
            EXPECT_GE(b.height, 0);
            EXPECT_GE(b.left, 0);
        }
        EXPECT_EQ(l.grid1.height, 0);
        // The status boxes never reach under each other.
        EXPECT_LE(l.text1.left + l.text1.width, l.text2.left);
    }
}

}  // namespace
}  // namespace mutaplot

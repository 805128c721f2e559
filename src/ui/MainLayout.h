#pragma once
// Where the main window puts its grids and status boxes for a given inner
// size. The positions are kept in twips (1440 to the inch), as the window
// was designed, and converted to pixels at the screen's twips per pixel.

namespace mutaplot {

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
};

struct MainLayout {
    Box grid1, grid2, text1, text2;
    int columnWidth = 0;  // column 0 of each grid
};

// `width`, `height`: the window's inner size in pixels. No size is ever
// negative: a window too small for the grids gets grids of height 0.
MainLayout ComputeMainLayout(int width, int height, int twipsPerPixel);

// Design size of the two status boxes, in pixels.
inline constexpr int kStatusBoxWidth = 340;
inline constexpr int kStatusBoxHeight = 26;
inline constexpr int kStatusBoxTop = 3;

}  // namespace mutaplot

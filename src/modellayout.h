#pragma once
// What the window shows of each device model, keyed by the model as the model table
// (devicemodels.h) is: the side page with its property buttons and the view-options frame, the
// point table's columns and blocks, and the words of a zone's alarm in the 2D view.

#include <cstdint>

struct ModelLayout {
    // ---- the side page ----
    bool frameView = false;            // the view-options frame is shown
    int hiddenButtons[4] = {-1, -1, -1, -1}; // property buttons hidden; -1 ends the list
    int shownButtons[3] = {-1, -1, -1};      // property buttons shown; -1 ends the list
    int page = 3;                      // the page of the side stack, also the button checked
    bool raxoPage = false;             // the Raxo page is told the model (its Raxo-S parts)

    // ---- the point table ----
    bool tablePoints = true;       // x, y, z and intensity columns (otherwise the index alone)
    bool tableDistance = false;    // the distance column
    bool tablePlanes = false;      // the depth and deep-field columns
    // The distance and plane columns follow the data-type mask the sensor reports; otherwise
    // the distance column of a model that has one is always shown.
    bool tableMaskColumns = false;
    int rowsPerBlock = 150;        // rows of the sensor's grid a block button stands for

    // ---- the 2D view ----
    bool alarmWords = false;       // a zone's alarm says which areas are set
};

// Property buttons and side pages, by id.
enum SidePage { kPageFenkU = 0, kPageRaxo = 1, kPageVimoE = 2, kPagePoints = 3, kPageAnalysis = 4, kPageBox = 5 };

// The layout of a model; the unknown model's (the points and analysis pages) for any other number.
const ModelLayout &model_layout(int type);
// The layout of a model, nullptr for a number that names none.
const ModelLayout *find_model_layout(int type);

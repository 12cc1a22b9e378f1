#pragma once

#include <QPainter>
#include <QString>
#include <functional>
#include <vector>

// One picture of the editor: its resource name, its size in layout pixels (the whole strip for
// buttons) and the code that draws it in layout coordinates.
struct ArtPicture {
    QString name;
    int width;
    int height;
    std::function<void(QPainter&)> draw;
};

// Button strips (3 states), check box, step buttons, meter, pad patterns, wave colours.
std::vector<ArtPicture> ControlPictures();
// Backgrounds of the toolbar, the pages, the Global tabs and the about window.
std::vector<ArtPicture> BackgroundPictures();

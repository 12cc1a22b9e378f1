#pragma once

#include <QImage>
#include <QString>
#include <map>
#include <vector>

#include "ArtFonts.h"

// Whole-window previews (2x) with the controls placed where resources/README.md puts them, to
// judge the pictures together: toolbar, page, buttons in their states and bitmap-font text.
std::vector<std::pair<QString, QImage>> Mockups(const std::map<QString, QImage>& pictures,
                                                const std::vector<ArtFont>& fonts);

#pragma once

#include <QFont>

// The window's font: an 8 point sans serif at 96 dots per inch (11 pixels high), the closest
// available face to the one the layout was drawn with, scaled with the layout.
QFont windowFont(double scale);

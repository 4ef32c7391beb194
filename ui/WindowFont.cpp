#include "WindowFont.h"

#include <QStringList>

#include <cmath>

QFont windowFont(double scale) {
    QFont font;
    // Faces with the designed face's metrics first, then common sans serif faces.
    font.setFamilies(QStringList{"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans",
                                 "Arimo", "Arial", "Helvetica", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(11 * scale)));
    return font;
}

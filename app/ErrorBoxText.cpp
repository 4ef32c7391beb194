#include "ErrorBoxText.h"

QString errorBoxText(std::string_view what) {
    std::string text(what);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        text += '.';
    }
    return QString::fromStdString(text);
}

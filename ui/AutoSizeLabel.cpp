#include "AutoSizeLabel.h"

void setAutoSizedText(QLabel* label, const QString& text) {
    label->setText(text);
    label->resize(label->sizeHint().width(), label->height());
}

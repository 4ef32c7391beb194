#pragma once

#include <QLabel>

// Shows text as plain text and sizes the label's width to it, keeping its height.
void setAutoSizedText(QLabel* label, const QString& text);

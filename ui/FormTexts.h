#pragma once

#include <QString>
#include <QStringList>

// The instructions the log pane shows until the first test, one entry a line.
QStringList instructionLines();

// The footer asking for a donation to the maker's payment account.
QString donationText();

#pragma once

#include "DriveTable.h"

#include <QComboBox>

// The drive selector: every drive of the table, with its icon and display name. The first
// entry is highlighted at start, but no drive is chosen until the user picks one.
class DriveCombo : public QComboBox {
    Q_OBJECT
public:
    DriveCombo(const DriveTable& drives, double scale, QWidget* parent = nullptr);

    // The chosen drive's letter; '\0' until the user picks an entry.
    char Drive() const { return drive_; }
    // Chooses the entry at index as a pick by the user does, and raises changed; also when
    // that drive is chosen already.
    void pick(int index);

signals:
    void changed();

private:
    char drive_ = '\0';
};

#pragma once
// Where the values read from the drive are shown beside the program's own: the
// parameter grid's inverter column.
#include <QString>

class DriveValueColumn {
public:
    virtual ~DriveValueColumn() = default;
    // The drive's value of parameter `index` as text ("N/A" when the drive lacks it).
    virtual void setDriveText(int index, const QString& text) = 0;
};

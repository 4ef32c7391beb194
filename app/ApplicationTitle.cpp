#include "ApplicationTitle.h"

QString applicationTitle(const QString& executablePath) {
    QString name = executablePath.mid(executablePath.lastIndexOf('/') + 1);
    name.truncate(name.indexOf('.') < 0 ? name.size() : name.indexOf('.'));
    if (name.isEmpty()) {
        return name;
    }
    return name.left(1).toUpper() + name.mid(1).toLower();
}

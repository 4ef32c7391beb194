#pragma once

#include <QString>

// The application's title, from the path of its executable: the file name up to its first '.',
// with its first character in upper case and the rest in lower case.
QString applicationTitle(const QString& executablePath);

#pragma once

#include <QList>
#include <QString>
#include <QUrl>

// Names as the user typed or picked them. Both "\" and "/" end a folder part,
// so names written in either convention are split the same way.

// The text after the last "\" or "/"; the whole name when it holds neither.
QString FilePart(const QString& name);

// True when a "." stands after the last folder separator and is not the last
// character. Any extension counts, in any case and of any length.
bool HasExtension(const QString& name);

// The name with ".kzt" appended when it has no extension.
QString WithDefaultExtension(const QString& name);

// The first local file among dropped URLs; empty when there is none.
QString FirstLocalFile(const QList<QUrl>& urls);

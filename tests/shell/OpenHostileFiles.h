#pragma once

// The open command handed things that are not sequence files, or names a
// careless program would mangle: a table of cases, some of them in a source
// file of each platform's own.

#include "OpenFileFixture.h"

#include <functional>
#include <ostream>

struct HostileCase {
    const char* name;
    // Prepares the folder and returns what the user types.
    std::function<QString(const QTemporaryDir&)> prepare;
    // Loaded: the caption and step count expected; otherwise the error box's file part.
    bool loads;
    QString filePart;
    std::size_t steps = 0;
    QString reason = {}; // the error box's line below the text
};

inline void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.name;
}

inline QString Create(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return name;
}

class OpenHostileFiles : public OpenFileTest, public ::testing::WithParamInterface<HostileCase> {};

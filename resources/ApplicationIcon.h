#pragma once

#include <QIcon>

// The program's own icon, embedded in the binary at every size it ships.
QIcon ApplicationIcon();

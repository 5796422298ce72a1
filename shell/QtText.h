#pragma once

#include "UserTexts.h"

#include <QString>

#include <string_view>

// A text of UserTexts.h as the window shows it.
inline QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The frame's caption with the name of the file shown, or alone when there is none.
inline QString FrameCaption(const QString& fileName = {}) {
    return fileName.isEmpty() ? Text(texts::frameCaption)
                              : Text(texts::frameCaption) + QLatin1Char(' ') + fileName;
}

#pragma once

#include "FileName.h"

#include <QFile>
#include <QString>

#include <string>

// File names between Qt and the program, by the one rule of FileName.h. Only
// the type of the system's own path string differs (wide on Windows, bytes on
// Linux), so the overload chosen for it is the whole platform difference.
namespace file_name_qt {
inline QString FromNative(const std::wstring& native) {
    return QString::fromStdWString(native);
}
inline QString FromNative(const std::string& native) {
    return QFile::decodeName(QByteArray::fromStdString(native));
}
inline void ToNative(const QString& name, std::wstring& native) {
    native = name.toStdWString();
}
inline void ToNative(const QString& name, std::string& native) {
    native = QFile::encodeName(name).toStdString();
}
} // namespace file_name_qt

// A name Qt gives (the requester, a drop, the watcher) as the program's name.
inline std::string FileSystemName(const QString& name) {
    std::filesystem::path::string_type native;
    file_name_qt::ToNative(name, native);
    return NameOfPath(std::filesystem::path(std::move(native)));
}

// The program's name as Qt takes it, for its file classes and for display.
inline QString NameFromFileSystem(const std::string& name) {
    return file_name_qt::FromNative(PathOfName(name).native());
}

#pragma once

#include <QFile>
#include <QString>

#include <filesystem>

namespace mosaiq {

// A path as the user named it, in the form the file routines take.
inline std::filesystem::path NativePath(const QString& name) {
#ifdef _WIN32
    return std::filesystem::path(name.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

// The other way: a path from the file routines as Qt shows it.
inline QString QtPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.wstring());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

} // namespace mosaiq

#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace quendral {

// The window title of both windows.
inline const QString WindowTitle = QStringLiteral("Quendral Car editor (V1.1b)");

// Texts of car scripts and file names are bytes in the system's 8-bit
// encoding; the widgets show them, and give typed text back, as such.
inline QString shownText(std::string_view bytes)
{
    return QString::fromLocal8Bit(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

inline std::string textBytes(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}

// Names of files and folders are the bytes path::string() gives: the
// system's on POSIX, UTF-8 on Windows.
inline QString shownName(std::string_view bytes)
{
#ifdef _WIN32
    return QString::fromUtf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
#else
    return shownText(bytes);
#endif
}

// Paths go through the native form, which on Windows is wide characters.
inline QString shownPath(const std::filesystem::path& path)
{
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return shownText(path.native());
#endif
}

inline std::filesystem::path pathOf(const QString& path)
{
#ifdef _WIN32
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace quendral

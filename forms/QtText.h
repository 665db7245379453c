// Texts between the library (UTF-8 or the game's 8-bit texts) and Qt.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace mc {

// True when the bytes form valid UTF-8.
bool IsValidUtf8(std::string_view text);

// UTF-8 as such; any other bytes (8-bit texts of the game's files) one
// character per byte.
inline QString ToQString(std::string_view text)
{
    const auto size = static_cast<qsizetype>(text.size());
    return IsValidUtf8(text) ? QString::fromUtf8(text.data(), size) : QString::fromLatin1(text.data(), size);
}

inline std::string FromQString(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// The library's line breaks ("\r" alone, as message texts use it) as Qt's.
QString MessageText(std::string_view text);

}  // namespace mc

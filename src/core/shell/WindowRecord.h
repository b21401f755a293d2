#pragma once

#include <QByteArray>
#include <QRect>

#include <optional>

// A window's bounds as the settings keep them: Left, Top, Right, Bottom, each a
// little-endian signed 32-bit integer (Right = Left + Width, Bottom = Top + Height).
// The window's state goes beside it under the name followed by " State": 0 normal,
// 1 minimised, 2 maximised.
namespace WindowRecord {

inline constexpr int kSize = 16;
inline constexpr char16_t kStateSuffix[] = u" State";

QByteArray ToBytes(const QRect &bounds);
// Nothing unless the value is exactly 16 bytes.
std::optional<QRect> FromBytes(const QByteArray &bytes);

} // namespace WindowRecord

#pragma once

#include <QByteArray>

#include <functional>

class TTaggedReader;
class TTaggedWriter;

// Tagged values to and from memory, exactly as they go to and from a file: for texts
// that travel through the clipboard or mail, and for checking what a save would write.
QByteArray WriteToBytes(const std::function<void(TTaggedWriter &)> &write);
void ReadFromBytes(const QByteArray &bytes, const std::function<void(TTaggedReader &)> &read);

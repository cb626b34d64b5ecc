#pragma once
#include <expat.h>

#include <QByteArray>

class QIODevice;

namespace bxw {

// Feeds every byte to the parser, in slices since XML_Parse takes an int length, and marks the
// last slice final. False at the first error; the parser then tells where and why.
bool FeedExpat(XML_Parser parser, const QByteArray& bytes);

enum class FeedResult { Parsed, ParseError, ReadError };

// Reads the device piece by piece straight into the parser's own buffer, so that a file is never
// held whole in memory. Stops at the first parse error or read error.
FeedResult FeedExpat(XML_Parser parser, QIODevice& device);

}  // namespace bxw

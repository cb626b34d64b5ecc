#pragma once
#include <expat.h>

#include <QByteArray>

namespace bxw {

// Feeds every byte to the parser, in slices since XML_Parse takes an int length, and marks the
// last slice final. False at the first error; the parser then tells where and why.
bool FeedExpat(XML_Parser parser, const QByteArray& bytes);

}  // namespace bxw

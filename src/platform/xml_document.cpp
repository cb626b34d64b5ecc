#include "platform/xml_document.h"

#include <expat.h>

#include <QIODevice>
#include <algorithm>
#include <utility>

#include "platform/expat_feed.h"

namespace bxw {

// ---- nodes -------------------------------------------------------------------------------------

XmlNode* XmlNode::FirstChildElement() const {
  for (XmlNode* n = first_; n; n = n->next_)
    if (n->IsElement()) return n;
  return nullptr;
}

XmlNode* XmlNode::NextSiblingElement() const {
  for (XmlNode* n = next_; n; n = n->next_)
    if (n->IsElement()) return n;
  return nullptr;
}

bool XmlNode::HasAttribute(const QString& name) const {
  for (const auto& a : attributes_)
    if (a.name == name) return true;
  return false;
}

QString XmlNode::Attribute(const QString& name) const {
  for (const auto& a : attributes_)
    if (a.name == name) return a.value;
  return QString();
}

void XmlNode::SetAttribute(const QString& name, const QString& value) {
  for (auto& a : attributes_) {
    if (a.name == name) {
      a.value = value;
      return;
    }
  }
  attributes_.push_back({name, value});
}

void XmlNode::AppendAttribute(const QString& name, const QString& value) {
  attributes_.push_back({name, value});
}

XmlNode* XmlNode::Append(XmlNodeKind kind, const QString& name, const QString& value) {
  XmlNode* n = doc_->NewNode(kind);
  n->name_ = name;
  n->value_ = value;
  n->parent_ = this;
  n->prev_ = last_;
  if (last_)
    last_->next_ = n;
  else
    first_ = n;
  last_ = n;
  return n;
}

XmlNode* XmlNode::AppendElement(const QString& name) {
  return Append(XmlNodeKind::Element, name, QString());
}
XmlNode* XmlNode::AppendText(const QString& text) {
  return Append(XmlNodeKind::Text, QString(), text);
}
XmlNode* XmlNode::AppendComment(const QString& text) {
  return Append(XmlNodeKind::Comment, QString(), text);
}
XmlNode* XmlNode::AppendInstruction(const QString& target, const QString& data) {
  return Append(XmlNodeKind::ProcessingInstruction, target, data);
}

QString XmlNode::Text() const {
  QString out;
  for (XmlNode* n = first_; n; n = n->next_)
    if (n->kind_ == XmlNodeKind::Text) out += n->value_;
  return out;
}

XmlDocument::XmlDocument() {
  root_ = NewNode(XmlNodeKind::Document);
}

XmlNode* XmlDocument::NewNode(XmlNodeKind kind) {
  nodes_.push_back(std::unique_ptr<XmlNode>(new XmlNode(this, kind)));
  return nodes_.back().get();
}

bool FeedExpat(XML_Parser parser, const QByteArray& bytes) {
  constexpr qsizetype kSlice = 1 << 20;
  qsizetype offset = 0;
  do {
    const qsizetype n = std::min(kSlice, bytes.size() - offset);
    const bool last = offset + n >= bytes.size();
    if (XML_Parse(parser, bytes.constData() + offset, static_cast<int>(n), last ? 1 : 0) ==
        XML_STATUS_ERROR)
      return false;
    offset += n;
  } while (offset < bytes.size());
  return true;
}

FeedResult FeedExpat(XML_Parser parser, QIODevice& device) {
  // expat scans a token that is still incomplete again with every piece, so a huge token (a
  // start tag of megabytes) would cost the square of its size in small pieces. Pieces that grow
  // to a cap keep that linear while memory stays bounded.
  constexpr int kFirstPiece = 1 << 16, kLastPiece = 1 << 20;
  for (int piece = kFirstPiece;; piece = std::min(piece * 2, kLastPiece)) {
    void* buffer = XML_GetBuffer(parser, piece);
    if (!buffer) return FeedResult::ParseError;  // out of memory: the parser says so
    const qint64 n = device.read(static_cast<char*>(buffer), piece);
    if (n < 0) return FeedResult::ReadError;
    const bool last = n == 0;
    if (XML_ParseBuffer(parser, static_cast<int>(n), last ? 1 : 0) == XML_STATUS_ERROR)
      return FeedResult::ParseError;
    if (last) return FeedResult::Parsed;
  }
}

// ---- parsing -----------------------------------------------------------------------------------

namespace {

struct ParseState {
  XmlDocument* doc;
  XmlNode* current;
  // Text of the current element since its last child: expat hands a run of text over in many
  // pieces (each line, each reference), and joining them here keeps that linear.
  QString text;
};

// Appends the text gathered so far as one node; called before anything else joins the element.
void FlushText(ParseState* st) {
  if (st->text.isEmpty()) return;
  st->current->AppendText(std::exchange(st->text, QString()));
}

QString FromUtf8(const XML_Char* s) {
  return QString::fromUtf8(s);
}

void XMLCALL OnStart(void* user, const XML_Char* name, const XML_Char** atts) {
  auto* st = static_cast<ParseState*>(user);
  FlushText(st);
  XmlNode* e = st->current->AppendElement(FromUtf8(name));
  for (int i = 0; atts[i]; i += 2) e->AppendAttribute(FromUtf8(atts[i]), FromUtf8(atts[i + 1]));
  st->current = e;
}

void XMLCALL OnEnd(void* user, const XML_Char*) {
  auto* st = static_cast<ParseState*>(user);
  FlushText(st);
  if (st->current->Parent()) st->current = st->current->Parent();
}

void XMLCALL OnText(void* user, const XML_Char* s, int len) {
  auto* st = static_cast<ParseState*>(user);
  // Text outside the main element is only white space; expat reports nothing else there.
  if (st->current->Kind() == XmlNodeKind::Document) return;
  st->text += QString::fromUtf8(s, len);
}

void XMLCALL OnComment(void* user, const XML_Char* data) {
  auto* st = static_cast<ParseState*>(user);
  FlushText(st);
  st->current->AppendComment(FromUtf8(data));
}

void XMLCALL OnInstruction(void* user, const XML_Char* target, const XML_Char* data) {
  auto* st = static_cast<ParseState*>(user);
  FlushText(st);
  st->current->AppendInstruction(FromUtf8(target), FromUtf8(data));
}

}  // namespace

XmlParseResult ParseXml(const QByteArray& bytes) {
  XmlParseResult result;
  auto doc = std::make_unique<XmlDocument>();
  ParseState state{doc.get(), doc->Root(), QString()};

  XML_Parser parser = XML_ParserCreate(nullptr);
  if (!parser) {
    result.message = QStringLiteral("out of memory");
    return result;
  }
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser, OnText);
  XML_SetCommentHandler(parser, OnComment);
  XML_SetProcessingInstructionHandler(parser, OnInstruction);
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);

  const bool ok = FeedExpat(parser, bytes);

  if (!ok) {
    result.line = static_cast<int>(XML_GetCurrentLineNumber(parser));
    result.position = static_cast<int>(XML_GetCurrentColumnNumber(parser)) + 1;
    result.message = QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser)));
  } else {
    result.ok = true;
    result.document = std::move(doc);
  }
  XML_ParserFree(parser);
  return result;
}

XmlParseResult ParseXmlText(const QString& text) {
  // The text is handed over as UTF-8; a declaration naming another encoding would mislead expat.
  // Only the declaration itself: an instruction such as <?xml-stylesheet ...?> stays.
  QString body = text;
  if (body.startsWith(QLatin1String("<?xml")) && body.size() > 5 &&
      QStringView(u" \t\r\n").contains(body.at(5))) {
    const qsizetype end = body.indexOf(QLatin1String("?>"));
    if (end > 0) body.remove(0, end + 2);
  }
  return ParseXml(body.toUtf8());
}

// ---- serialising -------------------------------------------------------------------------------

namespace {

// The reference for a character an attribute value cannot hold literally; empty when it can.
QLatin1String AttributeReference(char16_t c) {
  switch (c) {
    case '&':
      return QLatin1String("&amp;");
    case '<':
      return QLatin1String("&lt;");
    case '>':
      return QLatin1String("&gt;");
    case '\'':
      return QLatin1String("&apos;");
    case '"':
      return QLatin1String("&quot;");
    case '\n':
      return QLatin1String("&#10;");
    case '\r':
      return QLatin1String("&#13;");
    // A parser turns a literal tab in an attribute into a space; keep it as a reference.
    case '\t':
      return QLatin1String("&#9;");
    default:
      return QLatin1String();
  }
}

QLatin1String TextReference(char16_t c) {
  switch (c) {
    case '&':
      return QLatin1String("&amp;");
    case '<':
      return QLatin1String("&lt;");
    case '>':
      return QLatin1String("&gt;");
    // A parser reads a literal CR as LF; the reference keeps it.
    case '\r':
      return QLatin1String("&#13;");
    default:
      return QLatin1String();
  }
}

// Appends value with the characters that need it replaced, copying the runs between them whole.
template <QLatin1String (*Reference)(char16_t)>
void AppendEscaped(QString& out, QStringView value) {
  const char16_t* data = value.utf16();
  const qsizetype n = value.size();
  qsizetype run = 0;
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = data[i];
    if (c > '>') continue;  // every escaped character sorts at or below '>'
    const QLatin1String reference = Reference(c);
    if (reference.isEmpty()) continue;
    out.append(value.mid(run, i - run));
    out.append(reference);
    run = i + 1;
  }
  out.append(value.mid(run));
}

}  // namespace

QString EscapeXmlAttribute(const QString& value) {
  QString out;
  out.reserve(value.size());
  AppendEscaped<AttributeReference>(out, value);
  return out;
}

QString EscapeXmlText(const QString& value) {
  QString out;
  out.reserve(value.size());
  AppendEscaped<TextReference>(out, value);
  return out;
}

// ---- formatter ---------------------------------------------------------------------------------

namespace {

// The sink gets the text in pieces of about this many characters.
constexpr qsizetype kFlushSize = 1 << 15;

}  // namespace

bool IsXmlText(QStringView text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < 0x20) {
      if (c != u'\t' && c != u'\n' && c != u'\r') return false;
    } else if (QChar::isHighSurrogate(c)) {
      if (i + 1 == text.size() || !QChar::isLowSurrogate(text[i + 1].unicode())) return false;
      ++i;
    } else if (QChar::isLowSurrogate(c) || c == 0xFFFE || c == 0xFFFF) {
      return false;
    }
  }
  return true;
}

QLatin1String DeclarationText(XmlDeclaration declaration) {
  switch (declaration) {
    case XmlDeclaration::Utf8:
      return QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    case XmlDeclaration::Utf16:
      return QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-16\"?>");
    case XmlDeclaration::None:
      break;
  }
  return QLatin1String();
}

XmlFormatter::XmlFormatter(XmlDeclaration declaration, bool formatted, XmlTextSink* sink)
    : sink_(sink), formatted_(formatted) {
  if (sink_) out_.reserve(kFlushSize + 1024);
  out_ += DeclarationText(declaration);
}

void XmlFormatter::MaybeFlush() {
  if (!sink_ || out_.size() < kFlushSize) return;
  sink_->Write(out_);
  out_.resize(0);  // keeps the capacity for the next piece
}

void XmlFormatter::NewLine() {
  if (!formatted_) return;
  out_ += QLatin1String("\r\n");
  out_.resize(out_.size() + qsizetype(open_.size()) * 2, QLatin1Char(' '));
}

void XmlFormatter::CloseStartTag() {
  if (!tagOpen_) return;
  out_ += QLatin1Char('>');
  tagOpen_ = false;
}

void XmlFormatter::StartElement(const QString& name) {
  CloseStartTag();
  MaybeFlush();
  NewLine();
  out_ += QLatin1Char('<');
  out_ += name;
  open_.push_back(name);
  tagOpen_ = true;
  textInline_ = false;
}

void XmlFormatter::Attribute(QStringView name, QStringView value) {
  out_ += QLatin1Char(' ');
  out_ += name;
  out_ += QLatin1String("=\"");
  AppendEscaped<AttributeReference>(out_, value);
  out_ += QLatin1Char('"');
}

void XmlFormatter::EndElement() {
  if (open_.empty()) return;
  const QString name = std::move(open_.back());
  open_.pop_back();
  if (tagOpen_) {
    out_ += QLatin1String("/>");
    tagOpen_ = false;
    return;
  }
  if (!textInline_) NewLine();
  textInline_ = false;
  out_ += QLatin1String("</");
  out_ += name;
  out_ += QLatin1Char('>');
}

void XmlFormatter::Comment(QStringView text) {
  CloseStartTag();
  MaybeFlush();
  NewLine();
  out_ += QLatin1String("<!--");
  out_ += text;
  out_ += QLatin1String("-->");
}

void XmlFormatter::Instruction(QStringView target, QStringView data) {
  CloseStartTag();
  NewLine();
  out_ += QLatin1String("<?");
  out_ += target;
  if (!data.isEmpty()) {
    out_ += QLatin1Char(' ');
    out_ += data;
  }
  out_ += QLatin1String("?>");
}

void XmlFormatter::InlineText(QStringView text) {
  CloseStartTag();
  AppendEscaped<TextReference>(out_, text);
  textInline_ = true;
}

void XmlFormatter::TextLine(QStringView text) {
  CloseStartTag();
  NewLine();
  AppendEscaped<TextReference>(out_, text);
}

QString XmlFormatter::Finish() {
  while (!open_.empty()) EndElement();
  if (sink_ && !out_.isEmpty()) {
    sink_->Write(out_);
    out_.resize(0);
  }
  return std::move(out_);
}

// ---- serialising a document --------------------------------------------------------------------

namespace {

QString ReduceSpaces(const QString& text) {
  return text.simplified();
}

bool IsBlankText(const XmlNode* n) {
  return n->Kind() == XmlNodeKind::Text && n->Value().trimmed().isEmpty();
}

// An element whose children are all text is written on one line: <a>text</a>.
bool HasOnlyText(const XmlNode* e) {
  for (XmlNode* c = e->FirstChild(); c; c = c->NextSibling())
    if (c->Kind() != XmlNodeKind::Text) return false;
  return true;
}

void WriteDocument(const XmlDocument& doc, bool formatted, XmlFormatter& out) {
  // Explicit stack: an element is visited once to open it and once to close it.
  struct Frame {
    const XmlNode* node;
    bool closing;
  };
  std::vector<Frame> stack;
  for (XmlNode* c = doc.Root()->LastChild(); c; c = c->PreviousSibling())
    stack.push_back({c, false});

  while (!stack.empty()) {
    const Frame f = stack.back();
    stack.pop_back();
    const XmlNode* n = f.node;
    if (f.closing) {
      out.EndElement();
      continue;
    }
    switch (n->Kind()) {
      case XmlNodeKind::Text:
        if (formatted && IsBlankText(n)) break;
        out.TextLine(formatted ? ReduceSpaces(n->Value()) : n->Value());
        break;
      case XmlNodeKind::Comment:
        out.Comment(n->Value());
        break;
      case XmlNodeKind::ProcessingInstruction:
        out.Instruction(n->Name(), n->Value());
        break;
      case XmlNodeKind::Element: {
        out.StartElement(n->Name());
        for (const auto& a : n->Attributes()) out.Attribute(a.name, a.value);
        bool empty = !n->HasChildren();
        if (formatted && !empty) {
          empty = true;
          for (XmlNode* c = n->FirstChild(); c && empty; c = c->NextSibling())
            empty = IsBlankText(c);
        }
        if (empty) {
          out.EndElement();
        } else if (HasOnlyText(n)) {
          QString text;
          for (XmlNode* c = n->FirstChild(); c; c = c->NextSibling()) text += c->Value();
          out.InlineText(formatted ? ReduceSpaces(text) : text);
          out.EndElement();
        } else {
          stack.push_back({n, true});
          for (XmlNode* c = n->LastChild(); c; c = c->PreviousSibling())
            stack.push_back({c, false});
        }
        break;
      }
      case XmlNodeKind::Document:
        break;
    }
  }
}

}  // namespace

QString SerialiseXml(const XmlDocument& doc, XmlDeclaration declaration, bool formatted) {
  XmlFormatter out(declaration, formatted);
  WriteDocument(doc, formatted, out);
  return out.Finish();
}

void SerialiseXml(const XmlDocument& doc, XmlDeclaration declaration, bool formatted,
                  XmlTextSink& sink) {
  XmlFormatter out(declaration, formatted, &sink);
  WriteDocument(doc, formatted, out);
  out.Finish();
}

}  // namespace bxw

#include "platform/xml_document.h"

#include "platform/expat_feed.h"

#include <expat.h>

#include <utility>

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
  if (last_) last_->next_ = n;
  else first_ = n;
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

XmlDocument::XmlDocument() { root_ = NewNode(XmlNodeKind::Document); }

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

// ---- parsing -----------------------------------------------------------------------------------

namespace {

struct ParseState {
  XmlDocument* doc;
  XmlNode* current;
};

QString FromUtf8(const XML_Char* s) { return QString::fromUtf8(s); }

void XMLCALL OnStart(void* user, const XML_Char* name, const XML_Char** atts) {
  auto* st = static_cast<ParseState*>(user);
  XmlNode* e = st->current->AppendElement(FromUtf8(name));
  for (int i = 0; atts[i]; i += 2) e->AppendAttribute(FromUtf8(atts[i]), FromUtf8(atts[i + 1]));
  st->current = e;
}

void XMLCALL OnEnd(void* user, const XML_Char*) {
  auto* st = static_cast<ParseState*>(user);
  if (st->current->Parent()) st->current = st->current->Parent();
}

void XMLCALL OnText(void* user, const XML_Char* s, int len) {
  auto* st = static_cast<ParseState*>(user);
  // Text outside the main element is only white space; expat reports nothing else there.
  if (st->current->Kind() == XmlNodeKind::Document) return;
  const QString piece = QString::fromUtf8(s, len);
  XmlNode* last = st->current->LastChild();
  if (last && last->Kind() == XmlNodeKind::Text) last->SetValue(last->Value() + piece);
  else st->current->AppendText(piece);
}

void XMLCALL OnComment(void* user, const XML_Char* data) {
  auto* st = static_cast<ParseState*>(user);
  st->current->AppendComment(FromUtf8(data));
}

void XMLCALL OnInstruction(void* user, const XML_Char* target, const XML_Char* data) {
  auto* st = static_cast<ParseState*>(user);
  st->current->AppendInstruction(FromUtf8(target), FromUtf8(data));
}

}  // namespace

XmlParseResult ParseXml(const QByteArray& bytes) {
  XmlParseResult result;
  auto doc = std::make_unique<XmlDocument>();
  ParseState state{doc.get(), doc->Root()};

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
  QString body = text;
  if (body.startsWith(QLatin1String("<?xml"))) {
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
    case '&': return QLatin1String("&amp;");
    case '<': return QLatin1String("&lt;");
    case '>': return QLatin1String("&gt;");
    case '\'': return QLatin1String("&apos;");
    case '"': return QLatin1String("&quot;");
    case '\n': return QLatin1String("&#10;");
    case '\r': return QLatin1String("&#13;");
    // A parser turns a literal tab in an attribute into a space; keep it as a reference.
    case '\t': return QLatin1String("&#9;");
    default: return QLatin1String();
  }
}

QLatin1String TextReference(char16_t c) {
  switch (c) {
    case '&': return QLatin1String("&amp;");
    case '<': return QLatin1String("&lt;");
    case '>': return QLatin1String("&gt;");
    default: return QLatin1String();
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

namespace {

QString ReduceSpaces(const QString& text) { return text.simplified(); }

void WriteStartTag(QString& out, const XmlNode* e, bool selfClosing) {
  out += QLatin1Char('<');
  out += e->Name();
  for (const auto& a : e->Attributes()) {
    out += QLatin1Char(' ');
    out += a.name;
    out += QLatin1String("=\"");
    AppendEscaped<AttributeReference>(out, a.value);
    out += QLatin1Char('"');
  }
  out += selfClosing ? QLatin1String("/>") : QLatin1String(">");
}

void WriteLeaf(QString& out, const XmlNode* n, bool formatted) {
  switch (n->Kind()) {
    case XmlNodeKind::Text:
      AppendEscaped<TextReference>(out, formatted ? ReduceSpaces(n->Value()) : n->Value());
      break;
    case XmlNodeKind::Comment:
      out += QLatin1String("<!--") + n->Value() + QLatin1String("-->");
      break;
    case XmlNodeKind::ProcessingInstruction:
      out += QLatin1String("<?") + n->Name();
      if (!n->Value().isEmpty()) out += QLatin1Char(' ') + n->Value();
      out += QLatin1String("?>");
      break;
    default: break;
  }
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

}  // namespace

QString SerialiseXml(const XmlDocument& doc, XmlDeclaration declaration, bool formatted) {
  QString out;
  switch (declaration) {
    case XmlDeclaration::Utf8: out += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"); break;
    case XmlDeclaration::Utf16: out += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"); break;
    case XmlDeclaration::None: break;
  }
  const QLatin1String newline("\r\n");

  // Explicit stack of (node, entered): an element is visited once to open it and once to close it.
  struct Frame {
    const XmlNode* node;
    int depth;
    bool closing;
  };
  std::vector<Frame> stack;
  for (XmlNode* c = doc.Root()->LastChild(); c; c = c->PreviousSibling())
    stack.push_back({c, 0, false});

  while (!stack.empty()) {
    const Frame f = stack.back();
    stack.pop_back();
    const XmlNode* n = f.node;
    // A new line and the indentation of this depth, written straight into the output.
    auto newLine = [&] {
      out += newline;
      out.resize(out.size() + f.depth * 2, QLatin1Char(' '));
    };
    if (f.closing) {
      if (formatted) newLine();
      out += QLatin1String("</");
      out += n->Name();
      out += QLatin1Char('>');
      continue;
    }
    if (!n->IsElement()) {
      if (formatted && (IsBlankText(n))) continue;
      if (formatted) newLine();
      WriteLeaf(out, n, formatted);
      continue;
    }
    bool empty = !n->HasChildren();
    if (formatted && !empty) {
      empty = true;
      for (XmlNode* c = n->FirstChild(); c && empty; c = c->NextSibling()) empty = IsBlankText(c);
    }
    if (formatted) newLine();
    if (empty) {
      WriteStartTag(out, n, true);
      continue;
    }
    if (HasOnlyText(n)) {
      WriteStartTag(out, n, false);
      QString text;
      for (XmlNode* c = n->FirstChild(); c; c = c->NextSibling()) text += c->Value();
      AppendEscaped<TextReference>(out, formatted ? ReduceSpaces(text) : text);
      out += QLatin1String("</");
      out += n->Name();
      out += QLatin1Char('>');
      continue;
    }
    WriteStartTag(out, n, false);
    stack.push_back({n, f.depth, true});
    for (XmlNode* c = n->LastChild(); c; c = c->PreviousSibling())
      stack.push_back({c, f.depth + 1, false});
  }
  return out;
}

}  // namespace bxw

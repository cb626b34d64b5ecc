#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

namespace bxw {

enum class XmlNodeKind { Document, Element, Text, Comment, ProcessingInstruction };

struct XmlAttribute {
  QString name;
  QString value;
};

class XmlDocument;

// One node of an in-memory XML document. Nodes are owned by their document (an arena), linked
// by plain pointers, so building, walking and freeing never recurse however deep or wide the
// document is.
class XmlNode {
public:
  XmlNodeKind Kind() const { return kind_; }
  bool IsElement() const { return kind_ == XmlNodeKind::Element; }
  const QString& Name() const {
    return name_;
  }  // element name, or target of a processing instruction
  const QString& Value() const { return value_; }  // text, comment or instruction data
  void SetValue(const QString& v) { value_ = v; }

  XmlNode* Parent() const { return parent_; }
  XmlNode* FirstChild() const { return first_; }
  XmlNode* LastChild() const { return last_; }
  XmlNode* NextSibling() const { return next_; }
  XmlNode* PreviousSibling() const { return prev_; }
  bool HasChildren() const { return first_ != nullptr; }
  XmlNode* FirstChildElement() const;
  XmlNode* NextSiblingElement() const;

  const std::vector<XmlAttribute>& Attributes() const { return attributes_; }
  bool HasAttribute(const QString& name) const;
  QString Attribute(const QString& name) const;  // empty when absent
  // Replaces the value in place when the attribute exists, else appends it.
  void SetAttribute(const QString& name, const QString& value);
  // Adds without looking for an existing one (a parser keeps duplicates as the file has them).
  void AppendAttribute(const QString& name, const QString& value);

  // Appends a new child owned by the same document and answers it.
  XmlNode* AppendElement(const QString& name);
  XmlNode* AppendText(const QString& text);
  XmlNode* AppendComment(const QString& text);
  XmlNode* AppendInstruction(const QString& target, const QString& data);

  // Concatenated text of the direct text children.
  QString Text() const;

  XmlDocument* Document() const { return doc_; }

private:
  friend class XmlDocument;
  XmlNode(XmlDocument* doc, XmlNodeKind kind) : doc_(doc), kind_(kind) {}
  XmlNode* Append(XmlNodeKind kind, const QString& name, const QString& value);

  XmlDocument* doc_;
  XmlNodeKind kind_;
  QString name_;
  QString value_;
  std::vector<XmlAttribute> attributes_;
  XmlNode* parent_ = nullptr;
  XmlNode* first_ = nullptr;
  XmlNode* last_ = nullptr;
  XmlNode* next_ = nullptr;
  XmlNode* prev_ = nullptr;
};

class XmlDocument {
public:
  XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  XmlNode* Root() const { return root_; }  // the document node
  XmlNode* MainElement() const { return root_->FirstChildElement(); }

private:
  friend class XmlNode;
  XmlNode* NewNode(XmlNodeKind kind);
  std::vector<std::unique_ptr<XmlNode>> nodes_;
  XmlNode* root_;
};

struct XmlParseResult {
  std::unique_ptr<XmlDocument> document;  // null when parsing failed
  bool ok = false;
  int line = 0;      // 1-based line of a syntax error
  int position = 0;  // 1-based character position in that line
  QString message;   // the parser's own error text
};

// Parses bytes with expat (encoding from the declaration or byte order mark, UTF-8 by default).
// External entities and DTDs are never loaded; expat's amplification limits stay in force.
XmlParseResult ParseXml(const QByteArray& bytes);
XmlParseResult ParseXmlText(const QString& text);

// True when every character of the text can stand in an XML document: tabs and line breaks can,
// other control characters, lone surrogates and U+FFFE/U+FFFF cannot (no reference writes them
// either), so a file holding them could not be read back.
bool IsXmlText(QStringView text);

enum class XmlDeclaration { None, Utf8, Utf16 };

// The text of the declaration ("<?xml version=...?>"); empty for None.
QLatin1String DeclarationText(XmlDeclaration declaration);

// Receives composed text piece by piece, so that a large document need never be held whole.
class XmlTextSink {
public:
  virtual ~XmlTextSink() = default;
  virtual void Write(QStringView text) = 0;
};

// Collects the text as UTF-8 bytes, as QString::toUtf8 converts it (a lone surrogate becomes
// '?'). The formatter hands text over only between markup, so no surrogate pair is ever split
// between two pieces and the pieces give the bytes of the whole text.
class Utf8Collector : public XmlTextSink {
public:
  explicit Utf8Collector(QByteArray& out) : out_(out) {}
  void Write(QStringView text) override { out_ += text.toUtf8(); }

private:
  QByteArray& out_;
};

// Writes XML text from a stream of events in the serialised form of SerialiseXml. Formatted:
// every element, comment and instruction on a new line (CR LF before it, the main element
// included), two spaces per level; elements without content self-close. Unformatted: back to back.
// The text gathers in a buffer that is handed to the sink whenever it fills; without a sink the
// buffer is the result.
class XmlFormatter {
public:
  explicit XmlFormatter(XmlDeclaration declaration, bool formatted = true,
                        XmlTextSink* sink = nullptr);
  XmlFormatter(const XmlFormatter&) = delete;
  XmlFormatter& operator=(const XmlFormatter&) = delete;

  void StartElement(const QString& name);
  // Only right after StartElement, before any content.
  void Attribute(QStringView name, QStringView value);
  void EndElement();
  void Comment(QStringView text);
  void Instruction(QStringView target, QStringView data);
  // Text as the only content of the open element: the end tag follows on the same line.
  void InlineText(QStringView text);
  // Text among other content: a line of its own when formatted.
  void TextLine(QStringView text);
  // Hands what is left to the sink, if any, and answers the text kept (all of it without one).
  QString Finish();

private:
  void CloseStartTag();
  void NewLine();
  void MaybeFlush();

  QString out_;
  XmlTextSink* sink_;
  bool formatted_;
  bool tagOpen_ = false;     // "<name attributes" written, its ">" or "/>" not yet
  bool textInline_ = false;  // the open element holds inline text: its end tag stays on the line
  std::vector<QString> open_;
};

// Serialises the document. Formatted: every element on a new line (CR LF before it, the root
// element included), two spaces per level, runs of white space in text reduced; elements without
// children self-close. Unformatted: the nodes are written back to back.
QString SerialiseXml(const XmlDocument& doc, XmlDeclaration declaration, bool formatted);
// The same, handed to a sink piece by piece.
void SerialiseXml(const XmlDocument& doc, XmlDeclaration declaration, bool formatted,
                  XmlTextSink& sink);

QString EscapeXmlAttribute(const QString& value);
QString EscapeXmlText(const QString& value);

}  // namespace bxw

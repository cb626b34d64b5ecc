#include "platform/xml_document.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <vector>

#include "platform/expat_feed.h"
#include "test_support.h"

namespace bxw::test {
namespace {

template <std::size_t N>
QByteArray Bytes(const char (&s)[N]) {
  return QByteArray(s, N - 1);  // keeps embedded NULs
}

QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// Line ends, tabs and other control characters made visible.
QString Visible(const QString& s) {
  QString out;
  for (QChar c : s) {
    if (c == u'\n')
      out += QLatin1String("\\n");
    else if (c == u'\r')
      out += QLatin1String("\\r");
    else if (c == u'\t')
      out += QLatin1String("\\t");
    else if (c.unicode() < 0x20)
      out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    else
      out += c;
  }
  return out;
}

// The children of parent in an XML-like notation, text in single quotes. With formattedView the
// tree is seen as the formatted serialiser writes it: blank text left out, white space reduced.
// Walks the links without recursion, so any depth can be dumped.
QString Dump(const XmlNode* parent, bool formattedView = false) {
  QString out;
  const XmlNode* n = parent->FirstChild();
  while (n) {
    switch (n->Kind()) {
      case XmlNodeKind::Element: {
        out += QLatin1Char('<') + n->Name();
        for (const XmlAttribute& a : n->Attributes())
          out += QLatin1Char(' ') + a.name + QLatin1String("=\"") + Visible(a.value) +
                 QLatin1Char('"');
        bool shown = n->HasChildren();
        if (formattedView) {
          shown = false;
          for (const XmlNode* c = n->FirstChild(); c && !shown; c = c->NextSibling())
            shown = c->Kind() != XmlNodeKind::Text || !c->Value().trimmed().isEmpty();
        }
        if (shown) {
          out += QLatin1Char('>');
          n = n->FirstChild();
          continue;
        }
        out += QLatin1String("/>");
        break;
      }
      case XmlNodeKind::Text:
        if (!formattedView)
          out += QLatin1Char('\'') + Visible(n->Value()) + QLatin1Char('\'');
        else if (!n->Value().trimmed().isEmpty())
          out += QLatin1Char('\'') + n->Value().simplified() + QLatin1Char('\'');
        break;
      case XmlNodeKind::Comment:
        out += QLatin1String("<!--") + Visible(n->Value()) + QLatin1String("-->");
        break;
      case XmlNodeKind::ProcessingInstruction:
        out += QLatin1String("<?") + n->Name() +
               (n->Value().isEmpty() ? QString() : QLatin1Char(' ') + n->Value()) +
               QLatin1String("?>");
        break;
      case XmlNodeKind::Document:
        out += QLatin1String("<!document in the tree!>");
        break;
    }
    for (;;) {
      if (n->NextSibling()) {
        n = n->NextSibling();
        break;
      }
      n = n->Parent();
      if (n == parent || !n) {
        n = nullptr;
        break;
      }
      out += QLatin1String("</") + n->Name() + QLatin1Char('>');
    }
  }
  return out;
}

// The first node whose links disagree with its neighbours', described; empty when all agree.
QString BrokenLink(const XmlDocument& doc) {
  std::vector<const XmlNode*> stack{doc.Root()};
  if (doc.Root()->Parent() || doc.Root()->Kind() != XmlNodeKind::Document)
    return QStringLiteral("document node");
  while (!stack.empty()) {
    const XmlNode* p = stack.back();
    stack.pop_back();
    const XmlNode* previous = nullptr;
    for (const XmlNode* c = p->FirstChild(); c; c = c->NextSibling()) {
      if (c->Parent() != p) return QStringLiteral("parent of a child of ") + p->Name();
      if (c->PreviousSibling() != previous) return QStringLiteral("previous of ") + c->Name();
      if (c->Document() != &doc) return QStringLiteral("document of ") + c->Name();
      if (c->Kind() == XmlNodeKind::Document) return QStringLiteral("document node as a child");
      previous = c;
      stack.push_back(c);
    }
    if (p->LastChild() != previous) return QStringLiteral("last child of ") + p->Name();
    if (p->HasChildren() != (previous != nullptr))
      return QStringLiteral("HasChildren of ") + p->Name();
  }
  return QString();
}

struct ParseCase {
  const char* what;
  QByteArray input;
  const char* tree;  // UTF-8
};

std::vector<ParseCase> WellFormedDocuments() {
  return {
      {"lone element", "<a/>", "<a/>"},
      {"start and end tag without content", "<a></a>", "<a/>"},
      {"nested children, attributes in file order",
       "<a z=\"1\" m=\"2\" b=\"\"><b><c q=\"x\"/></b>t<d/></a>",
       "<a z=\"1\" m=\"2\" b=\"\"><b><c q=\"x\"/></b>'t'<d/></a>"},
      {"white space outside the main element is dropped, inside kept",
       "<?xml version=\"1.0\"?>\n\n<a>\n  <b/>\n</a>\n  ", "<a>'\\n  '<b/>'\\n'</a>"},
      {"comments and instructions inside and around the main element",
       "<?first some data?>\n<!-- before -->\n<a><!--in--><?t?><?u  x=\"1\" ?></a><!--after-->",
       "<?first some data?><!-- before --><a><!--in--><?t?><?u x=\"1\" ?></a><!--after-->"},
      {"predefined entities and character references",
       "<a v=\"&lt;&gt;&amp;&quot;&apos;\">&lt;&amp;&#65;&#x42;&#x20AC;&#x1F600;]]&gt;</a>",
       "<a v=\"<>&\"'\">'<&AB\xE2\x82\xAC\xF0\x9F\x98\x80]]>'</a>"},
      {"CDATA joins the text around it", "<a>x<![CDATA[<b> & </b>]]>y</a>",
       "<a>'x<b> & </b>y'</a>"},
      {"line ends in text become LF", "<a>1\r\n2\r3\n4</a>", "<a>'1\\n2\\n3\\n4'</a>"},
      {"line ends as references stay what they are", "<a>&#13;x&#13;&#10;&#9;</a>",
       "<a>'\\rx\\r\\n\\t'</a>"},
      {"literal tab and line ends in attributes become spaces, references do not",
       "<a v=\"x\ty\r\nz\" w=\"&#9;&#10;&#13;\"/>", "<a v=\"x y z\" w=\"\\t\\n\\r\"/>"},
      {"non-ASCII names and values",
       "<gr\xC3\xBC\xC3\x9F"
       "e \xC3\xA4=\"\xC3\xB6\xE2\x82\xAC\xF0\x9F\x98\x80\">\xCF\x80</gr\xC3\xBC\xC3\x9F"
       "e>",
       "<gr\xC3\xBC\xC3\x9F"
       "e \xC3\xA4=\"\xC3\xB6\xE2\x82\xAC\xF0\x9F\x98\x80\">'\xCF\x80'</gr\xC3\xBC\xC3\x9F"
       "e>"},
      {"prefixed names kept as written", "<p:a xmlns:p=\"urn:x\" p:b=\"1\"><p:c/></p:a>",
       "<p:a xmlns:p=\"urn:x\" p:b=\"1\"><p:c/></p:a>"},
      {"UTF-8 byte order mark", "\xEF\xBB\xBF<a v=\"\xC3\xA9\"/>", "<a v=\"\xC3\xA9\"/>"},
      {"UTF-16LE with byte order mark", Bytes("\xFF\xFE<\0a\0 \0v\0=\0\"\0\xE9\0\"\0/\0>\0"),
       "<a v=\"\xC3\xA9\"/>"},
      {"UTF-16BE with byte order mark", Bytes("\xFE\xFF\0<\0a\0/\0>"), "<a/>"},
      {"encoding named by the declaration",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a v=\"\xE9\">\xFC</a>",
       "<a v=\"\xC3\xA9\">'\xC3\xBC'</a>"},
      {"internal entity expanded, the document type leaves no node",
       "<!DOCTYPE a [<!ENTITY who \"wide &amp; world\">]><a>hello &who;</a>",
       "<a>'hello wide & world'</a>"},
  };
}

TEST(XmlParse, BuildsTheTreeTheBytesDescribe) {
  for (const ParseCase& c : WellFormedDocuments()) {
    SCOPED_TRACE(c.what);
    const XmlParseResult r = ParseXml(c.input);
    ASSERT_TRUE(r.ok) << r.message.toStdString() << " at " << r.line << ":" << r.position;
    ASSERT_TRUE(r.document);
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_EQ(Dump(r.document->Root()), U(c.tree));
    EXPECT_EQ(BrokenLink(*r.document), QString());
    const XmlNode* main = r.document->MainElement();
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->IsElement());
    EXPECT_EQ(main->Parent(), r.document->Root());
  }
}

TEST(XmlParse, RefusesMalformedInputSayingWhereAndWhy) {
  const struct {
    const char* what;
    QByteArray input;
    XML_Error error;
    int line, position;
  } cases[] = {
      // expat points at the start of a token left unfinished, at the name in a wrong end tag,
      // and at the character it cannot take.
      {"empty input", "", XML_ERROR_NO_ELEMENTS, 1, 1},
      {"only white space and a comment", "\n  <!-- c -->\n", XML_ERROR_NO_ELEMENTS, 3, 1},
      {"unclosed tag", "<a><b/>", XML_ERROR_NO_ELEMENTS, 1, 8},
      {"start tag cut short", "<a x=\"1", XML_ERROR_UNCLOSED_TOKEN, 1, 1},
      {"mismatched end tag", "<a><b></a>", XML_ERROR_TAG_MISMATCH, 1, 9},
      {"mismatch on the third line, CR LF counted once", "<a>\r\n<b>\r\n</c>",
       XML_ERROR_TAG_MISMATCH, 3, 3},
      {"position counts characters, not bytes", "<\xC3\xA4\xC3\xB6></b>", XML_ERROR_TAG_MISMATCH, 1,
       7},
      {"two root elements", "<a/><b/>", XML_ERROR_JUNK_AFTER_DOC_ELEMENT, 1, 5},
      {"text before any element", "garbage", XML_ERROR_SYNTAX, 1, 1},
      {"garbage bytes", Bytes("\x01\x02\xFF\x00<a/>"), XML_ERROR_INVALID_TOKEN, 1, 1},
      {"NUL inside text", Bytes("<a>x\0</a>"), XML_ERROR_INVALID_TOKEN, 1, 5},
      {"UTF-8 sequence cut by markup", "<a>\xC3</a>", XML_ERROR_INVALID_TOKEN, 1, 4},
      {"UTF-8 sequence cut by the end", "<a>\xE2\x82", XML_ERROR_PARTIAL_CHAR, 1, 4},
      {"duplicate attribute", "<a x=\"1\" x=\"2\"/>", XML_ERROR_DUPLICATE_ATTRIBUTE, 1, 10},
      {"unquoted attribute", "<a x=1/>", XML_ERROR_INVALID_TOKEN, 1, 6},
      {"undefined entity", "<a>&nope;</a>", XML_ERROR_UNDEFINED_ENTITY, 1, 4},
      {"reference to a character XML cannot hold", "<a>&#1;</a>", XML_ERROR_BAD_CHAR_REF, 1, 4},
      {"ampersand alone", "<a>fish & chips</a>", XML_ERROR_INVALID_TOKEN, 1, 10},
      {"declaration not at the start", " <?xml version=\"1.0\"?><a/>", XML_ERROR_MISPLACED_XML_PI,
       1, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const XmlParseResult r = ParseXml(c.input);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.document);
    EXPECT_EQ(r.message, QString::fromUtf8(XML_ErrorString(c.error)));
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(r.position, c.position);
  }
}

// ParseXmlText hands the text over as UTF-8, so the declaration it carries, whatever encoding it
// names, must not mislead the parser, while everything else stays.
TEST(XmlParse, TextIsReadAsTheCharactersItHolds) {
  const struct {
    const char* what;
    const char* text;
    const char* tree;
  } cases[] = {
      {"no declaration", "<a v=\"\xE2\x82\xAC\"/>", "<a v=\"\xE2\x82\xAC\"/>"},
      {"declaration naming UTF-16",
       "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a v=\"\xE2\x82\xAC\"/>",
       "<a v=\"\xE2\x82\xAC\"/>"},
      {"declaration naming Latin-1", "<?xml version='1.0' encoding='ISO-8859-1'?><a>\xC3\xBC</a>",
       "<a>'\xC3\xBC'</a>"},
      {"an instruction whose target begins with xml", "<?xml-stylesheet href=\"s.css\"?><a/>",
       "<?xml-stylesheet href=\"s.css\"?><a/>"},
      {"declaration then such an instruction",
       "<?xml version=\"1.0\" encoding=\"UTF-16\"?><?xml-model href=\"m\"?><a/>",
       "<?xml-model href=\"m\"?><a/>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const XmlParseResult r = ParseXmlText(U(c.text));
    ASSERT_TRUE(r.ok) << r.message.toStdString() << " at " << r.line << ":" << r.position;
    EXPECT_EQ(Dump(r.document->Root()), U(c.tree));
  }

  // An error after the declaration is reported on the line the text has it.
  const XmlParseResult bad =
      ParseXmlText(U("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<a>\n\xC3\xA4</b>"));
  EXPECT_FALSE(bad.ok);
  EXPECT_FALSE(bad.document);
  EXPECT_EQ(bad.message, QString::fromUtf8(XML_ErrorString(XML_ERROR_TAG_MISMATCH)));
  EXPECT_EQ(bad.line, 3);
  EXPECT_EQ(bad.position, 4);
}

TEST(XmlParse, NeverLoadsExternalEntitiesAndRefusesAmplification) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString secretPath = dir.filePath(QStringLiteral("secret.txt"));
  const QString dtdPath = dir.filePath(QStringLiteral("types.dtd"));
  for (const auto& [path, content] :
       {std::pair{secretPath, QByteArray("SECRET")},
        std::pair{dtdPath,
                  QByteArray("<!ENTITY inner \"SECRET\"><!ATTLIST a d CDATA \"SECRET\">")}}) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
  }
  const QByteArray secretUrl = QUrl::fromLocalFile(secretPath).toEncoded();
  const QByteArray dtdUrl = QUrl::fromLocalFile(dtdPath).toEncoded();
  const QByteArray documents[] = {
      "<!DOCTYPE a [<!ENTITY e SYSTEM \"" + secretUrl + "\">]><a>[&e;]</a>",
      "<!DOCTYPE a SYSTEM \"" + dtdUrl + "\"><a>[&inner;]</a>",
      "<!DOCTYPE a [<!ENTITY % p SYSTEM \"" + dtdUrl + "\"> %p;]><a>[&inner;]</a>",
  };
  for (const QByteArray& doc : documents) {
    SCOPED_TRACE(doc.constData());
    const XmlParseResult r = ParseXml(doc);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(Dump(r.document->Root()), QStringLiteral("<a>'[]'</a>"));
  }

  // Entities of entities that would expand to 10^10 characters.
  QByteArray laughs = "<!DOCTYPE a [<!ENTITY e0 \"xxxxxxxxxx\">";
  for (int i = 1; i <= 9; ++i) {
    laughs += "<!ENTITY e" + QByteArray::number(i) + " \"";
    for (int k = 0; k < 10; ++k) laughs += "&e" + QByteArray::number(i - 1) + ";";
    laughs += "\">";
  }
  laughs += "]><a>&e9;</a>";
  const XmlParseResult r = ParseXml(laughs);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.document);
  EXPECT_EQ(r.message, QString::fromUtf8(XML_ErrorString(XML_ERROR_AMPLIFICATION_LIMIT_BREACH)));
}

// The bytes go to expat in slices of 1 MiB; a character split between two slices, and line
// numbers past the first slice, come out as in one piece.
TEST(XmlParse, LargeAndDeepDocuments) {
  const QString wide = QString(3 * (1 << 19) + 7, QChar(0xE9));  // 2 bytes each in UTF-8
  QByteArray large = "<a  v=\"";                                 // odd length: é straddles
  large += wide.toUtf8();
  large += "\">";
  for (int i = 0; i < 20000; ++i) large += "<b>\xE2\x82\xAC line</b>\n";
  QByteArray good = large + "</a>";
  ASSERT_GT(good.size(), 3 << 20);
  {
    const XmlParseResult r = ParseXml(good);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    const XmlNode* a = r.document->MainElement();
    EXPECT_EQ(a->Attribute(QStringLiteral("v")), wide);
    int count = 0;
    for (const XmlNode* b = a->FirstChildElement(); b; b = b->NextSiblingElement()) {
      if (b->Text() != U("\xE2\x82\xAC line")) ADD_FAILURE() << "child " << count;
      ++count;
    }
    EXPECT_EQ(count, 20000);
  }
  {
    const XmlParseResult r = ParseXml(large + "</b>");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QString::fromUtf8(XML_ErrorString(XML_ERROR_TAG_MISMATCH)));
    EXPECT_EQ(r.line, 20001);
    EXPECT_EQ(r.position, 3);
  }

  // A long run of text reaches the parser in many pieces (a line, a reference each) and ends
  // as one text node; joining the pieces must not copy what came before each time.
  {
    QByteArray lines = "<a>";
    QString expected;
    for (int i = 0; i < 200000; ++i) {
      lines += "line &amp; " + QByteArray::number(i) + "\n";
      expected += QStringLiteral("line & %1\n").arg(i);
    }
    lines += "<b/>tail</a>";
    const XmlParseResult r = ParseXml(lines);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    const XmlNode* a = r.document->MainElement();
    ASSERT_TRUE(a->FirstChild());
    EXPECT_EQ(a->FirstChild()->Kind(), XmlNodeKind::Text);
    EXPECT_EQ(a->FirstChild()->Value(), expected);
    EXPECT_EQ(a->Text(), expected + QStringLiteral("tail"));
  }

  // Reading from a device: the same document, a broken one, and a device that cannot be read.
  const auto feed = [](QIODevice& device) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    const FeedResult result = FeedExpat(parser, device);
    XML_Error error = XML_GetErrorCode(parser);
    XML_ParserFree(parser);
    return std::pair{result, error};
  };
  {
    QBuffer buffer(&good);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(feed(buffer), std::pair(FeedResult::Parsed, XML_ERROR_NONE));
  }
  {
    QByteArray broken = large + "</b>";
    QBuffer buffer(&broken);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(feed(buffer), std::pair(FeedResult::ParseError, XML_ERROR_TAG_MISMATCH));
  }
  {
    QByteArray unread;
    QBuffer buffer(&unread);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    EXPECT_EQ(feed(buffer).first, FeedResult::ReadError);
  }

  // Nesting far deeper than any call stack would take: parsing, walking, writing and freeing
  // all go without recursion.
  constexpr int kDepth = 200000;
  QByteArray deep =
      QByteArray("<e>").repeated(kDepth - 1) + "<e/>" + QByteArray("</e>").repeated(kDepth - 1);
  const XmlParseResult r = ParseXml(deep);
  ASSERT_TRUE(r.ok) << r.message.toStdString();
  int depth = 0;
  for (const XmlNode* e = r.document->MainElement(); e; e = e->FirstChildElement()) ++depth;
  EXPECT_EQ(depth, kDepth);
  EXPECT_EQ(BrokenLink(*r.document), QString());
  EXPECT_EQ(SerialiseXml(*r.document, XmlDeclaration::None, false), QString::fromLatin1(deep));
}

TEST(XmlNode, NavigationSkipsWhatIsNotAnElementAndLinksStayConsistent) {
  XmlDocument doc;
  EXPECT_EQ(doc.Root()->Kind(), XmlNodeKind::Document);
  EXPECT_EQ(doc.Root()->Document(), &doc);
  EXPECT_EQ(doc.MainElement(), nullptr);
  doc.Root()->AppendComment(QStringLiteral("before"));
  doc.Root()->AppendInstruction(QStringLiteral("pi"), QStringLiteral("data"));
  EXPECT_EQ(doc.MainElement(), nullptr);

  XmlNode* main = doc.Root()->AppendElement(QStringLiteral("main"));
  doc.Root()->AppendElement(QStringLiteral("second"));  // the tree allows it; XML would not
  EXPECT_EQ(doc.MainElement(), main);

  XmlNode* t1 = main->AppendText(QStringLiteral("x "));
  main->AppendComment(QStringLiteral("c"));
  XmlNode* b = main->AppendElement(QStringLiteral("b"));
  main->AppendInstruction(QStringLiteral("t"), QString());
  main->AppendText(QStringLiteral("y"));
  XmlNode* c = main->AppendElement(QStringLiteral("c"));
  main->AppendText(QStringLiteral(" z"));
  b->AppendText(QStringLiteral("inner"));
  b->AppendElement(QStringLiteral("deeper"))->AppendText(QStringLiteral("deepest"));

  EXPECT_EQ(main->FirstChild(), t1);
  EXPECT_EQ(main->FirstChildElement(), b);
  EXPECT_EQ(b->NextSiblingElement(), c);
  EXPECT_EQ(c->NextSiblingElement(), nullptr);
  EXPECT_EQ(t1->NextSiblingElement(), b);  // from a text node as well
  EXPECT_EQ(c->FirstChildElement(), nullptr);
  EXPECT_FALSE(c->HasChildren());
  EXPECT_EQ(BrokenLink(doc), QString());
  EXPECT_EQ(Dump(doc.Root()),
            QStringLiteral("<!--before--><?pi data?><main>'x '<!--c--><b>'inner'<deeper>'deepest'"
                           "</deeper></b><?t?>'y'<c/>' z'</main><second/>"));

  // Text() joins the direct text children only.
  EXPECT_EQ(main->Text(), QStringLiteral("x y z"));
  EXPECT_EQ(b->Text(), QStringLiteral("inner"));
  EXPECT_EQ(c->Text(), QString());
  t1->SetValue(QStringLiteral("w "));
  EXPECT_EQ(main->Text(), QStringLiteral("w y z"));

  // The same from parsed input, where text is split by comments and elements.
  const XmlParseResult r =
      ParseXml("<m>a<!--x-->b<?p?><e>no</e>c<![CDATA[d]]><!--y--><f/>&amp;</m>");
  ASSERT_TRUE(r.ok);
  const XmlNode* m = r.document->MainElement();
  EXPECT_EQ(m->Text(), QStringLiteral("abcd&"));
  EXPECT_EQ(m->FirstChildElement()->Name(), QStringLiteral("e"));
  EXPECT_EQ(m->FirstChildElement()->NextSiblingElement()->Name(), QStringLiteral("f"));
  EXPECT_EQ(m->FirstChildElement()->NextSiblingElement()->NextSiblingElement(), nullptr);
}

TEST(XmlNode, SetAttributeReplacesAppendAttributeKeepsDuplicates) {
  XmlDocument doc;
  XmlNode* e = doc.Root()->AppendElement(QStringLiteral("e"));
  EXPECT_FALSE(e->HasAttribute(QStringLiteral("a")));
  EXPECT_TRUE(e->Attribute(QStringLiteral("a")).isNull());

  e->SetAttribute(QStringLiteral("a"), QStringLiteral("1"));
  e->SetAttribute(QStringLiteral("b"), QString());
  e->SetAttribute(QStringLiteral("c"), QStringLiteral("3"));
  e->SetAttribute(QStringLiteral("a"), QStringLiteral("one"));  // in place, order kept
  EXPECT_TRUE(e->HasAttribute(QStringLiteral("b")));            // present though empty
  EXPECT_FALSE(e->HasAttribute(QStringLiteral("A")));           // names are case-sensitive
  EXPECT_EQ(Dump(doc.Root()), QStringLiteral("<e a=\"one\" b=\"\" c=\"3\"/>"));

  e->AppendAttribute(QStringLiteral("c"), QStringLiteral("again"));
  e->AppendAttribute(QStringLiteral("d"), QStringLiteral("4"));
  EXPECT_EQ(Dump(doc.Root()), QStringLiteral("<e a=\"one\" b=\"\" c=\"3\" c=\"again\" d=\"4\"/>"));
  EXPECT_EQ(e->Attribute(QStringLiteral("c")), QStringLiteral("3"));  // the first one
  e->SetAttribute(QStringLiteral("c"), QStringLiteral("three"));      // replaces the first only
  EXPECT_EQ(Dump(doc.Root()),
            QStringLiteral("<e a=\"one\" b=\"\" c=\"three\" c=\"again\" d=\"4\"/>"));
  ASSERT_EQ(e->Attributes().size(), 5u);
  EXPECT_EQ(e->Attributes()[3].value, QStringLiteral("again"));
}

// parse → write → parse gives the same tree, for every way of writing. Written formatted, the
// tree is the same as the formatted serialiser sees it, and writing it again changes nothing.
TEST(XmlSerialise, RoundTripsEveryParsedDocument) {
  std::vector<ParseCase> cases = WellFormedDocuments();
  cases.push_back({"mixed content with runs of white space",
                   "<a>\n  lead  text \n<b> x  y </b><c>\n</c>  tail<!-- k --><?p d?></a>", ""});
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.what);
    const XmlParseResult original = ParseXml(c.input);
    ASSERT_TRUE(original.ok) << original.message.toStdString();
    for (XmlDeclaration declaration :
         {XmlDeclaration::None, XmlDeclaration::Utf8, XmlDeclaration::Utf16}) {
      for (bool formatted : {false, true}) {
        SCOPED_TRACE(std::string(formatted ? "formatted" : "unformatted") + " declaration " +
                     std::to_string(int(declaration)));
        const QString text = SerialiseXml(*original.document, declaration, formatted);
        EXPECT_TRUE(text.startsWith(DeclarationText(declaration)));
        const XmlParseResult again = ParseXmlText(text);
        ASSERT_TRUE(again.ok) << again.message.toStdString() << "\n" << text.toStdString();
        EXPECT_EQ(Dump(again.document->Root(), formatted),
                  Dump(original.document->Root(), formatted));
        if (declaration != XmlDeclaration::Utf16) {
          const XmlParseResult bytes = ParseXml(text.toUtf8());
          ASSERT_TRUE(bytes.ok) << bytes.message.toStdString();
          EXPECT_EQ(Dump(bytes.document->Root()), Dump(again.document->Root()));
        }
        if (formatted) {
          EXPECT_EQ(SerialiseXml(*again.document, declaration, true), text);
        }
      }
    }
  }
}

// What a value may hold that markup cannot: written as references, read back as it was.
TEST(XmlSerialise, EscapesWhatMarkupCannotHoldAndReadsItBack) {
  const struct {
    const char* value;
    const char* attribute;  // as EscapeXmlAttribute writes it
    const char* text;       // as EscapeXmlText writes it
  } cases[] = {
      {"", "", ""},
      {"plain", "plain", "plain"},
      {"a & b", "a &amp; b", "a &amp; b"},
      {"<tag>", "&lt;tag&gt;", "&lt;tag&gt;"},
      {"]]>", "]]&gt;", "]]&gt;"},
      {"\"double\" 'single'", "&quot;double&quot; &apos;single&apos;", "\"double\" 'single'"},
      {"tab\there", "tab&#9;here", "tab\there"},
      {"two\nlines", "two&#10;lines", "two\nlines"},
      {"cr\r\nlf", "cr&#13;&#10;lf", "cr&#13;\nlf"},
      {"&amp;", "&amp;amp;", "&amp;amp;"},
      {"\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80 <&>",
       "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80 &lt;&amp;&gt;",
       "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80 &lt;&amp;&gt;"},
      {"&&<<>>", "&amp;&amp;&lt;&lt;&gt;&gt;", "&amp;&amp;&lt;&lt;&gt;&gt;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const QString value = U(c.value);
    EXPECT_EQ(EscapeXmlAttribute(value), U(c.attribute));
    EXPECT_EQ(EscapeXmlText(value), U(c.text));

    // Built by hand, written unformatted, read back: attribute and text unchanged. Text goes
    // once as the only content and once among other nodes.
    XmlDocument doc;
    XmlNode* a = doc.Root()->AppendElement(QStringLiteral("a"));
    a->SetAttribute(QStringLiteral("v"), value);
    XmlNode* only = a->AppendElement(QStringLiteral("only"));
    XmlNode* mixed = a->AppendElement(QStringLiteral("mixed"));
    if (!value.isEmpty()) {  // no text node would stand for empty text in the file
      only->AppendText(value);
      mixed->AppendText(value);
    }
    mixed->AppendComment(QStringLiteral("k"));
    const QString written = SerialiseXml(doc, XmlDeclaration::Utf8, false);
    const XmlParseResult r = ParseXml(written.toUtf8());
    ASSERT_TRUE(r.ok) << r.message.toStdString() << "\n" << written.toStdString();
    EXPECT_EQ(Dump(r.document->Root()), Dump(doc.Root()));
  }
}

// The formatted layout: CR LF and two spaces per level before every element, comment and
// instruction; text alone in an element stays on its line; white space reduced, blank text gone.
TEST(XmlSerialise, FormattedLayout) {
  const struct {
    const char* what;
    const char* input;
    XmlDeclaration declaration;
    const char* formatted;
    const char* unformatted;
  } cases[] = {
      {"main element alone", "<a/>", XmlDeclaration::None, "\r\n<a/>", "<a/>"},
      {"declaration first", "<a/>", XmlDeclaration::Utf8,
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a/>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>"},
      {"nesting, blank text, inline text, mixed content",
       "<!--top--><a x=\"1\">\n <b>  x \n y </b>\n <c>\n </c><d><e/></d>t  u<!-- k --><?p d?></a>",
       XmlDeclaration::Utf16,
       "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<!--top-->\r\n<a x=\"1\">\r\n  <b>x y</b>"
       "\r\n  <c/>\r\n  <d>\r\n    <e/>\r\n  </d>\r\n  t u\r\n  <!-- k -->\r\n  <?p d?>\r\n</a>",
       "<?xml version=\"1.0\" encoding=\"UTF-16\"?><!--top--><a x=\"1\">\n <b>  x \n y </b>\n "
       "<c>\n </c><d><e/></d>t  u<!-- k --><?p d?></a>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const XmlParseResult r = ParseXml(c.input);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(SerialiseXml(*r.document, c.declaration, true), U(c.formatted));
    EXPECT_EQ(SerialiseXml(*r.document, c.declaration, false), U(c.unformatted));
  }
}

TEST(XmlSerialise, DeclarationsSuitTheirEncodings) {
  EXPECT_TRUE(DeclarationText(XmlDeclaration::None).isEmpty());
  const QString body = U("<a v=\"\xC3\xBC\xF0\x9F\x98\x80\"/>");
  const QString tree = U("<a v=\"\xC3\xBC\xF0\x9F\x98\x80\"/>");
  const struct {
    XmlDeclaration declaration;
    QStringConverter::Encoding encoding;
    QStringConverter::Flags flags;
  } cases[] = {
      {XmlDeclaration::None, QStringConverter::Utf8, QStringConverter::Flag::Default},
      {XmlDeclaration::Utf8, QStringConverter::Utf8, QStringConverter::Flag::Default},
      {XmlDeclaration::Utf8, QStringConverter::Utf8, QStringConverter::Flag::WriteBom},
      {XmlDeclaration::Utf16, QStringConverter::Utf16LE, QStringConverter::Flag::Default},
      {XmlDeclaration::Utf16, QStringConverter::Utf16BE, QStringConverter::Flag::Default},
      {XmlDeclaration::Utf16, QStringConverter::Utf16, QStringConverter::Flag::WriteBom},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.encoding));
    const QString text = DeclarationText(c.declaration) + body;
    EXPECT_EQ(text.startsWith(QLatin1String("<?xml version=\"1.0\" encoding=\"")),
              c.declaration != XmlDeclaration::None);
    QStringEncoder encoder(c.encoding, c.flags);
    const QByteArray bytes = encoder.encode(text);
    const XmlParseResult r = ParseXml(bytes);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(Dump(r.document->Root()), tree);
  }
}

// Writes down every piece it is handed.
class PieceSink : public XmlTextSink {
public:
  void Write(QStringView text) override { pieces.emplace_back(text.toString()); }
  std::vector<QString> pieces;
};

TEST(XmlSerialise, SinksGetTheWholeTextInPiecesThatKeepCharactersWhole) {
  XmlDocument doc;
  XmlNode* main = doc.Root()->AppendElement(QStringLiteral("main"));
  for (int i = 0; i < 3000; ++i) {
    XmlNode* e = main->AppendElement(QStringLiteral("e"));
    e->SetAttribute(QStringLiteral("v"), QStringLiteral("%1 \U0001F600\u20ac & <").arg(i));
    if (i % 3 == 0) e->AppendText(QStringLiteral("\U0001F601 text"));
    if (i % 7 == 0) main->AppendComment(QStringLiteral("\U0001F602"));
    if (i % 11 == 0) main->AppendInstruction(QStringLiteral("p"), QStringLiteral("\U0001F603"));
  }
  for (bool formatted : {true, false}) {
    for (XmlDeclaration declaration : {XmlDeclaration::None, XmlDeclaration::Utf8}) {
      SCOPED_TRACE(formatted);
      const QString whole = SerialiseXml(doc, declaration, formatted);
      PieceSink sink;
      SerialiseXml(doc, declaration, formatted, sink);
      EXPECT_GT(sink.pieces.size(), 2u);
      QString joined;
      for (const QString& piece : sink.pieces) {
        EXPECT_FALSE(piece.isEmpty());
        EXPECT_FALSE(piece.front().isLowSurrogate());
        EXPECT_FALSE(piece.back().isHighSurrogate());
        joined += piece;
      }
      EXPECT_EQ(joined, whole);

      QByteArray bytes;
      Utf8Collector collector(bytes);
      SerialiseXml(doc, declaration, formatted, collector);
      EXPECT_EQ(bytes, whole.toUtf8());
      const XmlParseResult r = ParseXml(bytes);
      ASSERT_TRUE(r.ok) << r.message.toStdString();
      EXPECT_EQ(Dump(r.document->Root(), formatted), Dump(doc.Root(), formatted));
    }
  }

  // A lone surrogate, which UTF-8 cannot carry, becomes '?' and the rest stays.
  XmlDocument lone;
  lone.Root()
      ->AppendElement(QStringLiteral("a"))
      ->SetAttribute(QStringLiteral("v"),
                     QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y"));
  QByteArray bytes;
  Utf8Collector collector(bytes);
  SerialiseXml(lone, XmlDeclaration::None, false, collector);
  EXPECT_EQ(bytes, QByteArray("<a v=\"x?y\"/>"));
}

// The formatter composes the same text from events as the serialiser does from a document.
TEST(XmlFormatter, EventsComposeTheSerialisedForm) {
  const struct {
    const char* what;
    XmlDeclaration declaration;
    std::function<void(XmlFormatter&)> events;
    const char* formatted;
    const char* unformatted;
  } cases[] = {
      {"nothing", XmlDeclaration::Utf8, [](XmlFormatter&) {},
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"},
      {"every kind of content", XmlDeclaration::None,
       [](XmlFormatter& f) {
         f.Comment(u" top ");
         f.StartElement(QStringLiteral("a"));
         f.Attribute(u"x", u"1 & \"2\"\n");
         f.Attribute(u"y", u"");
         f.StartElement(QStringLiteral("b"));
         f.EndElement();
         f.StartElement(QStringLiteral("c"));
         f.InlineText(u"t < u");
         f.EndElement();
         f.Comment(u"k");
         f.Instruction(u"p", u"d");
         f.Instruction(u"q", u"");
         f.TextLine(u"line & more");
         f.StartElement(QStringLiteral("d"));
         f.StartElement(QStringLiteral("e"));
         f.EndElement();
         f.EndElement();
         f.EndElement();
       },
       "\r\n<!-- top -->\r\n<a x=\"1 &amp; &quot;2&quot;&#10;\" y=\"\">\r\n  <b/>\r\n  <c>t &lt; "
       "u</c>\r\n  <!--k-->\r\n  <?p d?>\r\n  <?q?>\r\n  line &amp; more\r\n  <d>\r\n    <e/>\r\n"
       "  </d>\r\n</a>",
       "<!-- top --><a x=\"1 &amp; &quot;2&quot;&#10;\" y=\"\"><b/><c>t &lt; u</c><!--k--><?p d?>"
       "<?q?>line &amp; more<d><e/></d></a>"},
      {"Finish closes what is open; an end without a start is ignored", XmlDeclaration::None,
       [](XmlFormatter& f) {
         f.EndElement();
         f.StartElement(QStringLiteral("a"));
         f.StartElement(QStringLiteral("b"));
         f.InlineText(u"x");
       },
       "\r\n<a>\r\n  <b>x</b>\r\n</a>", "<a><b>x</b></a>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (bool formatted : {true, false}) {
      const QString expected = U(formatted ? c.formatted : c.unformatted);
      XmlFormatter alone(c.declaration, formatted);
      c.events(alone);
      EXPECT_EQ(alone.Finish(), expected);

      PieceSink sink;
      XmlFormatter toSink(c.declaration, formatted, &sink);
      c.events(toSink);
      EXPECT_EQ(toSink.Finish(), QString());  // all of it went to the sink
      QString joined;
      for (const QString& piece : sink.pieces) joined += piece;
      EXPECT_EQ(joined, expected);
    }
  }

  // A document's events give the document's serialised form.
  const XmlParseResult r = ParseXml("<a x=\"1\"><b>t</b><!--k--><c/></a>");
  ASSERT_TRUE(r.ok);
  XmlFormatter f(XmlDeclaration::Utf16);
  f.StartElement(QStringLiteral("a"));
  f.Attribute(u"x", u"1");
  f.StartElement(QStringLiteral("b"));
  f.InlineText(u"t");
  f.EndElement();
  f.Comment(u"k");
  f.StartElement(QStringLiteral("c"));
  f.EndElement();
  f.EndElement();
  EXPECT_EQ(f.Finish(), SerialiseXml(*r.document, XmlDeclaration::Utf16, true));
}

}  // namespace
}  // namespace bxw::test

#include <gtest/gtest.h>

#include <string>

#include "support/xml/XmlXPath.h"
#include "XmlTestUtil.h"

namespace {

template <class F>
void ExpectXmlError(F&& f, int dom, int row, const String& message) {
    try {
        f();
        ADD_FAILURE() << "no error for " << message;
    } catch (const EXMLException& e) {
        EXPECT_EQ(e.DomCode(), dom);
        EXPECT_EQ(e.MessageIndex(), row);
        EXPECT_EQ(e.Message(), message);
    }
}

TEST(XmlDom, NewDocumentAndDocumentElement) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    EXPECT_EQ(doc->DocumentElement(), nullptr);
    EXPECT_FALSE(doc->HasChildNodes());
    EXPECT_EQ(doc->TextContent(), u"");
    EXPECT_EQ(doc->GetElementsByTagName(u"x")->Length(), 0);
    EXPECT_EQ(doc->OwnerDocument(), nullptr);

    TIntfPtr<IXMLDocument> other = NewXMLDocument();
    doc->AppendChild(doc->CreateComment(u"c"));
    TIntfPtr<IXMLElement> first = doc->CreateElement(u"data");
    doc->SetDocumentElement(first);
    EXPECT_EQ(first->ParentNode(), doc);
    EXPECT_EQ(first->OwnerDocument(), doc);
    TIntfPtr<IXMLElement> second = doc->CreateElement(u"other");
    doc->SetDocumentElement(second);
    EXPECT_EQ(doc->ChildNodes()->Length(), 2);
    EXPECT_EQ(doc->ChildNodes()->Item(1), second);
    EXPECT_EQ(first->ParentNode(), nullptr);
}

TEST(XmlDom, NodesAnswerTheirInterfaces) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    TIntfPtr<IXMLNode> cdata = doc->CreateCDATASection(u"x");
    TIntfPtr<IXMLText> text;
    TIntfPtr<IXMLElement> element;
    EXPECT_TRUE(Supports(cdata, text));
    EXPECT_TRUE(Supports(cdata, IXMLCharacterData::IID));
    EXPECT_FALSE(Supports(cdata, element));
    EXPECT_FALSE(Supports(cdata, IXMLCommentNode::IID));
    EXPECT_TRUE(Supports(doc, IXMLNode::IID));
    EXPECT_TRUE(Supports(doc->ChildNodes(), IXMLNodeList::IID));
    EXPECT_FALSE(Supports(doc->ChildNodes(), IXMLNamedNodeMap::IID));
    EXPECT_EQ(IntfCast<IXMLNode>(text), cdata);
}

TEST(XmlDom, AttributesAreReplacedInPlaceAndCaseSensitive) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    TIntfPtr<IXMLElement> e = doc->CreateElement(u"e");
    e->SetAttribute(u"a", u"1");
    e->SetAttribute(u"b", u"x");
    e->SetAttribute(u"a", u"2");
    ASSERT_EQ(e->Attributes()->Length(), 2);
    EXPECT_EQ(e->Attributes()->Item(0)->NodeName(), u"a");
    EXPECT_EQ(e->GetAttribute(u"a"), u"2");
    EXPECT_EQ(e->GetAttribute(u"A"), u"");
    EXPECT_EQ(e->GetAttributeNode(u"A"), nullptr);
    EXPECT_EQ(e->Attributes()->RemoveNamedItem(u"b")->NodeValue(), u"x");
    EXPECT_EQ(e->Attributes()->Length(), 1);
}

// The parser keeps a repeated attribute; the first of a name is the one found,
// set and removed, after which the next of that name is found. Changes through
// the list keep lookups right, and the order stays the document's: in a short
// list and in one long enough to be searched through an index (the "x" padding,
// which stays at the end and is not shown).
TEST(XmlDom, AttributesOfOneNameAreFoundFirstInDocumentOrder) {
    for (const std::string padding : {"", " x0=\"\" x1=\"\" x2=\"\" x3=\"\" x4=\"\" x5=\"\" x6=\"\" x7=\"\""}) {
        SCOPED_TRACE(padding);
        const TIntfPtr<IXMLDocument> doc = Parsed("<r a=\"1\" b=\"2\" a=\"3\" c=\"4\"" + padding + "/>");
        const TIntfPtr<IXMLElement> r = doc->DocumentElement();
        const TIntfPtr<IXMLNamedNodeMap> map = r->Attributes();
        const auto state = [&] {
            String s;
            for (int i = 0; i < map->Length(); ++i)
                if (!map->Item(i)->NodeName().starts_with(u'x'))
                    s += map->Item(i)->NodeName() + u'=' + map->Item(i)->NodeValue() + u' ';
            return s + u"| a=" + r->GetAttribute(u"a") + u" b=" + r->GetAttribute(u"b");
        };
        EXPECT_EQ(state(), u"a=1 b=2 a=3 c=4 | a=1 b=2");
        r->SetAttribute(u"a", u"5");
        EXPECT_EQ(state(), u"a=5 b=2 a=3 c=4 | a=5 b=2");
        EXPECT_EQ(map->RemoveNamedItem(u"a")->NodeValue(), u"5");
        EXPECT_EQ(state(), u"b=2 a=3 c=4 | a=3 b=2");
        const TIntfPtr<IXMLAttribute> b = doc->CreateAttribute(u"b");
        b->SetNodeValue(u"6");
        map->Insert(1, b);
        EXPECT_EQ(state(), u"b=2 b=6 a=3 c=4 | a=3 b=2");
        map->Delete(0);
        EXPECT_EQ(state(), u"b=6 a=3 c=4 | a=3 b=6");
        EXPECT_EQ(map->Remove(b), 0);
        EXPECT_EQ(state(), u"a=3 c=4 | a=3 b=");
        map->Clear();
        r->SetAttribute(u"c", u"7");
        EXPECT_EQ(state(), u"c=7 | a= b=");
    }
}

TEST(XmlDom, ValuesAndTextContent) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    EXPECT_EQ(doc->CreateTextNode(u"a\r\nb\rc")->NodeValue(), u"a\nb\nc");
    EXPECT_EQ(doc->CreateCDATASection(u"a\r\nb")->NodeValue(), u"a\r\nb");
    ExpectXmlError([&] { doc->CreateCDATASection(u"a]]>b"); }, 5, 50,
                   u"The literal string \"]]>\" is not allowed in element content.");
    TIntfPtr<IXMLElement> e = doc->CreateElement(u"e");
    EXPECT_EQ(e->NodeValue(), u"");
    ExpectXmlError([&] { e->SetNodeValue(u"x"); }, 7, 89,
                   u"This operation can not be performed with a Node of type ELEMENT.");

    e->AppendChild(doc->CreateTextNode(u"  a  "));
    e->AppendChild(doc->CreateComment(u" b "));
    EXPECT_EQ(e->TextContent(), u"  a   b ");
    doc->SetKeepWhitespace(false);
    EXPECT_EQ(e->TextContent(), u"ab");
    e->SetTextContent(u"x");
    ASSERT_EQ(e->ChildNodes()->Length(), 1);
    EXPECT_EQ(e->FirstChild()->NodeValue(), u"x");
    e->SetTextContent(u"");
    EXPECT_FALSE(e->HasChildNodes());
}

TEST(XmlDom, ChildOperationsKeepParentLinksRight) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    TIntfPtr<IXMLElement> a = doc->CreateElement(u"a"), b = doc->CreateElement(u"b"), c = doc->CreateElement(u"c");
    a->AppendChild(c);
    b->AppendChild(c);  // moves
    EXPECT_FALSE(a->HasChildNodes());
    EXPECT_EQ(c->ParentNode(), b);
    TIntfPtr<IXMLElement> d = doc->CreateElement(u"d");
    b->InsertBefore(d, c);
    EXPECT_EQ(b->FirstChild(), d);
    EXPECT_EQ(d->NextSibling(), c);
    EXPECT_EQ(c->PreviousSibling(), d);
    EXPECT_EQ(c->NextSibling(), nullptr);
    b->InsertBefore(c, d);  // reorder within the same parent
    EXPECT_EQ(b->FirstChild(), c);
    EXPECT_EQ(b->ReplaceChild(a, d), d);
    EXPECT_EQ(d->ParentNode(), nullptr);
    EXPECT_EQ(b->LastChild(), a);
    EXPECT_EQ(b->RemoveChild(c), c);
    EXPECT_EQ(b->RemoveChild(a), a);
    EXPECT_FALSE(b->HasChildNodes());
    EXPECT_EQ(a->ParentNode(), nullptr);

    ExpectXmlError([&] { b->RemoveChild(a); }, 8, 0, u"Child not found.");
    ExpectXmlError([&] { b->InsertBefore(a, c); }, 8, 0, u"RefChild is not a child of this node.");
    ExpectXmlError([&] { b->AppendChild(doc->CreateAttribute(u"x")); }, 3, 89,
                   u"This operation can not be performed with a Node of type ATTRIBUTE.");
    ExpectXmlError([&] { b->AppendChild(NewXMLDocument()->CreateElement(u"x")); }, 4, 90,
                   u"NewChild was created from a different document than the one that created this node.");
}

TEST(XmlDom, RefusesToMoveANodeBelowItself) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    TIntfPtr<IXMLElement> a = doc->CreateElement(u"a"), b = doc->CreateElement(u"b"), c = doc->CreateElement(u"c");
    doc->AppendChild(a);
    a->AppendChild(b);
    b->AppendChild(c);
    const String message = u"A node cannot be inserted below itself.";
    ExpectXmlError([&] { c->AppendChild(a); }, 3, xeInsertIntoDescendant, message);
    ExpectXmlError([&] { a->AppendChild(a); }, 3, xeInsertIntoDescendant, message);
    TIntfPtr<IXMLElement> d = doc->CreateElement(u"d");
    c->AppendChild(d);
    ExpectXmlError([&] { c->InsertBefore(b, d); }, 3, xeInsertIntoDescendant, message);
    ExpectXmlError([&] { c->ReplaceChild(a, d); }, 3, xeInsertIntoDescendant, message);
    ExpectXmlError([&] { b->AppendChild(doc); }, 3, xeInsertIntoDescendant, message);
    // Nothing moved.
    EXPECT_EQ(a->ParentNode(), doc);
    EXPECT_EQ(b->ParentNode(), a);
    EXPECT_EQ(c->ParentNode(), b);
}

TEST(XmlDom, LinksNeverReachFreedNodes) {
    TIntfPtr<IXMLNode> child, attr;
    {
        TIntfPtr<IXMLDocument> doc = NewXMLDocument();
        TIntfPtr<IXMLElement> root = doc->CreateElement(u"root");
        doc->AppendChild(root);
        child = root->AppendChild(doc->CreateElement(u"child"));
        attr = doc->CreateAttribute(u"n");
        root->Attributes()->Add(attr);
    }
    // Parent and document are gone; the survivors still answer.
    EXPECT_EQ(child->ParentNode(), nullptr);
    EXPECT_EQ(child->OwnerDocument(), nullptr);
    EXPECT_EQ(child->NextSibling(), nullptr);
    EXPECT_EQ(child->NodeName(), u"child");
    EXPECT_EQ(child->XmlText(), u"<child/>");
    EXPECT_EQ(attr->TextContent(), u"");

    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    TIntfPtr<IXMLElement> kept = doc->CreateElement(u"kept");
    {
        TIntfPtr<IXMLElement> parent = doc->CreateElement(u"parent");
        parent->AppendChild(kept);
        parent->ChildNodes()->Delete(0);  // the list leaves the parent link in place
    }
    EXPECT_EQ(kept->ParentNode(), nullptr);
}

TEST(XmlDom, ElementsByTagNameCloneAndLists) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    ASSERT_TRUE(doc->LoadText(u"<o a='1'><o><p/><o/></o><![CDATA[c]]></o>"));
    TIntfPtr<IXMLElement> root = doc->DocumentElement();
    EXPECT_EQ(doc->GetElementsByTagName(u"o")->Length(), 3);
    EXPECT_EQ(root->GetElementsByTagName(u"o")->Length(), 2);
    EXPECT_EQ(root->GetElementsByTagName(u"O")->Length(), 0);

    TIntfPtr<IXMLNode> shallow = root->CloneNode(false);
    EXPECT_EQ(shallow->XmlText(), u"<o a=\"1\"/>");
    EXPECT_EQ(shallow->ParentNode(), nullptr);
    TIntfPtr<IXMLNode> deep = root->CloneNode(true);
    EXPECT_EQ(deep->XmlText(), root->XmlText());
    EXPECT_EQ(deep->OwnerDocument(), doc);
    TIntfPtr<IXMLDocument> copy = IntfCast<IXMLDocument>(doc->CloneNode(true));
    EXPECT_EQ(copy->XmlText(), doc->XmlText());
    EXPECT_EQ(copy->DocumentElement()->OwnerDocument(), copy);

    TIntfPtr<IXMLNodeList> list = root->ChildNodes();
    list->Rewind();
    EXPECT_EQ(list->Next(), root->FirstChild());
    EXPECT_EQ(list->Next(), root->LastChild());
    EXPECT_EQ(list->Next(), nullptr);
    EXPECT_THROW(list->Item(2), EListError);
    EXPECT_THROW(root->RemoveAttribute(u"a"), EAssertionFailed);
}

TEST(XmlDom, DocumentTypeInsideAnElementClones) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    ASSERT_TRUE(doc->LoadText(u"<r><!DOCTYPE d [<!ENTITY e 'x'>]><a/></r>"));
    const TIntfPtr<IXMLDocumentType> docType = doc->DocType();
    ASSERT_NE(docType, nullptr);
    TIntfPtr<IXMLNode> deep = doc->DocumentElement()->CloneNode(true);
    EXPECT_EQ(deep->XmlText(), u"<r><!DOCTYPE d [<!ENTITY e 'x'>]><a/></r>");
    EXPECT_EQ(deep->FirstChild()->NodeType(), DOCUMENT_TYPE_NODE);
    EXPECT_EQ(doc->DocType(), docType);
}

TEST(XPath, SelectsStepsAndPredicates) {
    TIntfPtr<IXMLDocument> doc = NewXMLDocument();
    ASSERT_TRUE(doc->LoadText(u"<data PropFormat='node'><o i='1'><o i='3'/></o><o i='2'/></data>"));
    const auto ids = [](const TIntfPtr<IXMLNodeList>& list) {
        String s;
        for (int i = 0; i < list->Length(); ++i) {
            const TIntfPtr<IXMLNode> n = list->Item(i);
            s += n->NodeType() == ELEMENT_NODE ? IntfCast<IXMLElement>(n)->GetAttribute(u"i") : n->NodeValue();
        }
        return s;
    };
    TIntfPtr<IXMLNode> root = doc->DocumentElement();
    const struct {
        TIntfPtr<IXMLNode> from;
        const char16_t* path;
        const char16_t* ids;
    } cases[] = {
        {doc, u"data/o", u"12"},
        {doc, u"data/o[2]", u"2"},
        {doc, u"data/o[3]", u""},
        {root->FirstChild(), u"//o", u"132"},
        {doc, u"o", u""},
        {root, u"/data/@PropFormat", u"node"},
        {doc, u"data[@PropFormat]", u""},
        {doc, u"data[@PropFormat=node]/o[@i='2']", u"2"},
        {doc, u"data[@PropFormat=\"node\"]/o", u"12"},
        {doc, u"data[@PropFormat=NODE]", u""},
        {root, u".", u""},
        {root, u"*", u"12"},
        {root, u"//@i", u"132"},
        {root->FirstChild(), u"@*", u"1"},
        {root, u"", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(ids(EvaluateXPath(c.from, c.path)), c.ids) << String(c.path);
    EXPECT_EQ(doc->FindNodes(u"data[@PropFormat]")->Item(0), root);
    EXPECT_EQ(root->FindNode(u"x"), nullptr);
    EXPECT_EQ(root->FindNode(u"."), root);

    const struct {
        const char16_t* path;
        const char16_t* message;
    } errors[] = {
        {u"data/o[0]", u"Invalid predicate [0]"},
        {u"data/", u"Empty element at position 6"},
        {u"a[1", u"Invalid syntax at position 3"},
        {u"a]", u"Invalid syntax at position 2"},
        {u"a[b=1]", u"Unsupported predicate [b=1]"},
    };
    for (const auto& e : errors) {
        try {
            EvaluateXPath(doc, e.path);
            ADD_FAILURE() << String(e.path);
        } catch (const EXMLXPath& x) {
            EXPECT_EQ(x.Message(), e.message);
        }
    }
}

}  // namespace

// Loading a document: a character-by-character parser that builds the tree.

#include <vector>

#include "platform/rtl/Streams.h"
#include "support/xml/XmlCharClasses.h"
#include "support/xml/XmlNodes.h"
#include "support/xml/XmlEncodings.h"

namespace {

// Each open element costs a few stack frames; deeper input is refused.
constexpr size_t kMaxDepth = 256;

[[noreturn]] void Fail(int row, std::initializer_list<TVarRec> args = {}) {
    throw EXMLException(DOM_INVALID_CHARACTER_ERR, row, args);
}

// A character that XML allows, outside the surrogate range.
bool IsAllowedCodePoint(uint32_t v) {
    return v < 0x10000 ? IsXmlChar(static_cast<char16_t>(v)) && !(v >= 0xD800 && v <= 0xDFFF) : v <= 0x10FFFF;
}

}  // namespace

class TXMLParser {
public:
    TXMLParser(TXMLDocument& doc, TXMLTextStream& in) : doc_(doc), in_(in) {}

    void Run();

private:
    void ParseContent(TXMLNode& parent);
    void ReadText(TXMLNode& parent);
    void ReadElement(TXMLNode& parent);
    void ReadAttribute(TXMLElement& element);
    void ReadReference();
    void ReadProcessingInstruction(TXMLNode& parent);
    void ReadComment(TXMLNode& parent);
    void ReadCData(TXMLNode& parent);
    void ReadDocType(TXMLNode& parent);
    void OpenElement(TXMLElement& element);
    bool Next(char16_t& c) { return in_.NextChar(c); }

    TXMLDocument& doc_;
    TXMLTextStream& in_;
    std::vector<TXMLElement*> open_;
};

void TXMLParser::Run() {
    ParseContent(doc_);
    if (!open_.empty()) {
        String names;
        for (const TXMLElement* e : open_) names += (names.empty() ? u"" : u", ") + e->NodeName();
        open_.clear();
        throw EXMLException(DOM_HIERARCHY_REQUEST_ERR, xeUnclosedTags, {names});
    }
}

void TXMLParser::ParseContent(TXMLNode& parent) {
    enum { Outside, TagOpen, EndTag, Declaration } state = Outside;
    char16_t c;
    while (true) {
        if (!Next(c)) {
            if (doc_.HasChildNodes()) return;
            throw EXMLException(DOM_NO_ERROR, xeMissingRoot);
        }
        switch (state) {
        case Outside:
            if (c == u'<') {
                state = TagOpen;
            } else {
                in_.PushBack();
                ReadText(parent);
            }
            break;
        case TagOpen:
            if (IsXmlSpace(c)) break;
            if (c == u'!') {
                state = Declaration;
            } else if (c == u'/') {
                state = EndTag;
            } else if (c == u'?') {
                ReadProcessingInstruction(parent);
                state = Outside;
            } else if (IsXmlLetter(c) || c == u'_') {
                in_.Hold(c);
                ReadElement(parent);
                state = Outside;
            } else {
                Fail(xeBadStartNameChar);
            }
            break;
        case EndTag:
            if (c != u'>') {
                in_.Hold(c);
                break;
            }
            {
                const String name = in_.TakeHeld();
                const String& parentName = parent.NodeName();
                if (name == parentName && !open_.empty() && open_.back()->NodeName() == name) {
                    open_.pop_back();
                    return;
                }
                throw EXMLException(DOM_HIERARCHY_REQUEST_ERR, xeEndTagMismatch, {name, parentName});
            }
        case Declaration: {
            String word;
            if (c == u'-') {
                if (!Next(c) || c != u'-') throw Exception(Format(u"Invalid node %s", {in_.TakeHeld()}));
                ReadComment(parent);
                state = Outside;
            } else if (c == u'D') {
                if (in_.ReadChars(word, 6) && word == u"OCTYPE") {
                    in_.DropHeld();
                    ReadDocType(parent);
                    state = Outside;
                }
            } else if (c == u'[') {
                if (in_.ReadChars(word, 6) && word == u"CDATA[") {
                    in_.DropHeld();
                    ReadCData(parent);
                    state = Outside;
                }
            }
            break;
        }
        }
    }
}

void TXMLParser::ReadText(TXMLNode& parent) {
    char16_t c;
    while (Next(c)) {
        if (c == u'<') {
            in_.PushBack();
            String text = in_.TakeHeld();
            if (!doc_.KeepWhitespace()) text = TrimXmlSpace(text);
            if (!text.empty()) parent.AdoptChild(doc_.CreateTextNode(text));
            return;
        }
        if (c == u'&')
            ReadReference();
        else
            in_.Hold(c);
    }
    // Text cut by the end of the input is dropped; the node stays, empty.
    in_.DropHeld();
    parent.AdoptChild(doc_.CreateTextNode(String()));
}

void TXMLParser::OpenElement(TXMLElement& element) {
    if (open_.size() >= kMaxDepth)
        throw EXMLException(DOM_NO_ERROR, xeNestedTooDeep, {static_cast<int>(kMaxDepth)});
    open_.push_back(&element);
    ParseContent(element);
}

void TXMLParser::ReadElement(TXMLNode& parent) {
    char16_t c;
    while (true) {
        if (!Next(c)) Fail(xeElementNotClosed);
        if (IsXmlSpace(c) || c == u'/' || c == u'>') break;
        if (!IsXmlNameChar(c)) Fail(xeBadNameChar);
        in_.Hold(c);
    }
    const TIntfPtr<TXMLElement> element = MakeIntf<TXMLElement>(doc_, in_.TakeHeld());
    parent.AdoptChild(element);
    bool afterSlash = c == u'/';
    if (c == u'>') {
        OpenElement(*element);
        return;
    }
    while (true) {
        if (!Next(c)) Fail(xeElementNotClosed);
        if (afterSlash) {
            if (c == u'>') return;
            Fail(IsXmlSpace(c) ? xeUnexpectedWhitespace : xeExpectingGreaterThan);
        }
        if (IsXmlSpace(c)) continue;
        if (c == u'/') {
            afterSlash = true;
        } else if (c == u'>') {
            OpenElement(*element);
            return;
        } else if (IsXmlLetter(c) || c == u'_') {
            in_.DropHeld();
            in_.Hold(c);
            ReadAttribute(*element);
        } else {
            Fail(xeBadStartNameChar);
        }
    }
}

void TXMLParser::ReadAttribute(TXMLElement& element) {
    const auto finish = [&](const String& name, const String& value) {
        const TIntfPtr<IXMLAttribute> attr = doc_.CreateAttribute(name);
        attr->SetNodeValue(value);
        element.AttributeMap()->Add(attr);
    };
    char16_t c;
    // Name, then "=" after optional white space.
    while (true) {
        if (!Next(c)) return finish(in_.TakeHeld(), String());
        if (c == u'=') break;
        if (IsXmlSpace(c)) {
            do {
                if (!Next(c)) return finish(in_.TakeHeld(), String());
            } while (IsXmlSpace(c));
            if (c != u'=') Fail(xeMissingEquals);
            break;
        }
        if (!IsXmlNameChar(c)) Fail(xeBadNameChar);
        in_.Hold(c);
    }
    const String name = in_.TakeHeld();
    do {
        if (!Next(c)) return finish(name, String());
    } while (IsXmlSpace(c));
    if (c != u'"' && c != u'\'') Fail(xeExpectingQuote);
    const char16_t quote = c;
    while (Next(c) && c != quote) {
        if (c == u'<') Fail(xeLessThanInAttr);
        if (c == u'&')
            ReadReference();
        else
            in_.Hold(c);
    }
    finish(name, in_.TakeHeld());
}

// After "&": holds the referenced character (a space when the input ends).
void TXMLParser::ReadReference() {
    char16_t c;
    if (!Next(c)) return in_.Hold(u' ');
    if (IsXmlSpace(c)) Fail(xeUnexpectedWhitespace);
    if (c != u'#') {
        if (!IsXmlNameStart(c)) Fail(xeBadStartNameChar);
        String name(1, c);
        while (true) {
            if (!Next(c)) return in_.Hold(u' ');
            if (c == u';') break;
            if (!IsXmlNameChar(c)) Fail(xeExpectingSemicolon);
            name += c;
        }
        const char16_t ch = CharOfEntity(name);
        if (!ch) Fail(xeUndefinedEntity, {name});
        return in_.Hold(ch);
    }
    if (!Next(c)) return in_.Hold(u' ');
    if (IsXmlSpace(c)) Fail(xeUnexpectedWhitespace);
    const bool hex = c == u'x';
    if (!hex && !(c >= u'0' && c <= u'9')) Fail(xeBadCharInEntity);
    uint32_t value = hex ? 0 : c - u'0';
    while (true) {
        if (!Next(c)) return in_.Hold(u' ');
        if (c == u';') break;
        if (IsXmlSpace(c)) Fail(xeUnexpectedWhitespace);
        uint32_t digit;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
        else Fail(hex ? xeBadHexDigit : xeBadDecimalDigit);
        value = value * (hex ? 16 : 10) + digit;
        if (value >= 0x110000) Fail(xeInvalidUnicode);
    }
    if (!IsAllowedCodePoint(value)) Fail(xeInvalidUnicode);
    if (value < 0x10000) return in_.Hold(static_cast<char16_t>(value));
    in_.Hold(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
    in_.Hold(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
}

void TXMLParser::ReadProcessingInstruction(TXMLNode& parent) {
    const TIntfPtr<TXMLProcessingInstruction> pi = MakeIntf<TXMLProcessingInstruction>(doc_, String(), String());
    parent.AdoptChild(pi);
    char16_t c;
    if (!Next(c)) return;
    if (!IsXmlNameStart(c)) Fail(xeBadStartNameChar);
    in_.Hold(c);
    while (true) {
        if (!Next(c)) return pi->SetTarget(in_.TakeHeld());
        if (IsXmlSpace(c)) break;
        if (!IsXmlNameChar(c)) Fail(xeBadNameChar);
        in_.Hold(c);
    }
    pi->SetTarget(in_.TakeHeld());
    const bool isDeclaration = SameText(pi->Target(), u"xml");
    if (isDeclaration && &parent != &doc_) throw EXMLException(DOM_HIERARCHY_REQUEST_ERR, xeBadXmlDecl);
    do {
        if (!Next(c)) return;
    } while (IsXmlSpace(c));
    while (true) {
        if (c == u'?') {
            if (!Next(c)) break;
            if (c == u'>') break;
            in_.Hold(u'?');
            in_.Hold(c);
        } else if (IsXmlChar(c)) {
            in_.Hold(c);
        } else {
            Fail(xeBadNameChar);
        }
        if (!Next(c)) break;
    }
    pi->SetData(in_.TakeHeld());
    if (!isDeclaration) return;
    // Bytes after the declaration follow its encoding; text already known to be
    // UTF-16 or UTF-32 keeps its decoding.
    const int declared = DeclaredCodePage(pi->Data());
    const auto byteOriented = [](int cp) { return cp != CP_UTF16 && cp != CP_UTF32; };
    if (declared && byteOriented(declared) && byteOriented(in_.Codepage())) in_.SetCodepage(declared);
}

void TXMLParser::ReadComment(TXMLNode& parent) {
    char16_t c;
    while (Next(c)) {
        if (c != u'-') {
            in_.Hold(c);
            continue;
        }
        if (!Next(c)) break;
        if (c != u'-') {
            in_.Hold(u'-');
            in_.Hold(c);
            continue;
        }
        while (Next(c) && c != u'>') {
        }
        break;
    }
    parent.AdoptChild(doc_.CreateComment(in_.TakeHeld()));
}

void TXMLParser::ReadCData(TXMLNode& parent) {
    char16_t c;
    bool done = false;
    while (!done && Next(c)) {
        if (c != u']') {
            in_.Hold(c);
            continue;
        }
        if (!Next(c)) break;
        if (c != u']') {
            in_.Hold(u']');
            in_.Hold(c);
            continue;
        }
        while (true) {  // after "]]"
            if (!Next(c)) {
                done = true;
                break;
            }
            if (c == u'>') {
                done = true;
                break;
            }
            if (c != u']') {
                in_.Hold(u']');
                in_.Hold(u']');
                in_.Hold(c);
                break;
            }
            in_.Hold(u']');
        }
    }
    parent.AdoptChild(doc_.CreateCDATASection(in_.TakeHeld()));
}

// Up to the ">" outside brackets. Literals, and comments and processing
// instructions of the internal subset, are taken whole: no quote, bracket or
// ">" inside them counts.
void TXMLParser::ReadDocType(TXMLNode& parent) {
    char16_t c;
    bool more = Next(c);
    while (more && IsXmlSpace(c)) more = Next(c);
    String text;
    int depth = 0;
    std::u16string_view until;  // the end of the literal, comment or instruction being read
    size_t openedAt = 0;        // where its content starts in Text
    for (; more; more = Next(c)) {
        text += c;
        if (!until.empty()) {
            if (text.size() >= openedAt + until.size() && text.ends_with(until)) until = {};
            continue;
        }
        if (c == u'"') {
            until = u"\"";
        } else if (c == u'\'') {
            until = u"'";
        } else if (depth > 0 && text.ends_with(u"<!--")) {
            until = u"-->";
        } else if (depth > 0 && text.ends_with(u"<?")) {
            until = u"?>";
        } else if (c == u'[') {
            ++depth;
        } else if (c == u']') {
            --depth;
        } else if (c == u'>' && depth <= 0) {
            text.pop_back();
            parent.AdoptChild(doc_.CreateDocType(text));
            return;
        }
        if (!until.empty()) openedAt = text.size();
    }
    Fail(xeExpectingGreaterThan);
}

bool TXMLDocument::LoadStream(TStream& stream) {
    DropChildren();
    loadError_ = TXMLParseError();
    TXMLTextStream in(stream, CP_UTF8, TXmlStreamMode::Read);
    try {
        TXMLParser(*this, in).Run();
        loadingFile_.clear();
        return true;
    } catch (const EXMLException& e) {
        loadError_.Code = e.MessageIndex();
        loadError_.FilePosition = in.ErrorPosition();
        loadError_.Line = in.Line() + 1;
        loadError_.Column = in.Column();
        loadError_.Reason = e.Message();
        loadError_.LineText = in.LineText();
        if (loadError_.LineText.empty()) loadError_.LineText = in.PreviousHeld();
        char16_t c;
        if (loadError_.LineText.empty() && in.PreviousChar(c)) loadError_.LineText = String(1, c);
        loadError_.FileName = loadingFile_;
        loadingFile_.clear();
        return false;
    } catch (...) {
        loadingFile_.clear();
        throw;
    }
}

bool TXMLDocument::LoadText(const String& text) {
    TBytes bytes(2 + text.size() * 2);
    uint8_t* out = bytes.data();
    *out++ = 0xFF;
    *out++ = 0xFE;
    for (char16_t c : text) {
        *out++ = static_cast<uint8_t>(c & 0xFF);
        *out++ = static_cast<uint8_t>(c >> 8);
    }
    TBytesStream stream(std::move(bytes));
    return LoadStream(stream);
}

bool TXMLDocument::LoadFile(const String& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    TBytesStream stream;
    stream.CopyFrom(file, 0);
    stream.SetPosition(0);
    loadingFile_ = fileName;
    return LoadStream(stream);
}

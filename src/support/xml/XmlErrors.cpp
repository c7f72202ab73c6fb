#include "support/xml/XmlErrors.h"

namespace {

const char* RowText(int row) {
    switch (row) {
    case xeText: return "%s";
    case xeMissingEquals: return "Missing equals sign between attribute and attribute value.";
    case xeExpectingQuote: return "A string literal was expected, but no opening quote character was found.";
    case xeBadStartNameChar: return "A name started with an invalid character.";
    case xeBadNameChar: return "A name contained an invalid character.";
    case xeLessThanInAttr: return "The character \"<\" cannot be used in an attribute value.";
    case xeExpectingGreaterThan: return "The character \">\" was expected.";
    case xeExpectingSemicolon: return "A semi colon character was expected.";
    case xeBadCharInEntity: return "An invalid character was found inside an entity reference.";
    case xeInternalError: return "Internal error: %s";
    case xeUnexpectedWhitespace: return "Whitespace is not allowed at this location.";
    case xeBadDecimalDigit: return "Invalid character for decimal digit.";
    case xeBadHexDigit: return "Invalid character for hexadecimal digit.";
    case xeInvalidUnicode: return "Invalid Unicode character value for this platform.";
    case xeUnclosedTags: return "The following tags were not closed: %s.";
    case xeBadXmlDecl: return "Invalid XML declaration.";
    case xeMissingRoot: return "XML document must have a top level element.";
    case xeCDataEndInContent: return "The literal string \"]]>\" is not allowed in element content.";
    case xeElementNotClosed: return "Element was not closed.";
    case xeEndTagMismatch: return "End tag %s does not match the start tag %s.";
    case xeNestedTooDeep: return "Elements are nested more than %d levels deep.";
    case xeWrongNodeType: return "This operation can not be performed with a Node of type %s.";
    case xeWrongDocument:
        return "NewChild was created from a different document than the one that created this node.";
    case xeInsertIntoDescendant: return "A node cannot be inserted below itself.";
    case xeUndefinedEntity: return "Reference to undefined entity %s.";
    default: return "XML error.";
    }
}

}  // namespace

EXMLException::EXMLException(int domCode, int messageIndex, std::initializer_list<TVarRec> args)
    : Exception(Format(RowText(messageIndex), args)), domCode_(domCode), messageIndex_(messageIndex) {}

#pragma once
// Failures of the XML units. An EXMLException carries the W3C DOM code and the
// row of the XML error table whose text, formatted with the arguments, is its message.

#include <initializer_list>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

// W3C DOM exception codes raised here.
enum : int {
    DOM_NO_ERROR = 0,
    DOM_HIERARCHY_REQUEST_ERR = 3,
    DOM_WRONG_DOCUMENT_ERR = 4,
    DOM_INVALID_CHARACTER_ERR = 5,
    DOM_NO_MODIFICATION_ALLOWED_ERR = 7,
    DOM_NOT_FOUND_ERR = 8,
};

// Rows of the error table.
enum : int {
    xeText = 0,
    xeMissingEquals = 4,
    xeExpectingQuote = 7,
    xeBadStartNameChar = 9,
    xeBadNameChar = 10,
    xeLessThanInAttr = 11,
    xeExpectingGreaterThan = 15,
    xeExpectingSemicolon = 18,
    xeBadCharInEntity = 19,
    xeInternalError = 23,
    xeUnexpectedWhitespace = 24,
    xeBadDecimalDigit = 34,
    xeBadHexDigit = 35,
    xeInvalidUnicode = 36,
    xeUnclosedTags = 41,
    xeBadXmlDecl = 45,
    xeMissingRoot = 46,
    xeCDataEndInContent = 50,
    xeElementNotClosed = 52,
    xeEndTagMismatch = 67,
    xeNestedTooDeep = 68,
    xeWrongNodeType = 89,
    xeWrongDocument = 90,
    xeInsertIntoDescendant = 91,
    xeUndefinedEntity = 92,
};

class EXMLException : public Exception {
public:
    EXMLException(int domCode, int messageIndex, std::initializer_list<TVarRec> args = {});
    int DomCode() const noexcept { return domCode_; }
    int MessageIndex() const noexcept { return messageIndex_; }

private:
    int domCode_;
    int messageIndex_;
};

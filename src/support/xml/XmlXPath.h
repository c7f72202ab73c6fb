#pragma once
// A subset of XPath location paths: child and descendant steps, element and
// attribute names with the "*" wildcard, ".", and the predicates [n], [@a]
// and [@a=value].

#include "support/xml/XmlDom.h"

RTL_DECLARE_EXCEPTION(EXMLXPath, Exception);

TIntfPtr<IXMLNodeList> EvaluateXPath(const TIntfPtr<IXMLNode>& node, const String& expression);

#include "support/xml/XmlXPath.h"

#include "support/xml/XmlDomUtils.h"
#include "support/xml/XmlNodes.h"

namespace {

struct TStep {
    String name;
    String predicate;
    bool descendant = false;
};

String Message(const char* pattern, const TVarRec& arg) { return Format(String(pattern), {arg}); }

class TXMLXPathEvaluator {
public:
    explicit TXMLXPathEvaluator(const String& expression) : expr_(expression) {}

    TIntfPtr<IXMLNodeList> Evaluate(const TIntfPtr<IXMLNode>& node);

private:
    bool NextStep(TStep& step);
    void EvaluateStep(const TIntfPtr<IXMLNode>& node, const TStep& step, TXMLNodeList& result) const;
    void CollectMatching(const TXMLNode& node, const String& name, TXMLNodeList& list, bool descendant,
                         uint8_t type) const;
    void ApplyPredicate(const TXMLNodeList& candidates, const String& predicate, TXMLNodeList& result) const;

    const String& expr_;
    size_t pos_ = 0;  // 0-based; messages report it 1-based
};

TIntfPtr<IXMLNodeList> TXMLXPathEvaluator::Evaluate(const TIntfPtr<IXMLNode>& node) {
    TIntfPtr<TXMLNodeList> current = MakeIntf<TXMLNodeList>();
    if (expr_.empty()) return current;
    TIntfPtr<IXMLNode> start = node;
    if (expr_[0] == u'/')
        if (TIntfPtr<IXMLNode> doc = node->OwnerDocument()) start = doc;
    current->Add(start);
    TStep step;
    while (NextStep(step)) {
        TIntfPtr<TXMLNodeList> next = MakeIntf<TXMLNodeList>();
        for (const TIntfPtr<IXMLNode>& n : *current) EvaluateStep(n, step, *next);
        current = std::move(next);
    }
    return current;
}

bool TXMLXPathEvaluator::NextStep(TStep& step) {
    if (pos_ >= expr_.size()) return false;
    step.descendant = false;
    if (expr_[pos_] == u'/') {
        ++pos_;
        if (pos_ < expr_.size() && expr_[pos_] == u'/') {
            ++pos_;
            step.descendant = true;
        }
    }
    size_t end = expr_.find(u'/', pos_);
    if (end == String::npos) end = expr_.size();
    const String text = expr_.substr(pos_, end - pos_);
    pos_ = end;
    if (text.empty()) throw EXMLXPath(Message("Empty element at position %d", static_cast<int>(pos_) + 1));
    const size_t open = text.find(u'[');
    if (open != String::npos) {
        if (text.back() != u']')
            throw EXMLXPath(Message("Invalid syntax at position %d", static_cast<int>(pos_)));
        step.name = text.substr(0, open);
        step.predicate = text.substr(open + 1, text.size() - open - 2);
    } else if (const size_t close = text.find(u']'); close != String::npos) {
        throw EXMLXPath(Message("Invalid syntax at position %d", static_cast<int>(pos_ - text.size() + close) + 1));
    } else {
        step.name = text;
        step.predicate.clear();
    }
    return true;
}

void TXMLXPathEvaluator::EvaluateStep(const TIntfPtr<IXMLNode>& node, const TStep& step, TXMLNodeList& result) const {
    if (step.name == u".") {
        result.Add(node);
        return;
    }
    const TIntfPtr<TXMLNodeList> candidates = MakeIntf<TXMLNodeList>();
    const TXMLNode& impl = NodeImpl(*node);
    if (step.name.starts_with(u'@'))
        CollectMatching(impl, step.name.substr(1), *candidates, step.descendant, ATTRIBUTE_NODE);
    else
        CollectMatching(impl, step.name, *candidates, step.descendant, ELEMENT_NODE);
    ApplyPredicate(*candidates, step.predicate, result);
}

void TXMLXPathEvaluator::CollectMatching(const TXMLNode& node, const String& name, TXMLNodeList& list,
                                         bool descendant, uint8_t type) const {
    const bool any = name == u"*";
    const bool attributes = type == ATTRIBUTE_NODE;
    if (attributes ? node.HasAttributeItems() : node.HasChildNodes()) {
        const TXMLCustomList& items = attributes ? static_cast<const TXMLCustomList&>(*node.AttributeMap())
                                                : static_cast<const TXMLCustomList&>(*node.ChildList());
        for (const TIntfPtr<IXMLNode>& item : items) {
            if (item->NodeType() == type && (any || item->NodeName() == name)) list.Add(item);
            if (descendant && type == ELEMENT_NODE && item->NodeType() == ELEMENT_NODE)
                CollectMatching(NodeImpl(*item), name, list, descendant, type);
        }
    }
    if (descendant && attributes && node.HasChildNodes())
        for (const TIntfPtr<IXMLNode>& child : *node.ChildList())
            if (child->NodeType() == ELEMENT_NODE) CollectMatching(NodeImpl(*child), name, list, descendant, type);
}

void TXMLXPathEvaluator::ApplyPredicate(const TXMLNodeList& candidates, const String& predicate,
                                        TXMLNodeList& result) const {
    if (predicate.empty()) {
        for (const TIntfPtr<IXMLNode>& n : candidates) result.Add(n);
        return;
    }
    int index;
    if (TryXmlTextToInt(predicate, index)) {
        if (index <= 0) throw EXMLXPath(Message("Invalid predicate [%s]", predicate));
        if (index <= candidates.Length()) result.Add(candidates.Item(index - 1));
        return;
    }
    if (!predicate.starts_with(u'@')) throw EXMLXPath(Message("Unsupported predicate [%s]", predicate));
    const String rest = predicate.substr(1);
    String name = rest, value = u"*";
    if (const size_t eq = rest.find(u'='); eq != String::npos) {
        name = Trim(rest.substr(0, eq));
        value = Trim(rest.substr(eq + 1));
        if (value.size() >= 2 && (value[0] == u'\'' || value[0] == u'"') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
    }
    for (const TIntfPtr<IXMLNode>& n : candidates) {
        const TIntfPtr<IXMLNode> attr = n->Attributes()->GetNamedItem(name);
        if (attr && (value == u"*" || attr->NodeValue() == value)) result.Add(n);
    }
}

}  // namespace

TIntfPtr<IXMLNodeList> EvaluateXPath(const TIntfPtr<IXMLNode>& node, const String& expression) {
    return TXMLXPathEvaluator(expression).Evaluate(node);
}

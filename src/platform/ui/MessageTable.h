#pragma once
// Message handlers by number, one table per class.
//
// A class that handles messages declares UI_MESSAGES(TClass, TParent) in its
// body and lists its handlers in its .cpp file:
//
//   UI_MESSAGE_MAP(TPanel, t) {
//       t.On<&TPanel::WMPaint>(WM_PAINT);
//       t.On<&TPanel::CMFontChanged>(CM_FONTCHANGED);
//   }
//
// A handler is a member function void(TMessage&). Its class's table holds
// the parent's entries too, so a lookup is one search. Inside a handler,
// InheritedMessage(message) runs the handler the parent class has for the
// message, or DefaultHandler when no ancestor has one.

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/ui/ControlMessages.h"

class TControl;

using TMessageHandler = void (*)(TControl* self, TMessage& message);

class TMessageTable {
public:
    template <class T>
    class TBuilder {
    public:
        explicit TBuilder(std::vector<std::pair<UINT, TMessageHandler>>& entries) : entries_(entries) {}
        template <auto Method>
        void On(UINT message) {
            Set(message, [](TControl* self, TMessage& m) { (static_cast<T*>(self)->*Method)(m); });
        }

    private:
        void Set(UINT message, TMessageHandler handler) {
            auto it = std::lower_bound(entries_.begin(), entries_.end(), message,
                                       [](const auto& entry, UINT key) { return entry.first < key; });
            if (it != entries_.end() && it->first == message)
                it->second = handler;
            else
                entries_.insert(it, {message, handler});
        }
        std::vector<std::pair<UINT, TMessageHandler>>& entries_;
    };

    template <class T>
    TMessageTable(const TMessageTable* parent, void (*fill)(TBuilder<T>&)) {
        if (parent) entries_ = parent->entries_;
        TBuilder<T> builder(entries_);
        fill(builder);
    }

    TMessageHandler Find(UINT message) const noexcept {
        auto it = std::lower_bound(entries_.begin(), entries_.end(), message,
                                   [](const auto& entry, UINT key) { return entry.first < key; });
        return it != entries_.end() && it->first == message ? it->second : nullptr;
    }

private:
    std::vector<std::pair<UINT, TMessageHandler>> entries_;
};

#define UI_MESSAGES(TClass, TParent)                                                                  \
public:                                                                                               \
    using TInheritedControl = TParent;                                                                \
    static const TMessageTable& ClassMessages();                                                      \
    const TMessageTable& Messages() const override { return ClassMessages(); }                        \
                                                                                                      \
protected:                                                                                            \
    void InheritedMessage(TMessage& message) { DispatchFrom(TParent::ClassMessages(), message); }     \
                                                                                                      \
private:                                                                                              \
    static void FillMessages(TMessageTable::TBuilder<TClass>& t)

#define UI_MESSAGE_MAP(TClass, t)                                                                     \
    const TMessageTable& TClass::ClassMessages() {                                                    \
        static const TMessageTable table(&TClass::TInheritedControl::ClassMessages(), &TClass::FillMessages); \
        return table;                                                                                 \
    }                                                                                                 \
    void TClass::FillMessages(TMessageTable::TBuilder<TClass>& t)

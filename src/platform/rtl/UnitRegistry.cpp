#include "platform/rtl/UnitRegistry.h"

#include <algorithm>
#include <exception>

#include "platform/rtl/Exceptions.h"

void TUnitRegistry::Register(const String& name, std::function<void()> initialize,
                             std::function<void()> finalize, std::vector<String> dependsOn) {
    if (count_ > 0) throw EInvalidOperation("Unit " + name + " registered after start-up");
    if (std::any_of(units_.begin(), units_.end(), [&](const TUnit& u) { return u.name == name; }))
        throw EInvalidOperation("Unit " + name + " registered twice");
    units_.push_back({name, std::move(initialize), std::move(finalize), std::move(dependsOn)});
}

auto TUnitRegistry::StartOrder() const -> std::vector<const TUnit*> {
    enum class Mark { None, Visiting, Done };
    std::vector<Mark> marks(units_.size(), Mark::None);
    std::vector<const TUnit*> order;
    order.reserve(units_.size());
    const auto indexOf = [this](const String& name) {
        const auto it = std::find_if(units_.begin(), units_.end(), [&](const TUnit& u) { return u.name == name; });
        return it == units_.end() ? -1 : static_cast<int>(it - units_.begin());
    };
    const std::function<void(int)> visit = [&](int i) {
        if (marks[i] == Mark::Done) return;
        if (marks[i] == Mark::Visiting) throw EInvalidOperation("Circular unit dependency at " + units_[i].name);
        marks[i] = Mark::Visiting;
        for (const String& dependency : units_[i].dependsOn) {
            const int d = indexOf(dependency);
            if (d < 0) throw EInvalidOperation("Unit " + units_[i].name + " needs unknown unit " + dependency);
            visit(d);
        }
        marks[i] = Mark::Done;
        order.push_back(&units_[i]);
    };
    for (int i = 0; i < static_cast<int>(units_.size()); ++i) visit(i);
    return order;
}

void TUnitRegistry::Initialize() {
    if (count_++ > 0) return;
    try {
        for (const TUnit* unit : StartOrder()) {
            if (unit->initialize) unit->initialize();
            started_.push_back(unit);
        }
    } catch (...) {
        count_ = 0;
        try {
            FinalizeStarted();
        } catch (...) {
            // The start-up failure is the one to report.
        }
        throw;
    }
}

void TUnitRegistry::Finalize() {
    if (count_ == 0 || --count_ > 0) return;
    FinalizeStarted();
}

void TUnitRegistry::FinalizeStarted() {
    std::exception_ptr first;
    while (!started_.empty()) {
        const TUnit* unit = started_.back();
        started_.pop_back();
        try {
            if (unit->finalize) unit->finalize();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

TUnitRegistry& Units() {
    static TUnitRegistry registry;
    return registry;
}

void RegisterUnit(const String& name, std::function<void()> initialize, std::function<void()> finalize,
                  std::vector<String> dependsOn) {
    Units().Register(name, std::move(initialize), std::move(finalize), std::move(dependsOn));
}

void InitializeUnits() { Units().Initialize(); }
void FinalizeUnits() { Units().Finalize(); }

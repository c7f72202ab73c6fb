#pragma once
// Start-up and shut-down of units. Each unit registers its start and finish
// work with the names of the units it needs; start-up runs them in dependency
// order (registration order where free), shut-down the other way round.

#include <functional>
#include <vector>

#include "platform/rtl/String.h"

class TUnitRegistry {
public:
    // Raises EInvalidOperation for a name registered twice or while started.
    void Register(const String& name, std::function<void()> initialize, std::function<void()> finalize,
                  std::vector<String> dependsOn = {});

    // Counted: only the first of nested calls runs the start work. Raises
    // EInvalidOperation for an unknown dependency or a cycle before anything
    // runs. When a start fails, the units already started are finished and the
    // exception propagates.
    void Initialize();
    // Ends the matching Initialize; the last one finishes the started units in
    // reverse order. All of them are finished even when one fails; the first
    // failure then propagates.
    void Finalize();
    bool Initialized() const noexcept { return count_ > 0; }

private:
    struct TUnit {
        String name;
        std::function<void()> initialize;
        std::function<void()> finalize;
        std::vector<String> dependsOn;
    };
    std::vector<const TUnit*> StartOrder() const;
    void FinalizeStarted();

    std::vector<TUnit> units_;
    std::vector<const TUnit*> started_;
    int count_ = 0;
};

// The program's registry.
TUnitRegistry& Units();
void RegisterUnit(const String& name, std::function<void()> initialize, std::function<void()> finalize,
                  std::vector<String> dependsOn = {});
void InitializeUnits();
void FinalizeUnits();

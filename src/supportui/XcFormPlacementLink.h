#pragma once
// TXcFormPlacementLink: something that follows a form placement's saves and
// restores, such as the settings of a component on the same form that are
// kept beside the form's placement. A link registers by naming its placement
// (SetFormPlacement, which also moves it from one placement to another) and
// is told after every save (OnSave) and every restore (OnLoad) of that
// placement's WritePlacement and ReadPlacement. A link that goes leaves its
// placement's list; a placement that goes first leaves its links without one.

#include "platform/ui/Events.h"

class TXcFormPlacement;

class TXcFormPlacementLink : public TObject {
public:
    TXcFormPlacementLink() = default;
    explicit TXcFormPlacementLink(TXcFormPlacement* placement) { SetFormPlacement(placement); }
    ~TXcFormPlacementLink() override;
    TXcFormPlacementLink(const TXcFormPlacementLink&) = delete;
    TXcFormPlacementLink& operator=(const TXcFormPlacementLink&) = delete;

    TXcFormPlacement* FormPlacement() const noexcept { return placement_; }
    void SetFormPlacement(TXcFormPlacement* value);

    TNotifyEvent OnSave;
    TNotifyEvent OnLoad;

protected:
    virtual void SaveNotify();
    virtual void LoadNotify();

private:
    friend class TXcFormPlacement;
    TXcFormPlacement* placement_ = nullptr;
};

#pragma once
// Event types of the component framework: public std::function members that
// may be empty.

#include <functional>

class TObject;

using TNotifyEvent = std::function<void(TObject* sender)>;

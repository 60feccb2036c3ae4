#pragma once

#include "settings/ISettingBag.h"

// The load/save contract of every component with settings. load reads the component's own keys;
// a key that is missing or of another type leaves the current value, so the values held when load
// is called are the defaults. save writes every one of the component's keys.
class ISettingPersist {
public:
    virtual void load(ISettingBag* bag) = 0;
    virtual void save(ISettingBag* bag) = 0;

protected:
    ~ISettingPersist() = default;
};
